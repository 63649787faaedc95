// Opens the shared headless display on first use.
#include "tests/test_display.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <numbers>

#include <nlohmann/json.hpp>

platform::Display& testDisplay(int scale) {
  if (platform::Display* open = platform::Display::shared()) return *open;
  // Kept open until the process ends, so that the GL driver's own allocations stay attributable
  // for the leak checker.
  static platform::Display* display =
      platform::Display::open({.scale = scale, .headless = true}).release();
  if (!display) {
    ADD_FAILURE() << "no headless display";
    std::abort();
  }
  return *display;
}

LandscapeScreen makeLandscapeScreen() {
  testDisplay();
  LandscapeScreen screen;
  screen.window = std::make_shared<platform::Window>();
  screen.glView = MyEAGLView::initWithCoder({{"frame", {0, 0, 480, 320}}});
  screen.glView->setTransform(platform::AffineTransform::rotation(std::numbers::pi_v<float> / 2));
  screen.glView->setCenter({160, 240});
  screen.window->addSubview(screen.glView);
  screen.window->makeKeyAndVisible();
  return screen;
}
