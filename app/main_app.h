// The application object: start-up in InitInstance, which runs the main window modally for the whole
// life of the program; ExitInstance shuts down what start-up began.
#pragma once

#include "framework/app.h"
#include "skin/gdiplus_util.h"

#include <memory>
#include <string>

namespace pw {

class CVirtualHid;

class CMainApp : public CWinApp {
public:
    CMainApp();
    ~CMainApp() override;

    bool InitInstance() override;
    int ExitInstance() override;

    // Folder of the program file, without trailing backslash; also the current directory.
    std::wstring m_strModuleFolder;
    // While false the main window is never shown.
    bool m_bShow = true;

private:
    std::unique_ptr<gdip::Session> m_pGdiplus;
    bool m_bWinsock = false;
    // The virtual receiver when the program runs on it; nullptr on the system's HID stack.
    std::unique_ptr<CVirtualHid> m_pVirtualHid;
};

} // namespace pw
