// What the keyboard's and a game pad's focus can stand on: a button, a slider, a list. The
// focus ring steps through the controls on screen; each shows the focus its own way and says
// what a press, a sideways step or a step within it does.
#pragma once

#include "platform/graphics/color.h"
#include "platform/screen/view.h"

namespace platform {

// The accent the focus is shown in: a focused button's title, a slider's ring, a list's row.
inline constexpr Color kFocusColor = {0.91f, 0.333f, 0.231f, 1};

class ControlView : public View {
 public:
  bool isControl() const final { return true; }
  bool isFocused() const { return focused_; }
  void setFocused(bool focused);
  // Whether the ring stops here (the in-game buttons, worked by the pause key, are passed by).
  bool takesFocus() const { return takesFocus_; }
  void setTakesFocus(bool takes) { takesFocus_ = takes; }

  // Enter or A on the focus.
  virtual void pressFocus() {}
  // Left (-1) or Right (+1) on the focus; nothing for a control without sideways steps.
  virtual void stepSideways(int) {}
  // Up (-1) or Down (+1) on the focus, or the focus arriving by such a step (`arriving`): true
  // when the step stays within the control (a list's rows), false when the focus moves on.
  virtual bool stepWithin(int, bool) { return false; }
  // The steps it keeps of its own: a slider's value sideways, a list's rows up and down. Left
  // and Right go to a control with sideways steps instead of steering the crab, and a held
  // direction repeats on a control with steps.
  enum class Steps { None, Sideways, UpDown };
  virtual Steps steps() const { return Steps::None; }

 protected:
  // How the control shows a change of focus; by default it draws itself again.
  virtual void focusChanged() { setNeedsDisplay(); }

 private:
  bool focused_ = false;
  bool takesFocus_ = true;
};

}  // namespace platform
