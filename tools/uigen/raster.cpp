#include "tools/uigen/raster.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace pw::uigen {
namespace {

Box Merge(const Box& a, const Box& b) {
    return {std::min(a.x0, b.x0), std::min(a.y0, b.y0), std::max(a.x1, b.x1), std::max(a.y1, b.y1)};
}

Box Expand(const Box& b, float by) {
    return {b.x0 - by, b.y0 - by, b.x1 + by, b.y1 + by};
}

float Clamp01(float v) {
    return std::clamp(v, 0.0f, 1.0f);
}

} // namespace

Paint Solid(Color c) {
    return [c](float, float) { return c; };
}

Paint Linear(float x0, float y0, Color c0, float x1, float y1, Color c1) {
    const float dx = x1 - x0;
    const float dy = y1 - y0;
    const float len2 = std::max(dx * dx + dy * dy, 1e-6f);
    return [=](float x, float y) { return Mix(c0, c1, Clamp01(((x - x0) * dx + (y - y0) * dy) / len2)); };
}

Paint Vertical(float y0, Color c0, float y1, Color c1) {
    return Linear(0, y0, c0, 0, y1, c1);
}

Shape RoundRect(float x, float y, float w, float h, float r) {
    return RoundRect(x, y, w, h, Radii{r, r, r, r});
}

Shape RoundRect(float x, float y, float w, float h, Radii rr) {
    const float cx = x + w / 2;
    const float cy = y + h / 2;
    const float hx = w / 2;
    const float hy = h / 2;
    return {[=](float px, float py) {
                const float qx0 = px - cx;
                const float qy0 = py - cy;
                float r = qx0 < 0 ? (qy0 < 0 ? rr.tl : rr.bl) : (qy0 < 0 ? rr.tr : rr.br);
                r = std::min({r, hx, hy});
                const float qx = std::abs(qx0) - hx + r;
                const float qy = std::abs(qy0) - hy + r;
                const float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
                return outside + std::min(std::max(qx, qy), 0.0f) - r;
            },
            {x, y, x + w, y + h}};
}

Shape Circle(float cx, float cy, float r) {
    return {[=](float x, float y) { return std::hypot(x - cx, y - cy) - r; },
            {cx - r, cy - r, cx + r, cy + r}};
}

Shape Ellipse(float cx, float cy, float rx, float ry) {
    // Scaled-circle approximation; exact enough for the small radii used here.
    const float k = std::min(rx, ry);
    return {[=](float x, float y) {
                const float nx = (x - cx) / rx;
                const float ny = (y - cy) / ry;
                return (std::hypot(nx, ny) - 1) * k;
            },
            {cx - rx, cy - ry, cx + rx, cy + ry}};
}

Shape Segment(float ax, float ay, float bx, float by, float r) {
    return {[=](float x, float y) {
                const float pax = x - ax;
                const float pay = y - ay;
                const float bax = bx - ax;
                const float bay = by - ay;
                const float h = Clamp01((pax * bax + pay * bay) / std::max(bax * bax + bay * bay, 1e-6f));
                return std::hypot(pax - bax * h, pay - bay * h) - r;
            },
            {std::min(ax, bx) - r, std::min(ay, by) - r, std::max(ax, bx) + r, std::max(ay, by) + r}};
}

Shape Polygon(std::vector<std::pair<float, float>> pts) {
    Box b{1e9f, 1e9f, -1e9f, -1e9f};
    for (auto [x, y] : pts)
        b = Merge(b, {x, y, x, y});
    return {[pts](float x, float y) {
                float d = 1e9f;
                bool inside = false;
                const std::size_t n = pts.size();
                for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
                    const auto [xi, yi] = pts[i];
                    const auto [xj, yj] = pts[j];
                    const float ex = xj - xi;
                    const float ey = yj - yi;
                    const float wx = x - xi;
                    const float wy = y - yi;
                    const float h = Clamp01((wx * ex + wy * ey) / std::max(ex * ex + ey * ey, 1e-6f));
                    d = std::min(d, std::hypot(wx - ex * h, wy - ey * h));
                    if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) inside = !inside;
                }
                return inside ? -d : d;
            },
            b};
}

Shape Union(Shape a, Shape b) {
    const Box bounds = Merge(a.bounds, b.bounds);
    return {[a = std::move(a.distance), b = std::move(b.distance)](float x, float y) {
                return std::min(a(x, y), b(x, y));
            },
            bounds};
}

Shape Subtract(Shape a, Shape b) {
    const Box bounds = a.bounds;
    return {[a = std::move(a.distance), b = std::move(b.distance)](float x, float y) {
                return std::max(a(x, y), -b(x, y));
            },
            bounds};
}

Shape Intersect(Shape a, Shape b) {
    const Box bounds{std::max(a.bounds.x0, b.bounds.x0), std::max(a.bounds.y0, b.bounds.y0),
                     std::min(a.bounds.x1, b.bounds.x1), std::min(a.bounds.y1, b.bounds.y1)};
    return {[a = std::move(a.distance), b = std::move(b.distance)](float x, float y) {
                return std::max(a(x, y), b(x, y));
            },
            bounds};
}

Shape Ring(Shape s, float width, float inset) {
    const Box bounds = Expand(s.bounds, width);
    return {[d = std::move(s.distance), width, inset](float x, float y) {
                return std::abs(d(x, y) + inset) - width / 2;
            },
            bounds};
}

Shape Offset(Shape s, float dx, float dy) {
    const Box bounds{s.bounds.x0 + dx, s.bounds.y0 + dy, s.bounds.x1 + dx, s.bounds.y1 + dy};
    return {[d = std::move(s.distance), dx, dy](float x, float y) { return d(x - dx, y - dy); }, bounds};
}

Shape Grow(Shape s, float by) {
    const Box bounds = Expand(s.bounds, std::max(by, 0.0f));
    return {[d = std::move(s.distance), by](float x, float y) { return d(x, y) - by; }, bounds};
}

void Fill(Image& image, const Shape& shape, const Paint& paint, float opacity, float soft) {
    const float reach = soft + 1;
    const int x0 = std::max(0, static_cast<int>(std::floor(shape.bounds.x0 - reach)));
    const int y0 = std::max(0, static_cast<int>(std::floor(shape.bounds.y0 - reach)));
    const int x1 = std::min(image.Width() - 1, static_cast<int>(std::ceil(shape.bounds.x1 + reach)));
    const int y1 = std::min(image.Height() - 1, static_cast<int>(std::ceil(shape.bounds.y1 + reach)));
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const float px = static_cast<float>(x) + 0.5f;
            const float py = static_cast<float>(y) + 0.5f;
            const float d = shape.distance(px, py);
            float coverage;
            if (soft > 0) {
                const float t = Clamp01(0.5f - d / (2 * soft));
                coverage = t * t * (3 - 2 * t);
            } else {
                coverage = Clamp01(0.5f - d);
            }
            if (coverage > 0) image.Blend(x, y, paint(px, py), coverage * opacity);
        }
}

void Fill(Image& image, const Shape& shape, Color color, float opacity, float soft) {
    Fill(image, shape, Solid(color), opacity, soft);
}

bool Inside(const Shape& shape, int x, int y) {
    return shape.distance(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f) <= 0;
}

} // namespace pw::uigen
