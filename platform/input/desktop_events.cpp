// SDL events in, phone-like input out. Touches are routed by window (portrait) point; the
// tilt sources are kept for the shared accelerometer to sample.
#include "platform/input/desktop_events.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

#include "platform/core/application.h"
#include "platform/input/accelerometer.h"
#include "platform/input/input_device.h"
#include "platform/input/input_journal.h"
#include "platform/screen/display.h"
#include "platform/screen/touch.h"
#include "platform/screen/view.h"
#include "platform/ui/button.h"
#include "platform/ui/control_view.h"
#include "platform/ui/focus.h"

namespace platform {
namespace {

// A stick must be pushed this far (of 32767) before it steers, and half way before it steps
// through a menu; it steps again once it has come back inside the dead zone.
constexpr int kStickDeadZone = 8000;
constexpr int kStickStep = 16384;
// A held menu direction steps again after this long, and from then on at this period.
constexpr double kRepeatDelay = 0.4;
constexpr double kRepeatPeriod = 0.1;
// Fingers keep their own ids clear of the mouse's and the keyboard's.
constexpr long kFingerBase = 1;
// Wheel notches a page key scrolls a table by.
constexpr float kPageLines = 4;
// The strip along the bottom edge a finger steers on where the device gives no tilt, in points.
constexpr float kSteeringStripHeight = 56;

TiltSources& tilt() {
  return Accelerometer::shared().sources();
}

ControlView* focusedControl() {
  Window* window = Window::keyWindow();
  return window ? FocusRing::focused(*window) : nullptr;
}

bool steers(Control control) {
  return control == Control::SteerLeft || control == Control::SteerRight;
}

bool stepsSideways(Control control) {
  return control == Control::MenuLeft || control == Control::MenuRight;
}

// Left-edge-down reads positive: the reading that puts the crab under landscape x.
double readingUnder(float landscapeX) {
  return (kLandscapeSize.width / 2 - landscapeX) / kLandscapeSize.width;
}

}  // namespace

DesktopEvents::DesktopEvents(Display& display, RunLoop& loop, Controls controls)
    : display_(display), loop_(loop) {
  setActiveControls(std::move(controls));
  loop_.setEventSource(this);
}

DesktopEvents::~DesktopEvents() {
  letGoOfHeldStep();
  loop_.setEventSource(nullptr);
  if (controller_) SDL_GameControllerClose(controller_);
}

void DesktopEvents::waitAndDispatch(double timeout) {
  SDL_Event event;
  // Each event waits its turn behind whatever fell due before it arrived, at the time it arrived
  // by the loop's pace: the time a replay gives it back at. A page takes its events once a frame,
  // and a busy browser's frames come late: the time SDL heard of an event keeps a double tap as
  // quick as the player made it. Never before the event ahead of it: SDL's clock counts whole
  // milliseconds, the loop's does not, and a lift must not overtake its own touch.
  const auto arrived = [this](const SDL_Event& event) {
    const Uint32 age = SDL_GetTicks() - event.common.timestamp;  // in ms, past a wrap too
    lastArrival_ = std::max(lastArrival_, loop_.inputTime(age / 1000.0));
    loop_.post(lastArrival_, [this, event] { handle(event); });
  };
  if (display_.isHeadless()) {
    // The offscreen driver cannot wait for events; nothing but a quit can come, so sleep.
    std::this_thread::sleep_for(std::chrono::duration<double>(std::min(timeout, 0.1)));
  } else if (timeout > 0 && waitForEvent(timeout, event)) {
    // (With nothing to wait for, the poll below takes what came: waiting for nothing costs SDL
    // an event of its own, timestamped by a clock read that is dear in a browser.)
    arrived(event);
  }
  while (SDL_PollEvent(&event)) arrived(event);
}

bool waitForEvent(double timeout, SDL_Event& event) {
  // Rounded up, so that the loop never wakes just before a timer and has to wait again.
  const int ms =
      std::isinf(timeout) ? -1 : static_cast<int>(std::ceil(std::min(timeout, 3600.0) * 1000));
  return SDL_WaitEventTimeout(&event, ms) != 0;
}

void DesktopEvents::handle(const SDL_Event& event) {
  switch (event.type) {
    case SDL_QUIT:
      loop_.stop();
      break;
    case SDL_WINDOWEVENT:
      handleWindowEvent(event);
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
    case SDL_MOUSEMOTION:
      handleMouse(event);
      break;
    case SDL_FINGERDOWN:
    case SDL_FINGERUP:
    case SDL_FINGERMOTION:
      handleFinger(event);
      break;
    case SDL_MOUSEWHEEL:
      handleWheel(event);
      break;
    case SDL_KEYDOWN:
      handleKey(event, true);
      break;
    case SDL_KEYUP:
      handleKey(event, false);
      break;
    case SDL_CONTROLLERDEVICEADDED:
    case SDL_CONTROLLERDEVICEREMOVED:
    case SDL_CONTROLLERAXISMOTION:
    case SDL_CONTROLLERSENSORUPDATE:
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
      handleController(event);
      break;
    default:
      break;
  }
}

void DesktopEvents::handleWindowEvent(const SDL_Event& event) {
  switch (event.window.event) {
    case SDL_WINDOWEVENT_FOCUS_LOST:
      focused_ = false;
      break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      focused_ = true;
      break;
    case SDL_WINDOWEVENT_MINIMIZED:
      minimized_ = true;
      break;
    case SDL_WINDOWEVENT_RESTORED:
      minimized_ = false;
      break;
#ifdef __EMSCRIPTEN__
    // The page hidden (another tab, the phone locked) is put away as a minimised window is.
    case SDL_WINDOWEVENT_HIDDEN:
      minimized_ = true;
      break;
    case SDL_WINDOWEVENT_SHOWN:
      minimized_ = false;
      break;
#endif
    case SDL_WINDOWEVENT_LEAVE:
      tilt().mouse.reset();
      break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
    case SDL_WINDOWEVENT_EXPOSED:
      Layer::screenChanged();
      break;
    default:
      break;
  }
  updateActivity();
}

void DesktopEvents::setTurnedAway(bool turnedAway) {
  turnedAway_ = turnedAway;
  updateActivity();
}

void DesktopEvents::updateActivity() {
  Application& application = Application::shared();
  const bool active = focused_ && !minimized_ && !turnedAway_;
  if (!active) letGoOfHeldStep();  // its key may be let go elsewhere
  if (active == application.isActive()) return;
  journal(InputEntry::of(active ? InputEntry::Kind::Activate : InputEntry::Kind::Resign));
  application.setActive(active);
}

bool DesktopEvents::woke() {
  return deliverInput(InputEntry::of(InputEntry::Kind::Wake));
}

void DesktopEvents::touch(long id, TouchPhase phase, Point landscape, std::optional<Point> previous,
                          float reach) {
  deliverInput(InputEntry::touchAt(id, phase, landscape, previous, reach));
}

void DesktopEvents::handleMouse(const SDL_Event& event) {
  if (event.button.which == SDL_TOUCH_MOUSEID) return;  // fingers come as fingers
  noteInputDevice(InputDevice::Mouse);
  tilt().touch.reset();  // the mouse steers again once it is taken up
  const bool motion = event.type == SDL_MOUSEMOTION;
  const Point landscape = motion ? display_.landscapePointAt(event.motion.x, event.motion.y)
                                 : display_.landscapePointAt(event.button.x, event.button.y);
  if (isOnScreen(landscape)) {
    tilt().mouse = readingUnder(landscape.x);
  } else {
    tilt().mouse.reset();
  }
  if (event.type == SDL_MOUSEBUTTONDOWN && woke()) return;
  if (!motion && event.button.button != SDL_BUTTON_LEFT) return;

  // Off the screen, a touch in flight follows along its edge.
  const Point point = clampToScreen(landscape);
  if (event.type == SDL_MOUSEBUTTONDOWN) {
    if (!isOnScreen(landscape)) return;  // a press on the letterbox touches nothing
    mouseDown_ = true;
    touch(kMouseTouch, TouchPhase::Began, point);
  } else if (mouseDown_) {
    const bool ended = event.type == SDL_MOUSEBUTTONUP;
    if (ended) mouseDown_ = false;
    touch(kMouseTouch, ended ? TouchPhase::Ended : TouchPhase::Moved, point);
  }
}

// The wheel goes to the view under the pointer; a notch towards the user scrolls down.
void DesktopEvents::handleWheel(const SDL_Event& event) {
  int x = 0, y = 0;
  SDL_GetMouseState(&x, &y);
  const Point landscape = display_.landscapePointAt(x, y);
  if (!isOnScreen(landscape)) return;
  const float lines = static_cast<float>(
      event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? event.wheel.y : -event.wheel.y);
  deliverInput(InputEntry::wheel(landscape, lines));
}

void DesktopEvents::handleFinger(const SDL_Event& event) {
  int width = 0, height = 0;
  SDL_GetWindowSize(display_.sdlWindow(), &width, &height);
  const Point landscape = display_.landscapePointAt(static_cast<int>(event.tfinger.x * width),
                                                    static_cast<int>(event.tfinger.y * height));
  const long id = kFingerBase + static_cast<long>(event.tfinger.fingerId);
  const float reach = event.type == SDL_FINGERDOWN ? display_.fingertipReach() : 0;
  if (event.type == SDL_FINGERDOWN) {
    noteInputDevice(InputDevice::Touch);
    if (woke()) return;
    if (startsSteering(landscape, reach)) steeringFinger_ = id;
  }
  if (steeringFinger_ == id) {
    tilt().touch = readingUnder(clampToScreen(landscape).x);
    if (event.type == SDL_FINGERUP) steeringFinger_.reset();
    return;
  }
  const TouchPhase phase = event.type == SDL_FINGERDOWN ? TouchPhase::Began
                           : event.type == SDL_FINGERUP ? TouchPhase::Ended
                                                        : TouchPhase::Moved;
  if (phase == TouchPhase::Began && !isOnScreen(landscape)) return;
  touch(id, phase, clampToScreen(landscape), {}, reach);
}

// While a game reads the tilt on a device that has none of its own, a finger put down on the
// strip along the bottom edge steers: the crab goes under it, and lifting it throws nothing. A
// button there (the pause, as far as a fingertip reaches) still takes its touch. The latest finger
// put down there steers: the one before it, held or lost with its lift (a browser busy or left for
// a moment), then steers and touches nothing.
bool DesktopEvents::startsSteering(Point landscape, float reach) const {
  if (tilt().device || !Accelerometer::shared().delegate()) return false;
  if (!isOnScreen(landscape) || landscape.y < kLandscapeSize.height - kSteeringStripHeight) {
    return false;
  }
  Window* window = Window::keyWindow();
  View* under = window ? window->touchedView(windowPointFromLandscape(landscape), reach) : nullptr;
  return !dynamic_cast<Button*>(under);
}

// Fullscreen and the page keys are the desktop's own; every other key does what the controls
// bind it to.
void DesktopEvents::handleKey(const SDL_Event& event, bool down) {
  const SDL_Keycode key = event.key.keysym.sym;
  if (down) noteInputDevice(InputDevice::Keyboard);
  const bool alt = event.key.keysym.mod & KMOD_ALT;
  if (key == SDLK_F11 || (key == SDLK_RETURN && alt)) {
    if (down && !event.key.repeat) display_.toggleFullscreen();
    return;
  }
  if (down && !event.key.repeat && woke()) return;
  if (key == SDLK_PAGEDOWN || key == SDLK_PAGEUP) {
    if (down) {
      deliverInput(
          InputEntry::of(InputEntry::Kind::Page, key == SDLK_PAGEDOWN ? kPageLines : -kPageLines));
    }
    return;
  }
  const HeldSource source{HeldSource::Device::Key, key};
  if (!down) letGo(source);
  for (const Control control : actingNow(activeControls().forKey(key))) {
    if (steers(control) || !event.key.repeat) perform(control, down, source);
  }
}

std::vector<Control> DesktopEvents::actingNow(std::vector<Control> controls) const {
  const ControlView* focus = focusedControl();
  const bool sliding = focus && focus->steps() == ControlView::Steps::Sideways;
  std::erase_if(controls, [sliding](Control control) {
    return sliding ? steers(control) : stepsSideways(control);
  });
  return controls;
}

void DesktopEvents::perform(Control control, bool down, HeldSource source) {
  const double now = loop_.now();
  KeyboardTilt& keyboard = tilt().keyboard;
  if (steers(control)) {
    const int direction = control == Control::SteerLeft ? +1 : -1;
    down ? keyboard.press(direction, now) : keyboard.release(direction, now);
    return;
  }
  if (!down) return;
  switch (control) {
    case Control::Level:
      keyboard.level(now);
      break;
    case Control::Throw:
      keyboardThrow();
      break;
    case Control::Pause:
      deliverInput(InputEntry::of(InputEntry::Kind::Pause));
      break;
    case Control::MenuUp:
    case Control::MenuDown:
    case Control::MenuLeft:
    case Control::MenuRight:
      stepMenu(control, source);
      break;
    case Control::MenuPress:
      pressFocusOrThrow();
      break;
    case Control::MenuBack:
      deliverInput(InputEntry::of(InputEntry::Kind::Back));
      break;
    default:
      break;
  }
}

void DesktopEvents::stepMenu(Control control, HeldSource source) {
  const int way = control == Control::MenuUp || control == Control::MenuLeft ? -1 : +1;
  const bool sideways = stepsSideways(control);
  const auto step = [way, sideways] {
    deliverInput(InputEntry::of(sideways ? InputEntry::Kind::Slide : InputEntry::Kind::Focus, way));
  };
  ControlView* before = focusedControl();
  step();
  ControlView* on = focusedControl();
  if (!on || on != before || on->steps() == ControlView::Steps::None) return;
  hold(source, [on, step] {
    if (focusedControl() != on) return false;
    step();
    return focusedControl() == on;
  });
}

void DesktopEvents::hold(HeldSource source, std::function<bool()> step) {
  letGoOfHeldStep();
  held_ = HeldStep{source, std::move(step), nullptr};
  const auto again = [this] {
    if (held_ && !held_->step()) letGoOfHeldStep();
  };
  held_->timer = loop_.scheduleTimer(
      kRepeatDelay,
      [this, again] {
        if (held_) held_->timer = loop_.scheduleTimer(kRepeatPeriod, again, true);
        again();
      },
      false);
}

void DesktopEvents::letGo(HeldSource source) {
  if (held_ && held_->source == source) letGoOfHeldStep();
}

void DesktopEvents::letGoOfHeldStep() {
  if (held_ && held_->timer) held_->timer->invalidate();
  held_.reset();
}

// In a menu, Enter or A presses the focused control; otherwise it ends a touch, as a tap does.
void DesktopEvents::pressFocusOrThrow() {
  Window* window = Window::keyWindow();
  if (window && FocusRing::press(*window)) {
    journal(InputEntry::of(InputEntry::Kind::Press));
  } else {
    keyboardThrow();
  }
}

void DesktopEvents::keyboardThrow() {
  const Point end{kLandscapeSize.width / 2, kLandscapeSize.height / 2};
  // Its last 10 points of movement lean the way the held steering key points.
  const Point start{end.x + 10.0f * static_cast<float>(tilt().keyboard.heldDirection()), end.y};
  touch(kKeyboardTouch, TouchPhase::Began, start);
  touch(kKeyboardTouch, TouchPhase::Ended, end, start);
}

void DesktopEvents::handleController(const SDL_Event& event) {
  switch (event.type) {
    case SDL_CONTROLLERDEVICEADDED:
      if (controller_) return;
      controller_ = SDL_GameControllerOpen(event.cdevice.which);
      if (controller_ && SDL_GameControllerHasSensor(controller_, SDL_SENSOR_ACCEL)) {
        SDL_GameControllerSetSensorEnabled(controller_, SDL_SENSOR_ACCEL, SDL_TRUE);
      }
      return;
    case SDL_CONTROLLERDEVICEREMOVED:
      if (!controller_ || event.cdevice.which !=
                              SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller_))) {
        return;
      }
      SDL_GameControllerClose(controller_);
      controller_ = nullptr;
      tilt().motion.reset();
      tilt().stick.reset();
      return;
    case SDL_CONTROLLERAXISMOTION:
      if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX ||
          event.caxis.axis == SDL_CONTROLLER_AXIS_RIGHTY) {
        handleStick(event.caxis.axis, event.caxis.value);
      }
      if (event.caxis.axis != SDL_CONTROLLER_AXIS_LEFTX) return;
      if (std::abs(event.caxis.value) < kStickDeadZone) {
        tilt().stick.reset();
      } else {
        noteInputDevice(InputDevice::Pad);
        // Full left (-32768) puts the crab at the left edge: a reading of +0.5.
        tilt().stick = -0.5 * std::clamp(event.caxis.value / 32767.0, -1.0, 1.0);
      }
      return;
    case SDL_CONTROLLERSENSORUPDATE:
      if (event.csensor.sensor != SDL_SENSOR_ACCEL) return;
      // +x points out of the controller's right side; tilted left-side-down, the felt lift of
      // gravity leans towards +x.
      tilt().motion = std::clamp(event.csensor.data[0] / SDL_STANDARD_GRAVITY, -1.0f, 1.0f);
      return;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
      if (event.type == SDL_CONTROLLERBUTTONDOWN) {
        noteInputDevice(InputDevice::Pad);
        if (woke()) return;
      }
      {
        const bool down = event.type == SDL_CONTROLLERBUTTONDOWN;
        const HeldSource source{HeldSource::Device::PadButton, event.cbutton.button};
        if (!down) letGo(source);
        for (const Control control : actingNow(activeControls().forButton(event.cbutton.button))) {
          perform(control, down, source);
        }
      }
      return;
    default:
      return;
  }
}

// Pushed past half way, the left stick steps a focused slider as Left and Right do, and the
// right stick scrolls the lists on show; each steps again while it stays pushed.
void DesktopEvents::handleStick(int axis, int value) {
  int& side = axis == SDL_CONTROLLER_AXIS_LEFTX ? leftStickSide_ : rightStickSide_;
  const int now = std::abs(value) < kStickDeadZone ? 0
                  : std::abs(value) >= kStickStep  ? (value > 0 ? 1 : -1)
                                                   : side;
  if (now == side) return;
  const HeldSource source{HeldSource::Device::Stick, axis};
  letGo(source);
  side = now;
  if (now == 0) return;
  noteInputDevice(InputDevice::Pad);
  if (axis == SDL_CONTROLLER_AXIS_LEFTX) {
    for (const Control control : actingNow({now < 0 ? Control::MenuLeft : Control::MenuRight})) {
      stepMenu(control, source);
    }
    return;
  }
  const auto scroll = [now] {
    deliverInput(InputEntry::of(InputEntry::Kind::Page, now));
    return true;
  };
  scroll();
  hold(source, scroll);
}

}  // namespace platform
