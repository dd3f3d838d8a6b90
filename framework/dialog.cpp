#include "framework/dialog.h"

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
    m_bModal = true;
    HWND parent = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    const INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_nIDTemplate), parent,
                                           &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    m_bModal = false;
    return result;
}

bool CDialog::Create(HWND parent) {
    if (m_hWnd) return false;
    m_bModal = false;
    return CreateFromTemplate(parent);
}

void CDialog::EndDialog(INT_PTR result) {
    if (!m_hWnd) return;
    if (m_bModal)
        ::EndDialog(m_hWnd, result);
    else
        DestroyWindow();
}

BOOL CDialog::OnInitDialog() {
    DoDataExchange();
    return TRUE;
}

bool CDialog::OnCommand(WORD, WORD, HWND) {
    return false;
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog();
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) return OnOK(), 0;
        if (LOWORD(wParam) == IDCANCEL) return OnCancel(), 0;
        if (OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam))) return 0;
        break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}
