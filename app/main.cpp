// Orvanter.exe: reads the command line, lets one program run per user session, and runs the
// application until its main window has gone.
#include <windows.h>

#include <shellapi.h>

#include <chrono>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/single_instance.h"
#include "lang/language.h"
#include "platform/win32/wide.h"
#include "ui/main_window.h"
#include "ui/shell_logic.h"

namespace {

// The program's arguments, without its own name.
std::vector<std::string> Arguments() {
    std::vector<std::string> arguments;
    int count = 0;
    if (LPWSTR* list = ::CommandLineToArgvW(::GetCommandLineW(), &count)) {
        for (int i = 1; i < count; ++i) {
            arguments.push_back(orv::win32::Narrow(list[i]));
        }
        ::LocalFree(list);
    }
    return arguments;
}

// The switches, in the interface language stored for the user.
void ShowSwitches() {
    orv::lang::LanguageState language;
    language.Load();
    const std::string& text = language.Table()->Text(orv::lang::TextId::CommandLineHelp);
    ::MessageBoxW(nullptr, orv::win32::Wide(text).c_str(), L"Orvanter", MB_OK | MB_ICONINFORMATION);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    const orv::ui::CommandLine commandLine = orv::ui::ParseCommandLine(Arguments());
    if (commandLine.showHelp) {
        ShowSwitches();
        return 0;
    }
    // One program per user session: a second start brings the running one forward and ends before it
    // reads or writes anything, so two programs never save over each other's baselines.
    orv::app::SingleInstance single(orv::app::InstanceName(orv::app::CurrentUserIdentity()));
    if (!single.First()) {
        orv::app::AskToComeToFront(single.RunningWindow(std::chrono::seconds(1)),
                                   orv::ui::ComeToFrontMessage());
        return 0;
    }
    if (commandLine.unknownSwitch) {
        ShowSwitches();
    }
    orv::app::Application application(instance);
    if (!application.Start(commandLine.startControl, single)) {
        return 1;
    }
    return application.Run();
}
