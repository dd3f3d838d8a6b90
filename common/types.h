// Types and window messages shared by every part of the program. Free of windows.h so that
// the receiver link, the virtual receiver and their tests also build natively.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

// Same type as the Windows HWND (windows.h declares `struct HWND__ *HWND`), so code that
// never sees windows.h can still hold and pass window handles.
struct HWND__;
using WindowHandle = HWND__*;

namespace pw {

// 24-bit identifier of a paired device; on the wire three bytes, least significant first.
using DeviceId = std::uint32_t;

inline DeviceId ReadDeviceId(const std::uint8_t* b) {
    return static_cast<DeviceId>(b[0]) | static_cast<DeviceId>(b[1]) << 8 | static_cast<DeviceId>(b[2]) << 16;
}

inline void WriteDeviceId(std::uint8_t* b, DeviceId id) {
    b[0] = static_cast<std::uint8_t>(id);
    b[1] = static_cast<std::uint8_t>(id >> 8);
    b[2] = static_cast<std::uint8_t>(id >> 16);
}

enum DeviceKind : std::uint8_t { kKindKeyboard = 1, kKindMouse = 2 };

constexpr int kSlotCount = 6;

// One paired-device slot, exactly as the receiver reports it. Stored and passed unchanged.
struct DeviceSlotRecord {
    std::uint8_t slot;         // 1..6; 0 or above 6: no device
    std::uint8_t kind;         // DeviceKind
    std::uint8_t reserved;     // carried, not interpreted
    std::uint8_t id[3];        // DeviceId, least significant first
    char name[20];             // letters, digits and white space; 0-terminated or padded
    std::uint8_t terminator;   // always 0: ends a name of 20 characters
    std::uint8_t firmwareLow;  // second pair of digits
    std::uint8_t firmwareHigh; // first pair of digits

    DeviceId Id() const { return ReadDeviceId(id); }
    bool HasDevice() const { return slot >= 1 && slot <= kSlotCount; }
};
static_assert(sizeof(DeviceSlotRecord) == 29);
static_assert(offsetof(DeviceSlotRecord, id) == 3);
static_assert(offsetof(DeviceSlotRecord, name) == 6);
static_assert(offsetof(DeviceSlotRecord, terminator) == 26);
static_assert(offsetof(DeviceSlotRecord, firmwareLow) == 27);

// Copies a device name byte by byte until the first byte that is not an ASCII letter, digit or white
// space, which becomes the terminating 0. A name that fills all `length` bytes gets no terminator here.
void CopyDeviceName(const std::uint8_t* source, std::size_t length, char* name);

// One flag per slot 1..6; nonzero means the device in that slot is active.
using SlotActivity = std::array<std::uint8_t, kSlotCount>;

// One receiver event: the notification code and the device it concerns.
struct NotifyRecord {
    std::uint8_t code;
    DeviceSlotRecord device;

    // Records travel on the heap from a reader thread to a window; counting those alive shows a record
    // nobody freed on every target, not only where a leak checker runs.
    static void* operator new(std::size_t size);
    static void operator delete(void* record) noexcept;
    static std::size_t LiveOnHeap();
};
static_assert(sizeof(NotifyRecord) == 30);

enum NotifyCode : std::uint8_t {
    kNotifyPairRequest = 0x01,
    kNotifyDeviceLimited = 0x02,
    kNotifyAlreadyConnected = 0x03,
    kNotifyUnused = 0x04,
    kNotifyReceiverFull = 0x05,
    kNotifyDebug = 0xDB,
};

// "%d.%d.%d.%d" from the nibbles of the high byte, then of the low byte: 0x12, 0x34 reads 1.2.3.4.
std::string FormatFirmware(std::uint8_t high, std::uint8_t low);
std::wstring FormatFirmwareW(std::uint8_t high, std::uint8_t low);

// Application window messages (WM_USER = 0x400).
constexpr unsigned kWmUser = 0x400;
constexpr unsigned WM_REMOVE_DEVICE = kWmUser + 6;
constexpr unsigned WM_RECEIVER_NOTIFY = kWmUser + 7;
constexpr unsigned WM_PAIRING_RESULT = kWmUser + 8;
constexpr unsigned WM_RELAYOUT_ITEMS = kWmUser + 101;
constexpr unsigned WM_RECEIVER_EXPANDED = kWmUser + 102;
constexpr unsigned WM_PAIR_ANSWER = kWmUser + 105;
constexpr unsigned WM_SHOW_CONTROL_PANEL = kWmUser + 108;
constexpr unsigned WM_SHOW_PAIR_HELP = kWmUser + 109;
constexpr unsigned WM_SHOW_WELCOME = kWmUser + 110;
constexpr unsigned WM_TRAY_CALLBACK = kWmUser + 111;

// Class name of the main window; a running instance is found by it.
inline constexpr wchar_t kMainWindowClass[] = L"{5E27C4A0-7B3D-4F19-9C62-1A8D0B3F6E54}";

} // namespace pw
