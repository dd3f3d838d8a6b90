#include "receiver/hid_seam.h"

#include <atomic>

#ifdef _WIN32
#include "receiver/hid_win.h"
#endif

namespace pw::hid {
namespace {

#ifndef _WIN32
// Native builds have no HID stack of their own: nothing is present until a test or the demo
// installs the virtual bus.
class NoBackend final : public Backend {
public:
    std::vector<std::wstring> Enumerate(std::size_t) override { return {}; }
    std::unique_ptr<Device> Open(const std::wstring&, OpenMode) override { return nullptr; }
};
#endif

Backend& DefaultBackend() {
#ifdef _WIN32
    return WindowsBackend();
#else
    static NoBackend none;
    return none;
#endif
}

std::atomic<Backend*> g_current{nullptr};

} // namespace

Backend& CurrentBackend() {
    Backend* backend = g_current.load();
    return backend ? *backend : DefaultBackend();
}

void SetCurrentBackend(Backend* backend) {
    g_current.store(backend);
}

ScopedBackend::ScopedBackend(Backend& backend) : m_previous(g_current.exchange(&backend)) {}

ScopedBackend::~ScopedBackend() {
    g_current.store(m_previous);
}

} // namespace pw::hid
