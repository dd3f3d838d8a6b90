#include "receiver/cmd_pipe.h"

#include "rig.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <cwctype>
#include <functional>

namespace pw {
namespace {

using test::ReceiverRig;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using virt::TransferKind;

FeatureReport Request(std::vector<std::uint8_t> head) {
    FeatureReport report{};
    std::copy(head.begin(), head.end(), report.begin());
    return report;
}

virt::DeviceConfig Device(DeviceId id, const std::string& name, DeviceKind kind = kKindKeyboard) {
    virt::DeviceConfig device;
    device.id = id;
    device.name = name;
    device.kind = kind;
    return device;
}

struct OpenPipe {
    explicit OpenPipe(ReceiverRig& rig) {
        EXPECT_TRUE(pipe.Open(rig.receiver.CommandPath()));
        rig.bus.ClearLog();
    }
    CCmdPipe pipe;
};

TEST(CmdPipe, EveryCommandWritesItsLayoutAndQueriesReadBack) {
    struct Case {
        const char* name;
        std::function<void(CCmdPipe&)> run;
        std::vector<std::uint8_t> request; // bytes 0.. of the 32-byte request, the rest 0
        bool query;
    };
    const DeviceId id = 1 + 2 * 256 + 3 * 65536;
    const Case cases[] = {
        {"QueryInfo", [](CCmdPipe& p) { EXPECT_TRUE(p.QueryInfo()); }, {8, 0x01}, true},
        {"QuerySlotCount", [](CCmdPipe& p) { EXPECT_EQ(p.QuerySlotCount(), 1); }, {8, 0x02}, true},
        {"QuerySlot",
         [](CCmdPipe& p) {
             DeviceSlotRecord r{};
             EXPECT_TRUE(p.QuerySlot(3, r));
         },
         {8, 0x03, 3},
         true},
        {"Accept",
         [&](CCmdPipe& p) { EXPECT_TRUE(p.AnswerPairRequest(id, true)); },
         {8, 0x04, 1, 1, 2, 3},
         false},
        {"Decline",
         [&](CCmdPipe& p) { EXPECT_TRUE(p.AnswerPairRequest(id, false)); },
         {8, 0x04, 0, 1, 2, 3},
         false},
        {"RemoveSlot", [](CCmdPipe& p) { p.RemoveSlot(2); }, {8, 0x06, 2}, false},
        {"QueryActivity",
         [](CCmdPipe& p) {
             SlotActivity a{};
             EXPECT_TRUE(p.QueryActivity(a));
         },
         {8, 0x08},
         true},
        {"StopPairing", [](CCmdPipe& p) { EXPECT_TRUE(p.StopPairing()); }, {8, 0x0B}, false},
        {"EnableDebugReports", [](CCmdPipe& p) { EXPECT_TRUE(p.EnableDebugReports()); }, {8, 0xDB, 1}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ReceiverRig rig;
        rig.receiver.AddPaired(Device(0x0A0B0C, "Slim Keyboard"));
        OpenPipe open(rig);
        c.run(open.pipe);
        const auto log = rig.CommandLog();
        ASSERT_EQ(log.size(), c.query ? 2u : 1u);
        EXPECT_EQ(log[0].kind, TransferKind::SetFeature);
        EXPECT_THAT(log[0].bytes, ElementsAreArray(Request(c.request)));
        if (c.query) {
            EXPECT_EQ(log[1].kind, TransferKind::GetFeature);
            EXPECT_TRUE(log[1].ok);
            EXPECT_EQ(log[1].bytes[0], 8);
            EXPECT_EQ(log[1].bytes[1], c.request[1]);
        }
    }
}

TEST(CmdPipe, RepliesDecodeIntoNameFirmwareSlotsAndActivity) {
    virt::ReceiverConfig config;
    config.firmwareHigh = 0x12;
    config.firmwareLow = 0x34;
    ReceiverRig rig(config);
    virt::DeviceConfig mouse = Device(0x030201, "Travel Mouse", kKindMouse);
    mouse.reserved = 0x5A;
    mouse.firmwareHigh = 0x21;
    mouse.firmwareLow = 0x43;
    mouse.active = false;
    rig.receiver.AddPaired(Device(0x0A0B0C, "Slim Keyboard"));
    rig.receiver.AddPaired(mouse);
    OpenPipe open(rig);
    CCmdPipe& pipe = open.pipe;

    EXPECT_STREQ(pipe.ReceiverName(), "Vorn Veltrane Receiver");
    EXPECT_EQ(FormatFirmware(pipe.FirmwareHigh(), pipe.FirmwareLow()), "1.2.3.4");
    EXPECT_EQ(pipe.QuerySlotCount(), 2);

    DeviceSlotRecord record{};
    ASSERT_TRUE(pipe.QuerySlot(2, record));
    EXPECT_EQ(record.slot, 2);
    EXPECT_EQ(record.kind, kKindMouse);
    EXPECT_EQ(record.reserved, 0x5A);
    EXPECT_EQ(record.Id(), 0x030201u);
    EXPECT_STREQ(record.name, "Travel Mouse");
    EXPECT_EQ(FormatFirmware(record.firmwareHigh, record.firmwareLow), "2.1.4.3");

    ASSERT_TRUE(pipe.QuerySlot(5, record));
    EXPECT_FALSE(record.HasDevice());

    SlotActivity activity{};
    ASSERT_TRUE(pipe.QueryActivity(activity));
    EXPECT_THAT(activity, ElementsAreArray({1, 0, 0, 0, 0, 0}));
}

TEST(CmdPipe, OpenAcceptsOnlyWholeAcceptedNamesIgnoringCase) {
    struct Case {
        const char* name;
        bool accepted;
    };
    const Case cases[] = {
        {"Vorn Veltrane Receiver", true},
        {"VORN veltrane RECEIVER", true},
        {"pairwright", true},
        {"Vorn Veltrane", true},
        {"Vorn Veltrane Receiver2", false},
        {"Pairwright ", false},
        {"Vorn", false},
        {"", false},
        {"Desk Dial", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        virt::ReceiverConfig config;
        config.name = c.name;
        ReceiverRig rig(config);
        std::wstring path = rig.receiver.CommandPath();
        std::transform(path.begin(), path.end(), path.begin(), [](wchar_t ch) { return std::towupper(ch); });
        CCmdPipe pipe;
        EXPECT_EQ(pipe.Open(path), c.accepted);
        EXPECT_EQ(pipe.IsOpen(), c.accepted);
        EXPECT_EQ(pipe.Path(), c.accepted ? path : std::wstring()); // stored as passed in
    }
}

TEST(CmdPipe, InterfacesWithoutThirtyTwoByteFeatureReportsGetNoCommand) {
    ReceiverRig rig;
    for (const auto which : {virt::kKeyboardInterface, virt::kMouseInterface, virt::kNotifyInterface}) {
        CCmdPipe pipe;
        EXPECT_FALSE(pipe.Open(rig.receiver.InterfacePath(which)));
        EXPECT_FALSE(pipe.IsOpen());
    }
    CCmdPipe pipe;
    EXPECT_FALSE(pipe.Open(L"\\\\?\\hid#vid_0000&pid_0000#0#{4d1e55b2-f16f-11cf-88cb-001111000030}"));
    EXPECT_THAT(rig.bus.Log(), IsEmpty());
}

TEST(CmdPipe, UnrelatedDeviceWithThirtyTwoByteFeaturesIsAskedItsNameAndRejected) {
    ReceiverRig rig;
    virt::OtherConfig config;
    config.caps = {0, 32};
    auto& other = rig.bus.AddOther(config);
    rig.bus.Plug(other);
    CCmdPipe pipe;
    EXPECT_FALSE(pipe.Open(other.Paths()[0]));
    const auto log = rig.bus.LogFor(other.Paths()[0]);
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].bytes[1], kCmdQueryInfo);
    EXPECT_STREQ(pipe.ReceiverName(), "Desk Dial");
}

TEST(CmdPipe, NameLengthBeyondTheReportCopiesTwentySixBytesAndStaysTerminated) {
    for (const int lengthByte : {26, 27, 40, 255}) {
        SCOPED_TRACE(lengthByte);
        virt::ReceiverConfig config;
        config.name = std::string(40, 'Q');
        config.nameLengthByte = lengthByte;
        ReceiverRig rig(config);
        CCmdPipe pipe;
        EXPECT_FALSE(pipe.Open(rig.receiver.CommandPath()));
        EXPECT_EQ(std::string(pipe.ReceiverName()), std::string(26, 'Q'));
    }

    FeatureReport reply{};
    reply.fill(0x7E);
    reply[5] = 3;
    char name[33];
    std::memset(name, 'x', sizeof name);
    DecodeInfoReply(reply, name);
    EXPECT_STREQ(name, "~~~"); // a name left over from before does not show through
}

TEST(CmdPipe, DeviceNameFilterStopsAtTheFirstOtherByte) {
    struct Case {
        std::string sent;
        std::string stored;
    };
    const Case cases[] = {
        {"Abcd\x01xyz", "Abcd"},
        {"Ab-cd", "Ab"},
        {"Key\tboard 2\r\n", "Key\tboard 2\r\n"},
        {"Caf\xE9", "Caf"},
        {"ABCDEFGHIJ0123456789", "ABCDEFGHIJ0123456789"}, // 20 bytes, ended by record byte 26
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sent);
        ReceiverRig rig;
        rig.receiver.AddPaired(Device(0x010203, c.sent));
        OpenPipe open(rig);
        DeviceSlotRecord record;
        std::memset(&record, 0, sizeof record);
        ASSERT_TRUE(open.pipe.QuerySlot(1, record));
        EXPECT_EQ(std::string(record.name), c.stored);
        EXPECT_EQ(record.terminator, 0);
    }
}

TEST(CmdPipe, SlotCountReplies) {
    struct Case {
        std::uint8_t byte2;
        int count;
    };
    for (const Case c : {Case{0xFF, -1}, Case{0, 0}, Case{6, 6}, Case{0x80, -128}}) {
        ReceiverRig rig;
        OpenPipe open(rig);
        rig.receiver.ReplyOnce(Request({8, 2, c.byte2}));
        EXPECT_EQ(open.pipe.QuerySlotCount(), c.count) << int(c.byte2);
    }
}

TEST(CmdPipe, FailedReadBackLeavesOutputsUntouched) {
    ReceiverRig rig;
    rig.receiver.AddPaired(Device(0x010203, "Slim Keyboard"));
    OpenPipe open(rig);
    rig.receiver.FailReads(4);
    EXPECT_FALSE(open.pipe.QueryInfo());
    EXPECT_EQ(open.pipe.QuerySlotCount(), 0);
    DeviceSlotRecord record;
    std::memset(&record, 0xAB, sizeof record);
    EXPECT_FALSE(open.pipe.QuerySlot(1, record));
    EXPECT_EQ(record.slot, 0xAB);
    SlotActivity activity;
    activity.fill(9);
    EXPECT_FALSE(open.pipe.QueryActivity(activity));
    EXPECT_THAT(activity, ElementsAreArray({9, 9, 9, 9, 9, 9}));
    EXPECT_STREQ(open.pipe.ReceiverName(), "Vorn Veltrane Receiver");

    rig.receiver.FailWrites(1);
    EXPECT_FALSE(open.pipe.AnswerPairRequest(0x010203, true));
}

TEST(CmdPipe, ClosedChannelSendsNothing) {
    ReceiverRig rig;
    CCmdPipe pipe;
    DeviceSlotRecord record{};
    SlotActivity activity{};
    EXPECT_FALSE(pipe.QueryInfo());
    EXPECT_EQ(pipe.QuerySlotCount(), 0);
    EXPECT_FALSE(pipe.QuerySlot(1, record));
    EXPECT_FALSE(pipe.QueryActivity(activity));
    EXPECT_FALSE(pipe.AnswerPairRequest(1, true));
    pipe.RemoveSlot(1);
    EXPECT_FALSE(pipe.StopPairing());
    EXPECT_FALSE(pipe.EnableDebugReports());
    pipe.Close();

    ASSERT_TRUE(pipe.Open(rig.receiver.CommandPath()));
    pipe.Close();
    EXPECT_FALSE(pipe.StopPairing());
    EXPECT_EQ(pipe.Path(), rig.receiver.CommandPath()); // Close keeps the path
    rig.bus.ClearLog();
    EXPECT_FALSE(pipe.QueryInfo());
    EXPECT_THAT(rig.bus.Log(), IsEmpty());
}

TEST(CmdPipe, ReopenOnADeviceThatNoLongerAnswersFails) {
    ReceiverRig rig;
    CCmdPipe pipe;
    ASSERT_TRUE(pipe.Open(rig.receiver.CommandPath()));
    rig.receiver.FailReads(1);
    EXPECT_FALSE(pipe.Open(rig.receiver.CommandPath()));
    EXPECT_FALSE(pipe.IsOpen());
}

TEST(CmdPipe, ReceiverPulledOutBetweenRequestAndReadBack) {
    ReceiverRig rig;
    rig.receiver.AddPaired(Device(0x010203, "Slim Keyboard"));
    OpenPipe open(rig);
    rig.receiver.UnplugAfterTransfers(1);
    EXPECT_EQ(open.pipe.QuerySlotCount(), 0);
    const auto log = rig.CommandLog();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_TRUE(log[0].ok);
    EXPECT_FALSE(log[1].ok);
    EXPECT_FALSE(rig.receiver.IsPlugged());

    // The old handle stays dead after the receiver is back, as a real one does.
    rig.bus.Plug(rig.receiver);
    EXPECT_FALSE(open.pipe.QueryInfo());
    CCmdPipe fresh;
    EXPECT_TRUE(fresh.Open(rig.receiver.CommandPath()));
}

} // namespace
} // namespace pw
