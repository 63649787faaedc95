// Keyboard and game-pad focus among the buttons on screen: moving it steps through the visible
// buttons from the top of the screen down, pressing it presses the button it is on.
#pragma once

#include <vector>

#include "platform/screen/view.h"

namespace platform {

class Button;

class FocusRing {
 public:
  // The buttons the focus steps through, top to bottom, then left to right.
  static std::vector<Button*> buttons(Window& window);
  // Steps forward (+1) or back (-1) through the visible buttons of the window, wrapping round.
  static void move(Window& window, int step);
  // Presses the focused button if it is still on screen; false when there is none.
  static bool press(Window& window);
};

}  // namespace platform
