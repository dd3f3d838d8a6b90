// The two soaks as routines: a receiver plugged in and pulled out cycle after cycle, some cycles during
// a pairing, and a device paired and removed again through the dialogs cycle after cycle, with the
// program's resources sampled as they go.
#pragma once

#include "tests/soak/driver.h"

#include <string>
#include <vector>

namespace pwtest::soak {

// How long the program may take for anything one cycle waits for.
inline constexpr DWORD kCycleWaitMs = 20000;

struct Sample {
    int cycle = 0; // cycles done when it was taken
    Resources resources;
};

struct SoakResult {
    std::string failure; // where the soak stopped early; empty when every cycle ran
    std::vector<Sample> samples;
    int cycles = 0;
    int arrivals = 0;         // arrivals of the receiver's command interface that discovery handled
    int removals = 0;         // and removals
    int expectedArrivals = 0; // the bus's plugging after the program's first discovery
    int expectedRemovals = 0;
    int pairingCycles = 0;                     // cycles that pulled the receiver out during a pairing
    std::vector<std::string> panelDifferences; // at the end, against what the receiver holds
    double longestUiAnswerMs = 0;
    int uiHangs = 0;
    bool closedCleanly = false;
};

// How far a later sample may lie above the first before the soak fails.
struct Tolerance {
    std::size_t handles = 0;
    std::size_t gdiObjects = 0;
    std::size_t workingSetBytes = 0;
};
inline constexpr Tolerance kSoakTolerance{.handles = 8, .gdiObjects = 8, .workingSetBytes = 4 << 20};

// The receiver pulled out and plugged in again `cycles` times; every tenth cycle a device asks to be
// paired, is accepted, and the receiver goes in the middle of the pairing watch.
SoakResult PlugSoak(int cycles, int sampleEvery);
// `cycles` times: a device asks to be paired, is accepted, shows up, is finished and removed again
// through the dialogs; it asks again once it is removed.
SoakResult PairSoak(int cycles, int sampleEvery);

// "" when every sample after the first stays within the tolerance of the first, else what grew.
std::string CheckFlat(const std::vector<Sample>& samples, const Tolerance& tolerance);
// One line of the soak table: name, cycles, samples, first and last handles, GDI objects and working
// set, tolerance, verdict.
std::string TableRow(const std::string& name, const SoakResult& result, const Tolerance& tolerance,
                     bool passed);

// Cycles for this run: PW_SOAK_CYCLES, or `fallback` when it is not set.
int CyclesFromEnvironment(int fallback);

} // namespace pwtest::soak
