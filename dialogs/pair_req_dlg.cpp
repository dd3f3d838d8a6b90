#include "dialogs/pair_req_dlg.h"

#include "lang/text_format.h"
#include "res/resource.h"

namespace pw {

CDlgPairReq::CDlgPairReq() : CPopupDialog(IDD_PAIR_REQ) {
    AddControl(IDC_BTN_ADD_DEVICE, m_btnAdd);
    AddControl(IDC_BTN_NOT_ADD_DEVICE, m_btnNotNow);
    AddControl(IDC_BTN_GO_CONTROL_PANEL, m_btnControlPanel);
    AddControl(IDC_STATIC_PAIR_REQ_COMMENT, m_stComment);
    AddControl(IDC_STATIC_DETECTED, m_stTitle);
    AddControl(IDC_PIC_DEVICE, m_picDevice);
    AddControl(IDC_STATIC_CAPTION, m_stCaption);
}

BOOL CDlgPairReq::OnInitDialog() {
    CSkinDialog::OnInitDialog();
    SetLanguage(s_strLanguage);
    LayOutControls();
    m_nTicks = 0;
    SetTimer(kTimerId, kTimerPeriodMs);
    return TRUE;
}

void CDlgPairReq::ApplyTexts() {
    ApplyTableTexts();
    m_strDetected = GetText(TextKey::DeviceDetected);
}

void CDlgPairReq::SetDeviceRecord(const DeviceSlotRecord& record) {
    m_record = record;
    if (!m_hWnd) return;
    m_stTitle.SetWindowText(ComposeNameThenText(DeviceDisplayName(m_record), m_strDetected));
    m_picDevice.SetImage(KindPictureIndex(m_record.kind));
}

LRESULT CDlgPairReq::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER: return OnTimer(wParam, lParam);
    }
    return CPopupDialog::WindowProc(message, wParam, lParam);
}

bool CDlgPairReq::OnCommand(WORD id, WORD code, HWND control) {
    if (code == BN_CLICKED) {
        switch (id) {
        case IDC_BTN_ADD_DEVICE: return Answer(true), true;
        case IDC_BTN_NOT_ADD_DEVICE: return Answer(false), true;
        case IDC_BTN_GO_CONTROL_PANEL: return PostToOwner(WM_SHOW_CONTROL_PANEL, 0, Self()), true;
        }
    }
    return CPopupDialog::OnCommand(id, code, control);
}

void CDlgPairReq::Answer(bool add) const {
    PostToOwner(WM_PAIR_ANSWER, m_record.Id(), add ? 1 : 0);
}

LRESULT CDlgPairReq::OnTimer(WPARAM id, LPARAM lParam) {
    if (id == kTimerId && ++m_nTicks >= kTimeoutTicks) {
        KillTimer(kTimerId);
        m_nTicks = 0;
        Close();
        return 0;
    }
    return CPopupDialog::WindowProc(WM_TIMER, id, lParam);
}

} // namespace pw
