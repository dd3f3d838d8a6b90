#include "tools/uigen/art.h"

#include "res/resource.h"
#include "tools/uigen/raster.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>

namespace pw::uigen {
namespace {

using ui::Art;
using ui::Chrome;
using ui::Control;
using ui::Dialog;

// The palette: one accent family, neutrals, and three status colours.
namespace pal {
constexpr Color kWhite = Hex(0xFFFFFF);
constexpr Color kBlack = Hex(0x000000);
constexpr Color kAccent = Hex(0x0E6FC7);
constexpr Color kAccentLight = Hex(0x2E8BE0);
constexpr Color kAccentDark = Hex(0x0A559C);
constexpr Color kAccentSoft = Hex(0xE4F0FB);
constexpr Color kAccentSofter = Hex(0xF1F7FD);
constexpr Color kBandTop = Hex(0x0B3B6A);
constexpr Color kBandBottom = Hex(0x0E68BA);
constexpr Color kPage = Hex(0xEDF1F6);
constexpr Color kBody = Hex(0xFFFFFF);
constexpr Color kFooter = Hex(0xF5F8FB);
constexpr Color kHairline = Hex(0xE2E8F0);
constexpr Color kBorder = Hex(0xCBD5E1);
constexpr Color kMuted = Hex(0x94A3B8);
constexpr Color kInk = Hex(0x1F2937);
constexpr Color kInkSoft = Hex(0x526173);
constexpr Color kSlate = Hex(0x5B6B80);
constexpr Color kDanger = Hex(0xD93B3B);
constexpr Color kSuccess = Hex(0x1E9E5A);
constexpr Color kWarning = Hex(0xE8930C);
constexpr Color kDisabled = Hex(0xC9D1DB);
constexpr Color kMetal = Hex(0xC7CED6);
} // namespace pal

constexpr float kPi = std::numbers::pi_v<float>;

Color Lighter(Color c, float t) {
    return Mix(c, pal::kWhite, t);
}
Color Darker(Color c, float t) {
    return Mix(c, pal::kBlack, t);
}
Color Alpha(Color c, float a) {
    return {c.r, c.g, c.b, a};
}

struct FRect {
    float x, y, w, h;
    float Cx() const { return x + w / 2; }
    float Cy() const { return y + h / 2; }
    float Right() const { return x + w; }
    float Bottom() const { return y + h; }
};

FRect ToF(const ui::Rect& r) {
    return {static_cast<float>(r.x), static_cast<float>(r.y), static_cast<float>(r.cx),
            static_cast<float>(r.cy)};
}

// ---- outline -------------------------------------------------------------------------------------

constexpr float kWindowRadius = 12;
constexpr float kRowRadius = 10;
constexpr float kRowInset = 12; // device and add-device rows hang indented under their receiver

Shape Outline(const Dialog& d) {
    const ui::Size s = ui::PixelSize(d);
    const float w = static_cast<float>(s.cx);
    const float h = static_cast<float>(s.cy);
    switch (d.id) {
    case IDD_DEVICE_ITEM: return RoundRect(kRowInset, 0, w - 2 * kRowInset, h, 0);
    case IDD_ADD_NEW_DEV:
        return RoundRect(kRowInset, 0, w - 2 * kRowInset, h, Radii{0, 0, kRowRadius, kRowRadius});
    case IDD_ITEM_VIEW: {
        // Ends a little right of the scroll bar; the main window's body shows beyond it.
        const ui::Control* bar = ui::FindControl(d, IDC_SCROLLBAR);
        const float right = bar ? static_cast<float>(bar->pixels.Right() + 4) : w;
        return RoundRect(0, 0, right, h, kRowRadius);
    }
    default: break;
    }
    return RoundRect(0, 0, w, h, d.chrome == Chrome::Window ? kWindowRadius : kRowRadius);
}

// ---- glyphs --------------------------------------------------------------------------------------

Shape Check(float cx, float cy, float size, float stroke) {
    return Union(Segment(cx - size * 0.45f, cy + size * 0.02f, cx - size * 0.12f, cy + size * 0.33f, stroke),
                 Segment(cx - size * 0.12f, cy + size * 0.33f, cx + size * 0.48f, cy - size * 0.32f, stroke));
}

Shape Chevron(float cx, float cy, float size, float stroke, int dirX, int dirY) {
    // Points towards (dirX, dirY).
    const float a = size / 2;
    if (dirX != 0) {
        const float tip = cx + dirX * a / 2;
        return Union(Segment(tip - dirX * a, cy - a, tip, cy, stroke),
                     Segment(tip, cy, tip - dirX * a, cy + a, stroke));
    }
    const float tip = cy + dirY * a / 2;
    return Union(Segment(cx - a, tip - dirY * a, cx, tip, stroke),
                 Segment(cx, tip, cx + a, tip - dirY * a, stroke));
}

// An arc of a circle between two angles (radians, 0 = right, counter-clockwise on screen upwards).
Shape Arc(float cx, float cy, float r, float width, float from, float to) {
    const float big = r + width + 4;
    std::vector<std::pair<float, float>> wedge{{cx, cy}};
    const int steps = 12;
    for (int i = 0; i <= steps; ++i) {
        const float t = from + (to - from) * static_cast<float>(i) / steps;
        wedge.push_back({cx + big * std::cos(t), cy - big * std::sin(t)});
    }
    return Intersect(Ring(Circle(cx, cy, r), width), Polygon(wedge));
}

// Wireless waves fanning out from (cx, cy) towards angle `dir`.
void Waves(Image& img, float cx, float cy, float dir, float r0, float gap, int count, float width, Color c) {
    for (int i = 0; i < count; ++i) {
        const float r = r0 + gap * static_cast<float>(i);
        Fill(img, Arc(cx, cy, r, width, dir - 0.6f, dir + 0.6f), c, 1.0f - 0.22f * static_cast<float>(i));
    }
}

// The receiver: a small dongle standing upright, plug on top. (x, y) is the top-left, `s` the scale.
void Dongle(Image& img, float cx, float top, float s, bool outlineOnly = false, Color tint = pal::kAccent) {
    const float plugW = 14 * s;
    const float plugH = 12 * s;
    const float bodyW = 20 * s;
    const float bodyH = 22 * s;
    const Shape plug = RoundRect(cx - plugW / 2, top, plugW, plugH + 2 * s, Radii{1.5f * s, 1.5f * s, 0, 0});
    const Shape body = RoundRect(cx - bodyW / 2, top + plugH, bodyW, bodyH, 4 * s);
    if (outlineOnly) {
        Fill(img, Ring(plug, 1.6f * s), tint);
        Fill(img, Ring(body, 1.6f * s), tint);
        return;
    }
    Fill(img, plug,
         Linear(cx - plugW / 2, 0, Lighter(pal::kMetal, 0.4f), cx + plugW / 2, 0, Darker(pal::kMetal, 0.1f)));
    Fill(img, Ring(plug, 0.8f * s, 0.4f * s), Darker(pal::kMetal, 0.25f), 0.8f);
    Fill(img, RoundRect(cx - plugW / 2 + 3 * s, top + 3 * s, 3 * s, 3 * s, 0.5f * s),
         Darker(pal::kMetal, 0.45f));
    Fill(img, RoundRect(cx + plugW / 2 - 6 * s, top + 3 * s, 3 * s, 3 * s, 0.5f * s),
         Darker(pal::kMetal, 0.45f));
    Fill(img, body, Vertical(top + plugH, Hex(0x3A4452), top + plugH + bodyH, Hex(0x141A22)));
    Fill(img, RoundRect(cx - bodyW / 2 + 2 * s, top + plugH + 1.5f * s, bodyW - 4 * s, 3 * s, 1.5f * s),
         pal::kWhite, 0.12f);
    Fill(img, Circle(cx, top + plugH + bodyH - 6 * s, 2 * s), tint);
    Fill(img, Circle(cx, top + plugH + bodyH - 6 * s, 3.5f * s), tint, 0.35f, 1.5f * s);
}

void Keyboard(Image& img, float x, float y, float w, float h, Color keyColor = Hex(0xDCE3EB)) {
    Fill(img, Offset(RoundRect(x, y, w, h, h * 0.18f), 0, 1.2f), pal::kBlack, 0.18f, 1.2f);
    Fill(img, RoundRect(x, y, w, h, h * 0.18f), Vertical(y, Hex(0x3C4756), y + h, Hex(0x1D242E)));
    const int cols = 8;
    const float pad = w * 0.07f;
    const float gap = w * 0.025f;
    const float kw = (w - 2 * pad - gap * (cols - 1)) / cols;
    const float kh = (h - 2 * pad - 2 * gap) / 3;
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < cols; ++col) {
            const float kx = x + pad + static_cast<float>(col) * (kw + gap) + (row == 1 ? kw * 0.3f : 0);
            if (row == 1 && col == cols - 1) continue;
            Fill(img, RoundRect(kx, y + pad + static_cast<float>(row) * (kh + gap), kw, kh, kw * 0.22f),
                 keyColor);
        }
    const float by = y + pad + 2 * (kh + gap);
    Fill(img, RoundRect(x + pad, by, kw, kh, kw * 0.22f), keyColor);
    Fill(img, RoundRect(x + pad + kw + gap, by, w - 2 * pad - 2 * (kw + gap), kh, kw * 0.22f), keyColor);
    Fill(img, RoundRect(x + w - pad - kw, by, kw, kh, kw * 0.22f), keyColor);
}

void Mouse(Image& img, float cx, float top, float w, float h, Color accent = pal::kAccent) {
    const Shape body = RoundRect(cx - w / 2, top, w, h, w / 2);
    Fill(img, Offset(body, 0, 1.2f), pal::kBlack, 0.2f, 1.4f);
    Fill(img, body, Linear(cx - w / 2, top, Hex(0x465263), cx + w / 2, top + h, Hex(0x161C24)));
    Fill(img,
         Intersect(RoundRect(cx - w / 2, top, w, h, w / 2),
                   RoundRect(cx - w / 2, top, w / 2 - 0.5f, h * 0.4f, 0)),
         pal::kWhite, 0.10f);
    Fill(img, Segment(cx, top + 1, cx, top + h * 0.4f, 0.5f), pal::kBlack, 0.55f);
    Fill(img, Segment(cx - w / 2 + 1, top + h * 0.4f, cx + w / 2 - 1, top + h * 0.4f, 0.45f), pal::kBlack,
         0.4f);
    Fill(img, RoundRect(cx - w * 0.09f, top + h * 0.1f, w * 0.18f, h * 0.17f, w * 0.09f), accent);
}

// A slide switch, knob at the left (off) or the right (on).
void Switch(Image& img, float x, float y, float w, float h, bool on) {
    Fill(img, RoundRect(x, y, w, h, h / 2), on ? pal::kSuccess : Hex(0xB8C3D0));
    const float r = h / 2 - 2.5f;
    const float kx = on ? x + w - h / 2 : x + h / 2;
    Fill(img, Offset(Circle(kx, y + h / 2, r), 0, 1), pal::kBlack, 0.2f, 1);
    Fill(img, Circle(kx, y + h / 2, r), pal::kWhite);
}

// The app's own mark: a receiver with waves on a rounded tile.
void AppMark(Image& img, float x, float y, float size, bool onBand) {
    const Shape tile = RoundRect(x, y, size, size, size * 0.24f);
    if (onBand) {
        Fill(img, tile, pal::kWhite, 0.16f);
        Fill(img, Ring(tile, 1, 0.5f), pal::kWhite, 0.25f);
    } else {
        Fill(img, tile, Linear(x, y, pal::kAccentLight, x + size, y + size, pal::kBandTop));
    }
    const float s = size / 48;
    const Shape plug = RoundRect(x + 15 * s, y + 9 * s, 8 * s, 8 * s, Radii{1.5f * s, 1.5f * s, 0, 0});
    const Shape body = RoundRect(x + 12.5f * s, y + 16 * s, 13 * s, 20 * s, 3.5f * s);
    Fill(img, plug, pal::kWhite, 0.85f);
    Fill(img, body, pal::kWhite);
    Fill(img, Circle(x + 19 * s, y + 30 * s, 2 * s), onBand ? pal::kBandBottom : pal::kAccent);
    for (int i = 0; i < 2; ++i)
        Fill(img, Arc(x + 26 * s, y + 20 * s, (7 + 6 * static_cast<float>(i)) * s, 2.6f * s, -0.7f, 0.7f),
             pal::kWhite, 1.0f - 0.25f * static_cast<float>(i));
}

// Round status badge with a glyph.
enum class BadgeKind { Success, Warning, Danger, Info, Link };

void Badge(Image& img, float cx, float cy, float r, BadgeKind kind) {
    Color c = pal::kAccent;
    switch (kind) {
    case BadgeKind::Success: c = pal::kSuccess; break;
    case BadgeKind::Warning: c = pal::kWarning; break;
    case BadgeKind::Danger: c = pal::kDanger; break;
    case BadgeKind::Info:
    case BadgeKind::Link: c = pal::kAccent; break;
    }
    Fill(img, Circle(cx, cy, r + 4), c, 0.12f);
    Fill(img, Circle(cx, cy, r), Linear(cx, cy - r, Lighter(c, 0.15f), cx, cy + r, Darker(c, 0.08f)));
    const float st = r * 0.13f;
    switch (kind) {
    case BadgeKind::Success: Fill(img, Check(cx, cy, r * 1.0f, st), pal::kWhite); break;
    case BadgeKind::Warning:
    case BadgeKind::Danger:
        Fill(img, Segment(cx, cy - r * 0.45f, cx, cy + r * 0.12f, st), pal::kWhite);
        Fill(img, Circle(cx, cy + r * 0.45f, st * 1.15f), pal::kWhite);
        break;
    case BadgeKind::Info:
        Fill(img, Segment(cx, cy - r * 0.08f, cx, cy + r * 0.48f, st), pal::kWhite);
        Fill(img, Circle(cx, cy - r * 0.45f, st * 1.15f), pal::kWhite);
        break;
    case BadgeKind::Link: {
        // Two interlocking rings.
        const float rr = r * 0.3f;
        Fill(img, Ring(RoundRect(cx - r * 0.62f, cy - rr, r * 0.8f, 2 * rr, rr), st), pal::kWhite);
        Fill(img, Ring(RoundRect(cx - r * 0.18f, cy - rr, r * 0.8f, 2 * rr, rr), st), pal::kWhite);
        break;
    }
    }
}

void Minus(Image& img, float cx, float cy, float r, Color c) {
    Fill(img, Segment(cx - r, cy, cx + r, cy, 1.3f), c);
}

void Gear(Image& img, float cx, float cy, float r, Color c) {
    Shape gear = Circle(cx, cy, r * 0.72f);
    for (int i = 0; i < 8; ++i) {
        const float a = static_cast<float>(i) * kPi / 4;
        gear = Union(std::move(gear),
                     Segment(cx + std::cos(a) * r * 0.5f, cy + std::sin(a) * r * 0.5f,
                             cx + std::cos(a) * r * 0.88f, cy + std::sin(a) * r * 0.88f, r * 0.17f));
    }
    Fill(img, Subtract(std::move(gear), Circle(cx, cy, r * 0.3f)), c);
}

// ---- controls ------------------------------------------------------------------------------------

struct ButtonColors {
    Color base;
    Color border;
};

ButtonColors ButtonPalette(Art art, Look look) {
    Color base = art == Art::Primary ? pal::kAccent : art == Art::Danger ? pal::kDanger : pal::kSlate;
    switch (look) {
    case Look::Normal: break;
    case Look::Hover: base = Lighter(base, 0.14f); break;
    case Look::Pressed: base = Darker(base, 0.18f); break;
    case Look::Disabled: return {pal::kDisabled, Darker(pal::kDisabled, 0.08f)};
    }
    return {base, Darker(base, 0.22f)};
}

void Button(Image& img, const FRect& r, Art art, Look look) {
    const float radius = std::min(6.0f, r.h / 2);
    const ButtonColors c = ButtonPalette(art, look);
    const Shape shape = RoundRect(r.x, r.y, r.w, r.h, radius);
    if (look == Look::Normal || look == Look::Hover)
        Fill(img, Offset(RoundRect(r.x + 1, r.y, r.w - 2, r.h, radius), 0, look == Look::Hover ? 2.0f : 1.2f),
             c.border, look == Look::Hover ? 0.35f : 0.25f, look == Look::Hover ? 2.0f : 1.2f);
    if (look == Look::Pressed) {
        Fill(img, shape, c.base);
        Fill(img, Intersect(shape, Ring(Offset(shape, 0, 1.5f), 3, -1.5f)), pal::kBlack, 0.18f, 1);
    } else if (look == Look::Disabled) {
        Fill(img, shape, c.base);
    } else {
        Fill(img, shape, Vertical(r.y, Lighter(c.base, 0.10f), r.Bottom(), Darker(c.base, 0.04f)));
        Fill(img, Intersect(shape, RoundRect(r.x + 1, r.y + 1, r.w - 2, 1.2f, 0)), pal::kWhite, 0.22f);
    }
    Fill(img, Ring(shape, 1, 0.5f), c.border, look == Look::Disabled ? 0.6f : 0.9f);
}

void LinkButton(Image& img, const FRect& r, Look look) {
    if (look != Look::Hover && look != Look::Pressed) return;
    const Shape pill = RoundRect(r.x, r.y + 2, r.w, r.h - 4, (r.h - 4) / 2);
    Fill(img, pill, look == Look::Hover ? pal::kAccentSoft : Darker(pal::kAccentSoft, 0.06f));
    if (look == Look::Pressed) Fill(img, Ring(pill, 1, 0.5f), pal::kAccent, 0.35f);
}

void TitleButton(Image& img, const FRect& r, Art art, Look look) {
    const Shape plate = RoundRect(r.x, r.y + 1, r.w, r.h - 2, 5);
    if (look == Look::Hover)
        Fill(img, plate, art == Art::Close ? pal::kDanger : pal::kWhite, art == Art::Close ? 1 : 0.2f);
    if (look == Look::Pressed)
        Fill(img, plate, art == Art::Close ? Darker(pal::kDanger, 0.2f) : pal::kBlack,
             art == Art::Close ? 1 : 0.22f);
    const Color glyph = look == Look::Disabled ? Alpha(pal::kWhite, 0.4f) : pal::kWhite;
    const float cx = r.Cx();
    const float cy = r.Cy();
    if (art == Art::Minimize) {
        Fill(img, Segment(cx - 5, cy + 4, cx + 5, cy + 4, 0.9f), glyph);
    } else {
        Fill(img, Segment(cx - 4.5f, cy - 4.5f, cx + 4.5f, cy + 4.5f, 0.9f), glyph);
        Fill(img, Segment(cx - 4.5f, cy + 4.5f, cx + 4.5f, cy - 4.5f, 0.9f), glyph);
    }
}

void ReceiverButton(Image& img, const FRect& r, Look look) {
    const Shape plate = RoundRect(r.x, r.y, r.w, r.h, 9);
    switch (look) {
    case Look::Normal: Fill(img, plate, pal::kAccentSofter); break;
    case Look::Hover: Fill(img, plate, pal::kAccentSoft); break;
    case Look::Pressed:
        Fill(img, plate, Darker(pal::kAccentSoft, 0.05f));
        Fill(img, Ring(plate, 1.5f, 0.75f), pal::kAccent, 0.8f);
        break;
    case Look::Disabled: Fill(img, plate, pal::kPage); break;
    }
    Dongle(img, r.Cx(), r.y + 6, 0.95f, false, look == Look::Disabled ? pal::kMuted : pal::kAccent);
}

void SettingsButton(Image& img, const FRect& r, Look look) {
    const Shape plate = RoundRect(r.x, r.y, r.w, r.h, 6);
    Color fill = pal::kPage;
    Color glyph = pal::kInkSoft;
    if (look == Look::Hover) {
        fill = pal::kAccentSoft;
        glyph = pal::kAccent;
    } else if (look == Look::Pressed) {
        fill = Darker(pal::kAccentSoft, 0.08f);
        glyph = pal::kAccentDark;
    } else if (look == Look::Disabled) {
        glyph = pal::kMuted;
    }
    Fill(img, plate, fill);
    Fill(img, Ring(plate, 1, 0.5f), pal::kBorder, look == Look::Pressed ? 0.9f : 0.6f);
    Gear(img, r.Cx(), r.Cy(), 7.5f, glyph);
}

void CheckBox(Image& img, const FRect& r, Look look) {
    const float size = 15;
    const Shape box = RoundRect(r.x + 1, r.Cy() - size / 2, size, size, 3.5f);
    if (look == Look::Pressed) {
        Fill(img, box, Vertical(r.Cy() - size / 2, pal::kAccentLight, r.Cy() + size / 2, pal::kAccent));
        Fill(img, Check(r.x + 1 + size / 2, r.Cy(), 9, 1.1f), pal::kWhite);
        return;
    }
    Fill(img, box, look == Look::Hover ? pal::kAccentSofter : pal::kWhite);
    const Color border = look == Look::Hover      ? pal::kAccent
                         : look == Look::Disabled ? pal::kDisabled
                                                  : pal::kMuted;
    Fill(img, Ring(box, 1.3f, 0.65f), border);
}

void Card(Image& img, const FRect& r) {
    const Shape card = RoundRect(r.x - 7, r.y - 6, r.w + 14, r.h + 10, 8);
    Fill(img, card, pal::kAccentSofter);
    Fill(img, Ring(card, 1, 0.5f), Hex(0xD8E4F0));
}

void PaintControl(Image& img, const Control& c, const FRect& r, Look look) {
    switch (c.art) {
    case Art::None: break;
    case Art::Primary:
    case Art::Secondary:
    case Art::Danger: Button(img, r, c.art, look); break;
    case Art::Link: LinkButton(img, r, look); break;
    case Art::Minimize:
    case Art::Close: TitleButton(img, r, c.art, look); break;
    case Art::ReceiverPicture: ReceiverButton(img, r, look); break;
    case Art::Settings: SettingsButton(img, r, look); break;
    case Art::CheckBox: CheckBox(img, r, look); break;
    case Art::Card: Card(img, r); break;
    }
}

// ---- dialog frames and decorations ---------------------------------------------------------------

struct Frame {
    const Dialog& d;
    bool arabic;
    float w;
    float h;
    Shape outline;

    std::optional<FRect> Rect(int id) const {
        const Control* c = ui::FindControl(d, id);
        if (!c) return std::nullopt;
        return ToF(ui::PixelRect(*c, arabic));
    }
    // x of something `size` wide placed `gap` before the start of `r` in reading order.
    float Before(const FRect& r, float size, float gap) const {
        return arabic ? r.Right() + gap : r.x - gap - size;
    }
};

float BandHeight(const Frame& f) {
    float bottom = 0;
    for (const Control& c : f.d.controls) {
        if (c.id != IDC_STATIC_CAPTION && c.art != Art::Minimize && c.art != Art::Close) continue;
        bottom = std::max(
            {bottom, static_cast<float>(c.pixels.Bottom()), static_cast<float>(c.pixelsArabic.Bottom())});
    }
    return bottom > 0 ? bottom + 14 : 6;
}

void WindowFrame(Image& img, const Frame& f) {
    const bool main = f.d.id == IDD_MAIN_DIALOG;
    Fill(img, f.outline, main ? pal::kPage : pal::kBody);
    const float band = BandHeight(f);
    const Shape bandShape = Intersect(f.outline, RoundRect(-1, -1, f.w + 2, band + 1, 0));
    Fill(img, bandShape, Linear(0, 0, pal::kBandTop, f.w * 0.8f, band * 2.2f, pal::kBandBottom));
    if (band > 20) {
        // Soft light circles at the far end of the band, away from the caption.
        const float cx = f.arabic ? f.w * 0.08f : f.w * 0.92f;
        Fill(img, Intersect(bandShape, Circle(cx, band * 0.2f, band * 1.1f)), pal::kWhite, 0.06f);
        Fill(img,
             Intersect(bandShape,
                       Circle(cx + (f.arabic ? -1.0f : 1.0f) * band * 0.9f, band * 1.1f, band * 0.9f)),
             pal::kWhite, 0.05f);
        Fill(img, Intersect(f.outline, RoundRect(0, band, f.w, 1, 0)), pal::kBlack, 0.12f);
    }
    if (auto caption = f.Rect(IDC_STATIC_CAPTION); caption && band > 20)
        AppMark(img, f.Before(*caption, 26, 8), band / 2 - 13, 26, true);

    // Footer under the link to the control panel.
    float footer = f.h;
    for (const Control& c : f.d.controls)
        if (c.art == Art::Link)
            footer = std::min({footer, static_cast<float>(c.pixels.y), static_cast<float>(c.pixelsArabic.y)});
    if (footer < f.h) {
        footer -= 10;
        Fill(img, Intersect(f.outline, RoundRect(-1, footer, f.w + 2, f.h - footer + 1, 0)), pal::kFooter);
        Fill(img, Intersect(f.outline, RoundRect(0, footer, f.w, 1, 0)), pal::kHairline);
    }
}

void StepArt(Image& img, int step, const FRect& t) {
    const float cx = t.Cx();
    const float cy = t.Cy();
    switch (step) {
    case 0: { // the underside of a mouse with its power switch highlighted
        const Shape body = RoundRect(cx - 26, cy - 42, 52, 84, 26);
        Fill(img, Offset(body, 0, 2), pal::kBlack, 0.15f, 2);
        Fill(img, body, Vertical(cy - 42, Hex(0x4A5565), cy + 42, Hex(0x202731)));
        Fill(img, Ring(RoundRect(cx - 20, cy - 36, 40, 72, 20), 1, 0), pal::kWhite, 0.12f);
        Fill(img, Circle(cx, cy - 14, 4), Hex(0xE05555), 0.9f);
        Fill(img, Circle(cx, cy - 14, 7), Hex(0xE05555), 0.3f, 2);
        Fill(img, RoundRect(cx - 8, cy + 8, 16, 20, 4), Hex(0x11161D));
        Fill(img, RoundRect(cx - 5, cy + 10, 10, 8, 2), pal::kMetal);
        Fill(img, Ring(RoundRect(cx - 14, cy + 2, 28, 32, 8), 2.2f), pal::kAccent);
        break;
    }
    case 1: { // switch off
        Switch(img, cx - 34, cy - 14, 68, 28, false);
        Fill(img, Segment(cx + 22, cy + 26, cx - 20, cy + 26, 1.6f), pal::kInkSoft, 0.7f);
        Fill(img, Chevron(cx - 20, cy + 26, 10, 1.6f, -1, 0), pal::kInkSoft, 0.7f);
        break;
    }
    case 2: { // hold a key, slide on
        const Shape key = RoundRect(cx - 44, cy - 30, 40, 36, 7);
        Fill(img, Offset(key, 0, 3), Darker(pal::kBorder, 0.15f));
        Fill(img, key, Vertical(cy - 30, pal::kWhite, cy + 6, Hex(0xE8EDF3)));
        Fill(img, Ring(key, 1.2f, 0.6f), pal::kBorder);
        Fill(img, Chevron(cx - 24, cy - 42, 12, 1.8f, 0, 1), pal::kAccent);
        Switch(img, cx + 2, cy - 26, 48, 22, true);
        Fill(img, Segment(cx + 4, cy + 14, cx + 46, cy + 14, 1.6f), pal::kInkSoft, 0.7f);
        Fill(img, Chevron(cx + 46, cy + 14, 10, 1.6f, 1, 0), pal::kInkSoft, 0.7f);
        break;
    }
    case 3: { // hold for three seconds
        Fill(img, Ring(Circle(cx, cy, 32), 6), Hex(0xD9E3EE));
        Fill(img, Arc(cx, cy, 32, 6, kPi / 2 - 1.5f * kPi, kPi / 2), pal::kAccent);
        Fill(img, Circle(cx, cy - 32, 3.2f), pal::kAccent);
        Fill(img, Segment(cx, cy, cx, cy - 16, 2), pal::kInk);
        Fill(img, Segment(cx, cy, cx + 11, cy + 6, 2), pal::kInk);
        Fill(img, Circle(cx, cy, 3), pal::kInk);
        break;
    }
    default: { // pairing: receiver and waves
        Dongle(img, cx - 22, cy - 26, 1.6f);
        Waves(img, cx - 10, cy - 2, 0, 14, 11, 3, 3.2f, pal::kAccent);
        break;
    }
    }
}

void Steps(Image& img, const Frame& f) {
    std::vector<FRect> cards;
    for (int id = IDC_STATIC_HELP_COMMENT; id <= IDC_STATIC_HELP_COMMENT5; ++id)
        if (auto r = f.Rect(id)) cards.push_back(*r);
    if (cards.size() != 5) return;
    for (std::size_t i = 0; i < cards.size(); ++i) {
        const FRect& c = cards[i];
        const FRect tile{c.x - 7, 176, c.w + 14, 140};
        Fill(img, RoundRect(tile.x, tile.y, tile.w, tile.h, 12),
             Vertical(tile.y, pal::kAccentSofter, tile.Bottom(), pal::kWhite));
        Fill(img, Ring(RoundRect(tile.x, tile.y, tile.w, tile.h, 12), 1, 0.5f), Hex(0xDCE7F2));
        StepArt(img, static_cast<int>(i), tile);
        if (i + 1 < cards.size()) {
            const FRect& n = cards[i + 1];
            const int dir = n.x > c.x ? 1 : -1;
            const float gx = dir > 0 ? (c.Right() + n.x) / 2 : (n.Right() + c.x) / 2;
            Fill(img, Chevron(gx, tile.Cy(), 8, 1.5f, dir, 0), pal::kAccent, 0.7f);
        }
    }
}

void Hero(Image& img, const Frame& f) {
    // Welcome: a receiver with a keyboard and a mouse around it.
    const float cx = f.w / 2;
    const float cy = 205;
    Fill(img, Circle(cx, cy, 58), pal::kAccentSofter);
    Fill(img, Ring(Circle(cx, cy, 58), 1.2f), pal::kAccentSoft);
    Dongle(img, cx, cy - 32, 1.9f);
    Keyboard(img, cx - 200, cy - 2, 116, 44);
    Mouse(img, cx + 128, cy - 24, 40, 66);
    Waves(img, cx - 28, cy - 10, kPi, 12, 10, 3, 3, pal::kAccent);
    Waves(img, cx + 28, cy - 10, 0, 12, 10, 3, 3, pal::kAccent);
}

void Decorate(Image& img, const Frame& f) {
    switch (f.d.id) {
    case IDD_PAIR_SUCC:
        if (auto t = f.Rect(IDC_STATIC_CONGRATULATIONS))
            Badge(img, f.Before(*t, 26, 7) + 13, t->Cy(), 13, BadgeKind::Success);
        break;
    case IDD_PAIR_FAILED:
        if (auto p = f.Rect(IDC_PIC_DEVICE)) Badge(img, p->Cx(), p->Cy(), 18, BadgeKind::Danger);
        break;
    case IDD_REDUNDANT:
        if (auto t = f.Rect(IDC_STATIC_REDANT_TITLE))
            Badge(img, f.Before(*t, 26, 7) + 13, t->Cy(), 13, BadgeKind::Link);
        break;
    case IDD_FORBID_PAIR:
        if (auto t = f.Rect(IDC_STATIC_MORE_DG_TITLE))
            Badge(img, f.Before(*t, 26, 7) + 13, t->y + 13, 13, BadgeKind::Warning);
        break;
    case IDD_DEL_DEV_REQ:
        if (auto t = f.Rect(IDC_STATIC_ASK)) {
            const float cx = f.Before(*t, 30, 8) + 15;
            Fill(img, Circle(cx, t->Cy(), 20), pal::kDanger, 0.1f);
            Fill(img, Circle(cx, t->Cy(), 15), pal::kDanger);
            Minus(img, cx, t->Cy(), 6, pal::kWhite);
        }
        break;
    case IDD_PAIR_HELP:
        if (auto t = f.Rect(IDC_STATIC_HELP_TITLE))
            Badge(img, f.Before(*t, 26, 7) + 13, t->Cy(), 13, BadgeKind::Info);
        Steps(img, f);
        break;
    case IDD_PAIR_FAILED_MSG: Steps(img, f); break;
    case IDD_WELCOME: Hero(img, f); break;
    case IDD_PAIR_PROGRESS:
        if (auto bar = f.Rect(IDC_PROGRESS_PAIRING)) {
            // A soft well around the standard progress bar so it sits in the skin.
            const Shape well = RoundRect(bar->x - 4, bar->y - 4, bar->w + 8, bar->h + 8, 6);
            Fill(img, well, pal::kAccentSofter);
            Fill(img, Ring(well, 1, 0.5f), Hex(0xD8E4F0));
        }
        break;
    default: break;
    }
}

void RowFrame(Image& img, const Frame& f, Look look) {
    const Color line = Hex(0xD3DCE7);
    switch (f.d.id) {
    case IDD_RECEIVER_ITEM: {
        Fill(img, f.outline, pal::kBody);
        const bool expanded = look == Look::Pressed;
        if (expanded) {
            Fill(img, Intersect(f.outline, RoundRect(0, 0, f.w, f.h, 0)),
                 Vertical(0, pal::kAccentSofter, f.h, pal::kBody));
            const float bx = f.arabic ? f.w - 4 : 0;
            Fill(img, Intersect(f.outline, RoundRect(bx, 0, 4, f.h, 0)), pal::kAccent);
        }
        Fill(img, Ring(f.outline, 1.2f, 0.6f), expanded ? Mix(line, pal::kAccent, 0.35f) : line);
        const float chevronX = f.arabic ? 28 : f.w - 28;
        if (expanded)
            Fill(img, Chevron(chevronX, f.h / 2, 10, 1.4f, 0, 1), pal::kAccent);
        else
            Fill(img, Chevron(chevronX, f.h / 2, 10, 1.4f, f.arabic ? -1 : 1, 0), pal::kMuted);
        break;
    }
    case IDD_DEVICE_ITEM: {
        Fill(img, f.outline, pal::kBody);
        Fill(img, RoundRect(kRowInset, 0, 1.2f, f.h, 0), line);
        Fill(img, RoundRect(f.w - kRowInset - 1.2f, 0, 1.2f, f.h, 0), line);
        Fill(img, RoundRect(kRowInset + 16, f.h - 1, f.w - 2 * kRowInset - 32, 1, 0), pal::kHairline);
        break;
    }
    case IDD_ADD_NEW_DEV: {
        Fill(img, f.outline, pal::kFooter);
        Fill(img, Intersect(Ring(f.outline, 1.2f, 0.6f), RoundRect(0, 2, f.w, f.h, 0)), line);
        break;
    }
    default: break;
    }
}

void ContainerFrame(Image& img, const Frame& f) {
    Fill(img, f.outline, pal::kPage);
}

void TipFrame(Image& img, const Frame& f) {
    Fill(img, f.outline, pal::kBody);
    Fill(img, Ring(f.outline, 1.2f, 0.6f), Hex(0xC9D4E1));
    if (auto t = f.Rect(IDC_STATIC_INSERT_TIP)) {
        const float cx = f.Before(*t, 30, 14) + 15;
        Fill(img, Circle(cx, t->Cy(), 24), pal::kPage);
        Dongle(img, cx, t->Cy() - 17, 1.0f, true, pal::kMuted);
    }
}

} // namespace

bool OutlineContains(const Dialog& dialog, int x, int y) {
    return Inside(Outline(dialog), x, y);
}

Image PaintMask(const Dialog& dialog) {
    const ui::Size s = ui::PixelSize(dialog);
    Image img(s.cx, s.cy, pal::kWhite);
    const Shape outline = Outline(dialog);
    for (int y = 0; y < s.cy; ++y)
        for (int x = 0; x < s.cx; ++x)
            if (Inside(outline, x, y)) img.Set(x, y, pal::kBlack);
    return img;
}

Image PaintRendering(const Dialog& dialog, Look look, bool arabic) {
    const ui::Size s = ui::PixelSize(dialog);
    Image img(s.cx, s.cy, pal::kWhite);
    const Frame f{dialog, arabic, static_cast<float>(s.cx), static_cast<float>(s.cy), Outline(dialog)};
    switch (dialog.chrome) {
    case Chrome::Window:
        WindowFrame(img, f);
        Decorate(img, f);
        Fill(img, Ring(f.outline, 1.2f, 0.6f), pal::kBlack, 0.22f);
        break;
    case Chrome::Row: RowFrame(img, f, look); break;
    case Chrome::Container: ContainerFrame(img, f); break;
    case Chrome::Tip: TipFrame(img, f); break;
    case Chrome::None: break;
    }
    for (const Control& c : dialog.controls)
        PaintControl(img, c, ToF(ui::PixelRect(c, arabic)), look);
    // Outside the outline stays pure white, whatever spilled there.
    for (int y = 0; y < s.cy; ++y)
        for (int x = 0; x < s.cx; ++x)
            if (!Inside(f.outline, x, y)) img.Set(x, y, pal::kWhite);
    return img;
}

Image PaintPicture(const ui::Picture& p) {
    const float w = static_cast<float>(p.size.cx);
    const float h = static_cast<float>(p.size.cy);
    Image img(p.size.cx, p.size.cy, pal::kWhite);
    switch (p.kind) {
    case ui::PictureKind::Keyboard:
        Fill(img, Circle(w / 2, h / 2, 23.5f), pal::kAccentSoft);
        Keyboard(img, 6, 15, 36, 19);
        break;
    case ui::PictureKind::Mouse:
        Fill(img, Circle(w / 2, h / 2, 23.5f), pal::kAccentSoft);
        Mouse(img, w / 2, 8, 19, 31);
        break;
    case ui::PictureKind::MouseLarge:
        Fill(img, Circle(w / 2, h / 2, 23.5f), pal::kAccentSoft);
        Fill(img, Circle(w / 2, h / 2, 23.5f), Linear(0, 0, pal::kWhite, w, h, pal::kAccentSoft), 0.6f);
        Mouse(img, w / 2, 6, 21, 35, pal::kAccentLight);
        break;
    case ui::PictureKind::PairedDots:
        for (int i = 0; i < 6; ++i) {
            const float cx = 5 + 12 * static_cast<float>(i);
            if (i < p.dots) {
                Fill(img, Circle(cx, h / 2, 4.2f),
                     Vertical(h / 2 - 4, pal::kAccentLight, h / 2 + 4, pal::kAccent));
            } else {
                Fill(img, Ring(Circle(cx, h / 2, 3.7f), 1.3f), Hex(0xC3CEDB));
            }
        }
        break;
    case ui::PictureKind::ScrollBarCells: {
        const float cw = static_cast<float>(ui::kScrollCell.cx);
        const float ch = static_cast<float>(ui::kScrollCell.cy);
        for (int row = 0; row < 4; ++row) {
            const Look look = row == 0   ? Look::Normal
                              : row == 1 ? Look::Disabled
                              : row == 2 ? Look::Hover
                                         : Look::Pressed;
            const float y = ch * static_cast<float>(row);
            Fill(img, RoundRect(0, y, w, ch, 0), pal::kPage);
            Color arrow = Hex(0x8C9AAB);
            Color thumb = Hex(0xAAB6C5);
            if (look == Look::Disabled) arrow = thumb = Hex(0xD3DAE3);
            if (look == Look::Hover) {
                arrow = pal::kInkSoft;
                thumb = Hex(0x8493A6);
            }
            if (look == Look::Pressed) arrow = thumb = pal::kAccent;
            // Track: a thin centred line that tiles seamlessly along the bar.
            Fill(img, RoundRect(3 * cw + 2, y - 1, 2, ch + 2, 0), Hex(0xD8DFE8),
                 look == Look::Disabled ? 0.6f : 1);
            for (int col = 0; col < 2; ++col) {
                const float cx = cw * static_cast<float>(col) + cw / 2;
                if (look == Look::Hover || look == Look::Pressed)
                    Fill(img, RoundRect(cw * static_cast<float>(col) + 0.5f, y + 1, cw - 1, ch - 2, 2.5f),
                         look == Look::Pressed ? pal::kAccentSoft : Hex(0xDCE3EC));
                Fill(img, Chevron(cx, y + ch / 2, 3.2f, 0.75f, 0, col == 0 ? -1 : 1), arrow);
            }
            Fill(img, RoundRect(2 * cw + 0.5f, y + 0.5f, cw - 1, ch - 1, 2.5f), thumb);
        }
        break;
    }
    }
    return img;
}

std::vector<Image> PaintIconImages() {
    std::vector<Image> images;
    for (int size : {48, 32, 16}) {
        Image img(size, size, Color{1, 1, 1, 0});
        const float s = static_cast<float>(size);
        if (size >= 32) {
            AppMark(img, s * 0.02f, s * 0.02f, s * 0.96f, false);
        } else {
            const Shape tile = RoundRect(0.5f, 0.5f, s - 1, s - 1, 3.5f);
            Fill(img, tile, Linear(0, 0, pal::kAccentLight, s, s, pal::kBandTop));
            Fill(img, RoundRect(5, 2.5f, 4, 4, 0.5f), pal::kWhite, 0.85f);
            Fill(img, RoundRect(3.5f, 6, 7, 8, 1.8f), pal::kWhite);
            Fill(img, Arc(10, 6.5f, 3.5f, 1.5f, -0.8f, 0.8f), pal::kWhite);
        }
        images.push_back(std::move(img));
    }
    return images;
}

Image PaintInstallerPicture() {
    constexpr float w = 164;
    constexpr float h = 314;
    Image img(static_cast<int>(w), static_cast<int>(h), pal::kBandTop);
    const Shape all = RoundRect(-1, -1, w + 2, h + 2, 0);
    Fill(img, all, Linear(0, 0, pal::kBandTop, w * 0.9f, h, pal::kBandBottom));
    Fill(img, Intersect(all, Circle(w * 0.85f, h * 0.08f, w * 0.75f)), pal::kWhite, 0.06f);
    Fill(img, Intersect(all, Circle(w * 0.1f, h * 0.95f, w * 0.6f)), pal::kWhite, 0.05f);
    constexpr float mark = 72;
    AppMark(img, (w - mark) / 2, 64, mark, true);
    return img;
}

std::vector<ArtFile> PaintAll(bool arabic) {
    std::vector<ArtFile> files;
    for (const Dialog& d : ui::Dialogs()) {
        if (!d.Skinned()) continue;
        const std::pair<std::string_view, Look> roles[] = {
            {d.skin.normal, Look::Normal},
            {d.skin.hover, Look::Hover},
            {d.skin.selected, Look::Pressed},
            {d.skin.disable, Look::Disabled},
        };
        for (const auto& [name, look] : roles)
            if (!name.empty()) files.push_back({std::string(name), PaintRendering(d, look, arabic)});
        if (!d.skin.mask.empty()) files.push_back({std::string(d.skin.mask), PaintMask(d)});
    }
    for (const ui::Picture& p : ui::Pictures())
        files.push_back({std::string(p.name), PaintPicture(p)});
    return files;
}

bool WriteArt(const std::string& dir, bool arabic, std::string& error) {
    for (const ArtFile& f : PaintAll(arabic)) {
        const std::string path = dir + "/" + f.name;
        if (!WriteFile(path, EncodeBmp24(f.image))) {
            error = "cannot write " + path;
            return false;
        }
    }
    return true;
}

std::vector<std::string> CheckArt(const std::string& dir) {
    std::vector<std::string> problems;
    auto load = [&](std::string_view name, ui::Size expected) -> std::optional<Bitmap8> {
        const std::string path = dir + "/" + std::string(name);
        const auto bytes = ReadFile(path);
        if (!bytes) {
            problems.push_back(path + ": missing");
            return std::nullopt;
        }
        auto bmp = DecodeBmp(*bytes);
        if (!bmp || bmp->bitsPerPixel != 24) {
            problems.push_back(path + ": not a 24-bit BMP");
            return std::nullopt;
        }
        if (bmp->width != expected.cx || bmp->height != expected.cy) {
            problems.push_back(path + ": " + std::to_string(bmp->width) + "x" + std::to_string(bmp->height) +
                               ", expected " + std::to_string(expected.cx) + "x" +
                               std::to_string(expected.cy));
            return std::nullopt;
        }
        return bmp;
    };
    for (const Dialog& d : ui::Dialogs()) {
        if (!d.Skinned()) continue;
        const ui::Size size = ui::PixelSize(d);
        for (std::string_view name : {d.skin.normal, d.skin.hover, d.skin.selected, d.skin.disable})
            if (!name.empty()) load(name, size);
        if (d.skin.mask.empty()) continue;
        const auto mask = load(d.skin.mask, size);
        if (!mask) continue;
        int wrong = 0;
        int blended = 0;
        for (int y = 0; y < mask->height; ++y)
            for (int x = 0; x < mask->width; ++x) {
                const Pixel8& p = mask->At(x, y);
                if (MaskInside(p) == !OutlineContains(d, x, y)) ++wrong;
                if (!(p.r == p.g && p.g == p.b && (p.r == 0 || p.r == 255))) ++blended;
            }
        const std::string path = dir + "/" + std::string(d.skin.mask);
        if (wrong) problems.push_back(path + ": " + std::to_string(wrong) + " pixels off the outline");
        if (blended) problems.push_back(path + ": " + std::to_string(blended) + " anti-aliased pixels");
    }
    for (const ui::Picture& p : ui::Pictures())
        load(p.name, p.size);
    return problems;
}

} // namespace pw::uigen
