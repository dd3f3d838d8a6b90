#include "app/main_dlg.h"

#include "app/about_dlg.h"
#include "app/main_app.h"
#include "app/settings.h"
#include "app/virtual_hid.h"
#include "app/virtual_hotplug.h"
#include "common/post.h"
#include "receiver/notify_queue.h"
#include "res/dialog_layouts.h"
#include "res/resource.h"

namespace pw {
namespace {

constexpr wchar_t kWindowText[] = L"Vorn Veltrane Receiver Control Panel";
constexpr UINT kAboutCommand = 0x10;
constexpr WPARAM kTrayIconId = 0x80;
constexpr WPARAM kConsoleConnect = 1;    // WTS_CONSOLE_CONNECT
constexpr WPARAM kConsoleDisconnect = 2; // WTS_CONSOLE_DISCONNECT
constexpr DWORD kNotifyForThisSession = 0;

using RegisterSessionNotificationFn = BOOL(WINAPI*)(HWND, DWORD);
using UnregisterSessionNotificationFn = BOOL(WINAPI*)(HWND);

template <class Fn>
Fn LookUp(HMODULE library, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

bool ShowAllowed() {
    const CMainApp* app = GetMainApp();
    return !app || app->m_bShow;
}

} // namespace

CMainDlg::CMainDlg() : CSkinDialog(IDD_MAIN_DIALOG) {
    AddImage(SkinImageKind::Normal, L".\\ui\\main_normal.bmp");
    AddImage(SkinImageKind::Hover, L".\\ui\\main_hover.bmp");
    AddImage(SkinImageKind::Selected, L".\\ui\\main_selected.bmp");
    SetMaskImage(L".\\ui\\main_mask.bmp");
    m_bDraggable = TRUE;
    m_btnMinimize.m_clrText = 0xFFFFFFFF;
    m_btnClose.m_clrText = 0xFFFFFFFF;
    m_stTitle.m_clrText = 0xFFFFFFFF;
    m_stTitle.m_fFontSize = 18;
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
    case WM_RECEIVER_NOTIFY: return OnReceiverNotify(wParam);
    case WM_CLOSE: return OnClose();
    case WM_DESTROY: return OnDestroy();
    }
    return CSkinDialog::WindowProc(message, wParam, lParam);
}

void CMainDlg::DoDataExchange() {
    BindControl(IDC_BTN_MINIMIZE, m_btnMinimize);
    BindControl(IDC_BTN_CLOSE, m_btnClose);
    BindControl(IDC_STATIC_TITLE, m_stTitle);
}

BOOL CMainDlg::OnInitDialog() {
    RegisterForSessionNotifications();
    CSkinDialog::OnInitDialog();
    if (const CMainApp* app = GetMainApp()) s_strLanguageFile = app->m_strModuleFolder + L"\\lan\\pairwright.ini";
    AddAboutToSystemMenu();
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    SetWindowText(kWindowText);

    m_itemView.SetTarget(m_hWnd);
    // Registered before the walk, so that nothing plugged in meanwhile goes unseen.
    RegisterForDeviceNotifications();
    m_discovery.Attach(m_hWnd, ItemView());
    m_discovery.DiscoverPresent();

    // The first load of the language file: the language the file names as its default.
    SetLanguage();
    LayOutControls();
    return FALSE;
}

void CMainDlg::ApplyTexts() {
    m_stTitle.SetWindowText(GetText(TextKey::TrayTip));
}

void CMainDlg::LayOutControls() {
    const bool arabic = IsRightToLeft();
    const ui::Dialog* layout = ui::FindDialog(IDD_MAIN_DIALOG);
    if (!layout) return;
    if (arabic) m_stTitle.ModifyStyleEx(0, WS_EX_RTLREADING);
    for (CWnd* control : {static_cast<CWnd*>(&m_btnMinimize), static_cast<CWnd*>(&m_btnClose),
                          static_cast<CWnd*>(&m_stTitle)}) {
        const ui::Control* entry = ui::FindControl(*layout, GetDlgCtrlID(control->m_hWnd));
        if (!entry) continue;
        const ui::Rect r = ui::PixelRect(*entry, arabic);
        control->MoveWindow(r.x, r.y, r.cx, r.cy, true);
    }
}

void CMainDlg::RegisterForSessionNotifications() {
    m_sessionLibrary.reset(LoadLibraryW(L"wtsapi32.dll"));
    if (!m_sessionLibrary) return;
    if (auto registerFn = LookUp<RegisterSessionNotificationFn>(m_sessionLibrary.get(), "WTSRegisterSessionNotification"))
        registerFn(m_hWnd, kNotifyForThisSession);
}

void CMainDlg::UnregisterSessionNotifications() {
    if (!m_sessionLibrary) return;
    if (auto unregisterFn =
            LookUp<UnregisterSessionNotificationFn>(m_sessionLibrary.get(), "WTSUnRegisterSessionNotification"))
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
        CAboutDlg about;
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
        if (CMainApp* app = GetMainApp()) app->m_bShow = false;
        OnClose();
        return true;
    }
    return false;
}

CVirtualHotplug* CMainDlg::VirtualHotplug() {
    CMainApp* app = GetMainApp();
    return app && app->VirtualHid() ? &app->VirtualHid()->Hotplug() : nullptr;
}

void CMainDlg::RegisterForDeviceNotifications() {
    m_deviceNotify = RegisterHidInterfaceNotifications(m_hWnd);
    m_pVirtualHotplug = VirtualHotplug();
    if (m_pVirtualHotplug) m_pVirtualHotplug->Attach(m_hWnd);
}

void CMainDlg::UnregisterDeviceNotifications() {
    m_deviceNotify.reset();
    if (m_pVirtualHotplug) m_pVirtualHotplug->Detach();
    m_pVirtualHotplug = nullptr;
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
    if (pos && !ShowAllowed()) pos->flags &= ~SWP_SHOWWINDOW;
    return CSkinDialog::WindowProc(WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(pos));
}

LRESULT CMainDlg::OnShowControlPanel() {
    BringToFront();
    return 0;
}

void CMainDlg::BringToFront() {
    if (CMainApp* app = GetMainApp()) app->m_bShow = true;
    if (IsIconic(m_hWnd))
        ShowWindow(SW_RESTORE);
    else
        SetWindowPos(m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
    SetForegroundWindow(m_hWnd);
}

LRESULT CMainDlg::OnReceiverNotify(WPARAM wParam) {
    // Events are the item view's business: a record that reaches the main window is freed unread.
    TakeOwned<NotifyRecord>(wParam);
    return 0;
}

LRESULT CMainDlg::OnClose() {
    ItemView().StopAllPairing();
    UnregisterDeviceNotifications();
    EndDialog(IDCANCEL);
    return 0;
}

LRESULT CMainDlg::OnDestroy() {
    UnregisterDeviceNotifications();
    // Reader threads end before the queue is emptied, so no record arrives after it.
    m_itemView.CloseAll();
    FreeQueuedNotifyRecords(m_hWnd);
    const LRESULT result = CSkinDialog::WindowProc(WM_DESTROY, 0, 0);
    UnregisterSessionNotifications();
    return result;
}

} // namespace pw
