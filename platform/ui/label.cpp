// Labels: every change of what they show redraws them.
#include "platform/ui/label.h"

#include <algorithm>

#include "platform/graphics/font.h"
#include "platform/graphics/view_canvas.h"

namespace platform {

void Label::setText(std::string text) {
  if (text == text_) return;
  text_ = std::move(text);
  setNeedsDisplay();
}

void Label::setFont(std::string name, float size) {
  fontName_ = std::move(name);
  fontSize_ = size;
  setNeedsDisplay();
}

void Label::setTextColor(Color color) {
  textColor_ = color;
  setNeedsDisplay();
}

void Label::setTextAlignment(TextAlignment alignment) {
  alignment_ = alignment;
  setNeedsDisplay();
}

void Label::setNumberOfLines(int lines) {
  lines_ = lines;
  setNeedsDisplay();
}

void Label::setAdjustsFontSizeToFitWidth(bool adjusts) {
  adjustsToFit_ = adjusts;
  setNeedsDisplay();
}

void Label::setHighlightedTextColor(Color color) {
  highlightedColor_ = color;
  setNeedsDisplay();
}

void Label::setHighlighted(bool highlighted) {
  if (highlighted == highlighted_) return;
  highlighted_ = highlighted;
  setNeedsDisplay();
}

void Label::drawContents(ViewCanvas& canvas) const {
  const Size size = canvas.size();
  float fontSize = fontSize_;
  std::shared_ptr<Font> font = Font::fontWithName(fontName_, fontSize);
  // Shrinks a point at a time, down to half the size, until one line fits.
  while (adjustsToFit_ && font && fontSize > fontSize_ / 2 &&
         font->widthOfString(text_) > size.width) {
    fontSize -= 1;
    font = Font::fontWithName(fontName_, fontSize);
  }
  if (!font) return;
  int lines = static_cast<int>(wrapLines(decodeUtf8(text_), *font, size.width).size());
  if (lines_ > 0) lines = std::min(lines, lines_);
  const float height = static_cast<float>(lines) * font->lineHeight();
  canvas.drawText(text_, {{0, (size.height - height) / 2}, {size.width, height}}, fontName_,
                  fontSize, alignment_, highlighted_ ? highlightedColor_ : textColor_);
}

}  // namespace platform
