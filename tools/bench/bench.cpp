// The benchmarks: the real program under Wine on the virtual receiver, measured from outside beside the
// bare dialog program (bare_dialog.cpp) in the same run. Prints a table and writes every figure as JSON.
//   pw_bench JSON_FILE [CYCLES [start|idle|soak]]
// The last argument runs one part alone (the soak's working-set ratio then has no bare dialog beside it).
// Latencies and exchanges are read from the program's trace, whose clock this process shares under Wine;
// processor time is the sum of a process's thread times; a working set is the system's figure for the
// process. Nothing here judges a figure: a step that does not happen is counted and reported.
#include "app/settings.h"
#include "common/trace.h"
#include "framework/handles.h"
#include "res/resource.h"
#include "tests/e2e/harness.h"
#include "virtual/virtual_hid_win.h"

#include <windows.h>

#include <psapi.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace pwtest;
using namespace pwtest::e2e;

constexpr int kStartRuns = 5;
// Linux counts a thread's time in 10 ms ticks: one tick is 0.05 % of a core over 20 s.
constexpr int kIdleWindows = 3;
constexpr DWORD kIdleWindowMs = 20000;
// The trace's run only counts exchanges and what the trace itself costs.
constexpr DWORD kTracedWindowMs = 10000;
// Long enough for the start's own work (the first activity passes, Wine's lazy loading) to be over.
constexpr DWORD kSettleMs = 2000;
constexpr int kDefaultCycles = 50;
constexpr int kReceivers = 2;
constexpr std::uint8_t kMouse = 2;
// The pairing watch gives up after 30 one-second ticks.
constexpr DWORD kWatchMs = 30000;

// The soak's schedule: each cycle pulls out the second receiver, lets a new mouse ask the first (a pair
// request opens only while one receiver is plugged in), and plugs the second back in near its end.
// Under Xvfb without a window manager each of the cycle's four pop-ups costs about 2 s to close.
constexpr std::uint64_t kSoakStartMs = 8000;
constexpr std::uint64_t kCycleMs = 11000;
constexpr std::uint64_t kAskAtMs = 500;
constexpr std::uint64_t kReplugBeforeEndMs = 1500;

std::wstring BareDialogPath() {
    return WinePath(PW_BARE_DIALOG_PATH);
}

std::wstring BenchFile(const char* name) {
    return WinePath(std::string(PW_BENCH_DIR) + "/" + name);
}

double NowMs() {
    return static_cast<double>(pw::trace::NowMicroseconds()) / 1000;
}

// ---- Figures.

struct Figure {
    std::string key{};
    std::string label{};
    std::string unit{};
    std::vector<double> samples{};
    bool withP99 = false;
};

// A measurement that failed (NaN) is left out, and said.
void Record(Figure& figure, double value) {
    if (std::isfinite(value))
        figure.samples.push_back(value);
    else
        std::fprintf(stderr, "pw_bench: a measurement of %s failed\n", figure.label.c_str());
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Nearest rank.
double Percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    const auto rank = static_cast<std::size_t>(std::ceil(p * static_cast<double>(v.size())));
    return v[std::clamp<std::size_t>(rank, 1, v.size()) - 1];
}

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, std::fabs(value) < 10 ? "%.3f" : "%.1f", value);
    return text;
}

void PrintTable(const std::vector<Figure>& figures) {
    std::printf("\n%-52s %-8s %9s %9s %9s %9s %5s\n", "figure", "unit", "min", "median", "max", "p99", "n");
    for (const Figure& f : figures) {
        if (f.samples.empty()) {
            std::printf("%-52s %-8s %9s\n", f.label.c_str(), f.unit.c_str(), "not measured");
            continue;
        }
        const auto [low, high] = std::minmax_element(f.samples.begin(), f.samples.end());
        std::printf("%-52s %-8s %9s %9s %9s %9s %5zu\n", f.label.c_str(), f.unit.c_str(),
                    Number(*low).c_str(), Number(Median(f.samples)).c_str(), Number(*high).c_str(),
                    f.withP99 ? Number(Percentile(f.samples, 0.99)).c_str() : "", f.samples.size());
    }
    std::fflush(stdout);
}

std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        if (static_cast<unsigned char>(c) >= 0x20) out += c;
    }
    return out + "\"";
}

// ---- The machine.

struct Machine {
    unsigned cores = 0;
    std::string cpu;
    std::string wine;
};

Machine ThisMachine() {
    Machine machine;
    SYSTEM_INFO info{};
    GetSystemInfo(&info);
    machine.cores = info.dwNumberOfProcessors;
    std::ifstream cpuinfo("Z:\\proc\\cpuinfo");
    for (std::string line; std::getline(cpuinfo, line);) {
        if (line.starts_with("model name")) {
            machine.cpu = line.substr(line.find(':') + 2);
            break;
        }
    }
    using Version = const char*(CDECL*)();
    if (const auto version = reinterpret_cast<Version>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version"))))
        machine.wine = version();
    return machine;
}

bool WriteJson(const std::wstring& path, const Machine& machine, int cycles, int cyclesDone,
               const std::vector<Figure>& figures) {
    std::ostringstream out;
    out << "{\n  \"machine\": {\"cores\": " << machine.cores << ", \"cpu\": " << Quoted(machine.cpu)
        << ", \"wine\": " << Quoted(machine.wine) << "},\n";
    out << "  \"soak\": {\"cycles\": " << cycles << ", \"completed\": " << cyclesDone << "},\n";
    out << "  \"figures\": {";
    for (std::size_t i = 0; i < figures.size(); ++i) {
        const Figure& f = figures[i];
        out << (i ? ",\n" : "\n") << "    " << Quoted(f.key) << ": {\"label\": " << Quoted(f.label)
            << ", \"unit\": " << Quoted(f.unit) << ", \"n\": " << f.samples.size();
        if (!f.samples.empty()) {
            const auto [low, high] = std::minmax_element(f.samples.begin(), f.samples.end());
            out << ", \"min\": " << *low << ", \"median\": " << Median(f.samples) << ", \"max\": " << *high;
            if (f.withP99) out << ", \"p99\": " << Percentile(f.samples, 0.99);
        }
        out << "}";
    }
    out << "\n  }\n}\n";
    std::ofstream file{std::filesystem::path(path)};
    file << out.str();
    return static_cast<bool>(file);
}

// ---- A process measured from outside.

class Probe {
public:
    explicit Probe(DWORD pid)
        : m_pid(pid), m_process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid)) {}

    double WorkingSetMb() const {
        PROCESS_MEMORY_COUNTERS counters{};
        counters.cb = sizeof counters;
        if (!GetProcessMemoryInfo(m_process.get(), &counters, sizeof counters)) return NAN;
        return static_cast<double>(counters.WorkingSetSize) / (1024 * 1024);
    }

    // Kernel and user time of the threads running now. Wine keeps no total for another process; a
    // thread that ended meanwhile drops out, so measure over stretches in which none ends.
    double CpuMs() const {
        const fw::UniqueKernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
        if (!snapshot) return NAN;
        THREADENTRY32 entry{};
        entry.dwSize = sizeof entry;
        ULONGLONG total = 0;
        for (BOOL more = Thread32First(snapshot.get(), &entry); more;
             more = Thread32Next(snapshot.get(), &entry)) {
            if (entry.th32OwnerProcessID != m_pid) continue;
            const fw::UniqueKernelHandle thread(
                OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ThreadID));
            FILETIME created{}, ended{}, kernel{}, user{};
            if (!thread || !GetThreadTimes(thread.get(), &created, &ended, &kernel, &user)) continue;
            total +=
                (ULARGE_INTEGER{.LowPart = kernel.dwLowDateTime, .HighPart = kernel.dwHighDateTime})
                    .QuadPart +
                (ULARGE_INTEGER{.LowPart = user.dwLowDateTime, .HighPart = user.dwHighDateTime}).QuadPart;
        }
        return static_cast<double>(total) / 10000;
    }

private:
    DWORD m_pid;
    fw::UniqueKernelHandle m_process;
};

// ---- The two programs.

std::wstring ClassOf(HWND wnd) {
    wchar_t name[64] = {};
    GetClassNameW(wnd, name, 64);
    return name;
}

// Milliseconds from startMs until the process shows a top-level window of the class; nullopt when it does
// not in time. Polled every millisecond, the same way for both programs.
std::optional<double> UntilVisible(const Program& program, double startMs, const wchar_t* windowClass) {
    const double deadline = startMs + kStartTimeoutMs;
    while (NowMs() < deadline && program.Running()) {
        for (HWND wnd : program.TopLevelWindows()) {
            if (IsWindowVisible(wnd) && ClassOf(wnd) == windowClass) return NowMs() - startMs;
        }
        Sleep(1);
    }
    return std::nullopt;
}

constexpr wchar_t kDialogClass[] = L"#32770";

struct Bare {
    Bare() : startMs(NowMs()), program({.program = BareDialogPath()}) {}
    ~Bare() {
        for (HWND wnd : program.TopLevelWindows())
            PostMessageW(wnd, WM_CLOSE, 0, 0);
        program.WaitForExit(kExitTimeoutMs);
    }
    Bare(const Bare&) = delete;
    Bare& operator=(const Bare&) = delete;
    std::optional<double> Shown() const { return UntilVisible(program, startMs, kDialogClass); }

    double startMs;
    Program program;
};

struct Pairwright {
    explicit Pairwright(const std::wstring& scenario)
        : startMs(NowMs()), program({.environment = {{pw::kVirtualEnvironmentVariable, scenario},
                                                     {pw::trace::kEnvironmentVariable, trace.Path()}}}) {}
    Pairwright(const Pairwright&) = delete;
    Pairwright& operator=(const Pairwright&) = delete;
    std::optional<double> Shown() const { return UntilVisible(program, startMs, pw::kMainWindowClass); }

    Trace trace;
    double startMs;
    Program program;
};

void Note(const std::string& what) {
    std::fprintf(stderr, "pw_bench: %s\n", what.c_str());
}

// ---- Start-up and the working set after it.

struct StartFigures {
    Figure program{"startup_ms", "start-up to the main window, Pairwright", "ms"};
    Figure bare{"startup_bare_ms", "start-up to the dialog, bare dialog", "ms"};
    Figure ratio{"startup_ratio", "start-up ratio (same run)", "x"};
    Figure workingSet{"working_set_start_mb", "working set after start, Pairwright", "MB"};
    Figure workingSetBare{"working_set_bare_mb", "working set, bare dialog", "MB"};
    Figure workingSetRatio{"working_set_start_ratio", "working set ratio after start", "x"};
};

// The devices listed when the main window first showed: the list is filled before it shows.
int DevicesListedAtShow(const Trace& trace) {
    int devices = 0;
    for (const TraceLine& line : trace.Lines()) {
        if (line.category != "window") continue;
        if (line.text.starts_with("shown IDD_MAIN_DIALOG ")) return devices;
        if (line.text.starts_with("open IDD_DEVICE_ITEM ")) ++devices;
    }
    return -1;
}

void MeasureStart(StartFigures& f) {
    std::printf("pw_bench: start-up, %d runs of each, interleaved\n", kStartRuns);
    std::fflush(stdout);
    const auto bare = [&]() -> std::optional<double> {
        const Bare run;
        const auto shown = run.Shown();
        if (!shown) return Note("the bare dialog did not show"), std::nullopt;
        f.bare.samples.push_back(*shown);
        Sleep(kSettleMs);
        Record(f.workingSetBare, Probe(run.program.Id()).WorkingSetMb());
        return shown;
    };
    const auto program = [&]() -> std::optional<double> {
        Pairwright run(BenchFile("two_full_receivers.txt"));
        const auto shown = run.Shown();
        if (!shown) return Note("the main window did not show"), std::nullopt;
        if (const int devices = DevicesListedAtShow(run.trace); devices != 12)
            Note("the main window showed with " + std::to_string(devices) + " devices listed, not 12");
        f.program.samples.push_back(*shown);
        Sleep(kSettleMs);
        Record(f.workingSet, Probe(run.program.Id()).WorkingSetMb());
        run.program.Close();
        return shown;
    };
    // A first start of each fills the system's file cache and Wine's; it is not counted.
    {
        const Bare warm;
        warm.Shown();
    }
    {
        Pairwright warm(BenchFile("two_full_receivers.txt"));
        warm.Shown();
        warm.program.Close();
    }
    for (int i = 0; i < kStartRuns; ++i) {
        // Which goes first alternates, so that a trend in the machine's load favours neither.
        std::optional<double> b, p;
        if (i % 2 == 0) {
            b = bare();
            p = program();
        } else {
            p = program();
            b = bare();
        }
        if (b && p) f.ratio.samples.push_back(*p / *b);
    }
    if (!f.workingSetBare.samples.empty()) {
        const double bareMb = Median(f.workingSetBare.samples);
        for (const double mb : f.workingSet.samples)
            f.workingSetRatio.samples.push_back(mb / bareMb);
    }
}

// ---- Idle.

struct IdleFigures {
    Figure cpu{"idle_cpu_percent", "idle CPU, Pairwright (20 s windows)", "% core"};
    Figure cpuBare{"idle_cpu_bare_percent", "idle CPU, bare dialog (20 s windows)", "% core"};
    Figure cpuWhole{"idle_cpu_60s_percent", "idle CPU over the whole 60 s, Pairwright", "% core"};
    Figure cpuWholeBare{"idle_cpu_60s_bare_percent", "idle CPU over the whole 60 s, bare dialog", "% core"};
    Figure cpuTraced{"idle_cpu_traced_percent", "idle CPU, Pairwright with its trace on", "% core"};
    Figure exchanges{"idle_exchanges_per_receiver_s", "feature exchanges per receiver per second", "1/s"};
};

// Processor time over consecutive windows, as a percentage of one core; each window's span in trace time
// goes to `window` as well.
void SampleCpu(const std::vector<const Probe*>& probes, int windows, DWORD windowMs,
               const std::vector<Figure*>& into,
               const std::function<void(std::int64_t, std::int64_t)>& window = nullptr) {
    std::vector<double> before;
    for (const Probe* probe : probes)
        before.push_back(probe->CpuMs());
    std::int64_t from = pw::trace::NowMicroseconds();
    for (int i = 0; i < windows; ++i) {
        Sleep(windowMs);
        const std::int64_t to = pw::trace::NowMicroseconds();
        const double ms = static_cast<double>(to - from) / 1000;
        for (std::size_t p = 0; p < probes.size(); ++p) {
            const double now = probes[p]->CpuMs();
            Record(*into[p], (now - before[p]) / ms * 100);
            before[p] = now;
        }
        if (window) window(from, to);
        from = to;
    }
}

void MeasureIdle(IdleFigures& f) {
    std::printf("pw_bench: idle, %d windows of %lu s with the main window and %d receivers beside the bare "
                "dialog, then %lu s with the trace on\n",
                kIdleWindows, kIdleWindowMs / 1000, kReceivers, kIdleWindows * kTracedWindowMs / 1000);
    std::fflush(stdout);
    {
        // As a user runs it: no trace.
        const Bare bare;
        const Program program(
            {.environment = {{pw::kVirtualEnvironmentVariable, BenchFile("two_full_receivers.txt")}}});
        if (!bare.Shown() || !program.WaitForMainWindow())
            return Note("a program did not show for the idle run");
        Sleep(kSettleMs);
        const Probe programProbe(program.Id());
        const Probe bareProbe(bare.program.Id());
        SampleCpu({&programProbe, &bareProbe}, kIdleWindows, kIdleWindowMs, {&f.cpu, &f.cpuBare});
        // The windows are of one length: their mean is the whole stretch's figure.
        const auto mean = [](const Figure& windows) {
            double sum = 0;
            for (const double sample : windows.samples)
                sum += sample;
            return sum / static_cast<double>(windows.samples.size());
        };
        f.cpuWhole.samples.push_back(mean(f.cpu));
        f.cpuWholeBare.samples.push_back(mean(f.cpuBare));
    }
    Pairwright traced(BenchFile("two_full_receivers.txt"));
    if (!traced.Shown()) return Note("the main window did not show for the traced idle run");
    Sleep(kSettleMs);
    const Probe probe(traced.program.Id());
    SampleCpu({&probe}, kIdleWindows, kTracedWindowMs, {&f.cpuTraced},
              [&](std::int64_t from, std::int64_t to) {
                  // One exchange is a command written and its answer read back.
                  const std::vector<TraceLine>& lines = traced.trace.Lines();
                  const auto writes = std::count_if(lines.begin(), lines.end(), [&](const TraceLine& line) {
                      return line.category == "hid" && line.text.starts_with("set-feature ") &&
                             line.microseconds >= from && line.microseconds < to;
                  });
                  f.exchanges.samples.push_back(static_cast<double>(writes) * 1e6 /
                                                static_cast<double>(to - from) / kReceivers);
              });
    traced.program.Close();
}

// ---- The soak: pair requests and their latency, the working set after it.

struct SoakFigures {
    Figure latency{"pair_request_latency_ms", "input report to pair request shown", "ms", {}, true};
    Figure workingSetBefore{"working_set_soak_start_mb", "working set before the soak, Pairwright", "MB"};
    Figure workingSetAfter{"working_set_soak_end_mb", "working set after the soak, Pairwright", "MB"};
    Figure workingSetRatio{"working_set_soak_end_ratio", "working set ratio after the soak", "x"};
    int completed = 0;
};

std::string CycleMouse(int i) {
    return "QT " + std::to_string(101 + i);
}

std::string SoakScenario(int cycles) {
    std::ostringstream s;
    s << "# Written by pw_bench: " << cycles
      << " cycles of a receiver pulled out and back and a mouse paired.\n"
      << "receiver R1 name \"Vorn Veltrane Receiver\" firmware 1.2.0.5\n"
      << "receiver R2 name \"Vorn Veltrane Receiver\" firmware 1.2.1.0\n";
    for (int d = 1; d <= 11; ++d) {
        char line[96];
        std::snprintf(line, sizeof line, "%s D%d name \"QT %d\" id 0x0a00%02x\n",
                      d % 2 ? "keyboard" : "mouse", d, d, d);
        s << line;
    }
    for (int i = 0; i < cycles; ++i) {
        char line[96];
        std::snprintf(line, sizeof line, "mouse P%d name \"%s\" id 0x0c%04x joins 300\n", i,
                      CycleMouse(i).c_str(), i);
        s << line;
    }
    s << "plug R1 with D1 D2 D3 D4 D5\nplug R2 with D6 D7 D8 D9 D10 D11\n";
    for (int i = 0; i < cycles; ++i) {
        const std::uint64_t at = kSoakStartMs + static_cast<std::uint64_t>(i) * kCycleMs;
        s << "at " << at << " ms unplug R2\n"
          << "at " << at + kAskAtMs << " ms P" << i << " asks R1\n"
          << "at " << at + kCycleMs - kReplugBeforeEndMs << " ms plug R2\n";
    }
    return s.str();
}

std::wstring WriteTempFile(const std::string& text) {
    wchar_t folder[MAX_PATH] = {};
    wchar_t file[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    GetTempFileNameW(folder, L"pwb", 0, file);
    std::ofstream{std::filesystem::path(file), std::ios::binary} << text;
    return file;
}

// From the window lines since `from`: the pair request's input report as the seam read it, to the
// request shown.
std::optional<double> RequestLatencyMs(const Trace& trace, HWND request, std::size_t from) {
    std::optional<std::int64_t> input;
    char handle[32] = {};
    std::snprintf(handle, sizeof handle, "%p", static_cast<void*>(request));
    const std::vector<TraceLine>& lines = trace.Lines();
    for (std::size_t i = from; i < lines.size(); ++i) {
        const TraceLine& line = lines[i];
        if (line.category == "hid" && line.text.starts_with("input ") &&
            line.text.substr(line.text.rfind(' ') + 1).starts_with("0901"))
            input = line.microseconds;
        if (line.category == "window" && line.text == std::string("shown IDD_PAIR_REQ ") + handle)
            return input ? std::optional(static_cast<double>(line.microseconds - *input) / 1000)
                         : std::nullopt;
    }
    return std::nullopt;
}

// One pairing through the pop-ups and the mouse's removal through its confirmation; false, with the
// step named, when a step does not come.
bool PairAndRemove(const Pairwright& run, HWND view, int i, SoakFigures& f) {
    const Trace& trace = run.trace;
    const std::size_t mark = trace.Lines().size();
    const auto missed = [&](const char* step) {
        Note("cycle " + std::to_string(i) + ": " + step + " did not come");
        return false;
    };
    HWND request = trace.WaitForShown("IDD_PAIR_REQ", kCycleMs + kWaitMs, mark);
    if (!request) return missed("the pair request");
    if (const auto ms = RequestLatencyMs(trace, request, mark)) f.latency.samples.push_back(*ms);
    if (!Click(request, IDC_BTN_ADD_DEVICE)) return missed("a press of Add Device");
    HWND success = trace.WaitForShown("IDD_PAIR_SUCC", kWatchMs, mark);
    if (!success || !Click(success, IDC_BTN_FINISH)) return missed("the success page");
    trace.WaitForClose(success);
    const std::wstring mouse = DeviceName(ProgramFolder(), CycleMouse(i), kMouse);
    HWND row = nullptr;
    WaitUntil(
        [&] {
            for (const Row& each : Rows(trace, view)) {
                if (each.name == mouse) row = each.hwnd;
            }
            return row != nullptr;
        },
        kWaitMs);
    if (!row || !Click(row, IDC_BTN_DELETE_DEV)) return missed("the new mouse's row");
    HWND question = trace.WaitForShown("IDD_DEL_DEV_REQ", kWaitMs, mark);
    if (!question || !Click(question, IDC_BTN_DELETE)) return missed("the removal's confirmation");
    if (!trace.WaitForClose(row)) return missed("the removal");
    return true;
}

void MeasureSoak(int cycles, double bareMb, const std::wstring& traceCopy, SoakFigures& f) {
    std::printf(
        "pw_bench: soak, %d cycles of a receiver pulled out and back with a mouse paired and removed\n",
        cycles);
    std::fflush(stdout);
    const std::wstring scenario = WriteTempFile(SoakScenario(cycles));
    {
        Pairwright run(scenario);
        if (!run.Shown()) {
            Note("the main window did not show for the soak");
        } else {
            const Probe probe(run.program.Id());
            HWND view = run.trace.WaitForOpen("IDD_ITEM_VIEW");
            Sleep(kSettleMs);
            Record(f.workingSetBefore, probe.WorkingSetMb());
            for (int i = 0; i < cycles; ++i) {
                if (PairAndRemove(run, view, i, f)) ++f.completed;
                if (i % 10 == 9) {
                    std::printf("pw_bench:   %d cycles, %d complete\n", i + 1, f.completed);
                    std::fflush(stdout);
                }
            }
            // The last cycle plugs the second receiver back in; both lists are whole again.
            const auto arrivals = [&] { return run.trace.Find("discovery", "^arrival receiver ").size(); };
            if (!WaitUntil([&] { return arrivals() >= static_cast<std::size_t>(cycles) + kReceivers; },
                           kCycleMs + kWaitMs))
                Note("the second receiver did not come back after the last cycle");
            Sleep(kSettleMs);
            if (const auto rows = Rows(run.trace, view);
                std::count_if(rows.begin(), rows.end(),
                              [](const Row& r) { return r.symbol == "IDD_DEVICE_ITEM"; }) != 11)
                Note("after the soak the list shows " + Describe(rows));
            if (const auto open = VisibleWindows(run.program); open.size() != 1)
                Note(std::to_string(open.size()) +
                     " windows visible after the soak, not only the main window");
            Record(f.workingSetAfter, probe.WorkingSetMb());
            if (bareMb > 0 && !f.workingSetAfter.samples.empty())
                f.workingSetRatio.samples.push_back(f.workingSetAfter.samples.back() / bareMb);
            run.program.Close();
            CopyFileW(run.trace.Path().c_str(), traceCopy.c_str(), FALSE);
        }
    }
    DeleteFileW(scenario.c_str());
}

} // namespace

int main() {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 2) {
        std::fprintf(stderr, "usage: pw_bench JSON_FILE [CYCLES [start|idle|soak]]\n");
        return 2;
    }
    const std::wstring json = argv[1];
    const int cycles = argc > 2 ? std::max(1, _wtoi(argv[2])) : kDefaultCycles;
    const std::wstring only = argc > 3 ? argv[3] : L"";
    const auto part = [&](const wchar_t* name) { return only.empty() || only == name; };
    LocalFree(argv);

    const Machine machine = ThisMachine();
    std::printf("pw_bench: %u cores, %s, %s\n", machine.cores, machine.cpu.c_str(), machine.wine.c_str());
    // The welcome page would open over the main window on every start.
    ForgetSettings();
    PlantSetting(pw::settings::kShowWelcome, 0);

    StartFigures start;
    if (part(L"start")) MeasureStart(start);
    IdleFigures idle;
    if (part(L"idle")) MeasureIdle(idle);
    SoakFigures soak;
    const std::wstring soakTrace =
        std::filesystem::path(json).replace_filename(L"bench-soak-trace.txt").wstring();
    if (part(L"soak"))
        MeasureSoak(cycles, start.workingSetBare.samples.empty() ? 0 : Median(start.workingSetBare.samples),
                    soakTrace, soak);
    ForgetSettings();

    soak.workingSetAfter.label += " (" + std::to_string(cycles) + " cycles)";
    const std::vector<Figure> figures = {start.program,
                                         start.bare,
                                         start.ratio,
                                         soak.latency,
                                         idle.cpu,
                                         idle.cpuBare,
                                         idle.cpuWhole,
                                         idle.cpuWholeBare,
                                         idle.cpuTraced,
                                         idle.exchanges,
                                         start.workingSet,
                                         start.workingSetBare,
                                         start.workingSetRatio,
                                         soak.workingSetBefore,
                                         soak.workingSetAfter,
                                         soak.workingSetRatio};
    PrintTable(figures);
    std::printf("soak: %d of %d cycles complete\n", soak.completed, cycles);
    if (!WriteJson(json, machine, cycles, soak.completed, figures)) {
        Note("cannot write the figures");
        return 1;
    }
    const bool whole =
        soak.completed == cycles &&
        std::all_of(figures.begin(), figures.end(), [](const Figure& f) { return !f.samples.empty(); });
    return whole ? 0 : 1;
}
