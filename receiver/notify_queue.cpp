#include "receiver/notify_queue.h"

#include "common/post.h"

#include <windows.h>

namespace pw {

std::size_t FreeQueuedNotifyRecords(WindowHandle window) {
    std::size_t freed = 0;
    MSG msg;
    while (PeekMessageW(&msg, window, WM_RECEIVER_NOTIFY, WM_RECEIVER_NOTIFY, PM_REMOVE)) {
        TakeOwned<NotifyRecord>(msg.wParam);
        ++freed;
    }
    return freed;
}

} // namespace pw
