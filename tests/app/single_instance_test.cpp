// One program per user session: the instance object, finding the running program's window, and asking
// it to come forward without waiting for it.
#include "app/single_instance.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <sddl.h>

#include <atomic>
#include <chrono>
#include <optional>
#include <thread>

#include "tests/support/test_support.h"

namespace orv::app {
namespace {

using namespace std::chrono_literals;

// A name no other test program uses, so that the tests never meet a real Orvanter.
std::wstring TestName(const wchar_t* user) {
    return InstanceName(std::wstring(L"test-") + std::to_wstring(::GetCurrentProcessId()) + L"-" + user);
}

// A plain window of this thread.
HWND MakeWindow() {
    return ::CreateWindowExW(0, L"STATIC", L"instance", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                             nullptr);
}

TEST(SingleInstanceTest, NameIsPerSessionAndPerUser) {
    const std::wstring identity = CurrentUserIdentity();
    EXPECT_FALSE(identity.empty());
    const std::wstring name = InstanceName(identity);
    EXPECT_EQ(name.rfind(L"Local\\", 0), 0u);
    EXPECT_NE(name.find(identity), std::wstring::npos);
    EXPECT_NE(InstanceName(L"alice"), InstanceName(L"bob"));
    // A domain user's name must not open a namespace of its own.
    EXPECT_EQ(InstanceName(L"DOMAIN\\alice").find(L'\\', 6), std::wstring::npos);
}

// The instance name must not change between versions: a running older program is found by a newer one.
TEST(SingleInstanceTest, SidTextIsTheSystemsTextForm) {
    const auto systemText = [](PSID sid) {
        wchar_t* text = nullptr;
        if (!::ConvertSidToStringSidW(sid, &text)) {
            return std::wstring();
        }
        std::wstring copy(text);
        ::LocalFree(text);
        return copy;
    };
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    SID_IDENTIFIER_AUTHORITY wide = {{0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC}};
    PSID user = nullptr, large = nullptr;
    ASSERT_TRUE(
        ::AllocateAndInitializeSid(&nt, 5, 21, 3623811015u, 3361044348u, 30300820u, 1013, 0, 0, 0, &user));
    ASSERT_TRUE(::AllocateAndInitializeSid(&wide, 1, 7, 0, 0, 0, 0, 0, 0, 0, &large));
    EXPECT_EQ(SidText(user), L"S-1-5-21-3623811015-3361044348-30300820-1013");
    EXPECT_EQ(SidText(user), systemText(user));
    // Windows writes an authority beyond 32 bits in hexadecimal (Wine cannot convert it at all).
    EXPECT_EQ(SidText(large), L"S-1-0x123456789ABC-7");
    ::FreeSid(user);
    ::FreeSid(large);
    EXPECT_EQ(SidText(nullptr), L"");
}

TEST(SingleInstanceTest, SecondStartFindsTheFirstStartsWindow) {
    SingleInstance first(TestName(L"a"));
    ASSERT_TRUE(first.First());
    const HWND window = MakeWindow();
    ASSERT_NE(window, nullptr);
    first.Publish(window);

    SingleInstance second(TestName(L"a"));
    EXPECT_FALSE(second.First());
    EXPECT_EQ(second.RunningWindow(1s), window);
    // A second start publishes nothing over the first's window.
    second.Publish(MakeWindow());
    SingleInstance third(TestName(L"a"));
    EXPECT_EQ(third.RunningWindow(1s), window);

    // Another user's program is no concern of this one.
    SingleInstance other(TestName(L"b"));
    EXPECT_TRUE(other.First());
    ::DestroyWindow(window);
}

TEST(SingleInstanceTest, EndedProgramLeavesTheInstanceFree) {
    {
        SingleInstance first(TestName(L"c"));
        ASSERT_TRUE(first.First());
    }
    SingleInstance next(TestName(L"c"));
    EXPECT_TRUE(next.First());
}

TEST(SingleInstanceTest, WindowPublishedWhileWaitingIsFoundAndAGoneOneIsNot) {
    SingleInstance first(TestName(L"d"));
    ASSERT_TRUE(first.First());
    const HWND window = MakeWindow();
    std::thread publisher([&] {
        std::this_thread::sleep_for(100ms);
        first.Publish(window);
    });
    SingleInstance second(TestName(L"d"));
    EXPECT_EQ(second.RunningWindow(5s), window);
    publisher.join();

    ::DestroyWindow(window);
    EXPECT_EQ(second.RunningWindow(1s), nullptr);
}

TEST(SingleInstanceTest, NothingPublishedGivesNoWindowAfterTheWait) {
    SingleInstance first(TestName(L"e"));
    SingleInstance second(TestName(L"e"));
    EXPECT_EQ(second.RunningWindow(200ms), nullptr);
    // The first start never looks for a window.
    EXPECT_EQ(first.RunningWindow(200ms), nullptr);
}

TEST(SingleInstanceTest, AskingAHungProgramDoesNotWaitForIt) {
    const UINT message = ::RegisterWindowMessageW(L"Keldrastic.Orvanter.Test.ComeToFront");
    std::atomic<HWND> window{nullptr};
    std::atomic<bool> received{false};
    const HANDLE release = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    // A program whose window thread is busy: it handles messages only once released.
    std::thread program([&] {
        const HWND own = MakeWindow();
        window = own;
        ::WaitForSingleObject(release, 20000);
        MSG got;
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        while (!received && std::chrono::steady_clock::now() < deadline) {
            while (::PeekMessageW(&got, nullptr, 0, 0, PM_REMOVE)) {
                if (got.message == message && got.hwnd == own) {
                    received = true;
                }
                ::DispatchMessageW(&got);
            }
            std::this_thread::sleep_for(10ms);
        }
        ::DestroyWindow(own);
    });
    ASSERT_TRUE(orv::test::WaitFor([&] { return window.load() != nullptr; }));

    // Returns while the program is still busy.
    EXPECT_TRUE(AskToComeToFront(window, message));
    EXPECT_FALSE(received);
    ::SetEvent(release);
    program.join();
    ::CloseHandle(release);
    EXPECT_TRUE(received);
    EXPECT_FALSE(AskToComeToFront(nullptr, message));
}

}  // namespace
}  // namespace orv::app
