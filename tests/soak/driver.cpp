#include "tests/soak/driver.h"

#include "common/trace.h"
#include "lang/multi_language.h"
#include "lang/text_format.h"
#include "panel/panel_rules.h"
#include "receiver/cmd_pipe.h"
#include "res/resource.h"
#include "virtual/virtual_hid_win.h"
#include "app/settings.h"

#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace pwtest::soak {
namespace fs = std::filesystem;
using e2e::Trace;
using e2e::TraceLine;

namespace {

std::wstring NewTempFile(const wchar_t* prefix) {
    wchar_t folder[MAX_PATH] = {};
    wchar_t file[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    GetTempFileNameW(folder, prefix, 0, file);
    return file;
}

std::string Narrow(const std::wstring& text) {
    std::string out;
    for (const wchar_t c : text)
        out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

std::wstring Widen(std::string_view ascii) {
    return {ascii.begin(), ascii.end()};
}

std::string ReadWhole(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

std::optional<pw::FeatureReport> ReportOf(const std::string& hex) {
    if (hex.size() != 2 * pw::kFeatureReportLength) return std::nullopt;
    pw::FeatureReport report{};
    for (std::size_t i = 0; i < report.size(); ++i)
        report[i] = static_cast<std::uint8_t>(std::stoi(hex.substr(2 * i, 2), nullptr, 16));
    return report;
}

} // namespace

ScenarioFile::ScenarioFile(const std::string& text) : m_path(NewTempFile(L"pws")) {
    std::ofstream(fs::path(m_path), std::ios::binary) << text;
}

ScenarioFile::~ScenarioFile() {
    DeleteFileW(m_path.c_str());
}

ProgramRun::ProgramRun(const ScenarioFile& scenario, const std::wstring& arguments, std::wstring executable)
    : program({.arguments = arguments,
               .program = std::move(executable),
               .environment = {{pw::kVirtualEnvironmentVariable, scenario.Path()},
                               {pw::trace::kEnvironmentVariable, trace.Path()}}}) {}

void PlantText(const wchar_t* name, const std::wstring& value) {
    RegSetKeyValueW(HKEY_CURRENT_USER, pw::settings::kKeyPath, name, REG_SZ, value.c_str(),
                    static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

void PlantKnownReceiver(const std::wstring& commandKey) {
    e2e::PlantSetting(L"CmdPipes", 1);
    PlantText(L"CmdPipe0", commandKey);
}

UnmanagedWindows::UnmanagedWindows(std::wstring executable)
    : m_key(L"Software\\Wine\\AppDefaults\\" + executable + L"\\X11 Driver") {
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, m_key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        &disposition) != ERROR_SUCCESS)
        return;
    m_created = disposition == REG_CREATED_NEW_KEY;
    RegSetValueExW(key, L"Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"N"), 2 * sizeof(wchar_t));
    RegCloseKey(key);
}

UnmanagedWindows::~UnmanagedWindows() {
    if (m_created)
        RegDeleteTreeW(HKEY_CURRENT_USER, m_key.c_str());
    else
        RegDeleteKeyValueW(HKEY_CURRENT_USER, m_key.c_str(), L"Managed");
}

// ---- The process from outside.

namespace {

std::size_t HandleCount(DWORD processId) {
    // SYSTEM_HANDLE_INFORMATION: a count, then one 24-byte entry per handle of every process.
    struct Entry {
        ULONG processId;
        UCHAR type;
        UCHAR flags;
        USHORT handle;
        void* object;
        ACCESS_MASK access;
    };
    constexpr auto kSystemHandleInformation = static_cast<SYSTEM_INFORMATION_CLASS>(16);
    constexpr NTSTATUS kLengthMismatch = static_cast<NTSTATUS>(0xC0000004);
    std::vector<std::uint8_t> buffer(1 << 20);
    ULONG needed = 0;
    NTSTATUS status;
    while ((status = NtQuerySystemInformation(kSystemHandleInformation, buffer.data(),
                                              static_cast<ULONG>(buffer.size()), &needed)) == kLengthMismatch)
        buffer.resize(std::max<std::size_t>(buffer.size() * 2, needed + 4096));
    if (status != 0) return 0;
    const ULONG count = *reinterpret_cast<const ULONG*>(buffer.data());
    const auto* entries = reinterpret_cast<const Entry*>(buffer.data() + sizeof(void*));
    std::size_t own = 0;
    for (ULONG i = 0; i < count; ++i)
        own += entries[i].processId == processId;
    return own;
}

std::size_t GdiObjectCount(HANDLE process) {
    // The same table as the skin tests count in their own process (the PEB's GdiSharedHandleTable).
    struct Entry {
        std::uint64_t object;
        std::uint32_t owner;
        std::uint16_t unique;
        std::uint8_t type;
        std::uint8_t flags;
        std::uint64_t user;
    };
    static_assert(sizeof(Entry) == 24);
    PROCESS_BASIC_INFORMATION basic{};
    if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0)
        return 0;
    std::uint64_t table = 0;
    SIZE_T read = 0;
    if (!ReadProcessMemory(process, reinterpret_cast<const std::uint8_t*>(basic.PebBaseAddress) + 0xF8,
                           &table, sizeof table, &read) ||
        !table)
        return 0;
    std::vector<Entry> entries(0x10000);
    if (!ReadProcessMemory(process, reinterpret_cast<const void*>(table), entries.data(),
                           entries.size() * sizeof(Entry), &read))
        return 0;
    return static_cast<std::size_t>(
        std::count_if(entries.begin(), entries.end(), [](const Entry& e) { return e.type != 0; }));
}

} // namespace

Resources Measure(DWORD processId) {
    Resources r;
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    if (!process) return r;
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(process, &memory, sizeof memory)) r.workingSet = memory.WorkingSetSize;
    r.gdiObjects = GdiObjectCount(process);
    CloseHandle(process);
    r.handles = HandleCount(processId);
    return r;
}

LinuxCpuClock::LinuxCpuClock(const std::wstring& programPath) {
    const fs::path proc = L"Z:\\proc";
    const auto prefixOf = [](const std::string& environment) {
        constexpr std::string_view kName = "WINEPREFIX=";
        std::size_t start = 0;
        for (std::size_t end; (end = environment.find('\0', start)) != std::string::npos; start = end + 1) {
            if (environment.compare(start, kName.size(), kName) == 0)
                return environment.substr(start + kName.size(), end - start - kName.size());
        }
        return std::string();
    };
    const std::string ownPrefix = prefixOf(ReadWhole(proc / L"self" / L"environ"));
    const std::string program = Narrow(programPath);
    unsigned long long newest = 0;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(proc, error)) {
        const std::wstring name = entry.path().filename().wstring();
        if (name.empty() || !std::all_of(name.begin(), name.end(), iswdigit)) continue;
        const std::string command = ReadWhole(entry.path() / L"cmdline");
        const std::string first = command.substr(0, command.find('\0'));
        if (first.size() != program.size() ||
            !std::equal(first.begin(), first.end(), program.begin(),
                        [](char a, char b) { return std::tolower(a) == std::tolower(b); }) ||
            prefixOf(ReadWhole(entry.path() / L"environ")) != ownPrefix)
            continue;
        // Field 22 of stat, the start time; the name in field 2 may hold blanks but ends with ')'.
        const std::string stat = ReadWhole(entry.path() / L"stat");
        std::istringstream fields(stat.substr(stat.rfind(')') + 2));
        std::string field;
        for (int i = 3; i <= 22 && fields >> field; ++i) {
        }
        const unsigned long long started = field.empty() ? 0 : std::stoull(field);
        if (started >= newest) {
            newest = started;
            m_pid = std::stoi(name);
        }
    }
}

std::optional<std::uint64_t> LinuxCpuClock::Nanoseconds() const {
    if (!m_pid) return std::nullopt;
    // Every thread's run time; /proc/<pid>/schedstat alone is the first thread's.
    std::uint64_t total = 0;
    bool any = false;
    std::error_code error;
    for (const fs::directory_entry& task :
         fs::directory_iterator(fs::path(L"Z:\\proc") / std::to_wstring(m_pid) / L"task", error)) {
        const std::string stat = ReadWhole(task.path() / L"schedstat");
        if (stat.empty()) continue;
        total += std::stoull(stat);
        any = true;
    }
    if (!any) return std::nullopt;
    return total;
}

UiProbe::UiProbe(HWND window, DWORD limitMs) : m_window(window), m_limitMs(limitMs) {
    m_thread = std::thread([this] {
        while (!m_stop.load()) {
            const auto start = std::chrono::steady_clock::now();
            DWORD_PTR ignored = 0;
            SetLastError(0);
            const bool answered =
                SendMessageTimeoutW(m_window, WM_NULL, 0, 0, SMTO_NORMAL, m_limitMs, &ignored) != 0;
            const auto took = std::chrono::duration_cast<std::chrono::microseconds>(
                                  std::chrono::steady_clock::now() - start)
                                  .count();
            if (!answered && !IsWindow(m_window)) break;
            ++m_probes;
            if (!answered) ++m_hangs;
            m_longestUs.store(std::max<std::int64_t>(m_longestUs.load(), took));
            Sleep(50);
        }
    });
}

UiProbe::~UiProbe() {
    m_stop.store(true);
    m_thread.join();
}

// ---- What the program shows.

namespace {

std::wstring TextOf(HWND dialog, int id) {
    const auto control = e2e::Control(dialog, id);
    return control ? control->text : std::wstring();
}

} // namespace

Panel ReadPanel(const Trace& trace) {
    Panel panel;
    for (HWND item : trace.OpenWindows("IDD_RECEIVER_ITEM")) {
        if (!IsWindow(item)) continue;
        panel.receivers.push_back({TextOf(item, IDC_STATIC_RECEIVER_NAME), TextOf(item, IDC_STATIC_FW_VALUE),
                                   TextOf(item, IDC_STATIC_PAIRED_COUNT)});
    }
    for (HWND item : trace.OpenWindows("IDD_DEVICE_ITEM")) {
        if (!IsWindow(item)) continue;
        panel.devices.push_back({TextOf(item, IDC_STATIC_DEVICE_NAME), TextOf(item, IDC_STATIC_FW_VALUE)});
    }
    for (HWND tip : trace.OpenWindows("IDD_NO_DONGLE_TIP"))
        panel.tipShown = panel.tipShown || (GetWindowLongPtrW(tip, GWL_STYLE) & WS_VISIBLE) != 0;
    return panel;
}

// ---- What the receiver says.

ReceiverTruth ReadTruth(const Trace& trace, const std::string& tag) {
    ReceiverTruth truth;
    const std::string holds = tag + " holds ";
    for (const TraceLine& line : trace.Lines()) {
        if (line.category != "bus") continue;
        if (line.text.starts_with(tag + " plug at ")) truth.plugged = true;
        if (line.text.starts_with(tag + " unplug at ")) truth.plugged = false;
        if (!line.text.starts_with(holds)) continue;
        std::istringstream replies(line.text.substr(holds.size(), line.text.rfind(" at ") - holds.size()));
        std::string hex;
        truth.slots.clear();
        for (bool first = true; replies >> hex; first = false) {
            const auto reply = ReportOf(hex);
            if (!reply) continue;
            if (first) {
                char name[33] = {};
                const pw::InfoReply info = pw::DecodeInfoReply(*reply, name);
                truth.name = name;
                truth.firmwareHigh = info.firmwareHigh;
                truth.firmwareLow = info.firmwareLow;
            } else {
                truth.slots.push_back(pw::DecodeSlotReply(*reply));
            }
        }
    }
    return truth;
}

Panel ExpectedPanel(const ReceiverTruth& truth) {
    Panel panel;
    panel.tipShown = !truth.plugged;
    if (!truth.plugged) return panel;
    const std::wstring keyboardsText = e2e::LanguageText(e2e::ProgramFolder(), pw::TextKey::Keyboards);
    const std::wstring miceText = e2e::LanguageText(e2e::ProgramFolder(), pw::TextKey::Mice);
    int keyboards = 0;
    int mice = 0;
    for (const pw::DeviceSlotRecord& slot : truth.slots) {
        keyboards += slot.kind == pw::kKindKeyboard;
        mice += slot.kind == pw::kKindMouse;
        panel.devices.push_back({CMultiLanguage::DeviceDisplayName(slot), pw::DeviceFirmwareText(slot)});
    }
    panel.receivers.push_back({Widen(truth.name), pw::FormatFirmwareW(truth.firmwareHigh, truth.firmwareLow),
                               pw::ComposeCounts(keyboards, keyboardsText, mice, miceText)});
    return panel;
}

std::vector<std::string> Compare(const Panel& shown, const Panel& expected) {
    std::vector<std::string> differences;
    const auto add = [&](const std::string& what, const std::wstring& is, const std::wstring& should) {
        if (is != should)
            differences.push_back(what + ": shows \"" + Narrow(is) + "\", should \"" + Narrow(should) + "\"");
    };
    if (shown.receivers.size() != expected.receivers.size())
        differences.push_back(std::to_string(shown.receivers.size()) + " receiver items, should be " +
                              std::to_string(expected.receivers.size()));
    for (std::size_t i = 0; i < std::min(shown.receivers.size(), expected.receivers.size()); ++i) {
        add("receiver name", shown.receivers[i].name, expected.receivers[i].name);
        add("receiver firmware", shown.receivers[i].firmware, expected.receivers[i].firmware);
        add("receiver counts", shown.receivers[i].counts, expected.receivers[i].counts);
    }
    const auto sorted = [](std::vector<DeviceRow> rows) {
        std::sort(rows.begin(), rows.end(), [](const DeviceRow& a, const DeviceRow& b) {
            return std::tie(a.name, a.firmware) < std::tie(b.name, b.firmware);
        });
        return rows;
    };
    const std::vector<DeviceRow> is = sorted(shown.devices);
    const std::vector<DeviceRow> should = sorted(expected.devices);
    if (is.size() != should.size())
        differences.push_back(std::to_string(is.size()) + " device items, should be " +
                              std::to_string(should.size()));
    for (std::size_t i = 0; i < std::min(is.size(), should.size()); ++i) {
        add("device", is[i].name, should[i].name);
        add("device firmware", is[i].firmware, should[i].firmware);
    }
    if (shown.tipShown != expected.tipShown)
        differences.push_back(std::string("the no-receiver tip is ") + (shown.tipShown ? "shown" : "hidden"));
    return differences;
}

// ---- Reading the trace.

int CountTransfers(const Trace& trace, const std::string& path, std::size_t from, std::size_t to) {
    const std::vector<TraceLine>& lines = trace.Lines();
    int count = 0;
    for (std::size_t i = from; i < std::min(to, lines.size()); ++i) {
        if (lines[i].category != "bus") continue;
        const std::string& text = lines[i].text;
        for (const char* kind :
             {"set-feature ", "get-feature ", "set-feature failed ", "get-feature failed "}) {
            if (text.starts_with(std::string(kind) + path + " ")) {
                ++count;
                break;
            }
        }
    }
    return count;
}

bool WaitForQuiet(const Trace& trace, DWORD quietMs, DWORD timeoutMs) {
    std::size_t seen = trace.Lines().size();
    ULONGLONG lastChange = GetTickCount64();
    return WaitUntil(
        [&] {
            const std::vector<TraceLine>& lines = trace.Lines();
            bool transfer = false;
            for (std::size_t i = seen; i < lines.size(); ++i)
                transfer = transfer || lines[i].category == "bus";
            seen = lines.size();
            if (transfer) lastChange = GetTickCount64();
            return GetTickCount64() - lastChange >= quietMs;
        },
        timeoutMs);
}

HWND WindowOf(const TraceLine& line) {
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(
        std::strtoull(line.text.substr(line.text.rfind(' ') + 1).c_str(), nullptr, 16)));
}

std::string PathOf(const TraceLine& discovery) {
    return discovery.text.substr(discovery.text.rfind(' ') + 1);
}

bool PostClick(HWND dialog, int id) {
    HWND button = GetDlgItem(dialog, id);
    return button &&
           PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

} // namespace pwtest::soak
