// The Windows HID stack under Wine: what a path that does not fit or does not exist gives.
#include "receiver/cmd_pipe.h"
#include "receiver/hid_win.h"
#include "receiver/notify_pipe.h"

#include <gtest/gtest.h>

namespace pw {
namespace {

TEST(WindowsHid, PathThatDoesNotExist) {
    const std::wstring path =
        L"\\\\?\\hid#vid_0000&pid_0000&mi_01&col02#0&0&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}";
    EXPECT_EQ(hid::WindowsBackend().Open(path, hid::OpenMode::Plain), nullptr);
    EXPECT_EQ(hid::WindowsBackend().Open(path, hid::OpenMode::Overlapped), nullptr);
    CCmdPipe command;
    EXPECT_FALSE(command.Open(path));
    CNotifyPipe notify;
    EXPECT_FALSE(notify.Open(nullptr, path));
    EXPECT_FALSE(notify.IsReading());
    notify.Close();
}

// Wine lists a few HID interfaces of its own; none has a receiver's report lengths.
TEST(WindowsHid, WinesOwnInterfacesAreNeitherCommandNorNotification) {
    EXPECT_EQ(&hid::CurrentBackend(), &hid::WindowsBackend());
    const auto paths = hid::WindowsBackend().Enumerate(127);
    if (paths.empty()) GTEST_SKIP() << "this Wine lists no HID interface";
    EXPECT_EQ(hid::WindowsBackend().Enumerate(1).size(), 1u);
    for (const std::wstring& path : paths) {
        SCOPED_TRACE(std::string(path.begin(), path.end()));
        EXPECT_EQ(path.rfind(L"\\\\?\\", 0), 0u);
        EXPECT_LE(path.size(), 260u);
        if (auto device = hid::WindowsBackend().Open(path, hid::OpenMode::Plain)) {
            hid::Caps caps;
            if (device->GetCaps(caps)) {
                EXPECT_NE(caps.featureReportLength, 32);
                EXPECT_NE(caps.inputReportLength, 32);
            }
        }
        CCmdPipe command;
        EXPECT_FALSE(command.Open(path));
        CNotifyPipe notify;
        EXPECT_FALSE(notify.Open(nullptr, path));
        EXPECT_FALSE(notify.IsReading());
    }
}

} // namespace
} // namespace pw
