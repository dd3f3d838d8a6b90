// The soaks: a short run of each by default, the full thousand cycles with PW_SOAK_CYCLES=1000
// (./test.sh soak). Each prints its row of the soak table.
#include "tests/soak/soak.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

namespace {

using namespace pwtest;
using namespace pwtest::soak;

class Soak : public e2e::EndToEnd {
protected:
    static int Cycles() { return CyclesFromEnvironment(20); }
    static int SampleEvery() { return Cycles() >= 200 ? 100 : std::max(1, Cycles() / 4); }

    static void Expect(const char* name, const SoakResult& result) {
        const std::string grown = CheckFlat(result.samples, kSoakTolerance);
        EXPECT_EQ(result.failure, "");
        EXPECT_EQ(result.cycles, Cycles());
        EXPECT_EQ(result.arrivals, result.expectedArrivals) << "every arrival handled";
        EXPECT_EQ(result.removals, result.expectedRemovals) << "every removal handled";
        EXPECT_TRUE(result.panelDifferences.empty()) << testing::PrintToString(result.panelDifferences);
        EXPECT_EQ(result.uiHangs, 0) << "the longest answer took " << result.longestUiAnswerMs << " ms";
        EXPECT_TRUE(result.closedCleanly);
        EXPECT_EQ(grown, "");
        const bool passed = !HasFailure();
        std::printf("%s\n", TableRow(name, result, kSoakTolerance, passed).c_str());
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
