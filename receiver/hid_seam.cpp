#include "receiver/hid_seam.h"

#include "common/trace.h"

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

Backend& ChosenBackend() {
    Backend* backend = g_current.load();
    return backend ? *backend : DefaultBackend();
}

// Every transfer of a device opened while tracing, with the interface's path: the same lines on the
// system's HID stack as on the virtual receiver.
class TracingDevice final : public Device {
public:
    TracingDevice(std::unique_ptr<Device> device, const std::wstring& path)
        : m_device(std::move(device)), m_path(trace::Narrow(path)) {}

    bool GetCaps(Caps& caps) override { return m_device->GetCaps(caps); }
    bool SetFeature(const std::uint8_t* report, std::size_t length) override {
        const bool ok = m_device->SetFeature(report, length);
        Note("set-feature", ok, report, length);
        return ok;
    }
    bool GetFeature(std::uint8_t* report, std::size_t length) override {
        const bool ok = m_device->GetFeature(report, length);
        Note("get-feature", ok, report, length);
        return ok;
    }
    ReadStatus Read(std::uint8_t* buffer, std::size_t capacity, std::size_t& count) override {
        const ReadStatus status = m_device->Read(buffer, capacity, count);
        if (status == ReadStatus::Ok) Note("input", true, buffer, count);
        return status;
    }
    void CancelRead() override { m_device->CancelRead(); }

private:
    void Note(const char* what, bool ok, const std::uint8_t* bytes, std::size_t length) const {
        if (!trace::Enabled()) return;
        trace::Write("hid",
                     std::string(what) + (ok ? " " : " failed ") + m_path + " " + trace::Hex(bytes, length));
    }

    std::unique_ptr<Device> m_device;
    std::string m_path;
};

class TracingBackend final : public Backend {
public:
    std::vector<std::wstring> Enumerate(std::size_t maxCount) override {
        return ChosenBackend().Enumerate(maxCount);
    }
    std::unique_ptr<Device> Open(const std::wstring& path, OpenMode mode) override {
        std::unique_ptr<Device> device = ChosenBackend().Open(path, mode);
        trace::Write("hid", std::string(device ? "open " : "open failed ") + trace::Narrow(path));
        if (!device) return nullptr;
        return std::make_unique<TracingDevice>(std::move(device), path);
    }
};

} // namespace

Backend& CurrentBackend() {
    static TracingBackend tracing;
    return trace::Enabled() ? tracing : ChosenBackend();
}

void SetCurrentBackend(Backend* backend) {
    g_current.store(backend);
}

ScopedBackend::ScopedBackend(Backend& backend) : m_previous(g_current.exchange(&backend)) {}

ScopedBackend::~ScopedBackend() {
    g_current.store(m_previous);
}

} // namespace pw::hid
