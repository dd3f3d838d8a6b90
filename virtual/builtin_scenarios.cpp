#include "virtual/scenario.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace pw::virt {

const BuiltInScenario kBuiltInScenarios[1] = {
    {L"demo", R"(# One receiver with a keyboard; a mouse asks to be paired a few seconds in.
receiver R1 name "Vorn Veltrane Receiver" firmware 1.2.0.5
keyboard K1 name "Slim Keyboard" id 0x0a0b0c
mouse M1 name "Travel Mouse" id 0x123456 joins 1500
plug R1 with K1
at 4 s M1 asks R1
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
