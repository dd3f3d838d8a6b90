#include "virtual/scenario.h"

#include "receiver/cmd_pipe.h"
#include "rig.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace pw {
namespace {

using ::testing::HasSubstr;

TEST(Scenario, PlaysTimedSteps) {
    const auto parsed = virt::ParseScenario(R"(
        # two devices paired, a third asks after two seconds
        receiver R1 name "Pairwright" firmware 1.2.3.4 vid 2f1e pid 7a32
        keyboard K1 name "Slim Keyboard" id 0x0a0b0c
        mouse M1, name 'Office Mouse', id 0x000102
        mouse M2 name "Travel Mouse" id 0x123456 joins 1500
        other X1 input32 name "Desk Dial"
        plug R1 with K1 M1
        at 2000 ms: M2 asks R1
        at 4 s K1 inactive
        at 5000 plug X1
        at 6000 unplug R1
    )");
    ASSERT_TRUE(parsed.ok) << parsed.errorLine << ": " << parsed.error;

    virt::VirtualBus bus(100);
    hid::ScopedBackend scoped(bus);
    EXPECT_EQ(virt::PlayScenario(bus, parsed.scenario), 6100u);
    auto* receiver = dynamic_cast<virt::VirtualReceiver*>(bus.Find("R1"));
    ASSERT_NE(receiver, nullptr);
    EXPECT_FALSE(receiver->IsPlugged());

    bus.Advance(0);
    CCmdPipe pipe;
    ASSERT_TRUE(pipe.Open(receiver->CommandPath()));
    EXPECT_STREQ(pipe.ReceiverName(), "Pairwright");
    EXPECT_EQ(FormatFirmware(pipe.FirmwareHigh(), pipe.FirmwareLow()), "1.2.3.4");
    EXPECT_NE(receiver->CommandPath().find(L"vid_2f1e&pid_7a32"), std::wstring::npos);
    EXPECT_EQ(receiver->Slots().size(), 2u);

    bus.Advance(1999);
    EXPECT_EQ(receiver->AskingCount(), 0u);
    bus.Advance(1);
    EXPECT_EQ(receiver->AskingCount(), 1u);
    ASSERT_TRUE(pipe.AnswerPairRequest(0x123456, true));
    bus.Advance(2000);
    ASSERT_EQ(receiver->Slots().size(), 3u);
    EXPECT_FALSE(receiver->Slots()[0].active);
    EXPECT_EQ(receiver->Slots()[2].device.name, "Travel Mouse");

    bus.Advance(1000);
    ASSERT_NE(bus.Find("X1"), nullptr);
    EXPECT_TRUE(bus.Find("X1")->IsPlugged());
    bus.Advance(1000);
    EXPECT_FALSE(receiver->IsPlugged());
}

TEST(Scenario, FaultSteps) {
    const auto parsed = virt::ParseScenario("receiver R1\n"
                                            "plug R1\n"
                                            "at 10 fail R1 reads 1\n"
                                            "at 20 reply R1 08 02 ff\n"
                                            "at 30 unplug R1 after 1\n");
    ASSERT_TRUE(parsed.ok) << parsed.error;
    virt::VirtualBus bus;
    hid::ScopedBackend scoped(bus);
    virt::PlayScenario(bus, parsed.scenario);
    bus.Advance(0);
    auto* receiver = bus.Find("R1");
    CCmdPipe pipe;
    ASSERT_TRUE(pipe.Open(receiver->Paths()[virt::kCommandInterface]));
    bus.Advance(10);
    EXPECT_FALSE(pipe.QueryInfo());
    bus.Advance(10);
    EXPECT_EQ(pipe.QuerySlotCount(), -1);
    bus.Advance(10);
    EXPECT_EQ(pipe.QuerySlotCount(), 0);
    EXPECT_FALSE(receiver->IsPlugged());
}

TEST(Scenario, FaultsThatWaitForTransfersAndAReceiverPluggedBackIn) {
    const auto parsed = virt::ParseScenario("receiver R1\n"
                                            "keyboard K1\n"
                                            "fail R1 writes 1 after 2\n"
                                            "fail R1 reads 1 after 5\n"
                                            "unplug R1 after 6 replug 50\n"
                                            "plug R1 with K1\n");
    ASSERT_TRUE(parsed.ok) << parsed.error;
    virt::VirtualBus bus;
    hid::ScopedBackend scoped(bus);
    virt::PlayScenario(bus, parsed.scenario);
    bus.Advance(0);
    auto* receiver = bus.Find("R1");
    CCmdPipe pipe;
    ASSERT_TRUE(pipe.Open(receiver->Paths()[virt::kCommandInterface])); // transfers 1 and 2
    EXPECT_EQ(pipe.QuerySlotCount(), 0) << "the write fails; the read returns the old reply";
    EXPECT_FALSE(pipe.QueryInfo()) << "the sixth transfer, a read, fails";
    EXPECT_FALSE(receiver->IsPlugged()) << "out after the sixth";
    bus.Advance(49);
    EXPECT_FALSE(receiver->IsPlugged());
    bus.Advance(1);
    EXPECT_TRUE(receiver->IsPlugged());
    ASSERT_TRUE(pipe.Open(receiver->Paths()[virt::kCommandInterface]));
    EXPECT_TRUE(pipe.QueryInfo()) << "every fault is spent";
}

TEST(Scenario, ADeviceThatAsksAgainDoesSoOnceItWasRemoved) {
    const auto parsed = virt::ParseScenario("receiver R1\n"
                                            "mouse M1 id 0x000105 joins 10 again\n"
                                            "plug R1\n"
                                            "M1 asks R1\n");
    ASSERT_TRUE(parsed.ok) << parsed.error;
    virt::VirtualBus bus;
    hid::ScopedBackend scoped(bus);
    virt::PlayScenario(bus, parsed.scenario);
    bus.Advance(0);
    auto* receiver = dynamic_cast<virt::VirtualReceiver*>(bus.Find("R1"));
    CCmdPipe pipe;
    ASSERT_TRUE(pipe.Open(receiver->CommandPath()));
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        ASSERT_EQ(receiver->AskingCount(), 1u);
        ASSERT_TRUE(pipe.AnswerPairRequest(0x000105, true));
        bus.Advance(10);
        ASSERT_EQ(receiver->Slots().size(), 1u);
        EXPECT_EQ(receiver->AskingCount(), 0u) << "paired, it asks no more";
        pipe.RemoveSlot(1);
        bus.Advance(virt::kAskAgainMs);
    }
}

TEST(Scenario, ErrorsNameTheLine) {
    struct Case {
        std::string text;
        int line;
        const char* error;
    };
    const Case cases[] = {
        {"receiver R1\nplug R2", 2, "no declared receiver"},
        {"keyboard K1\nplug K1", 2, "no declared receiver"},
        {"receiver R1 name \"open", 1, "unterminated"},
        {"receiver R1\nreceiver R1", 2, "declared twice"},
        {"receiver plug", 1, "bad tag"},
        {"receiver R1\nat soon plug R1", 2, "bad time"},
        {"receiver R1\nat 10", 2, "missing"},
        {"keyboard K1 firmware 1.2.16.0", 1, "firmware"},
        {"keyboard K1 id 0x1000000", 1, "bad number"},
        {"keyboard K1 name \"A name of over twenty chars\"", 1, "longer than 20"},
        {"receiver R1\nflood R1 1001 01", 2, "bad number"},
        {"receiver R1\nreport R1 1ff", 2, "bad hex"},
        {"receiver R1\nreply R1" +
             [] {
                 std::string b;
                 for (int i = 0; i < 33; ++i)
                     b += " 00";
                 return b;
             }(),
         2, "too many"},
        {"receiver R1\nkeyboard K1\nK1 asks K1", 3, "no declared receiver"},
        {"receiver R1\nplug R1 with", 2, "missing"},
        {"receiver R1\nunplug R1 after 0", 2, "at least 1"},
        {"receiver R1\nunplug R1 after 1 replug", 2, "missing"},
        {"receiver R1\nunplug R1 after 1 again 5", 2, "expected 'replug'"},
        {"receiver R1\nfail R1 input 1 after 2", 2, "unexpected 'after'"},
        {"receiver R1\nfail R1 everything 3", 2, "writes, reads or input"},
        {"receiver R1\ndance R1", 2, "unknown step"},
        {"receiver R1\nplug R1 now", 2, "expected 'with'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto parsed = virt::ParseScenario(c.text);
        EXPECT_FALSE(parsed.ok);
        EXPECT_EQ(parsed.errorLine, c.line);
        EXPECT_THAT(parsed.error, HasSubstr(c.error));
    }
}

TEST(Scenario, BuiltInScenariosParseAndAMissingFileIsAnError) {
    virt::Scenario scenario;
    std::string error;
    for (const virt::BuiltInScenario& builtIn : virt::kBuiltInScenarios) {
        EXPECT_TRUE(virt::LoadScenario(builtIn.name, scenario, error)) << error;
        EXPECT_FALSE(scenario.receivers.empty());
    }
    EXPECT_FALSE(virt::LoadScenario(L"no-such-folder/scenario.txt", scenario, error));
    EXPECT_FALSE(error.empty());
}

// Two devices asking one receiver at once send alternating reports, which the notification channel's
// repeat filter lets through every time: the demo's pop-ups would open again and again.
TEST(Scenario, TheDemoStoryHasOneDeviceAskingAReceiverAtATimeEvenWhenNobodyAnswers) {
    virt::Scenario scenario;
    std::string error;
    ASSERT_TRUE(virt::LoadScenario(L"demo", scenario, error)) << error;
    virt::VirtualBus bus;
    const std::uint64_t end = virt::PlayScenario(bus, scenario);
    std::size_t askedAtAll = 0;
    for (std::uint64_t t = 0; t <= end + 30000; t += 250) {
        bus.AdvanceTo(t);
        for (const virt::ReceiverConfig& config : scenario.receivers) {
            const auto* receiver = dynamic_cast<const virt::VirtualReceiver*>(bus.Find(config.tag));
            ASSERT_NE(receiver, nullptr);
            EXPECT_LE(receiver->AskingCount(), 1u) << config.tag << " at " << t << " ms";
            askedAtAll += receiver->AskingCount();
        }
    }
    EXPECT_GT(askedAtAll, 0u);
}

} // namespace
} // namespace pw
