#include "app/main_app.h"

#include "app/main_dlg.h"
#include "app/settings.h"
#include "app/startup.h"
#include "common/types.h"
#include "res/resource.h"
#include "virtual/virtual_hid_win.h"

#include <winsock2.h>

#include <commctrl.h>

namespace pw {
namespace {

constexpr wchar_t kAppTitle[] = L"Pairwright";
// Only when the string table cannot be read.
constexpr wchar_t kSocketsFailedFallback[] = L"Windows sockets initialization failed.";

std::wstring LoadResourceString(HINSTANCE instance, UINT id, const wchar_t* fallback) {
    const wchar_t* text = nullptr;
    const int length = LoadStringW(instance, id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 ? std::wstring(text, static_cast<std::size_t>(length)) : std::wstring(fallback);
}

// Windows Sockets 1.1, as the program has always asked for; any other version counts as a failure.
bool StartWinsock() {
    WSADATA data{};
    if (WSAStartup(MAKEWORD(1, 1), &data) != 0) return false;
    if (data.wVersion != MAKEWORD(1, 1)) {
        WSACleanup();
        return false;
    }
    return true;
}

} // namespace

CMainApp::CMainApp() = default;
CMainApp::~CMainApp() = default;

bool CMainApp::InitInstance() {
    if (HWND running = FindRunningInstance()) {
        PostMessageW(running, WM_SHOW_CONTROL_PANEL, 0, 0);
        return false;
    }
    AllowShowControlPanelMessage();
    RegisterMainWindowClass(m_hInstance);
    m_strModuleFolder = EnterModuleFolder();

    INITCOMMONCONTROLSEX controls{sizeof controls, 0xFF};
    InitCommonControlsEx(&controls);

    m_pGdiplus = std::make_unique<gdip::Session>();

    m_bWinsock = StartWinsock();
    if (!m_bWinsock) {
        const std::wstring text =
            LoadResourceString(m_hInstance, IDP_SOCKETS_INIT_FAILED, kSocketsFailedFallback);
        MessageBoxW(nullptr, text.c_str(), kAppTitle, MB_OK | MB_ICONEXCLAMATION);
        return false;
    }

    SetRegistryKey(settings::kFrameworkRegistryKey);
    const bool showWelcome = settings::ApplyStartupSettings();
    const StartupSwitches switches = ParseSwitches(m_arguments);
    m_bShow = switches.show;

    // Chosen before any channel exists: the whole run uses one HID stack.
    m_pVirtualHid = CVirtualHid::FromEnvironment();
    CSystemDeviceNotices systemNotices;
    IDeviceNotices& notices =
        m_pVirtualHid ? static_cast<IDeviceNotices&>(m_pVirtualHid->Hotplug()) : systemNotices;

    settings::CRegistryWelcomeSwitch welcomeSwitch;
    {
        CMainDlg dialog({.show = m_bShow,
                         .moduleFolder = m_strModuleFolder,
                         .notices = notices,
                         .welcomeSwitch = welcomeSwitch,
                         .showWelcome = showWelcome,
                         .debugMode = switches.debugMode});
        m_pMainWnd = &dialog;
        dialog.DoModal();
        m_pMainWnd = nullptr;
    }
    return false;
}

int CMainApp::ExitInstance() {
    // The main window and its channels are gone; the virtual bus they used can go too.
    m_pVirtualHid.reset();
    m_pGdiplus.reset();
    if (m_bWinsock) {
        WSACleanup();
        m_bWinsock = false;
    }
    return CWinApp::ExitInstance();
}

} // namespace pw
