// Points, sizes, rectangles and affine transforms in screen points, single precision as on the
// phone the game was first drawn for.
#pragma once

#include <span>
#include <vector>

namespace platform {

// The farthest from the origin a coordinate read from a file may lie (a view's frame, a scripted
// touch): screens are thousands of points across, and larger numbers are refused, not drawn.
constexpr float kMaxFileCoordinate = 100000;

struct Point {
  float x = 0, y = 0;
  bool operator==(const Point&) const = default;
};

struct Size {
  float width = 0, height = 0;
  bool operator==(const Size&) const = default;
};

struct Rect {
  Point origin;
  Size size;
  bool operator==(const Rect&) const = default;
  bool contains(Point p) const {
    return p.x >= origin.x && p.y >= origin.y && p.x < origin.x + size.width &&
           p.y < origin.y + size.height;
  }
};

// `area` less the `holes`, as rectangles that do not overlap: slabs between the holes' top and
// bottom edges, each cut where holes cross it whole; a slab cut like the one before it joins it.
std::vector<Rect> rectMinus(Rect area, std::span<const Rect> holes);

// x' = a·x + c·y + tx, y' = b·x + d·y + ty; y grows downwards on screen, so a positive angle
// turns clockwise as seen.
struct AffineTransform {
  float a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;

  static AffineTransform rotation(float radians);
  static AffineTransform translation(float x, float y);
  static AffineTransform scale(float sx, float sy);

  // This transform first, then `then`.
  AffineTransform concat(const AffineTransform& then) const;
  AffineTransform inverted() const;
  Point apply(Point p) const { return {a * p.x + c * p.y + tx, b * p.x + d * p.y + ty}; }
  bool operator==(const AffineTransform&) const = default;
};

}  // namespace platform
