// The layout table at work for one skinned window: the looks and pictures of its controls, where they
// stand in the current language and the texts they show. CSkinDialog calls these for its own entry;
// the skin gallery calls them too, so that both show the same thing.
#pragma once

#include "res/dialog_layouts.h"
#include "skin/skin_controls.h"
#include "skin/skin_dialog.h"
#include "skin/skin_scrollbar.h"

#include <string>
#include <string_view>

namespace pw::skin {

// A file of the ui folder, relative to the current directory (start-up makes it the program folder).
std::wstring UiPath(std::string_view file);

void ApplyLook(CSkinControl<CButton>& control, const ui::Control& entry);
void ApplyLook(CSkinControl<CStatic>& control, const ui::Control& entry);
// The picture files, in the order their indexes show them.
void ApplyLook(CSkinBitmap& picture, const ui::Control& entry);
// The cell grid file.
void ApplyLook(CSkinScrollBar& bar, const ui::Control& entry);

// Moves every control with a layout to its rectangle, in the entry's layout order. Right to left, a
// control first gets WS_EX_RTLREADING unless the table keeps its reading order.
void LayOut(HWND dialog, const ui::Dialog& entry, bool rightToLeft);

// The control's language text (its key in the current language, or the key's English default); empty
// for a control without a key.
std::wstring TableText(const ui::Control& entry);
// Sets the text of every control with a key whose text the window does not compose itself.
void ApplyTexts(HWND dialog, const ui::Dialog& entry);

} // namespace pw::skin
