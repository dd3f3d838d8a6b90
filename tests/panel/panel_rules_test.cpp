// The panel's arithmetic, natively and under Wine.
#include "panel/panel_rules.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace pw {

inline void PrintTo(const RowMove& m, std::ostream* os) {
    *os << "row " << m.row << " action " << static_cast<int>(m.action) << " at " << m.x << ", " << m.y;
}

namespace {

using ::testing::ElementsAre;

TEST(PanelRules, HardwareIdReadsWithColonsFiveBlanksAndCapitals) {
    struct Case {
        const wchar_t* id;
        const wchar_t* shown;
    };
    const Case cases[] = {
        {L"vid_2f1e&pid_7a31", L"VID:2F1E     PID:7A31"},
        {L"\\\\?\\hid#vid_2f1e", L"\\\\?\\HID#VID:2F1E"},
        {L"a&&b", L"A          B"},
        {L"", L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HardwareIdDisplayForm(c.id), c.shown);
}

TEST(PanelRules, DeviceFirmwareComesFromBytes28Then27) {
    DeviceSlotRecord record{};
    auto* bytes = reinterpret_cast<std::uint8_t*>(&record);
    bytes[28] = 0x12;
    bytes[27] = 0x34;
    EXPECT_EQ(DeviceFirmwareText(record), L"1.2.3.4");
    bytes[28] = 0xF0;
    bytes[27] = 0x0F;
    EXPECT_EQ(DeviceFirmwareText(record), L"15.0.0.15");
}

TEST(PanelRules, IndicatorShowsOneDotPerDeviceAndNoneFromSevenOn) {
    struct Case {
        int keyboards;
        int mice;
        int image;
    };
    const Case cases[] = {{0, 0, 0}, {2, 1, 3}, {0, 6, 6}, {3, 3, 6}, {4, 3, 0}, {9, 0, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(IndicatorImage(c.keyboards, c.mice), c.image) << c.keyboards << " + " << c.mice;
}

TEST(PanelRules, SettingsCommandLineNamesTheSystemFoldersRundll32) {
    struct Case {
        const wchar_t* folder;
        std::uint8_t kind;
        const wchar_t* line;
    };
    const Case cases[] = {
        {L"C:\\windows\\system32", kKindKeyboard,
         L"C:\\windows\\system32\\rundll32.exe shell32.dll, Control_RunDLL main.cpl @1"},
        {L"C:\\windows\\system32", kKindMouse,
         L"C:\\windows\\system32\\rundll32.exe shell32.dll, Control_RunDLL main.cpl @0"},
        {L"C:\\", kKindMouse, L"C:\\rundll32.exe shell32.dll, Control_RunDLL main.cpl @0"},
        {L"D:\\Win Folder\\system32", kKindKeyboard,
         L"\"D:\\Win Folder\\system32\\rundll32.exe\" shell32.dll, Control_RunDLL main.cpl @1"},
        {L"C:\\windows\\system32", 0, L""},
        {L"C:\\windows\\system32", 3, L""},
        {L"", kKindKeyboard, L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SettingsCommandLine(c.folder, c.kind), c.line) << int{c.kind};
}

TEST(PanelRules, TotalSizeCountsTheRowsOnlyWhileExpandedAndAlwaysTheGap) {
    const auto total = [](ui::Size own, bool expanded, const std::vector<ui::Size>& rows) {
        const ui::Size size = ReceiverTotalSize(own, expanded, rows);
        return std::pair(size.cx, size.cy);
    };
    const std::vector<ui::Size> rows{{447, 60}, {480, 60}, {446, 65}};
    EXPECT_EQ(total({458, 94}, false, rows), std::pair(458, 94 + kReceiverGap));
    EXPECT_EQ(total({458, 94}, true, rows), std::pair(480, 94 + 185 + kReceiverGap));
    EXPECT_EQ(total({458, 94}, true, {}), std::pair(458, 94 + kReceiverGap));
}

TEST(PanelRules, MoveToStacksTopDownGoingUpAndBottomUpOtherwise) {
    const std::vector<int> heights{60, 60, 65};
    EXPECT_THAT(PlanMoveTo(5, 100, 300, 94, true, heights),
                ElementsAre(RowMove{kReceiverRow, RowAction::Place, 5, 100},
                            RowMove{0, RowAction::PlaceAndShow, 5, 194},
                            RowMove{1, RowAction::PlaceAndShow, 5, 254},
                            RowMove{2, RowAction::PlaceAndShow, 5, 314}));
    const auto down = ElementsAre(
        RowMove{2, RowAction::PlaceAndShow, 5, 314}, RowMove{1, RowAction::PlaceAndShow, 5, 254},
        RowMove{0, RowAction::PlaceAndShow, 5, 194}, RowMove{kReceiverRow, RowAction::Place, 5, 100});
    EXPECT_THAT(PlanMoveTo(5, 100, 20, 94, true, heights), down);
    EXPECT_THAT(PlanMoveTo(5, 100, 100, 94, true, heights), down) << "staying counts as moving down";
    EXPECT_THAT(PlanMoveTo(5, 100, 300, 94, false, heights),
                ElementsAre(RowMove{kReceiverRow, RowAction::Place, 5, 100}, RowMove{0, RowAction::Hide},
                            RowMove{1, RowAction::Hide}, RowMove{2, RowAction::Hide}));
}

} // namespace
} // namespace pw
