#include "virtual/scenario.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace pw::virt {

const BuiltInScenario kBuiltInScenarios[1] = {
    {L"demo",
     R"(# The demo's story, paced for a user clicking through its pages. A receiver with a keyboard and a
# mouse; a mouse asks to be paired; the keyboard, already connected, asks again; a second receiver is
# plugged in and a keyboard asks it to pair, then it is pulled out again; a mouse that takes no
# further receivers asks; a keyboard is accepted but never shows up; at the end the receiver is
# pulled out and plugged in again. Each device stops asking before the next one starts.
receiver R1 name "Vorn Veltrane Receiver" firmware 1.2.0.5
receiver R2 name "Vorn Veltrane Receiver" firmware 1.2.1.0
keyboard K1 name "QT 1" id 0x0a0b0c patience 6000
mouse M2 name "QT 2" id 0x1b2c3d firmware 1.0.2.1
mouse M5 name "QT 5" id 0x123456 joins 4000 patience 20000
keyboard K8 name "QT 8" id 0x080808
keyboard K7 name "QT 7" id 0x070707 patience 8000
mouse M9 name "QT 9" id 0x090909 limited patience 6000
keyboard K6 name "QT 6" id 0x060606 joins never patience 20000
plug R1 with K1 M2
at 12 s M5 asks R1
at 36 s K1 asks R1
at 44 s plug R2 with K8
at 48 s K7 asks R2
at 56 s unplug R2
at 60 s M9 asks R1
at 68 s K6 asks R1
at 108 s unplug R1
at 112 s plug R1
)"},
};

bool LoadScenario(const std::wstring& nameOrPath, Scenario& scenario, std::string& error) {
    std::string text;
    bool found = false;
    for (const BuiltInScenario& builtIn : kBuiltInScenarios) {
        if (nameOrPath == builtIn.name) {
            text = builtIn.text;
            found = true;
        }
    }
    if (!found) {
        std::ifstream file(std::filesystem::path(nameOrPath), std::ios::binary);
        if (!file) {
            error = "cannot read the scenario file";
            return false;
        }
        std::ostringstream content;
        content << file.rdbuf();
        text = content.str();
    }
    ScenarioParse parse = ParseScenario(text);
    if (!parse.ok) {
        error = "line " + std::to_string(parse.errorLine) + ": " + parse.error;
        return false;
    }
    scenario = std::move(parse.scenario);
    return true;
}

} // namespace pw::virt
