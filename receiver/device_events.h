// HID device-interface notifications: the registration of a window, and the decoding (and, for the
// virtual receiver, the making) of the WM_DEVICECHANGE messages that carry an interface path.
#pragma once

#include "framework/handles.h"

#include <windows.h>

#include <dbt.h>

#include <optional>
#include <string>
#include <vector>

namespace pw {

struct DeviceNotifyTraits {
    static HDEVNOTIFY Invalid() { return nullptr; }
    static bool Valid(HDEVNOTIFY h) { return h != nullptr; }
    static void Close(HDEVNOTIFY h) { UnregisterDeviceNotification(h); }
};
using UniqueDeviceNotify = fw::UniqueHandle<HDEVNOTIFY, DeviceNotifyTraits>;

// Registers the window for arrivals and removals of HID interfaces; empty on failure.
UniqueDeviceNotify RegisterHidInterfaceNotifications(HWND window);

// Where the main window hears of HID interfaces coming and going, as WM_DEVICECHANGE: the system's
// device notifications, or the virtual receiver's notices forged like them.
class IDeviceNotices {
public:
    // From now on arrivals and removals reach the window (its own thread); replaces an earlier window.
    virtual void Attach(HWND window) = 0;
    // Nothing more arrives; notices not yet delivered are dropped.
    virtual void Detach() = 0;

protected:
    ~IDeviceNotices() = default;
};

// The system's HID interface notifications; a failed registration only means no hot-plug.
class CSystemDeviceNotices final : public IDeviceNotices {
public:
    void Attach(HWND window) override { m_notify = RegisterHidInterfaceNotifications(window); }
    void Detach() override { m_notify.reset(); }

private:
    UniqueDeviceNotify m_notify;
};

enum class DeviceChange { Arrival, Removal };

struct DeviceInterfaceEvent {
    DeviceChange change;
    std::wstring path;
};

// The arrival or removal of a device interface that a WM_DEVICECHANGE carries; nothing for every other
// event. The path is read only within the size the header states.
std::optional<DeviceInterfaceEvent> DecodeDeviceChange(WPARAM wParam, LPARAM lParam);

// A DEV_BROADCAST_DEVICEINTERFACE_W for the path, the way the system sends one (HID class, terminated
// name); pass data() as the lParam of WM_DEVICECHANGE.
class DeviceInterfaceBroadcast {
public:
    explicit DeviceInterfaceBroadcast(const std::wstring& path);
    LPARAM lParam() const { return reinterpret_cast<LPARAM>(m_storage.data()); }

private:
    std::vector<DEV_BROADCAST_DEVICEINTERFACE_W> m_storage;
};

// Sends the event to the window as WM_DEVICECHANGE on the calling (the window's) thread.
void SendDeviceChange(HWND window, DeviceChange change, const std::wstring& path);

} // namespace pw
