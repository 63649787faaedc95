// One small line under the tutorial's instructions, the pause and the game-over screen saying
// what the step means on the device the player used last: the keys bound to it on a keyboard,
// the mouse, a game pad, a touch screen. On a touch screen the tutorial's own pictures show
// tilting and throwing, so the line speaks only of steering on a device that does not tilt, the
// double tap that resumes and the tap that goes on.
// It changes as soon as the player picks up another device.
#include <cctype>

#include "app/saltmere_app_delegate.h"
#include "platform/input/accelerometer.h"
#include "platform/input/controls.h"
#include "platform/input/input_device.h"
#include "platform/screen/display.h"

namespace {

constexpr float kHintSize = 14;
constexpr platform::Size kHintBox = {480, 24};
// Landscape centres: under the tutorial's instruction and the pause, below the game-over block.
constexpr platform::Point kHintUnderText = {240, 207}, kHintBelowBlock = {240, 302};

std::string firstKey(platform::Control control) {
  const std::vector<std::string> names = platform::activeControls().keyNames(control);
  return names.empty() ? std::string() : names.front();
}

// A pad button as players call it, from SDL's name for it ("dpup" is the d-pad's up).
std::string printedName(const std::string& name) {
  static const std::pair<const char*, const char*> kPrinted[] = {
      {"dpup", "D-pad up"},
      {"dpdown", "D-pad down"},
      {"dpleft", "D-pad left"},
      {"dpright", "D-pad right"},
      {"leftshoulder", "LB"},
      {"rightshoulder", "RB"},
      {"leftstick", "the left stick"},
      {"rightstick", "the right stick"},
  };
  for (const auto& [sdl, printed] : kPrinted) {
    if (name == sdl) return printed;
  }
  std::string printed = name;
  if (!printed.empty()) {
    printed[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(printed[0])));
  }
  return printed;
}

// The first pad button bound to a control, as printed on pads ("A", "Start").
std::string firstButton(platform::Control control) {
  const std::vector<std::string> names = platform::activeControls().buttonNames(control);
  return names.empty() ? std::string() : printedName(names.front());
}

// What throws on a pad: its own binding, else the button that presses menus and throws
// elsewhere.
std::string padThrow() {
  const std::string button = firstButton(platform::Control::Throw);
  return button.empty() ? firstButton(platform::Control::MenuPress) : button;
}

// "<name> <does>", or nothing when the control has nothing bound.
std::string saying(const std::string& name, const char* does) {
  return name.empty() ? std::string() : name + " " + does;
}

std::string hintText(HintPlace place, platform::InputDevice device) {
  using platform::Control;
  using platform::InputDevice;
  if (device == InputDevice::Touch) {
    switch (place) {
      case HintPlace::Steering:
        // A device that tilts needs no words; one without steers on the strip along the bottom.
        return platform::Accelerometer::shared().sources().device
                   ? std::string()
                   : "slide a finger along the bottom to move Nerin";
      case HintPlace::Pause:
        return "double-tap the button to resume";
      case HintPlace::GameOver:
        return "tap to go on";
      case HintPlace::Throwing:  // the tutorial's picture shows the swipe
      case HintPlace::None:
        return {};
    }
  }
  switch (place) {
    case HintPlace::Steering:
      if (device == InputDevice::Keyboard) {
        const std::string left = firstKey(Control::SteerLeft);
        const std::string right = firstKey(Control::SteerRight);
        return left.empty() || right.empty() ? std::string()
                                             : left + " and " + right + " move Nerin";
      }
      return device == InputDevice::Pad ? "tilt the pad or push the left stick" : "move the mouse";
    case HintPlace::Throwing:
      if (device == InputDevice::Keyboard) return saying(firstKey(Control::Throw), "throws");
      return device == InputDevice::Pad ? saying(padThrow(), "throws")
                                        : "drag and release to throw";
    case HintPlace::Pause:
      if (device == InputDevice::Keyboard) return saying(firstKey(Control::Pause), "resumes");
      return device == InputDevice::Pad ? saying(firstButton(Control::Pause), "resumes")
                                        : "double-click the button to resume";
    case HintPlace::GameOver:
      if (device == InputDevice::Keyboard) return saying(firstKey(Control::Throw), "goes on");
      return device == InputDevice::Pad ? saying(padThrow(), "goes on") : "click to go on";
    case HintPlace::None:
      break;
  }
  return {};
}

}  // namespace

void SaltmereAppDelegate::makeHintLabel() {
  if (!window) return;
  hintLabel = addTextLine(kHintBox, kHintSize);
  platform::setInputDeviceObserver([this](platform::InputDevice) { showHint(hintPlace); });
}

void SaltmereAppDelegate::showHint(HintPlace place) {
  hintPlace = place;
  if (!hintLabel) return;
  const std::string text = hintText(place, platform::lastInputDevice());
  const platform::Point at = place == HintPlace::GameOver ? kHintBelowBlock : kHintUnderText;
  hintLabel->setCenter(platform::windowPointFromLandscape(at));
  hintLabel->setText(text);
  hintLabel->setHidden(text.empty());
}
