// The arithmetic of the skinned dialog and its controls: mask outlines, which rendering a control
// shows in which state, and the scroll bar's layout, dragging and repeat. Free of windows.h, so it
// builds and is tested natively; the window code calls these functions and nothing else decides.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

// The six image lists of a skinned dialog, in the order the dialog keeps them.
enum class SkinImageKind : int { Normal, Disable, CheckedDisable, Hover, CheckedHover, Selected };
inline constexpr int kSkinImageKindCount = 6;

namespace pw::skin {

// ---- Mask outline ----------------------------------------------------------------------------

// One maximal horizontal run of non-white mask pixels: columns [left, right) of row y.
struct MaskRun {
    int y = 0;
    int left = 0;
    int right = 0;
    friend bool operator==(const MaskRun&, const MaskRun&) = default;
};

// Only pure white lies outside; any other colour, (254, 255, 255) too, is inside.
constexpr bool IsOutside(std::uint32_t rgb) {
    return (rgb & 0xFFFFFFu) == 0xFFFFFFu;
}

// Runs of a top-down image of width x height pixels (0x??RRGGBB or 0x??BBGGRR; white is white either
// way), row by row, left to right. Rows that are entirely white give no run.
std::vector<MaskRun> MaskRowRuns(std::span<const std::uint32_t> pixels, int width, int height);

// ---- Skinned control looks -------------------------------------------------------------------

enum class SkinControlType { Button, CheckBox, Static };
enum class TextColorRole { Normal, Disable, Hover };

struct ControlState {
    bool disabled = false;
    bool pressed = false; // ODS_SELECTED
    bool hovered = false;
    bool checked = false; // check box only
};

struct ControlLook {
    SkinImageKind image = SkinImageKind::Normal;
    TextColorRole color = TextColorRole::Normal;
    friend bool operator==(const ControlLook&, const ControlLook&) = default;
};

// The first matching row of the state table wins: disabled before pressed before hovered.
ControlLook ChooseLook(SkinControlType type, const ControlState& state);

// The entry of a dialog's list that a control draws: its own index, except that 0 means "the current
// background" for every kind but Disable and CheckedDisable.
int ImageIndex(SkinImageKind kind, int controlIndex, int backgroundIndex);

// Text alignment flags of the skinned controls and what they make of the string format.
enum AlignFlag : int { kAlignCenter = 1, kAlignVCenter = 4, kAlignBottom = 8 };
enum class StringAlign { Near, Center, Far, Unchanged };
struct TextAlignment {
    StringAlign horizontal = StringAlign::Unchanged;
    StringAlign vertical = StringAlign::Unchanged;
    friend bool operator==(const TextAlignment&, const TextAlignment&) = default;
};
TextAlignment AlignmentFor(int flags);

// ---- Scroll bar ------------------------------------------------------------------------------

// Part codes equal the scroll codes they send (SB_LINEUP 0, SB_LINEDOWN 1, SB_PAGEUP 2,
// SB_PAGEDOWN 3, SB_THUMBTRACK 5).
enum ScrollPart : int {
    kPartNone = -1,
    kPartUp = 0,
    kPartDown = 1,
    kPartPageBefore = 2,
    kPartPageAfter = 3,
    kPartThumb = 5,
};

// Rows of the cell grid.
enum ScrollRow : int { kRowNormal = 0, kRowDisabled = 1, kRowHover = 2, kRowPressed = 3 };
// Columns of the cell grid.
enum ScrollColumn : int { kColumnUp = 0, kColumnDown = 1, kColumnThumb = 2, kColumnTrack = 3 };
inline constexpr int kScrollGridSize = 4;
inline constexpr int kMinThumbLength = 8;
inline constexpr int kThumbCap = 4;

// The scroll information the bar keeps, as SCROLLINFO holds it.
struct ScrollState {
    int nMin = 0;
    int nMax = 0;
    unsigned nPage = 0;
    int nPos = 0;
    int nTrackPos = 0;
};

struct PartRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    friend bool operator==(const PartRect&, const PartRect&) = default;
};

struct ScrollLayout {
    int arrow = 0;       // arrow length actually used (half the bar when the track is empty)
    int track = 0;       // length between the arrows
    int thumbLength = 0; // 0: no thumb
    int thumbOffset = 0; // from the end of the up arrow
    PartRect up, pageBefore, thumb, pageAfter, down;

    const PartRect* Rect(int part) const;
};

// Cell grid of the skin image: thickness = width / 4, arrow length = height / 4.
struct ScrollCells {
    int thickness = 0;
    int arrow = 0;
};
ScrollCells CellsOf(int imageWidth, int imageHeight);

// Layout along a bar of `length` pixels; horizontal bars get every rectangle transposed. The thumb
// always lies within the track, also when the page is larger than the range.
ScrollLayout LayoutScrollBar(const ScrollState& info, int length, int arrow, int thickness, bool horizontal);

// Up arrow, page before, thumb, page after, down arrow: the first part containing the point.
int HitTest(const ScrollLayout& layout, int x, int y);

// The position a drag reaches after moving `delta` pixels along the bar from where it began.
int DragPosition(const ScrollState& info, int length, int arrow, int startPos, int delta);

// Timers of a held click: 100 fires once after 500 ms and hands over to 200, every 100 ms.
inline constexpr unsigned kRepeatDelayTimer = 100;
inline constexpr unsigned kRepeatDelayMs = 500;
inline constexpr unsigned kRepeatTimer = 200;
inline constexpr unsigned kRepeatIntervalMs = 100;

// What a timer tick of a held click does with the timers. Both ticks repeat the notification (under
// the stop rule): the first repeat comes 500 ms after the press, the next ones every 100 ms.
struct RepeatTimerChange {
    unsigned kill = 0;   // timer to kill, 0: none
    unsigned start = 0;  // timer to start, 0: none
    unsigned elapse = 0; // its period
    friend bool operator==(const RepeatTimerChange&, const RepeatTimerChange&) = default;
};
RepeatTimerChange OnRepeatTimer(unsigned timerId);

// Whether a repeat tick of the pressed part stops instead of notifying again: arrows at their end of
// the range (up at nMin, down at nMax), page areas once the thumb lies under the cursor.
bool RepeatStops(int pressedPart, const ScrollState& info, bool cursorInThumb);

} // namespace pw::skin
