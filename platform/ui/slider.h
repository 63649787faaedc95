// A slider: a thumb on a track, the track's two parts (left of the thumb and right of it) drawn
// from stretchable images. Dragging moves the value continuously; letting go on it sends the
// touch-up-inside action.
#pragma once

#include <functional>
#include <memory>

#include "platform/graphics/image.h"
#include "platform/screen/view.h"

namespace platform {

// An image stretched sideways: `leftCap` points kept at the left, the rest of the image kept at
// the right, the one column between them stretched.
struct StretchableImage {
  std::shared_ptr<Image> image;
  int leftCap = 0;
};

class Slider : public View {
 public:
  float value() const { return value_; }
  void setValue(float value);
  void setRange(float minimum, float maximum);
  void setContinuous(bool continuous) { continuous_ = continuous; }
  void setMinimumTrackImage(StretchableImage image);
  void setMaximumTrackImage(StretchableImage image);
  void setThumbImage(std::shared_ptr<Image> image);
  void setValueChanged(std::function<void(Slider&)> action) { valueChanged_ = std::move(action); }
  void setTouchUpInside(std::function<void(Slider&)> action) { touchUpInside_ = std::move(action); }

  bool drawsContents() const override { return true; }
  void drawContents(ViewCanvas& canvas) const override;

  void touchesBegan(const TouchSet& touches, const Event& event) override;
  void touchesMoved(const TouchSet& touches, const Event& event) override;
  void touchesEnded(const TouchSet& touches, const Event& event) override;

 private:
  float thumbHalfWidth() const;
  void follow(const TouchSet& touches);

  float value_ = 0, minimum_ = 0, maximum_ = 1;
  bool continuous_ = true;
  StretchableImage minimumTrack_, maximumTrack_;
  std::shared_ptr<Image> thumb_;
  std::function<void(Slider&)> valueChanged_, touchUpInside_;
};

}  // namespace platform
