// What a view draws its contents on: a picture of its bounds at the screen's scale, in the
// view's own coordinates (origin at the bounds' top-left, y down, one unit a point).
#pragma once

#include <string>
#include <string_view>

#include "platform/graphics/bitmap.h"
#include "platform/graphics/color.h"
#include "platform/graphics/font.h"
#include "platform/graphics/picture.h"
#include "platform/graphics/text.h"

namespace platform {

class ViewCanvas {
 public:
  // Clears `picture` to the bounds' size at `scale` pixels a point, fully transparent.
  ViewCanvas(Picture& picture, Size bounds, float scale);

  Size size() const { return size_; }
  // Pixels a point: the density pictures are chosen for.
  float scale() const { return scale_; }
  void drawImage(const Image& image, Rect rect);
  void fill(Rect rect, Color color);
  // Text on lines from the rectangle's top, wrapped to its width and aligned; set at the
  // canvas's scale, so it stays sharp.
  void drawText(std::string_view text, Rect rect, const std::string& fontName, float fontSize,
                TextAlignment alignment, Color color);

 private:
  Rect pixels(Rect rect) const;

  Size size_;
  float scale_;
  // Images lie with their first row at the top of a y-up space; text is set in a y-down one.
  BitmapContext upright_, flipped_;
};

}  // namespace platform
