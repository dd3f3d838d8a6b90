// The posting road on Windows: PostMessageW to a real window, and records that never reach a handler.
#include "receiver/notify_pipe.h"
#include "receiver/notify_queue.h"

#include "rig.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace pw {
namespace {

std::size_t g_freedAtDestroy = 0;

LRESULT CALLBACK ReceiverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) g_freedAtDestroy = FreeQueuedNotifyRecords(window);
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND MakeWindow() {
    static const ATOM atom = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = ReceiverWindowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"PairwrightNotifyTest";
        return RegisterClassW(&wc);
    }();
    EXPECT_NE(atom, 0);
    return CreateWindowExW(0, L"PairwrightNotifyTest", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

TEST(NotifyQueue, ReportReachesTheWindowAsMessage) {
    test::ReceiverRig rig;
    HWND window = MakeWindow();
    ASSERT_NE(window, nullptr);
    CNotifyPipe pipe(rig.bus.TickSource());
    ASSERT_TRUE(pipe.Open(window, rig.receiver.NotifyPath()));
    rig.receiver.SendInput(test::Report(kNotifyReceiverFull, {2}));

    MSG msg{};
    ASSERT_TRUE(test::WaitUntil([&] {
        return PeekMessageW(&msg, window, WM_RECEIVER_NOTIFY, WM_RECEIVER_NOTIFY, PM_REMOVE) != FALSE;
    }));
    const auto record = TakeOwned<NotifyRecord>(msg.wParam);
    EXPECT_EQ(record->code, kNotifyReceiverFull);
    EXPECT_EQ(record->device.kind, 2);
    EXPECT_EQ(msg.lParam, reinterpret_cast<LPARAM>(&pipe));
    pipe.Close();
    DestroyWindow(window);
}

TEST(NotifyQueue, RecordsQueuedAtDestructionAreFreedAndLaterPostsRefused) {
    HWND window = MakeWindow();
    ASSERT_NE(window, nullptr);
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(PostOwned(window, WM_RECEIVER_NOTIFY, std::make_unique<NotifyRecord>(), 0));
    g_freedAtDestroy = 0;
    DestroyWindow(window);
    EXPECT_EQ(g_freedAtDestroy, 3u);

    struct Counted {
        explicit Counted(int& count) : destroyed(count) {}
        ~Counted() { ++destroyed; }
        int& destroyed;
    };
    int destroyed = 0;
    EXPECT_FALSE(PostOwned(window, WM_RECEIVER_NOTIFY, std::make_unique<Counted>(destroyed), 0));
    EXPECT_EQ(destroyed, 1);
}

} // namespace
} // namespace pw
