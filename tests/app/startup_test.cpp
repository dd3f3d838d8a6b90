#include "receiver/device_events.h"
#include "app/startup.h"
#include "common/types.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using namespace pw;

TEST(Switches, WholeArgumentsInAnyCaseWithoutPrefix) {
    struct Case {
        std::vector<std::wstring> arguments;
        bool show;
        bool debugMode;
    };
    const Case cases[] = {
        {{L"C:\\Pairwright\\Pairwright.exe"}, true, false},
        {{L"Pairwright.exe", L"NoShow"}, false, false},
        {{L"Pairwright.exe", L"noshow", L"DEBUGMODE"}, false, true},
        {{L"Pairwright.exe", L"dEbUgMoDe", L"nOsHoW"}, false, true},
        {{L"Pairwright.exe", L"/NoShow", L"-DebugMode"}, true, false},
        {{L"Pairwright.exe", L"NoShowX", L"Debug", L"No Show", L"NoShow "}, true, false},
        {{L"NoShow"}, false, false}, // the program path is examined too
        {{}, true, false},
    };
    for (const Case& c : cases) {
        const StartupSwitches switches = ParseSwitches(c.arguments);
        std::wstring joined;
        for (const auto& a : c.arguments)
            joined += L"[" + a + L"]";
        EXPECT_EQ(switches.show, c.show) << testing::PrintToString(joined);
        EXPECT_EQ(switches.debugMode, c.debugMode) << testing::PrintToString(joined);
    }
}

TEST(Startup, ModuleFolderBecomesTheCurrentDirectoryFromAnywhere) {
    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring expected(exe);
    expected.resize(expected.rfind(L'\\'));

    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    ASSERT_TRUE(SetCurrentDirectoryW(temp));

    EXPECT_EQ(EnterModuleFolder(), expected);
    wchar_t current[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, current);
    EXPECT_EQ(lstrcmpiW(current, expected.c_str()), 0);
}

TEST(Startup, MainWindowClassIsACopyOfTheDialogClass) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    ASSERT_TRUE(RegisterMainWindowClass(instance) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS);
    WNDCLASSW dialog{};
    WNDCLASSW copy{};
    ASSERT_TRUE(GetClassInfoW(instance, L"#32770", &dialog));
    ASSERT_TRUE(GetClassInfoW(instance, kMainWindowClass, &copy));
    EXPECT_EQ(copy.lpfnWndProc, dialog.lpfnWndProc);
    EXPECT_EQ(copy.cbWndExtra, dialog.cbWndExtra);
    EXPECT_EQ(copy.style, dialog.style);

    // A window of the class is what a second instance looks for.
    EXPECT_EQ(FindRunningInstance(), nullptr);
    HWND wnd = CreateWindowExW(0, kMainWindowClass, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, instance,
                               nullptr);
    ASSERT_NE(wnd, nullptr);
    EXPECT_EQ(FindRunningInstance(), wnd);
    DestroyWindow(wnd);
    EXPECT_EQ(FindRunningInstance(), nullptr);
}

TEST(DeviceEvents, ArrivalAndRemovalOfInterfacesOnly) {
    const std::wstring path =
        L"\\\\?\\hid#vid_2f1e&pid_7a31&mi_01&col02#1&2&3#{4d1e55b2-f16f-11cf-88cb-001111000030}";
    const DeviceInterfaceBroadcast broadcast(path);

    auto arrival = DecodeDeviceChange(DBT_DEVICEARRIVAL, broadcast.lParam());
    ASSERT_TRUE(arrival);
    EXPECT_EQ(arrival->change, DeviceChange::Arrival);
    EXPECT_EQ(arrival->path, path);
    auto removal = DecodeDeviceChange(DBT_DEVICEREMOVECOMPLETE, broadcast.lParam());
    ASSERT_TRUE(removal);
    EXPECT_EQ(removal->change, DeviceChange::Removal);

    EXPECT_FALSE(DecodeDeviceChange(DBT_DEVNODES_CHANGED, 0));
    EXPECT_FALSE(DecodeDeviceChange(DBT_DEVICEQUERYREMOVE, broadcast.lParam()));
    EXPECT_FALSE(DecodeDeviceChange(DBT_DEVICEARRIVAL, 0));

    DEV_BROADCAST_VOLUME volume{};
    volume.dbcv_size = sizeof volume;
    volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
    EXPECT_FALSE(DecodeDeviceChange(DBT_DEVICEARRIVAL, reinterpret_cast<LPARAM>(&volume)));
}

TEST(DeviceEvents, PathIsReadOnlyWithinTheStatedSize) {
    // A name that fills the whole stated size without a terminator, followed by characters not its own.
    alignas(DEV_BROADCAST_DEVICEINTERFACE_W) unsigned char block[128] = {};
    auto* header = reinterpret_cast<DEV_BROADCAST_HDR*>(block);
    header->dbch_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    const std::size_t nameOffset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name);
    std::memcpy(block + nameOffset, L"abcdefghXYZ", 12 * sizeof(wchar_t));
    const LPARAM lParam = reinterpret_cast<LPARAM>(block);

    header->dbch_size = static_cast<DWORD>(nameOffset + 8 * sizeof(wchar_t));
    auto event = DecodeDeviceChange(DBT_DEVICEARRIVAL, lParam);
    ASSERT_TRUE(event);
    EXPECT_EQ(event->path, L"abcdefgh");

    header->dbch_size = static_cast<DWORD>(nameOffset + 3 * sizeof(wchar_t) + 1);
    event = DecodeDeviceChange(DBT_DEVICEARRIVAL, lParam);
    ASSERT_TRUE(event);
    EXPECT_EQ(event->path, L"abc");

    header->dbch_size = static_cast<DWORD>(nameOffset - 1);
    EXPECT_FALSE(DecodeDeviceChange(DBT_DEVICEARRIVAL, lParam));
}

} // namespace
