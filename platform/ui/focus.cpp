// The focus is a control that says so; which controls can take it is read from the view tree
// each time, so a menu that changes takes the focus along with it.
#include "platform/ui/focus.h"

#include <algorithm>
#include <vector>

#include "platform/ui/control_view.h"

namespace platform {

namespace {

bool isShowing(const View& view, float alpha = 1) {
  return !view.isHidden() && alpha * view.alpha() > 0.01f;
}

// Visible controls that take touches and the focus, with the landscape point of their centres.
// A control's own subviews (a list's rows) are its own business.
void collect(View& view, float alpha, std::vector<std::pair<Point, ControlView*>>& controls) {
  if (!isShowing(view, alpha) || !view.isUserInteractionEnabled()) return;
  alpha *= view.alpha();
  if (auto* control = dynamic_cast<ControlView*>(&view)) {
    if (!control->takesFocus()) return;
    const Rect b = control->bounds();
    const Point centre = control->transformToRoot().apply(
        {b.origin.x + b.size.width / 2, b.origin.y + b.size.height / 2});
    controls.push_back({{centre.y, Window::kScreenSize.width - centre.x}, control});
    return;
  }
  for (const auto& subview : view.subviews()) collect(*subview, alpha, controls);
}

void focusOn(ControlView* control, int step) {
  control->setFocused(true);
  control->stepWithin(step, true);
}

}  // namespace

std::vector<ControlView*> FocusRing::controls(Window& window) {
  std::vector<std::pair<Point, ControlView*>> found;
  collect(window, 1, found);
  // Top to bottom, then left to right, as the player sees them.
  std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
    return a.first.y != b.first.y ? a.first.y < b.first.y : a.first.x < b.first.x;
  });
  std::vector<ControlView*> ordered;
  for (const auto& [centre, control] : found) ordered.push_back(control);
  return ordered;
}

ControlView* FocusRing::focused(Window& window) {
  for (ControlView* control : controls(window)) {
    if (control->isFocused()) return control;
  }
  return nullptr;
}

void FocusRing::move(Window& window, int step) {
  const std::vector<ControlView*> ring = controls(window);
  if (ring.empty()) return;
  const auto current = std::find_if(
      ring.begin(), ring.end(), [](const ControlView* control) { return control->isFocused(); });
  if (current == ring.end()) {
    focusOn(ring.front(), +1);
    return;
  }
  if ((*current)->stepWithin(step, false)) return;
  (*current)->setFocused(false);
  const int count = static_cast<int>(ring.size());
  const int next = ((static_cast<int>(current - ring.begin()) + step) % count + count) % count;
  focusOn(ring[static_cast<size_t>(next)], step);
}

bool FocusRing::press(Window& window) {
  ControlView* pressed = focused(window);
  if (!pressed) return false;
  pressed->pressFocus();
  const std::vector<ControlView*> ring = controls(window);
  if (!ring.empty() && std::find(ring.begin(), ring.end(), pressed) == ring.end()) {
    pressed->setFocused(false);
    if (!focused(window)) focusOn(ring.front(), +1);
  }
  return true;
}

void FocusRing::stepSideways(Window& window, int step) {
  if (ControlView* control = focused(window)) control->stepSideways(step);
}

}  // namespace platform
