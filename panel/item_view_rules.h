// The item view's decisions as plain functions: how it stacks and scrolls the receiver list, and what a
// receiver event makes it open or close. Free of windows.h; the view's window code only carries them out.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace pw::view {

// The scroll information the view reads from and writes to its scroll bar.
struct ScrollState {
    int minimum = 0;
    int maximum = 0;
    int page = 0;
    int position = 0;
    friend bool operator==(const ScrollState&, const ScrollState&) = default;
};

struct ScrollLayout {
    ScrollState bar;
    int lineStep = 1;
    bool barVisible = false;
    friend bool operator==(const ScrollLayout&, const ScrollLayout&) = default;
};

// After stacking: content height, rows (receivers and their list items), the view's client height, the
// scroll offset (0 or negative), what the bar held and the line step so far.
ScrollLayout LayOutScroll(int contentHeight, int rows, int viewHeight, int scrollOffset,
                          const ScrollState& read, int lineStep);

// Scroll requests, as SB_* codes carry them.
enum ScrollRequest : int {
    kLineUp = 0,
    kLineDown = 1,
    kPageUp = 2,
    kPageDown = 3,
    kThumbPosition = 4,
    kThumbTrack = 5,
    kTop = 6,
    kBottom = 7,
    kEndScroll = 8,
};

// The position a scroll request reaches, clamped to [minimum, maximum - minimum - page].
int ScrollPosition(const ScrollState& bar, int request, int trackPosition, int lineStep);
// One wheel notch; the same clamp.
int WheelPosition(const ScrollState& bar, bool down, int lineStep);

// Receiver items move top-down (map order) when the list moves up, bottom-up otherwise, so that no
// moving window passes over another.
inline bool MoveInMapOrder(int firstItemTop, int scrollOffset) {
    return firstItemTop > scrollOffset;
}

// What the view has open when a receiver event arrives.
struct DispatchState {
    int receivers = 0;
    bool debugMode = false;
    bool debugOpen = false;
    bool busy = false; // another event is being dispatched
    bool helpOpen = false;
    bool pairRequestOpen = false;
    bool multipleOpen = false;
    bool redundantOpen = false;
    bool failedOpen = false;
};

// What the view does with one event, in this order.
struct DispatchActions {
    bool openDebug = false;  // before anything else
    bool addLogLine = false; // to the debug dialog
    bool dropped = false;    // busy: nothing below happens, the record is freed
    bool remember = false;   // the event becomes the last notification
    bool closeHelp = false;
    bool openPairRequest = false;
    bool closePairRequest = false;
    bool openMultiple = false;
    bool openRedundant = false;
    std::optional<int> openFailedMode; // 0 receiver full, 1 device limited
    friend bool operator==(const DispatchActions&, const DispatchActions&) = default;
};

DispatchActions Decide(std::uint8_t code, const DispatchState& state);

// "pair-request", "multiple", ... for the trace: every action taken, or "none".
std::string Describe(const DispatchActions& actions);

} // namespace pw::view
