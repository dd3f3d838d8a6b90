// The Windows HID stack behind the seam: SetupAPI enumeration, CreateFileW, HID.DLL capabilities and
// feature reports, overlapped input reads.
#pragma once

#include "receiver/hid_seam.h"

namespace pw::hid {

Backend& WindowsBackend();

} // namespace pw::hid
