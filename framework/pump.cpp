#include "framework/pump.h"

#include "framework/dialog.h"

namespace fw {

void RouteMessage(MSG& msg) {
    if (HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
        root && dynamic_cast<CDialog*>(CWnd::FromHandle(root)) && IsDialogMessageW(root, &msg))
        return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

void PumpPending() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        RouteMessage(msg);
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        PumpPending();
        if (done()) return true;
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE,
                                  static_cast<DWORD>(deadline - now < 10 ? deadline - now : 10), QS_ALLINPUT);
    }
}

} // namespace fw
