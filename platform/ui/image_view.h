// An image view: a picture stretched over its bounds. It takes no touches, so what lies under
// it gets them.
#pragma once

#include <memory>

#include "platform/graphics/image.h"
#include "platform/screen/view.h"

namespace platform {

class ImageView : public View {
 public:
  explicit ImageView(std::shared_ptr<Image> image = nullptr);
  const std::shared_ptr<Image>& image() const { return image_; }
  void setImage(std::shared_ptr<Image> image);

  bool drawsContents() const override { return image_ != nullptr; }
  void drawContents(ViewCanvas& canvas) const override;

 private:
  std::shared_ptr<Image> image_;
};

}  // namespace platform
