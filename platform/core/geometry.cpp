// Rectangle and affine transform arithmetic for the view tree, the compositor and the scene.
#include "platform/core/geometry.h"

#include <algorithm>
#include <utility>

#include "platform/core/portable_math.h"

namespace platform {

std::vector<Rect> rectMinus(Rect area, std::span<const Rect> holes) {
  const float left = area.origin.x, right = left + area.size.width;
  const float low = area.origin.y, high = low + area.size.height;
  std::vector<float> edges = {low, high};
  edges.reserve(2 + 2 * holes.size());
  for (const Rect& hole : holes) {
    if (hole.size.width <= 0 || hole.size.height <= 0) continue;
    edges.push_back(std::clamp(hole.origin.y, low, high));
    edges.push_back(std::clamp(hole.origin.y + hole.size.height, low, high));
  }
  std::sort(edges.begin(), edges.end());
  edges.erase(std::unique(edges.begin(), edges.end()), edges.end());

  std::vector<Rect> parts;
  std::vector<std::pair<float, float>> cuts, gaps, previousGaps;
  size_t previousFirst = 0;  // where the slab below's parts start in `parts`
  for (size_t i = 0; i + 1 < edges.size(); ++i) {
    const float y0 = edges[i], y1 = edges[i + 1];
    cuts.clear();
    for (const Rect& hole : holes) {
      const float x0 = std::max(hole.origin.x, left);
      const float x1 = std::min(hole.origin.x + hole.size.width, right);
      if (hole.size.height > 0 && x1 > x0 && hole.origin.y <= y0 &&
          hole.origin.y + hole.size.height >= y1) {
        cuts.emplace_back(x0, x1);
      }
    }
    std::sort(cuts.begin(), cuts.end());
    gaps.clear();
    float x = left;
    for (const auto& [x0, x1] : cuts) {
      if (x0 > x) gaps.emplace_back(x, x0);
      x = std::max(x, x1);
    }
    if (right > x) gaps.emplace_back(x, right);

    if (i > 0 && gaps == previousGaps) {
      for (size_t k = previousFirst; k < parts.size(); ++k) {
        parts[k].size.height = y1 - parts[k].origin.y;
      }
      continue;
    }
    previousFirst = parts.size();
    for (const auto& [x0, x1] : gaps) parts.push_back({{x0, y0}, {x1 - x0, y1 - y0}});
    std::swap(gaps, previousGaps);
  }
  return parts;
}

AffineTransform AffineTransform::rotation(float radians) {
  const float c = portable::cos(radians), s = portable::sin(radians);
  return {c, s, -s, c, 0, 0};
}

AffineTransform AffineTransform::translation(float x, float y) {
  return {1, 0, 0, 1, x, y};
}

AffineTransform AffineTransform::scale(float sx, float sy) {
  return {sx, 0, 0, sy, 0, 0};
}

AffineTransform AffineTransform::concat(const AffineTransform& t) const {
  return {a * t.a + b * t.c, a * t.b + b * t.d,          c * t.a + d * t.c,
          c * t.b + d * t.d, tx * t.a + ty * t.c + t.tx, tx * t.b + ty * t.d + t.ty};
}

AffineTransform AffineTransform::inverted() const {
  const float det = a * d - b * c;
  if (det == 0) return *this;  // a singular transform has no inverse; leave it alone
  return {d / det, -b / det, -c / det, a / det, (c * ty - d * tx) / det, (b * tx - a * ty) / det};
}

}  // namespace platform
