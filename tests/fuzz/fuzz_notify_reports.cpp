// Input reports of any length at any spacing into the notification channel: the records it builds
// and the repeat filter. Input: chunks of [tick step (2 bytes), length (1 byte), report bytes].
#include "common/post.h"
#include "receiver/notify_pipe.h"
#include "virtual/virtual_receiver.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

std::vector<pw::NotifyRecord> g_posted;

bool Keep(WindowHandle, unsigned message, std::uintptr_t wParam, std::intptr_t) {
    Check(message == pw::WM_RECEIVER_NOTIFY);
    g_posted.push_back(*pw::TakeOwned<pw::NotifyRecord>(wParam));
    return true;
}

std::uint32_t g_tick = 0;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    pw::SetPostMessage(&Keep);
    g_posted.clear();
    g_tick = size ? 0xFFFFF000u + data[0] * 16u : 0; // near the wrap of the tick counter

    pw::virt::VirtualBus bus;
    auto& receiver = bus.AddReceiver({});
    bus.Plug(receiver);
    pw::hid::ScopedBackend scoped(bus);
    pw::CNotifyPipe pipe([] { return g_tick; });
    // The reader waits for reports that never come; the reports below go straight to OnReport.
    Check(pipe.Open(reinterpret_cast<WindowHandle>(0x1), receiver.NotifyPath()));

    std::vector<std::uint8_t> previous;
    std::uint32_t previousTick = g_tick;
    std::size_t pos = 1;
    while (pos + 3 <= size) {
        const std::uint32_t step = static_cast<std::uint32_t>(data[pos] | data[pos + 1] << 8) * 4;
        const std::size_t length = std::min<std::size_t>(data[pos + 2] ? data[pos + 2] : 32, size - pos - 3);
        pos += 3;
        if (length == 0) break;
        const std::vector<std::uint8_t> report(data + pos, data + pos + length);
        pos += length;
        g_tick += step;

        const std::size_t before = g_posted.size();
        pipe.OnReport(report.data(), report.size());
        const bool repeat = report == previous && static_cast<std::uint32_t>(g_tick - previousTick) <= 3000;
        Check(g_posted.size() == before + (length == 32 && !repeat ? 1 : 0));
        if (g_posted.size() > before) {
            const pw::NotifyRecord& record = g_posted.back();
            Check(record.code == report[1]);
            const auto* bytes = reinterpret_cast<const std::uint8_t*>(&record);
            const std::size_t zeroFrom = record.code == pw::kNotifyDebug ? 3 : 17;
            for (std::size_t i = zeroFrom; i < sizeof record; ++i)
                Check(bytes[i] == 0);
            Check(std::strlen(record.device.name) <= 10);
        }
        if (!repeat) previous = report;
        previousTick = g_tick;
    }
    pipe.Close();
    return 0;
}
