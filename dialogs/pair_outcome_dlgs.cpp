#include "dialogs/pair_outcome_dlgs.h"

#include "res/resource.h"

namespace pw {

CDlgPairSucc::CDlgPairSucc() : CPopupDialog(IDD_PAIR_SUCC) {
    AddControl(IDC_BTN_FINISH, m_btnFinish);
    AddControl(IDC_BTN_GO_CONTROL_PANEL, m_btnControlPanel);
    AddControl(IDC_STATIC_SUCCESS_COMMENT, m_stComment);
    AddControl(IDC_STATIC_CONGRATULATIONS, m_stTitle);
    AddControl(IDC_PIC_DEVICE, m_picDevice);
    AddControl(IDC_STATIC_CAPTION, m_stCaption);
}

BOOL CDlgPairSucc::OnInitDialog() {
    CSkinDialog::OnInitDialog();
    SetLanguage(s_strLanguage);
    // The template creates them hidden.
    m_btnFinish.ShowWindow(SW_SHOW);
    m_btnControlPanel.ShowWindow(SW_SHOW);
    m_stComment.ShowWindow(SW_SHOW);
    m_picDevice.SetImage(KindPictureIndex(m_record.kind));
    LayOutControls();
    return TRUE;
}

void CDlgPairSucc::ApplyTexts() {
    ApplyTableTexts();
    m_stComment.SetWindowText(FormatText(TextKey::SuccessComment, DeviceDisplayName(m_record)));
}

bool CDlgPairSucc::OnCommand(WORD id, WORD code, HWND control) {
    if (code == BN_CLICKED) {
        switch (id) {
        case IDC_BTN_FINISH: return Close(), true;
        case IDC_BTN_GO_CONTROL_PANEL: return GoToControlPanelAndClose(), true;
        }
    }
    return CPopupDialog::OnCommand(id, code, control);
}

CDlgPairFailed::CDlgPairFailed() : CPopupDialog(IDD_PAIR_FAILED) {
    AddControl(IDC_BTN_OK, m_btnOk);
    AddControl(IDC_STATIC_FAIL_TITLE, m_stTitle);
    AddControl(IDC_STATIC_FAIL_COMMENT, m_stComment);
    AddControl(IDC_BTN_GO_CONTROL_PANEL, m_btnControlPanel);
    AddControl(IDC_PIC_DEVICE, m_picDevice);
    AddControl(IDC_STATIC_CAPTION, m_stCaption);
}

BOOL CDlgPairFailed::OnInitDialog() {
    CSkinDialog::OnInitDialog();
    SetLanguage(s_strLanguage);
    LayOutControls();
    return TRUE;
}

void CDlgPairFailed::ApplyTexts() {
    ApplyTableTexts();
    m_stComment.SetWindowText(GetText(DeviceLimited() ? TextKey::DeviceLimitedText : TextKey::FailComment));
}

void CDlgPairFailed::SetDeviceRecord(const DeviceSlotRecord& record) {
    m_record = record;
    if (!m_hWnd) return;
    if (DeviceLimited()) {
        m_stTitle.SetWindowText(FormatText(TextKey::DeviceLimitedTitle, DeviceDisplayName(m_record)));
        m_picDevice.SetImage(KindPictureIndex(m_record.kind));
        m_picDevice.ShowWindow(SW_SHOW);
    } else {
        m_stTitle.SetWindowText(GetText(TextKey::FailTitle));
        m_picDevice.ShowWindow(SW_HIDE);
    }
}

bool CDlgPairFailed::OnCommand(WORD id, WORD code, HWND control) {
    if (code == BN_CLICKED) {
        switch (id) {
        case IDC_BTN_OK: return Close(), true;
        case IDC_BTN_GO_CONTROL_PANEL: return GoToControlPanelAndClose(), true;
        }
    }
    return CPopupDialog::OnCommand(id, code, control);
}

CDlgPairFailedMsg::CDlgPairFailedMsg() : CPopupDialog(IDD_PAIR_FAILED_MSG) {
    AddControl(IDC_BTN_OK, m_btnOk);
    AddControl(IDC_BTN_GO_CONTROL_PANEL, m_btnControlPanel);
    AddControl(IDC_STATIC_FAILED_MSG_TITLE, m_stTitle);
    AddControl(IDC_STATIC_DISTANCE, m_stDistance);
    AddControl(IDC_PIC_DEVICE, m_picDevice);
    AddStepBoxes(m_stSteps);
    AddControl(IDC_STATIC_CAPTION, m_stCaption);
}

BOOL CDlgPairFailedMsg::OnInitDialog() {
    CSkinDialog::OnInitDialog();
    SetLanguage(s_strLanguage);
    m_picDevice.SetImage(KindPictureIndex(m_record.kind));
    LayOutControls();
    return TRUE;
}

void CDlgPairFailedMsg::ApplyTexts() {
    ApplyTableTexts();
    m_stTitle.SetWindowText(FormatText(TextKey::FailedMsgTitle, DeviceDisplayName(m_record)));
}

bool CDlgPairFailedMsg::OnCommand(WORD id, WORD code, HWND control) {
    if (code == BN_CLICKED) {
        switch (id) {
        case IDC_BTN_OK: return Close(), true;
        case IDC_BTN_GO_CONTROL_PANEL: return GoToControlPanelAndClose(), true;
        }
    }
    return CPopupDialog::OnCommand(id, code, control);
}

} // namespace pw
