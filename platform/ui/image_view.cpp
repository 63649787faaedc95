// Image views.
#include "platform/ui/image_view.h"

#include "platform/graphics/view_canvas.h"

namespace platform {

ImageView::ImageView(ScaledImage image) : image_(std::move(image)) {
  setUserInteractionEnabled(false);
}

void ImageView::setImage(ScaledImage image) {
  image_ = std::move(image);
  setNeedsDisplay();
}

void ImageView::drawContents(ViewCanvas& canvas) const {
  if (const auto image = image_.at(canvas.scale()))
    canvas.drawImage(*image, {{0, 0}, canvas.size()});
}

}  // namespace platform
