// The main window: the program's only top-level window, run modally for the whole life of the program.
// It owns discovery (the classification sets, the device-interface registration, WM_DEVICECHANGE) and
// stays hidden while the application's show flag is false. User-interface thread only.
#pragma once

#include "app/device_events.h"
#include "app/plain_item_view.h"
#include "framework/dialog.h"
#include "receiver/discovery.h"

namespace pw {
class CVirtualHotplug;

class CMainDlg : public CDialog {
public:
    CMainDlg();
    ~CMainDlg() override;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;

    // Sets show and brings the window up, restoring it when minimised.
    void BringToFront();

    const ClassificationSets& KeySets() const { return m_keySets; }

protected:
    // The operations discovery drives; the item view's.
    virtual IItemView& ItemView() { return m_itemView; }
    // The virtual receiver's plug and unplug notices when the program runs on it; nullptr otherwise.
    virtual CVirtualHotplug* VirtualHotplug();

private:
    LRESULT OnDeviceChange(WPARAM wParam, LPARAM lParam);
    LRESULT OnWindowPosChanging(WINDOWPOS* pos);
    LRESULT OnShowControlPanel();
    LRESULT OnReceiverNotify(WPARAM wParam);
    LRESULT OnClose();
    LRESULT OnDestroy();

    void RegisterForDeviceNotifications();
    void UnregisterDeviceNotifications();

    ClassificationSets m_keySets;
    CDiscovery m_discovery{m_keySets};
    CPlainItemView m_itemView;
    UniqueDeviceNotify m_deviceNotify;
    CVirtualHotplug* m_pVirtualHotplug = nullptr; // attached to this window while registered
};

} // namespace pw
