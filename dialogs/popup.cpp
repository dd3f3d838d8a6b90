#include "dialogs/popup.h"

#include <algorithm>

namespace pw {

void CPopupDialog::Close() {
    if (m_hWnd) DestroyWindow();
}

LRESULT CPopupDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // No default button: Enter is the dialog's OK operation, never a click of the button the template
    // marks as default ("Add Device", "Done").
    switch (message) {
    case DM_GETDEFID: return 0;
    }
    return CSkinDialog::WindowProc(message, wParam, lParam);
}

LRESULT CPopupDialog::OnClose() {
    OnCloseButton();
    return 0;
}

bool CPopupDialog::PostToOwner(UINT message, WPARAM wParam, LPARAM lParam) const {
    HWND target = m_pOwner ? m_pOwner->AnswerWindow() : nullptr;
    return target && ::PostMessageW(target, message, wParam, lParam);
}

void CPopupDialog::GoToControlPanelAndClose() {
    PostToOwner(WM_SHOW_CONTROL_PANEL, 0, Self());
    Close();
}

void CentreWindow(HWND window, HWND reference) {
    RECT own{};
    if (!GetWindowRect(window, &own)) return;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoW(MonitorFromWindow(reference ? reference : window, MONITOR_DEFAULTTONEAREST),
                         &monitor))
        return;
    const RECT& work = monitor.rcWork;
    RECT around = work;
    if (reference) GetWindowRect(reference, &around);
    const int width = own.right - own.left;
    const int height = own.bottom - own.top;
    int x = (around.left + around.right) / 2 - width / 2;
    int y = (around.top + around.bottom) / 2 - height / 2;
    x = std::max<int>(work.left, std::min<int>(x, work.right - width));
    y = std::max<int>(work.top, std::min<int>(y, work.bottom - height));
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool OpenPopup(CPopupDialog& popup, HWND mainWindow, const std::function<void()>& handOver) {
    if (popup.IsOpen() || !popup.Create(GetDesktopWindow())) return false;
    if (handOver) handOver();
    if (!popup.IsOpen()) return false;
    const bool onMain = mainWindow && IsWindowVisible(mainWindow) && !IsIconic(mainWindow);
    CentreWindow(popup.m_hWnd, onMain ? mainWindow : nullptr);
    SetWindowPos(popup.m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
    return true;
}

} // namespace pw
