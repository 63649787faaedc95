// The desktop's input while the run loop waits: the window's notices, the mouse and fingers as
// touches, the keyboard, game controllers, all turned into what the game expects of a phone.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/core/geometry.h"
#include "platform/core/run_loop.h"
#include "platform/input/controls.h"
#include "platform/screen/touch.h"

union SDL_Event;
struct _SDL_GameController;

namespace platform {

class ControlView;
class Display;

// Waits at most `timeout` seconds (infinity: until one comes) for the window's next event.
bool waitForEvent(double timeout, SDL_Event& event);

// Ids of the touches that do not come from fingers.
constexpr long kMouseTouch = -1;
constexpr long kKeyboardTouch = -2;

class DesktopEvents final : public EventSource {
 public:
  // `controls` become the active ones.
  DesktopEvents(Display& display, RunLoop& loop, Controls controls = Controls::defaults());
  ~DesktopEvents() override;
  DesktopEvents(const DesktopEvents&) = delete;
  DesktopEvents& operator=(const DesktopEvents&) = delete;

  void waitAndDispatch(double timeout) override;
  // One SDL event to its handler.
  void handle(const SDL_Event& event);
  // The screen is turned the wrong way for the game (a phone held upright): the game is put away
  // as in a minimised window until it is turned back.
  void setTurnedAway(bool turnedAway);

 private:
  void handleWindowEvent(const SDL_Event& event);
  // Tells the application whether it is active: focused, shown and turned the right way.
  void updateActivity();
  void handleMouse(const SDL_Event& event);
  void handleFinger(const SDL_Event& event);
  void handleWheel(const SDL_Event& event);
  // A finger put down at this landscape point steers instead of touching.
  bool startsSteering(Point landscape, float reach) const;
  // Tells the game the player is there; true when that was all the input was for.
  bool woke();
  // One phase of a touch at a landscape point (off-screen points brought to its edge).
  void touch(long id, TouchPhase phase, Point landscape, std::optional<Point> previous = {},
             float reach = 0);
  void pressFocusOrThrow();
  void handleKey(const SDL_Event& event, bool down);
  void handleController(const SDL_Event& event);
  void handleStick(int axis, int value);

  // What held a key, a pad button or a stick down: a held step is let go with it.
  struct HeldSource {
    enum class Device { Key, PadButton, Stick } device;
    int code;
    bool operator==(const HeldSource&) const = default;
  };
  // The controls bound to a key or pad button that act now: Left and Right step a focused
  // slider instead of steering, and step nothing when the focus is on no slider.
  std::vector<Control> actingNow(std::vector<Control> controls) const;
  // What a bound key or button does, pressed (`down`) or let go.
  void perform(Control control, bool down, HeldSource source);
  // One step of a menu direction. Held on a control that keeps steps of its own (a slider's
  // value, a list's rows), it steps again at a steady rate while each step stays on it.
  void stepMenu(Control control, HeldSource source);
  // `step` again after a pause and then at a steady rate, until it answers false or `source` is
  // let go; one held step at a time.
  void hold(HeldSource source, std::function<bool()> step);
  void letGo(HeldSource source);
  void letGoOfHeldStep();
  // A tap at the middle of the screen, its last movement 10 points towards the held steering key.
  void keyboardThrow();

  Display& display_;
  RunLoop& loop_;
  double lastArrival_ = 0;  // the loop's time the last event was given
  bool focused_ = true, minimized_ = false, turnedAway_ = false;
  bool mouseDown_ = false;
  std::optional<long> steeringFinger_;
  _SDL_GameController* controller_ = nullptr;
  // Which way each menu stick is pushed past half way (-1, 0, +1), by stick.
  int leftStickSide_ = 0, rightStickSide_ = 0;
  struct HeldStep {
    HeldSource source;
    std::function<bool()> step;
    std::shared_ptr<Timer> timer;
  };
  std::optional<HeldStep> held_;
};

}  // namespace platform
