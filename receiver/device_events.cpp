#include "receiver/device_events.h"

#include "receiver/hid_win.h"

#include <cstddef>
#include <cwchar>

namespace pw {
namespace {

constexpr std::size_t kNameOffset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name);

} // namespace

UniqueDeviceNotify RegisterHidInterfaceNotifications(HWND window) {
    DEV_BROADCAST_DEVICEINTERFACE_W filter{};
    filter.dbcc_size = sizeof filter;
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = hid::kHidInterfaceClass;
    return UniqueDeviceNotify(RegisterDeviceNotificationW(window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE));
}

std::optional<DeviceInterfaceEvent> DecodeDeviceChange(WPARAM wParam, LPARAM lParam) {
    DeviceChange change;
    if (wParam == DBT_DEVICEARRIVAL)
        change = DeviceChange::Arrival;
    else if (wParam == DBT_DEVICEREMOVECOMPLETE)
        change = DeviceChange::Removal;
    else
        return std::nullopt;
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam);
    if (!header || header->dbch_devicetype != DBT_DEVTYP_DEVICEINTERFACE) return std::nullopt;
    if (header->dbch_size < kNameOffset) return std::nullopt;
    const auto* name = reinterpret_cast<const wchar_t*>(reinterpret_cast<const char*>(header) + kNameOffset);
    const std::size_t capacity = (header->dbch_size - kNameOffset) / sizeof(wchar_t);
    return DeviceInterfaceEvent{change, std::wstring(name, wcsnlen(name, capacity))};
}

DeviceInterfaceBroadcast::DeviceInterfaceBroadcast(const std::wstring& path) {
    const std::size_t bytes = kNameOffset + (path.size() + 1) * sizeof(wchar_t);
    m_storage.resize((bytes + sizeof(DEV_BROADCAST_DEVICEINTERFACE_W) - 1) /
                     sizeof(DEV_BROADCAST_DEVICEINTERFACE_W));
    DEV_BROADCAST_DEVICEINTERFACE_W& broadcast = m_storage.front();
    broadcast.dbcc_size = static_cast<DWORD>(bytes);
    broadcast.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    broadcast.dbcc_classguid = hid::kHidInterfaceClass;
    auto* name = reinterpret_cast<wchar_t*>(reinterpret_cast<char*>(m_storage.data()) + kNameOffset);
    path.copy(name, path.size());
    name[path.size()] = L'\0';
}

void SendDeviceChange(HWND window, DeviceChange change, const std::wstring& path) {
    const DeviceInterfaceBroadcast broadcast(path);
    SendMessageW(window, WM_DEVICECHANGE,
                 change == DeviceChange::Arrival ? DBT_DEVICEARRIVAL : DBT_DEVICEREMOVECOMPLETE,
                 broadcast.lParam());
}

} // namespace pw
