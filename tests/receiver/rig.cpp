#include "rig.h"

#include <algorithm>
#include <array>
#include <thread>

namespace pw::test {
namespace {

std::mutex g_mutex;
std::vector<Posted> g_posted;
bool g_refuse = false;

} // namespace

bool WaitUntil(const std::function<bool()>& pred, std::chrono::milliseconds deadline) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (!pred()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

PostRecorder::PostRecorder() : m_previous(SetPostMessage(&Record)) {
    const std::lock_guard lock(g_mutex);
    g_posted.clear();
    g_refuse = false;
}

PostRecorder::~PostRecorder() {
    SetPostMessage(m_previous);
    const std::lock_guard lock(g_mutex);
    g_posted.clear();
}

bool PostRecorder::Record(WindowHandle window, unsigned message, std::uintptr_t wParam,
                          std::intptr_t lParam) {
    const std::lock_guard lock(g_mutex);
    if (g_refuse) return false;
    g_posted.push_back({window, message, TakeOwned<NotifyRecord>(wParam), lParam});
    return true;
}

void PostRecorder::Refuse(bool refuse) {
    const std::lock_guard lock(g_mutex);
    g_refuse = refuse;
}

std::size_t PostRecorder::Count() const {
    const std::lock_guard lock(g_mutex);
    return g_posted.size();
}

std::vector<NotifyRecord> PostRecorder::Records() const {
    const std::lock_guard lock(g_mutex);
    std::vector<NotifyRecord> records;
    for (const Posted& posted : g_posted)
        records.push_back(*posted.record);
    return records;
}

const Posted& PostRecorder::At(std::size_t index) const {
    const std::lock_guard lock(g_mutex);
    return g_posted.at(index);
}

ReceiverRig::ReceiverRig(virt::ReceiverConfig config, std::uint64_t startMs)
    : bus(startMs), receiver(bus.AddReceiver(config)), scoped(bus) {
    bus.Plug(receiver);
}

std::vector<std::uint8_t> Report(std::uint8_t code, std::vector<std::uint8_t> rest, std::size_t length) {
    std::array<std::uint8_t, 260> bytes{virt::kNotifyReportId, code};
    for (std::size_t i = 0; i < rest.size() && i + 2 < bytes.size(); ++i)
        bytes[i + 2] = rest[i];
    return std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + std::min(length, bytes.size()));
}

} // namespace pw::test
