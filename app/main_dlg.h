// The main window: the program's only top-level window, run modally for the whole life of the program.
// It owns discovery (the classification sets, the device-interface registration, WM_DEVICECHANGE) and
// stays hidden while the application's show flag is false. User-interface thread only.
#pragma once

#include "lang/multi_language.h"
#include "panel/plain_item_view.h"
#include "receiver/device_events.h"
#include "receiver/discovery.h"
#include "skin/skin_controls.h"
#include "skin/skin_dialog.h"

#include <string>

namespace pw {

class CMainDlg : public CSkinDialog, public CMultiLanguage {
public:
    // show: the application's show flag, shared with start-up; moduleFolder: the program folder
    // without trailing backslash; notices: where arrivals and removals of HID interfaces come from.
    CMainDlg(bool& show, std::wstring moduleFolder, IDeviceNotices& notices);
    ~CMainDlg() override;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    void ApplyTexts() override;

    // Sets show and brings the window up, restoring it when minimised.
    void BringToFront();

    const ClassificationSets& KeySets() const { return m_keySets; }

protected:
    // The operations discovery drives; the item view's.
    virtual IMainItemView& ItemView() { return m_itemView; }

private:
    LRESULT OnDeviceChange(WPARAM wParam, LPARAM lParam);
    LRESULT OnWindowPosChanging(WINDOWPOS* pos);
    LRESULT OnShowControlPanel();
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
    HICON m_hIcon = nullptr;           // shared resource icon: never destroyed
    fw::UniqueModule m_sessionLibrary; // "wtsapi32.dll" while loaded
    CSkinButton m_btnMinimize;
    CSkinButton m_btnClose;
    CSkinStatic m_stTitle;

    ClassificationSets m_keySets;
    CDiscovery m_discovery{m_keySets};
    CPlainItemView m_itemView;
};

} // namespace pw
