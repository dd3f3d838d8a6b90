#include "res/dialog_layouts.h"
#include "res/resource.h"
#include "tools/uigen/art.h"
#include "tools/uigen/image.h"
#include "tools/uigen/rc_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <set>
#include <string>

namespace {

using namespace pw::uigen;
namespace ui = pw::ui;
namespace fs = std::filesystem;

std::uint32_t Le32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

TEST(Bmp, RoundTripKeepsEveryPixelAndPadsRows) {
    Image img(3, 2, Hex(0x000000));
    img.Set(0, 0, Hex(0xFF0000));
    img.Set(1, 0, Hex(0x00FF00));
    img.Set(2, 0, Hex(0x0000FF));
    img.Set(0, 1, Hex(0xFEFFFF));
    img.Set(2, 1, Hex(0x123456));
    const auto bytes = EncodeBmp24(img);
    ASSERT_EQ(bytes.size(), 54u + 2 * 12); // 3 pixels of 3 bytes padded to 12 per row
    EXPECT_EQ(Le32(bytes, 2), bytes.size());
    EXPECT_EQ(Le32(bytes, 10), 54u);
    EXPECT_EQ(bytes[54], 0xFF) << "bottom row first, blue byte first: (0,1) is FE FF FF";
    const auto bmp = DecodeBmp(bytes);
    ASSERT_TRUE(bmp);
    EXPECT_EQ(bmp->bitsPerPixel, 24);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(bmp->At(x, y), img.Get8(x, y)) << x << "," << y;
}

TEST(Bmp, DecoderRejectsWhatTheChecksCannotRead) {
    auto bytes = EncodeBmp24(Image(4, 4, Hex(0xFFFFFF)));
    EXPECT_FALSE(DecodeBmp(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 60))) << "truncated";
    auto eightBit = bytes;
    eightBit[28] = 8;
    EXPECT_FALSE(DecodeBmp(eightBit));
    auto compressed = bytes;
    compressed[30] = 1;
    EXPECT_FALSE(DecodeBmp(compressed));
}

TEST(Icon, HasThreeSizesOf32BitsWithTransparentCorners) {
    const auto images = PaintIconImages();
    const auto bytes = EncodeIco(images);
    ASSERT_GE(bytes.size(), 6u + 3 * 16);
    EXPECT_EQ(bytes[2], 1);
    ASSERT_EQ(bytes[4], 3);
    const int sizes[] = {48, 32, 16};
    for (int i = 0; i < 3; ++i) {
        const std::size_t entry = 6 + 16 * static_cast<std::size_t>(i);
        EXPECT_EQ(bytes[entry], sizes[i]);
        EXPECT_EQ(bytes[entry + 1], sizes[i]);
        EXPECT_EQ(bytes[entry + 6], 32);
        const std::uint32_t size = Le32(bytes, entry + 8);
        const std::uint32_t offset = Le32(bytes, entry + 12);
        ASSERT_LE(offset + size, bytes.size());
        EXPECT_EQ(Le32(bytes, offset + 4), static_cast<std::uint32_t>(sizes[i]));
        EXPECT_EQ(Le32(bytes, offset + 8), static_cast<std::uint32_t>(2 * sizes[i]))
            << "colour plus AND mask";
        const std::size_t colour = offset + 40;
        const std::size_t maskRows = ((static_cast<std::size_t>(sizes[i]) + 31) / 32) * 4;
        EXPECT_EQ(size, 40 + static_cast<std::uint32_t>(sizes[i] * sizes[i] * 4 + maskRows * sizes[i]));
        // Bottom-left pixel (first in the file) is outside the rounded tile; the centre is opaque.
        EXPECT_EQ(bytes[colour + 3], 0);
        EXPECT_EQ(bytes[offset + 40 + static_cast<std::size_t>(sizes[i] * sizes[i] * 4)] & 0x80, 0x80)
            << "AND mask marks the transparent corner";
        EXPECT_EQ(images[static_cast<std::size_t>(i)].Get8(sizes[i] / 2, sizes[i] / 2).a, 255);
    }
}

TEST(Mask, OnlyPureWhiteIsOutside) {
    EXPECT_FALSE(MaskInside({255, 255, 255}));
    EXPECT_TRUE(MaskInside({254, 255, 255}));
    EXPECT_TRUE(MaskInside({255, 255, 254}));
    EXPECT_TRUE(MaskInside({0, 0, 0}));
}

TEST(Mask, IsBinaryAndFollowsTheRoundedOutline) {
    for (const ui::Dialog& d : ui::Dialogs()) {
        if (!d.Skinned()) continue;
        const Image mask = PaintMask(d);
        const ui::Size size = ui::PixelSize(d);
        ASSERT_EQ(mask.Width(), size.cx) << d.symbol;
        ASSERT_EQ(mask.Height(), size.cy) << d.symbol;
        int inside = 0;
        int grey = 0;
        int off = 0;
        for (int y = 0; y < size.cy; ++y)
            for (int x = 0; x < size.cx; ++x) {
                const Pixel8 p = mask.Get8(x, y);
                grey += !(p == (Pixel8{0, 0, 0}) || p == (Pixel8{255, 255, 255}));
                off += MaskInside(p) != OutlineContains(d, x, y);
                inside += MaskInside(p);
            }
        EXPECT_EQ(grey, 0) << d.symbol;
        EXPECT_EQ(off, 0) << d.symbol;
        EXPECT_GT(inside, size.cx * size.cy / 2) << d.symbol;
        EXPECT_FALSE(MaskInside(mask.Get8(size.cx - 1, size.cy - 1)))
            << d.symbol << ": rounded or indented corner";
    }
}

// The file names the program opens, spelled out independently of the table.
const std::set<std::string> kUiFiles = {
    "main_normal.bmp",
    "main_hover.bmp",
    "main_selected.bmp",
    "main_mask.bmp",
    "container_normal.bmp",
    "container_hover.bmp",
    "container_selected.bmp",
    "container_disable.bmp",
    "container_mask.bmp",
    "Receiver_Normal.bmp",
    "Receiver_Selected.bmp",
    "Receiver_Hover.bmp",
    "Receiver_Mask.bmp",
    "Device_Normal.bmp",
    "Device_Hover.bmp",
    "Device_Selected.bmp",
    "Device_Mask.bmp",
    "DelDevice_Normal.bmp",
    "DelDevice_Hover.bmp",
    "DelDevice_Selected.bmp",
    "DelDevice_Mask.bmp",
    "AddDevice_Normal.bmp",
    "AddDevice_Hover.bmp",
    "AddDevice_Selected.bmp",
    "AddDevice_Mask.bmp",
    "PairReq_Normal.bmp",
    "PairReq_Hover.bmp",
    "PairReq_Selected.bmp",
    "PairReq_Mask.bmp",
    "PairSucc_WaitNormal.bmp",
    "PairSucc_WaitHover.bmp",
    "PairSucc_WaitMask.bmp",
    "PairSucc_Normal.bmp",
    "PairSucc_Hover.bmp",
    "PairSucc_Selected.bmp",
    "PairSucc_Mask.bmp",
    "PairFail_Normal.bmp",
    "PairFail_Hover.bmp",
    "PairFail_Selected.bmp",
    "PairFail_Mask.bmp",
    "PairFailMsg_Normal.bmp",
    "PairFailMsg_Hover.bmp",
    "PairFailMsg_Selected.bmp",
    "PairFailMsg_Mask.bmp",
    "Redundant_Normal.bmp",
    "Redundant_Hover.bmp",
    "Redundant_Selected.bmp",
    "Redundant_Mask.bmp",
    "RemoveReceiver_Normal.bmp",
    "RemoveReceiver_Hover.bmp",
    "RemoveReceiver_Selected.bmp",
    "RemoveReceiver_Mask.bmp",
    "Welcome_Normal.bmp",
    "Welcome_Hover.bmp",
    "Welcome_Selected.bmp",
    "Welcome_Mask.bmp",
    "Pairhelp_Normal.bmp",
    "Pairhelp_Hover.bmp",
    "Pairhelp_Selected.bmp",
    "Pairhelp_Mask.bmp",
    "NoDongle_Normal.bmp",
    "NoDongle_Mask.bmp",
    "keyboard.bmp",
    "Mouse.bmp",
    "Mouse2.bmp",
    "point0.bmp",
    "point1.bmp",
    "point2.bmp",
    "point3.bmp",
    "point4.bmp",
    "point5.bmp",
    "point6.bmp",
    "scrollbar.bmp",
};

TEST(Art, EveryFileOfTheProgramAtTheSizeOfItsDialogInBothLayouts) {
    for (bool arabic : {false, true}) {
        std::set<std::string> names;
        for (const ArtFile& f : PaintAll(arabic)) {
            EXPECT_TRUE(names.insert(f.name).second) << "painted twice: " << f.name;
            ui::Size expected{};
            for (const ui::Dialog& d : ui::Dialogs())
                for (std::string_view n :
                     {d.skin.normal, d.skin.hover, d.skin.selected, d.skin.disable, d.skin.mask})
                    if (n == f.name) expected = ui::PixelSize(d);
            for (const ui::Picture& p : ui::Pictures())
                if (p.name == f.name) expected = p.size;
            EXPECT_EQ(f.image.Width(), expected.cx) << f.name;
            EXPECT_EQ(f.image.Height(), expected.cy) << f.name;
        }
        EXPECT_EQ(names, kUiFiles) << (arabic ? "arabic" : "default");
    }
}

TEST(Art, RenderingsArePureWhiteOutsideTheOutline) {
    const ui::Dialog* d = ui::FindDialog(IDD_PAIR_REQ);
    ASSERT_TRUE(d);
    const Image normal = PaintRendering(*d, Look::Hover, true);
    int inside = 0;
    for (int y = 0; y < normal.Height(); ++y)
        for (int x = 0; x < normal.Width(); ++x) {
            if (!OutlineContains(*d, x, y)) {
                ASSERT_EQ(normal.Get8(x, y), (Pixel8{255, 255, 255})) << x << "," << y;
            } else if (!MaskInside(normal.Get8(x, y))) {
                ++inside;
            }
        }
    EXPECT_GT(inside, 0) << "the white body itself is inside";
}

TEST(Art, ButtonsMoveWithTheArabicLayout) {
    // The "Add Device" button sits at x 342 or, for Arabic, at 118: the renderings carry it there.
    const ui::Dialog* d = ui::FindDialog(IDD_PAIR_REQ);
    ASSERT_TRUE(d);
    const ui::Control* add = ui::FindControl(*d, IDC_BTN_ADD_DEVICE);
    ASSERT_TRUE(add);
    const Image ltr = PaintRendering(*d, Look::Normal, false);
    const Image rtl = PaintRendering(*d, Look::Normal, true);
    auto centre = [](const Image& img, const ui::Rect& r) {
        return img.Get8(r.x + r.cx / 2, r.y + r.cy / 2);
    };
    const Pixel8 body = ltr.Get8(add->pixelsArabic.x + 2, add->pixels.y + 2);
    EXPECT_NE(centre(ltr, add->pixels), body);
    EXPECT_EQ(centre(rtl, add->pixels), body);
    EXPECT_NE(centre(rtl, add->pixelsArabic), body);
    EXPECT_EQ(centre(rtl, add->pixelsArabic), centre(ltr, add->pixels)) << "same look at both places";
}

TEST(Layout, DialogUnitsGiveThePixelLayoutsOfTheDialogs) {
    const ui::Dialog* view = ui::FindDialog(IDD_ITEM_VIEW);
    ASSERT_TRUE(view);
    const ui::Control* bar = ui::FindControl(*view, IDC_SCROLLBAR);
    ASSERT_TRUE(bar);
    const ui::Rect mapped = ui::DluToPixels(bar->dlu);
    EXPECT_EQ(mapped.x, bar->pixels.x);
    EXPECT_EQ(mapped.cy, bar->pixels.cy);
    EXPECT_EQ(ui::PixelSize(*ui::FindDialog(IDD_MAIN_DIALOG)), (ui::Size{500, 681}));
    EXPECT_EQ(ui::PixelSize(*ui::FindDialog(IDD_WELCOME)), (ui::Size{525, 410}))
        << "halves round up like MulDiv";
}

TEST(Layout, ControlsOfTheSameDialogNeverShareASymbol) {
    for (const ui::Dialog& d : ui::Dialogs()) {
        std::set<std::string_view> symbols;
        for (const ui::Control& c : d.controls) {
            if (c.symbol == "IDC_STATIC") continue;
            EXPECT_TRUE(symbols.insert(c.symbol).second) << d.symbol << ": " << c.symbol;
            EXPECT_EQ(c.HasLayout(), !c.pixelsArabic.Empty()) << d.symbol << ": " << c.symbol;
        }
    }
}

TEST(Layout, RightToLeftTextEndsInsideItsDialog) {
    // Right-to-left text is aligned to the right edge of its rectangle.
    for (const ui::Dialog& d : ui::Dialogs()) {
        if (!d.Skinned()) continue;
        for (const ui::Control& c : d.controls) {
            if (!c.HasLayout()) continue;
            EXPECT_LE(c.pixelsArabic.Right(), ui::PixelSize(d).cx) << d.symbol << ": " << c.symbol;
        }
    }
}

class ArtFolder : public ::testing::Test {
protected:
    void SetUp() override {
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        std::string error;
        ASSERT_TRUE(WriteArt(dir_.string(), false, error)) << error;
    }
    void TearDown() override { fs::remove_all(dir_); }

    void Rewrite(const std::string& name, const std::function<void(Image&)>& change) {
        const auto bmp = DecodeBmp(*ReadFile((dir_ / name).string()));
        Image img(bmp->width, bmp->height, Hex(0));
        for (int y = 0; y < bmp->height; ++y)
            for (int x = 0; x < bmp->width; ++x) {
                const Pixel8 p = bmp->At(x, y);
                img.Set(x, y, {p.r / 255.0f, p.g / 255.0f, p.b / 255.0f, 1});
            }
        change(img);
        ASSERT_TRUE(WriteFile((dir_ / name).string(), EncodeBmp24(img)));
    }

    fs::path dir_ = fs::current_path() / "art_fixture";
};

TEST_F(ArtFolder, CheckFindsEveryKindOfFault) {
    EXPECT_TRUE(CheckArt(dir_.string()).empty());

    fs::remove(dir_ / "point4.bmp");
    Rewrite("Welcome_Mask.bmp",
            [](Image& m) { m.Set(0, 0, Hex(0xFEFFFF)); }); // inside where it must be outside
    Rewrite("Device_Mask.bmp", [](Image& m) { m.Set(100, 30, Hex(0x808080)); }); // anti-aliased
    Rewrite("PairReq_Hover.bmp", [](Image& m) { m = Image(m.Width() - 1, m.Height(), Hex(0xFFFFFF)); });

    const auto problems = CheckArt(dir_.string());
    auto reported = [&](const std::string& what) {
        return std::any_of(problems.begin(), problems.end(),
                           [&](const std::string& p) { return p.find(what) != std::string::npos; });
    };
    EXPECT_TRUE(reported("point4.bmp: missing"));
    EXPECT_TRUE(reported("Welcome_Mask.bmp: 1 pixels off the outline"));
    EXPECT_TRUE(reported("Welcome_Mask.bmp: 1 anti-aliased")) << "masks are pure black and white";
    EXPECT_TRUE(reported("Device_Mask.bmp: 1 anti-aliased"));
    EXPECT_TRUE(reported("PairReq_Hover.bmp: 523x291, expected 524x291"));
    EXPECT_EQ(problems.size(), 5u) << ::testing::PrintToString(problems);
}

TEST(Templates, ResourceScriptHasEveryDialogWithItsStyles) {
    const std::string rc = DialogsRc();
    for (const ui::Dialog& d : ui::Dialogs())
        EXPECT_NE(rc.find(std::string(d.symbol) + " DIALOGEX 0, 0, " + std::to_string(d.dlu.cx) + ", " +
                          std::to_string(d.dlu.cy)),
                  std::string::npos)
            << d.symbol;
    EXPECT_NE(rc.find("CLASS \"{5E27C4A0-7B3D-4F19-9C62-1A8D0B3F6E54}\""), std::string::npos);
    EXPECT_NE(rc.find("PUSHBUTTON \"IDC_BTN_GO_CONTROL_PANEL\", IDC_BTN_GO_CONTROL_PANEL, 183, 156, 156, 18, "
                      "NOT WS_VISIBLE | WS_DISABLED"),
              std::string::npos);
    EXPECT_NE(
        rc.find("CONTROL \"\", IDC_PROGRESS_PAIRING, \"msctls_progress32\", WS_BORDER | PBS_MARQUEE, 20, 84"),
        std::string::npos);
}

} // namespace
