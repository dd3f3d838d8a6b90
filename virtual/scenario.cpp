#include "virtual/scenario.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <functional>
#include <charconv>
#include <map>
#include <optional>

namespace pw::virt {
namespace {

struct Token {
    std::string text;
    bool quoted = false;
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == ',';
}

bool Tokenize(std::string_view line, std::vector<Token>& tokens, std::string& error) {
    std::size_t i = 0;
    while (i < line.size()) {
        const char c = line[i];
        if (IsBlank(c)) {
            ++i;
        } else if (c == '#') {
            break;
        } else if (c == '"' || c == '\'') {
            const std::size_t end = line.find(c, i + 1);
            if (end == std::string_view::npos) {
                error = "unterminated text";
                return false;
            }
            tokens.push_back({std::string(line.substr(i + 1, end - i - 1)), true});
            i = end + 1;
        } else {
            std::size_t end = i;
            while (end < line.size() && !IsBlank(line[end]) && line[end] != '#' && line[end] != '"' &&
                   line[end] != '\'')
                ++end;
            tokens.push_back({std::string(line.substr(i, end - i)), false});
            i = end;
        }
    }
    return true;
}

std::optional<std::uint64_t> ParseNumber(std::string_view text, int base = 10) {
    if (base == 10 && text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    std::uint64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

constexpr std::string_view kKeywords[] = {
    "receiver", "keyboard", "mouse",  "other",    "at",     "plug",    "unplug", "with",  "after",
    "pair",     "asks",     "active", "inactive", "report", "flood",   "fail",   "reply", "writes",
    "reads",    "input",    "name",   "never",    "joins",  "limited", "replug", "again"};

bool IsTag(std::string_view text) {
    if (text.empty() || text.size() > 32 || !std::isalpha(static_cast<unsigned char>(text[0]))) return false;
    for (const char c : text) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '-') return false;
    }
    return std::find(std::begin(kKeywords), std::end(kKeywords), text) == std::end(kKeywords);
}

class Parser {
public:
    ScenarioParse Run(std::string_view text) {
        ScenarioParse result;
        int lineNumber = 0;
        while (!text.empty()) {
            ++lineNumber;
            const std::size_t end = text.find('\n');
            const std::string_view line = text.substr(0, end);
            text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
            std::vector<Token> tokens;
            if (!Tokenize(line, tokens, m_error) || !ParseLine(tokens)) {
                result.errorLine = lineNumber;
                result.error = m_error;
                return result;
            }
        }
        result.ok = true;
        result.scenario = std::move(m_scenario);
        return result;
    }

private:
    enum class Kind { Receiver, Other, Device };

    bool Fail(std::string message) {
        m_error = std::move(message);
        return false;
    }

    bool ParseLine(const std::vector<Token>& tokens) {
        m_tokens = &tokens;
        m_pos = 0;
        if (tokens.empty()) return true;
        if (Peek() == "receiver" || Peek() == "keyboard" || Peek() == "mouse" || Peek() == "other")
            return ParseDeclaration();
        if (Peek() == "at" && !ParseTime()) return false;
        if (AtEnd()) return Fail("a step is missing");
        return ParseStep();
    }

    bool AtEnd() const { return m_pos >= m_tokens->size(); }
    std::string_view Peek(std::size_t ahead = 0) const {
        return m_pos + ahead < m_tokens->size() ? std::string_view((*m_tokens)[m_pos + ahead].text)
                                                : std::string_view();
    }
    bool PeekQuoted() const { return !AtEnd() && (*m_tokens)[m_pos].quoted; }
    std::string Next() { return AtEnd() ? std::string() : (*m_tokens)[m_pos++].text; }
    bool Expect(std::string_view word) {
        if (PeekQuoted() || Peek() != word) return Fail("expected '" + std::string(word) + "'");
        ++m_pos;
        return true;
    }

    bool Number(std::uint64_t& value, std::uint64_t max, int base = 10) {
        if (AtEnd()) return Fail("a number is missing");
        const std::string text = Next();
        const auto parsed = ParseNumber(text, base);
        if (!parsed || *parsed > max) return Fail("bad number '" + text + "'");
        value = *parsed;
        return true;
    }

    bool Firmware(std::uint8_t& high, std::uint8_t& low) {
        const std::string text = Next();
        std::uint64_t digits[4];
        std::size_t start = 0;
        for (int i = 0; i < 4; ++i) {
            const std::size_t dot = i < 3 ? text.find('.', start) : text.size();
            if (dot == std::string::npos) return Fail("firmware is four digits 0..15 like 1.2.3.4");
            const auto digit = ParseNumber(std::string_view(text).substr(start, dot - start));
            if (!digit || *digit > 15) return Fail("firmware is four digits 0..15 like 1.2.3.4");
            digits[i] = *digit;
            start = dot + 1;
        }
        high = static_cast<std::uint8_t>(digits[0] << 4 | digits[1]);
        low = static_cast<std::uint8_t>(digits[2] << 4 | digits[3]);
        return true;
    }

    bool Text(std::string& out, std::size_t maxLength) {
        if (AtEnd()) return Fail("a text is missing");
        out = Next();
        if (out.size() > maxLength) return Fail("text longer than " + std::to_string(maxLength));
        return true;
    }

    bool HexBytes(std::vector<std::uint8_t>& bytes, std::size_t maxCount) {
        while (!AtEnd()) {
            const std::string text = Next();
            const auto value = text.size() <= 2 ? ParseNumber(text, 16) : std::nullopt;
            if (!value) return Fail("bad hex byte '" + text + "'");
            if (bytes.size() == maxCount) return Fail("too many bytes");
            bytes.push_back(static_cast<std::uint8_t>(*value));
        }
        return true;
    }

    bool NewTag(std::string& tag) {
        tag = Next();
        if (!IsTag(tag)) return Fail("bad tag '" + tag + "'");
        if (m_tags.count(tag)) return Fail("tag '" + tag + "' declared twice");
        return true;
    }

    bool KnownTag(std::string& tag, Kind kind) {
        tag = Next();
        const auto it = m_tags.find(tag);
        if (it == m_tags.end() || it->second != kind) {
            const char* what = kind == Kind::Device     ? "keyboard or mouse"
                               : kind == Kind::Receiver ? "receiver"
                                                        : "device";
            return Fail("'" + tag + "' is no declared " + what);
        }
        return true;
    }

    bool KnownTarget(std::string& tag, bool receiverOnly) {
        tag = Next();
        const auto it = m_tags.find(tag);
        if (it == m_tags.end() || it->second == Kind::Device ||
            (receiverOnly && it->second != Kind::Receiver))
            return Fail("'" + tag + "' is no declared " +
                        (receiverOnly ? "receiver" : "receiver or other device"));
        return true;
    }

    bool ParseDeclaration() {
        const std::string what = Next();
        if (what == "receiver") {
            ReceiverConfig config;
            if (!NewTag(config.tag)) return false;
            while (!AtEnd()) {
                const std::string option = Next();
                std::uint64_t value = 0;
                if (option == "name") {
                    if (!Text(config.name, 64)) return false;
                } else if (option == "firmware") {
                    if (!Firmware(config.firmwareHigh, config.firmwareLow)) return false;
                } else if (option == "vid" || option == "pid") {
                    if (!Number(value, 0xFFFF, 16)) return false;
                    (option == "vid" ? config.vendorId : config.productId) =
                        static_cast<std::uint16_t>(value);
                } else if (option == "namelength") {
                    if (!Number(value, 255)) return false;
                    config.nameLengthByte = static_cast<int>(value);
                } else {
                    return Fail("unknown receiver option '" + option + "'");
                }
            }
            m_tags[config.tag] = Kind::Receiver;
            m_scenario.receivers.push_back(config);
            return true;
        }
        if (what == "other") {
            OtherConfig config;
            if (!NewTag(config.tag)) return false;
            const std::string kind = Next();
            if (kind == "input32") {
                config.caps = {32, 0};
            } else if (kind == "feature32") {
                config.caps = {0, 32};
            } else {
                return Fail("an other device is input32 or feature32");
            }
            while (!AtEnd()) {
                const std::string option = Next();
                std::uint64_t value = 0;
                if (option == "name") {
                    if (!Text(config.name, 64)) return false;
                } else if (option == "vid" || option == "pid") {
                    if (!Number(value, 0xFFFF, 16)) return false;
                    (option == "vid" ? config.vendorId : config.productId) =
                        static_cast<std::uint16_t>(value);
                } else {
                    return Fail("unknown option '" + option + "'");
                }
            }
            m_tags[config.tag] = Kind::Other;
            m_scenario.others.push_back(config);
            return true;
        }
        DeviceConfig config;
        config.kind = what == "mouse" ? kKindMouse : kKindKeyboard;
        config.name = what == "mouse" ? "Travel Mouse" : "Slim Keyboard";
        config.id = static_cast<DeviceId>(0x100001 + m_scenario.devices.size());
        if (!NewTag(config.tag)) return false;
        while (!AtEnd()) {
            const std::string option = Next();
            std::uint64_t value = 0;
            if (option == "name") {
                if (!Text(config.name, 20)) return false;
            } else if (option == "id") {
                if (!Number(value, 0xFFFFFF)) return false;
                config.id = static_cast<DeviceId>(value);
            } else if (option == "firmware") {
                if (!Firmware(config.firmwareHigh, config.firmwareLow)) return false;
            } else if (option == "reserved") {
                if (!Number(value, 255)) return false;
                config.reserved = static_cast<std::uint8_t>(value);
            } else if (option == "joins") {
                if (Peek() == "never") {
                    ++m_pos;
                    config.joinDelayMs.reset();
                } else {
                    if (!Number(value, kMaxScenarioTimeMs)) return false;
                    config.joinDelayMs = value;
                }
            } else if (option == "patience") {
                if (!Number(value, kMaxScenarioTimeMs)) return false;
                config.patienceMs = value;
            } else if (option == "limited") {
                config.atReceiverLimit = true;
            } else if (option == "again") {
                config.asksAgain = true;
            } else if (option == "inactive") {
                config.active = false;
            } else {
                return Fail("unknown device option '" + option + "'");
            }
        }
        m_tags[config.tag] = Kind::Device;
        m_scenario.devices.push_back(config);
        return true;
    }

    bool ParseTime() {
        ++m_pos;
        std::string number = Next();
        std::string unit = std::string(Peek());
        if (!number.empty() && number.back() == ':') number.pop_back();
        std::uint64_t scale = 1;
        if (unit == "ms" || unit == "ms:" || unit == "s" || unit == "s:") {
            ++m_pos;
            if (unit[0] == 's') scale = 1000;
        }
        const auto value = ParseNumber(number);
        if (!value || *value > kMaxScenarioTimeMs / scale) return Fail("bad time '" + number + "'");
        m_time = *value * scale;
        return true;
    }

    bool ParseStep() {
        ScenarioStep step;
        step.atMs = m_time;
        const std::string verb = Next();
        if (verb == "plug") {
            step.action = StepAction::Plug;
            if (!KnownTarget(step.target, false)) return false;
            if (!AtEnd()) {
                if (!Expect("with")) return false;
                if (m_tags[step.target] != Kind::Receiver)
                    return Fail("only a receiver plugs in with devices");
                if (AtEnd()) return Fail("devices are missing after 'with'");
                while (!AtEnd()) {
                    std::string device;
                    if (!KnownTag(device, Kind::Device)) return false;
                    step.with.push_back(device);
                }
            }
        } else if (verb == "unplug") {
            step.action = StepAction::Unplug;
            if (!KnownTarget(step.target, false)) return false;
            if (!AtEnd()) {
                if (!Expect("after") || !Number(step.count, 1000)) return false;
                if (step.count == 0) return Fail("after needs a count of at least 1");
                if (!AtEnd()) {
                    std::uint64_t replug = 0;
                    if (!Expect("replug") || !Number(replug, kMaxScenarioTimeMs)) return false;
                    step.replugMs = replug;
                }
            }
        } else if (verb == "pair") {
            step.action = StepAction::Pair;
            if (!KnownTarget(step.target, true) || !KnownTag(step.device, Kind::Device)) return false;
        } else if (verb == "report" || verb == "flood" || verb == "reply") {
            step.action = verb == "report"  ? StepAction::Report
                          : verb == "flood" ? StepAction::Flood
                                            : StepAction::Reply;
            if (!KnownTarget(step.target, false)) return false;
            if (step.action == StepAction::Flood && !Number(step.count, kMaxFloodCount)) return false;
            if (!HexBytes(step.bytes, step.action == StepAction::Reply ? 32 : 260)) return false;
            if (step.bytes.empty()) return Fail("bytes are missing");
        } else if (verb == "fail") {
            if (!KnownTarget(step.target, false)) return false;
            const std::string what = Next();
            if (what == "writes") {
                step.action = StepAction::FailWrites;
            } else if (what == "reads") {
                step.action = StepAction::FailReads;
            } else if (what == "input") {
                step.action = StepAction::FailInput;
            } else {
                return Fail("fail writes, reads or input");
            }
            if (!Number(step.count, 1000)) return false;
            if (step.action != StepAction::FailInput && Peek() == "after" && !PeekQuoted()) {
                ++m_pos;
                if (!Number(step.after, 1000)) return false;
            }
        } else if (m_tags.count(verb) && m_tags[verb] == Kind::Device) {
            step.device = verb;
            const std::string what = Next();
            if (what == "asks") {
                step.action = StepAction::Ask;
                if (!KnownTarget(step.target, true)) return false;
            } else if (what == "active" || what == "inactive") {
                step.action = StepAction::Activity;
                step.flag = what == "active";
            } else {
                return Fail("a device 'asks' a receiver or turns 'active' or 'inactive'");
            }
        } else {
            return Fail("unknown step '" + verb + "'");
        }
        if (!AtEnd()) return Fail("unexpected '" + Next() + "'");
        m_scenario.steps.push_back(std::move(step));
        return true;
    }

    Scenario m_scenario;
    std::map<std::string, Kind, std::less<>> m_tags;
    std::uint64_t m_time = 0;
    const std::vector<Token>* m_tokens = nullptr;
    std::size_t m_pos = 0;
    std::string m_error;
};

} // namespace

ScenarioParse ParseScenario(std::string_view text) {
    return Parser().Run(text);
}

std::uint64_t PlayScenario(VirtualBus& bus, const Scenario& scenario) {
    std::map<std::string, UsbDevice*, std::less<>> targets;
    std::vector<VirtualReceiver*> receivers;
    for (const ReceiverConfig& config : scenario.receivers) {
        auto* receiver = dynamic_cast<VirtualReceiver*>(bus.Find(config.tag));
        if (!receiver) receiver = &bus.AddReceiver(config);
        targets[config.tag] = receiver;
        receivers.push_back(receiver);
    }
    for (const OtherConfig& config : scenario.others) {
        auto* other = dynamic_cast<OtherHidDevice*>(bus.Find(config.tag));
        targets[config.tag] = other ? other : &bus.AddOther(config);
    }
    std::map<std::string, DeviceConfig, std::less<>> devices;
    for (const DeviceConfig& config : scenario.devices)
        devices[config.tag] = config;

    const std::uint64_t start = bus.Now();
    std::uint64_t last = start;
    for (const ScenarioStep& step : scenario.steps) {
        UsbDevice* target = step.target.empty() ? nullptr : targets.at(step.target);
        auto* receiver = dynamic_cast<VirtualReceiver*>(target);
        const DeviceConfig device = step.device.empty() ? DeviceConfig{} : devices.at(step.device);
        std::function<void()> run;
        switch (step.action) {
        case StepAction::Plug: {
            std::vector<DeviceConfig> with;
            for (const std::string& tag : step.with)
                with.push_back(devices.at(tag));
            run = [&bus, target, receiver, with] {
                for (const DeviceConfig& paired : with)
                    receiver->AddPaired(paired);
                bus.Plug(*target);
            };
            break;
        }
        case StepAction::Unplug:
            run = [&bus, target, count = step.count, replug = step.replugMs] {
                if (count) {
                    target->UnplugAfterTransfers(static_cast<int>(count), replug);
                } else {
                    bus.Unplug(*target);
                }
            };
            break;
        case StepAction::Pair: run = [receiver, device] { receiver->AddPaired(device); }; break;
        case StepAction::Ask: run = [receiver, device] { receiver->AskToPair(device); }; break;
        case StepAction::Activity:
            run = [receivers, id = device.id, active = step.flag] {
                for (VirtualReceiver* each : receivers)
                    each->SetActive(id, active);
            };
            break;
        case StepAction::Report: run = [target, bytes = step.bytes] { target->SendInput(bytes); }; break;
        case StepAction::Flood:
            run = [target, bytes = step.bytes, count = step.count] { target->Flood(bytes, count); };
            break;
        case StepAction::FailWrites:
            run = [target, n = static_cast<int>(step.count), after = static_cast<int>(step.after)] {
                target->FailWrites(n, after);
            };
            break;
        case StepAction::FailReads:
            run = [target, n = static_cast<int>(step.count), after = static_cast<int>(step.after)] {
                target->FailReads(n, after);
            };
            break;
        case StepAction::FailInput:
            run = [target, n = static_cast<int>(step.count)] { target->FailInputReads(n); };
            break;
        case StepAction::Reply: {
            std::array<std::uint8_t, 32> reply{};
            std::copy(step.bytes.begin(), step.bytes.end(), reply.begin());
            run = [target, reply] { target->ReplyOnce(reply); };
            break;
        }
        }
        bus.Schedule(start + step.atMs, std::move(run));
        last = std::max(last, start + step.atMs);
    }
    return last;
}

} // namespace pw::virt
