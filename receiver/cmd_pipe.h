// The command channel to one receiver: 32-byte feature reports with report id 8 on the receiver's
// command interface. Every exchange blocks the user-interface thread; nothing here runs on another thread.
#pragma once

#include "common/types.h"
#include "receiver/hid_seam.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace pw {

constexpr std::size_t kFeatureReportLength = 32;
constexpr std::uint8_t kCommandReportId = 8;

enum CommandCode : std::uint8_t {
    kCmdQueryInfo = 0x01,
    kCmdQuerySlotCount = 0x02,
    kCmdQuerySlot = 0x03,
    kCmdAnswerPairRequest = 0x04,
    kCmdRemoveSlot = 0x06,
    kCmdQueryActivity = 0x08,
    kCmdStopPairing = 0x0B,
    kCmdEnableDebugReports = 0xDB,
};

// Names a receiver of the right kind answers to command 0x01, compared whole and ignoring ASCII case.
inline constexpr std::array<std::string_view, 3> kAcceptedReceiverNames = {"Vorn Veltrane Receiver",
                                                                           "Pairwright", "Vorn Veltrane"};

bool IsAcceptedReceiverName(std::string_view name);

using FeatureReport = std::array<std::uint8_t, kFeatureReportLength>;

// Reply decoders, shared by the channel and its tests. Each reads a 32-byte feature report.
struct InfoReply {
    std::uint8_t firmwareLow;
    std::uint8_t firmwareHigh;
    std::size_t nameLength; // bytes copied from the reply, at most 26
};
InfoReply DecodeInfoReply(const FeatureReport& reply, char (&name)[33]);
int DecodeSlotCountReply(const FeatureReport& reply);
DeviceSlotRecord DecodeSlotReply(const FeatureReport& reply);
SlotActivity DecodeActivityReply(const FeatureReport& reply);

class CCmdPipe {
public:
    CCmdPipe() = default;
    CCmdPipe(const CCmdPipe&) = delete;
    CCmdPipe& operator=(const CCmdPipe&) = delete;
    virtual ~CCmdPipe();

    // Opens the path, checks feature report length 32 and an accepted receiver name (command 0x01).
    bool Open(const std::wstring& path);
    void Close();
    bool IsOpen() const { return m_device != nullptr; }
    const std::wstring& Path() const { return m_strPath; }

    const char* ReceiverName() const { return receiverName; }
    std::uint8_t FirmwareLow() const { return firmwareLow; }
    std::uint8_t FirmwareHigh() const { return firmwareHigh; }

    bool QueryInfo();
    // How many slots to read (1..n); 0 when the read-back fails, negative when the receiver says so.
    int QuerySlotCount();
    bool QuerySlot(int slot, DeviceSlotRecord& record);
    bool AnswerPairRequest(DeviceId id, bool accept);
    void RemoveSlot(int slot);
    bool QueryActivity(SlotActivity& activity);
    virtual bool StopPairing();
    bool EnableDebugReports();

protected:
    char receiverName[33] = {};
    std::uint8_t firmwareLow = 0;
    std::uint8_t firmwareHigh = 0;

private:
    bool Send(std::uint8_t code, const std::uint8_t* args = nullptr, std::size_t argCount = 0);
    bool Query(std::uint8_t code, FeatureReport& reply, const std::uint8_t* args = nullptr,
               std::size_t argCount = 0);

    std::wstring m_strPath;
    std::unique_ptr<hid::Device> m_device;
};

} // namespace pw
