#include "virtual/virtual_receiver.h"

#include "common/trace.h"
#include "receiver/cmd_pipe.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace pw::virt {
namespace {

std::wstring InstanceText(std::uint32_t instance, std::size_t index) {
    wchar_t text[32];
    std::swprintf(text, 32, L"8&%08x&0&%04u", static_cast<unsigned>(0x2c41f0a7u + instance * 0x9e3779b1u),
                  static_cast<unsigned>(index));
    return text;
}

struct CollectionSpec {
    const wchar_t* collection;
    hid::Caps caps;
};

// In ReceiverInterface order. Only the command collection has 32-byte feature reports, only the
// notification collection 32-byte input reports.
constexpr CollectionSpec kReceiverCollections[] = {
    {L"mi_00&col01", {9, 2}},  // keyboard
    {L"mi_01&col01", {8, 0}},  // mouse
    {L"mi_01&col02", {0, 32}}, // commands, feature report 8
    {L"mi_01&col03", {32, 0}}, // notifications
};

void CopyName(const std::string& name, std::uint8_t* out, std::size_t room) {
    std::memcpy(out, name.data(), std::min(name.size(), room));
}

} // namespace

// ---- VirtualReceiver

VirtualReceiver::VirtualReceiver(VirtualBus& bus, const ReceiverConfig& config, std::uint32_t instance)
    : UsbDevice(
          bus, config.tag,
          [&] {
              std::vector<InterfaceDesc> interfaces;
              for (std::size_t i = 0; i < std::size(kReceiverCollections); ++i) {
                  interfaces.push_back(
                      {MakeHidPath(config.vendorId, config.productId, kReceiverCollections[i].collection,
                                   InstanceText(instance, i)),
                       kReceiverCollections[i].caps});
              }
              return interfaces;
          }(),
          kNotifyInterface),
      m_config(config) {}

std::wstring VirtualReceiver::InterfacePath(ReceiverInterface which) const {
    return Paths().at(which);
}

int VirtualReceiver::AddPaired(const DeviceConfig& device) {
    return WithBusLock([&] {
        if (const int slot = SlotOfLocked(device.id)) return slot;
        const int slot = FreeSlotLocked();
        if (slot) m_slots[slot - 1] = SlotState{slot, device, device.active};
        if (slot && IsPluggedLocked()) TraceHoldingsLocked();
        return slot;
    });
}

std::vector<SlotState> VirtualReceiver::Slots() const {
    return WithBusLock([&] {
        std::vector<SlotState> used;
        for (const auto& slot : m_slots) {
            if (slot) used.push_back(*slot);
        }
        return used;
    });
}

void VirtualReceiver::SetActive(DeviceId id, bool active) {
    WithBusLock([&] {
        if (const int slot = SlotOfLocked(id)) m_slots[slot - 1]->active = active;
    });
}

bool VirtualReceiver::DebugReportsOn() const {
    return WithBusLock([&] { return m_debug; });
}

std::size_t VirtualReceiver::AskingCount() const {
    return WithBusLock([&] { return m_requests.size(); });
}

void VirtualReceiver::AskToPair(const DeviceConfig& device) {
    WithBusLock([&] {
        if (!IsPluggedLocked()) return;
        const bool asking = std::any_of(m_requests.begin(), m_requests.end(),
                                        [&](const Request& r) { return r.device.id == device.id; });
        if (asking) return;
        const Request request{device, NowLocked() + device.patienceMs, m_nextToken++};
        m_requests.push_back(request);
        if (CodeForLocked(device) == kNotifyPairRequest) DebugLocked(kDebugRequestReceived);
        SendRequestLocked(request);
        ScheduleLocked(NowLocked() + kPairRequestRepeatMs,
                       [this, token = request.token] { RepeatRequest(token); });
    });
}

std::uint8_t VirtualReceiver::CodeForLocked(const DeviceConfig& device) const {
    if (SlotOfLocked(device.id)) return kNotifyAlreadyConnected;
    if (device.atReceiverLimit) return kNotifyDeviceLimited;
    if (!FreeSlotLocked()) return kNotifyReceiverFull;
    return kNotifyPairRequest;
}

void VirtualReceiver::RepeatRequest(std::uint64_t token) {
    WithBusLock([&] {
        const auto it = std::find_if(m_requests.begin(), m_requests.end(),
                                     [&](const Request& r) { return r.token == token; });
        if (it == m_requests.end()) return;
        if (NowLocked() >= it->until) {
            const bool wasRequest = CodeForLocked(it->device) == kNotifyPairRequest;
            m_requests.erase(it);
            if (wasRequest) {
                DebugLocked(kDebugFail);
                DebugLocked(kDebugInit);
            }
            return;
        }
        SendRequestLocked(*it);
        ScheduleLocked(NowLocked() + kPairRequestRepeatMs, [this, token] { RepeatRequest(token); });
    });
}

void VirtualReceiver::SendRequestLocked(const Request& request) {
    std::vector<std::uint8_t> report(32, 0);
    report[0] = kNotifyReportId;
    report[1] = CodeForLocked(request.device);
    report[2] = request.device.kind;
    report[3] = request.device.reserved;
    CopyName(request.device.name, report.data() + 4, 10);
    WriteDeviceId(report.data() + 14, request.device.id);
    SendInputLocked(std::move(report));
}

void VirtualReceiver::DebugLocked(std::uint8_t event, std::uint8_t value) {
    if (!m_debug) return;
    std::vector<std::uint8_t> report(32, 0);
    report[0] = kNotifyReportId;
    report[1] = kNotifyDebug;
    report[2] = event;
    report[3] = value;
    SendInputLocked(std::move(report));
}

int VirtualReceiver::FreeSlotLocked() const {
    for (int i = 0; i < kSlotCount; ++i) {
        if (!m_slots[i]) return i + 1;
    }
    return 0;
}

int VirtualReceiver::SlotOfLocked(DeviceId id) const {
    for (int i = 0; i < kSlotCount; ++i) {
        if (m_slots[i] && m_slots[i]->device.id == id) return i + 1;
    }
    return 0;
}

bool VirtualReceiver::OnSetFeature(std::size_t iface, const std::uint8_t* report, std::size_t) {
    if (iface != kCommandInterface) return true; // the keyboard's own feature report: nothing to do
    if (report[0] != kCommandReportId) return false;
    RunCommand(report);
    return true;
}

bool VirtualReceiver::OnGetFeature(std::size_t iface, std::uint8_t* report, std::size_t length) {
    if (iface != kCommandInterface) {
        std::fill(report + 1, report + length, 0);
        return true;
    }
    if (report[0] != kCommandReportId) return false;
    std::copy(m_reply.begin(), m_reply.end(), report);
    return true;
}

void VirtualReceiver::OnPlugged() {
    TraceHoldingsLocked();
}

void VirtualReceiver::OnUnplugged() {
    // What lives in the receiver's RAM is gone; the slots are kept in its flash.
    m_requests.clear();
    m_joins.clear();
    m_debug = false;
    m_reply.fill(0);
}

void VirtualReceiver::RunCommand(const std::uint8_t* request) {
    const std::uint8_t code = request[1];
    m_reply.fill(0);
    m_reply[0] = kCommandReportId;
    m_reply[1] = code;
    switch (code) {
    case kCmdQueryInfo: InfoReplyLocked(m_reply); break;
    case kCmdQuerySlotCount: {
        int highest = 0;
        for (int i = 0; i < kSlotCount; ++i) {
            if (m_slots[i]) highest = i + 1;
        }
        m_reply[2] = static_cast<std::uint8_t>(highest);
        break;
    }
    case kCmdQuerySlot: SlotReplyLocked(request[2], m_reply); break;
    case kCmdAnswerPairRequest: Answer(ReadDeviceId(request + 3), request[2] == 1); break;
    case kCmdRemoveSlot: {
        const int slot = request[2];
        if (slot >= 1 && slot <= kSlotCount && m_slots[slot - 1]) {
            const DeviceConfig removed = m_slots[slot - 1]->device;
            m_slots[slot - 1].reset();
            TraceHoldingsLocked();
            if (removed.asksAgain)
                ScheduleLocked(NowLocked() + kAskAgainMs, [this, removed] { AskToPair(removed); });
        }
        break;
    }
    case kCmdQueryActivity:
        for (int i = 0; i < kSlotCount; ++i)
            m_reply[2 + i] = m_slots[i] && m_slots[i]->active ? 1 : 0;
        break;
    case kCmdStopPairing: StopPairing(); break;
    case kCmdEnableDebugReports: SetDebug(request[2] == 1); break;
    default: break;
    }
}

void VirtualReceiver::InfoReplyLocked(std::array<std::uint8_t, 32>& reply) const {
    reply[3] = m_config.firmwareLow;
    reply[4] = m_config.firmwareHigh;
    const std::size_t length = m_config.name.size();
    reply[5] = static_cast<std::uint8_t>(m_config.nameLengthByte >= 0 ? m_config.nameLengthByte
                                                                      : std::min<std::size_t>(length, 255));
    CopyName(m_config.name, reply.data() + 6, 26);
}

void VirtualReceiver::SlotReplyLocked(int slot, std::array<std::uint8_t, 32>& reply) const {
    if (slot < 1 || slot > kSlotCount || !m_slots[slot - 1]) return;
    const SlotState& state = *m_slots[slot - 1];
    reply[2] = static_cast<std::uint8_t>(slot);
    reply[3] = state.device.kind;
    reply[4] = state.device.reserved;
    WriteDeviceId(reply.data() + 5, state.device.id);
    CopyName(state.device.name, reply.data() + 8, 20);
    reply[28] = state.device.firmwareLow;
    reply[29] = state.device.firmwareHigh;
}

void VirtualReceiver::TraceHoldingsLocked() const {
    if (!trace::Enabled()) return;
    const auto replyTo = [](std::uint8_t code) {
        std::array<std::uint8_t, 32> reply{};
        reply[0] = kCommandReportId;
        reply[1] = code;
        return reply;
    };
    std::array<std::uint8_t, 32> info = replyTo(kCmdQueryInfo);
    InfoReplyLocked(info);
    std::string text("holds ");
    text.append(trace::Hex(info.data(), info.size()));
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        if (!m_slots[slot - 1]) continue;
        std::array<std::uint8_t, 32> reply = replyTo(kCmdQuerySlot);
        SlotReplyLocked(slot, reply);
        text.push_back(' ');
        text.append(trace::Hex(reply.data(), reply.size()));
    }
    TraceStepLocked(text);
}

void VirtualReceiver::Answer(DeviceId id, bool accept) {
    const auto it = std::find_if(m_requests.begin(), m_requests.end(), [&](const Request& r) {
        return r.device.id == id && CodeForLocked(r.device) == kNotifyPairRequest;
    });
    if (it == m_requests.end()) {
        DebugLocked(kDebugAnswerCheck, 0);
        return;
    }
    DebugLocked(kDebugAnswerCheck, 1);
    const DeviceConfig device = it->device;
    m_requests.erase(it);
    if (!accept) {
        DebugLocked(kDebugCancel);
        DebugLocked(kDebugInit);
        return;
    }
    const std::uint64_t token = m_nextToken++;
    m_joins.push_back({device, token});
    DebugLocked(kDebugProgressA);
    const std::uint64_t now = NowLocked();
    if (device.joinDelayMs) {
        ScheduleLocked(now + *device.joinDelayMs / 2, [this, token] { JoinProgress(token); });
        ScheduleLocked(now + *device.joinDelayMs, [this, token] { FinishJoin(token, true); });
    } else {
        ScheduleLocked(now + kJoinGiveUpMs, [this, token] { FinishJoin(token, false); });
    }
}

void VirtualReceiver::JoinProgress(std::uint64_t token) {
    WithBusLock([&] {
        if (std::any_of(m_joins.begin(), m_joins.end(), [&](const Join& j) { return j.token == token; }))
            DebugLocked(kDebugProgressB);
    });
}

void VirtualReceiver::FinishJoin(std::uint64_t token, bool appears) {
    WithBusLock([&] {
        const auto it =
            std::find_if(m_joins.begin(), m_joins.end(), [&](const Join& j) { return j.token == token; });
        if (it == m_joins.end()) return;
        const DeviceConfig device = it->device;
        m_joins.erase(it);
        const int slot = appears ? FreeSlotLocked() : 0;
        if (slot) {
            m_slots[slot - 1] = SlotState{slot, device, true};
            TraceHoldingsLocked();
            DebugLocked(kDebugSuccess);
        } else {
            DebugLocked(kDebugFail);
        }
        DebugLocked(kDebugInit);
    });
}

void VirtualReceiver::StopPairing() {
    if (!m_joins.empty()) {
        m_joins.clear();
        DebugLocked(kDebugCancel);
    }
    DebugLocked(kDebugInit);
}

void VirtualReceiver::SetDebug(bool on) {
    if (on) {
        m_debug = true;
        DebugLocked(kDebugLogState, 1);
        DebugLocked(kDebugInit);
    } else {
        DebugLocked(kDebugLogState, 0);
        m_debug = false;
    }
}

// ---- OtherHidDevice

OtherHidDevice::OtherHidDevice(VirtualBus& bus, const OtherConfig& config, std::uint32_t instance)
    : UsbDevice(
          bus, config.tag,
          {{MakeHidPath(config.vendorId, config.productId, L"", InstanceText(instance, 0)), config.caps}},
          config.caps.inputReportLength ? 0 : static_cast<std::size_t>(-1)),
      m_config(config) {}

bool OtherHidDevice::OnSetFeature(std::size_t, const std::uint8_t* report, std::size_t length) {
    m_reply.fill(0);
    m_reply[0] = report[0];
    if (length == m_reply.size() && report[1] == kCmdQueryInfo) {
        m_reply[1] = kCmdQueryInfo;
        m_reply[5] = static_cast<std::uint8_t>(std::min<std::size_t>(m_config.name.size(), 255));
        CopyName(m_config.name, m_reply.data() + 6, 26);
    }
    return true;
}

bool OtherHidDevice::OnGetFeature(std::size_t, std::uint8_t* report, std::size_t length) {
    std::copy_n(m_reply.begin(), std::min(length, m_reply.size()), report);
    return true;
}

} // namespace pw::virt
