// A slider: a thumb on a track, the track's two parts (left of the thumb and right of it) drawn
// from stretchable images. Dragging moves the value continuously; letting go on it sends the
// touch-up-inside action. With the focus on it, Left and Right step it by a tenth of its range.
#pragma once

#include <functional>

#include "platform/graphics/image.h"
#include "platform/ui/control_view.h"

namespace platform {

// An image stretched sideways: `leftCap` points kept at the left, the rest of the image kept at
// the right, the one point of columns between them stretched.
struct StretchableImage {
  ScaledImage image;
  int leftCap = 0;
};

class Slider : public ControlView {
 public:
  float value() const { return value_; }
  void setValue(float value);
  void setRange(float minimum, float maximum);
  void setContinuous(bool continuous) { continuous_ = continuous; }
  void setMinimumTrackImage(StretchableImage image);
  void setMaximumTrackImage(StretchableImage image);
  void setThumbImage(ScaledImage image);
  // The thumb while the focus is on the slider (the plain thumb when there is none).
  void setFocusedThumbImage(ScaledImage image);
  void setValueChanged(std::function<void(Slider&)> action) { valueChanged_ = std::move(action); }
  void setTouchUpInside(std::function<void(Slider&)> action) { touchUpInside_ = std::move(action); }
  // Sent after each step of the keys or the pad, once the value has changed.
  void setStepped(std::function<void(Slider&)> action) { stepped_ = std::move(action); }

  bool drawsContents() const override { return true; }
  void drawContents(ViewCanvas& canvas) const override;

  void touchesBegan(const TouchSet& touches, const Event& event) override;
  void touchesMoved(const TouchSet& touches, const Event& event) override;
  void touchesEnded(const TouchSet& touches, const Event& event) override;

  // To the next tenth of the range that way: a value between tenths goes to the nearer one on
  // that side.
  void stepSideways(int step) override;
  Steps steps() const override { return Steps::Sideways; }

 private:
  float thumbHalfWidth() const;
  void follow(const TouchSet& touches);

  float value_ = 0, minimum_ = 0, maximum_ = 1;
  bool continuous_ = true;
  StretchableImage minimumTrack_, maximumTrack_;
  ScaledImage thumb_, focusedThumb_;
  std::function<void(Slider&)> valueChanged_, touchUpInside_, stepped_;
};

}  // namespace platform
