// A real desktop window (Xvfb in ./test): GL ES 2.0 through the window system, letterboxing
// when the window's shape differs from the screen's, and pointer positions on the letterbox.
#include <gtest/gtest.h>

#include <SDL2/SDL.h>

#include <cstdlib>
#include <string>

#include "tests/support/test_display.h"

namespace {

class WindowTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!std::getenv("DISPLAY")) return;
    // Open until the process ends, like the headless one of the other GL tests.
    display_ = platform::Display::open({.scale = 2}).release();
  }
  void SetUp() override {
    if (display_) return;
    if (inCI()) FAIL() << "no X display: CI must run this under Xvfb";
    GTEST_SKIP() << "no X display (./test runs this under Xvfb)";
  }
  // On a developer's machine a test that cannot run here is skipped; in CI a skip would pass for
  // a run that checked nothing, so it fails.
  static bool inCI() {
    const char* ci = std::getenv("CI");
    return ci && std::string(ci) == "true";
  }
  static platform::Display* display_;
};

platform::Display* WindowTest::display_ = nullptr;

}  // namespace

TEST_F(WindowTest, OpensAWindowTwiceTheScreenAndDrawsIntoIt) {
  EXPECT_FALSE(display_->isHeadless());
  int width = 0, height = 0;
  SDL_GetWindowSize(display_->sdlWindow(), &width, &height);
  EXPECT_EQ(width, 960);
  EXPECT_EQ(height, 640);

  LandscapeScreen screen = makeLandscapeScreen();
  screen.glView->setCurrentContext();
  platform::Renderer::shared().clear({1, 0, 0, 1});
  screen.glView->swapBuffers();
  display_->composite();
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  const platform::Picture picture = display_->capture(1);
  EXPECT_EQ(picture.pixel(240, 160)[0], 255);
}

TEST_F(WindowTest, WiderWindowIsLetterboxedAndPointsOnTheBarsAreOffScreen) {
  SDL_SetWindowSize(display_->sdlWindow(), 1200, 640);
  SDL_PumpEvents();
  int width = 0, height = 0;
  SDL_GL_GetDrawableSize(display_->sdlWindow(), &width, &height);
  if (width != 1200) {
    if (inCI()) FAIL() << "the window system kept the window's size: " << width;
    GTEST_SKIP() << "the window system kept the window's size";
  }
  // Two pixels a point, with 120-pixel bars left and right.
  EXPECT_EQ(display_->landscapePointAt(140, 40), (platform::Point{10, 20}));
  EXPECT_FALSE(platform::isOnScreen(display_->landscapePointAt(50, 40)));
  EXPECT_FALSE(platform::isOnScreen(display_->landscapePointAt(1150, 40)));
  SDL_SetWindowSize(display_->sdlWindow(), 960, 640);
}
