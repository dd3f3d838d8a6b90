// The threaded road of the notification channel: input reports sent on a virtual receiver, read by the
// channel's reader thread and posted. What it posts must be what the repeat filter decides for the same
// reports. Slower than fuzz_notify_reports (a thread per input, a hand-over per report); same input.
#include "common/post.h"
#include "receiver/notify_pipe.h"
#include "virtual/virtual_receiver.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

std::mutex g_mutex;
std::vector<pw::NotifyRecord> g_posted;

bool Keep(WindowHandle, unsigned message, std::uintptr_t wParam, std::intptr_t) {
    Check(message == pw::WM_RECEIVER_NOTIFY);
    const std::lock_guard lock(g_mutex);
    g_posted.push_back(*pw::TakeOwned<pw::NotifyRecord>(wParam));
    return true;
}

std::atomic<std::uint32_t> g_tick{0};

// Tells the sender when the reader has handed a report over, so that each report meets its own tick.
class SteppedPipe final : public pw::CNotifyPipe {
public:
    SteppedPipe() : CNotifyPipe([] { return g_tick.load(); }) {}
    ~SteppedPipe() override { Close(); }
    void OnReport(const std::uint8_t* bytes, std::size_t length) override {
        CNotifyPipe::OnReport(bytes, length);
        {
            const std::lock_guard lock(m_mutex);
            ++m_reports;
        }
        m_handed.notify_all();
    }
    void WaitFor(int reports) {
        std::unique_lock lock(m_mutex);
        m_handed.wait(lock, [&] { return m_reports >= reports; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_handed;
    int m_reports = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    pw::SetPostMessage(&Keep);
    {
        const std::lock_guard lock(g_mutex);
        g_posted.clear();
    }
    std::uint32_t tick = size ? 0xFFFFF000u + data[0] * 16u : 0;
    g_tick = tick;

    pw::virt::VirtualBus bus;
    auto& receiver = bus.AddReceiver({});
    bus.Plug(receiver);
    pw::hid::ScopedBackend scoped(bus);
    SteppedPipe pipe;
    Check(pipe.Open(reinterpret_cast<WindowHandle>(0x1), receiver.NotifyPath()));
    pw::RepeatFilter expected{tick, {}};
    std::vector<pw::NotifyRecord> records;

    int sent = 0;
    std::size_t pos = 1;
    while (pos + 3 <= size) {
        const std::uint32_t step = static_cast<std::uint32_t>(data[pos] | data[pos + 1] << 8) * 4;
        // A report longer than the reader's buffer is a failed read; the reader pauses after one.
        const std::size_t length = std::min(
            {std::size_t{data[pos + 2] ? data[pos + 2] : 32u}, size - pos - 3, pw::kReadBufferLength});
        pos += 3;
        if (length == 0) break;
        const std::vector<std::uint8_t> report(data + pos, data + pos + length);
        pos += length;
        tick += step;

        g_tick = tick;
        receiver.SendInput(report);
        pipe.WaitFor(++sent);
        if (const auto record = pw::FilterReport(expected, report.data(), report.size(), tick))
            records.push_back(*record);
    }
    pipe.Close();
    const std::lock_guard lock(g_mutex);
    Check(g_posted.size() == records.size());
    for (std::size_t i = 0; i < records.size(); ++i)
        Check(std::memcmp(&g_posted[i], &records[i], sizeof records[i]) == 0);
    return 0;
}
