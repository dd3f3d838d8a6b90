// The about box of the main window's system menu: template 100, modal.
#pragma once

#include "framework/dialog.h"
#include "res/resource.h"

namespace pw {

class CAboutDlg : public CDialog {
public:
    CAboutDlg() : CDialog(IDD_ABOUTBOX) {}
};

} // namespace pw
