// The notification channel of one receiver: a reader thread waits for 32-byte input reports, drops
// repeats that come within 3000 ms and posts every new event to a window as WM_RECEIVER_NOTIFY.
#pragma once

#include "common/types.h"
#include "receiver/hid_seam.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace pw {

constexpr std::size_t kNotifyReportLength = 32;
constexpr std::size_t kReadBufferLength = 260;
constexpr std::uint32_t kRepeatWindowMs = 3000;

// Milliseconds that wrap around at 2^32, like GetTickCount. Called on the reader thread.
using TickSource = std::function<std::uint32_t()>;
std::uint32_t SystemTick();

// The record for one 32-byte input report (byte 0, the report id, is ignored).
NotifyRecord BuildNotifyRecord(const std::uint8_t* report);

// True when `now` lies more than kRepeatWindowMs after `last`, across a wrap of the tick counter too.
inline bool RepeatWindowPassed(std::uint32_t last, std::uint32_t now) {
    return static_cast<std::uint32_t>(now - last) > kRepeatWindowMs;
}

// What the repeat filter remembers: when the last report of any length was read, and its bytes.
struct RepeatFilter {
    std::uint32_t lastTick = 0;
    std::vector<std::uint8_t> lastReport;
};

// One report read at `now`: the record to post, or nothing when it repeats the report before it within
// the window or is not 32 bytes long. The reader thread decides every report here.
std::optional<NotifyRecord> FilterReport(RepeatFilter& filter, const std::uint8_t* bytes, std::size_t length,
                                         std::uint32_t now);

// Open, Close and SetPostingEnabled belong to the user-interface thread; OnReport runs on the reader
// thread. A class that overrides OnReport must Close in its own destructor, before its part is gone.
class CNotifyPipe {
public:
    explicit CNotifyPipe(TickSource tick = SystemTick);
    CNotifyPipe(const CNotifyPipe&) = delete;
    CNotifyPipe& operator=(const CNotifyPipe&) = delete;
    virtual ~CNotifyPipe();

    bool Open(WindowHandle window, const std::wstring& path);
    // Returns once the reader thread has ended; harmless on a closed channel.
    void Close();
    bool IsOpen() const { return m_device != nullptr; }
    bool IsReading() const { return m_thread.joinable(); }
    const std::wstring& Path() const { return m_strPath; }

    void SetPostingEnabled(bool enabled) { postingEnabled.store(enabled); }

    virtual void OnReport(const std::uint8_t* bytes, std::size_t length);

private:
    void ReadLoop(hid::Device& device);
    void PauseAfterFailedRead();

    TickSource m_tick;
    std::wstring m_strPath;
    std::unique_ptr<hid::Device> m_device;
    std::thread m_thread;
    std::atomic<WindowHandle> m_hTarget{nullptr};
    std::atomic<bool> m_bStopping{false};
    std::atomic<bool> postingEnabled{true};

    RepeatFilter m_filter; // reader thread only (and Open, before the thread starts)

    // Wakes a reader that pauses after a failed read, so that Close stays prompt.
    std::mutex m_pauseMutex;
    std::condition_variable m_pauseWake;
};

} // namespace pw
