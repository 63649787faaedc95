// The desktop window that shows the phone's screen: SDL video, the compositor's GL context, the
// landscape turn, scaling with letterboxing, fullscreen and screenshots.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/core/geometry.h"
#include "platform/graphics/picture.h"
#include "platform/graphics/renderer.h"

struct SDL_Window;

namespace platform {

struct DisplayOptions {
  int scale = 2;  // window pixels per point
  bool fullscreen = false;
  bool headless = false;   // SDL's offscreen driver: real GL, no window
  double refreshRate = 0;  // frames a second; 0: the screen's own
};

// The landscape screen the player sees is the phone's portrait screen turned landscape-right.
constexpr Size kLandscapeSize{480, 320};
constexpr Point windowPointFromLandscape(Point p) {
  return {320 - p.y, p.x};
}
constexpr Point landscapePointFromWindow(Point p) {
  return {p.y, 320 - p.x};
}
constexpr bool isOnScreen(Point landscape) {
  return landscape.x >= 0 && landscape.y >= 0 && landscape.x < kLandscapeSize.width &&
         landscape.y < kLandscapeSize.height;
}
constexpr Point clampToScreen(Point landscape) {
  return {landscape.x < 0                      ? 0
          : landscape.x > kLandscapeSize.width ? kLandscapeSize.width
                                               : landscape.x,
          landscape.y < 0                       ? 0
          : landscape.y > kLandscapeSize.height ? kLandscapeSize.height
                                                : landscape.y};
}

class View;

// Turns a landscape view (bounds 480 x 320) a quarter and centres it on the portrait screen, so
// that it fills the landscape screen upright.
void turnToLandscape(View& view);

class Display {
 public:
  // Opens SDL video with the GL ES 2.0 context everything draws with. Answers null, after saying
  // why on stderr, when there is no display to open.
  static std::unique_ptr<Display> open(const DisplayOptions& options);
  // The open display, or null.
  static Display* shared();
  ~Display();

  bool isHeadless() const { return options_.headless; }
  // Drawable pixels per point of the landscape screen as the window shows it now: fractional
  // when the window is not a whole multiple of 480 x 320 (fullscreen, say).
  float contentsScale() const;
  // The screen's refresh rate in frames a second (60 when the system does not say); the one
  // given in the options when set.
  double refreshRate() const;
  // Not minimised, and shown (a headless display counts as shown).
  bool isShowing() const;
  // Lays the key window out, first marking every view for layout when the window's scale
  // changed since the last time: views that draw at the screen's pixels rebuild then.
  void layoutIfNeeded();
  void toggleFullscreen();

  // The landscape point under a position in the window's own coordinates (as input events give
  // them); off the screen when the position is on the letterbox.
  Point landscapePointAt(int windowX, int windowY) const;
  // How many of the window's own units (a page's CSS pixels) one screen point spans.
  float windowUnitsPerPoint() const;
  // How wide a fingertip lands, in screen points: 44 of the window's units (a page's CSS pixels,
  // a phone's own points), whatever the screen's scale.
  float fingertipReach() const { return 44 / windowUnitsPerPoint(); }

  // Draws the key window when anything shown changed since the last time.
  void compositeIfNeeded();
  void composite();
  // The composited screen in landscape at `scale` pixels per point.
  Picture capture(int scale);
  bool writeScreenshot(const std::string& path, int scale);

  // The window, for the tests' and benchmarks' sizes.
  SDL_Window* sdlWindow() const { return window_; }

 private:
  explicit Display(const DisplayOptions& options) : options_(options) {}
  struct Letterbox {
    int x, y, width, height;  // in drawable pixels, GL's origin bottom-left
    float scale;              // drawable pixels per point
  };
  Letterbox letterbox() const;
  // Runs `draw` with the compositor's drawing state current, then gives the caller its own back.
  template <typename Draw>
  void withCompositor(Draw draw);

  DisplayOptions options_;
  SDL_Window* window_ = nullptr;
  void* context_ = nullptr;  // the one GL context, current from the opening to the end
  DrawState compositor_;
  uint64_t composited_ = UINT64_MAX;
  float laidOutScale_ = 0;
};

}  // namespace platform
