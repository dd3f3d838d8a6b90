#include "dialogs/guidance_dlgs.h"

#include "res/resource.h"

namespace pw {

CDlgWelcome::CDlgWelcome(IWelcomeSwitch& welcomeSwitch)
    : CPopupDialog(IDD_WELCOME), m_welcomeSwitch(welcomeSwitch) {
    AddControl(IDC_BTN_DONE, m_btnDone);
    AddControl(IDC_BTN_GO_CONTROL_PANEL, m_btnControlPanel);
    AddControl(IDC_STATIC_WELCOME_COMMENT, m_stComment);
    AddControl(IDC_STATIC_WELCOME_TITLE, m_stTitle);
    AddControl(IDC_BTN_LEARN_PAIR, m_btnLearn);
    AddControl(IDC_CHECK_DONOT_SHOW, m_chkDoNotShow);
    AddControl(IDC_STATIC_CAPTION, m_stCaption);
}

BOOL CDlgWelcome::OnInitDialog() {
    CSkinDialog::OnInitDialog();
    SetLanguage(s_strLanguage);
    LayOutControls();
    // The box object outlives its window: a new window starts unchecked, as its template says.
    m_chkDoNotShow.SetCheck(0);
    if (const auto checked = m_welcomeSwitch.ReadDoNotShow()) m_chkDoNotShow.SetCheck(*checked ? 1 : 0);
    return TRUE;
}

bool CDlgWelcome::OnCommand(WORD id, WORD code, HWND control) {
    if (code == BN_CLICKED) {
        switch (id) {
        case IDC_BTN_DONE: return Close(), true;
        case IDC_BTN_LEARN_PAIR: return PostToOwner(WM_SHOW_PAIR_HELP, 0, Self()), true;
        case IDC_BTN_GO_CONTROL_PANEL: return PostToOwner(WM_SHOW_CONTROL_PANEL, 0, Self()), true;
        case IDC_CHECK_DONOT_SHOW:
            return m_welcomeSwitch.WriteDoNotShow(m_chkDoNotShow.GetCheck() != 0), true;
        }
    }
    return CPopupDialog::OnCommand(id, code, control);
}

CDlgPairHelp::CDlgPairHelp() : CPopupDialog(IDD_PAIR_HELP) {
    AddControl(IDC_BTN_HELP_NOT_NOW, m_btnNotNow);
    AddControl(IDC_BTN_GO_CONTROL_PANEL, m_btnControlPanel);
    AddControl(IDC_STATIC_HELP_TITLE, m_stTitle);
    AddControl(IDC_STATIC_HELP_DISTANCE, m_stDistance);
    AddStepBoxes(m_stSteps);
    AddControl(IDC_STATIC_CAPTION, m_stCaption);
}

BOOL CDlgPairHelp::OnInitDialog() {
    CSkinDialog::OnInitDialog();
    SetLanguage(s_strLanguage);
    LayOutControls();
    return TRUE;
}

bool CDlgPairHelp::OnCommand(WORD id, WORD code, HWND control) {
    if (code == BN_CLICKED) {
        switch (id) {
        case IDC_BTN_HELP_NOT_NOW: return Close(), true;
        case IDC_BTN_GO_CONTROL_PANEL: return PostToOwner(WM_SHOW_CONTROL_PANEL, 0, Self()), true;
        }
    }
    return CPopupDialog::OnCommand(id, code, control);
}

CDlgNoDongleTip::CDlgNoDongleTip() : CSkinDialog(IDD_NO_DONGLE_TIP) {
    AddControl(IDC_STATIC_INSERT_TIP, m_stTip);
}

BOOL CDlgNoDongleTip::OnInitDialog() {
    CSkinDialog::OnInitDialog();
    SetLanguage(s_strLanguage);
    LayOutControls();
    return TRUE;
}

} // namespace pw
