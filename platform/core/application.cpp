// The application object over SDL: screensaver inhibition (a wake lock in a browser) and URL
// opening (mail links from the page itself in a browser).
#include "platform/core/application.h"

#include <SDL2/SDL.h>
#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

#include <cstdio>

namespace platform {

Application& Application::shared() {
  static Application application;
  return application;
}

void Application::setIdleTimerDisabled(bool disabled) {
  idleTimerDisabled_ = disabled;
#ifdef __EMSCRIPTEN__
  // The page keeps a phone's screen on through the browser's wake lock.
  EM_ASM(
      {
        if (Module.tidewickKeepAwake) Module.tidewickKeepAwake(Boolean($0));
      },
      disabled);
#endif
  if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
  if (disabled) {
    SDL_DisableScreenSaver();
  } else {
    SDL_EnableScreenSaver();
  }
}

void Application::openURL(const std::string& url) {
  if (urlOpener_) {
    urlOpener_(url);
    return;
  }
#ifdef __EMSCRIPTEN__
  // A mail link is the page's shell's to open (from the page itself, leaving no empty tab
  // behind); any other link gets a tab of its own, never the game's.
  if (url.starts_with("mailto:")) {
    EM_ASM({ Module.tidewickOpenMail(UTF8ToString($0)); }, url.c_str());
    return;
  }
#endif
  if (SDL_OpenURL(url.c_str()) != 0) {
    std::fprintf(stderr, "tidewick: could not open %s: %s\n", url.c_str(), SDL_GetError());
  }
}

void Application::setActive(bool active) {
  if (active == active_) return;
  active_ = active;
  if (!delegate_) return;
  if (active) {
    delegate_->applicationDidBecomeActive(*this);
  } else {
    delegate_->applicationWillResignActive(*this);
  }
}

}  // namespace platform
