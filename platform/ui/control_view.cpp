// Controls: the focus flag every control shares.
#include "platform/ui/control_view.h"

namespace platform {

void ControlView::setFocused(bool focused) {
  if (focused == focused_) return;
  focused_ = focused;
  focusChanged();
}

}  // namespace platform
