// The about box of the main window's system menu: template 100, modal.
#pragma once

#include "framework/dialog.h"
#include "res/resource.h"

namespace pw {

class CAboutDlg : public CDialog {
public:
    // Runs modally over its owner, which stays disabled until it ends.
    explicit CAboutDlg(CWnd& owner) : CDialog(IDD_ABOUTBOX, &owner) {}
};

} // namespace pw
