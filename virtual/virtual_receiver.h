// The virtual receiver: a model of the receiver's firmware with its four HID interfaces (keyboard,
// mouse, command and notification collections), six slots, every command with its effect, devices
// that ask to be paired, and debug reports of its pairing state machine.
#pragma once

#include "common/types.h"
#include "receiver/cmd_pipe.h"
#include "virtual/virtual_bus.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pw::virt {

constexpr std::uint8_t kNotifyReportId = 0x09;
constexpr std::uint64_t kPairRequestRepeatMs = 1000; // a device repeats its request about once a second
constexpr std::uint64_t kJoinGiveUpMs = 30000; // an accepted device that never shows up fails after this
constexpr std::uint64_t kAskAgainMs = 100;     // a device that asks again does so this long after removal

// Events of the pairing state machine, sent as debug reports (code 0xDB) once debug reports are on.
enum DebugEvent : std::uint8_t {
    kDebugFail = 0xA0,
    kDebugSuccess = 0xA1,
    kDebugInit = 0xA2,
    kDebugRequestReceived = 0xA3,
    kDebugProgressA = 0xA4,
    kDebugProgressB = 0xA5,
    kDebugCancel = 0xA6,
    kDebugAnswerCheck = 0xAC, // value 1: the answer matched a request, else 0
    kDebugLogState = 0xD0,    // value 1: enabled, 0: disabled
};

// Interface order of a receiver and the collection part of each path.
enum ReceiverInterface : std::size_t {
    kKeyboardInterface,
    kMouseInterface,
    kCommandInterface,
    kNotifyInterface
};

struct ReceiverConfig {
    std::string tag = "R1";
    std::string name{kAcceptedReceiverNames[0]}; // answered to command 0x01
    std::uint8_t firmwareHigh = 0x12;
    std::uint8_t firmwareLow = 0x05;
    std::uint16_t vendorId = 0x2f1e;
    std::uint16_t productId = 0x7a31;
    int nameLengthByte = -1; // the length byte of the 0x01 reply; -1: the name's own length
};

// A keyboard or mouse, paired or in range.
struct DeviceConfig {
    std::string tag = "K1";
    DeviceKind kind = kKindKeyboard;
    DeviceId id = 0x0A0B0C;
    std::string name = "Slim Keyboard"; // 20 bytes in a slot record, the first 10 in a notification
    std::uint8_t firmwareHigh = 0x01;
    std::uint8_t firmwareLow = 0x10;
    std::uint8_t reserved = 0;
    bool active = true;
    std::optional<std::uint64_t> joinDelayMs = 1500; // after an accepted pairing; nullopt: never appears
    bool atReceiverLimit = false;                    // refuses new receivers: code 2
    std::uint64_t patienceMs = 30000;                // how long it keeps asking without an answer
    bool asksAgain = false;                          // asks to be paired again once it was removed
};

struct SlotState {
    int slot;
    DeviceConfig device;
    bool active;
};

class VirtualReceiver final : public UsbDevice {
public:
    VirtualReceiver(VirtualBus& bus, const ReceiverConfig& config, std::uint32_t instance);

    const ReceiverConfig& Config() const { return m_config; }
    std::wstring InterfacePath(ReceiverInterface which) const;
    std::wstring CommandPath() const { return InterfacePath(kCommandInterface); }
    std::wstring NotifyPath() const { return InterfacePath(kNotifyInterface); }

    // Pairs a device into the first free slot (as if paired long ago); returns the slot, 0 when full.
    int AddPaired(const DeviceConfig& device);
    std::vector<SlotState> Slots() const;
    void SetActive(DeviceId id, bool active);
    bool DebugReportsOn() const;

    // A device in range starts asking to be paired; it repeats its request every kPairRequestRepeatMs
    // until answered or until its patience runs out. Only while plugged.
    void AskToPair(const DeviceConfig& device);
    std::size_t AskingCount() const;

protected:
    bool OnSetFeature(std::size_t iface, const std::uint8_t* report, std::size_t length) override;
    bool OnGetFeature(std::size_t iface, std::uint8_t* report, std::size_t length) override;
    void OnPlugged() override;
    void OnUnplugged() override;

private:
    struct Request {
        DeviceConfig device;
        std::uint64_t until;
        std::uint64_t token;
    };
    struct Join {
        DeviceConfig device;
        std::uint64_t token;
    };

    void RunCommand(const std::uint8_t* request);
    void Answer(DeviceId id, bool accept);
    void StopPairing();
    void SetDebug(bool on);
    void RepeatRequest(std::uint64_t token);
    void SendRequestLocked(const Request& request);
    std::uint8_t CodeForLocked(const DeviceConfig& device) const;
    void JoinProgress(std::uint64_t token);
    void FinishJoin(std::uint64_t token, bool appears);
    void DebugLocked(std::uint8_t event, std::uint8_t value = 0);
    void InfoReplyLocked(std::array<std::uint8_t, 32>& reply) const;
    void SlotReplyLocked(int slot, std::array<std::uint8_t, 32>& reply) const;
    // "holds <0x01 reply> <0x03 reply of each occupied slot>": the receiver as the program should show it.
    void TraceHoldingsLocked() const;
    int FreeSlotLocked() const;
    int SlotOfLocked(DeviceId id) const;

    ReceiverConfig m_config;
    std::array<std::optional<SlotState>, kSlotCount> m_slots;
    std::array<std::uint8_t, 32> m_reply{};
    bool m_debug = false;
    std::vector<Request> m_requests;
    std::vector<Join> m_joins;
    std::uint64_t m_nextToken = 1;
};

// An unrelated HID device with one interface, e.g. one with 32-byte input reports or one with 32-byte
// feature reports that answers command 0x01 with a name of its own.
struct OtherConfig {
    std::string tag = "X1";
    std::uint16_t vendorId = 0x4b9d;
    std::uint16_t productId = 0x0102;
    hid::Caps caps{32, 0};
    std::string name = "Desk Dial"; // answered to 0x01 when the feature reports are 32 bytes
};

class OtherHidDevice final : public UsbDevice {
public:
    OtherHidDevice(VirtualBus& bus, const OtherConfig& config, std::uint32_t instance);
    const OtherConfig& Config() const { return m_config; }

protected:
    bool OnSetFeature(std::size_t iface, const std::uint8_t* report, std::size_t length) override;
    bool OnGetFeature(std::size_t iface, std::uint8_t* report, std::size_t length) override;

private:
    OtherConfig m_config;
    std::array<std::uint8_t, 32> m_reply{};
};

} // namespace pw::virt
