// Sliders: the value follows the finger along the track, between the thumb's half widths at
// either end.
#include "platform/ui/slider.h"

#include <algorithm>
#include <cmath>

#include "platform/graphics/view_canvas.h"

namespace platform {

namespace {

// Steps a key or pad button makes across the whole range.
constexpr int kSteps = 10;

// The image in three parts: the left cap, one column from the stretched point, the rest. At
// every density the cap and the rest keep their widths in points.
void drawStretched(ViewCanvas& canvas, const StretchableImage& stretchable, Rect rect) {
  const auto picture = stretchable.image.at(canvas.scale());
  if (!picture) return;
  const Image& image = *picture;
  const float density = image.scale();
  const int point = std::max(1, static_cast<int>(std::lround(density)));
  const int left = std::clamp(static_cast<int>(std::lround(stretchable.leftCap * density)), 0,
                              image.width() - 1);
  const int right = std::max(0, image.width() - left - point);
  const float leftWidth = std::min(left / density, rect.size.width);
  const float rightWidth = std::min(right / density, rect.size.width - leftWidth);
  const float middle = rect.size.width - leftWidth - rightWidth;
  const float y = rect.origin.y, height = rect.size.height;
  if (auto part = image.cropped(0, 0, left, image.height()); part && leftWidth > 0) {
    canvas.drawImage(*part, {{rect.origin.x, y}, {leftWidth, height}});
  }
  if (auto part = image.cropped(left + point / 2, 0, 1, image.height()); part && middle > 0) {
    canvas.drawImage(*part, {{rect.origin.x + leftWidth, y}, {middle, height}});
  }
  if (auto part = image.cropped(left + point, 0, right, image.height()); part && rightWidth > 0) {
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

void Slider::setThumbImage(ScaledImage image) {
  thumb_ = std::move(image);
  setNeedsDisplay();
}

void Slider::setFocusedThumbImage(ScaledImage image) {
  focusedThumb_ = std::move(image);
  setNeedsDisplay();
}

float Slider::thumbHalfWidth() const {
  return thumb_.size().width / 2;
}

void Slider::drawContents(ViewCanvas& canvas) const {
  const Size size = canvas.size();
  const float half = thumbHalfWidth();
  const float span = std::max(0.0f, size.width - 2 * half);
  const float share = maximum_ > minimum_ ? (value_ - minimum_) / (maximum_ - minimum_) : 0;
  const float thumbX = half + span * share;
  const auto track = [&](const StretchableImage& image, float from, float to) {
    if (!image.image || to <= from) return;
    const float height = image.image.size().height;
    drawStretched(canvas, image, {{from, (size.height - height) / 2}, {to - from, height}});
  };
  track(minimumTrack_, half, thumbX);
  track(maximumTrack_, thumbX, size.width - half);
  const ScaledImage& shown = isFocused() && focusedThumb_ ? focusedThumb_ : thumb_;
  if (const auto picture = shown.at(canvas.scale())) {
    const Size thumb = shown.size();
    canvas.drawImage(*picture,
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

void Slider::stepSideways(int step) {
  const float range = maximum_ - minimum_;
  if (range <= 0 || step == 0) return;
  // Tenths counted from the minimum; a hair's tolerance keeps a value stored as a tenth on it.
  const float tenths = (value_ - minimum_) / range * kSteps;
  const float tolerance = 1e-3f;
  const float target =
      step > 0 ? std::floor(tenths + tolerance) + 1 : std::ceil(tenths - tolerance) - 1;
  const float before = value_;
  setValue(minimum_ + range * std::clamp(target, 0.0f, static_cast<float>(kSteps)) / kSteps);
  if (value_ == before) return;
  if (valueChanged_) valueChanged_(*this);
  if (stepped_) stepped_(*this);
}

}  // namespace platform
