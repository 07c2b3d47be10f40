// The application check against real processes: copies of this test program, started under a name
// of their own, stand in for the watched application.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <thread>

#include "engine/checks.h"
#include "platform/paths.h"
#include "tests/engine/check_fixture.h"
#include "tests/support/test_support.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
extern char** environ;
#endif

namespace orv::engine {
namespace {

constexpr const char* kSleeperVariable = "ORV_CHECKS_SLEEPER";

// A copy started with the variable set does nothing but wait to be ended (at most a minute, so that
// a test that fails half-way leaves nothing behind for long).
const bool kIsSleeper = [] {
    if (std::getenv(kSleeperVariable) != nullptr) {
        std::this_thread::sleep_for(std::chrono::seconds(60));
        std::_Exit(0);
    }
    return false;
}();

// A started copy, ended by its own id when the object goes.
class Sleeper {
  public:
    explicit Sleeper(const std::string& program) {
#ifdef _WIN32
        SetEnvironmentVariableA(kSleeperVariable, "1");
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        std::wstring commandLine = L"\"" + PathOf(program).wstring() + L"\"";
        if (CreateProcessW(PathOf(program).wstring().c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                           nullptr, nullptr, &startup, &info)) {
            CloseHandle(info.hThread);
            process_ = info.hProcess;
        }
        SetEnvironmentVariableA(kSleeperVariable, nullptr);
#else
        std::string variable = std::string(kSleeperVariable) + "=1";
        std::vector<char*> environment;
        for (char** e = environ; *e != nullptr; ++e) {
            environment.push_back(*e);
        }
        environment.push_back(variable.data());
        environment.push_back(nullptr);
        std::string argument0 = program;
        char* arguments[] = {argument0.data(), nullptr};
        if (posix_spawn(&pid_, program.c_str(), nullptr, nullptr, arguments, environment.data()) != 0) {
            pid_ = -1;
        }
#endif
    }
    ~Sleeper() {
        End();
    }
    Sleeper(const Sleeper&) = delete;
    Sleeper& operator=(const Sleeper&) = delete;

    bool Started() const {
#ifdef _WIN32
        return process_ != nullptr;
#else
        return pid_ > 0;
#endif
    }

    void End() {
#ifdef _WIN32
        if (process_ != nullptr) {
            TerminateProcess(process_, 0);
            WaitForSingleObject(process_, 10000);
            CloseHandle(process_);
            process_ = nullptr;
        }
#else
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            int status = 0;
            waitpid(pid_, &status, 0);
            pid_ = -1;
        }
#endif
    }

  private:
#ifdef _WIN32
    HANDLE process_ = nullptr;
#else
    pid_t pid_ = -1;
#endif
};

std::string UniqueName() {
    std::random_device device;
    std::ostringstream name;
    name << "orvchild_" << std::hex << device() << ".exe";
    return name.str();
}

class ApplicationCheck : public CheckFixture {
  protected:
    ApplicationCheck()
        : CheckFixture(CheckApplication, 1, &ObjectSettings::Path_Prog, &ObjectSettings::Name_Prog,
                       UniqueName()) {
        object.settings.Type = ObjectType::Application;
    }

    // A copy of this program under a name no other process has.
    std::string CopyOfThisProgram() {
        const std::string copy = folder.Join(programName);
        std::filesystem::copy_file(PathOf(paths::ExecutablePath()), PathOf(copy));
        return copy;
    }

    const std::string programName = object.settings.Name_Prog;
};

TEST_F(ApplicationCheck, StartAndEndOfTheProgramFulfilOnce) {
    const std::string program = CopyOfThisProgram();
    auto r = Check();
    ASSERT_TRUE(r);
    EXPECT_EQ(r->eventText, "Object 1 / Application activity control : " + programName +
                                " / Application still isnt active");
    EXPECT_FALSE(r->fulfilled);
    EXPECT_EQ(r->report.pathColour, kIdleColour);

    Sleeper first(program);
    Sleeper second(program);
    ASSERT_TRUE(first.Started() && second.Started());
    ASSERT_TRUE(test::WaitFor([&] { return IsProcessRunning(programName) == true; }));
    r = Check();
    ASSERT_TRUE(r);
    EXPECT_EQ(r->eventText,
              "Object 1 / Application activity control : " + programName + " / Application is active");
    EXPECT_EQ(r->report.pathHint,
              "Application activity control : " + programName + "\n\rApplication is active");
    EXPECT_TRUE(r->fulfilled);
    EXPECT_TRUE(r->baseline.Prog_Active_Old);
    EXPECT_EQ(r->report.pathColour, kActiveColour);

    // Two instances are one running program: ending one of them changes nothing.
    first.End();
    r = Check();
    ASSERT_TRUE(r);
    EXPECT_EQ(r->eventText,
              "Object 1 / Application activity control : " + programName + " / Application is still active");
    EXPECT_FALSE(r->fulfilled);

    second.End();
    ASSERT_TRUE(test::WaitFor([&] { return IsProcessRunning(programName) == false; }));
    r = Check();
    ASSERT_TRUE(r);
    EXPECT_EQ(r->eventText,
              "Object 1 / Application activity control : " + programName + " / Application closed");
    EXPECT_TRUE(r->fulfilled);
    EXPECT_FALSE(r->baseline.Prog_Active_Old);
    EXPECT_EQ(r->report.pathColour, kIdleColour);

    r = Check();
    ASSERT_TRUE(r);
    EXPECT_FALSE(r->fulfilled);
}

TEST_F(ApplicationCheck, ProcessNamesCompareWhollyAndCaseSensitively) {
    Sleeper sleeper(CopyOfThisProgram());
    ASSERT_TRUE(sleeper.Started());
    ASSERT_TRUE(test::WaitFor([&] { return IsProcessRunning(programName) == true; }));
    std::string upper = programName;
    for (char& c : upper) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    EXPECT_EQ(IsProcessRunning(upper), false);
    EXPECT_EQ(IsProcessRunning(programName.substr(0, programName.size() - 4)), false);
    EXPECT_EQ(IsProcessRunning(programName.substr(1)), false);

    // The program's path is not compared: one that no longer exists is still checked by its name.
    object.settings.Path_Prog = folder.Join("gone/old.exe");
    EXPECT_EQ(EventOf(),
              "Object 1 / Application activity control : " + programName + " / Application is active");
}

TEST_F(ApplicationCheck, PathThatNamesNoProgramMakesControlImpossible) {
    object.baseline.Prog_Active_Old = true;
    for (const std::string& path : {std::string("C:\\Tools\\App.EXE"), std::string("C:\\Tools\\App.Exe"),
                                    std::string(""), folder.MakeFolder("tools.exe")}) {
        object.settings.Path_Prog = path;
        auto r = Check();
        ASSERT_TRUE(r) << path;
        EXPECT_EQ(r->eventText, "Object 1 / Application activity control : " + programName +
                                    " / Application doesnt exist, control is impossible")
            << path;
        EXPECT_FALSE(r->fulfilled);
        EXPECT_EQ(r->report.pathColour, kIdleColour);
        EXPECT_TRUE(r->baseline.Prog_Active_Old);
    }

    table = lang::LanguageTable::For(lang::kRussian);
    EXPECT_EQ(EventOf(), "Объект 1 / Контроль активности приложения : " + programName +
                             " / Приложения нет, контроль невозможен");
}

TEST_F(ApplicationCheck, OtherParametersReportNothing) {
    object.settings.Param = ControlParam::Size;
    EXPECT_FALSE(Check().has_value());
}

}  // namespace
}  // namespace orv::engine
