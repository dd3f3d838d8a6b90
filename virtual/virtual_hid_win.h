// Running the whole program on the virtual receiver: when the environment variable PAIRWRIGHT_VIRTUAL
// names a built-in scenario or a scenario file, the HID backend is a virtual bus played in real time,
// and its plug and unplug notices reach the main window as WM_DEVICECHANGE. Windows only.
#pragma once

#include "receiver/hid_seam.h"
#include "virtual/scenario.h"
#include "virtual/virtual_bus.h"
#include "virtual/virtual_hotplug_win.h"

#include <memory>

namespace pw {

inline constexpr wchar_t kVirtualEnvironmentVariable[] = L"PAIRWRIGHT_VIRTUAL";

class CVirtualHid {
public:
    // Installs the bus as the HID backend and plays the scenario on it in real time from now on.
    explicit CVirtualHid(const virt::Scenario& scenario);
    ~CVirtualHid();
    CVirtualHid(const CVirtualHid&) = delete;
    CVirtualHid& operator=(const CVirtualHid&) = delete;

    // nullptr when the variable is unset, or names neither a built-in scenario nor a readable, valid
    // scenario file (then the reason goes to the standard error stream).
    static std::unique_ptr<CVirtualHid> FromEnvironment();

    virt::VirtualBus& Bus() { return m_bus; }
    // The bus's plug and unplug notices, forged as the system's device notifications.
    CVirtualHotplug& Hotplug() { return m_hotplug; }

private:
    // Destroyed in reverse: the driver thread stops first, so the hotplug relay hears nobody after it.
    virt::VirtualBus m_bus;
    CVirtualHotplug m_hotplug{m_bus};
    hid::ScopedBackend m_backend{m_bus};
    std::unique_ptr<virt::RealTimeDriver> m_pDriver;
};

} // namespace pw
