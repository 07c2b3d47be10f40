// The three ways a macro starts its batch file, with exactly the arguments the program has always
// used. None of them waits for the started program.
#include "platform/launch.h"

#include <windows.h>

#include <objbase.h>
#include <shellapi.h>

#include "platform/text.h"
#include "platform/win32/handles.h"
#include "platform/win32/wide.h"

namespace orv::launch {

bool WinExecCommand(const std::string& commandLine) {
    // WinExec exists only in the ANSI form.
    const std::string ansi = text::Utf8ToAnsi(commandLine);
    return WinExec(ansi.c_str(), SW_SHOW) > 31;
}

bool ShellExecuteFile(const std::string& file) {
    const std::wstring wide = win32::Wide(file);
    // The shell may hand the file to a COM-based handler, so the calling thread (the scan thread, or
    // the user-interface thread from the editor) needs COM; a thread that has it already keeps its own.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    const HINSTANCE result = ShellExecuteW(nullptr, nullptr, wide.c_str(), nullptr, nullptr, SW_SHOW);
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    return reinterpret_cast<INT_PTR>(result) > 32;
}

bool CreateProcessFile(const std::string& file) {
    const std::wstring wide = win32::Wide(file);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(wide.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return false;
    }
    // The program keeps no handle of what it started.
    win32::KernelHandle processHandle(process.hProcess);
    win32::KernelHandle threadHandle(process.hThread);
    return true;
}

}  // namespace orv::launch
