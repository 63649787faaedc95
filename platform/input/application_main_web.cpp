// The page's application loop: the browser's animation frames pace the clock, each one a turn of
// the run loop (the input that came, what fell due, a composite when anything on screen changed).
// The page never quits: what the loop needs lives as long as the page.
#include <emscripten.h>

#include "platform/core/bundle.h"
#include "platform/core/clock.h"
#include "platform/core/run_loop.h"
#include "platform/input/application_main.h"
#include "platform/input/desktop_events.h"
#include "platform/input/device_motion.h"
#include "platform/screen/display.h"

namespace platform {
namespace {

struct PageApplication {
  VirtualClock clock{0};
  RunLoop loop{clock};
  std::unique_ptr<Display> display;
  std::unique_ptr<DesktopEvents> events;
  std::unique_ptr<ApplicationDelegate> delegate;
  RealClock machine;
  bool shown = false;
  bool restIn = false;  // the rest of the bundle is in its folder, and not yet loaded
};

PageApplication* sPage = nullptr;

void animationFrame(void* argument) {
  auto& page = *static_cast<PageApplication*>(argument);
  // Until the bundle is whole the game stands on its first picture: it takes no input and no
  // time passes, so nothing starts before what it needs has come. What the player does
  // meanwhile waits in the queue. The rest is loaded once the first picture is up, even when
  // it came before (a return, from the page's own cache), and the wait is not time the game
  // has to catch up on.
  Bundle& bundle = Bundle::mainBundle();
  if (page.shown && page.restIn) {
    page.restIn = false;
    bundle.arrived();
    page.loop.setPace(&page.machine);
  }
  if (!bundle.whole() && page.shown) return;
  if (bundle.whole()) page.events->waitAndDispatch(0);
  page.loop.turn();
  // When the first picture was drawn, in the page's time: how long a visitor waited for it. The
  // page's shell hears of it.
  if (!page.shown) {
    page.shown = true;
    EM_ASM({
      window.tidewickFirstPicture = performance.now();
      if (Module.tidewickFirstPictureShown) Module.tidewickFirstPictureShown();
    });
  }
}

}  // namespace

int applicationMain(const std::function<std::unique_ptr<ApplicationDelegate>()>& makeDelegate,
                    const DisplayOptions& options, const std::filesystem::path& controlsFile,
                    const SessionHooks& hooks) {
  auto* page = new PageApplication;
  sPage = page;
  page->display = Display::open(options);
  if (!page->display) return 1;
  page->events =
      std::make_unique<DesktopEvents>(*page->display, page->loop, loadControls(controlsFile));
  listenToDeviceMotion();
  page->loop.addBeforeWaitingObserver([page] {
    page->display->layoutIfNeeded();
    page->display->compositeIfNeeded();
  });

  // The page's shell says whether it brings the rest of the bundle after the first picture.
  if (EM_ASM_INT({ return Module.tidewickRestComing ? 1 : 0; })) {
    Bundle::mainBundle().expectRest();
  }
  Application& application = Application::shared();
  page->delegate = makeDelegate();
  application.setDelegate(page->delegate.get());
  page->delegate->applicationDidFinishLaunching(application);
  if (hooks.launched) Bundle::mainBundle().whenWhole(hooks.launched);
  // The pace starts now: the launch's loading is not time the game has to catch up on.
  page->loop.setPace(&page->machine);
  page->loop.setTurnedByRefreshes(true);
  emscripten_set_main_loop_arg(animationFrame, page, 0, false);
  return 0;
}

}  // namespace platform

// The rest of the bundle is in its folder (put there by the page's shell): the game loads it
// and goes on from where it stood.
extern "C" EMSCRIPTEN_KEEPALIVE void tidewick_rest_arrived() {
  if (platform::sPage) platform::sPage->restIn = true;
}

// The page turned upright on a phone (1) or back to landscape (0): the page shows its turn screen
// meanwhile, and the game is put away, in its turn with the input.
extern "C" EMSCRIPTEN_KEEPALIVE void tidewick_turned_away(int turnedAway) {
  platform::PageApplication* page = platform::sPage;
  if (!page) return;
  page->loop.post(page->loop.inputTime(),
                  [page, turnedAway] { page->events->setTurnedAway(turnedAway != 0); });
}
