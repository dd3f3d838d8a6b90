#include "skin/skin_geometry.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

using namespace pw::skin;
using K = SkinImageKind;
using C = TextColorRole;

// '.' pure white, '#' black, 'o' (254, 255, 255), 'a' white with alpha 0 (still white).
std::vector<std::uint32_t> Pixels(const std::vector<std::string>& rows) {
    std::vector<std::uint32_t> out;
    for (const auto& row : rows)
        for (char c : row)
            out.push_back(c == '.'   ? 0xFFFFFFFFu
                          : c == 'o' ? 0xFFFEFFFFu
                          : c == 'a' ? 0x00FFFFFFu
                                     : 0xFF000000u);
    return out;
}

TEST(MaskRuns, RowsBecomeMaximalRunsOfNonWhite) {
    const std::vector<std::string> mask = {
        "..####..", // one run
        "........", // entirely white: no run
        "##..##.#", // white holes split the row
        "o......o", // (254,255,255) is inside
        "aaa###aa", // alpha does not matter
        "########", // full row
    };
    const auto runs = MaskRowRuns(Pixels(mask), 8, 6);
    const std::vector<MaskRun> expected = {{0, 2, 6}, {2, 0, 2}, {2, 4, 6}, {2, 7, 8},
                                           {3, 0, 1}, {3, 7, 8}, {4, 3, 6}, {5, 0, 8}};
    EXPECT_EQ(runs, expected);
}

TEST(MaskRuns, TooFewPixelsOrEmptySizeGiveNoRuns) {
    EXPECT_TRUE(MaskRowRuns(Pixels({"##"}), 2, 2).empty());
    EXPECT_TRUE(MaskRowRuns({}, 0, 0).empty());
}

TEST(ControlLooks, StateTableFirstMatchingRowWins) {
    struct Case {
        SkinControlType type;
        ControlState state;
        ControlLook look;
    };
    const auto B = SkinControlType::Button, X = SkinControlType::CheckBox, S = SkinControlType::Static;
    const Case cases[] = {
        {B, {}, {K::Normal, C::Normal}},
        {B, {.hovered = true}, {K::Hover, C::Hover}},
        {B, {.pressed = true, .hovered = true}, {K::Selected, C::Hover}},
        {B, {.disabled = true, .pressed = true, .hovered = true}, {K::Disable, C::Disable}},
        {X, {}, {K::Normal, C::Normal}},
        {X, {.pressed = true}, {K::Normal, C::Normal}}, // no pressed look
        {X, {.hovered = true}, {K::Hover, C::Hover}},
        {X, {.disabled = true, .hovered = true}, {K::Disable, C::Disable}},
        {X, {.checked = true}, {K::Selected, C::Hover}},
        {X, {.hovered = true, .checked = true}, {K::CheckedHover, C::Hover}},
        {X, {.disabled = true, .hovered = true, .checked = true}, {K::CheckedDisable, C::Disable}},
        {S, {.hovered = true}, {K::Normal, C::Normal}}, // no hover look
        {S, {.disabled = true}, {K::Disable, C::Disable}},
    };
    for (const auto& c : cases) {
        const auto look = ChooseLook(c.type, c.state);
        EXPECT_EQ(look, c.look) << "type " << static_cast<int>(c.type) << " disabled " << c.state.disabled
                                << " pressed " << c.state.pressed << " hovered " << c.state.hovered
                                << " checked " << c.state.checked;
    }
}

TEST(ControlLooks, ControlIndexZeroFollowsTheBackgroundExceptForDisabledKinds) {
    for (K kind : {K::Normal, K::Hover, K::CheckedHover, K::Selected}) {
        EXPECT_EQ(ImageIndex(kind, 0, 1), 1);
        EXPECT_EQ(ImageIndex(kind, 2, 1), 2);
    }
    for (K kind : {K::Disable, K::CheckedDisable}) {
        EXPECT_EQ(ImageIndex(kind, 0, 1), 0);
        EXPECT_EQ(ImageIndex(kind, 2, 1), 2);
    }
}

TEST(ControlLooks, AlignmentFlags) {
    using A = StringAlign;
    const std::map<int, TextAlignment> cases = {
        {0, {A::Unchanged, A::Unchanged}}, {1, {A::Center, A::Unchanged}}, {4, {A::Unchanged, A::Center}},
        {5, {A::Center, A::Center}},       {8, {A::Unchanged, A::Far}},    {12, {A::Unchanged, A::Far}},
        {2, {A::Unchanged, A::Unchanged}},
    };
    for (const auto& [flags, expected] : cases)
        EXPECT_EQ(AlignmentFor(flags), expected) << "flags " << flags;
}

ScrollState Info(int nMin, int nMax, unsigned nPage, int nPos) {
    return {nMin, nMax, nPage, nPos, 0};
}

TEST(ScrollLayout, WorkedExampleThumbSitsFlushWithTheDownArrow) {
    const auto l = LayoutScrollBar(Info(0, 99, 10, 90), 200, 10, 6, false);
    EXPECT_EQ(l.track, 180);
    EXPECT_EQ(l.thumbLength, 18);
    EXPECT_EQ(l.thumbOffset, 162);
    EXPECT_EQ(l.up, (PartRect{0, 0, 6, 10}));
    EXPECT_EQ(l.pageBefore, (PartRect{0, 10, 6, 172}));
    EXPECT_EQ(l.thumb, (PartRect{0, 172, 6, 190}));
    EXPECT_EQ(l.pageAfter, (PartRect{0, 190, 6, 190}));
    EXPECT_EQ(l.down, (PartRect{0, 190, 6, 200}));
}

TEST(ScrollLayout, ThumbLengthAndOffsetCases) {
    struct Case {
        const char* name;
        ScrollState info;
        int length, arrow;
        int track, thumb, offset, usedArrow;
    };
    const Case cases[] = {
        {"proportional thumb below 8 px is 8 px", Info(0, 999, 1, 0), 200, 10, 180, 8, 0, 10},
        {"minimum thumb at the end", Info(0, 999, 1, 999), 200, 10, 180, 8, 172, 10},
        {"track shorter than 8 px: no thumb", Info(0, 99, 10, 50), 26, 10, 6, 0, 3, 10},
        {"bar shorter than two arrows: arrows share it", Info(0, 99, 10, 50), 15, 10, 0, 0, 0, 7},
        {"page equal to the range: no thumb, middle", Info(0, 99, 100, 0), 200, 10, 180, 0, 90, 10},
        {"page larger than the range: thumb fills the track", Info(0, 9, 50, 0), 200, 10, 180, 180, 0, 10},
        {"empty range", Info(5, 4, 0, 5), 200, 10, 180, 0, 90, 10},
        {"position past the end stays in the track", Info(0, 99, 10, 500), 200, 10, 180, 18, 162, 10},
        {"position before the start stays in the track", Info(0, 99, 10, -50), 200, 10, 180, 18, 0, 10},
        {"negative minimum", Info(-100, -1, 10, -55), 200, 10, 180, 18, 81, 10},
    };
    for (const auto& c : cases) {
        const auto l = LayoutScrollBar(c.info, c.length, c.arrow, 6, false);
        EXPECT_EQ(l.track, c.track) << c.name;
        EXPECT_EQ(l.thumbLength, c.thumb) << c.name;
        EXPECT_EQ(l.thumbOffset, c.offset) << c.name;
        EXPECT_EQ(l.arrow, c.usedArrow) << c.name;
        // Every part stays inside the bar.
        for (int part : {kPartUp, kPartPageBefore, kPartThumb, kPartPageAfter, kPartDown}) {
            const PartRect& r = *l.Rect(part);
            EXPECT_GE(r.top, 0) << c.name << " part " << part;
            EXPECT_LE(r.bottom, c.length) << c.name << " part " << part;
            EXPECT_LE(r.top, r.bottom) << c.name << " part " << part;
        }
    }
}

TEST(ScrollLayout, HorizontalBarTransposesEveryRectangle) {
    const auto v = LayoutScrollBar(Info(0, 99, 10, 40), 200, 10, 6, false);
    const auto h = LayoutScrollBar(Info(0, 99, 10, 40), 200, 10, 6, true);
    for (int part : {kPartUp, kPartPageBefore, kPartThumb, kPartPageAfter, kPartDown}) {
        const PartRect& a = *v.Rect(part);
        EXPECT_EQ(*h.Rect(part), (PartRect{a.top, a.left, a.bottom, a.right})) << "part " << part;
    }
    EXPECT_EQ(h.up, (PartRect{0, 0, 10, 6}));
}

TEST(ScrollLayout, HitTestOrderAndMisses) {
    const auto l = LayoutScrollBar(Info(0, 99, 10, 50), 200, 10, 6, false);
    // thumb: offset 50 * 162 / 90 = 90 -> rows 100..117
    EXPECT_EQ(HitTest(l, 3, 0), kPartUp);
    EXPECT_EQ(HitTest(l, 3, 50), kPartPageBefore);
    EXPECT_EQ(HitTest(l, 3, 100), kPartThumb);
    EXPECT_EQ(HitTest(l, 3, 117), kPartThumb);
    EXPECT_EQ(HitTest(l, 3, 118), kPartPageAfter);
    EXPECT_EQ(HitTest(l, 3, 195), kPartDown);
    EXPECT_EQ(HitTest(l, 6, 50), kPartNone);
    EXPECT_EQ(HitTest(l, 3, 200), kPartNone);
    // Without a skin the parts have no area and the bar ignores the mouse.
    EXPECT_EQ(HitTest(LayoutScrollBar(Info(0, 99, 10, 50), 200, 0, 0, false), 0, 50), kPartNone);
}

TEST(ScrollDrag, PositionFollowsThePointerAndIsClamped) {
    // free = 180 - 10 * 180 / 100 = 162 pixels for 90 positions
    const ScrollState info = Info(0, 99, 10, 20);
    struct Case {
        int start, delta, expected;
    };
    const Case cases[] = {
        {20, 0, 20},    {20, 9, 25},    {20, -9, 15}, {20, 1, 20}, // 1 * 90 / 162 = 0
        {20, -1, 20},                                              // truncates towards zero
        {20, 1000, 90}, {20, -1000, 0},                            // never above nMax - nPage + 1, below nMin
    };
    for (const auto& c : cases)
        EXPECT_EQ(DragPosition(info, 200, 10, c.start, c.delta), c.expected) << "delta " << c.delta;
}

TEST(ScrollDrag, DegenerateRangesDoNotMove) {
    EXPECT_EQ(DragPosition(Info(5, 4, 0, 5), 200, 10, 5, 50), 5) << "nMax - nMin + 1 = 0";
    EXPECT_EQ(DragPosition(Info(0, 9, 50, 0), 200, 10, 0, 50), 0) << "page larger than the range";
    EXPECT_EQ(DragPosition(Info(0, 99, 0, 0), 20, 10, 0, 5), 0) << "no track";
}

TEST(ScrollRepeat, FirstRepeatAfter500MsThenEvery100Ms) {
    // A small timer scheduler fed by the bar's own timer rules: the press notifies at once and
    // starts timer 100 with 500 ms; each tick applies OnRepeatTimer and repeats the notification.
    std::map<unsigned, std::pair<unsigned, unsigned>> timers; // id -> (next due, period)
    std::vector<unsigned> notified = {0};
    timers[kRepeatDelayTimer] = {kRepeatDelayMs, kRepeatDelayMs};
    for (unsigned now = 1; now <= 900; ++now) {
        for (auto& [id, timer] : timers) {
            if (timer.first != now) continue;
            const unsigned firing = id;
            timer.first += timer.second;
            const auto change = OnRepeatTimer(firing);
            if (change.kill) timers.erase(change.kill);
            if (change.start) timers[change.start] = {now + change.elapse, change.elapse};
            notified.push_back(now);
            break; // the map may have changed
        }
    }
    EXPECT_EQ(notified, (std::vector<unsigned>{0, 500, 600, 700, 800, 900}));
}

TEST(ScrollRepeat, StopRule) {
    struct Case {
        int part;
        ScrollState info;
        bool cursorInThumb;
        bool stops;
    };
    const Case cases[] = {
        {kPartUp, Info(0, 99, 10, 0), false, true},
        {kPartUp, Info(0, 99, 10, 1), false, false},
        {kPartDown, Info(0, 99, 10, 99), false, true},
        {kPartDown, Info(0, 99, 10, 90), false, false},
        {kPartPageBefore, Info(0, 99, 10, 0), true, true},
        {kPartPageAfter, Info(0, 99, 10, 90), false, false},
        {kPartPageAfter, Info(0, 99, 10, 50), true, true},
        {kPartThumb, Info(0, 99, 10, 50), false, true},
        {kPartNone, Info(0, 99, 10, 50), false, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RepeatStops(c.part, c.info, c.cursorInThumb), c.stops)
            << "part " << c.part << " pos " << c.info.nPos;
}

TEST(ScrollCells, GridOfFourByFour) {
    EXPECT_EQ(CellsOf(24, 48).thickness, 6);
    EXPECT_EQ(CellsOf(24, 48).arrow, 12);
    EXPECT_EQ(CellsOf(27, 50).thickness, 6);
    EXPECT_EQ(CellsOf(27, 50).arrow, 12);
    EXPECT_EQ(CellsOf(0, 0).thickness, 0);
}

} // namespace
