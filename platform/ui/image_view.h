// An image view: a picture stretched over its bounds. It takes no touches, so what lies under
// it gets them.
#pragma once

#include "platform/graphics/image.h"
#include "platform/screen/view.h"

namespace platform {

class ImageView : public View {
 public:
  explicit ImageView(ScaledImage image = {});
  const ScaledImage& image() const { return image_; }
  void setImage(ScaledImage image);

  bool drawsContents() const override { return static_cast<bool>(image_); }
  void drawContents(ViewCanvas& canvas) const override;

 private:
  ScaledImage image_;
};

}  // namespace platform
