// Turns the virtual bus's plug and unplug notices into the WM_DEVICECHANGE messages the system sends for
// real hardware, so that the main window cannot tell the two apart. The bus may call from any thread:
// every notice is posted to a message-only window of the user-interface thread and sent on from there,
// in order, and never from inside the exchange that caused it.
#pragma once

#include "framework/wnd.h"
#include "receiver/device_events.h"
#include "virtual/virtual_bus.h"

#include <windows.h>

#include <memory>
#include <mutex>
#include <string>

namespace pw {

class CVirtualHotplug final : public virt::BusListener, public IDeviceNotices {
public:
    // Listens to the bus until destroyed. Destroy it only once no other thread plugs or unplugs devices
    // any more (the bus may still be delivering a notice to it until then).
    explicit CVirtualHotplug(virt::VirtualBus& bus);
    ~CVirtualHotplug() override;
    CVirtualHotplug(const CVirtualHotplug&) = delete;
    CVirtualHotplug& operator=(const CVirtualHotplug&) = delete;

    // On target's thread: notices from now on reach target. Detach drops those not yet delivered.
    void Attach(HWND target) override;
    void Detach() override;

    void OnArrival(const std::wstring& path) override;
    void OnRemoval(const std::wstring& path) override;

private:
    class CNoticeWindow final : public CWnd {
    public:
        explicit CNoticeWindow(HWND target) : m_hTarget(target) {}
        LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
        void DropQueued();

    private:
        LRESULT OnNotice(WPARAM wParam);
        HWND m_hTarget;
    };

    void Post(bool arrival, const std::wstring& path);

    virt::VirtualBus& m_bus;
    std::unique_ptr<CNoticeWindow> m_pWindow; // user-interface thread only
    std::mutex m_mutex;
    HWND m_hNoticeWindow = nullptr; // guarded by m_mutex: read by the bus's threads
};

} // namespace pw
