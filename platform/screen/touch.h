// Touches: fingers and the mouse button on the window, routed to the view they began on.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "platform/core/geometry.h"

namespace platform {

class View;

enum class TouchPhase { Began, Moved, Ended, Cancelled };

// Controls take a touch that ends this far beyond their bounds as ending inside, as the phone's
// controls did: a finger lifted a little off a button or a slider still lands on it.
inline constexpr float kTouchInsideMargin = 70;

class Touch {
 public:
  // In window (portrait) coordinates when `view` is null, else in the view's bounds.
  Point locationInView(const View* view) const;
  // Where the touch was at its previous event.
  Point previousLocationInView(const View* view) const;
  // Within the view's bounds grown by the touch-inside margin on every side.
  bool isInside(const View& view) const;
  TouchPhase phase() const { return phase_; }
  View* view() const { return view_; }
  double timestamp() const { return timestamp_; }

 private:
  friend class TouchRouter;
  Point location_, previous_;
  TouchPhase phase_ = TouchPhase::Began;
  View* view_ = nullptr;
  double timestamp_ = 0;
};

// The touches of one event; the first is the one `anyObject` picks.
using TouchSet = std::vector<Touch*>;

struct Event {
  double timestamp = 0;
};

// Follows each touch from the view it began on to its end.
class TouchRouter {
 public:
  static TouchRouter& shared();

  // One phase of touch `id` at a window point. `previous` overrides the remembered previous
  // location (injected touches say it; devices do not). A touch that did not begin is ignored.
  // A fingertip `reach` points across begins on the view View::touchedView names.
  void deliver(long id, TouchPhase phase, Point location, std::optional<Point> previous = {},
               float reach = 0);
  // Forgets the touches in flight, ending nothing (a new window or a test's fresh start).
  void reset() { touches_.clear(); }
  // A view going away takes its touches with it.
  void forgetView(View* view);

 private:
  std::map<long, std::unique_ptr<Touch>> touches_;
};

}  // namespace platform
