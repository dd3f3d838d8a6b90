#include "virtual/virtual_receiver.h"

#include "receiver/cmd_pipe.h"
#include "rig.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <mutex>
#include <regex>
#include <thread>

namespace pw {
namespace {

using test::ReceiverRig;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using virt::TransferKind;

class RecordingListener final : public virt::BusListener {
public:
    void OnArrival(const std::wstring& path) override { events.push_back(L"+" + path); }
    void OnRemoval(const std::wstring& path) override { events.push_back(L"-" + path); }
    std::vector<std::wstring> events;
};

// Input reports the receiver sent, in order.
std::vector<std::vector<std::uint8_t>> Inputs(const virt::VirtualBus& bus) {
    std::vector<std::vector<std::uint8_t>> inputs;
    for (const virt::Transfer& t : bus.Log()) {
        if (t.kind == TransferKind::Input) inputs.push_back(t.bytes);
    }
    return inputs;
}

std::vector<int> DebugEvents(const virt::VirtualBus& bus) {
    std::vector<int> events;
    for (const auto& report : Inputs(bus)) {
        if (report[1] == kNotifyDebug) events.push_back(report[2]);
    }
    return events;
}

std::vector<int> Codes(const virt::VirtualBus& bus) {
    std::vector<int> codes;
    for (const auto& report : Inputs(bus)) {
        if (report[1] != kNotifyDebug) codes.push_back(report[1]);
    }
    return codes;
}

virt::DeviceConfig Mouse(DeviceId id = 0x123456) {
    virt::DeviceConfig mouse;
    mouse.tag = "M1";
    mouse.kind = kKindMouse;
    mouse.id = id;
    mouse.name = "Travel Mouse";
    return mouse;
}

TEST(VirtualBus, ReceiverShowsFourInterfacesWithRealisticPaths) {
    virt::VirtualBus bus;
    RecordingListener listener;
    bus.SetListener(&listener);
    virt::ReceiverConfig config;
    config.vendorId = 0x2f1e;
    config.productId = 0x7a31;
    auto& receiver = bus.AddReceiver(config);
    EXPECT_TRUE(bus.Enumerate(127).empty());
    bus.Plug(receiver);

    const auto paths = bus.Enumerate(127);
    ASSERT_EQ(paths.size(), 4u);
    const std::wregex form(
        LR"(\\\\\?\\hid#vid_2f1e&pid_7a31&mi_0[01]&col0[1-3]#8&[0-9a-f]{8}&0&000[0-3]#\{4d1e55b2-f16f-11cf-88cb-001111000030\})");
    for (const std::wstring& path : paths)
        EXPECT_TRUE(std::regex_match(path, form)) << path.size();
    EXPECT_EQ(paths[2], receiver.CommandPath());
    EXPECT_EQ(bus.Enumerate(3).size(), 3u);

    struct Expect {
        virt::ReceiverInterface which;
        std::uint16_t input;
        std::uint16_t feature;
    };
    for (const Expect e : {Expect{virt::kKeyboardInterface, 9, 2}, Expect{virt::kMouseInterface, 8, 0},
                           Expect{virt::kCommandInterface, 0, 32}, Expect{virt::kNotifyInterface, 32, 0}}) {
        auto device = bus.Open(receiver.InterfacePath(e.which), hid::OpenMode::Overlapped);
        ASSERT_TRUE(device);
        hid::Caps caps;
        ASSERT_TRUE(device->GetCaps(caps));
        EXPECT_EQ(caps.inputReportLength, e.input);
        EXPECT_EQ(caps.featureReportLength, e.feature);
    }

    auto command = bus.Open(receiver.CommandPath(), hid::OpenMode::Plain);
    bus.Unplug(receiver);
    hid::Caps caps;
    EXPECT_FALSE(command->GetCaps(caps));
    EXPECT_FALSE(bus.Open(receiver.CommandPath(), hid::OpenMode::Plain));
    EXPECT_TRUE(bus.Enumerate(127).empty());

    ASSERT_EQ(listener.events.size(), 8u);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(listener.events[i], L"+" + paths[i]);
        EXPECT_EQ(listener.events[4 + i], L"-" + paths[i]);
    }
}

// A listener may open what arrives and may step down while it hears of a removal.
TEST(VirtualBus, ListenerMayCallBackIntoTheBus) {
    struct Reentrant final : virt::BusListener {
        explicit Reentrant(virt::VirtualBus& b) : bus(b) {}
        void OnArrival(const std::wstring& path) override {
            opened += bus.Open(path, hid::OpenMode::Plain) ? 1 : 0;
        }
        void OnRemoval(const std::wstring&) override {
            ++removals;
            bus.SetListener(nullptr);
        }
        virt::VirtualBus& bus;
        int opened = 0;
        int removals = 0;
    };
    virt::VirtualBus bus;
    Reentrant listener(bus);
    bus.SetListener(&listener);
    auto& receiver = bus.AddReceiver({});
    bus.Plug(receiver);
    bus.Unplug(receiver);
    EXPECT_EQ(listener.opened, 4);
    EXPECT_EQ(listener.removals, 1);
}

TEST(VirtualBus, TwoReceiversDifferOnlyInTheirInstance) {
    virt::VirtualBus bus;
    virt::ReceiverConfig config;
    auto& first = bus.AddReceiver(config);
    config.tag = "R2";
    auto& second = bus.AddReceiver(config);
    EXPECT_NE(first.CommandPath(), second.CommandPath());
    EXPECT_EQ(first.CommandPath().substr(0, 40), second.CommandPath().substr(0, 40));
    EXPECT_EQ(bus.Find("R2"), &second);
}

TEST(VirtualReceiver, AcceptedDeviceJoinsWithDebugSteps) {
    ReceiverRig rig;
    CCmdPipe pipe;
    ASSERT_TRUE(pipe.Open(rig.receiver.CommandPath()));
    ASSERT_TRUE(pipe.EnableDebugReports());
    virt::DeviceConfig mouse = Mouse();
    mouse.joinDelayMs = 1500;
    rig.receiver.AskToPair(mouse);
    rig.bus.Advance(3500); // the request repeats about once a second
    EXPECT_THAT(Codes(rig.bus), ElementsAre(1, 1, 1, 1));
    const auto request = Inputs(rig.bus)[3];
    EXPECT_EQ(ReadDeviceId(request.data() + 14), 0x123456u);
    EXPECT_EQ(std::string(request.begin() + 4, request.begin() + 14), "Travel Mou");

    ASSERT_TRUE(pipe.AnswerPairRequest(0x123456, true));
    rig.bus.Advance(5000);
    EXPECT_THAT(Codes(rig.bus), ElementsAre(1, 1, 1, 1)); // answered: no more requests
    EXPECT_THAT(DebugEvents(rig.bus), ElementsAre(0xD0, 0xA2, 0xA3, 0xAC, 0xA4, 0xA5, 0xA1, 0xA2));
    EXPECT_EQ(pipe.QuerySlotCount(), 1);
    DeviceSlotRecord record{};
    ASSERT_TRUE(pipe.QuerySlot(1, record));
    EXPECT_EQ(record.Id(), 0x123456u);
    SlotActivity activity{};
    ASSERT_TRUE(pipe.QueryActivity(activity));
    EXPECT_EQ(activity[0], 1);
}

TEST(VirtualReceiver, PairingEndings) {
    struct Case {
        const char* name;
        std::optional<std::uint64_t> joinDelay;
        bool accept;
        bool stopPairing;
        std::vector<int> debugAfterAnswer;
        std::size_t slots;
    };
    const Case cases[] = {
        {"declined", 1500, false, false, {0xAC, 0xA6, 0xA2}, 0},
        {"never appears", std::nullopt, true, false, {0xAC, 0xA4, 0xA0, 0xA2}, 0},
        {"stopped", 1500, true, true, {0xAC, 0xA4, 0xA6, 0xA2}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ReceiverRig rig;
        CCmdPipe pipe;
        ASSERT_TRUE(pipe.Open(rig.receiver.CommandPath()));
        pipe.EnableDebugReports();
        virt::DeviceConfig mouse = Mouse();
        mouse.joinDelayMs = c.joinDelay;
        rig.receiver.AskToPair(mouse);
        rig.bus.ClearLog();
        pipe.AnswerPairRequest(mouse.id, c.accept);
        if (c.stopPairing) pipe.StopPairing();
        rig.bus.Advance(virt::kJoinGiveUpMs + 1000);
        EXPECT_THAT(DebugEvents(rig.bus), ElementsAreArray(c.debugAfterAnswer));
        EXPECT_EQ(rig.receiver.Slots().size(), c.slots);
        EXPECT_EQ(rig.receiver.AskingCount(), 0u);
    }
}

TEST(VirtualReceiver, AnswerForNoRequestChangesNothing) {
    ReceiverRig rig;
    CCmdPipe pipe;
    ASSERT_TRUE(pipe.Open(rig.receiver.CommandPath()));
    pipe.EnableDebugReports();
    rig.receiver.AskToPair(Mouse());
    rig.bus.ClearLog();
    pipe.AnswerPairRequest(0x999999, true);
    EXPECT_THAT(DebugEvents(rig.bus), ElementsAre(0xAC));
    EXPECT_EQ(rig.receiver.AskingCount(), 1u);
}

TEST(VirtualReceiver, RefusalCodes) {
    struct Case {
        const char* name;
        int pairedBefore;   // devices in slots already
        bool askerIsPaired; // the asking device is one of them
        bool limited;
        int code;
    };
    const Case cases[] = {
        {"free", 2, false, false, kNotifyPairRequest},
        {"already connected", 2, true, false, kNotifyAlreadyConnected},
        {"device at its limit", 0, false, true, kNotifyDeviceLimited},
        {"receiver full", 6, false, false, kNotifyReceiverFull},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ReceiverRig rig;
        for (int i = 0; i < c.pairedBefore; ++i)
            rig.receiver.AddPaired(Mouse(0x100 + i));
        virt::DeviceConfig asker = Mouse(c.askerIsPaired ? 0x100 : 0x555);
        asker.atReceiverLimit = c.limited;
        asker.patienceMs = 2500;
        rig.receiver.AskToPair(asker);
        rig.bus.Advance(10000);
        EXPECT_THAT(Codes(rig.bus), ElementsAre(c.code, c.code, c.code)); // until its patience ran out
    }
}

TEST(VirtualReceiver, SlotsRemovalAndActivity) {
    ReceiverRig rig;
    for (int i = 0; i < 3; ++i)
        rig.receiver.AddPaired(Mouse(0x100 + i));
    CCmdPipe pipe;
    ASSERT_TRUE(pipe.Open(rig.receiver.CommandPath()));
    pipe.RemoveSlot(2);
    rig.receiver.SetActive(0x102, false);
    EXPECT_EQ(pipe.QuerySlotCount(), 3); // the highest slot in use
    DeviceSlotRecord record{};
    ASSERT_TRUE(pipe.QuerySlot(2, record));
    EXPECT_FALSE(record.HasDevice());
    SlotActivity activity{};
    ASSERT_TRUE(pipe.QueryActivity(activity));
    EXPECT_THAT(activity, ElementsAre(1, 0, 0, 0, 0, 0));
    EXPECT_EQ(rig.receiver.AddPaired(Mouse(0x200)), 2); // the first free slot
}

TEST(VirtualReceiver, UnplugForgetsRequestsButKeepsSlots) {
    ReceiverRig rig;
    rig.receiver.AddPaired(Mouse(0x100));
    rig.receiver.AskToPair(Mouse(0x200));
    rig.bus.Unplug(rig.receiver);
    rig.bus.Plug(rig.receiver);
    rig.bus.ClearLog();
    rig.bus.Advance(5000);
    EXPECT_TRUE(Inputs(rig.bus).empty());
    EXPECT_EQ(rig.receiver.Slots().size(), 1u);
    rig.bus.Unplug(rig.receiver);
    rig.receiver.AskToPair(Mouse(0x300)); // an unplugged receiver hears nobody
    EXPECT_EQ(rig.receiver.AskingCount(), 0u);
}

TEST(VirtualReceiver, MalformedFeatureReportsFail) {
    ReceiverRig rig;
    auto device = rig.bus.Open(rig.receiver.CommandPath(), hid::OpenMode::Plain);
    std::uint8_t report[33] = {8, kCmdQueryInfo};
    EXPECT_FALSE(device->SetFeature(report, 31));
    EXPECT_FALSE(device->SetFeature(report, 33));
    report[0] = 7;
    EXPECT_FALSE(device->SetFeature(report, 32));
    EXPECT_FALSE(device->GetFeature(report, 32));
    auto notify = rig.bus.Open(rig.receiver.NotifyPath(), hid::OpenMode::Overlapped);
    report[0] = 8;
    EXPECT_FALSE(notify->SetFeature(report, 32));
}

TEST(VirtualBus, ALimitedLogKeepsOnlyTheLatestTransfers) {
    ReceiverRig rig;
    CCmdPipe pipe;
    ASSERT_TRUE(pipe.Open(rig.receiver.CommandPath()));
    rig.bus.LimitLog(3);
    EXPECT_EQ(rig.bus.Log().size(), 2u) << "the opening's two transfers stay";
    pipe.QuerySlotCount();
    SlotActivity activity{};
    pipe.QueryActivity(activity);
    const std::vector<virt::Transfer> log = rig.bus.Log();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].kind, TransferKind::GetFeature);
    EXPECT_EQ(log[0].bytes[1], kCmdQuerySlotCount);
    EXPECT_EQ(log[2].bytes[1], kCmdQueryActivity);
    rig.bus.LimitLog(0);
    pipe.QuerySlotCount();
    EXPECT_TRUE(rig.bus.Log().empty());
}

TEST(RealTimeDriver, AdvancesTheBusWithTheWallClock) {
    virt::VirtualBus bus(500);
    bool fired = false;
    std::mutex mutex;
    bus.Schedule(520, [&] {
        const std::lock_guard lock(mutex);
        fired = true;
    });
    virt::RealTimeDriver driver(bus);
    EXPECT_TRUE(test::WaitUntil([&] {
        const std::lock_guard lock(mutex);
        return fired;
    }));
}

// The wall clock on a loaded machine may run events late, never early: the upper bounds are loose.
TEST(RealTimeDriver, SleepsWhileTheBusIsIdleButItsTimeFollowsTheWallClock) {
    ReceiverRig rig({}, 500);
    virt::RealTimeDriver driver(rig.bus);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const std::uint64_t wakeups = driver.Wakeups();
    const std::uint64_t before = rig.bus.Now();
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const std::uint64_t after = rig.bus.Now();
    EXPECT_LE(driver.Wakeups() - wakeups, 2u) << "stepping every 10 ms would wake about 50 times";
    EXPECT_GE(after - before, 450u) << "bus time must not stand still between events";
    EXPECT_LT(after - before, 60000u);
}

TEST(RealTimeDriver, EventsFireOnTimeAndANewEarlierOneWakesTheSleepingDriver) {
    ReceiverRig rig({}, 500);
    virt::RealTimeDriver driver(rig.bus);
    rig.bus.Schedule(rig.bus.Now() + 3600 * 1000, [] {}); // the driver may sleep for an hour
    std::this_thread::sleep_for(std::chrono::milliseconds(50));

    std::mutex mutex;
    std::vector<std::pair<std::uint64_t, std::int64_t>> fired; // due, wall-clock ms from the start
    const std::uint64_t wakeups = driver.Wakeups();
    const std::uint64_t start = rig.bus.Now();
    const auto wallStart = std::chrono::steady_clock::now();
    constexpr int kEvents = 5;
    for (int i = 1; i <= kEvents; ++i) {
        const std::uint64_t due = start + 200 * i;
        rig.bus.Schedule(due, [&, due] {
            const auto wall = std::chrono::steady_clock::now() - wallStart;
            const std::lock_guard lock(mutex);
            fired.push_back({due, std::chrono::duration_cast<std::chrono::milliseconds>(wall).count()});
        });
    }
    ASSERT_TRUE(test::WaitUntil(
        [&] {
            const std::lock_guard lock(mutex);
            return fired.size() == kEvents;
        },
        std::chrono::seconds(30)));
    EXPECT_LE(driver.Wakeups() - wakeups, 3u * kEvents) << "stepping every 10 ms would wake about 100 times";
    for (int i = 0; i < kEvents; ++i) {
        const auto [due, ran] = fired[i];
        const auto wanted = static_cast<std::int64_t>(due - start);
        EXPECT_EQ(wanted, 200 * (i + 1));
        EXPECT_GE(ran, wanted - 2) << i; // the bus counts whole milliseconds
        EXPECT_LT(ran, wanted + 5000) << i;
    }

    // The firmware schedules too: a device that asks to pair asks again a second later.
    rig.bus.ClearLog();
    rig.receiver.AskToPair(Mouse());
    std::vector<std::uint64_t> asks;
    ASSERT_TRUE(test::WaitUntil(
        [&] {
            asks.clear();
            for (const virt::Transfer& t : rig.bus.Log()) {
                if (t.kind == TransferKind::Input && t.bytes[1] == kNotifyPairRequest)
                    asks.push_back(t.timeMs);
            }
            return asks.size() >= 2;
        },
        std::chrono::seconds(30)));
    EXPECT_GE(asks[1] - asks[0], virt::kPairRequestRepeatMs);
    EXPECT_LT(asks[1] - asks[0], virt::kPairRequestRepeatMs + 5000);
}

} // namespace
} // namespace pw
