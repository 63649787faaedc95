// Buttons: the pressed look, and the action on a touch up inside.
#include "platform/ui/button.h"

#include "platform/graphics/font.h"
#include "platform/graphics/view_canvas.h"

namespace platform {

namespace {

constexpr float kPressedInset = 2;  // points the picture shrinks by on each side when pressed

}  // namespace

void Button::setImage(ScaledImage image) {
  image_ = std::move(image);
  setNeedsDisplay();
}

void Button::setTitle(std::string title) {
  title_ = std::move(title);
  setNeedsDisplay();
}

void Button::setTitleFont(std::string name, float size) {
  fontName_ = std::move(name);
  fontSize_ = size;
  setNeedsDisplay();
}

void Button::setTitleColor(Color color) {
  titleColor_ = color;
  setNeedsDisplay();
}

void Button::sendAction() {
  if (action_) action_(*this);
}

void Button::setHighlighted(bool highlighted) {
  if (highlighted == highlighted_) return;
  highlighted_ = highlighted;
  setNeedsDisplay();
}

bool Button::isInside(const TouchSet& touches) const {
  return !touches.empty() && touches.front()->isInside(*this);
}

void Button::touchesBegan(const TouchSet&, const Event&) {
  setHighlighted(true);
}

void Button::touchesMoved(const TouchSet& touches, const Event&) {
  setHighlighted(isInside(touches));
}

void Button::touchesEnded(const TouchSet& touches, const Event&) {
  setHighlighted(false);
  if (isInside(touches)) sendAction();
}

void Button::touchesCancelled(const TouchSet&, const Event&) {
  setHighlighted(false);
}

void Button::drawContents(ViewCanvas& canvas) const {
  Rect box{{0, 0}, canvas.size()};
  if (highlighted_) {
    box = {{kPressedInset, kPressedInset},
           {box.size.width - 2 * kPressedInset, box.size.height - 2 * kPressedInset}};
  }
  if (const auto image = image_.at(canvas.scale())) canvas.drawImage(*image, box);
  if (title_.empty()) return;
  const std::shared_ptr<Font> font = Font::fontWithName(fontName_, fontSize_);
  if (!font) return;
  const float height = font->lineHeight();
  canvas.drawText(title_, {{0, (canvas.size().height - height) / 2}, {canvas.size().width, height}},
                  fontName_, fontSize_, TextAlignment::Center,
                  isFocused() ? kFocusColor : titleColor_);
}

}  // namespace platform
