// Running on the virtual receiver: when the environment variable PAIRWRIGHT_VIRTUAL names a built-in
// scenario or a scenario file, the whole program talks to a virtual bus instead of the HID stack, and
// the bus's plug and unplug notices reach the main window as WM_DEVICECHANGE.
#pragma once

#include "app/virtual_hotplug.h"
#include "receiver/hid_seam.h"
#include "virtual/scenario.h"
#include "virtual/virtual_bus.h"

#include <memory>
#include <string>
#include <string_view>

namespace pw {

inline constexpr wchar_t kVirtualEnvironmentVariable[] = L"PAIRWRIGHT_VIRTUAL";

struct BuiltInScenario {
    const wchar_t* name;
    std::string_view text;
};
extern const BuiltInScenario kBuiltInScenarios[1];

class CVirtualHid {
public:
    // Installs the bus as the HID backend, plays the scenario on it in real time from now on.
    explicit CVirtualHid(const virt::Scenario& scenario);
    ~CVirtualHid();
    CVirtualHid(const CVirtualHid&) = delete;
    CVirtualHid& operator=(const CVirtualHid&) = delete;

    // nullptr when the variable is unset, or names neither a built-in scenario nor a readable, valid
    // scenario file (then the reason goes to the standard error stream).
    static std::unique_ptr<CVirtualHid> FromEnvironment();
    // The scenario text a name or file stands for; the error text when there is none.
    static bool LoadScenario(const std::wstring& nameOrPath, virt::Scenario& scenario, std::string& error);

    virt::VirtualBus& Bus() { return m_bus; }
    CVirtualHotplug& Hotplug() { return m_hotplug; }

private:
    // Destroyed in reverse: the driver thread stops first, so the hotplug relay hears nobody after it.
    virt::VirtualBus m_bus;
    CVirtualHotplug m_hotplug{m_bus};
    hid::ScopedBackend m_backend{m_bus};
    std::unique_ptr<virt::RealTimeDriver> m_pDriver;
};

} // namespace pw
