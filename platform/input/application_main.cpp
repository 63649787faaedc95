// The desktop's application loop: a clock paced by the machine's, the window, input, and a
// composite whenever the loop is about to wait and something on screen changed.
#include "platform/input/application_main.h"

#include "platform/core/clock.h"
#include "platform/core/run_loop.h"
#include "platform/input/desktop_events.h"
#include "platform/screen/display.h"

namespace platform {

int applicationMain(const std::function<std::unique_ptr<ApplicationDelegate>()>& makeDelegate,
                    const DisplayOptions& options, const std::filesystem::path& controlsFile,
                    const SessionHooks& hooks) {
  VirtualClock clock(0);
  RunLoop loop(clock);
  std::unique_ptr<Display> display = Display::open(options);
  if (!display) return 1;
  DesktopEvents events(*display, loop, loadControls(controlsFile));
  loop.addBeforeWaitingObserver([&display] {
    display->layoutIfNeeded();
    display->compositeIfNeeded();
  });

  Application& application = Application::shared();
  std::unique_ptr<ApplicationDelegate> delegate = makeDelegate();
  application.setDelegate(delegate.get());
  delegate->applicationDidFinishLaunching(application);
  if (hooks.launched) hooks.launched();
  // The pace starts now: the launch's loading is not time the game has to catch up on.
  const RealClock machine;
  loop.setPace(&machine);
  loop.run();
  // A quit comes at its time like any input; what fell due with it is delivered too.
  loop.runUntil(loop.now());
  if (hooks.ended) hooks.ended(loop.now());
  application.setDelegate(nullptr);
  delegate.reset();
  return 0;
}

}  // namespace platform
