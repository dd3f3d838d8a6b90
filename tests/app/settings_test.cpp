#include "app/settings.h"

#include "framework/handles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace pw;

// Every test starts with the program's key absent from the real registry of the Wine prefix.
class Settings : public ::testing::Test {
protected:
    void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, settings::kKeyPath); }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, settings::kKeyPath); }

    static fw::UniqueRegKey Key() {
        HKEY key = nullptr;
        RegCreateKeyExW(HKEY_CURRENT_USER, settings::kKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr);
        return fw::UniqueRegKey(key);
    }
    static bool KeyExists() {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, settings::kKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }
    static void SetRaw(const wchar_t* name, DWORD type, const void* data, DWORD bytes) {
        ASSERT_EQ(RegSetValueExW(Key().get(), name, 0, type, static_cast<const BYTE*>(data), bytes),
                  ERROR_SUCCESS);
    }
    static void SetDword(const wchar_t* name, DWORD value) { SetRaw(name, REG_DWORD, &value, sizeof value); }
    // A string stored with its terminator.
    static void SetString(const std::wstring& name, const std::wstring& text, DWORD type = REG_SZ) {
        SetRaw(name.c_str(), type, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }
    struct Stored {
        DWORD type = REG_NONE;
        std::vector<BYTE> data;
        bool present = false;
    };
    static Stored Read(const wchar_t* name) {
        Stored stored;
        DWORD size = 0;
        auto key = Key();
        if (RegQueryValueExW(key.get(), name, nullptr, &stored.type, nullptr, &size) != ERROR_SUCCESS)
            return stored;
        stored.data.resize(size);
        RegQueryValueExW(key.get(), name, nullptr, &stored.type, stored.data.data(), &size);
        stored.present = true;
        return stored;
    }
    static bool IsDword(const Stored& stored, DWORD value) {
        return stored.present && stored.type == REG_DWORD && stored.data.size() == 4 &&
               *reinterpret_cast<const DWORD*>(stored.data.data()) == value;
    }
    static KeySet Load(const wchar_t* stem = L"CmdPipe") {
        KeySet set{L"left over"};
        settings::LoadKeySet(stem, set);
        return set;
    }
};

TEST_F(Settings, FirstStartCreatesTheKeyWithFirstRunAndShowWelcome) {
    EXPECT_TRUE(settings::ApplyStartupSettings());
    EXPECT_TRUE(IsDword(Read(settings::kFirstRun), 0));
    EXPECT_TRUE(IsDword(Read(settings::kShowWelcome), 1));

    SetString(settings::kFirstRun, L"yes");
    SetDword(settings::kShowWelcome, 0);
    EXPECT_FALSE(settings::ApplyStartupSettings());
    EXPECT_TRUE(IsDword(Read(settings::kFirstRun), 0)) << "rewritten as a DWORD at every start";
}

TEST_F(Settings, ShowWelcomeIsOnlyOneForTheDwordOneAndBadDataIsReplaced) {
    const DWORD one = 1;
    const DWORD two = 2;
    const BYTE eight[8] = {1, 0, 0, 0, 0, 0, 0, 0};
    struct Case {
        const char* name;
        DWORD type;
        const void* data;
        DWORD bytes;
        bool showWelcome;
        bool replacedByOne;
    };
    const Case cases[] = {
        {"missing", REG_NONE, nullptr, 0, true, true},
        {"DWORD 1", REG_DWORD, &one, 4, true, false},
        {"DWORD 2", REG_DWORD, &two, 4, false, false},
        {"string \"0\"", REG_SZ, L"0", 4, true, true},
        {"binary of eight bytes", REG_BINARY, eight, 8, true, true},
        {"QWORD 1", REG_QWORD, eight, 8, true, true},
        {"DWORD with eight bytes", REG_DWORD, eight, 8, true, true},
    };
    for (const Case& c : cases) {
        RegDeleteTreeW(HKEY_CURRENT_USER, settings::kKeyPath);
        if (c.data) SetRaw(settings::kShowWelcome, c.type, c.data, c.bytes);
        EXPECT_EQ(settings::ApplyStartupSettings(), c.showWelcome) << c.name;
        if (c.replacedByOne)
            EXPECT_TRUE(IsDword(Read(settings::kShowWelcome), 1)) << c.name;
        else
            EXPECT_EQ(Read(settings::kShowWelcome).type, c.type) << c.name;
    }
}

TEST_F(Settings, WelcomeCheckBoxFollowsTheDword) {
    EXPECT_FALSE(settings::ReadWelcomeCheckBox().has_value());
    SetString(settings::kShowWelcome, L"0");
    EXPECT_FALSE(settings::ReadWelcomeCheckBox().has_value()) << "not a DWORD: the box keeps its state";
    SetDword(settings::kShowWelcome, 2);
    EXPECT_EQ(settings::ReadWelcomeCheckBox(), false);

    settings::WriteWelcomeCheckBox(true);
    EXPECT_TRUE(IsDword(Read(settings::kShowWelcome), 0));
    EXPECT_EQ(settings::ReadWelcomeCheckBox(), true);
    settings::WriteWelcomeCheckBox(false);
    EXPECT_TRUE(IsDword(Read(settings::kShowWelcome), 1));
}

TEST_F(Settings, KeySetWithoutTheKeyIsEmptyAndCreatesNothing) {
    EXPECT_TRUE(Load().empty());
    EXPECT_FALSE(KeyExists());
}

TEST_F(Settings, KeySetReadsEntriesBelowTheCountThatArePresent) {
    SetDword(L"CmdPipes", 3);
    SetString(L"CmdPipe0", L"vid_2f1e&pid_7a31&mi_01&col02");
    SetString(L"CmdPipe2", L"vid_0001&pid_0002&mi_00");
    SetString(L"CmdPipe3", L"beyond the count");
    SetString(L"CmdPipe01", L"leading zero");
    EXPECT_EQ(Load(), (KeySet{L"vid_2f1e&pid_7a31&mi_01&col02", L"vid_0001&pid_0002&mi_00"}));

    SetString(L"cmdpipe1", L"names match ignoring case", REG_EXPAND_SZ);
    SetString(L"CmdPipe2", L"vid_2f1e&pid_7a31&mi_01&col02");
    EXPECT_EQ(Load(), (KeySet{L"vid_2f1e&pid_7a31&mi_01&col02", L"names match ignoring case"}))
        << "duplicates collapse";
}

TEST_F(Settings, KeySetSkipsEntriesThatAreNotCleanStrings) {
    const std::wstring fits(511, L'a'); // 1024 bytes with its terminator
    const std::wstring tooLong(512, L'b');
    const DWORD number = 7;
    // The system adds a forgotten terminator when the next character in memory is one, so the stored
    // text "abc" is followed by a 'd' here.
    const wchar_t unterminated[] = L"abcd";
    const wchar_t innerZero[] = L"ab\0cd";
    struct Case {
        const char* name;
        DWORD type;
        const void* data;
        DWORD bytes;
        bool kept;
        std::wstring expected;
    };
    const Case cases[] = {
        {"fills the buffer", REG_SZ, fits.c_str(), 1024, true, fits},
        {"longer than the buffer", REG_SZ, tooLong.c_str(), 1026, false, {}},
        {"a DWORD", REG_DWORD, &number, 4, false, {}},
        {"binary text", REG_BINARY, L"x", 4, false, {}},
        {"odd length", REG_SZ, L"abc", 7, false, {}},
        {"no terminator", REG_SZ, unterminated, 6, false, {}},
        {"empty data", REG_SZ, L"", 0, true, L""},
        {"expandable, not expanded", REG_EXPAND_SZ, L"%SystemRoot%", 26, true, L"%SystemRoot%"},
        {"inner zero ends the text", REG_SZ, innerZero, sizeof innerZero, true, L"ab"},
    };
    for (const Case& c : cases) {
        RegDeleteTreeW(HKEY_CURRENT_USER, settings::kKeyPath);
        SetDword(L"NotifyPipes", 1);
        SetRaw(L"NotifyPipe0", c.type, c.data, c.bytes);
        const KeySet set = Load(L"NotifyPipe");
        if (c.kept)
            EXPECT_EQ(set, KeySet{c.expected}) << c.name;
        else
            EXPECT_TRUE(set.empty()) << c.name;
    }
}

TEST_F(Settings, KeySetCountIsFourRawBytesOfAnyTypeAndAHugeCountEndsAtOnce) {
    SetString(L"NoCmdPipe0", L"zero");
    SetString(L"NoCmdPipe1", L"one");
    SetString(L"NoCmdPipe4000000000", L"far away");

    const BYTE eight[8] = {9, 0, 0, 0, 0, 0, 0, 0};
    struct Case {
        const char* name;
        DWORD type;
        const void* data;
        DWORD bytes;
        std::size_t entries;
    };
    const DWORD huge = 0xFFFFFFFF;
    const DWORD two = 2;
    const Case cases[] = {
        {"missing count", REG_NONE, nullptr, 0, 0},
        {"DWORD 2", REG_DWORD, &two, 4, 2},
        {"string \"1\" reads as 0x31", REG_SZ, L"1", 4, 2},
        {"one byte", REG_BINARY, eight, 1, 2},
        {"eight bytes cannot be read", REG_BINARY, eight, 8, 0},
        {"0xFFFFFFFF", REG_DWORD, &huge, 4, 3},
    };
    for (const Case& c : cases) {
        RegDeleteValueW(Key().get(), L"NoCmdPipes");
        if (c.data) SetRaw(L"NoCmdPipes", c.type, c.data, c.bytes);
        EXPECT_EQ(Load(L"NoCmdPipe").size(), c.entries) << c.name;
    }
}

TEST_F(Settings, AllFourListsFillTheirOwnSets) {
    const wchar_t* stems[] = {L"CmdPipe", L"NoCmdPipe", L"NotifyPipe", L"NoNotifyPipe"};
    for (const wchar_t* stem : stems) {
        SetDword((std::wstring(stem) + L"s").c_str(), 1);
        SetString(std::wstring(stem) + L"0", std::wstring(L"key of ") + stem);
    }
    ClassificationSets sets;
    sets.noNotifyPipe.insert(L"left over");
    settings::LoadAllKeySets(sets);
    EXPECT_EQ(sets.cmdPipe, KeySet{L"key of CmdPipe"});
    EXPECT_EQ(sets.noCmdPipe, KeySet{L"key of NoCmdPipe"});
    EXPECT_EQ(sets.notifyPipe, KeySet{L"key of NotifyPipe"});
    EXPECT_EQ(sets.noNotifyPipe, KeySet{L"key of NoNotifyPipe"});
}

} // namespace
