// The application object: its delegate and the notices it receives, the idle-timer switch, the
// status-bar orientation and the opening of URLs.
#pragma once

#include <functional>
#include <string>

namespace platform {

class Application;

class ApplicationDelegate {
 public:
  virtual ~ApplicationDelegate() = default;
  virtual void applicationDidFinishLaunching(Application&) {}
  // The window lost focus or was minimised.
  virtual void applicationWillResignActive(Application&) {}
  // The window is back in front.
  virtual void applicationDidBecomeActive(Application&) {}
  // The desktop's pause key (Escape or P) was pressed.
  virtual void pauseKeyPressed(Application&) {}
  // The desktop's back key (Escape, or a pad's B) was pressed.
  virtual void backKeyPressed(Application&) {}
  // A key, a mouse button, a finger or a pad button went down, before it does anything else.
  // True when the wake was used up (it ended something the game showed on its own): the input
  // then goes no further.
  virtual bool playerWoke(Application&) { return false; }
};

enum class InterfaceOrientation {
  Portrait = 1,
  PortraitUpsideDown = 2,
  LandscapeRight = 3,
  LandscapeLeft = 4
};

class Application {
 public:
  static Application& shared();

  ApplicationDelegate* delegate() const { return delegate_; }
  void setDelegate(ApplicationDelegate* delegate) { delegate_ = delegate; }

  // True keeps the screensaver away (the screen from dimming) while the game is played.
  void setIdleTimerDisabled(bool disabled);
  bool isIdleTimerDisabled() const { return idleTimerDisabled_; }

  // The desktop has no status bar: the call is taken and changes nothing.
  void setStatusBarOrientation(InterfaceOrientation, bool /*animated*/) {}

  // Hands the URL to the desktop, fire and forget.
  void openURL(const std::string& url);
  // Tests and replays put a recorder here, so that they never launch a mail program.
  void setURLOpener(std::function<void(const std::string&)> opener) {
    urlOpener_ = std::move(opener);
  }

  // The window's focus changed: sends the resign or become-active notice on a change only.
  void setActive(bool active);
  bool isActive() const { return active_; }

 private:
  ApplicationDelegate* delegate_ = nullptr;
  bool idleTimerDisabled_ = false;
  bool active_ = true;
  std::function<void(const std::string&)> urlOpener_;
};

}  // namespace platform
