#include "tests/soak/driver.h"

#include <gtest/gtest.h>

namespace {

using namespace pwtest;
using namespace pwtest::soak;

TEST(Probe, Measures) {
    e2e::ForgetSettings();
    e2e::PlantSetting(L"ShowWelcome", 0);
    UnmanagedWindows unmanaged;
    ScenarioFile scenario("receiver R1 name \"Vorn Veltrane Receiver\"\n"
                          "keyboard K1 name \"QT 1\" id 0x0a0b01\n"
                          "mouse M1 name \"QT 2\" id 0x0a0b02\n"
                          "plug R1 with K1 M1\n");
    for (int i = 0; i < 3; ++i) {
        ProgramRun run(scenario);
        HWND main = run.program.WaitForMainWindow();
        ASSERT_NE(main, nullptr);
        ASSERT_TRUE(WaitForQuiet(run.trace, 600));
        const Resources r = Measure(run.program.Id());
        LinuxCpuClock cpu;
        printf("handles %zu gdi %zu ws %zu cpu found %d ns %llu\n", r.handles, r.gdiObjects, r.workingSet,
               cpu.Found(), cpu.Nanoseconds().value_or(0));
        const auto truth = ReadTruth(run.trace, "R1", PathOf(*run.trace.WaitFor("discovery", "^arrival receiver ")));
        const auto diff = Compare(ReadPanel(run.trace), ExpectedPanel(truth));
        for (auto& d : diff) printf("diff %s\n", d.c_str());
        printf("slots %zu name %s\n", truth.slots.size(), truth.name.c_str());
        ASSERT_TRUE(run.program.Close());
    }
}

} // namespace
