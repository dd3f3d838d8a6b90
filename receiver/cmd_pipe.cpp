#include "receiver/cmd_pipe.h"

#include <algorithm>
#include <cstring>

namespace pw {
namespace {

constexpr std::size_t kInfoNameOffset = 6;
constexpr std::size_t kInfoNameRoom = kFeatureReportLength - kInfoNameOffset; // 26
constexpr std::size_t kSlotNameOffset = 8;

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

bool IsAcceptedReceiverName(std::string_view name) {
    return std::any_of(kAcceptedReceiverNames.begin(), kAcceptedReceiverNames.end(),
                       [&](std::string_view accepted) {
                           return accepted.size() == name.size() &&
                                  std::equal(name.begin(), name.end(), accepted.begin(),
                                             [](char a, char b) { return AsciiLower(a) == AsciiLower(b); });
                       });
}

InfoReply DecodeInfoReply(const FeatureReport& reply, char (&name)[33]) {
    const std::size_t length = std::min<std::size_t>(reply[5], kInfoNameRoom);
    std::memcpy(name, reply.data() + kInfoNameOffset, length);
    // A fresh channel's name is all zero; clearing the tail keeps a reopened channel's name terminated too.
    std::memset(name + length, 0, sizeof name - length);
    return {reply[3], reply[4], length};
}

int DecodeSlotCountReply(const FeatureReport& reply) {
    return static_cast<std::int8_t>(reply[2]);
}

DeviceSlotRecord DecodeSlotReply(const FeatureReport& reply) {
    DeviceSlotRecord record{};
    record.slot = reply[2];
    record.kind = reply[3];
    record.reserved = reply[4];
    std::memcpy(record.id, reply.data() + 5, sizeof record.id);
    CopyDeviceName(reply.data() + kSlotNameOffset, sizeof record.name, record.name);
    record.firmwareLow = reply[28];
    record.firmwareHigh = reply[29];
    return record;
}

SlotActivity DecodeActivityReply(const FeatureReport& reply) {
    SlotActivity activity{};
    std::copy_n(reply.begin() + 2, activity.size(), activity.begin());
    return activity;
}

CCmdPipe::~CCmdPipe() {
    Close();
}

bool CCmdPipe::Open(const std::wstring& path) {
    Close();
    m_strPath.clear();
    m_device = hid::CurrentBackend().Open(path, hid::OpenMode::Plain);
    if (!m_device) return false;
    hid::Caps caps;
    if (!m_device->GetCaps(caps) || caps.featureReportLength != kFeatureReportLength) {
        Close();
        return false;
    }
    // A channel opened before keeps its old name when the query fails, so the answer itself must count.
    if (!QueryInfo() || !IsAcceptedReceiverName(receiverName)) {
        Close();
        return false;
    }
    m_strPath = path;
    return true;
}

void CCmdPipe::Close() {
    m_device.reset();
}

bool CCmdPipe::Send(std::uint8_t code, const std::uint8_t* args, std::size_t argCount) {
    if (!m_device) return false;
    FeatureReport request{};
    request[0] = kCommandReportId;
    request[1] = code;
    if (argCount) std::memcpy(request.data() + 2, args, argCount);
    return m_device->SetFeature(request.data(), request.size());
}

bool CCmdPipe::Query(std::uint8_t code, FeatureReport& reply, const std::uint8_t* args,
                     std::size_t argCount) {
    if (!m_device) return false;
    Send(code, args, argCount); // a lost request shows in the read-back
    reply.fill(0);
    reply[0] = kCommandReportId;
    return m_device->GetFeature(reply.data(), reply.size());
}

bool CCmdPipe::QueryInfo() {
    FeatureReport reply;
    if (!Query(kCmdQueryInfo, reply)) return false;
    const InfoReply info = DecodeInfoReply(reply, receiverName);
    firmwareLow = info.firmwareLow;
    firmwareHigh = info.firmwareHigh;
    return true;
}

int CCmdPipe::QuerySlotCount() {
    FeatureReport reply;
    if (!Query(kCmdQuerySlotCount, reply)) return 0;
    return DecodeSlotCountReply(reply);
}

bool CCmdPipe::QuerySlot(int slot, DeviceSlotRecord& record) {
    const std::uint8_t arg = static_cast<std::uint8_t>(slot);
    FeatureReport reply;
    if (!Query(kCmdQuerySlot, reply, &arg, 1)) return false;
    record = DecodeSlotReply(reply);
    return true;
}

bool CCmdPipe::AnswerPairRequest(DeviceId id, bool accept) {
    std::uint8_t args[4] = {static_cast<std::uint8_t>(accept ? 1 : 0)};
    WriteDeviceId(args + 1, id);
    return Send(kCmdAnswerPairRequest, args, sizeof args);
}

void CCmdPipe::RemoveSlot(int slot) {
    const std::uint8_t arg = static_cast<std::uint8_t>(slot);
    Send(kCmdRemoveSlot, &arg, 1);
}

bool CCmdPipe::QueryActivity(SlotActivity& activity) {
    FeatureReport reply;
    if (!Query(kCmdQueryActivity, reply)) return false;
    activity = DecodeActivityReply(reply);
    return true;
}

bool CCmdPipe::StopPairing() {
    if (!m_device) return false;
    Send(kCmdStopPairing);
    return true;
}

bool CCmdPipe::EnableDebugReports() {
    if (!m_device) return false;
    const std::uint8_t arg = 1;
    Send(kCmdEnableDebugReports, &arg, 1);
    return true;
}

} // namespace pw
