#include "virtual/virtual_hid_win.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace pw {

CVirtualHid::CVirtualHid(const virt::Scenario& scenario) {
    // Nothing in the program reads the transfer log, and a long run would grow it without end; the
    // trace still has every transfer.
    m_bus.LimitLog(0);
    virt::PlayScenario(m_bus, scenario);
    m_pDriver = std::make_unique<virt::RealTimeDriver>(m_bus);
}

CVirtualHid::~CVirtualHid() {
    m_pDriver.reset();
}

std::unique_ptr<CVirtualHid> CVirtualHid::FromEnvironment() {
    wchar_t value[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(kVirtualEnvironmentVariable, value, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    virt::Scenario scenario;
    std::string error;
    if (!virt::LoadScenario(value, scenario, error)) {
        std::fprintf(stderr, "PAIRWRIGHT_VIRTUAL: %s\n", error.c_str());
        return nullptr;
    }
    return std::make_unique<CVirtualHid>(scenario);
}

} // namespace pw
