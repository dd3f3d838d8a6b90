#include "panel/item_view_rules.h"

#include "common/types.h"

#include <gtest/gtest.h>

namespace pw::view {
namespace {

TEST(ItemViewScroll, ContentTallerThanTheViewGivesPagesOfItsRows) {
    // 300 pixels too tall with 10 rows: a page of 30, a line of 10, range 0..300.
    const ScrollLayout layout = LayOutScroll(892, 10, 592, 0, {}, 1);
    EXPECT_EQ(layout.bar, (ScrollState{0, 300, 30, 0}));
    EXPECT_EQ(layout.lineStep, 10);
    EXPECT_TRUE(layout.barVisible);
    // The last position the bar can reach leaves one page below it.
    EXPECT_EQ(ScrollPosition(layout.bar, kBottom, 0, 10), 0) << "SB_BOTTOM keeps the position";
    EXPECT_EQ(ScrollPosition(layout.bar, kThumbTrack, 1000, 10), 270);
    EXPECT_EQ(ScrollPosition(layout.bar, kLineUp, 0, 10), 0);
}

TEST(ItemViewScroll, ContentThatFitsHidesTheBar) {
    const ScrollLayout layout = LayOutScroll(400, 6, 592, 0, {0, 0, 0, 0}, 10);
    EXPECT_EQ(layout.bar, (ScrollState{0, 0, 0, 0}));
    EXPECT_FALSE(layout.barVisible);
    EXPECT_EQ(layout.lineStep, 10) << "kept from the last layout";
}

TEST(ItemViewScroll, ScrolledListThatShrankKeepsTheReachedPart) {
    // Scrolled down by 120, then items went away: the content is 50 pixels shorter than the view.
    const ScrollLayout layout = LayOutScroll(542, 4, 592, -120, {0, 300, 30, 120}, 10);
    EXPECT_EQ(layout.bar.maximum, 50);
    EXPECT_EQ(layout.bar.position, 20) << "clamped to the maximum less the page read";
    EXPECT_TRUE(layout.barVisible);
}

TEST(ItemViewScroll, RequestsMoveByLineAndPageAndOthersKeepThePosition) {
    const ScrollState bar{0, 300, 30, 100};
    const struct {
        int request;
        int track;
        int expected;
    } cases[] = {
        {kLineUp, 0, 90},      {kLineDown, 0, 110},       {kPageUp, 0, 70},        {kPageDown, 0, 130},
        {kThumbTrack, 42, 42}, {kThumbPosition, 42, 100}, {kTop, 0, 100},          {kBottom, 0, 100},
        {kEndScroll, 0, 100},  {kThumbTrack, -5, 0},      {kThumbTrack, 999, 270},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ScrollPosition(bar, c.request, c.track, 10), c.expected) << "request " << c.request;
}

TEST(ItemViewScroll, WheelStopsAtTheEndsOfTheRange) {
    EXPECT_EQ(WheelPosition({0, 300, 30, 265}, true, 10), 270);
    EXPECT_EQ(WheelPosition({0, 300, 30, 270}, true, 10), 270) << "no change: the view does not relayout";
    EXPECT_EQ(WheelPosition({0, 300, 30, 0}, false, 10), 0);
}

TEST(ItemViewScroll, ItemsMoveTopDownOnlyWhenTheListMovesUp) {
    EXPECT_TRUE(MoveInMapOrder(0, -20));
    EXPECT_FALSE(MoveInMapOrder(-20, 0));
    EXPECT_FALSE(MoveInMapOrder(0, 0));
}

TEST(Dispatcher, DecidesByCodeReceiversAndOpenDialogs) {
    const auto one = [](DispatchState s) {
        s.receivers = 1;
        return s;
    };
    const auto two = [](DispatchState s) {
        s.receivers = 2;
        return s;
    };
    const DispatchState helpOpen{.helpOpen = true};
    const DispatchState pairOpen{.pairRequestOpen = true};
    const struct {
        std::uint8_t code;
        DispatchState state;
        const char* expected;
    } cases[] = {
        {kNotifyUnused, one(helpOpen), "none"},
        {kNotifyPairRequest, one(helpOpen), "close-help,open-pair-request"},
        {kNotifyPairRequest, one(pairOpen), "none"},
        {kNotifyPairRequest, DispatchState{.helpOpen = true}, "close-help"},
        {kNotifyPairRequest, two(pairOpen), "close-pair-request,open-multiple"},
        {kNotifyAlreadyConnected, two({.multipleOpen = true}), "none"},
        {kNotifyAlreadyConnected, one({}), "open-redundant"},
        {kNotifyAlreadyConnected, DispatchState{}, "open-redundant"},
        {kNotifyReceiverFull, one({}), "open-failed-receiver-full"},
        {kNotifyDeviceLimited, one({}), "open-failed-device-limited"},
        {kNotifyDeviceLimited, one({.failedOpen = true}), "none"},
        {0x77, one(helpOpen), "close-help"},
        {kNotifyDebug, one({.debugMode = true, .helpOpen = true}), "open-debug,log-line,close-help"},
        {kNotifyDebug, two({.debugMode = true, .debugOpen = true}), "log-line,open-multiple"},
        {kNotifyDebug, one(helpOpen), "close-help"},
        {kNotifyDebug, one({.debugMode = true, .busy = true}), "open-debug,log-line,dropped-busy"},
        {kNotifyPairRequest, one({.busy = true}), "dropped-busy"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Describe(Decide(c.code, c.state)), c.expected)
            << "code " << int(c.code) << " receivers " << c.state.receivers;
}

TEST(Dispatcher, EveryEventButABusyOneBecomesTheLastNotification) {
    EXPECT_TRUE(Decide(kNotifyUnused, {}).remember);
    EXPECT_TRUE(Decide(0x99, {.receivers = 3}).remember);
    EXPECT_FALSE(Decide(kNotifyPairRequest, {.receivers = 1, .busy = true}).remember);
}

} // namespace
} // namespace pw::view
