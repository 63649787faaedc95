// The focus is a button that says so; which buttons can take it is read from the view tree each
// time, so a menu that changes takes the focus along with it.
#include "platform/ui/focus.h"

#include <algorithm>
#include <vector>

#include "platform/ui/button.h"

namespace platform {

namespace {

bool isShowing(const View& view, float alpha = 1) {
  return !view.isHidden() && alpha * view.alpha() > 0.01f;
}

// Visible buttons that take touches, with the landscape point of their centres.
void collect(View& view, float alpha, std::vector<std::pair<Point, Button*>>& buttons) {
  if (!isShowing(view, alpha) || !view.isUserInteractionEnabled()) return;
  alpha *= view.alpha();
  if (auto* button = dynamic_cast<Button*>(&view)) {
    const Rect b = button->bounds();
    const Point centre = button->transformToRoot().apply(
        {b.origin.x + b.size.width / 2, b.origin.y + b.size.height / 2});
    buttons.push_back({{centre.y, Window::kScreenSize.width - centre.x}, button});
  }
  for (const auto& subview : view.subviews()) collect(*subview, alpha, buttons);
}

}  // namespace

std::vector<Button*> FocusRing::buttons(Window& window) {
  std::vector<std::pair<Point, Button*>> found;
  collect(window, 1, found);
  // Top to bottom, then left to right, as the player sees them.
  std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
    return a.first.y != b.first.y ? a.first.y < b.first.y : a.first.x < b.first.x;
  });
  std::vector<Button*> ordered;
  for (const auto& [centre, button] : found) ordered.push_back(button);
  return ordered;
}

void FocusRing::move(Window& window, int step) {
  const std::vector<Button*> ring = buttons(window);
  if (ring.empty()) return;
  const auto current = std::find_if(ring.begin(), ring.end(),
                                    [](const Button* button) { return button->isFocused(); });
  int next = 0;
  if (current != ring.end()) {
    (*current)->setFocused(false);
    const int count = static_cast<int>(ring.size());
    next = ((static_cast<int>(current - ring.begin()) + step) % count + count) % count;
  }
  ring[static_cast<size_t>(next)]->setFocused(true);
}

bool FocusRing::press(Window& window) {
  for (Button* button : buttons(window)) {
    if (button->isFocused()) {
      button->sendAction();
      return true;
    }
  }
  return false;
}

}  // namespace platform
