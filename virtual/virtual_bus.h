// A USB bus of virtual HID devices behind the HID seam: virtual receivers (a model of the receiver's
// firmware) and unrelated HID devices, each plugged in and pulled out at will. Time is the bus's own:
// tests advance it explicitly, the demo lets a RealTimeDriver advance it. Every feature report written
// and read and every input report sent is kept in a transfer log, unless the log is limited.
#pragma once

#include "receiver/hid_seam.h"

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <queue>
#include <string>
#include <thread>
#include <type_traits>
#include <utility>
#include <vector>

namespace pw::virt {

class VirtualBus;
class RealTimeDriver;
class VirtualReceiver;
class OtherHidDevice;
struct ReceiverConfig;
struct OtherConfig;

namespace detail {
struct HandleState;
}

// Hears interfaces come and go, one call per interface path. Called on the thread that plugged or
// pulled the device (a test, the RealTimeDriver, or the user-interface thread for an unplug in the
// middle of an exchange), with no bus lock held: the listener may call back into the bus, but must not
// wait for another thread that may be using the bus (post, do not send).
class BusListener {
public:
    virtual ~BusListener() = default;
    virtual void OnArrival(const std::wstring& path) = 0;
    virtual void OnRemoval(const std::wstring& path) = 0;
};

enum class TransferKind { SetFeature, GetFeature, Input };

struct Transfer {
    TransferKind kind;
    std::uint64_t timeMs;
    std::wstring path;
    std::vector<std::uint8_t> bytes; // as written, as read back, or as sent
    bool ok;
};

// How many input reports an open handle buffers while nobody reads (oldest dropped), as HID does.
constexpr std::size_t kInputBufferCount = 32;

// Lowercase \\?\hid#vid_vvvv&pid_pppp[&collection]#instance#{4d1e55b2-f16f-11cf-88cb-001111000030}.
std::wstring MakeHidPath(std::uint16_t vendorId, std::uint16_t productId, const std::wstring& collection,
                         const std::wstring& instance);

// Something that plugs into the bus. Its methods may be called from any thread.
class UsbDevice {
public:
    UsbDevice(const UsbDevice&) = delete;
    UsbDevice& operator=(const UsbDevice&) = delete;
    virtual ~UsbDevice();

    // One path per HID interface, fixed for the device's life.
    std::vector<std::wstring> Paths() const;
    bool IsPlugged() const;

    // Sends a raw input report (any length, any bytes) on the device's input interface.
    void SendInput(std::vector<std::uint8_t> report);
    void Flood(const std::vector<std::uint8_t>& report, std::size_t count);

    // Fault injection; each counts down with the transfers it spoils. The failures start once `after`
    // more feature transfers have passed.
    void FailWrites(int count, int after = 0); // SetFeature fails
    void FailReads(int count, int after = 0);  // GetFeature fails
    void FailInputReads(int count);            // pending and next input reads of every open handle fail
    // Pulled out right after that many more feature transfers; with replugMs, plugged in again that
    // much later.
    void UnplugAfterTransfers(int count, std::optional<std::uint64_t> replugMs = std::nullopt);
    void ReplyOnce(const std::array<std::uint8_t, 32>& reply); // next GetFeature returns these bytes

protected:
    struct InterfaceDesc {
        std::wstring path;
        hid::Caps caps;
    };
    UsbDevice(VirtualBus& bus, std::string tag, std::vector<InterfaceDesc> interfaces,
              std::size_t inputInterface);

    // Firmware hooks, called with the bus lock held.
    virtual bool OnSetFeature(std::size_t iface, const std::uint8_t* report, std::size_t length) = 0;
    virtual bool OnGetFeature(std::size_t iface, std::uint8_t* report, std::size_t length) = 0;
    virtual void OnPlugged() {}
    virtual void OnUnplugged() {}

    // For firmware code running with the bus lock held.
    void SendInputLocked(std::vector<std::uint8_t> report);
    std::uint64_t NowLocked() const;
    // Runs fn (without the lock) at the bus time `at`, unless the device was unplugged meanwhile.
    void ScheduleLocked(std::uint64_t at, std::function<void()> fn);
    // Runs f with the bus lock held; listeners hear of any plugging it caused after the lock is released.
    template <class F> auto WithBusLock(F&& f) const;
    bool IsPluggedLocked() const { return m_plugged; }

    // "<tag> <what> at <bus time>" into the program's trace: plugging, the faults being armed and what a
    // receiver holds.
    void TraceStepLocked(const std::string& what) const;

private:
    friend class VirtualBus;
    friend class VirtualHandle;
    struct Interface {
        InterfaceDesc desc;
        std::vector<std::weak_ptr<detail::HandleState>> handles;
    };

    VirtualBus& m_bus;
    std::string m_tag;
    std::vector<Interface> m_interfaces;
    std::size_t m_inputInterface;
    bool m_plugged = false;
    std::uint64_t m_generation = 0; // changes on every plug and unplug; stale handles and timers die
    int m_failWrites = 0;
    int m_failReads = 0;
    int m_failWritesAfter = 0; // transfers until m_pendingFailWrites apply
    int m_pendingFailWrites = 0;
    int m_failReadsAfter = 0;
    int m_pendingFailReads = 0;
    int m_unplugAfter = -1;
    std::optional<std::uint64_t> m_replugMs;
    bool m_hasForcedReply = false;
    std::array<std::uint8_t, 32> m_forcedReply{};
};

class VirtualBus final : public hid::Backend {
public:
    explicit VirtualBus(std::uint64_t startMs = 0);
    ~VirtualBus() override;
    VirtualBus(const VirtualBus&) = delete;
    VirtualBus& operator=(const VirtualBus&) = delete;

    // Devices belong to the bus and start unplugged; references stay valid for the bus's life.
    VirtualReceiver& AddReceiver(const ReceiverConfig& config);
    OtherHidDevice& AddOther(const OtherConfig& config);
    UsbDevice* Find(const std::string& tag) const;
    void Plug(UsbDevice& device);
    void Unplug(UsbDevice& device);
    // Once this returns, the previous listener hears nothing more.
    void SetListener(BusListener* listener);

    // Bus time in milliseconds. Advance runs every event that falls due, in time order, each at its time.
    // While a RealTimeDriver drives the bus, Now follows the wall clock between events too.
    std::uint64_t Now() const;
    std::uint32_t Tick() const { return static_cast<std::uint32_t>(Now()); }
    std::function<std::uint32_t()> TickSource();
    void Advance(std::uint64_t ms);
    void AdvanceTo(std::uint64_t timeMs);
    void Schedule(std::uint64_t atMs, std::function<void()> fn);

    std::vector<Transfer> Log() const;
    std::vector<Transfer> LogFor(const std::wstring& path) const;
    void ClearLog();
    // Keeps only the latest maxTransfers transfers from now on (0: none); the log is unlimited
    // otherwise. A bus that runs for hours with nobody reading its log limits it.
    void LimitLog(std::size_t maxTransfers);

    // hid::Backend
    std::vector<std::wstring> Enumerate(std::size_t maxCount) override;
    std::unique_ptr<hid::Device> Open(const std::wstring& path, hid::OpenMode mode) override;

private:
    friend class UsbDevice;
    friend class VirtualHandle;
    friend class RealTimeDriver;
    struct Event {
        std::uint64_t due;
        std::uint64_t order;
        std::function<void()> fn;
        bool operator>(const Event& other) const {
            return due != other.due ? due > other.due : order > other.order;
        }
    };
    struct Notice {
        bool arrival;
        std::wstring path;
    };

    template <class T, class Config> T& AddDevice(const Config& config);
    template <class F> auto Locked(F&& f) {
        std::unique_lock lock(m_mutex);
        if constexpr (std::is_void_v<decltype(f())>) {
            f();
            lock.unlock();
            FlushNotices();
        } else {
            auto result = f();
            lock.unlock();
            FlushNotices();
            return result;
        }
    }
    std::uint64_t NowLocked() const;
    void RunUntil(std::uint64_t target);
    std::optional<std::uint64_t> NextDue() const;
    void PlugLocked(UsbDevice& device);
    void UnplugLocked(UsbDevice& device);
    void ScheduleLocked(std::uint64_t atMs, std::function<void()> fn);
    void LogLocked(TransferKind kind, const std::wstring& path, const std::uint8_t* bytes, std::size_t length,
                   bool ok);
    void DeliverInputLocked(UsbDevice& device, std::vector<std::uint8_t> report);
    void CountTransferLocked(UsbDevice& device);
    void FlushNotices();

    bool SetFeature(UsbDevice& device, std::size_t iface, std::uint64_t generation,
                    const std::uint8_t* report, std::size_t length);
    bool GetFeature(UsbDevice& device, std::size_t iface, std::uint64_t generation, std::uint8_t* report,
                    std::size_t length);
    bool GetCaps(UsbDevice& device, std::size_t iface, std::uint64_t generation, hid::Caps& caps);

    mutable std::mutex m_mutex;
    std::vector<std::unique_ptr<UsbDevice>> m_devices;
    std::vector<UsbDevice*> m_plugOrder; // plugged devices, in the order they arrived
    std::uint64_t m_now;                 // the time events have run up to
    std::uint64_t m_nextOrder = 0;
    std::priority_queue<Event, std::vector<Event>, std::greater<>> m_events;
    std::deque<Transfer> m_log;
    std::optional<std::size_t> m_logLimit;
    std::vector<Notice> m_notices;
    BusListener* m_listener = nullptr;
    RealTimeDriver* m_driver = nullptr;
    std::uint32_t m_nextInstance = 0;

    std::mutex m_advanceMutex; // one advancer at a time
    std::mutex m_noticeMutex;  // notices reach the listener in the order they were made
};

template <class F> auto UsbDevice::WithBusLock(F&& f) const {
    return m_bus.Locked(std::forward<F>(f));
}

// Advances a bus in step with the wall clock on a thread of its own (for the demo, not for tests). The
// thread sleeps until the next event falls due or an earlier one is scheduled, so an idle bus costs
// nothing. One driver per bus; the bus must outlive it.
class RealTimeDriver {
public:
    explicit RealTimeDriver(VirtualBus& bus);
    ~RealTimeDriver();
    RealTimeDriver(const RealTimeDriver&) = delete;
    RealTimeDriver& operator=(const RealTimeDriver&) = delete;

    // How often the thread has woken so far.
    std::uint64_t Wakeups() const { return m_wakeups.load(); }

private:
    friend class VirtualBus;
    std::uint64_t WallTime() const; // the bus time the wall clock says
    void Wake();                    // called with the bus lock held
    void Run();

    VirtualBus& m_bus;
    const std::chrono::steady_clock::time_point m_start;
    const std::uint64_t m_base;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stop = false;
    bool m_woken = false;
    std::atomic<std::uint64_t> m_wakeups{0};
    std::thread m_thread;
};

} // namespace pw::virt
