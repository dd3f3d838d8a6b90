// The main window: the program's only top-level window, run modally for the whole life of the program.
// It owns discovery (the classification sets, the device-interface registration, WM_DEVICECHANGE) and
// stays hidden while the application's show flag is false. User-interface thread only.
#pragma once

#include "dialogs/welcome_switch.h"
#include "lang/multi_language.h"
#include "panel/item_view_dlg.h"
#include "receiver/device_events.h"
#include "receiver/discovery.h"
#include "skin/skin_controls.h"
#include "skin/skin_dialog.h"

#include <string>

namespace pw {

// What the main window needs from start-up.
struct MainWindowSetup {
    bool& show;                // the application's show flag: while false the window never shows
    std::wstring moduleFolder; // the program folder, without trailing backslash
    IDeviceNotices& notices;   // where arrivals and removals of HID interfaces come from
    IWelcomeSwitch& welcomeSwitch;
    bool showWelcome = false; // the welcome page opens by itself at start
    bool debugMode = false;   // the "DebugMode" switch
};

class CMainDlg : public CSkinDialog, public CMultiLanguage {
public:
    explicit CMainDlg(const MainWindowSetup& setup);
    ~CMainDlg() override;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    void ApplyTexts() override;

    const ClassificationSets& KeySets() const { return m_keySets; }
    const CDlgItemView& View() const { return m_itemView; }

protected:
    // The operations discovery drives; the item view's.
    virtual IMainItemView& ItemView() { return m_itemView; }

private:
    LRESULT OnDeviceChange(WPARAM wParam, LPARAM lParam);
    LRESULT OnWindowPosChanging(WINDOWPOS* pos);
    LRESULT OnShowControlPanel();
    LRESULT OnMouseWheel(WPARAM wParam, LPARAM lParam);
    LRESULT OnReceiverNotify(WPARAM wParam);
    LRESULT OnClose() override;
    LRESULT OnDestroy();
    LRESULT OnSysCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnPaint();
    LRESULT OnTrayCallback(WPARAM wParam, LPARAM lParam);
    void OnSessionChange(WPARAM code);

    void RegisterForSessionNotifications();
    void UnregisterSessionNotifications();
    void AddAboutToSystemMenu();

    bool& m_rbShow;
    const std::wstring m_strModuleFolder;
    IDeviceNotices& m_deviceNotices;
    const bool m_bShowWelcome;
    HICON m_hIcon = nullptr;           // shared resource icon: never destroyed
    fw::UniqueModule m_sessionLibrary; // "wtsapi32.dll" while loaded
    CSkinButton m_btnMinimize;
    CSkinButton m_btnClose;
    CSkinStatic m_stTitle;

    ClassificationSets m_keySets;
    CDiscovery m_discovery{m_keySets};
    CDlgItemView m_itemView;
};

} // namespace pw
