// The thin seam between the receiver link and the platform's HID stack. The channels
// (CCmdPipe, CNotifyPipe) and discovery talk only to this interface, so the same code runs over
// the Windows HID stack and over the virtual receiver.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace pw::hid {

struct Caps {
    std::uint16_t inputReportLength = 0;
    std::uint16_t featureReportLength = 0;
};

enum class OpenMode { Plain, Overlapped };

enum class ReadStatus {
    Ok,        // count bytes of one input report arrived (count may be 0)
    Failed,    // the read failed (for example the device was unplugged); the caller may read again
    Cancelled, // CancelRead was called; every later Read also returns Cancelled at once
};

// One open HID interface. Feature transfers and GetCaps run on the user-interface thread; Read runs on
// one reader thread and only for interfaces opened Overlapped. CancelRead may be called from any thread
// and makes a pending or later Read return Cancelled promptly; the object is destroyed (the handle
// closed) only after the reader thread has been joined.
class Device {
public:
    virtual ~Device() = default;
    virtual bool GetCaps(Caps& caps) = 0; // HidD_GetPreparsedData + HidP_GetCaps
    virtual bool SetFeature(const std::uint8_t* report, std::size_t length) = 0;
    virtual bool GetFeature(std::uint8_t* report, std::size_t length) = 0;
    virtual ReadStatus Read(std::uint8_t* buffer, std::size_t capacity, std::size_t& count) = 0;
    virtual void CancelRead() = 0;
};

// A source of HID interfaces: the Windows HID stack (SetupAPI + CreateFileW) or the virtual bus.
class Backend {
public:
    virtual ~Backend() = default;
    // Device paths of the present HID interfaces, at most maxCount of them, each at most 260 characters.
    virtual std::vector<std::wstring> Enumerate(std::size_t maxCount) = 0;
    // nullptr when the path cannot be opened.
    virtual std::unique_ptr<Device> Open(const std::wstring& path, OpenMode mode) = 0;
};

// The backend every channel uses. Chosen once at start-up, before any channel exists; tests swap it
// with ScopedBackend. On Windows the default is the HID stack; natively there is none until set.
Backend& CurrentBackend();
void SetCurrentBackend(Backend* backend);

class ScopedBackend {
public:
    explicit ScopedBackend(Backend& backend);
    ~ScopedBackend();
    ScopedBackend(const ScopedBackend&) = delete;
    ScopedBackend& operator=(const ScopedBackend&) = delete;

private:
    Backend* m_previous;
};

} // namespace pw::hid
