// Running the real program for long and under faults, and measuring it, from outside: scenario files
// written for one run, the program on such a file with its trace, its handles, GDI objects, working set
// and CPU time as other processes see them, a probe of its user-interface thread, the panel as its
// windows show it and the receiver's own answers as the bus's trace lines give them. Shared by the
// soak and fault tests and the benchmarks.
#pragma once

#include "common/types.h"
#include "tests/e2e/harness.h"

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace pwtest::soak {

// A scenario (the format of virtual/scenario.h) in a temporary file, deleted again by the destructor.
class ScenarioFile {
public:
    explicit ScenarioFile(const std::string& text);
    ~ScenarioFile();
    ScenarioFile(const ScenarioFile&) = delete;
    ScenarioFile& operator=(const ScenarioFile&) = delete;
    const std::wstring& Path() const { return m_path; }

private:
    std::wstring m_path;
};

// The program on a scenario file, with a fresh trace and the settings of e2e::EndToEnd.
class ProgramRun {
public:
    explicit ProgramRun(const ScenarioFile& scenario, const std::wstring& arguments = {},
                        std::wstring program = ProgramPath());
    e2e::Trace trace;
    Program program;
};

// A text value in the program's settings key.
void PlantText(const wchar_t* name, const std::wstring& value);
// The interface key of a receiver's command collection, known to discovery before it starts: the
// receiver is opened at every arrival without a trial open first.
void PlantKnownReceiver(const std::wstring& commandKey);

// Wine waits two seconds for a window manager whenever a window it manages (every window that was ever
// active) goes; there is none under Xvfb. While this lives, Wine leaves the program's windows unmanaged.
class UnmanagedWindows {
public:
    explicit UnmanagedWindows(std::wstring executable = L"Pairwright.exe");
    ~UnmanagedWindows();
    UnmanagedWindows(const UnmanagedWindows&) = delete;
    UnmanagedWindows& operator=(const UnmanagedWindows&) = delete;

private:
    std::wstring m_key;
    bool m_created = false;
};

// ---- The process from outside.

struct Resources {
    std::size_t handles = 0;    // kernel handles, counted in the system's handle table
    std::size_t gdiObjects = 0; // live entries of the process's GDI handle table (Wine's
                                // GetGuiResources answers 0)
    std::size_t workingSet = 0; // bytes
};
Resources Measure(DWORD processId);

// CPU time in nanoseconds that the Linux process running the program has used, read from /proc
// through drive Z: (Wine's GetProcessTimes misses most of it). The process is the newest one of this
// Wine prefix started from the program file (the program runs once per prefix).
class LinuxCpuClock {
public:
    explicit LinuxCpuClock(const std::wstring& programPath = ProgramPath());
    bool Found() const { return m_pid != 0; }
    std::optional<std::uint64_t> Nanoseconds() const;

private:
    int m_pid = 0;
};

// Sends WM_NULL to the window every 50 ms from a thread of its own and keeps the longest time an
// answer took; an answer that takes longer than the limit counts as a hang.
class UiProbe {
public:
    explicit UiProbe(HWND window, DWORD limitMs = 1000);
    ~UiProbe();
    UiProbe(const UiProbe&) = delete;
    UiProbe& operator=(const UiProbe&) = delete;
    double LongestMs() const { return m_longestUs.load() / 1000.0; }
    int Hangs() const { return m_hangs.load(); }
    int Probes() const { return m_probes.load(); }

private:
    HWND m_window;
    DWORD m_limitMs;
    std::atomic<bool> m_stop{false};
    std::atomic<std::int64_t> m_longestUs{0};
    std::atomic<int> m_hangs{0};
    std::atomic<int> m_probes{0};
    std::thread m_thread;
};

// ---- What the program shows.

struct ReceiverRow {
    std::wstring name;
    std::wstring firmware;
    std::wstring counts;
};
struct DeviceRow {
    std::wstring name;
    std::wstring firmware;
};
struct Panel {
    std::vector<ReceiverRow> receivers;
    std::vector<DeviceRow> devices; // every device item, in the order they were opened
    bool tipShown = false;          // the no-receiver tip, shown in its window (the main window may hide)
};
// The receiver and device items open now (by the trace's window lines), read through their windows.
Panel ReadPanel(const e2e::Trace& trace);

// ---- What the receiver says, from the bus's lines of the trace.

struct ReceiverTruth {
    bool plugged = false;
    std::string name;
    std::uint8_t firmwareHigh = 0;
    std::uint8_t firmwareLow = 0;
    std::vector<pw::DeviceSlotRecord> slots; // the occupied ones
};
// The receiver `tag` as the bus's latest lines say: plugged by its plug and unplug lines, name,
// firmware and slots by its latest holdings line.
ReceiverTruth ReadTruth(const e2e::Trace& trace, const std::string& tag);
// The panel that shows exactly that, in the language of the program folder.
Panel ExpectedPanel(const ReceiverTruth& truth);
// Differences between what the panel shows and what it should show, one line each; empty when none.
std::vector<std::string> Compare(const Panel& shown, const Panel& expected);

// ---- Reading the trace.

// Feature transfers on the interface path in the bus lines with index in [from, to).
int CountTransfers(const e2e::Trace& trace, const std::string& path, std::size_t from, std::size_t to);
// Waits until no bus line has come for quietMs; false when that does not happen before the timeout.
bool WaitForQuiet(const e2e::Trace& trace, DWORD quietMs, DWORD timeoutMs = e2e::kWaitMs);
// The handle a window line of the trace names.
HWND WindowOf(const e2e::TraceLine& line);
// The interface path a discovery line names.
std::string PathOf(const e2e::TraceLine& discovery);

// ---- Acting on windows a user could not reach (the main window hidden by "NoShow").

// BN_CLICKED from the button, as its click would send it; false when there is no such control.
bool PostClick(HWND dialog, int id);

} // namespace pwtest::soak
