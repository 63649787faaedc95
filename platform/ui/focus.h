// Keyboard and game-pad focus among the controls on screen: moving it steps through the visible
// buttons, sliders and lists from the top of the screen down (a list row by row), pressing it
// presses what it is on, and a sideways step moves a slider.
#pragma once

#include <vector>

#include "platform/screen/view.h"

namespace platform {

class ControlView;

class FocusRing {
 public:
  // The controls the focus steps through, top to bottom, then left to right.
  static std::vector<ControlView*> controls(Window& window);
  // The control on screen the focus is on; null when there is none.
  static ControlView* focused(Window& window);
  // Steps forward (+1) or back (-1): within the focused control while it takes the step (a
  // list's rows), else to the next visible control, wrapping round.
  static void move(Window& window, int step);
  // Presses the focused control if it is still on screen; false when there is none. When the
  // press puts it away (a menu left for another), the focus goes to the first control of what
  // shows now.
  static bool press(Window& window);
  // Left (-1) or Right (+1) for the focused control.
  static void stepSideways(Window& window, int step);
};

}  // namespace platform
