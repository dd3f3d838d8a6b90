// The application object: start-up in InitInstance, which runs the main window modally for the whole
// life of the program; ExitInstance shuts down what start-up began.
#pragma once

#include "framework/app.h"

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
    bool m_bDebugMode = false;
    bool m_bShowWelcome = true;
    ULONG_PTR m_ulGdiplusToken = 0;

    // The virtual receiver's bus when the program runs on it; nullptr on the system's HID stack.
    CVirtualHid* VirtualHid() const { return m_pVirtualHid.get(); }

private:
    bool m_bWinsock = false;
    std::unique_ptr<CVirtualHid> m_pVirtualHid;
};

// The running application object; nullptr when there is none (unit tests of single windows).
CMainApp* GetMainApp();

} // namespace pw
