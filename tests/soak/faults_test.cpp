// The fault matrix: the real program under Wine with its receiver pulled out after every transfer of
// each of its exchanges, with failing writes and reads, and with short, long, garbage and flooding input
// reports. In every case the program does not crash, hang or leak, and its panel ends up showing what
// the receiver holds.
#include "tests/soak/driver.h"

#include "res/resource.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <map>
#include <sstream>
#include <tuple>
#include <utility>

namespace {

using namespace pwtest;
using namespace pwtest::soak;
using e2e::Literal;

constexpr char kHead[] = "receiver R1 name \"Vorn Veltrane Receiver\" firmware 1.2.0.5\n"
                         "keyboard K1 name \"QT 1\" id 0x0a0b01\n"
                         "mouse M2 name \"QT 2\" id 0x0a0b02\n"
                         "mouse M3 name \"QT 3\" id 0x0a0b03 joins 100\n"
                         "plug R1 with K1 M2\n";
// The receiver's command collection, known to discovery: a fault never hits a trial open, which would
// rule the receiver out for the rest of the run.
constexpr wchar_t kCommandKey[] = L"vid_2f1e&pid_7a31&mi_01&col02";
constexpr DWORD kSettleMs = 300;
constexpr DWORD kWaitMs = 15000;
constexpr std::size_t kHandleTolerance = 4;
// One fault is one chance to leak: the soaks find what a fault leaks by repetition. Here the tolerance
// covers what runs through the same windows differ by.
constexpr std::size_t kGdiTolerance = 16;
constexpr std::size_t kWorkingSetTolerance = 4 << 20;

// What the user does after the program settled with its receiver open.
enum class Act { Nothing, Refresh, ActivityPass, PairAnswer, Removal };

struct Case {
    std::string name;
    std::string lines; // scenario lines after the head
    Act act = Act::Nothing;
    bool visible = false;      // the main window shown (its receiver items poll activity)
    bool unplugs = false;      // the receiver is pulled out and plugged back in
    bool refreshAfter = false; // a clean refresh once the fault is spent (a console reconnection)
    int foreignRequests = -1;  // with >= 0: M3 asks at 3 s and must be heard; pair requests before it
};

struct Outcome {
    std::string failure;
    std::size_t transfersBefore = 0; // on the command interface, before the act
    std::size_t transfersOfAct = 0;
    std::vector<std::string> differences;
    Resources end;
    std::size_t devices = 0;
    int hangs = 0;
    double longestMs = 0;
    bool closed = false;
};

bool Answered(HWND window) {
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kWaitMs, &ignored) != 0;
}

std::string DoAct(Act act, ProgramRun& run, HWND main, const std::string& command, std::size_t mark) {
    const e2e::Trace& trace = run.trace;
    switch (act) {
    case Act::Nothing: return "";
    case Act::Refresh: PostMessageW(main, WM_WTSSESSION_CHANGE, 1, 0); break;
    case Act::ActivityPass: {
        const int before = CountTransfers(trace, command, 0, mark);
        if (!WaitUntil([&] { return CountTransfers(trace, command, 0, SIZE_MAX) > before; }, kWaitMs))
            return "no activity pass";
        break;
    }
    case Act::PairAnswer: {
        const HWND request = trace.WaitForShown("IDD_PAIR_REQ", kWaitMs, mark);
        if (!request || !e2e::Click(request, IDC_BTN_ADD_DEVICE)) return "no pair request";
        HWND success = nullptr;
        const bool ended = WaitUntil(
            [&] {
                for (HWND open : trace.OpenWindows("IDD_PAIR_SUCC")) {
                    if (IsWindowVisible(open)) success = open;
                }
                return success || !trace.Find("bus", "^R1 unplug at ", mark).empty();
            },
            kWaitMs);
        if (!ended) return "the pairing neither succeeded nor ended with the receiver";
        if (success && (!Answered(success) || !e2e::Click(success, IDC_BTN_FINISH))) return "no finish";
        break;
    }
    case Act::Removal: {
        const auto rows = trace.OpenWindows("IDD_DEVICE_ITEM");
        if (rows.empty() || !PostClick(rows.back(), IDC_BTN_DELETE_DEV)) return "no device to remove";
        const HWND confirmation = trace.WaitForShown("IDD_DEL_DEV_REQ", kWaitMs, mark);
        if (!confirmation || !e2e::Click(confirmation, IDC_BTN_DELETE)) return "no confirmation";
        if (!trace.WaitForClose(confirmation)) return "the confirmation stayed";
        break;
    }
    }
    return WaitForQuiet(trace, kSettleMs) ? "" : "the bus never went quiet";
}

// M3 asks: every pair request before its own is answered "not now", its own too; false when it is not
// heard.
bool HeardAfterwards(const e2e::Trace& trace, int& foreign) {
    foreign = 0;
    for (std::size_t from = 0; foreign <= 5;) {
        const HWND request = trace.WaitForShown("IDD_PAIR_REQ", kWaitMs, from);
        if (!request) return false;
        from = trace.Find("window", "^open IDD_PAIR_REQ ", from).front().index + 1;
        const auto detected = e2e::Control(request, IDC_STATIC_DETECTED);
        const bool mine = detected && detected->text.find(L"QT 3") != std::wstring::npos;
        if (!e2e::Click(request, IDC_BTN_NOT_ADD_DEVICE) || !trace.WaitForClose(request)) return false;
        if (mine) return true;
        ++foreign;
    }
    return false;
}

Outcome RunCase(const Case& c) {
    Outcome outcome;
    const ScenarioFile file(kHead + c.lines);
    ProgramRun run(file, c.visible ? L"" : L"NoShow");
    const HWND main = run.program.WaitForMainWindow();
    if (!main) return outcome.failure = "no main window", outcome;
    std::optional<UiProbe> probe(std::in_place, main);
    const auto arrival = run.trace.WaitFor("discovery", "^arrival receiver ", kWaitMs);
    if (!arrival) return outcome.failure = "no receiver", outcome;
    const std::string command = PathOf(*arrival);
    if (c.act != Act::Nothing) WaitForQuiet(run.trace, kSettleMs);
    const std::size_t mark = run.trace.Lines().size();
    outcome.failure = DoAct(c.act, run, main, command, mark);
    if (outcome.failure.empty() && c.unplugs) {
        const auto unplug = run.trace.WaitFor("bus", "^R1 unplug at ", kWaitMs);
        if (!unplug ||
            !run.trace.WaitFor("discovery", "^arrival receiver " + Literal(command), kWaitMs, unplug->index))
            outcome.failure = "the receiver was not pulled out and back";
    }
    if (outcome.failure.empty() && c.refreshAfter) PostMessageW(main, WM_WTSSESSION_CHANGE, 1, 0);
    WaitForQuiet(run.trace, kSettleMs);
    int foreign = 0;
    if (outcome.failure.empty() && c.foreignRequests >= 0) {
        if (!HeardAfterwards(run.trace, foreign))
            outcome.failure = "a device asking afterwards was not heard";
        else if (foreign != c.foreignRequests)
            outcome.failure = std::to_string(foreign) + " other pair requests, should be " +
                              std::to_string(c.foreignRequests);
        WaitForQuiet(run.trace, kSettleMs);
    }
    if (!outcome.failure.empty()) {
        // What the program did, for the case that failed (the bus's transfers show in its hid lines).
        for (const auto& line : run.trace.Lines()) {
            if (line.category != "bus" || !line.text.starts_with("R1 "))
                std::printf("  %lld %s %s\n", static_cast<long long>(line.microseconds / 1000),
                            line.category.c_str(), line.text.substr(0, 90).c_str());
        }
    }
    const auto opened = run.trace.Find("window", "^open IDD_(REDUNDANT|PAIR_FAILED|FORBID_PAIR) ");
    if (outcome.failure.empty() && !opened.empty()) outcome.failure = "a page opened: " + opened.front().text;
    outcome.transfersBefore = CountTransfers(run.trace, command, 0, mark);
    outcome.transfersOfAct = CountTransfers(run.trace, command, mark, SIZE_MAX);
    const Panel shown = ReadPanel(run.trace);
    outcome.devices = shown.devices.size();
    outcome.differences = Compare(shown, ExpectedPanel(ReadTruth(run.trace, "R1")));
    outcome.end = Measure(run.program.Id());
    outcome.hangs = probe->Hangs();
    outcome.longestMs = probe->LongestMs();
    probe.reset();
    outcome.closed = run.program.Close();
    return outcome;
}

class Faults : public e2e::EndToEnd {
protected:
    void SetUp() override {
        e2e::EndToEnd::SetUp();
        PlantKnownReceiver(kCommandKey);
    }

    // The fault-free run of an act: how many transfers come before it and how many it makes, and the
    // resources of the program afterwards (by main window shown and device rows listed).
    const Outcome& Baseline(Act act, bool visible, const std::string& lines, int foreignRequests = -1) {
        const auto key = std::make_tuple(static_cast<int>(act), visible, lines);
        if (!s_baselines.count(key)) {
            Outcome outcome = RunCase({.name = "baseline",
                                       .lines = lines,
                                       .act = act,
                                       .visible = visible,
                                       .foreignRequests = foreignRequests});
            EXPECT_EQ(outcome.failure, "") << "baseline";
            s_resources[{static_cast<int>(act), visible, outcome.devices}] = outcome.end;
            s_baselines[key] = outcome;
        }
        return s_baselines[key];
    }

    static int Failures() {
        return testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count();
    }

    static void Check(const Case& c, const Outcome& outcome) {
        SCOPED_TRACE(c.name);
        const int failuresBefore = Failures();
        EXPECT_EQ(outcome.failure, "");
        EXPECT_TRUE(outcome.differences.empty()) << testing::PrintToString(outcome.differences);
        EXPECT_EQ(outcome.hangs, 0) << "the longest answer took " << outcome.longestMs << " ms";
        EXPECT_TRUE(outcome.closed) << "the program ended by itself";
        // Against the fault-free run of the same act that ends with as many device rows: the program
        // then went through the same windows. A run that ends otherwise has no such measure.
        const auto base = s_resources.find({static_cast<int>(c.act), c.visible, outcome.devices});
        if (base != s_resources.end()) {
            const Resources& was = base->second;
            EXPECT_LE(outcome.end.handles, was.handles + kHandleTolerance);
            EXPECT_LE(outcome.end.gdiObjects, was.gdiObjects + kGdiTolerance);
            EXPECT_LE(outcome.end.workingSet, was.workingSet + kWorkingSetTolerance);
        }
        std::printf("FAULT| %-34s | %4zu handles | %4zu GDI | %5.1f MB | longest answer %4.0f ms | %s\n",
                    c.name.c_str(), outcome.end.handles, outcome.end.gdiObjects,
                    outcome.end.workingSet / 1048576.0, outcome.longestMs,
                    Failures() > failuresBefore ? "FAIL" : "pass");
    }

    UnmanagedWindows m_unmanaged;
    static inline std::map<std::tuple<int, bool, std::string>, Outcome> s_baselines;
    static inline std::map<std::tuple<int, bool, std::size_t>, Resources> s_resources;
};

struct Exchange {
    const char* name;
    Act act;
    bool visible;
    const char* lines;
};

constexpr Exchange kExchanges[] = {
    {"opening", Act::Nothing, false, ""},
    {"refresh", Act::Refresh, false, ""},
    {"activity pass", Act::ActivityPass, true, ""},
    {"pair answer", Act::PairAnswer, false, "at 1 s M3 asks R1\n"},
    {"removal", Act::Removal, false, ""},
};

TEST_F(Faults, TheReceiverPulledOutAfterEveryTransferOfEachExchange) {
    for (const Exchange& exchange : kExchanges) {
        const Outcome& base = Baseline(exchange.act, exchange.visible, exchange.lines);
        const std::size_t before = exchange.act == Act::Nothing ? 0 : base.transfersBefore;
        const std::size_t count =
            exchange.act == Act::Nothing ? base.transfersBefore + base.transfersOfAct : base.transfersOfAct;
        ASSERT_GT(count, 0u) << exchange.name;
        for (std::size_t k = 1; k <= count; ++k) {
            std::ostringstream lines;
            // Armed at the start: a step without a time takes the time of the step before it.
            lines << "unplug R1 after " << before + k << " replug 500\n" << exchange.lines;
            const Case c{.name = std::string(exchange.name) + ", transfer " + std::to_string(k) + " of " +
                                 std::to_string(count),
                         .lines = lines.str(),
                         .act = exchange.act,
                         .visible = exchange.visible,
                         .unplugs = true};
            Check(c, RunCase(c));
        }
    }
}

TEST_F(Faults, FailingWritesAndReads) {
    const std::size_t opening = Baseline(Act::Refresh, false, "").transfersBefore;
    const std::size_t beforeRemoval = Baseline(Act::Removal, false, "").transfersBefore;
    const auto after = [](const char* fault, std::size_t transfers) {
        return std::string(fault) + " after " + std::to_string(transfers) + "\n";
    };
    const Case cases[] = {
        {.name = "writes fail, refresh",
         .lines = after("fail R1 writes 3", opening),
         .act = Act::Refresh,
         .refreshAfter = true},
        {.name = "reads fail, refresh",
         .lines = after("fail R1 reads 2", opening),
         .act = Act::Refresh,
         .refreshAfter = true},
        {.name = "reads fail, activity pass",
         .lines = after("fail R1 reads 1", opening),
         .act = Act::ActivityPass,
         .visible = true},
        // The receiver keeps the device whose removal it never heard: the refresh lists it again.
        {.name = "removal's write fails",
         .lines = after("fail R1 writes 1", beforeRemoval),
         .act = Act::Removal},
        {.name = "reads fail, removal's refresh",
         .lines = after("fail R1 reads 2", beforeRemoval + 1),
         .act = Act::Removal,
         .refreshAfter = true},
    };
    for (const Case& c : cases)
        Check(c, RunCase(c));
}

// A notification report of the given bytes, zero-padded to `length`, as scenario hex.
std::string Report(std::vector<int> bytes, std::size_t length = 32) {
    bytes.resize(std::max(length, bytes.size()), 0);
    std::string hex;
    for (const int b : bytes) {
        char text[4];
        std::snprintf(text, sizeof text, " %02x", b & 0xff);
        hex += text;
    }
    return hex;
}

// Code 0x01 of a mouse named "QT 4", id 0x0a0b04.
std::vector<int> PairRequestOfQt4() {
    return {0x09, 0x01, 0x02, 0x00, 'Q', 'T', ' ', '4', 0, 0, 0, 0, 0, 0, 0x04, 0x0b, 0x0a};
}

TEST_F(Faults, ShortLongGarbageAndFloodingInput) {
    const std::string asks = "at 3 s M3 asks R1\n";
    Baseline(Act::Nothing, false, asks, 0);
    std::string garbage;
    std::uint32_t seed = 12345;
    for (const int id : {0x00, 0x09, 0x09, 0xff, 0x08}) {
        std::vector<int> bytes{id, id == 0x09 ? 0x42 + static_cast<int>(seed % 7)
                                              : static_cast<int>(seed & 0xff)};
        for (int i = 2; i < 32; ++i)
            bytes.push_back(static_cast<int>((seed = seed * 1103515245u + 12345u) >> 16));
        garbage += "at 2 s report R1" + Report(bytes) + "\n";
    }
    std::string flood;
    for (int i = 0; i < 10; ++i)
        flood +=
            "at " + std::to_string(2000 + 100 * i) + " ms flood R1 1000" + Report(PairRequestOfQt4()) + "\n";
    const Case cases[] = {
        {.name = "short report",
         .lines = "at 2 s report R1" + Report(PairRequestOfQt4(), 0).substr(0, 3 * 10) + "\n" + asks,
         .foreignRequests = 0},
        {.name = "long report",
         .lines = "at 2 s report R1" + Report(PairRequestOfQt4(), 40) + "\n" + asks,
         .foreignRequests = 0},
        {.name = "garbage reports", .lines = garbage + asks, .foreignRequests = 0},
        {.name = "input reads fail", .lines = "at 2 s fail R1 input 5\n" + asks, .foreignRequests = 0},
        // The repeat filter lets the first through: one pair request.
        {.name = "10 000 reports in a second", .lines = flood + "at 4 s M3 asks R1\n", .foreignRequests = 1},
    };
    for (const Case& c : cases)
        Check(c, RunCase(c));
}

} // namespace
