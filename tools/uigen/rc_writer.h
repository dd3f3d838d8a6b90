// Writes the dialog templates of the layout table as a resource script.
#pragma once

#include <string>

namespace pw::uigen {

// The DIALOGEX statements of every dialog, to be included by the program's resource script
// after windows.h, commctrl.h and resource.h.
std::string DialogsRc();

} // namespace pw::uigen
