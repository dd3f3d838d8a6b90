#include "virtual/virtual_bus.h"

#include "common/trace.h"

#include "virtual/virtual_receiver.h"

#include <algorithm>
#include <cstdio>
#include <cwctype>
#include <optional>

namespace pw::virt {

namespace detail {

// The input side of one open handle: its own buffer of reports, as every HID handle has.
struct HandleState {
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<std::optional<std::vector<std::uint8_t>>> queue; // nullopt: a read that fails
    bool cancelled = false;
    bool dead = false;

    void Push(std::optional<std::vector<std::uint8_t>> item) {
        {
            const std::lock_guard lock(mutex);
            if (dead) return;
            if (queue.size() >= kInputBufferCount) queue.pop_front();
            queue.push_back(std::move(item));
        }
        wake.notify_all();
    }

    void MarkDead() {
        {
            const std::lock_guard lock(mutex);
            dead = true;
            queue.clear();
        }
        wake.notify_all();
    }

    void Cancel() {
        {
            const std::lock_guard lock(mutex);
            cancelled = true;
        }
        wake.notify_all();
    }

    hid::ReadStatus Read(std::uint8_t* buffer, std::size_t capacity, std::size_t& count) {
        count = 0;
        std::unique_lock lock(mutex);
        wake.wait(lock, [this] { return cancelled || dead || !queue.empty(); });
        if (cancelled) return hid::ReadStatus::Cancelled;
        if (dead) return hid::ReadStatus::Failed;
        std::optional<std::vector<std::uint8_t>> item = std::move(queue.front());
        queue.pop_front();
        if (!item || item->size() > capacity) return hid::ReadStatus::Failed;
        std::copy(item->begin(), item->end(), buffer);
        count = item->size();
        return hid::ReadStatus::Ok;
    }
};

} // namespace detail

namespace {

// The bus whose notices this thread is delivering, if any.
thread_local const VirtualBus* t_flushing = nullptr;

bool SamePath(const std::wstring& a, const std::wstring& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) {
               return std::towlower(static_cast<std::wint_t>(x)) ==
                      std::towlower(static_cast<std::wint_t>(y));
           });
}

std::wstring Hex4(std::uint16_t value) {
    wchar_t text[8];
    std::swprintf(text, 8, L"%04x", static_cast<unsigned>(value));
    return text;
}

} // namespace

std::wstring MakeHidPath(std::uint16_t vendorId, std::uint16_t productId, const std::wstring& collection,
                         const std::wstring& instance) {
    std::wstring path = L"\\\\?\\hid#vid_" + Hex4(vendorId) + L"&pid_" + Hex4(productId);
    if (!collection.empty()) path += L"&" + collection;
    return path + L"#" + instance + L"#{4d1e55b2-f16f-11cf-88cb-001111000030}";
}

// One open interface as the channels see it. The bus outlives every handle opened from it.
class VirtualHandle final : public hid::Device {
public:
    VirtualHandle(UsbDevice& owner, std::size_t iface, std::uint64_t generation,
                  std::shared_ptr<detail::HandleState> state)
        : m_owner(owner), m_iface(iface), m_generation(generation), m_state(std::move(state)) {}

    bool GetCaps(hid::Caps& caps) override {
        return m_owner.m_bus.GetCaps(m_owner, m_iface, m_generation, caps);
    }
    bool SetFeature(const std::uint8_t* report, std::size_t length) override {
        return m_owner.m_bus.SetFeature(m_owner, m_iface, m_generation, report, length);
    }
    bool GetFeature(std::uint8_t* report, std::size_t length) override {
        return m_owner.m_bus.GetFeature(m_owner, m_iface, m_generation, report, length);
    }
    hid::ReadStatus Read(std::uint8_t* buffer, std::size_t capacity, std::size_t& count) override {
        return m_state->Read(buffer, capacity, count);
    }
    void CancelRead() override { m_state->Cancel(); }

private:
    UsbDevice& m_owner;
    std::size_t m_iface;
    std::uint64_t m_generation;
    std::shared_ptr<detail::HandleState> m_state;
};

// ---- UsbDevice

UsbDevice::UsbDevice(VirtualBus& bus, std::string tag, std::vector<InterfaceDesc> interfaces,
                     std::size_t inputInterface)
    : m_bus(bus), m_tag(std::move(tag)), m_inputInterface(inputInterface) {
    for (InterfaceDesc& desc : interfaces)
        m_interfaces.push_back({std::move(desc), {}});
}

UsbDevice::~UsbDevice() = default;

std::vector<std::wstring> UsbDevice::Paths() const {
    std::vector<std::wstring> paths;
    for (const Interface& iface : m_interfaces)
        paths.push_back(iface.desc.path);
    return paths;
}

bool UsbDevice::IsPlugged() const {
    return WithBusLock([this] { return m_plugged; });
}

void UsbDevice::SendInput(std::vector<std::uint8_t> report) {
    WithBusLock([&] { SendInputLocked(std::move(report)); });
}

void UsbDevice::Flood(const std::vector<std::uint8_t>& report, std::size_t count) {
    WithBusLock([&] {
        for (std::size_t i = 0; i < count; ++i)
            SendInputLocked(report);
    });
}

void UsbDevice::FailWrites(int count, int after) {
    WithBusLock([&] {
        if (after > 0) {
            m_failWritesAfter = after;
            m_pendingFailWrites = count;
        } else {
            m_failWrites = count;
        }
        TraceStepLocked("fail-writes " + std::to_string(count) + " after " + std::to_string(after));
    });
}

void UsbDevice::FailReads(int count, int after) {
    WithBusLock([&] {
        if (after > 0) {
            m_failReadsAfter = after;
            m_pendingFailReads = count;
        } else {
            m_failReads = count;
        }
        TraceStepLocked("fail-reads " + std::to_string(count) + " after " + std::to_string(after));
    });
}

void UsbDevice::FailInputReads(int count) {
    WithBusLock([&] {
        TraceStepLocked("fail-input " + std::to_string(count));
        if (m_inputInterface >= m_interfaces.size()) return;
        for (const auto& weak : m_interfaces[m_inputInterface].handles) {
            if (const auto state = weak.lock()) {
                for (int i = 0; i < count; ++i)
                    state->Push(std::nullopt);
            }
        }
    });
}

void UsbDevice::UnplugAfterTransfers(int count, std::optional<std::uint64_t> replugMs) {
    WithBusLock([&] {
        m_unplugAfter = count > 0 ? count : -1;
        m_replugMs = replugMs;
        TraceStepLocked("unplug-after " + std::to_string(count) +
                        (replugMs ? " replug " + std::to_string(*replugMs) : std::string()));
    });
}

void UsbDevice::ReplyOnce(const std::array<std::uint8_t, 32>& reply) {
    WithBusLock([&] {
        m_forcedReply = reply;
        m_hasForcedReply = true;
        if (trace::Enabled()) TraceStepLocked("reply " + trace::Hex(reply.data(), reply.size()));
    });
}

void UsbDevice::TraceStepLocked(const std::string& what) const {
    if (trace::Enabled())
        trace::Write("bus", m_tag + " " + what + " at " + std::to_string(m_bus.NowLocked()));
}

void UsbDevice::SendInputLocked(std::vector<std::uint8_t> report) {
    m_bus.DeliverInputLocked(*this, std::move(report));
}

std::uint64_t UsbDevice::NowLocked() const {
    return m_bus.NowLocked();
}

void UsbDevice::ScheduleLocked(std::uint64_t at, std::function<void()> fn) {
    m_bus.ScheduleLocked(at, [this, generation = m_generation, fn = std::move(fn)] {
        const bool live = WithBusLock([&] { return m_generation == generation; });
        if (live) fn();
    });
}

// ---- VirtualBus

VirtualBus::VirtualBus(std::uint64_t startMs) : m_now(startMs) {}

VirtualBus::~VirtualBus() {
    const std::lock_guard lock(m_mutex);
    for (const auto& device : m_devices) {
        for (UsbDevice::Interface& iface : device->m_interfaces) {
            for (const auto& weak : iface.handles) {
                if (const auto state = weak.lock()) state->MarkDead();
            }
        }
    }
}

template <class T, class Config> T& VirtualBus::AddDevice(const Config& config) {
    const std::lock_guard lock(m_mutex);
    auto device = std::make_unique<T>(*this, config, m_nextInstance++);
    T& added = *device;
    m_devices.push_back(std::move(device));
    return added;
}

VirtualReceiver& VirtualBus::AddReceiver(const ReceiverConfig& config) {
    return AddDevice<VirtualReceiver>(config);
}

OtherHidDevice& VirtualBus::AddOther(const OtherConfig& config) {
    return AddDevice<OtherHidDevice>(config);
}

UsbDevice* VirtualBus::Find(const std::string& tag) const {
    const std::lock_guard lock(m_mutex);
    for (const auto& device : m_devices) {
        if (device->m_tag == tag) return device.get();
    }
    return nullptr;
}

void VirtualBus::Plug(UsbDevice& device) {
    Locked([&] { PlugLocked(device); });
}

void VirtualBus::Unplug(UsbDevice& device) {
    Locked([&] { UnplugLocked(device); });
}

void VirtualBus::SetListener(BusListener* listener) {
    // Deliveries happen under the notice lock: taking it waits out one that is under way elsewhere.
    std::unique_lock order(m_noticeMutex, std::defer_lock);
    if (t_flushing != this) order.lock();
    const std::lock_guard lock(m_mutex);
    m_listener = listener;
}

void VirtualBus::PlugLocked(UsbDevice& device) {
    if (device.m_plugged) return;
    device.TraceStepLocked("plug");
    device.m_plugged = true;
    ++device.m_generation;
    m_plugOrder.push_back(&device);
    for (const UsbDevice::Interface& iface : device.m_interfaces)
        m_notices.push_back({true, iface.desc.path});
    device.OnPlugged();
}

void VirtualBus::UnplugLocked(UsbDevice& device) {
    if (!device.m_plugged) return;
    device.TraceStepLocked("unplug");
    device.m_plugged = false;
    ++device.m_generation;
    device.m_unplugAfter = -1;
    device.m_replugMs.reset();
    std::erase(m_plugOrder, &device);
    for (UsbDevice::Interface& iface : device.m_interfaces) {
        for (const auto& weak : iface.handles) {
            if (const auto state = weak.lock()) state->MarkDead();
        }
        iface.handles.clear();
        m_notices.push_back({false, iface.desc.path});
    }
    device.OnUnplugged();
}

std::uint64_t VirtualBus::Now() const {
    const std::lock_guard lock(m_mutex);
    return NowLocked();
}

std::uint64_t VirtualBus::NowLocked() const {
    return m_driver ? std::max(m_now, m_driver->WallTime()) : m_now;
}

std::function<std::uint32_t()> VirtualBus::TickSource() {
    return [this] { return Tick(); };
}

void VirtualBus::Advance(std::uint64_t ms) {
    const std::lock_guard advancing(m_advanceMutex);
    std::uint64_t now;
    {
        const std::lock_guard lock(m_mutex);
        now = m_now;
    }
    RunUntil(now + ms);
}

void VirtualBus::AdvanceTo(std::uint64_t timeMs) {
    const std::lock_guard advancing(m_advanceMutex);
    std::uint64_t now;
    {
        const std::lock_guard lock(m_mutex);
        now = m_now;
    }
    if (timeMs > now) RunUntil(timeMs);
}

void VirtualBus::RunUntil(std::uint64_t target) {
    for (;;) {
        std::function<void()> fn;
        {
            const std::lock_guard lock(m_mutex);
            if (m_events.empty() || m_events.top().due > target) {
                m_now = std::max(m_now, target);
                break;
            }
            Event event = m_events.top();
            m_events.pop();
            m_now = std::max(m_now, event.due);
            fn = std::move(event.fn);
        }
        fn();
        FlushNotices();
    }
    FlushNotices();
}

std::optional<std::uint64_t> VirtualBus::NextDue() const {
    const std::lock_guard lock(m_mutex);
    if (m_events.empty()) return std::nullopt;
    return m_events.top().due;
}

void VirtualBus::Schedule(std::uint64_t atMs, std::function<void()> fn) {
    Locked([&] { ScheduleLocked(atMs, std::move(fn)); });
}

void VirtualBus::ScheduleLocked(std::uint64_t atMs, std::function<void()> fn) {
    const std::uint64_t order = m_nextOrder++;
    m_events.push({std::max(atMs, NowLocked()), order, std::move(fn)});
    // Only a new first event changes how long the driver may sleep.
    if (m_driver && m_events.top().order == order) m_driver->Wake();
}

std::vector<Transfer> VirtualBus::Log() const {
    const std::lock_guard lock(m_mutex);
    return {m_log.begin(), m_log.end()};
}

std::vector<Transfer> VirtualBus::LogFor(const std::wstring& path) const {
    const std::lock_guard lock(m_mutex);
    std::vector<Transfer> matching;
    for (const Transfer& transfer : m_log) {
        if (SamePath(transfer.path, path)) matching.push_back(transfer);
    }
    return matching;
}

void VirtualBus::ClearLog() {
    const std::lock_guard lock(m_mutex);
    m_log.clear();
}

void VirtualBus::LimitLog(std::size_t maxTransfers) {
    const std::lock_guard lock(m_mutex);
    m_logLimit = maxTransfers;
    while (m_log.size() > maxTransfers)
        m_log.pop_front();
}

void VirtualBus::LogLocked(TransferKind kind, const std::wstring& path, const std::uint8_t* bytes,
                           std::size_t length, bool ok) {
    if (!m_logLimit || *m_logLimit > 0) {
        if (m_logLimit && m_log.size() >= *m_logLimit) m_log.pop_front();
        m_log.push_back({kind, NowLocked(), path, std::vector<std::uint8_t>(bytes, bytes + length), ok});
    }
    if (trace::Enabled()) {
        static constexpr const char* kKinds[] = {"set-feature", "get-feature", "input"};
        trace::Write("bus", std::string(kKinds[static_cast<int>(kind)]) + (ok ? " " : " failed ") +
                                trace::Narrow(path) + " " + trace::Hex(bytes, length) + " at " +
                                std::to_string(NowLocked()));
    }
}

void VirtualBus::DeliverInputLocked(UsbDevice& device, std::vector<std::uint8_t> report) {
    const bool hasInput = device.m_inputInterface < device.m_interfaces.size();
    const std::wstring path =
        hasInput ? device.m_interfaces[device.m_inputInterface].desc.path : std::wstring();
    LogLocked(TransferKind::Input, path, report.data(), report.size(), device.m_plugged && hasInput);
    if (!device.m_plugged || !hasInput) return;
    auto& handles = device.m_interfaces[device.m_inputInterface].handles;
    std::erase_if(handles, [](const auto& weak) { return weak.expired(); });
    for (const auto& weak : handles) {
        if (const auto state = weak.lock()) state->Push(report);
    }
}

void VirtualBus::CountTransferLocked(UsbDevice& device) {
    if (device.m_failWritesAfter > 0 && --device.m_failWritesAfter == 0)
        device.m_failWrites = device.m_pendingFailWrites;
    if (device.m_failReadsAfter > 0 && --device.m_failReadsAfter == 0)
        device.m_failReads = device.m_pendingFailReads;
    if (device.m_unplugAfter > 0 && --device.m_unplugAfter == 0) {
        const std::optional<std::uint64_t> replug = device.m_replugMs;
        UnplugLocked(device);
        if (replug) ScheduleLocked(NowLocked() + *replug, [this, &device] { Plug(device); });
    }
}

void VirtualBus::FlushNotices() {
    // A listener that plugs something itself must not wait for the delivery it is part of.
    if (t_flushing == this) return;
    const VirtualBus* outer = t_flushing;
    t_flushing = this;
    {
        const std::lock_guard order(m_noticeMutex);
        for (;;) {
            Notice notice{};
            BusListener* listener;
            {
                const std::lock_guard lock(m_mutex);
                if (m_notices.empty()) break;
                notice = std::move(m_notices.front());
                m_notices.erase(m_notices.begin());
                listener = m_listener;
            }
            if (!listener) continue;
            if (notice.arrival) {
                listener->OnArrival(notice.path);
            } else {
                listener->OnRemoval(notice.path);
            }
        }
    }
    t_flushing = outer;
}

bool VirtualBus::GetCaps(UsbDevice& device, std::size_t iface, std::uint64_t generation, hid::Caps& caps) {
    const std::lock_guard lock(m_mutex);
    if (!device.m_plugged || device.m_generation != generation) return false;
    caps = device.m_interfaces[iface].desc.caps;
    return true;
}

bool VirtualBus::SetFeature(UsbDevice& device, std::size_t iface, std::uint64_t generation,
                            const std::uint8_t* report, std::size_t length) {
    return Locked([&] {
        const UsbDevice::Interface& target = device.m_interfaces[iface];
        const bool live = device.m_plugged && device.m_generation == generation;
        bool ok = false;
        if (live && device.m_failWrites > 0) {
            --device.m_failWrites;
        } else if (live && length > 0 && length == target.desc.caps.featureReportLength) {
            ok = device.OnSetFeature(iface, report, length);
        }
        LogLocked(TransferKind::SetFeature, target.desc.path, report, length, ok);
        if (live) CountTransferLocked(device);
        return ok;
    });
}

bool VirtualBus::GetFeature(UsbDevice& device, std::size_t iface, std::uint64_t generation,
                            std::uint8_t* report, std::size_t length) {
    return Locked([&] {
        const UsbDevice::Interface& target = device.m_interfaces[iface];
        const bool live = device.m_plugged && device.m_generation == generation;
        bool ok = false;
        if (live && device.m_failReads > 0) {
            --device.m_failReads;
        } else if (live && length > 0 && length == target.desc.caps.featureReportLength) {
            if (device.m_hasForcedReply && length == device.m_forcedReply.size()) {
                std::copy(device.m_forcedReply.begin(), device.m_forcedReply.end(), report);
                device.m_hasForcedReply = false;
                ok = true;
            } else {
                ok = device.OnGetFeature(iface, report, length);
            }
        }
        LogLocked(TransferKind::GetFeature, target.desc.path, report, length, ok);
        if (live) CountTransferLocked(device);
        return ok;
    });
}

std::vector<std::wstring> VirtualBus::Enumerate(std::size_t maxCount) {
    const std::lock_guard lock(m_mutex);
    std::vector<std::wstring> paths;
    for (const UsbDevice* device : m_plugOrder) {
        for (const UsbDevice::Interface& iface : device->m_interfaces) {
            if (paths.size() >= maxCount) return paths;
            paths.push_back(iface.desc.path);
        }
    }
    return paths;
}

std::unique_ptr<hid::Device> VirtualBus::Open(const std::wstring& path, hid::OpenMode) {
    const std::lock_guard lock(m_mutex);
    for (UsbDevice* device : m_plugOrder) {
        for (std::size_t i = 0; i < device->m_interfaces.size(); ++i) {
            UsbDevice::Interface& iface = device->m_interfaces[i];
            if (!SamePath(iface.desc.path, path)) continue;
            auto state = std::make_shared<detail::HandleState>();
            iface.handles.push_back(state);
            return std::make_unique<VirtualHandle>(*device, i, device->m_generation, std::move(state));
        }
    }
    return nullptr;
}

// ---- RealTimeDriver

RealTimeDriver::RealTimeDriver(VirtualBus& bus)
    : m_bus(bus), m_start(std::chrono::steady_clock::now()), m_base(bus.Now()) {
    {
        const std::lock_guard lock(m_bus.m_mutex);
        m_bus.m_driver = this;
    }
    m_thread = std::thread([this] { Run(); });
}

RealTimeDriver::~RealTimeDriver() {
    {
        // Bus time goes on from where the wall clock has brought it.
        const std::lock_guard lock(m_bus.m_mutex);
        m_bus.m_now = m_bus.NowLocked();
        m_bus.m_driver = nullptr;
    }
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

std::uint64_t RealTimeDriver::WallTime() const {
    const auto elapsed = std::chrono::steady_clock::now() - m_start;
    return m_base +
           static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

void RealTimeDriver::Wake() {
    {
        const std::lock_guard lock(m_mutex);
        m_woken = true;
    }
    m_wake.notify_all();
}

void RealTimeDriver::Run() {
    std::unique_lock lock(m_mutex);
    while (!m_stop) {
        // Cleared before looking at the queue: whatever is scheduled after this either shows in
        // NextDue or sets it again.
        m_woken = false;
        lock.unlock();
        {
            // Also runs what was scheduled for the very millisecond the bus stands at.
            const std::lock_guard advancing(m_bus.m_advanceMutex);
            m_bus.RunUntil(WallTime());
        }
        const std::optional<std::uint64_t> next = m_bus.NextDue();
        lock.lock();
        const auto wake = [this] { return m_stop || m_woken; };
        if (next) {
            const std::uint64_t wait = *next > m_base ? *next - m_base : 0;
            m_wake.wait_until(lock, m_start + std::chrono::milliseconds(wait), wake);
        } else {
            m_wake.wait(lock, wake);
        }
        ++m_wakeups;
    }
}

} // namespace pw::virt
