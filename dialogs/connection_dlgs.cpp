#include "dialogs/connection_dlgs.h"

#include "res/resource.h"

namespace pw {

CConnectionDialog::CConnectionDialog(const Controls& controls)
    : CPopupDialog(controls.templateId), m_ids(controls) {
    AddControl(m_ids.ok, m_btnOk);
    AddControl(m_ids.title, m_stTitle);
    AddControl(m_ids.info, m_stInfo);
    AddControl(IDC_BTN_GO_CONTROL_PANEL, m_btnControlPanel);
    AddControl(IDC_STATIC_CAPTION, m_stCaption);
}

BOOL CConnectionDialog::OnInitDialog() {
    CSkinDialog::OnInitDialog();
    SetLanguage(s_strLanguage);
    LayOutControls();
    return TRUE;
}

void CConnectionDialog::SetDeviceRecord(const DeviceSlotRecord& record) {
    m_record = record;
    if (m_hWnd) m_stInfo.SetWindowText(FormatText(m_ids.infoFormat, DeviceDisplayName(m_record)));
}

bool CConnectionDialog::OnCommand(WORD id, WORD code, HWND control) {
    if (code == BN_CLICKED && id == m_ids.ok) return Close(), true;
    if (code == BN_CLICKED && id == IDC_BTN_GO_CONTROL_PANEL) return GoToControlPanelAndClose(), true;
    return CPopupDialog::OnCommand(id, code, control);
}

CDlgRedundant::CDlgRedundant()
    : CConnectionDialog({IDD_REDUNDANT, IDC_BTN_REDANT_OK, IDC_STATIC_REDANT_TITLE, IDC_STATIC_REDANT_INFO,
                         TextKey::RedundantInfo}) {}

CDlgForbidPair::CDlgForbidPair()
    : CConnectionDialog({IDD_FORBID_PAIR, IDC_BTN_MORE_DG_OK, IDC_STATIC_MORE_DG_TITLE,
                         IDC_STATIC_MORE_DG_INFO, TextKey::MultipleInfo}) {}

} // namespace pw
