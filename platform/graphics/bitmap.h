// Bitmap contexts: drawing into memory the caller owns, in the three layouts textures are made
// from. Device space has its origin at the bottom-left with y up; the first row in memory is
// the top row. The current transform maps user space onto it.
#pragma once

#include <cstdint>

#include "platform/core/geometry.h"

namespace platform {

class Image;

enum class BitmapLayout {
  RGBAPremultipliedLast,  // bytes R, G, B, A, colour premultiplied by alpha
  RGBNoneSkipLast,        // bytes R, G, B and a fourth that is ignored
  Gray,                   // one grey byte, no alpha
  AlphaOnly,              // one alpha byte, no colour
};

class BitmapContext {
 public:
  // `data` holds `height` rows of `bytesPerRow` bytes and outlives the context.
  BitmapContext(uint8_t* data, int width, int height, int bytesPerRow, BitmapLayout layout);

  int width() const { return width_; }
  int height() const { return height_; }

  // Sets every pixel under the rectangle (user space) to zero.
  void clearRect(Rect rect);

  void translateCTM(float tx, float ty);
  void scaleCTM(float sx, float sy);
  void rotateCTM(float radians);
  void concatCTM(const AffineTransform& transform);
  const AffineTransform& ctm() const { return ctm_; }

  // Colour components 0 to 1, not premultiplied. Black and opaque at first.
  void setFillColor(float red, float green, float blue, float alpha);
  void setGrayFillColor(float gray, float alpha) { setFillColor(gray, gray, gray, alpha); }

  // Draws the image upright and stretched over the rectangle, filtered; a mask is filled with
  // the fill colour.
  void drawImage(Rect rect, const Image& image);
  // Fills with the fill colour through a coverage mask (`width` x `height` bytes, rows top
  // first) stretched over the rectangle. With `topDown`, the mask's first row lies at the
  // rectangle's smallest y, as text in a flipped context wants it; otherwise at its largest,
  // as images lie.
  void fillMask(Rect rect, const uint8_t* coverage, int width, int height, bool topDown);

 private:
  struct Source;
  struct PixelBox {
    int columnBegin, columnEnd, rowBegin, rowEnd;
  };
  // The pixels whose centres lie in the device box of a user-space rectangle.
  PixelBox pixelsUnder(Rect rect) const;
  void composite(Rect rect, const Source& source, bool topDown);
  // A source that lies pixel for pixel over the bitmap, copied without filtering.
  void copyPixels(const PixelBox& box, const Source& source, int firstColumn, int firstRow,
                  int rowStep);
  void blend(int column, int row, const uint8_t premultiplied[4]);

  uint8_t* data_;
  int width_, height_, bytesPerRow_;
  BitmapLayout layout_;
  AffineTransform ctm_;
  float fill_[4] = {0, 0, 0, 1};  // premultiplied
};

}  // namespace platform
