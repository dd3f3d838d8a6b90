// Shared by the receiver tests: a bus with one plugged receiver behind the seam, a recorder for posted
// records, and waiting for a condition with a deadline.
#pragma once

#include "common/post.h"
#include "receiver/hid_seam.h"
#include "virtual/virtual_bus.h"
#include "virtual/virtual_receiver.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace pw::test {

inline const WindowHandle kFakeWindow = reinterpret_cast<WindowHandle>(0x5150);

// Waits until pred holds; false when the deadline passes first.
bool WaitUntil(const std::function<bool()>& pred,
               std::chrono::milliseconds deadline = std::chrono::seconds(10));

struct Posted {
    WindowHandle window;
    unsigned message;
    std::unique_ptr<NotifyRecord> record;
    std::intptr_t lParam;
};

// Takes over the posting road while it lives: every WM_RECEIVER_NOTIFY is kept (the recorder owns the
// record), or refused like a post to a window that is gone.
class PostRecorder {
public:
    PostRecorder();
    ~PostRecorder();
    PostRecorder(const PostRecorder&) = delete;
    PostRecorder& operator=(const PostRecorder&) = delete;

    void Refuse(bool refuse);
    std::size_t Count() const;
    std::vector<NotifyRecord> Records() const;
    const Posted& At(std::size_t index) const; // only once the reader is done

private:
    static bool Record(WindowHandle window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam);
    PostMessageFn m_previous;
};

// A bus with receiver R1 plugged in and installed as the current backend.
struct ReceiverRig {
    explicit ReceiverRig(virt::ReceiverConfig config = {}, std::uint64_t startMs = 0);

    std::vector<virt::Transfer> CommandLog() const { return bus.LogFor(receiver.CommandPath()); }

    virt::VirtualBus bus;
    virt::VirtualReceiver& receiver;
    hid::ScopedBackend scoped;
};

// A 32-byte input report: report id, code, then the given bytes from byte 2 on.
std::vector<std::uint8_t> Report(std::uint8_t code, std::vector<std::uint8_t> rest = {},
                                 std::size_t length = 32);

} // namespace pw::test
