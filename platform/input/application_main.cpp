// The desktop's application loop: real clock, window, input, and a composite whenever the loop
// is about to wait and something on screen changed.
#include "platform/input/application_main.h"

#include "platform/core/clock.h"
#include "platform/core/run_loop.h"
#include "platform/input/desktop_events.h"
#include "platform/screen/display.h"

namespace platform {

int applicationMain(const std::function<std::unique_ptr<ApplicationDelegate>()>& makeDelegate,
                    const DisplayOptions& options, const std::filesystem::path& controlsFile) {
  RealClock clock;
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
  loop.run();
  application.setDelegate(nullptr);
  delegate.reset();
  return 0;
}

}  // namespace platform
