// SDL video and the one GL context everything draws with. The compositor has a drawing state of
// its own, as every GL context has, so it never disturbs the game's.
#include "platform/screen/display.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <numbers>

#include "platform/graphics/gl.h"
#include "platform/screen/compositor.h"
#include "platform/screen/view.h"

namespace platform {
namespace {

Display* sDisplay = nullptr;

// Game pads' motion sensors; a browser tells of none.
#ifdef __EMSCRIPTEN__
constexpr Uint32 kSensors = 0;
#else
constexpr Uint32 kSensors = SDL_INIT_SENSOR;
#endif

// SDL's offscreen driver for a headless display; false, after saying why, when a window was asked
// for and there is no display to open it on. The page's canvas is always there, whether a player
// or a replay looks at it.
bool chooseVideoDriver(const DisplayOptions& options) {
#ifndef __EMSCRIPTEN__
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  if (options.headless) {
    SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "offscreen", SDL_HINT_OVERRIDE);
  } else if (!(x11 && *x11) && !(wayland && *wayland) && !std::getenv("SDL_VIDEODRIVER")) {
    std::fprintf(stderr,
                 "tidewick: there is no display to open a window on; run again with --headless "
                 "to run without one, or start it under Xvfb.\n");
    return false;
  }
#else
  (void)options;
#endif
  return true;
}

// GL ES 2.0: WebGL 1 in the page, which every browser with WebGL has. The page's shell makes the
// WebGL context with the attributes SDL asks for from these, its default depth buffer included (a
// page without one missed taps under load in headless Chromium).
void requestGLES2() {
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_ES);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
}

}  // namespace

std::unique_ptr<Display> Display::open(const DisplayOptions& options) {
  if (sDisplay) return nullptr;
  if (!chooseVideoDriver(options)) return nullptr;
  // Fingers and the mouse are told apart by us; SDL must not turn one into the other.
  SDL_SetHint(SDL_HINT_TOUCH_MOUSE_EVENTS, "0");
  SDL_SetHint(SDL_HINT_MOUSE_TOUCH_EVENTS, "0");
  SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
#ifdef __EMSCRIPTEN__
  // A page's events arrive between the browser's tasks, never while the loop polls, so no poll
  // can go on for ever; the sentinel SDL would add to every poll costs a clock read, dear there.
  SDL_SetHint(SDL_HINT_POLL_SENTINEL, "0");
#endif
  const Uint32 subsystems =
      SDL_INIT_VIDEO | (options.headless ? 0 : SDL_INIT_GAMECONTROLLER | kSensors);
  if (SDL_InitSubSystem(subsystems) != 0) {
    std::fprintf(stderr, "tidewick: cannot start the video: %s\n", SDL_GetError());
    return nullptr;
  }
  // SDL falls back to drawing off screen when no window system answers; a player asked for a
  // window, so a display that does not answer is said, not hidden.
  const char* driver = SDL_GetCurrentVideoDriver();
  if (!options.headless && !std::getenv("SDL_VIDEODRIVER") && driver &&
      (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0)) {
    const char* x11 = std::getenv("DISPLAY");
    std::fprintf(stderr,
                 "tidewick: the display %s does not answer; run again with --headless to run "
                 "without one.\n",
                 x11 && *x11 ? x11 : std::getenv("WAYLAND_DISPLAY"));
    SDL_QuitSubSystem(subsystems);
    return nullptr;
  }

  std::unique_ptr<Display> display(new Display(options));
  display->options_.scale = std::max(1, options.scale);
  requestGLES2();
  const int scale = display->options_.scale;
  Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI;
  if (options.fullscreen) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
  if (options.headless) flags |= SDL_WINDOW_HIDDEN;
  display->window_ = SDL_CreateWindow("Tidewick", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                      static_cast<int>(kLandscapeSize.width) * scale,
                                      static_cast<int>(kLandscapeSize.height) * scale, flags);
  if (!display->window_) {
    std::fprintf(stderr, "tidewick: cannot open a window: %s\n", SDL_GetError());
    return nullptr;
  }
  SDL_SetWindowMinimumSize(display->window_, static_cast<int>(kLandscapeSize.width) / 2,
                           static_cast<int>(kLandscapeSize.height) / 2);
  display->context_ = SDL_GL_CreateContext(display->window_);
  if (!display->context_) {
    std::fprintf(stderr, "tidewick: cannot get OpenGL ES 2.0: %s\n", SDL_GetError());
    return nullptr;
  }
  Renderer::shared().contextChanged();
  // A window waits for the screen's refresh (adaptive where the driver offers it) so that no
  // picture tears; headless nothing waits. The page draws once an animation frame of the
  // browser's.
#ifndef __EMSCRIPTEN__
  if (options.headless || (SDL_GL_SetSwapInterval(-1) != 0 && SDL_GL_SetSwapInterval(1) != 0)) {
    SDL_GL_SetSwapInterval(0);
  }
#endif
  sDisplay = display.get();
  return display;
}

Display* Display::shared() {
  return sDisplay;
}

void turnToLandscape(View& view) {
  view.setTransform(AffineTransform::rotation(std::numbers::pi_v<float> / 2));
  view.setCenter({Window::kScreenSize.width / 2, Window::kScreenSize.height / 2});
}

Display::~Display() {
  if (sDisplay == this) sDisplay = nullptr;
  Renderer::shared().contextChanged();
#ifndef __EMSCRIPTEN__
  // The page's one context lives as long as the page: deleting it leaves later GL calls none.
  if (context_) SDL_GL_DeleteContext(context_);
#endif
  if (window_) SDL_DestroyWindow(window_);
  SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_GAMECONTROLLER | kSensors);
}

void Display::toggleFullscreen() {
  const bool fullscreen = SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN;
  SDL_SetWindowFullscreen(window_, fullscreen ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
  Layer::screenChanged();
}

Display::Letterbox Display::letterbox() const {
  int width = 0, height = 0;
  SDL_GL_GetDrawableSize(window_, &width, &height);
  const float scale = std::min(width / kLandscapeSize.width, height / kLandscapeSize.height);
  const int w = static_cast<int>(std::lround(kLandscapeSize.width * scale));
  const int h = static_cast<int>(std::lround(kLandscapeSize.height * scale));
  return {(width - w) / 2, (height - h) / 2, w, h, scale};
}

float Display::contentsScale() const {
  return letterbox().scale;
}

double Display::refreshRate() const {
  if (options_.refreshRate > 0) return options_.refreshRate;
  SDL_DisplayMode mode;
  const int index = SDL_GetWindowDisplayIndex(window_);
  if (index >= 0 && SDL_GetCurrentDisplayMode(index, &mode) == 0 && mode.refresh_rate > 0) {
    return mode.refresh_rate;
  }
  return 60;
}

bool Display::isShowing() const {
  const Uint32 flags = SDL_GetWindowFlags(window_);
  return !(flags & SDL_WINDOW_MINIMIZED) && (options_.headless || !(flags & SDL_WINDOW_HIDDEN));
}

void Display::layoutIfNeeded() {
  Window* root = Window::keyWindow();
  if (!root) return;
  const float scale = contentsScale();
  // A minimised window has no pixels: its views keep the scale they had.
  if (scale > 0 && scale != laidOutScale_) {
    laidOutScale_ = scale;
    root->setNeedsLayoutEverywhere();
  }
  root->layoutIfNeeded();
}

Point Display::landscapePointAt(int windowX, int windowY) const {
  int windowWidth = 0, windowHeight = 0, drawableWidth = 0, drawableHeight = 0;
  SDL_GetWindowSize(window_, &windowWidth, &windowHeight);
  SDL_GL_GetDrawableSize(window_, &drawableWidth, &drawableHeight);
  if (windowWidth <= 0 || windowHeight <= 0) return {-1, -1};
  // Window coordinates to drawable pixels (they differ on high-density screens), top down.
  const float px = windowX * static_cast<float>(drawableWidth) / windowWidth;
  const float py = windowY * static_cast<float>(drawableHeight) / windowHeight;
  const Letterbox box = letterbox();
  const float top = static_cast<float>(drawableHeight - box.y - box.height);
  return {(px - box.x) / box.scale, (py - top) / box.scale};
}

float Display::windowUnitsPerPoint() const {
  int windowWidth = 0, windowHeight = 0, drawableWidth = 0, drawableHeight = 0;
  SDL_GetWindowSize(window_, &windowWidth, &windowHeight);
  SDL_GL_GetDrawableSize(window_, &drawableWidth, &drawableHeight);
  if (drawableWidth <= 0) return 1;
  return letterbox().scale * static_cast<float>(windowWidth) / static_cast<float>(drawableWidth);
}

template <typename Draw>
void Display::withCompositor(Draw draw) {
  Renderer& renderer = Renderer::shared();
  DrawState* caller = &renderer.state();
  renderer.use(&compositor_);
  draw();
  renderer.use(caller);
}

void Display::compositeIfNeeded() {
  if (Layer::screenRevision() != composited_) composite();
}

void Display::composite() {
  composited_ = Layer::screenRevision();
  Window* root = Window::keyWindow();
  withCompositor([&] {
    Renderer& renderer = Renderer::shared();
    compositor_.framebuffer = 0;
    compositor_.scissor.reset();
    renderer.clear(Color::black());
    if (root) {
      const Letterbox box = letterbox();
      compositor_.viewport = {box.x, box.y, box.width, box.height};
      compositeViews(*root, box.scale != std::floor(box.scale), std::ceil(box.scale));
    }
    renderer.flush();
    // A page's picture goes to the screen when its frame returns: a swap there would only ask
    // WebGL whether the context was lost.
#ifndef __EMSCRIPTEN__
    SDL_GL_SwapWindow(window_);
#endif
  });
}

Picture Display::capture(int scale) {
  scale = std::max(1, scale);
  Picture picture;
  picture.width = static_cast<int>(kLandscapeSize.width) * scale;
  picture.height = static_cast<int>(kLandscapeSize.height) * scale;
  picture.rgba.resize(static_cast<size_t>(picture.width) * picture.height * 4);
  withCompositor([&] {
    // Drawn into a texture: every GL ES 2.0 and WebGL 1 can draw into RGBA bytes there.
    Renderer& renderer = Renderer::shared();
    const GLuint texture = renderer.newTexture(GL_NEAREST, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, picture.width, picture.height, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, nullptr);
    GLuint framebuffer = 0;
    glGenFramebuffers(1, &framebuffer);
    renderer.bindFramebuffer(framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
    compositor_.framebuffer = framebuffer;
    compositor_.viewport = {0, 0, picture.width, picture.height};
    compositor_.scissor.reset();
    renderer.clear(Color::black());
    if (Window* root = Window::keyWindow()) {
      compositeViews(*root, false, static_cast<float>(scale));
    }
    renderer.bindFramebuffer(framebuffer);
    // GL's rows run bottom up; the picture's top down.
    const size_t row = static_cast<size_t>(picture.width) * 4;
    std::vector<uint8_t> flipped(picture.rgba.size());
    glReadPixels(0, 0, picture.width, picture.height, GL_RGBA, GL_UNSIGNED_BYTE, flipped.data());
    for (int y = 0; y < picture.height; ++y) {
      std::copy_n(&flipped[(picture.height - 1 - y) * row], row, &picture.rgba[y * row]);
    }
    renderer.deleteFramebuffer(framebuffer);
    renderer.deleteTexture(texture);
  });
  return picture;
}

bool Display::writeScreenshot(const std::string& path, int scale) {
  return writePng(path, capture(scale));
}

}  // namespace platform
