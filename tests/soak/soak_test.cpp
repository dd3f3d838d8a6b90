// The soaks: a short run of each by default, the full thousand cycles with PW_SOAK_CYCLES=1000
// (./test.sh soak). Each prints its row of the soak table.
#include "tests/soak/soak.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <vector>

namespace {

using namespace pwtest;
using namespace pwtest::soak;

// The resources a run settles at come after its second pairing cycle (cycle 11): the first pop-ups and
// Wine's caches are built by then. The full run samples first at cycle 100; a short run's earlier
// samples are left out of the comparison.
constexpr int kSettledAfterCycle = 11;

class Soak : public e2e::EndToEnd {
protected:
    static int Cycles() { return CyclesFromEnvironment(30); }
    static int SampleEvery() { return Cycles() >= 200 ? 100 : 5; }

    static void Expect(const char* name, const SoakResult& result) {
        SoakResult settled = result;
        settled.samples.clear();
        std::copy_if(result.samples.begin(), result.samples.end(), std::back_inserter(settled.samples),
                     [](const Sample& s) { return s.cycle > kSettledAfterCycle; });
        const std::string grown = CheckFlat(settled.samples, kSoakTolerance);
        EXPECT_EQ(result.failure, "");
        EXPECT_EQ(result.cycles, Cycles());
        EXPECT_EQ(result.arrivals, result.expectedArrivals) << "every arrival handled";
        EXPECT_EQ(result.removals, result.expectedRemovals) << "every removal handled";
        EXPECT_TRUE(result.panelDifferences.empty()) << testing::PrintToString(result.panelDifferences);
        EXPECT_EQ(result.uiHangs, 0) << "the longest answer took " << result.longestUiAnswerMs << " ms";
        EXPECT_TRUE(result.closedCleanly);
        EXPECT_EQ(grown, "");
        const bool passed = !HasFailure();
        std::printf("%s\n", TableRow(name, settled, kSoakTolerance, passed).c_str());
        std::printf("%s: %d pairing cycles cut short, longest user-interface answer %.0f ms\n", name,
                    result.pairingCycles, result.longestUiAnswerMs);
    }

    UnmanagedWindows m_unmanaged;
};

TEST_F(Soak, PlugAndUnplug) {
    const SoakResult result = PlugSoak(Cycles(), SampleEvery());
    EXPECT_GT(result.pairingCycles, 0) << "some cycles pull the receiver out during a pairing";
    Expect("plug", result);
}

TEST_F(Soak, PairAndRemove) {
    Expect("pair", PairSoak(Cycles(), SampleEvery()));
}

} // namespace
