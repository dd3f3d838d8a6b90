#include "tests/soak/soak.h"

#include "res/resource.h"

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <sstream>

namespace pwtest::soak {
namespace {

using e2e::Literal;
using e2e::TraceLine;

constexpr char kReceiverAndKeyboard[] = "receiver R1 name \"Vorn Veltrane Receiver\" firmware 1.2.0.5\n"
                                        "keyboard K1 name \"QT 1\" id 0x0a0b01\n";
constexpr int kFirstCycleMs = 3000; // the program has long run its first discovery by then
constexpr int kAwayMs = 250;
constexpr int kHeldMs = 250;
constexpr int kSampleHeldMs = 1500;
constexpr int kPairingHeldMs = 2500;
constexpr int kAskAfterPlugMs = 400;
constexpr DWORD kSettleMs = 300;

std::optional<TraceLine> NextLine(const e2e::Trace& trace, const char* category, const std::string& pattern,
                                  std::size_t from, DWORD timeoutMs = kCycleWaitMs) {
    return trace.WaitFor(category, pattern, timeoutMs, from);
}

// Arrivals and removals of the command interface against the bus's plugging since the first
// discovery line (the program's start-up enumeration).
void CountPlugging(const e2e::Trace& trace, const std::string& command, SoakResult& result) {
    const auto first = trace.Find("discovery", "");
    if (first.empty()) return;
    const std::size_t start = first.front().index;
    bool pluggedAtStart = false;
    for (const TraceLine& line : trace.Find("bus", "^R1 (un)?plug at ")) {
        const bool plug = line.text.starts_with("R1 plug");
        if (line.index < start)
            pluggedAtStart = plug;
        else
            ++(plug ? result.expectedArrivals : result.expectedRemovals);
    }
    result.expectedArrivals += pluggedAtStart;
    result.arrivals = static_cast<int>(trace.Find("discovery", "^arrival \\S+ " + Literal(command)).size());
    result.removals = static_cast<int>(trace.Find("discovery", "^removal \\S+ " + Literal(command)).size());
}

void Finish(ProgramRun& run, std::optional<UiProbe>& probe, SoakResult& result) {
    if (probe) {
        result.longestUiAnswerMs = probe->LongestMs();
        result.uiHangs = probe->Hangs();
        probe.reset();
    }
    result.closedCleanly = run.program.Close();
}

void TakeSample(const ProgramRun& run, int cycle, SoakResult& result) {
    WaitForQuiet(run.trace, kSettleMs, kCycleWaitMs);
    result.samples.push_back({cycle, Measure(run.program.Id())});
}

} // namespace

SoakResult PlugSoak(int cycles, int sampleEvery) {
    std::ostringstream scenario;
    scenario << kReceiverAndKeyboard << "mouse M1 name \"QT 2\" id 0x0a0b02\n"
             << "mouse P1 name \"QT 3\" id 0x0a0b03 joins never\n"
             << "plug R1 with K1 M1\n";
    long long t = kFirstCycleMs;
    for (int c = 0; c < cycles; ++c) {
        scenario << "at " << t << " ms unplug R1\n";
        t += kAwayMs;
        scenario << "at " << t << " ms plug R1\n";
        if (c % 10 == 0) {
            // Hidden, the main window polls nothing: the next transfers are the answer to the request
            // and the first tick of the pairing watch, and the receiver goes right after that tick's first.
            scenario << "at " << t + kAskAfterPlugMs << " ms P1 asks R1\n"
                     << "unplug R1 after 2\n";
            t += kPairingHeldMs;
        } else {
            t += (c + 1) % sampleEvery == 0 ? kSampleHeldMs : kHeldMs;
        }
    }
    const ScenarioFile file(scenario.str());

    SoakResult result;
    ProgramRun run(file, L"NoShow");
    const HWND main = run.program.WaitForMainWindow();
    if (!main) return result.failure = "no main window", result;
    std::optional<UiProbe> probe(std::in_place, main);
    const auto receiver = NextLine(run.trace, "discovery", "^arrival receiver ", 0);
    if (!receiver) return result.failure = "the receiver was not found at start", result;
    const std::string command = PathOf(*receiver);

    std::size_t from = receiver->index + 1;
    for (int c = 0; c < cycles; ++c) {
        const auto unplug = NextLine(run.trace, "bus", "^R1 unplug at ", from);
        const auto plug = unplug ? NextLine(run.trace, "bus", "^R1 plug at ", unplug->index) : std::nullopt;
        if (!plug) {
            result.failure = "cycle " + std::to_string(c) + " never came";
            break;
        }
        from = plug->index + 1;
        if (c % 10 == 0) {
            // Within the cycle's own time: the scenario goes on whether or not the pairing got under way.
            const HWND request = run.trace.WaitForShown("IDD_PAIR_REQ", kPairingHeldMs, from);
            if (request && e2e::Click(request, IDC_BTN_ADD_DEVICE) &&
                run.trace.WaitForOpen("IDD_PAIR_PROGRESS", kPairingHeldMs, from) &&
                NextLine(run.trace, "bus", "^R1 unplug at ", from))
                ++result.pairingCycles;
        } else if ((c + 1) % sampleEvery == 0) {
            if (NextLine(run.trace, "discovery", "^arrival receiver " + Literal(command), from))
                TakeSample(run, c + 1, result);
        }
        result.cycles = c + 1;
    }
    if (result.failure.empty()) {
        // The last cycle leaves the receiver in; its refresh is the panel's last word.
        NextLine(run.trace, "discovery", "^arrival receiver " + Literal(command), from);
        WaitForQuiet(run.trace, kSettleMs, kCycleWaitMs);
        result.panelDifferences = Compare(ReadPanel(run.trace), ExpectedPanel(ReadTruth(run.trace, "R1")));
    }
    CountPlugging(run.trace, command, result);
    Finish(run, probe, result);
    return result;
}

SoakResult PairSoak(int cycles, int sampleEvery) {
    std::ostringstream scenario;
    // Two devices, each asking anew once removed: the program drops a report that repeats the one
    // before it within three seconds, so one device alone would be heard only every fourth second.
    scenario << kReceiverAndKeyboard << "mouse P1 name \"QT 3\" id 0x0a0b03 joins 50 again patience 3600000\n"
             << "mouse P2 name \"QT 4\" id 0x0a0b04 joins 50 again patience 3600000\n"
             << "plug R1 with K1\n"
             << "at 1 s P1 asks R1\n"
             << "at 1500 ms P2 asks R1\n";
    const ScenarioFile file(scenario.str());

    SoakResult result;
    ProgramRun run(file);
    const HWND main = run.program.WaitForMainWindow();
    if (!main) return result.failure = "no main window", result;
    std::optional<UiProbe> probe(std::in_place, main);
    const auto receiver = NextLine(run.trace, "discovery", "^arrival receiver ", 0);
    if (!receiver) return result.failure = "the receiver was not found at start", result;
    const std::string command = PathOf(*receiver);
    const HWND item = run.trace.WaitForOpen("IDD_RECEIVER_ITEM");

    const auto stop = [&](int c, const std::string& what) {
        result.failure = "cycle " + std::to_string(c) + ": " + what;
    };
    for (int c = 0; c < cycles && result.failure.empty(); ++c) {
        // Whichever device asks: the other one's request may have opened during the last cycle.
        HWND request = nullptr;
        WaitUntil(
            [&] {
                for (HWND open : run.trace.OpenWindows("IDD_PAIR_REQ")) {
                    if (IsWindowVisible(open)) request = open;
                }
                return request != nullptr;
            },
            kCycleWaitMs);
        DWORD_PTR ignored = 0;
        if (!request ||
            !SendMessageTimeoutW(request, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kCycleWaitMs, &ignored) ||
            !e2e::Click(request, IDC_BTN_ADD_DEVICE)) {
            stop(c, "no pair request to accept");
            break;
        }
        const std::size_t accepted = run.trace.Lines().size();
        // Once the receiver holds the device, one tick of the pairing watch finds it; not waiting for
        // the timer's own second keeps a cycle short.
        if (!NextLine(run.trace, "bus", "^R1 holds \\S+ \\S+ \\S+ at ", accepted) ||
            !run.trace.WaitForOpen("IDD_PAIR_PROGRESS", kCycleWaitMs, accepted)) {
            stop(c, "the device did not join");
            break;
        }
        PostMessageW(item, WM_TIMER, 11, 0);
        const HWND success = run.trace.WaitForShown("IDD_PAIR_SUCC", kCycleWaitMs, accepted);
        if (!success || !e2e::Click(success, IDC_BTN_FINISH) || !run.trace.WaitForClose(success)) {
            stop(c, "no success page to finish");
            break;
        }
        const auto rows = run.trace.OpenWindows("IDD_DEVICE_ITEM");
        const HWND device = rows.empty() ? nullptr : rows.back();
        const std::size_t removing = run.trace.Lines().size();
        if (rows.size() != 2 ||
            !WaitUntil([&] { return e2e::Click(device, IDC_BTN_DELETE_DEV); }, kCycleWaitMs)) {
            stop(c, "no device item to remove");
            break;
        }
        const HWND confirmation = run.trace.WaitForShown("IDD_DEL_DEV_REQ", kCycleWaitMs, removing);
        if (!confirmation || !e2e::Click(confirmation, IDC_BTN_DELETE) ||
            !run.trace.WaitForClose(device, kCycleWaitMs)) {
            stop(c, "the removal did not go through");
            break;
        }
        result.cycles = c + 1;
        if ((c + 1) % sampleEvery == 0) TakeSample(run, c + 1, result);
    }
    if (result.failure.empty()) {
        WaitForQuiet(run.trace, kSettleMs, kCycleWaitMs);
        result.panelDifferences = Compare(ReadPanel(run.trace), ExpectedPanel(ReadTruth(run.trace, "R1")));
    }
    CountPlugging(run.trace, command, result);
    Finish(run, probe, result);
    return result;
}

std::string CheckFlat(const std::vector<Sample>& samples, const Tolerance& tolerance) {
    if (samples.empty()) return "no samples";
    const Resources& first = samples.front().resources;
    std::string grown;
    const auto check = [&](const char* what, std::size_t from, std::size_t to, std::size_t allowed,
                           int cycle) {
        if (to > from + allowed)
            grown += std::string(grown.empty() ? "" : "; ") + what + " " + std::to_string(from) + " -> " +
                     std::to_string(to) + " by cycle " + std::to_string(cycle);
    };
    for (const Sample& sample : samples) {
        const Resources& r = sample.resources;
        if (r.handles == 0 || r.gdiObjects == 0 || r.workingSet == 0)
            return "cycle " + std::to_string(sample.cycle) + ": the process could not be measured";
        check("handles", first.handles, r.handles, tolerance.handles, sample.cycle);
        check("GDI objects", first.gdiObjects, r.gdiObjects, tolerance.gdiObjects, sample.cycle);
        check("working set", first.workingSet, r.workingSet, tolerance.workingSetBytes, sample.cycle);
        if (!grown.empty()) break;
    }
    return grown;
}

std::string TableRow(const std::string& name, const SoakResult& result, const Tolerance& tolerance,
                     bool passed) {
    char row[512];
    const Resources none{};
    const Resources& first = result.samples.empty() ? none : result.samples.front().resources;
    const Resources& last = result.samples.empty() ? none : result.samples.back().resources;
    const auto mb = [](std::size_t bytes) { return bytes / 1048576.0; };
    std::snprintf(
        row, sizeof row,
        "SOAK| %-5s | %6d | %7zu | %4zu -> %-4zu | %4zu -> %-4zu | %5.1f -> %-5.1f MB | +%zu, +%zu, "
        "+%.0f MB | %s",
        name.c_str(), result.cycles, result.samples.size(), first.handles, last.handles, first.gdiObjects,
        last.gdiObjects, mb(first.workingSet), mb(last.workingSet), tolerance.handles, tolerance.gdiObjects,
        mb(tolerance.workingSetBytes), passed ? "pass" : "FAIL");
    return row;
}

int CyclesFromEnvironment(int fallback) {
    const char* text = std::getenv("PW_SOAK_CYCLES");
    const int cycles = text ? std::atoi(text) : 0;
    return cycles > 0 ? cycles : fallback;
}

} // namespace pwtest::soak
