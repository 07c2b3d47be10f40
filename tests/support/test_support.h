// Helpers shared by the tests: a temporary folder, a scratch registry key, and waiting for a condition.
#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"

namespace orv::test {

// Runs `start` (a start of another program) and tries it again, twice at most, where Wine lost the new
// process while mapping it: under load that happens now and then, and the start fails with
// ERROR_INTERNAL_ERROR, which Windows itself does not give for it. Any other failure is final.
bool StartedDespiteWine(const std::function<bool()>& start);

// Removes the file or folder at `path` with everything in it, as far as it can, without following links.
// MinGW's std::filesystem::remove_all can spin for ever on Windows when an entry vanishes or stays
// held while it works; this makes one attempt at each entry and goes on.
void RemoveTree(const std::string& path);

// A fresh folder under the system's temporary folder, removed with everything in it on destruction.
// `nameHint` becomes part of the folder name (it may contain a blank, to test such paths).
class TempDirectory {
  public:
    explicit TempDirectory(std::string_view nameHint = "orv");
    ~TempDirectory();
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;

    // The folder's full path, without a trailing separator.
    const std::string& Path() const { return path_; }
    // Path() + separator + relative (relative may use '/', which is turned into the separator).
    std::string Join(std::string_view relative) const;
    // Writes a file (creating missing parent folders) and returns its full path.
    std::string WriteFile(std::string_view relative, std::string_view bytes) const;
    std::string MakeFolder(std::string_view relative) const;
    // The names of the entries of a sub-folder, sorted; empty when it cannot be listed.
    std::vector<std::string> List(std::string_view relative) const;

  private:
    std::string path_;
};

// A registry key of its own under HKEY_CURRENT_USER\Software\OrvanterTests\..., deleted with its
// contents on destruction.
class ScratchKey {
  public:
    explicit ScratchKey(std::string_view nameHint = "key");
    ~ScratchKey();
    ScratchKey(const ScratchKey&) = delete;
    ScratchKey& operator=(const ScratchKey&) = delete;

    // The key's path, ending in a backslash (like the program's own key).
    const std::string& Path() const { return path_; }

  private:
    std::string path_;
};

// Makes the system calls of the kinds in `calls` on paths that begin with `prefix` fail with the Windows
// error `code` (fs::InjectFaults), until destroyed.
class InjectedFault {
  public:
    InjectedFault(std::string prefix, uint32_t code,
                  std::vector<fs::SystemCall> calls = {fs::SystemCall::Attributes, fs::SystemCall::Listing});
    ~InjectedFault();
    InjectedFault(const InjectedFault&) = delete;
    InjectedFault& operator=(const InjectedFault&) = delete;
};

// Reads a whole file; empty when it cannot be read.
std::string ReadFile(const std::string& path);

// Polls `predicate` until it is true or `timeout` has passed; returns its last value.
bool WaitFor(const std::function<bool()>& predicate,
             std::chrono::milliseconds timeout = std::chrono::seconds(10));

// A batch file (a shell script on POSIX) at `relative` in `folder` that writes the names and values of
// its ORVANTER_ variables to `marker`, literally, as the system lists them (cmd's "set", which does
// not expand the values again; Unicode, so that any letter survives). `marker` is a path, or a
// variable reference such as "%ORVANTER_LOG%" ("$ORVANTER_LOG" on POSIX). The marker appears whole.
std::string WriteVariablesScript(const TempDirectory& folder, std::string_view relative,
                                 const std::string& marker);
// The variables a marker of that script lists, by name; empty when it is not there (yet).
std::map<std::string, std::string> ReadVariables(const std::string& marker);

}  // namespace orv::test
