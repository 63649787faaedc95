// Affine transform arithmetic for the view tree and the compositor.
#include "platform/core/geometry.h"

#include "platform/core/portable_math.h"

namespace platform {

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
