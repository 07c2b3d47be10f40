// The three ways a macro starts its batch file, with exactly the arguments the program has always
// used. None of them waits for the started program.
#include "platform/launch.h"

#include <windows.h>

#include <objbase.h>
#include <shellapi.h>

#include <mutex>
#include <optional>

#include "platform/text.h"
#include "platform/win32/handles.h"
#include "platform/win32/wide.h"

namespace orv::launch {
namespace {

// WinExec and ShellExecute take no environment of their own, so the variables go into this process's
// environment for the moment of the start. The lock keeps two starts (the scan thread's action step and
// the editor's Run button) from seeing each other's values.
std::mutex launchLock;

// The longest value Windows keeps in an environment variable (a UNICODE_STRING of at most 0xFFFE bytes,
// its terminating zero included). Windows refuses a longer one; the program does not leave that to
// every system that runs it, and refuses it itself.
constexpr size_t kLongestValue = 32766;

// Sets the variables, removes the withheld names, and puts back what was there before (a value, or no
// variable) when it ends. A value the system refuses removes its name instead: the started program
// must never find a value of that name that belongs to something else.
class ScopedEnvironment {
  public:
    explicit ScopedEnvironment(const Environment& environment,
                               const std::vector<std::string>& withheld = {}) {
        saved_.reserve(environment.size() + withheld.size());
        for (const std::string& name : withheld) {
            Change(win32::Wide(name), nullptr);
        }
        for (const Variable& variable : environment) {
            const std::wstring value = win32::Wide(variable.value);
            Change(win32::Wide(variable.name), &value);
        }
    }
    ~ScopedEnvironment() {
        // In reverse, so that a name given twice ends with its first saved value.
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
            SetEnvironmentVariableW(it->name.c_str(), it->value ? it->value->c_str() : nullptr);
        }
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

  private:
    struct Saved {
        std::wstring name;
        std::optional<std::wstring> value;
    };

    static std::optional<std::wstring> Read(const std::wstring& name) {
        std::wstring value(64, L'\0');
        for (;;) {
            SetLastError(ERROR_SUCCESS);
            const DWORD length =
                GetEnvironmentVariableW(name.c_str(), value.data(), static_cast<DWORD>(value.size()));
            if (length == 0) {
                if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) {
                    return std::nullopt;
                }
                return std::wstring();
            }
            if (length < value.size()) {
                value.resize(length);
                return value;
            }
            value.resize(length);  // the size needed, with its terminating zero
        }
    }

    void Change(const std::wstring& name, const std::wstring* value) {
        saved_.push_back({name, Read(name)});
        const bool set = value != nullptr && value->size() <= kLongestValue &&
                         SetEnvironmentVariableW(name.c_str(), value->c_str()) != FALSE;
        if (!set) {
            SetEnvironmentVariableW(name.c_str(), nullptr);
        }
    }

    std::vector<Saved> saved_;
};

}  // namespace

bool WinExecCommand(const std::string& commandLine, const Environment& environment) {
    // WinExec exists only in the ANSI form.
    const std::string ansi = text::Utf8ToAnsi(commandLine);
    std::lock_guard lock(launchLock);
    ScopedEnvironment scoped(environment);
    // WinExec has created the process, with its copy of the environment, when it returns.
    return WinExec(ansi.c_str(), SW_SHOW) > 31;
}

bool ShellExecuteFile(const std::string& file, const Environment& environment) {
    const std::wstring wide = win32::Wide(file);
    // The shell may hand the file to a COM-based handler, so the calling thread (the scan thread, or
    // the user-interface thread from the editor) needs COM; a thread that has it already keeps its own.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    // NOASYNC: the program has been started when the call returns, before the environment is put back.
    // NOCLOSEPROCESS only to close the handle at once: the program keeps no handle of what it started.
    // FLAG_NO_UI: nothing may wait for a person while the scan thread holds the launch lock, neither an
    // error box nor the security prompt of a file marked as downloaded (such a file is not started).
    info.fMask = SEE_MASK_NOASYNC | SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.hwnd = nullptr;
    info.lpVerb = nullptr;
    info.lpFile = wide.c_str();
    info.lpParameters = nullptr;
    info.lpDirectory = nullptr;
    info.nShow = SW_SHOW;
    bool started = false;
    {
        std::lock_guard lock(launchLock);
        ScopedEnvironment scoped(environment);
        started = ShellExecuteExW(&info) != FALSE && reinterpret_cast<INT_PTR>(info.hInstApp) > 32;
    }
    win32::KernelHandle process(info.hProcess);
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    return started;
}

bool CreateProcessFile(const std::string& file, const Environment& environment) {
    const std::wstring wide = win32::Wide(file);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    {
        std::lock_guard lock(launchLock);
        ScopedEnvironment scoped(environment);
        if (!CreateProcessW(wide.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &process)) {
            return false;
        }
    }
    // The program keeps no handle of what it started.
    win32::KernelHandle processHandle(process.hProcess);
    win32::KernelHandle threadHandle(process.hThread);
    return true;
}

bool OpenDocument(void* owner, const std::string& target, int showCommand,
                  const std::vector<std::string>& withheld) {
    const std::wstring wide = win32::Wide(target);
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    // NOASYNC: the viewer or browser has its copy of the environment before the names come back.
    info.fMask = SEE_MASK_NOASYNC | SEE_MASK_NOCLOSEPROCESS;
    info.hwnd = static_cast<HWND>(owner);
    info.lpFile = wide.c_str();
    info.nShow = showCommand;
    bool started = false;
    {
        std::lock_guard lock(launchLock);
        ScopedEnvironment scoped({}, withheld);
        started = ShellExecuteExW(&info) != FALSE && reinterpret_cast<INT_PTR>(info.hInstApp) > 32;
    }
    win32::KernelHandle process(info.hProcess);
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    return started;
}

}  // namespace orv::launch
