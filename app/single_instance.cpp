#include "app/single_instance.h"

#include <charconv>
#include <string>
#include <thread>

namespace orv::app {

// What the first start publishes: its main window and its process, written once the window exists.
struct SingleInstance::Shared {
    volatile LONG64 window;
    volatile LONG processId;
};

std::wstring CurrentUserIdentity() {
    HANDLE token = nullptr;
    if (::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) {
        const win32::KernelHandle owned(token);
        DWORD size = 0;
        ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
        if (size != 0) {
            std::string buffer(size, '\0');
            if (::GetTokenInformation(token, TokenUser, buffer.data(), size, &size)) {
                const auto* user = reinterpret_cast<const TOKEN_USER*>(buffer.data());
                std::wstring identity = SidText(user->User.Sid);
                if (!identity.empty()) {
                    return identity;
                }
            }
        }
    }
    wchar_t name[257] = {};
    DWORD length = 257;
    if (::GetUserNameW(name, &length)) {
        return name;
    }
    return {};
}

namespace {

// The decimal digits of `value` (std::to_wstring would bring the whole of printf into the program).
std::wstring Decimal(unsigned long value) {
    char digits[24];
    const char* end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    return std::wstring(static_cast<const char*>(digits), end);
}

}  // namespace

std::wstring SidText(PSID sid) {
    if (sid == nullptr || !::IsValidSid(sid)) {
        return {};
    }
    std::wstring text = L"S-" + Decimal(static_cast<const SID*>(sid)->Revision) + L"-";
    // An authority beyond 32 bits is written in hexadecimal, as the system does.
    const BYTE* authority = ::GetSidIdentifierAuthority(sid)->Value;
    if (authority[0] != 0 || authority[1] != 0) {
        constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
        text += L"0x";
        for (int i = 0; i < 6; ++i) {
            text += kDigits[authority[i] >> 4];
            text += kDigits[authority[i] & 0xF];
        }
    } else {
        unsigned long value = 0;
        for (int i = 2; i < 6; ++i) {
            value = (value << 8) | authority[i];
        }
        text += Decimal(value);
    }
    const BYTE count = *::GetSidSubAuthorityCount(sid);
    for (BYTE i = 0; i < count; ++i) {
        text += L"-" + Decimal(*::GetSidSubAuthority(sid, i));
    }
    return text;
}

std::wstring InstanceName(const std::wstring& user) {
    // Object names may not hold a backslash after the namespace; a user name with a domain could.
    std::wstring safe = user;
    for (wchar_t& c : safe) {
        if (c == L'\\') {
            c = L'_';
        }
    }
    return L"Local\\Keldrastic.Orvanter.Instance." + safe;
}

SingleInstance::SingleInstance(const std::wstring& name) {
    ::SetLastError(ERROR_SUCCESS);
    mapping_.Reset(::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                        static_cast<DWORD>(sizeof(Shared)), name.c_str()));
    if (!mapping_) {
        return;
    }
    first_ = ::GetLastError() != ERROR_ALREADY_EXISTS;
    view_ = ::MapViewOfFile(mapping_.Get(), FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, sizeof(Shared));
}

SingleInstance::~SingleInstance() {
    if (view_ != nullptr) {
        ::UnmapViewOfFile(view_);
    }
}

SingleInstance::Shared* SingleInstance::View() const {
    return static_cast<Shared*>(view_);
}

void SingleInstance::Publish(HWND window) {
    Shared* shared = View();
    if (!first_ || shared == nullptr) {
        return;
    }
    ::InterlockedExchange(&shared->processId, static_cast<LONG>(::GetCurrentProcessId()));
    ::InterlockedExchange64(&shared->window, static_cast<LONG64>(reinterpret_cast<INT_PTR>(window)));
}

HWND SingleInstance::RunningWindow(std::chrono::milliseconds timeout) const {
    const Shared* shared = View();
    if (first_ || shared == nullptr) {
        return nullptr;
    }
    auto* window = const_cast<volatile LONG64*>(&shared->window);
    auto* processId = const_cast<volatile LONG*>(&shared->processId);
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const LONG64 published = ::InterlockedCompareExchange64(window, 0, 0);
        if (published != 0) {
            const HWND found = reinterpret_cast<HWND>(static_cast<INT_PTR>(published));
            DWORD owner = 0;
            // A handle of a window that has gone may have been given to another window since.
            if (::IsWindow(found) && ::GetWindowThreadProcessId(found, &owner) != 0 &&
                owner == static_cast<DWORD>(::InterlockedCompareExchange(processId, 0, 0))) {
                return found;
            }
            return nullptr;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return nullptr;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

bool AskToComeToFront(HWND window, UINT message) {
    if (window == nullptr || message == 0) {
        return false;
    }
    // This start was just launched by the user, so it may hand its right to take the foreground on.
    DWORD processId = 0;
    if (::GetWindowThreadProcessId(window, &processId) != 0) {
        ::AllowSetForegroundWindow(processId);
    }
    return ::PostMessageW(window, message, 0, 0) != FALSE;
}

}  // namespace orv::app
