// The journal of what the game was given of the player's input, in the order and at the clock's
// times it was given: a recorder listens to it, and a replay gives every entry back the same way.
#pragma once

#include <functional>
#include <optional>

#include "platform/core/geometry.h"
#include "platform/screen/touch.h"

namespace platform {

struct InputEntry {
  enum class Kind {
    Touch,     // a touch's phase at `at`, with its previous place `from` when that was given
    Tilt,      // the accelerometer's reading `value`, as a sample delivered it
    Resign,    // the window lost focus or was minimised
    Activate,  // the window came back
    Pause,     // the pause key
    Focus,     // menu focus moved by `value` steps
    Press,     // the focused menu control pressed
    Slide,     // the focused slider stepped by `value` (Left -1, Right +1)
    Back,      // the back key
    Wheel,     // the wheel turned `value` notches over `at`
    Page,      // a page key scrolled the tables on show by `value` notches
    Wake,      // a key, a mouse button, a finger or a pad button went down: the player is there
  };
  Kind kind = Kind::Touch;
  long touch = 0;
  TouchPhase phase = TouchPhase::Began;
  Point at;  // landscape points
  std::optional<Point> from;
  float reach = 0;  // a fingertip's width in points, where a touch began under one
  double value = 0;

  // Any kind but a touch or the wheel, with its value.
  static InputEntry of(Kind kind, double value = 0) {
    InputEntry entry;
    entry.kind = kind;
    entry.value = value;
    return entry;
  }
  static InputEntry touchAt(long id, TouchPhase phase, Point at, std::optional<Point> from = {},
                            float reach = 0) {
    InputEntry entry;
    entry.touch = id;
    entry.phase = phase;
    entry.at = at;
    entry.from = from;
    entry.reach = reach;
    return entry;
  }
  static InputEntry wheel(Point at, double notches) {
    InputEntry entry = of(Kind::Wheel, notches);
    entry.at = at;
    return entry;
  }
};

// Hears every entry as it is delivered, the run loop's clock at its time; null stops listening.
void setInputJournal(std::function<void(const InputEntry&)> listener);
// Tells the listener, if there is one.
void journal(const InputEntry& entry);

// Does what the entry says, and journals it: the devices' road and the replay's. True when a
// wake was used up by what it ended (the application's delegate says): the input that woke goes
// no further.
bool deliverInput(const InputEntry& entry);

}  // namespace platform
