// Delivering journal entries: touches at their window points, the reading as the injected tilt,
// the notices and keys to the application's delegate, menu moves to the key window.
#include "platform/input/input_journal.h"

#include "platform/core/application.h"
#include "platform/input/accelerometer.h"
#include "platform/screen/display.h"
#include "platform/screen/view.h"
#include "platform/ui/focus.h"
#include "platform/ui/table_view.h"

namespace platform {
namespace {

std::function<void(const InputEntry&)>& listener() {
  static std::function<void(const InputEntry&)> listening;
  return listening;
}

}  // namespace

void setInputJournal(std::function<void(const InputEntry&)> listening) {
  listener() = std::move(listening);
}

void journal(const InputEntry& entry) {
  if (listener()) listener()(entry);
}

bool deliverInput(const InputEntry& entry) {
  journal(entry);
  Application& application = Application::shared();
  Window* window = Window::keyWindow();
  using Kind = InputEntry::Kind;
  switch (entry.kind) {
    case Kind::Touch: {
      std::optional<Point> previous;
      if (entry.from) previous = windowPointFromLandscape(*entry.from);
      TouchRouter::shared().deliver(entry.touch, entry.phase, windowPointFromLandscape(entry.at),
                                    previous, entry.reach);
      break;
    }
    case Kind::Tilt:
      Accelerometer::shared().sources().injected = entry.value;
      break;
    case Kind::Resign:
      if (application.delegate()) application.delegate()->applicationWillResignActive(application);
      break;
    case Kind::Activate:
      if (application.delegate()) application.delegate()->applicationDidBecomeActive(application);
      break;
    case Kind::Pause:
      if (application.delegate()) application.delegate()->pauseKeyPressed(application);
      break;
    case Kind::Focus:
      if (window) FocusRing::move(*window, static_cast<int>(entry.value));
      break;
    case Kind::Press:
      if (window) FocusRing::press(*window);
      break;
    case Kind::Slide:
      if (window) FocusRing::stepSideways(*window, static_cast<int>(entry.value));
      break;
    case Kind::Back:
      if (application.delegate()) application.delegate()->backKeyPressed(application);
      break;
    case Kind::Wheel:
      if (!window) break;
      if (View* view = window->hitTest(windowPointFromLandscape(entry.at))) {
        view->scrollWheel(static_cast<float>(entry.value));
      }
      break;
    case Kind::Page:
      if (window) scrollVisibleTables(*window, static_cast<float>(entry.value));
      break;
    case Kind::Wake:
      return application.delegate() && application.delegate()->playerWoke(application);
  }
  return false;
}

}  // namespace platform
