#include "receiver/notify_pipe.h"

#include "rig.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <future>
#include <map>
#include <thread>

namespace pw {
namespace {

using test::PostRecorder;
using test::ReceiverRig;
using test::Report;
using test::WaitUntil;
using ::testing::ElementsAreArray;

// Counts the reports the reader handed over, so that a test can move the clock only between them.
class CountingPipe : public CNotifyPipe {
public:
    using CNotifyPipe::CNotifyPipe;
    ~CountingPipe() override { Close(); }
    void OnReport(const std::uint8_t* bytes, std::size_t length) override {
        CNotifyPipe::OnReport(bytes, length);
        ++reports;
    }
    std::atomic<int> reports{0};
};

struct Road {
    explicit Road(std::uint64_t startMs = 1000)
        : rig({}, startMs), start(startMs), pipe(rig.bus.TickSource()) {
        EXPECT_TRUE(pipe.Open(test::kFakeWindow, rig.receiver.NotifyPath()));
    }
    // Sends a report at the given time (from the start) and waits until the reader handed it over.
    void Send(std::uint64_t atMs, const std::vector<std::uint8_t>& report) {
        rig.bus.AdvanceTo(start + atMs);
        const int before = pipe.reports;
        rig.receiver.SendInput(report);
        ASSERT_TRUE(WaitUntil([&] { return pipe.reports > before; }));
    }

    PostRecorder posts;
    ReceiverRig rig;
    std::uint64_t start;
    CountingPipe pipe;
};

TEST(NotifyRecord, BuiltFromTheReportBytes) {
    std::vector<std::uint8_t> report =
        Report(0x01, {2, 0x77, 'T', 'r', 'a', 'v', 'e', 'l', ' ', 'M', 'o', 'u', 0x01, 0x02, 0x03, 0xEE});
    NotifyRecord record = BuildNotifyRecord(report.data());
    EXPECT_EQ(record.code, 0x01);
    EXPECT_EQ(record.device.slot, 0);
    EXPECT_EQ(record.device.kind, kKindMouse);
    EXPECT_EQ(record.device.reserved, 0x77);
    EXPECT_EQ(record.device.Id(), 0x030201u);
    EXPECT_STREQ(record.device.name, "Travel Mou"); // ten characters at most, always terminated
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&record);
    for (std::size_t i = 17; i < sizeof record; ++i)
        EXPECT_EQ(bytes[i], 0) << i;

    report[6] = '-';
    EXPECT_STREQ(BuildNotifyRecord(report.data()).device.name, "Tr");

    report = Report(0xDB, {0x05, 0x07, 0x11, 0x12, 0x13});
    record = BuildNotifyRecord(report.data());
    std::uint8_t expected[30] = {0xDB, 0x05, 0x07};
    EXPECT_EQ(std::memcmp(&record, expected, sizeof expected), 0);
}

TEST(NotifyPipe, RepeatFilter) {
    const auto a = Report(0x01, {1, 0, 'A'});
    const auto b = Report(0x01, {1, 0, 'B'});
    const auto shortA = Report(0x01, {1, 0, 'A'}, 20);
    struct Case {
        const char* name;
        std::uint64_t startMs;
        std::vector<std::pair<std::uint64_t, const std::vector<std::uint8_t>*>> sends;
        std::size_t posts;
    };
    std::vector<std::pair<std::uint64_t, const std::vector<std::uint8_t>*>> everyTwoSeconds;
    for (std::uint64_t t = 0; t <= 60000; t += 2000)
        everyTwoSeconds.push_back({t, &a});
    const std::uint64_t nearWrap = 0xFFFFFFFFull - 500;
    const Case cases[] = {
        {"same report 1 s apart", 1000, {{0, &a}, {1000, &a}}, 1},
        {"then again after 5 s", 1000, {{0, &a}, {1000, &a}, {6000, &a}}, 2},
        {"exactly 3000 ms is still a repeat", 1000, {{0, &a}, {3000, &a}, {6001, &a}}, 2},
        {"A B A", 1000, {{0, &a}, {1000, &b}, {2000, &a}}, 3},
        {"every 2 s for a minute", 1000, everyTwoSeconds, 1},
        {"short reports are never posted", 1000, {{0, &shortA}, {500, &shortA}}, 0},
        {"a short report breaks a run of repeats", 1000, {{0, &a}, {500, &shortA}, {1000, &a}}, 2},
        {"repeat across the tick wrap", nearWrap, {{0, &a}, {1000, &a}}, 1},
        {"new again after 5 s across the wrap", nearWrap, {{0, &a}, {5000, &a}}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Road road(c.startMs);
        for (const auto& [at, report] : c.sends)
            road.Send(at, *report);
        EXPECT_EQ(road.posts.Count(), c.posts);
    }
}

TEST(NotifyPipe, PostsTheRecordToTheTargetWithThePipe) {
    Road road;
    virt::DeviceConfig mouse;
    mouse.kind = kKindMouse;
    mouse.id = 0x123456;
    mouse.name = "Travel Mouse";
    road.rig.receiver.AskToPair(mouse);
    ASSERT_TRUE(WaitUntil([&] { return road.posts.Count() == 1; }));
    const test::Posted& posted = road.posts.At(0);
    EXPECT_EQ(posted.window, test::kFakeWindow);
    EXPECT_EQ(posted.message, WM_RECEIVER_NOTIFY);
    EXPECT_EQ(posted.lParam, reinterpret_cast<std::intptr_t>(&road.pipe));
    EXPECT_EQ(posted.record->code, kNotifyPairRequest);
    EXPECT_EQ(posted.record->device.kind, kKindMouse);
    EXPECT_EQ(posted.record->device.Id(), 0x123456u);
    EXPECT_STREQ(posted.record->device.name, "Travel Mou");
}

TEST(NotifyPipe, PostingSwitchedOffStillFeedsTheRepeatFilter) {
    Road road;
    const auto a = Report(0x05, {1});
    road.pipe.SetPostingEnabled(false);
    road.Send(0, a);
    EXPECT_EQ(road.posts.Count(), 0u);
    road.pipe.SetPostingEnabled(true);
    road.Send(2000, a);
    EXPECT_EQ(road.posts.Count(), 0u);
    road.Send(2500, Report(0x05, {2}));
    EXPECT_EQ(road.posts.Count(), 1u);
}

TEST(NotifyPipe, RefusedPostFreesTheRecord) {
    Road road;
    const std::size_t live = NotifyRecord::LiveOnHeap();
    road.posts.Refuse(true);
    road.Send(0, Report(0x03, {1}));
    road.Send(100, Report(0x03, {2}));
    EXPECT_EQ(road.posts.Count(), 0u);
    EXPECT_EQ(NotifyRecord::LiveOnHeap(), live) << "a refused record was left behind";

    road.posts.Refuse(false);
    road.Send(200, Report(0x03, {3}));
    ASSERT_EQ(road.posts.Count(), 1u);
    EXPECT_EQ(NotifyRecord::LiveOnHeap(), live + 1) << "the record the recorder keeps is counted";
}

TEST(NotifyPipe, SurvivesFloodsFailuresAndOddReports) {
    Road road;
    road.rig.receiver.Flood(Report(0x05, {1}), 500);
    road.rig.receiver.FailInputReads(3);
    for (const std::size_t length : {1u, 20u, 31u, 33u, 64u, 260u})
        road.rig.receiver.SendInput(Report(0x01, {}, length));
    road.rig.receiver.SendInput(Report(0x77, {0xFF, 0xFF}));
    const auto sentinel = Report(0x02, {9});
    road.rig.receiver.SendInput(sentinel);
    ASSERT_TRUE(WaitUntil([&] {
        const auto records = road.posts.Records();
        return !records.empty() && records.back().code == 0x02;
    }));
    // The flood is cut to the handle's buffer but reads as one event; every odd length is dropped.
    const auto records = road.posts.Records();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].code, 0x05);
    EXPECT_EQ(records[1].code, 0x77);
}

TEST(NotifyPipe, OpenChecksTheInputReportLength) {
    ReceiverRig rig;
    for (const auto which : {virt::kKeyboardInterface, virt::kMouseInterface, virt::kCommandInterface}) {
        CNotifyPipe pipe;
        EXPECT_FALSE(pipe.Open(test::kFakeWindow, rig.receiver.InterfacePath(which)));
        EXPECT_FALSE(pipe.IsOpen());
        EXPECT_FALSE(pipe.IsReading());
        EXPECT_TRUE(pipe.Path().empty());
    }
    CNotifyPipe missing;
    EXPECT_FALSE(missing.Open(test::kFakeWindow, L"\\\\?\\hid#nothing#here"));
    missing.Close();
    EXPECT_FALSE(missing.IsReading());
    EXPECT_TRUE(rig.bus.Log().empty()); // verification sends no command

    virt::OtherConfig config; // an unrelated device with 32-byte input reports qualifies
    auto& other = rig.bus.AddOther(config);
    rig.bus.Plug(other);
    CNotifyPipe pipe;
    EXPECT_TRUE(pipe.Open(test::kFakeWindow, other.Paths()[0]));
    EXPECT_EQ(pipe.Path(), other.Paths()[0]);
}

TEST(NotifyPipe, CloseWhileTheReaderWaitsIsPromptAndEndsTheThread) {
    Road road;
    ASSERT_TRUE(road.pipe.IsReading());
    auto closing = std::async(std::launch::async, [&] { road.pipe.Close(); });
    ASSERT_EQ(closing.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_FALSE(road.pipe.IsReading());
    EXPECT_FALSE(road.pipe.IsOpen());
    road.pipe.Close();
}

TEST(NotifyPipe, PulledOutReceiverFailsReadsUntilClosed) {
    Road road;
    road.rig.bus.Unplug(road.rig.receiver);
    road.rig.bus.Plug(road.rig.receiver);
    road.rig.receiver.SendInput(Report(0x05, {1})); // reaches new handles only
    auto closing = std::async(std::launch::async, [&] { road.pipe.Close(); });
    ASSERT_EQ(closing.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_EQ(road.pipe.reports, 0);
    EXPECT_EQ(road.posts.Count(), 0u);
}

// Under ThreadSanitizer: the user-interface side opens, switches posting and closes while reports pour in.
TEST(NotifyPipe, StopWhileReportsArrive) {
    PostRecorder posts;
    ReceiverRig rig;
    std::atomic<bool> done{false};
    std::thread sender([&] {
        std::uint8_t n = 0;
        while (!done) {
            rig.receiver.SendInput(Report(0x05, {n++}));
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    });
    for (int round = 0; round < 20; ++round) {
        CNotifyPipe pipe(rig.bus.TickSource());
        ASSERT_TRUE(pipe.Open(test::kFakeWindow, rig.receiver.NotifyPath()));
        pipe.SetPostingEnabled(round % 2 == 0);
        WaitUntil([&] { return posts.Count() > static_cast<std::size_t>(round); },
                  std::chrono::milliseconds(200));
        pipe.Close();
        EXPECT_FALSE(pipe.IsReading());
    }
    done = true;
    sender.join();
}

} // namespace
} // namespace pw
