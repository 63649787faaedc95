// Opens the shared headless display on first use.
#include "tests/support/test_display.h"

#include <gtest/gtest.h>

#include <cstdlib>

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
  platform::turnToLandscape(*screen.glView);
  screen.window->addSubview(screen.glView);
  screen.window->makeKeyAndVisible();
  return screen;
}

void startSceneFrame(MyEAGLView& view) {
  view.setCurrentContext();
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrthof(0, 480, 0, 320, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glEnable(GL_TEXTURE_2D);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glDisable(GL_BLEND);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
}
