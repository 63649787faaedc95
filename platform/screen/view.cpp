// View geometry, the view tree, layout and hit testing.
#include "platform/screen/view.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <limits>
#include <stdexcept>
#include <string>

#include <nlohmann/json.hpp>

#include "platform/core/run_loop.h"
#include "platform/screen/display.h"

namespace platform {
namespace {

uint64_t sScreenRevision = 0;
Window* sKeyWindow = nullptr;
long sLiveViews = 0;

}  // namespace

uint64_t Layer::screenRevision() {
  return sScreenRevision;
}
void Layer::screenChanged() {
  ++sScreenRevision;
}

void Layer::setBounds(Rect bounds) {
  if (bounds == bounds_) return;
  bounds_ = bounds;
  screenChanged();
}

void Layer::setContents(const LayerContents& contents) {
  contents_ = contents;
  screenChanged();
}

View::View() : View(std::make_unique<Layer>()) {}

View::View(std::unique_ptr<Layer> layer) : layer_(std::move(layer)) {
  ++sLiveViews;
}

long View::liveCount() {
  return sLiveViews;
}

View::~View() {
  --sLiveViews;
  TouchRouter::shared().forgetView(this);
  if (contentsTexture_ && Display::shared()) Renderer::shared().deleteTexture(contentsTexture_);
  for (auto& subview : subviews_) subview->superview_ = nullptr;
}

namespace {

// The number a description gives for a coordinate, within the bounds any file may use.
float coordinate(const Coder& number) {
  if (!number.is_number() || !(std::fabs(number.get<double>()) <= kMaxFileCoordinate)) {
    throw std::invalid_argument("a frame holds " + number.dump());
  }
  return number.get<float>();
}

// A tag is a number within int's range; a fraction is truncated, as it always was.
int tagNumber(const Coder& number) {
  if (!number.is_number() ||
      !(number.get<double>() >= INT_MIN && number.get<double>() <= INT_MAX)) {
    throw std::invalid_argument("the tag is " + number.dump());
  }
  return static_cast<int>(number.get<double>());
}

}  // namespace

bool View::decode(const Coder& coder) {
  if (!coder.is_object()) return false;
  try {
    if (auto frame = coder.find("frame"); frame != coder.end()) {
      const auto& f = *frame;
      if (!f.is_array() || f.size() != 4) return false;
      setFrame({{coordinate(f[0]), coordinate(f[1])}, {coordinate(f[2]), coordinate(f[3])}});
    }
    setHidden(coder.value("hidden", false));
    // Alpha is clamped to 0..1 as setAlpha clamps it, before it can overflow a float.
    setAlpha(static_cast<float>(std::clamp(coder.value("alpha", 1.0), 0.0, 1.0)));
    setTag(tagNumber(coder.value("tag", Coder(0))));
    // A property the description leaves out keeps the kind of view's own default (image views
    // and labels take no touches).
    setUserInteractionEnabled(coder.value("userInteractionEnabled", userInteractionEnabled_));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tidewick: a view's description is malformed: %s\n", e.what());
    return false;
  }
  return true;
}

void View::setBounds(Rect bounds) {
  if (bounds.size != layer_->bounds().size) setNeedsLayout();
  layer_->setBounds(bounds);
}

View* View::viewWithTag(int tag) {
  if (tag_ == tag) return this;
  for (auto& subview : subviews_) {
    if (View* found = subview->viewWithTag(tag)) return found;
  }
  return nullptr;
}

void View::scrollWheel(float lines) {
  if (superview_) superview_->scrollWheel(lines);
}

void View::setNeedsDisplay() {
  needsDisplay_ = true;
  Layer::screenChanged();
}

void View::setCenter(Point center) {
  if (center == center_) return;
  center_ = center;
  Layer::screenChanged();
}

void View::setTransform(const AffineTransform& transform) {
  if (transform == transform_) return;
  transform_ = transform;
  Layer::screenChanged();
}

Rect View::frame() const {
  const Size size = bounds().size;
  return {{center_.x - size.width / 2, center_.y - size.height / 2}, size};
}

void View::setFrame(Rect frame) {
  setBounds({bounds().origin, frame.size});
  setCenter({frame.origin.x + frame.size.width / 2, frame.origin.y + frame.size.height / 2});
}

void View::setHidden(bool hidden) {
  if (hidden == hidden_) return;
  hidden_ = hidden;
  Layer::screenChanged();
}

float View::alpha() const {
  if (!alphaRamp_ || !RunLoop::exists()) return alpha_;
  const AlphaRamp& ramp = *alphaRamp_;
  const double done =
      ramp.duration > 0 ? (RunLoop::current().now() - ramp.start) / ramp.duration : 1;
  return ramp.from + (ramp.to - ramp.from) * static_cast<float>(std::clamp(done, 0.0, 1.0));
}

void View::setAlpha(float alpha) {
  alpha = std::clamp(alpha, 0.0f, 1.0f);
  const bool animating = alphaRamp_.has_value();
  alphaRamp_.reset();
  if (alpha == alpha_ && !animating) return;
  alpha_ = alpha;
  Layer::screenChanged();
}

void View::addSubview(std::shared_ptr<View> view) {
  if (!view || view.get() == this) return;
  view->removeFromSuperview();
  view->superview_ = this;
  subviews_.push_back(std::move(view));
  Layer::screenChanged();
}

void View::removeFromSuperview() {
  if (!superview_) return;
  View* parent = superview_;
  superview_ = nullptr;
  // The erased pointer may be the last owner of this view: nothing of it is touched afterwards.
  std::erase_if(parent->subviews_, [this](auto& v) { return v.get() == this; });
  Layer::screenChanged();
}

void View::setNeedsLayoutEverywhere() {
  needsLayout_ = true;
  for (auto& subview : subviews_) subview->setNeedsLayoutEverywhere();
}

void View::layoutIfNeeded() {
  if (needsLayout_) {
    needsLayout_ = false;
    layoutSubviews();
  }
  for (auto& subview : subviews_) subview->layoutIfNeeded();
}

AffineTransform View::transformToRoot() const {
  // A bounds point goes to the superview as centre + transform · (point − bounds centre).
  const Rect b = bounds();
  AffineTransform t = AffineTransform::translation(-(b.origin.x + b.size.width / 2),
                                                   -(b.origin.y + b.size.height / 2))
                          .concat(transform_)
                          .concat(AffineTransform::translation(center_.x, center_.y));
  return superview_ ? t.concat(superview_->transformToRoot()) : t;
}

bool View::isTouchable() const {
  return !hidden_ && alpha_ >= 0.01f && userInteractionEnabled_;
}

View* View::hitTest(Point rootPoint) {
  if (!isTouchable()) return nullptr;
  // Later subviews lie on top.
  for (auto it = subviews_.rbegin(); it != subviews_.rend(); ++it) {
    if (View* hit = (*it)->hitTest(rootPoint)) return hit;
  }
  const Point local = transformToRoot().inverted().apply(rootPoint);
  return bounds().contains(local) ? this : nullptr;
}

View* View::touchedView(Point rootPoint, float reach) {
  View* hit = hitTest(rootPoint);
  if (reach <= 0 || (hit && hit->isControl())) return hit;
  View* control = nullptr;
  float nearest = std::numeric_limits<float>::infinity();
  nearestControl(rootPoint, reach, control, nearest);
  return control ? control : hit;
}

void View::nearestControl(Point rootPoint, float reach, View*& found, float& nearest) {
  if (!isTouchable()) return;
  if (isControl()) {
    const Point p = transformToRoot().inverted().apply(rootPoint);
    const Rect b = bounds();
    // How far the point lies outside the bounds, on each axis.
    const float dx = std::max({b.origin.x - p.x, p.x - (b.origin.x + b.size.width), 0.0f});
    const float dy = std::max({b.origin.y - p.y, p.y - (b.origin.y + b.size.height), 0.0f});
    const bool withinReach = 2 * dx <= std::max(reach - b.size.width, 0.0f) &&
                             2 * dy <= std::max(reach - b.size.height, 0.0f);
    const float distance = std::hypot(dx, dy);
    if (withinReach && distance <= nearest) {
      found = this;
      nearest = distance;
    }
  }
  for (const auto& subview : subviews_) subview->nearestControl(rootPoint, reach, found, nearest);
}

Window::Window() {
  setFrame({{0, 0}, kScreenSize});
}

Window::~Window() {
  if (sKeyWindow == this) sKeyWindow = nullptr;
}

void Window::makeKeyAndVisible() {
  sKeyWindow = this;
  Layer::screenChanged();
}

Window* Window::keyWindow() {
  return sKeyWindow;
}

}  // namespace platform
