// Scenario text from outside: parsed, and when it parses, played to the end on a bus.
#include "virtual/scenario.h"

#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 4096) return 0;
    const auto parsed = pw::virt::ParseScenario(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!parsed.ok || parsed.scenario.steps.size() > 64) return 0; // keeps each run short
    pw::virt::VirtualBus bus;
    const std::uint64_t end = pw::virt::PlayScenario(bus, parsed.scenario);
    bus.AdvanceTo(end + pw::virt::kJoinGiveUpMs + 1000);
    return 0;
}
