// Drawing into bitmaps: every destination pixel centre is mapped back through the current
// transform into the source, which is sampled bilinearly, or averaged over its footprint when
// the drawing shrinks it, and laid over the pixel (source over, premultiplied). A source placed
// pixel for pixel is copied without filtering.
#include "platform/graphics/bitmap.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/graphics/image.h"

namespace platform {
namespace {

struct Span {
  int begin, end;  // pixels whose centres lie in [lo, hi), clamped to [0, limit)
};

Span pixelSpan(double lo, double hi, int limit) {
  const int begin = static_cast<int>(std::ceil(lo - 0.5));
  const int end = static_cast<int>(std::ceil(hi - 0.5));
  return {std::clamp(begin, 0, limit), std::clamp(end, 0, limit)};
}

uint8_t toByte(float value) {
  return static_cast<uint8_t>(std::lround(std::clamp(value, 0.0f, 1.0f) * 255));
}

}  // namespace

// What is drawn: premultiplied RGBA pixels, or a coverage mask filled with a colour.
struct BitmapContext::Source {
  const uint8_t* pixels;
  int width, height;
  const float* fill;  // null for RGBA pixels

  void texel(int i, int j, float out[4]) const {
    i = std::clamp(i, 0, width - 1);
    j = std::clamp(j, 0, height - 1);
    const size_t index = static_cast<size_t>(j) * width + i;
    if (fill) {
      const float coverage = pixels[index] / 255.0f;
      for (int c = 0; c < 4; ++c) out[c] = fill[c] * coverage;
    } else {
      for (int c = 0; c < 4; ++c) out[c] = pixels[index * 4 + c] / 255.0f;
    }
  }

  void bilinear(double u, double v, float out[4]) const {
    const double x = u - 0.5, y = v - 0.5;
    const int i = static_cast<int>(std::floor(x)), j = static_cast<int>(std::floor(y));
    const float fx = static_cast<float>(x - i), fy = static_cast<float>(y - j);
    float a[4], b[4], c[4], d[4];
    texel(i, j, a);
    texel(i + 1, j, b);
    texel(i, j + 1, c);
    texel(i + 1, j + 1, d);
    for (int k = 0; k < 4; ++k) {
      out[k] = (a[k] * (1 - fx) + b[k] * fx) * (1 - fy) + (c[k] * (1 - fx) + d[k] * fx) * fy;
    }
  }
};

BitmapContext::BitmapContext(uint8_t* data, int width, int height, int bytesPerRow,
                             BitmapLayout layout)
    : data_(data), width_(width), height_(height), bytesPerRow_(bytesPerRow), layout_(layout) {}

void BitmapContext::translateCTM(float tx, float ty) {
  ctm_ = AffineTransform::translation(tx, ty).concat(ctm_);
}

void BitmapContext::scaleCTM(float sx, float sy) {
  ctm_ = AffineTransform::scale(sx, sy).concat(ctm_);
}

void BitmapContext::rotateCTM(float radians) {
  ctm_ = AffineTransform::rotation(radians).concat(ctm_);
}

void BitmapContext::concatCTM(const AffineTransform& transform) {
  ctm_ = transform.concat(ctm_);
}

void BitmapContext::setFillColor(float red, float green, float blue, float alpha) {
  fill_[0] = red * alpha;
  fill_[1] = green * alpha;
  fill_[2] = blue * alpha;
  fill_[3] = alpha;
}

BitmapContext::PixelBox BitmapContext::pixelsUnder(Rect rect) const {
  const Point o = rect.origin;
  const Size s = rect.size;
  const Point corners[4] = {ctm_.apply(o), ctm_.apply({o.x + s.width, o.y}),
                            ctm_.apply({o.x, o.y + s.height}),
                            ctm_.apply({o.x + s.width, o.y + s.height})};
  float minX = corners[0].x, maxX = minX, minY = corners[0].y, maxY = minY;
  for (const Point& p : corners) {
    minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
    minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
  }
  // Memory rows count down from the top.
  const Span columns = pixelSpan(minX, maxX, width_);
  const Span rows = pixelSpan(height_ - maxY, height_ - minY, height_);
  return {columns.begin, columns.end, rows.begin, rows.end};
}

void BitmapContext::clearRect(Rect rect) {
  const PixelBox box = pixelsUnder(rect);
  const int bytesPerPixel =
      (layout_ == BitmapLayout::Gray || layout_ == BitmapLayout::AlphaOnly) ? 1 : 4;
  for (int row = box.rowBegin; row < box.rowEnd; ++row) {
    std::memset(data_ + static_cast<size_t>(row) * bytesPerRow_ + box.columnBegin * bytesPerPixel,
                0, static_cast<size_t>(box.columnEnd - box.columnBegin) * bytesPerPixel);
  }
}

void BitmapContext::drawImage(Rect rect, const Image& image) {
  const Source source{image.pixels().data(), image.width(), image.height(),
                      image.hasColorSpace() ? nullptr : fill_};
  composite(rect, source, false);
}

void BitmapContext::fillMask(Rect rect, const uint8_t* coverage, int width, int height,
                             bool topDown) {
  composite(rect, Source{coverage, width, height, fill_}, topDown);
}

void BitmapContext::blend(int column, int row, const uint8_t s[4]) {
  uint8_t* d = data_ + static_cast<size_t>(row) * bytesPerRow_;
  // Source over, premultiplied, in whole bytes: d = s + d · (1 − source alpha).
  const unsigned keep = 255u - s[3];
  auto over = [keep](unsigned source, unsigned destination) {
    return static_cast<uint8_t>(std::min(255u, source + (destination * keep + 127) / 255));
  };
  switch (layout_) {
    case BitmapLayout::RGBAPremultipliedLast:
      d += column * 4;
      for (int c = 0; c < 4; ++c) d[c] = over(s[c], d[c]);
      break;
    case BitmapLayout::RGBNoneSkipLast:
      d += column * 4;
      for (int c = 0; c < 3; ++c) d[c] = over(s[c], d[c]);
      break;
    case BitmapLayout::Gray:
      d += column;
      *d = over((299u * s[0] + 587u * s[1] + 114u * s[2] + 500) / 1000, *d);
      break;
    case BitmapLayout::AlphaOnly:
      d += column;
      *d = over(s[3], *d);
      break;
  }
}

void BitmapContext::composite(Rect rect, const Source& source, bool topDown) {
  if (rect.size.width <= 0 || rect.size.height <= 0 || source.width <= 0 || source.height <= 0 ||
      ctm_.a * ctm_.d - ctm_.b * ctm_.c == 0) {
    return;
  }
  const AffineTransform inverse = ctm_.inverted();
  // The source point under the centre of pixel (column, row) is affine in both. The ratios are
  // taken first, so that a source drawn at its own size maps by exactly one pixel a pixel.
  const double across = source.width / static_cast<double>(rect.size.width);
  const double down = source.height / static_cast<double>(rect.size.height);
  auto sourceAt = [&](double column, double row, double& u, double& v) {
    const double x = column + 0.5, y = height_ - row - 0.5;
    const double ux = inverse.a * x + inverse.c * y + inverse.tx;
    const double uy = inverse.b * x + inverse.d * y + inverse.ty;
    u = (ux - rect.origin.x) * across;
    v = (topDown ? uy - rect.origin.y : rect.origin.y + rect.size.height - uy) * down;
  };
  double uc, vc, u1, v1, u2, v2;
  sourceAt(0, 0, uc, vc);
  sourceAt(1, 0, u1, v1);
  sourceAt(0, 1, u2, v2);
  const double ua = u1 - uc, va = v1 - vc, ub = u2 - uc, vb = v2 - vc;

  // Only pixels inside the rectangle's device box can be touched.
  const PixelBox box = pixelsUnder(rect);
  const bool pixelForPixel = ua == 1 && ub == 0 && va == 0 && std::abs(vb) == 1 &&
                             uc - 0.5 == std::floor(uc - 0.5) && vc - 0.5 == std::floor(vc - 0.5);
  // A shrinking drawing averages samples spread over each pixel's footprint.
  const int taps = std::max(1, static_cast<int>(std::ceil(std::max(
                                   {std::abs(ua), std::abs(va), std::abs(ub), std::abs(vb)}))));
  if (pixelForPixel) {
    copyPixels(box, source, static_cast<int>(uc - 0.5), static_cast<int>(vc - 0.5),
               static_cast<int>(vb));
    return;
  }
  float sample[4], sum[4];
  uint8_t bytes[4];
  for (int row = box.rowBegin; row < box.rowEnd; ++row) {
    for (int column = box.columnBegin; column < box.columnEnd; ++column) {
      const double u = uc + ua * column + ub * row, v = vc + va * column + vb * row;
      if (u < 0 || v < 0 || u >= source.width || v >= source.height) continue;
      std::fill_n(sum, 4, 0.0f);
      for (int i = 0; i < taps; ++i) {
        for (int j = 0; j < taps; ++j) {
          const double di = (i + 0.5) / taps - 0.5, dj = (j + 0.5) / taps - 0.5;
          source.bilinear(u + ua * di + ub * dj, v + va * di + vb * dj, sample);
          for (int c = 0; c < 4; ++c) sum[c] += sample[c];
        }
      }
      for (int c = 0; c < 4; ++c) bytes[c] = toByte(sum[c] / static_cast<float>(taps * taps));
      if (bytes[3] > 0) blend(column, row, bytes);
    }
  }
}

void BitmapContext::copyPixels(const PixelBox& box, const Source& source, int firstColumn,
                               int firstRow, int rowStep) {
  // Texel (column + firstColumn, firstRow + rowStep · row) lies under pixel (column, row).
  const int columnBegin = std::max(box.columnBegin, -firstColumn);
  const int columnEnd = std::min(box.columnEnd, source.width - firstColumn);
  const int bytesPerTexel = source.fill ? 1 : 4;
  // A coverage mask fills with the colour scaled by coverage; one entry per coverage value.
  uint8_t shades[256][4];
  if (source.fill) {
    for (int c = 0; c < 256; ++c) {
      for (int k = 0; k < 4; ++k) shades[c][k] = toByte(source.fill[k] * (c / 255.0f));
    }
  }
  for (int row = box.rowBegin; row < box.rowEnd; ++row) {
    const int v = firstRow + rowStep * row;
    if (v < 0 || v >= source.height) continue;
    const uint8_t* texels = source.pixels + static_cast<size_t>(v) * source.width * bytesPerTexel;
    for (int column = columnBegin; column < columnEnd; ++column) {
      const uint8_t* texel = texels + static_cast<size_t>(column + firstColumn) * bytesPerTexel;
      const uint8_t* shade = source.fill ? shades[*texel] : texel;
      if (shade[3] != 0) blend(column, row, shade);
    }
  }
}

}  // namespace platform
