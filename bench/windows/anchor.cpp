// The anchors of the running-program benchmark: the least any program with this program's work timer
// and system interfaces can cost. An empty 802 x 602 window with a 100 ms timer that reads the cursor,
// in a process that has initialised COM and the common controls and put one icon in the tray.
// With the argument "thread" it has also started and ended one thread, as the program does when its
// first showing checks the search texts off the window's thread: what the system keeps of a thread
// that has ended is the same for both then.
// With "scan FOLDER" it is the bare scanner: a thread that measures, one step a second in a cycle of
// twelve, what the benchmark's eight file objects measure, with the plainest system calls: step N
// (1 to 8) looks at FOLDER\watchedN.txt for its presence, size, date or the count of "needle" (N - 1
// modulo 4), as the objects do; steps 9 to 12 rest, as the program's log, action and empty steps
// measure nothing.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr UINT_PTR kTimer = 1;

LRESULT CALLBACK AnchorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER: {
            POINT cursor{};
            ::GetCursorPos(&cursor);
            return 0;
        }
        case WM_DESTROY:
            ::PostQuitMessage(0);
            return 0;
        default:
            return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

// The file's attributes (presence, size and date all come from them).
bool LookAt(const std::wstring& path, WIN32_FILE_ATTRIBUTE_DATA& data) {
    return ::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) != 0;
}

// Occurrences of "needle" in the file, read in chunks of 1 MiB; a needle across two chunks counts.
long long CountNeedles(const std::wstring& path, std::vector<char>& buffer) {
    constexpr std::string_view kNeedle = "needle";
    HANDLE file =
        ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return -1;
    }
    long long count = 0;
    size_t carry = 0;
    DWORD read = 0;
    while (
        ::ReadFile(file, buffer.data() + carry, static_cast<DWORD>(buffer.size() - carry), &read, nullptr) &&
        read != 0) {
        const std::string_view text(buffer.data(), carry + read);
        size_t at = 0;
        size_t resume = 0;
        while ((at = text.find(kNeedle, at)) != std::string_view::npos) {
            ++count;
            at += kNeedle.size();
            resume = at;
        }
        carry = std::min(text.size() - resume, kNeedle.size() - 1);
        std::memmove(buffer.data(), buffer.data() + text.size() - carry, carry);
    }
    ::CloseHandle(file);
    return count;
}

struct Scan {
    std::wstring folder;
    HANDLE stop = nullptr;
};

DWORD WINAPI ScanThread(LPVOID parameter) {
    const Scan& scan = *static_cast<const Scan*>(parameter);
    std::vector<char> buffer(1 << 20);
    volatile long long sink = 0;
    for (int step = 1;; step = step % 12 + 1) {
        if (step <= 8) {
            const std::wstring path = scan.folder + L"\\watched" + std::to_wstring(step) + L".txt";
            if ((step - 1) % 4 == 3) {
                sink = sink + CountNeedles(path, buffer);
            } else {
                WIN32_FILE_ATTRIBUTE_DATA data;
                sink =
                    sink + (LookAt(path, data) ? data.nFileSizeLow + data.ftLastWriteTime.dwLowDateTime : 0);
            }
        }
        if (::WaitForSingleObject(scan.stop, 1000) != WAIT_TIMEOUT) {
            return 0;
        }
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (lstrcmpiW(commandLine, L"thread") == 0) {
        HANDLE thread = ::CreateThread(
            nullptr, 0, [](LPVOID) -> DWORD { return 0; }, nullptr, 0, nullptr);
        if (thread != nullptr) {
            ::WaitForSingleObject(thread, INFINITE);
            ::CloseHandle(thread);
        }
    }
    Scan scan;
    HANDLE scanner = nullptr;
    if (wcsncmp(commandLine, L"scan ", 5) == 0) {
        scan.folder = commandLine + 5;
        scan.stop = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        scanner = ::CreateThread(nullptr, 0, ScanThread, &scan, 0, nullptr);
    }
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = AnchorProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = L"OrvanterAnchor";
    ::RegisterClassW(&windowClass);
    HWND window = ::CreateWindowExW(0, windowClass.lpszClassName, L"Orvanter anchor", WS_POPUP | WS_VISIBLE,
                                    239, 10, 802, 602, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) {
        return 1;
    }

    NOTIFYICONDATAW icon{};
    icon.cbSize = sizeof(icon);
    icon.hWnd = window;
    icon.uID = 1;
    icon.uFlags = NIF_ICON | NIF_TIP;
    icon.hIcon = ::LoadIconW(nullptr, IDI_APPLICATION);
    lstrcpynW(icon.szTip, L"Orvanter anchor", ARRAYSIZE(icon.szTip));
    ::Shell_NotifyIconW(NIM_ADD, &icon);

    ::SetTimer(window, kTimer, 100, nullptr);
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    ::Shell_NotifyIconW(NIM_DELETE, &icon);
    if (scanner != nullptr) {
        ::SetEvent(scan.stop);
        ::WaitForSingleObject(scanner, INFINITE);
        ::CloseHandle(scanner);
    }
    ::CoUninitialize();
    return 0;
}
