#include "app/main_dlg.h"

#include "app/about_dlg.h"
#include "app/settings.h"
#include "common/post.h"
#include "receiver/notify_queue.h"
#include "res/dialog_layouts.h"
#include "res/resource.h"

namespace pw {
namespace {

constexpr UINT kAboutCommand = 0x10;
constexpr WPARAM kTrayIconId = 0x80;
constexpr WPARAM kConsoleConnect = 1;    // WTS_CONSOLE_CONNECT
constexpr WPARAM kConsoleDisconnect = 2; // WTS_CONSOLE_DISCONNECT
constexpr DWORD kNotifyForThisSession = 0;

using RegisterSessionNotificationFn = BOOL(WINAPI*)(HWND, DWORD);
using UnregisterSessionNotificationFn = BOOL(WINAPI*)(HWND);

template <class Fn> Fn LookUp(HMODULE library, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

} // namespace

CMainDlg::CMainDlg(const MainWindowSetup& setup)
    : CSkinDialog(IDD_MAIN_DIALOG), m_rbShow(setup.show), m_strModuleFolder(setup.moduleFolder),
      m_deviceNotices(setup.notices), m_bShowWelcome(setup.showWelcome),
      m_itemView({.mainWindow = *this,
                  .show = setup.show,
                  .debugMode = setup.debugMode,
                  .moduleFolder = setup.moduleFolder,
                  .welcomeSwitch = setup.welcomeSwitch}) {
    AddControl(IDC_BTN_MINIMIZE, m_btnMinimize);
    AddControl(IDC_BTN_CLOSE, m_btnClose);
    AddControl(IDC_STATIC_TITLE, m_stTitle);
    m_hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
    settings::LoadAllKeySets(m_keySets);
}

CMainDlg::~CMainDlg() = default;

LRESULT CMainDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // Session changes are noted here and then processed as usual.
    if (message == WM_WTSSESSION_CHANGE) OnSessionChange(wParam);
    switch (message) {
    case WM_DEVICECHANGE: return OnDeviceChange(wParam, lParam);
    case WM_SYSCOMMAND: return OnSysCommand(wParam, lParam);
    case WM_PAINT: return OnPaint();
    case WM_QUERYDRAGICON: return reinterpret_cast<LRESULT>(m_hIcon);
    case WM_TRAY_CALLBACK: return OnTrayCallback(wParam, lParam);
    case WM_WINDOWPOSCHANGING: return OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(lParam));
    case WM_SHOW_CONTROL_PANEL: return OnShowControlPanel();
    case WM_MOUSEWHEEL: return OnMouseWheel(wParam, lParam);
    case WM_RECEIVER_NOTIFY: return OnReceiverNotify(wParam);
    case WM_CLOSE: return OnClose();
    case WM_DESTROY: return OnDestroy();
    }
    return CSkinDialog::WindowProc(message, wParam, lParam);
}

BOOL CMainDlg::OnInitDialog() {
    RegisterForSessionNotifications();
    CSkinDialog::OnInitDialog();
    s_strLanguageFile = m_strModuleFolder + L"\\lan\\pairwright.ini";
    AddAboutToSystemMenu();
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    SetWindowText(EnglishDefault(TextKey::TrayTip));

    if (!m_itemView.Create(m_hWnd)) return FALSE;
    const RECT client = GetClientRect();
    const RECT view = m_itemView.GetWindowRect();
    SetWindowPos(m_itemView.m_hWnd, nullptr, ui::kItemViewLeft,
                 client.bottom - (view.bottom - view.top) - ui::kItemViewBottomGap, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);

    // Registered before the walk, so that nothing plugged in meanwhile goes unseen.
    m_deviceNotices.Attach(m_hWnd);
    m_discovery.Attach(m_hWnd, ItemView());
    m_discovery.DiscoverPresent();

    if (m_bShowWelcome && m_rbShow) m_itemView.PostMessage(WM_SHOW_WELCOME);
    // The first load of the language file: the language the file names as its default.
    SetLanguage();
    LayOutControls();
    return FALSE;
}

void CMainDlg::ApplyTexts() {
    m_itemView.SetLanguage(s_strLanguage);
    ApplyTableTexts();
}

void CMainDlg::RegisterForSessionNotifications() {
    // Only the system's copy: a DLL of that name beside the program or in the current folder is not ours.
    m_sessionLibrary.reset(LoadLibraryExW(L"wtsapi32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    if (!m_sessionLibrary) return;
    if (auto registerFn =
            LookUp<RegisterSessionNotificationFn>(m_sessionLibrary.get(), "WTSRegisterSessionNotification"))
        registerFn(m_hWnd, kNotifyForThisSession);
}

void CMainDlg::UnregisterSessionNotifications() {
    if (!m_sessionLibrary) return;
    if (auto unregisterFn = LookUp<UnregisterSessionNotificationFn>(m_sessionLibrary.get(),
                                                                    "WTSUnRegisterSessionNotification"))
        unregisterFn(m_hWnd);
    m_sessionLibrary.reset();
}

void CMainDlg::AddAboutToSystemMenu() {
    wchar_t text[128] = {};
    HMENU menu = GetSystemMenu(m_hWnd, FALSE);
    if (!menu || LoadStringW(GetModuleHandleW(nullptr), IDS_ABOUTBOX, text, 128) <= 0) return;
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, kAboutCommand, text);
}

void CMainDlg::OnSessionChange(WPARAM code) {
    if (code == kConsoleConnect) {
        ItemView().SetPostingEnabled(true);
        ItemView().RefreshAllReceivers();
    } else if (code == kConsoleDisconnect) {
        ItemView().SetPostingEnabled(false);
    }
}

LRESULT CMainDlg::OnSysCommand(WPARAM wParam, LPARAM lParam) {
    if ((wParam & 0xFFF0) == kAboutCommand) {
        CAboutDlg about(*this);
        about.DoModal();
        return 0;
    }
    return CSkinDialog::WindowProc(WM_SYSCOMMAND, wParam, lParam);
}

LRESULT CMainDlg::OnPaint() {
    if (!IsIconic(m_hWnd)) return CSkinDialog::WindowProc(WM_PAINT, 0, 0);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(m_hWnd, &paint);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    const RECT client = GetClientRect();
    const int x = (client.right - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, m_hIcon);
    EndPaint(m_hWnd, &paint);
    return 0;
}

LRESULT CMainDlg::OnTrayCallback(WPARAM wParam, LPARAM lParam) {
    if (wParam != kTrayIconId) return 1;
    if (lParam == WM_LBUTTONDBLCLK) PostMessage(WM_SHOW_CONTROL_PANEL);
    return 0;
}

bool CMainDlg::OnCommand(WORD id, WORD code, HWND) {
    if (code != BN_CLICKED) return false;
    switch (id) {
    case IDC_BTN_MINIMIZE: ShowWindow(SW_MINIMIZE); return true;
    case IDC_BTN_CLOSE:
        m_rbShow = false;
        OnClose();
        return true;
    }
    return false;
}

LRESULT CMainDlg::OnDeviceChange(WPARAM wParam, LPARAM lParam) {
    if (const auto event = DecodeDeviceChange(wParam, lParam)) {
        if (event->change == DeviceChange::Arrival)
            m_discovery.OnArrival(event->path);
        else
            m_discovery.OnRemoval(event->path);
    }
    return TRUE;
}

LRESULT CMainDlg::OnWindowPosChanging(WINDOWPOS* pos) {
    if (pos && !m_rbShow) pos->flags &= ~SWP_SHOWWINDOW;
    return CSkinDialog::WindowProc(WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(pos));
}

LRESULT CMainDlg::OnShowControlPanel() {
    m_itemView.PostMessage(WM_SHOW_CONTROL_PANEL);
    return 0;
}

LRESULT CMainDlg::OnMouseWheel(WPARAM wParam, LPARAM lParam) {
    if (m_itemView.m_hWnd) m_itemView.ScrollByWheel(GET_WHEEL_DELTA_WPARAM(wParam) < 0);
    return CSkinDialog::WindowProc(WM_MOUSEWHEEL, wParam, lParam);
}

LRESULT CMainDlg::OnReceiverNotify(WPARAM wParam) {
    // Events are the item view's business: a record that reaches the main window is freed unread.
    TakeOwned<NotifyRecord>(wParam);
    return 0;
}

LRESULT CMainDlg::OnClose() {
    ItemView().StopAllPairing();
    m_deviceNotices.Detach();
    EndDialog(IDCANCEL);
    return 0;
}

LRESULT CMainDlg::OnDestroy() {
    m_deviceNotices.Detach();
    // The view's teardown stops and joins every reader thread.
    m_itemView.DestroyWindow();
    FreeQueuedNotifyRecords(m_hWnd);
    const LRESULT result = CSkinDialog::WindowProc(WM_DESTROY, 0, 0);
    UnregisterSessionNotifications();
    return result;
}

} // namespace pw
