// The two soaks as routines, for the soak tests and the benchmarks: a receiver plugged in and pulled out
// cycle after cycle, some cycles during a pairing, and devices paired and removed again through the
// dialogs, cycle after cycle, with the program's resources sampled as they go.
#pragma once

#include "tests/soak/driver.h"

#include <functional>
#include <string>
#include <vector>

namespace pwtest::soak {

// How long the program may take for anything a cycle waits for.
inline constexpr DWORD kCycleWaitMs = 20000;

struct Sample {
    int cycle = 0;
    Resources resources;
};

struct SoakResult {
    bool completed = false;    // every cycle ran; otherwise `failure` says where it stopped
    std::string failure;
    std::vector<Sample> samples; // after every `sampleEvery` cycles
    int arrivals = 0;            // receivers discovery took up
    int removals = 0;            // receivers discovery dropped
    int pairingCycles = 0;       // plug cycles during which a pairing was under way
    std::vector<std::string> panelDifferences; // at the end, against the receiver's own answers
    double longestUiAnswerMs = 0;
    int uiHangs = 0;
    Resources end;
};

// Step spacings of the generated scenarios, wall-clock milliseconds.
inline constexpr int kPlugHeldMs = 300;  // plugged in for this long in each cycle...
inline constexpr int kPlugAwayMs = 300;  // ...then pulled out for this long
inline constexpr int kPairSpacingMs = 900; // one device asks to be paired every this often

// The receiver plugged in and pulled out `cycles` times; every tenth cycle a device asks to be paired
// while it is in, the request is accepted and the receiver goes in the middle of the pairing.
SoakResult PlugSoak(int cycles, int sampleEvery);
// `cycles` devices, one after the other, asking to be paired, accepted, finished and removed again
// through the dialogs.
SoakResult PairSoak(int cycles, int sampleEvery);

// The samples after the first stay within the tolerances of the first: "" or what grew beyond them.
struct Tolerance {
    std::size_t handles = 0;
    std::size_t gdiObjects = 0;
    std::size_t workingSetBytes = 0;
};
std::string CheckFlat(const std::vector<Sample>& samples, const Tolerance& tolerance);

} // namespace pwtest::soak
