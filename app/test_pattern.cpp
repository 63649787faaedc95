// The pattern is cleared rectangles only, so it needs nothing but the GL view itself.
#include "app/test_pattern.h"

#include <cmath>

#include <nlohmann/json.hpp>

#include "platform/display.h"

namespace {

constexpr int kWidth = 480, kHeight = 320, kCorner = 40;

// A rectangle of one colour, in GL's pixels (origin bottom-left).
void fill(int x, int y, int w, int h, float r, float g, float b) {
  glScissor(x, y, w, h);
  glClearColor(r, g, b, 1);
  glClear(GL_COLOR_BUFFER_BIT);
}

}  // namespace

TestPattern::~TestPattern() {
  platform::Accelerometer::shared().setDelegate(nullptr);
}

void TestPattern::applicationDidFinishLaunching(platform::Application&) {
  window_ = std::make_shared<platform::Window>();
  glView_ = MyEAGLView::initWithCoder({{"frame", {0, 0, kWidth, kHeight}}});
  if (glView_) {
    platform::turnToLandscape(*glView_);
    window_->addSubview(glView_);
  }
  window_->makeKeyAndVisible();
  platform::Accelerometer::shared().setUpdateInterval(0.04);
  platform::Accelerometer::shared().setDelegate(this);
  draw();
}

void TestPattern::accelerometer(platform::Accelerometer&, const platform::Acceleration& a) {
  if (a.y == tilt_) return;
  tilt_ = a.y;
  draw();
}

void TestPattern::handleTap(const platform::TouchSet& touches) {
  if (touches.empty()) return;
  const platform::Point landscape =
      platform::landscapePointFromWindow(touches.front()->locationInView(nullptr));
  taps_.push_back({landscape.x, kHeight - landscape.y});
  if (taps_.size() > 8) taps_.erase(taps_.begin());
  draw();
}

void TestPattern::draw() {
  if (!glView_) return;
  glEnable(GL_SCISSOR_TEST);
  fill(0, 0, kWidth, kHeight, 0.11f, 0.44f, 0.64f);
  fill(0, kHeight - kCorner, kCorner, kCorner, 1, 0, 0);                 // top left: red
  fill(kWidth - kCorner, kHeight - kCorner, kCorner, kCorner, 0, 1, 0);  // top right: green
  fill(0, 0, kCorner, kCorner, 0, 0, 1);                                 // bottom left: blue
  fill(kWidth - kCorner, 0, kCorner, kCorner, 1, 1, 0);                  // bottom right: yellow
  fill(kCorner, 100, kWidth - 2 * kCorner, 4, 0.91f, 0.79f, 0.55f);      // the beach line
  // Where the crab would stand for this tilt.
  const int crab = static_cast<int>(std::lround(std::clamp(240 - 480 * tilt_, 0.0, 480.0)));
  fill(crab - 15, 60, 30, 30, 0.91f, 0.33f, 0.23f);
  for (const platform::Point& tap : taps_) {
    fill(static_cast<int>(tap.x) - 4, static_cast<int>(tap.y) - 4, 8, 8, 1, 1, 1);
  }
  glScissor(0, 0, kWidth, kHeight);
  glDisable(GL_SCISSOR_TEST);
  glView_->swapBuffers();
}
