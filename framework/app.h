// The application object: one per process, reached through AfxGetApp(). wWinMain calls RunApplication.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class CWnd;

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Returns false to end the program once it returns (a dialog-based program runs its main window
    // modally inside and always returns false).
    virtual bool InitInstance() { return false; }
    virtual int ExitInstance() { return 0; }

    void SetRegistryKey(const std::wstring& key) { m_strRegistryKey = key; }
    const std::wstring& GetRegistryKey() const { return m_strRegistryKey; }

    HINSTANCE m_hInstance = nullptr;
    CWnd* m_pMainWnd = nullptr;
    // The command line split into arguments; the program path is the first.
    std::vector<std::wstring> m_arguments;

private:
    std::wstring m_strRegistryKey;
};

CWinApp* AfxGetApp();

// The body of wWinMain: InitInstance, then ExitInstance; the result is the process exit code.
int RunApplication(CWinApp& app, HINSTANCE instance);
