#include "panel/list_item.h"

#include "res/resource.h"

namespace pw {

CDlgItem::CDlgItem(UINT templateId, CWnd& owner) : CSkinDialog(templateId), m_owner(owner) {}

CDlgItem::~CDlgItem() {
    // The window goes while the whole object still answers its last messages.
    if (m_hWnd) DestroyWindow();
}

ui::Size CDlgItem::GetItemSize() const {
    const RECT r = GetWindowRect();
    return {r.right - r.left, r.bottom - r.top};
}

BOOL CDlgItem::OnInitDialog() {
    CSkinDialog::OnInitDialog();
    SetLanguage(s_strLanguage);
    LayOutControls();
    return TRUE;
}

CDlgAddNewDev::CDlgAddNewDev(CWnd& owner) : CDlgItem(IDD_ADD_NEW_DEV, owner) {
    AddControl(IDC_BTN_ADD_NEW_DEV, m_btnAddNewDev);
}

bool CDlgAddNewDev::OnCommand(WORD id, WORD code, HWND) {
    if (id != IDC_BTN_ADD_NEW_DEV || code != BN_CLICKED) return false;
    ::PostMessageW(::GetParent(m_hWnd), WM_SHOW_PAIR_HELP, 0, 0);
    return true;
}

} // namespace pw
