// Sliders: the value follows the finger along the track, between the thumb's half widths at
// either end.
#include "platform/ui/slider.h"

#include <algorithm>

#include "platform/graphics/view_canvas.h"

namespace platform {

namespace {

// The image in three parts: the left cap, the stretched column, the rest.
void drawStretched(ViewCanvas& canvas, const StretchableImage& stretchable, Rect rect) {
  const Image& image = *stretchable.image;
  const int left = std::clamp(stretchable.leftCap, 0, image.width() - 1);
  const int right = image.width() - left - 1;
  const float leftWidth = std::min(static_cast<float>(left), rect.size.width);
  const float rightWidth = std::min(static_cast<float>(right), rect.size.width - leftWidth);
  const float middle = rect.size.width - leftWidth - rightWidth;
  const float y = rect.origin.y, height = rect.size.height;
  if (auto part = image.cropped(0, 0, left, image.height()); part && leftWidth > 0) {
    canvas.drawImage(*part, {{rect.origin.x, y}, {leftWidth, height}});
  }
  if (auto part = image.cropped(left, 0, 1, image.height()); part && middle > 0) {
    canvas.drawImage(*part, {{rect.origin.x + leftWidth, y}, {middle, height}});
  }
  if (auto part = image.cropped(left + 1, 0, right, image.height()); part && rightWidth > 0) {
    canvas.drawImage(*part, {{rect.origin.x + leftWidth + middle, y}, {rightWidth, height}});
  }
}

}  // namespace

void Slider::setValue(float value) {
  value = std::clamp(value, minimum_, maximum_);
  if (value == value_) return;
  value_ = value;
  setNeedsDisplay();
}

void Slider::setRange(float minimum, float maximum) {
  minimum_ = minimum;
  maximum_ = std::max(minimum, maximum);
  setValue(value_);
}

void Slider::setMinimumTrackImage(StretchableImage image) {
  minimumTrack_ = std::move(image);
  setNeedsDisplay();
}

void Slider::setMaximumTrackImage(StretchableImage image) {
  maximumTrack_ = std::move(image);
  setNeedsDisplay();
}

void Slider::setThumbImage(std::shared_ptr<Image> image) {
  thumb_ = std::move(image);
  setNeedsDisplay();
}

float Slider::thumbHalfWidth() const {
  return thumb_ ? thumb_->width() / 2.0f : 0;
}

void Slider::drawContents(ViewCanvas& canvas) const {
  const Size size = canvas.size();
  const float half = thumbHalfWidth();
  const float span = std::max(0.0f, size.width - 2 * half);
  const float share = maximum_ > minimum_ ? (value_ - minimum_) / (maximum_ - minimum_) : 0;
  const float thumbX = half + span * share;
  const auto track = [&](const StretchableImage& image, float from, float to) {
    if (!image.image || to <= from) return;
    const float height = static_cast<float>(image.image->height());
    drawStretched(canvas, image, {{from, (size.height - height) / 2}, {to - from, height}});
  };
  track(minimumTrack_, half, thumbX);
  track(maximumTrack_, thumbX, size.width - half);
  if (thumb_) {
    const Size thumb{static_cast<float>(thumb_->width()), static_cast<float>(thumb_->height())};
    canvas.drawImage(*thumb_,
                     {{thumbX - thumb.width / 2, (size.height - thumb.height) / 2}, thumb});
  }
}

void Slider::follow(const TouchSet& touches) {
  if (touches.empty()) return;
  const float half = thumbHalfWidth();
  const float span = bounds().size.width - 2 * half;
  if (span <= 0) return;
  const float x = touches.front()->locationInView(this).x - bounds().origin.x;
  const float before = value_;
  setValue(minimum_ + (maximum_ - minimum_) * std::clamp((x - half) / span, 0.0f, 1.0f));
  if (value_ != before && continuous_ && valueChanged_) valueChanged_(*this);
}

void Slider::touchesBegan(const TouchSet& touches, const Event&) {
  follow(touches);
}
void Slider::touchesMoved(const TouchSet& touches, const Event&) {
  follow(touches);
}

void Slider::touchesEnded(const TouchSet& touches, const Event&) {
  follow(touches);
  if (!continuous_ && valueChanged_) valueChanged_(*this);
  if (!touches.empty() && touches.front()->isInside(*this) && touchUpInside_) {
    touchUpInside_(*this);
  }
}

}  // namespace platform
