#include "framework/dialog.h"

#include "framework/pump.h"

INT_PTR CALLBACK CDialog::DialogProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message != WM_INITDIALOG) return FALSE;
    auto* self = reinterpret_cast<CDialog*>(lParam);
    if (!self || FromHandle(wnd)) return TRUE;
    bool bound = false;
    try {
        bound = self->SubclassWindow(wnd);
    } catch (...) {
    }
    // A window its object could not be bound to is destroyed again by CreateFromTemplate.
    if (!bound) return TRUE;
    // From here on the window procedure is ours; WM_INITDIALOG itself is answered by WindowProc.
    return StaticWindowProc(wnd, message, wParam, lParam);
}

bool CDialog::CreateFromTemplate(HWND parent) {
    HWND wnd = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_nIDTemplate), parent,
                                  &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    if (wnd && m_hWnd != wnd) {
        ::DestroyWindow(wnd);
        return false;
    }
    return wnd != nullptr;
}

INT_PTR CDialog::DoModal() {
    if (m_hWnd) return -1;
    // As with the system's modal dialogs, the owner is the parent's top-level window.
    HWND owner = m_pParentWnd && m_pParentWnd->m_hWnd ? GetAncestor(m_pParentWnd->m_hWnd, GA_ROOT) : nullptr;
    const bool disabledOwner = owner && ::IsWindowEnabled(owner);
    if (disabledOwner) ::EnableWindow(owner, FALSE);
    m_bModal = true;
    m_bEndModal = false;
    m_nModalResult = 0;
    if (CreateFromTemplate(owner))
        RunModalLoop();
    else
        m_nModalResult = -1;
    if (disabledOwner) ::EnableWindow(owner, TRUE);
    if (m_hWnd) {
        if (owner && GetActiveWindow() == m_hWnd) SetActiveWindow(owner);
        SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        DestroyWindow();
    }
    m_bModal = false;
    return m_nModalResult;
}

void CDialog::RunModalLoop() {
    // As the system's loop does: the dialog is shown when the queue first runs dry or at the first
    // timer, whatever its template says (a window may still refuse, as the hidden main window does).
    bool shown = false;
    const auto show = [&] {
        shown = true;
        ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
    };
    MSG msg{};
    while (m_hWnd && !m_bEndModal) {
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!shown) {
                show();
                continue;
            }
            if (GetMessageW(&msg, nullptr, 0, 0) == -1) break;
        }
        if (msg.message == WM_QUIT) {
            // The loop outside (an outer dialog's, or the program's) must see it too.
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        fw::RouteMessage(msg);
        if (!shown && msg.message == WM_TIMER && m_hWnd && !m_bEndModal) show();
    }
}

bool CDialog::Create(HWND parent) {
    if (m_hWnd) return false;
    m_bModal = false;
    return CreateFromTemplate(parent);
}

void CDialog::EndDialog(INT_PTR result) {
    if (!m_hWnd) return;
    if (!m_bModal) {
        DestroyWindow();
        return;
    }
    m_nModalResult = result;
    m_bEndModal = true;
    // Wakes the loop when this runs for a message sent while the loop was waiting.
    PostMessage(WM_NULL);
}

BOOL CDialog::OnInitDialog() {
    DoDataExchange();
    return TRUE;
}

LRESULT CDialog::OnClose() {
    HWND cancel = GetDlgItem(IDCANCEL);
    if (!cancel || ::IsWindowEnabled(cancel))
        SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
    return 0;
}

bool CDialog::OnCommand(WORD, WORD, HWND) {
    return false;
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog();
    case WM_CLOSE: return OnClose();
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) return OnOK(), 0;
        if (LOWORD(wParam) == IDCANCEL) return OnCancel(), 0;
        if (OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam))) return 0;
        break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}
