// The arithmetic of the receiver panel, free of windows.h: what the items show and in which order the
// rows under a receiver move. The windows in this folder decide none of it themselves.
#pragma once

#include "common/types.h"
#include "res/dialog_layouts.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pw {

// Shown in the receiver's name field when its command interface cannot be opened.
inline constexpr wchar_t kDamagedReceiverText[] = L"Error: the receiver was damaged!";

// The pairing watch gives up after this many ticks of one second.
constexpr int kPairingWatchTicks = 30;

// Room left below every receiver item, expanded or not (pixels).
constexpr int kReceiverGap = 15;

// The receiver hardware ID as the receiver item shows it: "_" becomes ":", "&" five blanks, letters
// upper case; vid_2f1e&pid_7a31 reads VID:2F1E     PID:7A31.
std::wstring HardwareIdDisplayForm(std::wstring_view id);

// A device's firmware version from its slot record: the nibbles of byte 28, then of byte 27.
std::wstring DeviceFirmwareText(const DeviceSlotRecord& record);

// Which of the seven indicator pictures shows the paired devices: one per device, none from seven on.
int IndicatorImage(int keyboards, int mice);

// The command line that opens the system's keyboard (kind 1) or mouse (kind 2) settings with the
// rundll32.exe of the system folder; empty for any other kind or an unknown system folder.
std::wstring SettingsCommandLine(std::wstring_view systemFolder, std::uint8_t kind);

// A receiver item's room in the item view: its own size, while expanded also its list items stacked
// under it (the widest of all sets the width), then the gap below it.
ui::Size ReceiverTotalSize(ui::Size own, bool expanded, std::span<const ui::Size> listItems);

// One window move of a receiver item's MoveTo, in the order the moves are made.
constexpr int kReceiverRow = -1;
enum class RowAction { Place, PlaceAndShow, Hide };
struct RowMove {
    int row = kReceiverRow; // kReceiverRow: the receiver item itself; otherwise a list item's index
    RowAction action = RowAction::Place;
    int x = 0;
    int y = 0;
    friend bool operator==(const RowMove&, const RowMove&) = default;
};

// Moving a receiver item whose top is now at currentTop to (x, y). Collapsed, its list items are
// hidden. Expanded, they are stacked under it, moved top-down when the item moves up and bottom-up
// otherwise, so that no moving window passes over another.
std::vector<RowMove> PlanMoveTo(int x, int y, int currentTop, int ownHeight, bool expanded,
                                std::span<const int> listItemHeights);

} // namespace pw
