// The dialog layout table: every dialog template of the program with its controls, their template
// rectangles (dialog units) and their pixel rectangles in both layouts, the skin files of each
// dialog and the single pictures. The dialog code reads its pixel rectangles from here, the
// template generator writes the resource script from it and the art generator paints from it.
// Free of windows.h: it also builds with the host compiler.
#pragma once

#include "lang/text_keys.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace pw::ui {

struct Rect {
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;

    bool Empty() const { return cx <= 0 || cy <= 0; }
    int Right() const { return x + cx; }
    int Bottom() const { return y + cy; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

struct Size {
    int cx = 0;
    int cy = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

// What the control is in the template.
enum class ControlKind : std::uint8_t {
    PushButton,  // skinned push button
    LinkButton,  // skinned push button drawn as blue link text
    Static,      // skinned static text
    BoldStatic,  // skinned static text in bold
    CheckBox,    // skinned automatic check box
    Picture,     // static with SS_BITMAP, shows one of the single pictures
    ScrollBar,   // skinned vertical scroll bar
    ProgressBar, // standard progress bar (not skinned)
    PlainButton, // standard push button (debug dialog, about box, unused hidden buttons)
    PlainStatic, // standard static text
    ListBox,     // standard list box
    Icon,        // standard icon static showing icon IDR_MAINFRAME
};

// Template style bits of a control beyond what its kind implies.
enum ControlFlag : std::uint32_t {
    kHidden = 1u << 0,   // created without WS_VISIBLE
    kDisabled = 1u << 1, // created with WS_DISABLED
    kDefault = 1u << 2,  // the dialog's default push button
    kNotify = 1u << 3,   // BS_NOTIFY: also double clicks are reported
    kNoTabStop = 1u << 4,
    kNoRtlReading = 1u << 5, // keeps its reading order in the right-to-left layout
    kComposedText = 1u << 6, // the window composes the shown text from its key and the device data
    kLineBreaks = 1u << 7,   // backslash-n in the text becomes a line feed
};

// What the artwork paints under the control in the renderings.
enum class Art : std::uint8_t {
    None,            // only the body; the control draws its text over it
    Primary,         // filled accent button
    Secondary,       // outlined button
    Danger,          // filled button of a destructive action
    Link,            // link text only: the renderings show a faint underline in hover and pressed looks
    Minimize,        // title-band button with a minimise glyph
    Close,           // title-band button with a close glyph
    ReceiverPicture, // picture of the receiver on a round plate, a button without text
    Settings,        // small button with a gear glyph, no text
    CheckBox,        // check mark box at the left of the control (20 px indent)
    Card,            // soft panel behind a block of text (numbered pairing steps)
};

// Text look of a skinned control as its dialog sets it; 0 keeps the control's default
// (buttons: white text, statics: black text; white hover text; 12 px; regular; left/top).
struct TextLook {
    std::uint32_t color = 0;      // ARGB
    std::uint32_t hoverColor = 0; // ARGB
    float fontSize = 0;           // pixels
    int fontStyle = 0;            // 1 bold
    int align = 0;                // 1 centre, 4 vertical centre, 8 bottom
};

struct Control {
    int id = 0;
    std::string_view symbol; // resource.h name, "IDOK", "IDCANCEL" or "IDC_STATIC"
    ControlKind kind = ControlKind::Static;
    Rect dlu;              // template rectangle, dialog units
    std::string_view text; // template text (ASCII)
    std::uint32_t flags = 0;
    Rect pixels;       // layout set at initialisation, other languages; empty: the template's
    Rect pixelsArabic; // layout for "Arabic"; empty: the template's
    Art art = Art::None;
    TextLook look;
    std::optional<TextKey> textKey; // the language text the window shows in it
    TextDefault textDefault = TextDefault::Main;
    std::span<const std::string_view> pictures; // picture files under ".\ui\" (pictures, scroll bar)

    bool HasLayout() const { return !pixels.Empty(); }
};

enum DialogFlag : std::uint32_t {
    kPopup = 1u << 0,            // WS_POPUP
    kChild = 1u << 1,            // WS_CHILD
    kVisible = 1u << 2,          // WS_VISIBLE
    kCaption = 1u << 3,          // WS_CAPTION: title bar
    kSysMenu = 1u << 4,          // WS_SYSMENU
    kModalFrame = 1u << 5,       // DS_MODALFRAME
    kCenter = 1u << 6,           // DS_CENTER
    kShellFont = 1u << 7,        // DS_SETFONT | DS_FIXEDSYS with "MS Shell Dlg" 8
    kToolWindow = 1u << 8,       // WS_EX_TOOLWINDOW
    kAppWindow = 1u << 9,        // WS_EX_APPWINDOW
    kControlFont = 1u << 10,     // FONT "MS Shell Dlg" 8 without DS_FIXEDSYS
    kDraggable = 1u << 11,       // a press anywhere on the surface drags the window
    kTwoLooks = 1u << 12,        // background 1 is the pressed rendering (a selected list row)
    kPressedIsNormal = 1u << 13, // the pressed look is the normal rendering again
};

// Frame the artwork paints for a skinned dialog.
enum class Chrome : std::uint8_t {
    None,      // plain dialog, no skin
    Window,    // title band, body, rounded outline (main window and pop-ups)
    Container, // the item view: a recessed panel behind the list
    Row,       // a list row (receiver, device, add-device item)
    Tip,       // the no-receiver tip inside the item view
};

// Skin files of one dialog under ".\ui\", exactly as the program opens them; empty: none.
struct SkinFiles {
    std::string_view prefix;
    std::string_view normal;
    std::string_view hover;
    std::string_view selected;
    std::string_view disable;
    std::string_view mask;
    std::string_view checkedHover; // a checked check box under the mouse; empty: none
};

struct Dialog {
    int id = 0;
    std::string_view symbol;    // resource.h name
    std::string_view className; // the dialog class that runs the template
    Size dlu;                   // template size, dialog units
    std::uint32_t flags = 0;
    std::string_view caption;     // window text of the template
    std::string_view windowClass; // registered class of the template, or empty
    SkinFiles skin;
    Chrome chrome = Chrome::None;
    std::span<const Control> controls;
    std::span<const int> layoutOrder; // ids in the order the window moves them; empty: table order

    bool Skinned() const { return chrome != Chrome::None; }
};

// A single picture of the ui folder (not a rendering): what it shows and its size.
enum class PictureKind : std::uint8_t { Keyboard, Mouse, MouseLarge, PairedDots, ScrollBarCells };

struct Picture {
    std::string_view name;
    PictureKind kind;
    Size size;
    int dots = 0; // PairedDots: filled dots of six
};

// Dialog base units measured under Wine for "MS Shell Dlg" 8 (MapDialogRect); they also match
// the pixel layouts of the dialogs (the item view's scroll bar: 301 x 364 units -> x 452, height 592).
inline constexpr int kBaseUnitX = 6;
inline constexpr int kBaseUnitY = 13;

// The main window places the item view at this x and this far above its bottom edge (pixels).
inline constexpr int kItemViewLeft = 25;
inline constexpr int kItemViewBottomGap = 5;

// Thickness of the scroll bar (cell width of "scrollbar.bmp") and its arrow length (cell height).
inline constexpr Size kScrollCell{6, 12};

std::span<const Dialog> Dialogs();
std::span<const Picture> Pictures();
const Dialog* FindDialog(int id);
// The first control of the dialog with this id and, when given, this symbol.
const Control* FindControl(const Dialog& dialog, int id, std::string_view symbol = {});

// Dialog units to pixels the way MapDialogRect does it (rounded to nearest).
int DluToPixelsX(int units);
int DluToPixelsY(int units);
Rect DluToPixels(const Rect& units);
// The dialog's template converted to pixels: the size of its renderings and mask.
Size PixelSize(const Dialog& dialog);
// Where the control sits after initialisation in the given layout.
Rect PixelRect(const Control& control, bool arabic);

} // namespace pw::ui
