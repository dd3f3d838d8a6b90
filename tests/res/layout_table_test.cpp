#include "res/dialog_layouts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

namespace {

namespace ui = pw::ui;

// A window moves exactly the controls that have a layout, each once, whatever order it gives.
TEST(LayoutTable, LayoutOrdersNameEveryPlacedControlOnce) {
    for (const ui::Dialog& d : ui::Dialogs()) {
        if (d.layoutOrder.empty()) continue;
        std::multiset<int> placed;
        for (const ui::Control& c : d.controls)
            if (c.HasLayout()) placed.insert(c.id);
        const std::multiset<int> ordered(d.layoutOrder.begin(), d.layoutOrder.end());
        EXPECT_EQ(ordered, placed) << d.symbol;
    }
}

TEST(LayoutTable, PicturesAndScrollBarsNameFilesOfTheUiFolder) {
    std::set<std::string_view> files;
    for (const ui::Picture& p : ui::Pictures())
        files.insert(p.name);
    for (const ui::Dialog& d : ui::Dialogs()) {
        for (const ui::Control& c : d.controls) {
            const bool needsFiles =
                d.Skinned() && (c.kind == ui::ControlKind::Picture || c.kind == ui::ControlKind::ScrollBar);
            EXPECT_EQ(!c.pictures.empty(), needsFiles) << d.symbol << " " << c.symbol;
            for (std::string_view f : c.pictures)
                EXPECT_TRUE(files.count(f)) << d.symbol << " " << c.symbol << " " << f;
        }
    }
}

// Composed texts need a key to compose from; line breaks only make sense in a text from the table.
TEST(LayoutTable, TextFlagsGoWithAKey) {
    for (const ui::Dialog& d : ui::Dialogs()) {
        for (const ui::Control& c : d.controls) {
            if (c.flags & (ui::kComposedText | ui::kLineBreaks)) {
                EXPECT_TRUE(c.textKey) << d.symbol << " " << c.symbol;
            }
        }
    }
}

} // namespace
