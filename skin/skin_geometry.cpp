#include "skin/skin_geometry.h"

#include <algorithm>
#include <cstddef>
#include <utility>

namespace pw::skin {

std::vector<MaskRun> MaskRowRuns(std::span<const std::uint32_t> pixels, int width, int height) {
    std::vector<MaskRun> runs;
    if (width <= 0 || height <= 0 ||
        pixels.size() < static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
        return runs;
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* row =
            pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        int x = 0;
        while (x < width) {
            while (x < width && IsOutside(row[x]))
                ++x;
            if (x == width) break;
            const int start = x;
            while (x < width && !IsOutside(row[x]))
                ++x;
            runs.push_back({y, start, x});
        }
    }
    return runs;
}

ControlLook ChooseLook(SkinControlType type, const ControlState& s) {
    using K = SkinImageKind;
    using C = TextColorRole;
    switch (type) {
    case SkinControlType::Button:
        if (s.disabled) return {K::Disable, C::Disable};
        if (s.pressed) return {K::Selected, C::Hover};
        if (s.hovered) return {K::Hover, C::Hover};
        return {K::Normal, C::Normal};
    case SkinControlType::CheckBox:
        if (s.checked) {
            if (s.disabled) return {K::CheckedDisable, C::Disable};
            if (s.hovered) return {K::CheckedHover, C::Hover};
            return {K::Selected, C::Hover};
        }
        if (s.disabled) return {K::Disable, C::Disable};
        if (s.hovered) return {K::Hover, C::Hover};
        return {K::Normal, C::Normal};
    case SkinControlType::Static:
        if (s.disabled) return {K::Disable, C::Disable};
        return {K::Normal, C::Normal};
    }
    return {};
}

int ImageIndex(SkinImageKind kind, int controlIndex, int backgroundIndex) {
    if (kind == SkinImageKind::Disable || kind == SkinImageKind::CheckedDisable) return controlIndex;
    return controlIndex == 0 ? backgroundIndex : controlIndex;
}

TextAlignment AlignmentFor(int flags) {
    TextAlignment a;
    if (flags & kAlignCenter) a.horizontal = StringAlign::Center;
    if (flags & kAlignBottom)
        a.vertical = StringAlign::Far;
    else if (flags & kAlignVCenter)
        a.vertical = StringAlign::Center;
    return a;
}

const PartRect* ScrollLayout::Rect(int part) const {
    switch (part) {
    case kPartUp: return &up;
    case kPartDown: return &down;
    case kPartPageBefore: return &pageBefore;
    case kPartPageAfter: return &pageAfter;
    case kPartThumb: return &thumb;
    default: return nullptr;
    }
}

ScrollCells CellsOf(int imageWidth, int imageHeight) {
    if (imageWidth <= 0 || imageHeight <= 0) return {};
    return {imageWidth / kScrollGridSize, imageHeight / kScrollGridSize};
}

ScrollLayout LayoutScrollBar(const ScrollState& info, int length, int arrow, int thickness, bool horizontal) {
    // 64-bit throughout: positions times pixels must not overflow for any range a caller can set.
    using i64 = long long;
    ScrollLayout l;
    const i64 L = std::max(length, 0);
    i64 a = std::max(arrow, 0);
    const i64 range = static_cast<i64>(info.nMax) - info.nMin + 1;
    const i64 page = info.nPage;
    const i64 free = range - page; // nMax - nMin - nPage + 1
    i64 track = std::max<i64>(L - 2 * a, 0);

    i64 t = 0;
    if (track >= kMinThumbLength && free != 0 && range != 0)
        t = std::max<i64>(kMinThumbLength, page * track / range);
    if (track == 0) a = L / 2;
    t = std::min(t, track);

    i64 o = free == 0 ? (track - t) / 2 : (static_cast<i64>(info.nPos) - info.nMin) * (track - t) / free;
    o = std::clamp<i64>(o, 0, track - t);

    l.arrow = static_cast<int>(a);
    l.track = static_cast<int>(track);
    l.thumbLength = static_cast<int>(t);
    l.thumbOffset = static_cast<int>(o);
    const int T = thickness;
    const int A = l.arrow, O = l.thumbOffset, N = l.thumbLength, len = static_cast<int>(L);
    l.up = {0, 0, T, A};
    l.pageBefore = {0, A, T, A + O};
    l.thumb = {0, A + O, T, A + O + N};
    l.pageAfter = {0, A + O + N, T, len - A};
    l.down = {0, len - A, T, len};
    if (horizontal) {
        for (PartRect* r : {&l.up, &l.pageBefore, &l.thumb, &l.pageAfter, &l.down})
            *r = {r->top, r->left, r->bottom, r->right};
    }
    return l;
}

int HitTest(const ScrollLayout& layout, int x, int y) {
    const std::pair<int, const PartRect*> order[] = {{kPartUp, &layout.up},
                                                     {kPartPageBefore, &layout.pageBefore},
                                                     {kPartThumb, &layout.thumb},
                                                     {kPartPageAfter, &layout.pageAfter},
                                                     {kPartDown, &layout.down}};
    for (const auto& [part, rect] : order)
        if (rect->Contains(x, y)) return part;
    return kPartNone;
}

int DragPosition(const ScrollState& info, int length, int arrow, int startPos, int delta) {
    using i64 = long long;
    const i64 range = static_cast<i64>(info.nMax) - info.nMin + 1;
    if (range == 0) return startPos;
    const i64 span = static_cast<i64>(length) - 2 * static_cast<i64>(arrow);
    const i64 page = info.nPage;
    const i64 free = span - page * span / range;
    i64 pos = startPos + (free != 0 ? static_cast<i64>(delta) * (range - page) / free : 0);
    // A page larger than the range leaves no room to move: the upper limit never falls below nMin.
    const i64 upper = std::max<i64>(info.nMin, static_cast<i64>(info.nMax) - page + 1);
    pos = std::clamp<i64>(pos, info.nMin, upper);
    return static_cast<int>(pos);
}

RepeatTimerChange OnRepeatTimer(unsigned timerId) {
    if (timerId == kRepeatDelayTimer) return {kRepeatDelayTimer, kRepeatTimer, kRepeatIntervalMs};
    return {};
}

bool RepeatStops(int pressedPart, const ScrollState& info, bool cursorInThumb) {
    switch (pressedPart) {
    case kPartUp: return info.nPos == info.nMin;
    case kPartDown: return info.nPos == info.nMax;
    case kPartPageBefore:
    case kPartPageAfter: return cursorInThumb;
    default: return true;
    }
}

} // namespace pw::skin
