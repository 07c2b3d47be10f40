// The installer as a Windows user meets it, in a fresh Wine prefix: a silent install, the installed
// program started from its shortcut, second starts, an install over the running program, a silent
// uninstall, then an installation into a folder the user already had. The steps build on each other and
// run in this order.
//   ORV_SETUP: the installer's Windows path; ORV_VERSION: the version it must carry;
//   ORV_WINGET_INSTALLER: the winget installer manifest written for it.
#include <windows.h>

#include <objbase.h>
#include <oleacc.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/test_support.h"

namespace {

using namespace std::chrono_literals;
using orv::test::WaitFor;

const wchar_t* const kSettingsKey = L"SoftWare\\Keldrastic\\Orvanter";
const wchar_t* const kUninstallKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Orvanter";
const wchar_t* const kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

std::wstring Environment(const wchar_t* name) {
    const wchar_t* value = _wgetenv(name);
    return value != nullptr ? value : L"";
}

std::wstring KnownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    std::wstring result;
    if (SUCCEEDED(::SHGetKnownFolderPath(id, 0, nullptr, &path))) {
        result = path;
    }
    ::CoTaskMemFree(path);
    return result;
}

std::wstring InstallFolder() {
    return KnownFolder(FOLDERID_LocalAppData) + L"\\Programs\\Orvanter";
}
std::wstring Installed(const wchar_t* relative) {
    return InstallFolder() + L"\\" + relative;
}
std::wstring Shortcut() {
    return KnownFolder(FOLDERID_Programs) + L"\\Orvanter.lnk";
}

bool Exists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
bool SamePath(const std::wstring& a, const std::wstring& b) {
    return ::CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

bool KeyExists(const wchar_t* path) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    ::RegCloseKey(key);
    return true;
}
std::optional<std::wstring> ReadString(const wchar_t* key, const wchar_t* name) {
    wchar_t buffer[1024];
    DWORD size = sizeof(buffer);
    if (::RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ, nullptr, buffer, &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    return std::wstring(buffer);
}
std::optional<DWORD> ReadNumber(const wchar_t* key, const wchar_t* name) {
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (::RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_DWORD, nullptr, &value, &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    return value;
}
void WriteNumber(const wchar_t* key, const wchar_t* name, DWORD value) {
    ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, key, name, REG_DWORD, &value, sizeof(value)),
              ERROR_SUCCESS);
}
void WriteString(const wchar_t* key, const wchar_t* name, const std::wstring& value) {
    ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, key, name, REG_SZ, value.c_str(),
                                static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
}
void DeleteValue(const wchar_t* key, const wchar_t* name) {
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, key, name);
}

std::wstring ShortcutTarget(const std::wstring& link) {
    std::wstring target;
    IShellLinkW* shellLink = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(&shellLink)))) {
        return target;
    }
    IPersistFile* file = nullptr;
    if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        wchar_t path[MAX_PATH] = {};
        if (SUCCEEDED(file->Load(link.c_str(), STGM_READ)) &&
            SUCCEEDED(shellLink->GetPath(path, MAX_PATH, nullptr, 0))) {
            target = path;
        }
        file->Release();
    }
    shellLink->Release();
    return target;
}

// The file's version resource (empty when it has none).
std::vector<char> VersionInfo(const std::wstring& path) {
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
    std::vector<char> data(size);
    if (size == 0 || !::GetFileVersionInfoW(path.c_str(), 0, size, data.data())) {
        data.clear();
    }
    return data;
}

// One value of a version resource, by its path in the resource; null when it has none.
const void* VersionValue(std::vector<char>& info, const wchar_t* name) {
    void* value = nullptr;
    UINT length = 0;
    if (info.empty() || !::VerQueryValueW(info.data(), name, &value, &length)) {
        return nullptr;
    }
    return value;
}

// The FileDescription of the file's version resource (US English, Unicode), which Windows shows as the
// program's name in notifications and Task Manager.
std::wstring FileDescription(const std::wstring& path) {
    std::vector<char> info = VersionInfo(path);
    const auto* text =
        static_cast<const wchar_t*>(VersionValue(info, L"\\StringFileInfo\\040904B0\\FileDescription"));
    return text != nullptr ? text : L"";
}

// The first child of `window` of the class `className`.
HWND ChildOfClass(HWND window, const wchar_t* className) {
    struct Search {
        const wchar_t* className;
        HWND found;
    } search{className, nullptr};
    ::EnumChildWindows(
        window,
        [](HWND child, LPARAM parameter) -> BOOL {
            auto& wanted = *reinterpret_cast<Search*>(parameter);
            wchar_t name[64] = {};
            ::GetClassNameW(child, name, 64);
            if (wcscmp(name, wanted.className) == 0) {
                wanted.found = child;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring FileVersion(const std::wstring& path) {
    std::vector<char> data = VersionInfo(path);
    const auto* info = static_cast<const VS_FIXEDFILEINFO*>(VersionValue(data, L"\\"));
    if (info == nullptr) {
        return L"";
    }
    return std::to_wstring(HIWORD(info->dwFileVersionMS)) + L"." +
           std::to_wstring(LOWORD(info->dwFileVersionMS)) + L"." +
           std::to_wstring(HIWORD(info->dwFileVersionLS)) + L"." +
           std::to_wstring(LOWORD(info->dwFileVersionLS));
}

void WriteFile(const std::wstring& path, const char* text) {
    ::CreateDirectoryW(path.substr(0, path.rfind(L'\\')).c_str(), nullptr);
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ::WriteFile(file, text, static_cast<DWORD>(strlen(text)), &written, nullptr);
    ::CloseHandle(file);
}
std::string ReadWholeFile(const std::wstring& path) {
    const HANDLE file =
        ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return {};
    }
    char buffer[4096];
    DWORD got = 0;
    ::ReadFile(file, buffer, sizeof(buffer), &got, nullptr);
    ::CloseHandle(file);
    return std::string(buffer, got);
}

// A process this test started; ended by force only if a test left it running.
struct Started {
    HANDLE process = nullptr;
    bool Ended(std::chrono::milliseconds wait = 0ms) const {
        return ::WaitForSingleObject(process, static_cast<DWORD>(wait.count())) == WAIT_OBJECT_0;
    }
    DWORD ExitCode() const {
        DWORD code = STILL_ACTIVE;
        ::GetExitCodeProcess(process, &code);
        return code;
    }
};
std::vector<Started> started;

std::optional<Started> Start(const std::wstring& exe, const std::wstring& arguments = L"",
                             const std::wstring& folder = L"") {
    std::wstring commandLine = L"\"" + exe + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          folder.empty() ? nullptr : folder.c_str(), &startup, &info)) {
        return std::nullopt;
    }
    ::CloseHandle(info.hThread);
    started.push_back(Started{info.hProcess});
    return started.back();
}
// The exit code, or nothing when the process did not end in time.
std::optional<DWORD> RunToEnd(const std::wstring& exe, const std::wstring& arguments,
                              std::chrono::milliseconds wait) {
    const auto process = Start(exe, arguments);
    if (!process || !process->Ended(wait)) {
        return std::nullopt;
    }
    return process->ExitCode();
}

// The value of the first line "Name: value" of a manifest (YAML as the build writes it), blanks trimmed.
std::wstring ManifestValue(const std::string& manifest, const std::string& name) {
    const auto at = manifest.find(name + ":");
    if (at == std::string::npos) {
        return L"";
    }
    const auto begin = manifest.find_first_not_of(' ', at + name.size() + 1);
    const auto end = manifest.find_first_of("\r\n", begin);
    const std::string value = manifest.substr(begin, end - begin);
    return std::wstring(value.begin(), value.end());
}

// A visible dialog of the setup (or one of its message boxes) whose title names the program and that
// has a control with `id`; a message box is told from the setup's window by its Yes button.
HWND SetupDialogWith(int id) {
    struct Search {
        int id;
        HWND found;
    } search{id, nullptr};
    ::EnumWindows(
        [](HWND window, LPARAM parameter) -> BOOL {
            auto& wanted = *reinterpret_cast<Search*>(parameter);
            wchar_t className[64] = {};
            wchar_t title[256] = {};
            ::GetClassNameW(window, className, 64);
            ::GetWindowTextW(window, title, 256);
            if (wcscmp(className, L"#32770") == 0 && wcsstr(title, L"Orvanter") != nullptr &&
                ::IsWindowVisible(window) && ::GetDlgItem(window, wanted.id) != nullptr) {
                wanted.found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}
// Presses button `id` of the dialog as a click does; false when it is not there or not enabled.
bool Press(HWND dialog, int id) {
    const HWND button = dialog != nullptr ? ::GetDlgItem(dialog, id) : nullptr;
    if (button == nullptr || !::IsWindowEnabled(button)) {
        return false;
    }
    return ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

HWND MainWindow() {
    return ::FindWindowW(L"TfmMain", L"Orvanter");
}
int MainWindowCount() {
    int count = 0;
    HWND window = nullptr;
    while ((window = ::FindWindowExW(nullptr, window, L"TfmMain", nullptr)) != nullptr) {
        ++count;
    }
    return count;
}
bool InFront(HWND window) {
    return window != nullptr && ::IsWindowVisible(window) && !::IsIconic(window) &&
           ::GetForegroundWindow() == window;
}

class InstalledProgramTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    static void TearDownTestSuite() {
        // Whatever a failed step left running: closed as the user would, then ended.
        if (const HWND window = MainWindow()) {
            ::PostMessageW(window, WM_CLOSE, 0, 0);
        }
        for (const Started& process : started) {
            if (!process.Ended(10s)) {
                ::TerminateProcess(process.process, 1);
            }
            ::CloseHandle(process.process);
        }
        ::CoUninitialize();
    }

    const std::wstring setup = Environment(L"ORV_SETUP");
    const std::wstring version = Environment(L"ORV_VERSION");
};

TEST_F(InstalledProgramTest, SilentInstallPutsProgramShortcutAndAppsEntryInPlace) {
    ASSERT_TRUE(Exists(setup)) << "ORV_SETUP";
    ASSERT_FALSE(version.empty()) << "ORV_VERSION";
    EXPECT_EQ(RunToEnd(setup, L"/S", 120s), 0u);

    for (const wchar_t* file : {L"Orvanter.exe", L"Help_e.txt", L"Help_r.txt", L"ReadMe.txt",
                                L"Bat\\sample.bat", L"Uninstall.exe"}) {
        EXPECT_TRUE(Exists(Installed(file))) << file;
    }
    EXPECT_TRUE(SamePath(ShortcutTarget(Shortcut()), Installed(L"Orvanter.exe")));
    EXPECT_EQ(FileVersion(Installed(L"Orvanter.exe")), version + L".0");
    EXPECT_EQ(FileDescription(Installed(L"Orvanter.exe")), L"Orvanter");

    EXPECT_EQ(ReadString(kUninstallKey, L"DisplayName"), L"Orvanter");
    EXPECT_EQ(ReadString(kUninstallKey, L"DisplayVersion"), version);
    EXPECT_EQ(ReadString(kUninstallKey, L"Publisher"), L"Keldrastic");
    EXPECT_EQ(ReadString(kUninstallKey, L"DisplayIcon"), Installed(L"Orvanter.exe") + L",0");
    EXPECT_EQ(ReadString(kUninstallKey, L"UninstallString"), L"\"" + Installed(L"Uninstall.exe") + L"\"");
    // winget finds the installation by its ProductCode: the name of the key the installer writes.
    const std::string manifest = ReadWholeFile(Environment(L"ORV_WINGET_INSTALLER"));
    const std::wstring productCode = ManifestValue(manifest, "ProductCode");
    ASSERT_FALSE(productCode.empty());
    const std::wstring productKey =
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + productCode;
    EXPECT_EQ(ReadString(productKey.c_str(), L"DisplayVersion"), ManifestValue(manifest, "DisplayVersion"));
    EXPECT_EQ(ReadString(productKey.c_str(), L"Publisher"), ManifestValue(manifest, "Publisher"));
    // Orvanter.exe alone is hundreds of kilobytes.
    EXPECT_GT(ReadNumber(kUninstallKey, L"EstimatedSize").value_or(0), 100u);
    // The settings are the program's own business: the installer does not make them.
    EXPECT_FALSE(KeyExists(kSettingsKey));
}

TEST_F(InstalledProgramTest, ProgramStartsFromItsShortcutAndASecondStartBringsItForward) {
    const std::wstring target = ShortcutTarget(Shortcut());
    ASSERT_FALSE(target.empty());
    const auto first = Start(target, L"", InstallFolder());
    ASSERT_TRUE(first);
    ASSERT_TRUE(WaitFor([] { return MainWindow() != nullptr && ::IsWindowVisible(MainWindow()); }, 60s));
    const HWND window = MainWindow();

    // A screen reader in another process learns what an enable box is.
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (box = ChildOfClass(window, L"OrvCheckBox")) != nullptr; }, 30s));
    IAccessible* object = nullptr;
    ASSERT_HRESULT_SUCCEEDED(::AccessibleObjectFromWindow(
        box, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible), reinterpret_cast<void**>(&object)));
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    VARIANT role{};
    EXPECT_EQ(object->get_accRole(self, &role), S_OK);
    EXPECT_EQ(role.lVal, ROLE_SYSTEM_CHECKBUTTON);
    BSTR name = nullptr;
    EXPECT_EQ(object->get_accName(self, &name), S_OK);
    EXPECT_NE(name, nullptr);
    ::SysFreeString(name);
    object->Release();

    ::ShowWindow(window, SW_MINIMIZE);
    ASSERT_TRUE(WaitFor([window] { return ::IsIconic(window) != FALSE; }, 10s));
    EXPECT_EQ(RunToEnd(target, L"", 20s), 0u);
    EXPECT_TRUE(WaitFor([window] { return InFront(window); }, 10s));
    EXPECT_EQ(MainWindowCount(), 1);
    EXPECT_FALSE(first->Ended());

    // Closed as its close button closes it: everything is saved, the process ends by itself.
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(first->Ended(30s));
    EXPECT_EQ(first->ExitCode(), 0u);
    EXPECT_TRUE(ReadNumber(kSettingsKey, L"Type_Obj1").has_value());
}

TEST_F(InstalledProgramTest, SecondStartBringsBackAProgramHiddenInTheTray) {
    // Hidden to the tray right after its splash, as the option asks.
    WriteNumber(kSettingsKey, L"MinFormShow", 1);
    const auto first = Start(Installed(L"Orvanter.exe"), L"", InstallFolder());
    ASSERT_TRUE(first);
    bool shown = false;
    ASSERT_TRUE(WaitFor(
        [&shown] {
            const HWND window = MainWindow();
            shown = shown || (window != nullptr && ::IsWindowVisible(window));
            return shown && window != nullptr && !::IsWindowVisible(window);
        },
        60s));
    const HWND window = MainWindow();

    EXPECT_EQ(RunToEnd(Installed(L"Orvanter.exe"), L"", 20s), 0u);
    EXPECT_TRUE(WaitFor([window] { return InFront(window); }, 10s));
    EXPECT_FALSE(first->Ended());
}

TEST_F(InstalledProgramTest, InstallOverTheRunningProgramClosesItInOrderAndKeepsTheUsersFiles) {
    const HWND window = MainWindow();
    ASSERT_NE(window, nullptr) << "the program of the previous step runs";
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    const HANDLE process = ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    ASSERT_NE(process, nullptr);
    WriteFile(Installed(L"Bat\\mine.bat"), "@echo mine\r\n");
    WriteFile(Installed(L"Bat\\sample.bat"), "@rem changed by the user\r\n");
    WriteFile(Installed(L"Log\\10.00.00.log"), "a log line\r\n");
    // Written again only by the program's orderly exit.
    DeleteValue(kSettingsKey, L"LogOK");

    EXPECT_EQ(RunToEnd(setup, L"/S", 120s), 0u);
    EXPECT_EQ(::WaitForSingleObject(process, 0), WAIT_OBJECT_0);
    DWORD code = STILL_ACTIVE;
    ::GetExitCodeProcess(process, &code);
    ::CloseHandle(process);
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(ReadNumber(kSettingsKey, L"LogOK").has_value());
    EXPECT_EQ(ReadNumber(kSettingsKey, L"MinFormShow"), 1u);

    EXPECT_EQ(ReadWholeFile(Installed(L"Bat\\mine.bat")), "@echo mine\r\n");
    EXPECT_EQ(ReadWholeFile(Installed(L"Bat\\sample.bat")), "@rem changed by the user\r\n");
    EXPECT_TRUE(Exists(Installed(L"Log\\10.00.00.log")));
    EXPECT_TRUE(Exists(Installed(L"Orvanter.exe")));
}

TEST_F(InstalledProgramTest, SilentUninstallRemovesTheProgramAndKeepsSettingsAndLogs) {
    const auto program = Start(Installed(L"Orvanter.exe"), L"", InstallFolder());
    ASSERT_TRUE(program);
    ASSERT_TRUE(WaitFor([] { return MainWindow() != nullptr; }, 60s));
    DeleteValue(kSettingsKey, L"LogOK");
    // As the program writes it when the start-up option is switched on.
    WriteString(kRunKey, L"Orvanter", L"\"" + Installed(L"Orvanter.exe") + L"\"");
    WriteString(kRunKey, L"SomethingElse", L"C:\\else.exe");

    // The uninstaller hands over to a copy of itself and ends; the copy removes Uninstall.exe last.
    EXPECT_TRUE(RunToEnd(Installed(L"Uninstall.exe"), L"/S", 60s).has_value());
    ASSERT_TRUE(WaitFor([] { return !Exists(Installed(L"Uninstall.exe")); }, 120s));

    EXPECT_TRUE(program->Ended(10s));
    EXPECT_EQ(program->ExitCode(), 0u);
    EXPECT_TRUE(ReadNumber(kSettingsKey, L"LogOK").has_value());

    for (const wchar_t* file : {L"Orvanter.exe", L"Help_e.txt", L"Help_r.txt", L"ReadMe.txt"}) {
        EXPECT_FALSE(Exists(Installed(file))) << file;
    }
    EXPECT_FALSE(Exists(Shortcut()));
    EXPECT_FALSE(KeyExists(kUninstallKey));
    EXPECT_FALSE(ReadString(kRunKey, L"Orvanter").has_value());
    EXPECT_TRUE(ReadString(kRunKey, L"SomethingElse").has_value());
    // The user's things stay: settings, logs, own batch files and the sample the user changed.
    EXPECT_TRUE(KeyExists(kSettingsKey));
    EXPECT_TRUE(Exists(Installed(L"Log\\10.00.00.log")));
    EXPECT_TRUE(Exists(Installed(L"Bat\\mine.bat")));
    EXPECT_EQ(ReadWholeFile(Installed(L"Bat\\sample.bat")), "@rem changed by the user\r\n");
}

// An installation into a folder the user already had (C:\Tools with files of its own), upgraded without
// naming the folder again, once while its program cannot be replaced, and removed with the user's
// settings and logs.
TEST_F(InstalledProgramTest, InstallationInAUsersFolderIsUpgradedThereAndRemovesOnlyWhatItWrote) {
    const std::wstring folder = L"C:\\Tools";
    const auto in = [&folder](const wchar_t* relative) { return folder + L"\\" + relative; };
    WriteFile(in(L"tool.txt"), "the user's\r\n");
    WriteFile(in(L"Log\\notes.log"), "the user's\r\n");
    WriteFile(in(L"Log\\build.2024.01.log"), "the user's\r\n");
    ASSERT_EQ(RunToEnd(setup, L"/S /D=" + folder, 120s), 0u);
    ASSERT_TRUE(Exists(in(L"Orvanter.exe")));

    // An upgrade goes to the folder of the installation, not to the default one.
    WriteFile(in(L"Help_e.txt"), "old help");
    EXPECT_EQ(RunToEnd(setup, L"/S", 120s), 0u);
    EXPECT_NE(ReadWholeFile(in(L"Help_e.txt")), "old help");
    EXPECT_FALSE(Exists(Installed(L"Orvanter.exe")));

    {
        // The program started again after the setup closed it: its executable cannot be replaced. The
        // setup fails and the old installation stays whole, its Apps entry included.
        WriteFile(in(L"Orvanter.exe"), "the old program");
        WriteString(kUninstallKey, L"DisplayVersion", L"0.9");
        const HANDLE file = ::CreateFileW(in(L"Orvanter.exe").c_str(), GENERIC_READ,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                          OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        const HANDLE mapping = ::CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
        const void* view = ::MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
        ASSERT_NE(view, nullptr);
        const auto code = RunToEnd(setup, L"/S", 120s);
        ::UnmapViewOfFile(view);
        ::CloseHandle(mapping);
        ::CloseHandle(file);
        ASSERT_TRUE(code.has_value());
        EXPECT_NE(*code, 0u);
        EXPECT_EQ(ReadWholeFile(in(L"Orvanter.exe")), "the old program");
        EXPECT_EQ(ReadString(kUninstallKey, L"DisplayVersion"), L"0.9");
    }
    ASSERT_EQ(RunToEnd(setup, L"/S", 120s), 0u);
    EXPECT_EQ(FileVersion(in(L"Orvanter.exe")), version + L".0");

    // What the program wrote, and a start-up entry of the other installation, in the default folder.
    WriteFile(in(L"Log\\14.05.33.log"), "a log line\r\n");
    WriteFile(in(L"Log\\2.05.33 PM.log"), "a log line\r\n");
    WriteString(kRunKey, L"Orvanter", L"\"" + Installed(L"Orvanter.exe") + L"\"");
    ASSERT_TRUE(KeyExists(kSettingsKey));

    // The uninstaller as a user runs it: Uninstall, then Yes to removing the settings and logs.
    ASSERT_TRUE(Start(in(L"Uninstall.exe")));
    EXPECT_TRUE(WaitFor([] { return Press(SetupDialogWith(IDOK), IDOK); }, 60s));
    EXPECT_TRUE(WaitFor([] { return Press(SetupDialogWith(IDYES), IDYES); }, 60s));
    EXPECT_TRUE(WaitFor([&in] { return !Exists(in(L"Uninstall.exe")); }, 60s));
    // Closed when it has finished.
    EXPECT_TRUE(WaitFor(
        [] {
            Press(SetupDialogWith(IDOK), IDOK);
            return SetupDialogWith(IDOK) == nullptr && SetupDialogWith(IDCANCEL) == nullptr;
        },
        60s));

    EXPECT_FALSE(KeyExists(kSettingsKey));
    EXPECT_FALSE(KeyExists(kUninstallKey));
    for (const wchar_t* file : {L"Orvanter.exe", L"Help_e.txt", L"Bat\\sample.bat", L"Bat",
                                L"Log\\14.05.33.log", L"Log\\2.05.33 PM.log"}) {
        EXPECT_FALSE(Exists(in(file))) << file;
    }
    for (const wchar_t* file : {L"tool.txt", L"Log\\notes.log", L"Log\\build.2024.01.log"}) {
        EXPECT_TRUE(Exists(in(file))) << file;
    }
    EXPECT_EQ(ReadString(kRunKey, L"Orvanter"), L"\"" + Installed(L"Orvanter.exe") + L"\"");
}

}  // namespace
