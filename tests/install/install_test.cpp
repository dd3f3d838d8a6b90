// The release installer as a user meets it: installed silently in a language into the user's local
// programs folder, the installed program started on the virtual receiver, uninstalled silently.
#include "tests/e2e/harness.h"

#include "app/settings.h"
#include "res/resource.h"

#include <gmock/gmock.h>
#include <shlobj.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;
using namespace pwtest;
using namespace pwtest::e2e;

constexpr wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pairwright";
constexpr wchar_t kMakerKey[] = L"Software\\Vorn";
constexpr DWORD kSetupTimeoutMs = 120000;

fs::path KnownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    fs::path folder;
    if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path))) folder = path;
    CoTaskMemFree(path);
    return folder;
}

fs::path InstallFolder() {
    return KnownFolder(FOLDERID_LocalAppData) / "Programs" / "Pairwright";
}

fs::path Shortcut() {
    return KnownFolder(FOLDERID_Programs) / "Pairwright.lnk";
}

std::wstring SetupProgram() {
    return WinePath(PW_SETUP_PATH);
}

bool KeyExists(const wchar_t* path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

std::optional<std::wstring> UninstallEntry(const wchar_t* name) {
    wchar_t value[1024] = {};
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, kUninstallKey, name, RRF_RT_REG_SZ, nullptr, value, &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    return value;
}

// Runs a program to its end; its exit code, or nullopt when it did not start or end in time.
std::optional<DWORD> RunToEnd(const std::wstring& program, const std::wstring& arguments) {
    Program run({.arguments = arguments, .program = program});
    if (!run.Started() || !run.WaitForExit(kSetupTimeoutMs)) return std::nullopt;
    return run.ExitCode();
}

// The uninstaller goes on in a copy of itself after the started one ends; removing its registry entry
// is its last step.
bool WaitForUninstall() {
    return WaitUntil([] { return !KeyExists(kUninstallKey); }, kSetupTimeoutMs);
}

// The files of the built program folder that a release ships, relative to it.
std::vector<fs::path> ShippedFiles() {
    const fs::path dist = ProgramFolder();
    std::vector<fs::path> files{"Pairwright.exe"};
    for (const char* folder : {"ui", "lan"}) {
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(dist / folder)) {
            if (entry.is_regular_file()) files.push_back(fs::relative(entry.path(), dist));
        }
    }
    return files;
}

std::string Bytes(const fs::path& file) {
    return ReadFileBytes(file.wstring()).value_or("(unreadable)");
}

std::wstring LanguageOf(const fs::path& programFolder) {
    wchar_t name[64] = {};
    GetPrivateProfileStringW(L"Language", L"Default", L"", name, 64,
                             (programFolder / "lan" / "pairwright.ini").c_str());
    return name;
}

std::wstring VersionText(const std::vector<BYTE>& info, const wchar_t* name) {
    const std::wstring query = std::wstring(L"\\StringFileInfo\\040904b0\\") + name;
    wchar_t* text = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(info.data(), query.c_str(), reinterpret_cast<void**>(&text), &length) || !text)
        return {};
    return text;
}

void ExpectVersionResource(const fs::path& program) {
    DWORD ignored = 0;
    std::vector<BYTE> info(GetFileVersionInfoSizeW(program.c_str(), &ignored));
    ASSERT_FALSE(info.empty()) << "a version resource";
    ASSERT_TRUE(GetFileVersionInfoW(program.c_str(), 0, static_cast<DWORD>(info.size()), info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(0, 1));
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(0, 1));
    EXPECT_EQ(VersionText(info, L"ProductVersion"), L"1.0");
    EXPECT_EQ(VersionText(info, L"FileVersion"), L"1.0");
    EXPECT_EQ(VersionText(info, L"CompanyName"), L"Vorn");
    EXPECT_EQ(VersionText(info, L"ProductName"), L"Pairwright");
    EXPECT_THAT(VersionText(info, L"FileDescription"), testing::HasSubstr(L"receiver control panel"));
}

// Every case starts and ends with nothing installed: a run that failed may have left an installation.
class Installer : public EndToEnd {
protected:
    void SetUp() override {
        EndToEnd::SetUp();
        Uninstalled();
    }
    void TearDown() override {
        Uninstalled();
        EndToEnd::TearDown();
    }

private:
    static void Uninstalled() {
        std::error_code ignored;
        fs::remove_all(InstallFolder(), ignored);
        fs::remove(Shortcut(), ignored);
        RegDeleteTreeW(HKEY_CURRENT_USER, kUninstallKey);
    }
};

struct Case {
    const char* name;
    const wchar_t* setupArguments;
    bool arabic;
    const wchar_t* uninstallArguments;
    bool settingsKept;
};

void PrintTo(const Case& c, std::ostream* out) {
    *out << c.name;
}

const Case kCases[] = {
    {"English", L"/S /LANG=English", false, L"/S", true},
    {"ArabicAndSettingsRemoved", L"/S /LANG=Arabic", true, L"/S /REMOVESETTINGS", false},
};

class Install : public Installer, public testing::WithParamInterface<Case> {};

TEST_P(Install, PutsTheProgramInPlaceRunsItAndTakesItAwayAgain) {
    const Case& c = GetParam();
    const fs::path folder = InstallFolder();
    const fs::path dist = ProgramFolder();
    ASSERT_EQ(RunToEnd(SetupProgram(), c.setupArguments), 0u);

    // The program folder as built, with the language's renderings as ui\ and its name in the ini.
    int mirrored = 0;
    for (const fs::path& file : ShippedFiles()) {
        SCOPED_TRACE(file.string());
        if (file == fs::path("lan") / "pairwright.ini") continue;
        const bool inUi = *file.begin() == "ui";
        const std::string installed = Bytes(folder / file);
        EXPECT_TRUE(installed == Bytes(c.arabic && inUi ? dist / "lan" / "Arabic" / file : dist / file));
        if (inUi && installed != Bytes(dist / file)) ++mirrored;
    }
    EXPECT_EQ(mirrored > 0, c.arabic) << mirrored << " right-to-left renderings in ui";
    EXPECT_EQ(LanguageOf(folder), c.arabic ? L"Arabic" : L"English");
    ExpectVersionResource(folder / "Pairwright.exe");
    EXPECT_TRUE(fs::is_regular_file(folder / "uninstall.exe"));
    EXPECT_TRUE(fs::is_regular_file(Shortcut()));
    EXPECT_EQ(UninstallEntry(L"DisplayName"), L"Pairwright");
    EXPECT_EQ(UninstallEntry(L"Publisher"), L"Vorn");
    EXPECT_EQ(UninstallEntry(L"InstallLocation"), folder.wstring());

    {
        Session run({.scenario = "one_receiver", .folder = folder.wstring()});
        HWND main = run.MainWindow();
        ASSERT_NE(main, nullptr);
        EXPECT_TRUE(IsWindowVisible(main));
        EXPECT_TRUE(run.trace.WaitFor("discovery", "^arrival receiver ")) << "on the virtual receiver";
        const auto title = Control(main, IDC_STATIC_TITLE);
        ASSERT_TRUE(title);
        EXPECT_EQ(title->text, LanguageText(folder.wstring(), pw::TextKey::TrayTip));
        EXPECT_EQ(title->text == LanguageText(dist.wstring(), pw::TextKey::TrayTip), !c.arabic);
        EXPECT_EQ((title->exStyle & WS_EX_RTLREADING) != 0, c.arabic);
        ASSERT_TRUE(run.program.Close());
        EXPECT_EQ(run.program.ExitCode(), 0u);
    }
    ASSERT_TRUE(ReadSetting(pw::settings::kFirstRun)) << "the program keeps its settings";

    ASSERT_EQ(RunToEnd((folder / "uninstall.exe").wstring(), c.uninstallArguments), 0u);
    ASSERT_TRUE(WaitForUninstall());
    EXPECT_FALSE(fs::exists(folder));
    EXPECT_FALSE(fs::exists(Shortcut()));
    EXPECT_EQ(KeyExists(pw::settings::kKeyPath), c.settingsKept);
    EXPECT_EQ(KeyExists(kMakerKey), c.settingsKept);
}

INSTANTIATE_TEST_SUITE_P(Languages, Install, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case>& param) { return param.param.name; });

TEST_F(Installer, LeavesWhatTheUserPutInTheFolder) {
    const fs::path folder = InstallFolder();
    ASSERT_EQ(RunToEnd(SetupProgram(), L"/S /LANG=English"), 0u);
    const fs::path own = folder / "lan" / "notes.txt";
    ASSERT_TRUE(WritePrivateProfileStringW(L"notes", L"kept", L"yes", own.c_str()));

    ASSERT_EQ(RunToEnd((folder / "uninstall.exe").wstring(), L"/S"), 0u);
    ASSERT_TRUE(WaitForUninstall());
    std::vector<fs::path> left;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder))
        left.push_back(fs::relative(entry.path(), folder));
    EXPECT_THAT(left, testing::UnorderedElementsAre(fs::path("lan"), fs::path("lan") / "notes.txt"));
}

TEST_F(Installer, RefusesALanguageItDoesNotShip) {
    EXPECT_EQ(RunToEnd(SetupProgram(), L"/S /LANG=French"), 2u);
    EXPECT_FALSE(fs::exists(InstallFolder()));
    EXPECT_FALSE(KeyExists(kUninstallKey));
}

} // namespace
