// Image views.
#include "platform/ui/image_view.h"

#include "platform/graphics/view_canvas.h"

namespace platform {

ImageView::ImageView(std::shared_ptr<Image> image) : image_(std::move(image)) {
  setUserInteractionEnabled(false);
}

void ImageView::setImage(std::shared_ptr<Image> image) {
  image_ = std::move(image);
  setNeedsDisplay();
}

void ImageView::drawContents(ViewCanvas& canvas) const {
  canvas.drawImage(*image_, {{0, 0}, canvas.size()});
}

}  // namespace platform
