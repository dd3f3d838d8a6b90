// The main window: the program's only top-level window, run modally for the whole life of the program.
// It owns discovery (the classification sets, the device-interface registration, WM_DEVICECHANGE) and
// stays hidden while the application's show flag is false. User-interface thread only.
#pragma once

#include "app/device_events.h"
#include "app/plain_item_view.h"
#include "lang/multi_language.h"
#include "receiver/discovery.h"
#include "skin/skin_controls.h"
#include "skin/skin_dialog.h"

namespace pw {
class CVirtualHotplug;

class CMainDlg : public CSkinDialog, public CMultiLanguage {
public:
    CMainDlg();
    ~CMainDlg() override;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;
    void DoDataExchange() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    void ApplyTexts() override;

    // Sets show and brings the window up, restoring it when minimised.
    void BringToFront();

    const ClassificationSets& KeySets() const { return m_keySets; }

protected:
    // The operations discovery drives; the item view's.
    virtual IMainItemView& ItemView() { return m_itemView; }
    // The virtual receiver's plug and unplug notices when the program runs on it; nullptr otherwise.
    virtual CVirtualHotplug* VirtualHotplug();

private:
    LRESULT OnDeviceChange(WPARAM wParam, LPARAM lParam);
    LRESULT OnWindowPosChanging(WINDOWPOS* pos);
    LRESULT OnShowControlPanel();
    LRESULT OnReceiverNotify(WPARAM wParam);
    LRESULT OnClose();
    LRESULT OnDestroy();
    LRESULT OnSysCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnPaint();
    LRESULT OnTrayCallback(WPARAM wParam, LPARAM lParam);
    void OnSessionChange(WPARAM code);

    void RegisterForDeviceNotifications();
    void UnregisterDeviceNotifications();
    void LayOutControls();
    void RegisterForSessionNotifications();
    void UnregisterSessionNotifications();
    void AddAboutToSystemMenu();

    HICON m_hIcon = nullptr; // shared resource icon: never destroyed
    fw::UniqueModule m_sessionLibrary; // "wtsapi32.dll" while loaded
    CSkinButton m_btnMinimize;
    CSkinButton m_btnClose;
    CSkinStatic m_stTitle;

    ClassificationSets m_keySets;
    CDiscovery m_discovery{m_keySets};
    CPlainItemView m_itemView;
    UniqueDeviceNotify m_deviceNotify;
    CVirtualHotplug* m_pVirtualHotplug = nullptr; // attached to this window while registered
};

} // namespace pw
