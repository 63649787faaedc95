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
  platform::DrawState& state = platform::Renderer::shared().state();
  state.projection = platform::orthographic(0, 480, 0, 320);
  state.transform = {};
  state.blend = platform::Blend::Off;
  state.color = platform::Color::white();
  platform::Renderer::shared().clear(platform::Color::black());
}

std::vector<uint8_t> readDrawn(int x, int y, int width, int height) {
  platform::Renderer& renderer = platform::Renderer::shared();
  renderer.bindFramebuffer(renderer.state().framebuffer);
  std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4);
  glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}
