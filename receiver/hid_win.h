// The Windows HID stack behind the seam: SetupAPI enumeration, CreateFileW, HID.DLL capabilities and
// feature reports, overlapped input reads.
#pragma once

#include "receiver/hid_seam.h"

#include <windows.h>

namespace pw::hid {

// {4D1E55B2-F16F-11CF-88CB-001111000030}, the HID device-interface class.
inline constexpr GUID kHidInterfaceClass = {
    0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};

Backend& WindowsBackend();

} // namespace pw::hid
