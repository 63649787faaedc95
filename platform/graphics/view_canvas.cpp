// Two contexts over the one picture: one whose user space runs up from the bottom, where images
// lie upright, and one flipped, where text is set from the top.
#include "platform/graphics/view_canvas.h"

#include <cmath>

namespace platform {
namespace {

BitmapContext contextOver(Picture& picture, Size size, float scale) {
  picture.width = std::max(1, static_cast<int>(std::ceil(size.width * scale)));
  picture.height = std::max(1, static_cast<int>(std::ceil(size.height * scale)));
  picture.rgba.assign(static_cast<size_t>(picture.width) * picture.height * 4, 0);
  return BitmapContext(picture.rgba.data(), picture.width, picture.height, picture.width * 4,
                       BitmapLayout::RGBAPremultipliedLast);
}

}  // namespace

ViewCanvas::ViewCanvas(Picture& picture, Size bounds, float scale)
    : size_(bounds),
      scale_(scale),
      upright_(contextOver(picture, bounds, scale)),
      flipped_(picture.rgba.data(), picture.width, picture.height, picture.width * 4,
               BitmapLayout::RGBAPremultipliedLast) {
  upright_.scaleCTM(scale, scale);
  flipped_.translateCTM(0, static_cast<float>(picture.height));
  flipped_.scaleCTM(1, -1);
}

void ViewCanvas::drawImage(const Image& image, Rect rect) {
  upright_.drawImage({{rect.origin.x, size_.height - rect.origin.y - rect.size.height}, rect.size},
                     image);
}

Rect ViewCanvas::pixels(Rect rect) const {
  return {{rect.origin.x * scale_, rect.origin.y * scale_},
          {rect.size.width * scale_, rect.size.height * scale_}};
}

void ViewCanvas::fill(Rect rect, Color color) {
  const uint8_t full = 255;
  flipped_.setFillColor(color.red, color.green, color.blue, color.alpha);
  flipped_.fillMask(pixels(rect), &full, 1, 1, true);
}

void ViewCanvas::drawText(std::string_view text, Rect rect, const std::string& fontName,
                          float fontSize, TextAlignment alignment, Color color) {
  const std::shared_ptr<Font> font = Font::fontWithName(fontName, fontSize * scale_);
  if (!font) return;
  flipped_.setFillColor(color.red, color.green, color.blue, color.alpha);
  drawString(flipped_, text, pixels(rect), *font, alignment);
}

}  // namespace platform
