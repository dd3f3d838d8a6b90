#include "receiver/notify_pipe.h"

#include "common/post.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

namespace pw {
namespace {

constexpr std::size_t kNotifyNameOffset = 4;
constexpr std::size_t kNotifyNameLength = 10;
constexpr std::size_t kNotifyIdOffset = 14;

// A device that was pulled out makes every read fail at once until discovery closes the channel;
// the pause keeps the reader from spinning meanwhile.
constexpr std::chrono::milliseconds kFailedReadPause{20};

} // namespace

std::uint32_t SystemTick() {
#ifdef _WIN32
    return GetTickCount();
#else
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
#endif
}

NotifyRecord BuildNotifyRecord(const std::uint8_t* report) {
    NotifyRecord record{};
    record.code = report[1];
    if (record.code == kNotifyDebug) {
        record.device.slot = report[2];
        record.device.kind = report[3];
        return record;
    }
    record.device.kind = report[2];
    record.device.reserved = report[3];
    std::memcpy(record.device.id, report + kNotifyIdOffset, sizeof record.device.id);
    CopyDeviceName(report + kNotifyNameOffset, kNotifyNameLength, record.device.name);
    return record;
}

std::optional<NotifyRecord> FilterReport(RepeatFilter& filter, const std::uint8_t* bytes, std::size_t length,
                                         std::uint32_t now) {
    if (RepeatWindowPassed(filter.lastTick, now)) filter.lastReport.clear();
    filter.lastTick = now;
    if (filter.lastReport.size() == length && std::equal(bytes, bytes + length, filter.lastReport.begin()))
        return std::nullopt;
    filter.lastReport.assign(bytes, bytes + length);
    if (length != kNotifyReportLength) return std::nullopt;
    return BuildNotifyRecord(bytes);
}

CNotifyPipe::CNotifyPipe(TickSource tick) : m_tick(std::move(tick)) {}

CNotifyPipe::~CNotifyPipe() {
    Close();
}

bool CNotifyPipe::Open(WindowHandle window, const std::wstring& path) {
    Close();
    m_filter = {m_tick(), {}};
    m_device = hid::CurrentBackend().Open(path, hid::OpenMode::Overlapped);
    if (!m_device) return false;
    m_hTarget.store(window);
    hid::Caps caps;
    if (!m_device->GetCaps(caps) || caps.inputReportLength != kNotifyReportLength) {
        Close();
        return false;
    }
    m_bStopping.store(false);
    try {
        m_thread = std::thread([this, device = m_device.get()] { ReadLoop(*device); });
    } catch (const std::system_error&) {
        Close();
        return false;
    }
    m_strPath = path;
    return true;
}

void CNotifyPipe::Close() {
    // Order matters: the reader must have ended before the device (and its handle) goes away.
    if (m_device) {
        {
            const std::lock_guard lock(m_pauseMutex);
            m_bStopping.store(true);
        }
        m_pauseWake.notify_all();
        m_device->CancelRead();
    }
    if (m_thread.joinable()) m_thread.join();
    m_device.reset();
    m_hTarget.store(nullptr);
}

void CNotifyPipe::ReadLoop(hid::Device& device) {
    std::uint8_t buffer[kReadBufferLength] = {};
    while (!m_bStopping.load()) {
        std::size_t count = 0;
        const hid::ReadStatus status = device.Read(buffer, sizeof buffer, count);
        if (status == hid::ReadStatus::Cancelled) break;
        if (status == hid::ReadStatus::Failed) {
            PauseAfterFailedRead();
            continue;
        }
        if (count > 0) OnReport(buffer, std::min(count, sizeof buffer));
    }
}

void CNotifyPipe::PauseAfterFailedRead() {
    std::unique_lock lock(m_pauseMutex);
    m_pauseWake.wait_for(lock, kFailedReadPause, [this] { return m_bStopping.load(); });
}

void CNotifyPipe::OnReport(const std::uint8_t* bytes, std::size_t length) {
    const std::optional<NotifyRecord> record = FilterReport(m_filter, bytes, length, m_tick());
    const WindowHandle target = m_hTarget.load();
    if (!record || !postingEnabled.load() || !target) return;
    // A failed post (the window is gone) frees the record; a delivered one belongs to the handler.
    PostOwned(target, WM_RECEIVER_NOTIFY, std::make_unique<NotifyRecord>(*record),
              reinterpret_cast<std::intptr_t>(this));
}

} // namespace pw
