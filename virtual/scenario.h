// A small script of timed steps for the virtual bus, for tests and the demo. One step or declaration
// per line; '#' starts a comment; words are separated by blanks or commas; texts are quoted.
//
//   receiver R1 name "Vorn Veltrane" firmware 1.2.0.5 vid 2f1e pid 7a31
//   keyboard K1 name "Slim Keyboard" id 0x0a0b0c
//   mouse M1 name "Travel Mouse" id 0x123456 joins 1500      # or: joins never; limited; patience 8000;
//                                                            # again (asks anew once it was removed)
//   other X1 input32 name "Desk Dial"                          # or feature32
//   plug R1 with K1                                            # at 0 ms: pair K1, then plug R1
//   at 2000 ms M1 asks R1                                      # asks once a second until answered
//   at 5 s K1 inactive
//   at 6000 report R1 09 01 02                                 # a raw input report, any length
//   at 6000 flood R1 50 09 05 01
//   at 7000 fail R1 writes 2                                   # writes, reads or input
//   at 7000 fail R1 reads 1 after 10                           # once 10 more transfers have passed
//   at 7000 reply R1 08 03 ff                                  # the next feature read returns these bytes
//   at 8000 unplug R1 after 1                                  # pulled out after one more transfer
//   at 8000 unplug R1 after 3 replug 500                       # and plugged in again 500 ms later
//   at 9000 unplug R1
//
// A step without "at" happens at the time of the step before it. Times count from when the
// scenario starts playing.
#pragma once

#include "virtual/virtual_receiver.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pw::virt {

enum class StepAction {
    Plug,       // target, then `with` devices paired first
    Unplug,     // target; count > 0: after that many feature transfers, replugMs: back in after that
    Pair,       // device into target's first free slot
    Ask,        // device asks target to pair
    Activity,   // device active (flag) or not, on every receiver that holds it
    Report,     // raw input report
    Flood,      // count copies of bytes
    FailWrites, // count, after
    FailReads,  // count, after
    FailInput,  // count
    Reply,      // next feature read returns bytes (zero-padded to 32)
};

struct ScenarioStep {
    std::uint64_t atMs = 0;
    StepAction action = StepAction::Plug;
    std::string target;
    std::string device;
    std::vector<std::string> with;
    std::vector<std::uint8_t> bytes;
    std::uint64_t count = 0;
    std::uint64_t after = 0;
    std::optional<std::uint64_t> replugMs;
    bool flag = false;
};

struct Scenario {
    std::vector<ReceiverConfig> receivers;
    std::vector<OtherConfig> others;
    std::vector<DeviceConfig> devices;
    std::vector<ScenarioStep> steps;
};

struct ScenarioParse {
    bool ok = false;
    Scenario scenario;
    int errorLine = 0;
    std::string error;
};

constexpr std::uint64_t kMaxScenarioTimeMs = 3600ull * 1000;
constexpr std::uint64_t kMaxFloodCount = 1000;

ScenarioParse ParseScenario(std::string_view text);

// Scenarios that come with the program, by name.
struct BuiltInScenario {
    const wchar_t* name;
    std::string_view text;
};
extern const BuiltInScenario kBuiltInScenarios[1];

// The scenario a built-in name or a scenario file stands for; false with the reason in error when the
// file cannot be read or does not parse.
bool LoadScenario(const std::wstring& nameOrPath, Scenario& scenario, std::string& error);

// Adds the scenario's receivers and other devices to the bus (reusing devices the bus already has under
// the same tag) and schedules every step relative to the bus's current time. Returns the time of the
// last step. The steps need only the bus afterwards.
std::uint64_t PlayScenario(VirtualBus& bus, const Scenario& scenario);

} // namespace pw::virt
