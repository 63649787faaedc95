// Routing of touches to views, with the locations each touch had at its last two events.
#include "platform/screen/touch.h"

#include "platform/core/run_loop.h"
#include "platform/screen/view.h"

namespace platform {
namespace {

Point toView(const View* view, Point windowPoint) {
  return view ? view->transformToRoot().inverted().apply(windowPoint) : windowPoint;
}

}  // namespace

Point Touch::locationInView(const View* view) const {
  return toView(view, location_);
}

Point Touch::previousLocationInView(const View* view) const {
  return toView(view, previous_);
}

bool Touch::isInside(const View& view) const {
  const Rect b = view.bounds();
  const Point p = locationInView(&view);
  return p.x >= b.origin.x - kTouchInsideMargin &&
         p.x <= b.origin.x + b.size.width + kTouchInsideMargin &&
         p.y >= b.origin.y - kTouchInsideMargin &&
         p.y <= b.origin.y + b.size.height + kTouchInsideMargin;
}

TouchRouter& TouchRouter::shared() {
  static TouchRouter router;
  return router;
}

void TouchRouter::forgetView(View* view) {
  std::erase_if(touches_, [view](auto& entry) { return entry.second->view_ == view; });
}

void TouchRouter::deliver(long id, TouchPhase phase, Point location, std::optional<Point> previous,
                          float reach) {
  const double now = RunLoop::exists() ? RunLoop::current().now() : 0;
  if (phase == TouchPhase::Began) {
    Window* window = Window::keyWindow();
    View* view = window ? window->touchedView(location, reach) : nullptr;
    if (!view) {
      touches_.erase(id);
      return;
    }
    auto touch = std::make_unique<Touch>();
    touch->view_ = view;
    touch->location_ = location;
    touch->previous_ = previous.value_or(location);
    touch->timestamp_ = now;
    touches_[id] = std::move(touch);
  } else {
    auto found = touches_.find(id);
    if (found == touches_.end()) return;
    Touch& touch = *found->second;
    // A touch that ends where it last moved to (a mouse button let go after the motion, a
    // finger lifted where it stopped) keeps that last movement as its own, so a swipe ends
    // with the swipe's direction, not with a standstill.
    const bool endsInPlace = phase == TouchPhase::Ended && location == touch.location_;
    if (!(endsInPlace && !previous)) touch.previous_ = previous.value_or(touch.location_);
    touch.location_ = location;
    touch.timestamp_ = now;
  }

  Touch* touch = touches_[id].get();
  touch->phase_ = phase;
  const TouchSet touches{touch};
  const Event event{now};
  View* view = touch->view_;
  switch (phase) {
    case TouchPhase::Began:
      view->touchesBegan(touches, event);
      break;
    case TouchPhase::Moved:
      view->touchesMoved(touches, event);
      break;
    case TouchPhase::Ended:
      view->touchesEnded(touches, event);
      break;
    case TouchPhase::Cancelled:
      view->touchesCancelled(touches, event);
      break;
  }
  if (phase == TouchPhase::Ended || phase == TouchPhase::Cancelled) touches_.erase(id);
}

}  // namespace platform
