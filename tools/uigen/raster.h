// A small rasteriser: shapes are signed distance functions (negative inside, in pixels), filled with
// coverage-based anti-aliasing (one pixel wide edge) or a soft edge for shadows and glows.
#pragma once

#include "tools/uigen/image.h"

#include <functional>

namespace pw::uigen {

struct Box {
    float x0 = 0;
    float y0 = 0;
    float x1 = 0;
    float y1 = 0;
};

struct Shape {
    std::function<float(float, float)> distance;
    Box bounds;
};

using Paint = std::function<Color(float, float)>;

Paint Solid(Color c);
// Linear gradient from c0 at (x0, y0) to c1 at (x1, y1).
Paint Linear(float x0, float y0, Color c0, float x1, float y1, Color c1);
Paint Vertical(float y0, Color c0, float y1, Color c1);

struct Radii {
    float tl = 0;
    float tr = 0;
    float br = 0;
    float bl = 0;
};

Shape RoundRect(float x, float y, float w, float h, float r);
Shape RoundRect(float x, float y, float w, float h, Radii r);
Shape Circle(float cx, float cy, float r);
Shape Ellipse(float cx, float cy, float rx, float ry);
// A line from a to b with round ends, `r` half its width.
Shape Segment(float ax, float ay, float bx, float by, float r);
// A closed convex or concave polygon (even-odd inside test), e.g. arrow heads.
Shape Polygon(std::vector<std::pair<float, float>> points);

Shape Union(Shape a, Shape b);
Shape Subtract(Shape a, Shape b);
Shape Intersect(Shape a, Shape b);
// The outline of `s`, `width` wide, centred `inset` pixels inside its edge.
Shape Ring(Shape s, float width, float inset = 0);
Shape Offset(Shape s, float dx, float dy);
// Grows (positive) or shrinks the shape by `by` pixels.
Shape Grow(Shape s, float by);

// Fills the shape; `soft` > 0 widens the edge to a blur of that many pixels.
void Fill(Image& image, const Shape& shape, const Paint& paint, float opacity = 1, float soft = 0);
void Fill(Image& image, const Shape& shape, Color color, float opacity = 1, float soft = 0);

// Pixel-exact inside test used for masks: the pixel centre lies inside the shape.
bool Inside(const Shape& shape, int x, int y);

} // namespace pw::uigen
