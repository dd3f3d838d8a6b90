// The pages that tell the user what to do:
//   CDlgWelcome (136): the welcome pop-up with its "Do not display this message again" box, read from
//     and written to the welcome switch given to the constructor. "Done" closes it; the help button and
//     the link ask the owner, who closes it.
//   CDlgPairHelp (135): the five pairing steps; only its owner closes it (after its link, or when a
//     notification comes).
//   CDlgNoDongleTip (143): a child panel of the item view, shown while no receiver is plugged in.
// In the two pop-ups Enter and Escape do nothing.
#pragma once

#include "dialogs/popup.h"
#include "dialogs/welcome_switch.h"
#include "skin/skin_controls.h"

namespace pw {

class CDlgWelcome final : public CPopupDialog {
public:
    explicit CDlgWelcome(IWelcomeSwitch& welcomeSwitch);

    BOOL OnInitDialog() override;
    void ApplyTexts() override { ApplyTableTexts(); }
    bool OnCommand(WORD id, WORD code, HWND control) override;

private:
    IWelcomeSwitch& m_welcomeSwitch;
    CSkinButton m_btnDone;
    CSkinButton m_btnControlPanel;
    CSkinStatic m_stComment;
    CSkinStatic m_stTitle;
    CSkinButton m_btnLearn;
    CSkinCheckBox m_chkDoNotShow;
    CSkinStatic m_stCaption;
};

class CDlgPairHelp final : public CPopupDialog {
public:
    CDlgPairHelp();

    BOOL OnInitDialog() override;
    void ApplyTexts() override { ApplyTableTexts(); }
    bool OnCommand(WORD id, WORD code, HWND control) override;

private:
    CSkinButton m_btnNotNow;
    CSkinButton m_btnControlPanel;
    CSkinStatic m_stTitle;
    CSkinStatic m_stDistance;
    CSkinStatic m_stSteps[5];
    CSkinStatic m_stCaption;
};

class CDlgNoDongleTip final : public CSkinDialog, public CMultiLanguage {
public:
    CDlgNoDongleTip();

    BOOL OnInitDialog() override;
    void ApplyTexts() override { ApplyTableTexts(); }
    // It handles no commands: nothing ends it but its parent.
    void OnOK() override {}
    void OnCancel() override {}

private:
    CSkinStatic m_stTip;
};

} // namespace pw
