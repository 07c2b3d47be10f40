// The anchor of the running-program benchmark: the least any program with this program's work timer
// and system interfaces can cost. An empty 802 x 602 window with a 100 ms timer that reads the cursor,
// in a process that has initialised COM and the common controls and put one icon in the tray.
// With the argument "thread" it has also started and ended one thread, as the program does when its
// first showing checks the search texts off the window's thread: what the system keeps of a thread
// that has ended is the same for both then.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

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

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (lstrcmpiW(commandLine, L"thread") == 0) {
        HANDLE thread = ::CreateThread(nullptr, 0, [](LPVOID) -> DWORD { return 0; }, nullptr, 0, nullptr);
        if (thread != nullptr) {
            ::WaitForSingleObject(thread, INFINITE);
            ::CloseHandle(thread);
        }
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
    ::CoUninitialize();
    return 0;
}
