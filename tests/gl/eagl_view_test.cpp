// The GL view's surface: its size, the target it draws into first, rebuilds, contexts,
// conversions and the touches it passes on.
#include <array>

#include <gtest/gtest.h>

#include <SDL2/SDL.h>
#include <nlohmann/json.hpp>

#include "platform/core/application.h"
#include "platform/screen/touch.h"
#include "tests/support/test_display.h"

using platform::GLContext;

namespace {

std::shared_ptr<MyEAGLView> makeView(float width, float height) {
  testDisplay();
  return MyEAGLView::initWithCoder({{"frame", {0, 0, width, height}}});
}

struct ResizeCounter : MyEAGLViewDelegate {
  void didResizeEAGLSurfaceForView(MyEAGLView*) override { ++resizes; }
  int resizes = 0;
};

platform::DrawState& drawState() {
  return platform::Renderer::shared().state();
}

}  // namespace

TEST(MyEAGLViewTest, SurfaceIsTheBoundsRoundedToWholePixels) {
  auto view = makeView(480.4f, 319.6f);
  ASSERT_TRUE(view);
  EXPECT_EQ(view->surfaceSize(), (platform::Size{480, 320}));
  EXPECT_EQ(view->pixelFormat(), platform::ColorFormat::RGB565);
  EXPECT_EQ(view->depthFormat(), 0u);
  EXPECT_NE(view->framebuffer(), 0u);
  EXPECT_FALSE(view->autoresizesSurface());
  EXPECT_TRUE(view->isCurrentContext());
  EXPECT_FALSE(view->layer().contents().texture);  // nothing presented yet
}

TEST(MyEAGLViewTest, FirstSurfaceIsTheTargetAndRebuildsLeaveTheTargetAlone) {
  auto view = makeView(480, 320);
  ASSERT_TRUE(view);
  EXPECT_EQ(drawState().viewport, (platform::PixelBox{0, 0, 480, 320}));
  EXPECT_EQ(drawState().framebuffer, view->framebuffer());  // the first one stays bound

  drawState().framebuffer = 0;
  view->setBounds({{0, 0}, {400, 300}});
  view->setAutoresizesEAGLSurface(true);
  const float scale = platform::Display::shared()->contentsScale();
  EXPECT_EQ(view->surfaceSize(), (platform::Size{400 * scale, 300 * scale}));
  EXPECT_EQ(drawState().viewport, (platform::PixelBox{0, 0, 480, 320}));
  EXPECT_EQ(drawState().framebuffer, 0u);  // the caller's binding is back
}

TEST(MyEAGLViewTest, AutoresizeRebuildsOnlyWhenSetAndTheRoundedSizeChanges) {
  auto view = makeView(480, 320);
  ASSERT_TRUE(view);
  ResizeCounter counter;
  view->setDelegate(&counter);

  view->setBounds({{0, 0}, {300, 200}});
  view->layoutIfNeeded();
  EXPECT_EQ(view->surfaceSize(), (platform::Size{480, 320}));
  EXPECT_EQ(counter.resizes, 0);

  // Autoresizing takes the window's scale: a surface at the screen's own pixels.
  const float scale = platform::Display::shared()->contentsScale();
  view->setAutoresizesEAGLSurface(true);
  EXPECT_EQ(view->surfaceSize(), (platform::Size{300 * scale, 200 * scale}));
  EXPECT_EQ(counter.resizes, 1);

  view->setBounds({{0, 0}, {300 + 0.2f / scale, 200 - 0.2f / scale}});
  view->layoutIfNeeded();
  EXPECT_EQ(counter.resizes, 1);

  view->setBounds({{0, 0}, {301, 200}});
  view->layoutIfNeeded();
  EXPECT_EQ(view->surfaceSize(), (platform::Size{301 * scale, 200 * scale}));
  EXPECT_EQ(counter.resizes, 2);
}

// A new scale (the window resized or taken to fullscreen) rebuilds the surface at the new
// pixels; the old storage is freed, and the last picture shows until the new one is presented.
TEST(MyEAGLViewTest, AScaleChangeRebuildsTheSurfaceFreesTheOldAndNeverShowsNothing) {
  platform::Display& display = testDisplay();
  LandscapeScreen screen = makeLandscapeScreen();
  MyEAGLView& view = *screen.glView;
  view.setAutoresizesEAGLSurface(true);
  const float before = display.contentsScale();
  platform::Renderer& renderer = platform::Renderer::shared();
  const auto centre = [&display] {
    const platform::Picture shot = display.capture(1);
    const uint8_t* p = shot.pixel(240, 160);
    return std::array<int, 3>{p[0], p[1], p[2]};
  };
  // The rebuilt surface is bound again, as the game's delegate does.
  const auto drawInSurface = [&](platform::Color colour) {
    renderer.state().framebuffer = view.framebuffer();
    renderer.state().viewport = {0, 0, static_cast<GLsizei>(view.surfaceSize().width),
                                 static_cast<GLsizei>(view.surfaceSize().height)};
    renderer.clear(colour);
    view.swapBuffers();
  };
  drawInSurface({1, 0, 0, 1});
  const GLuint oldFramebuffer = view.framebuffer();
  const GLuint oldTexture = view.layer().contents().texture;
  GLint oldRenderbuffer = 0;
  renderer.bindFramebuffer(oldFramebuffer);
  glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0,
                                        GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME, &oldRenderbuffer);
  ASSERT_NE(oldRenderbuffer, 0);

  SDL_SetWindowSize(display.sdlWindow(), 480 * 3, 320 * 3);
  ASSERT_EQ(display.contentsScale(), 3) << "the offscreen window could not be resized";
  display.layoutIfNeeded();
  view.layoutIfNeeded();
  EXPECT_EQ(view.surfaceSize(), (platform::Size{1440, 960}));
  EXPECT_EQ(glIsRenderbuffer(static_cast<GLuint>(oldRenderbuffer)), GL_FALSE);
  EXPECT_EQ(glIsFramebuffer(oldFramebuffer), GL_FALSE);
  EXPECT_EQ(glIsTexture(oldTexture), GL_FALSE);
  EXPECT_EQ(centre(), (std::array<int, 3>{255, 0, 0}));  // still on show
  drawInSurface({0, 0, 1, 1});
  EXPECT_EQ(centre(), (std::array<int, 3>{0, 0, 255}));

  SDL_SetWindowSize(display.sdlWindow(), static_cast<int>(480 * before),
                    static_cast<int>(320 * before));
  display.layoutIfNeeded();
}

TEST(MyEAGLViewTest, SwapBuffersLeavesAnotherCurrentContextCurrent) {
  auto first = makeView(480, 320);
  auto second = makeView(480, 320);
  ASSERT_TRUE(first && second);
  first->setCurrentContext();
  platform::Renderer::shared().clear({1, 0, 0, 1});
  second->setCurrentContext();
  first->swapBuffers();
  EXPECT_TRUE(second->isCurrentContext());
  EXPECT_FALSE(first->isCurrentContext());
  EXPECT_TRUE(first->layer().contents().texture);  // the frame was presented all the same

  second->clearCurrentContext();
  EXPECT_EQ(GLContext::currentContext(), nullptr);
}

TEST(MyEAGLViewTest, MalformedDescriptionsAndEmptySurfacesGiveNoView) {
  testDisplay();
  EXPECT_FALSE(MyEAGLView::initWithCoder({{"frame", {0, 0, 480}}}));
  EXPECT_FALSE(MyEAGLView::initWithCoder({{"frame", "wide"}}));
  EXPECT_FALSE(MyEAGLView::initWithCoder(nlohmann::json::array()));
  EXPECT_FALSE(MyEAGLView::initWithCoder({{"frame", {0, 0, 0.4, 320}}}));
  // Numbers no frame or tag can hold are refused, not converted.
  testing::internal::CaptureStderr();
  EXPECT_FALSE(MyEAGLView::initWithCoder({{"frame", {0, 0, 1e30, 320}}}));
  EXPECT_FALSE(MyEAGLView::initWithCoder({{"frame", {-1e300, 0, 480, 320}}}));
  EXPECT_FALSE(MyEAGLView::initWithCoder({{"frame", {0, 0, 480, 320}}, {"tag", -1e300}}));
  EXPECT_FALSE(MyEAGLView::initWithCoder({{"frame", {0, 0, 480, 320}}, {"tag", 4294967297}}));
  EXPECT_NE(testing::internal::GetCapturedStderr().find("malformed"), std::string::npos);
  // Within a file's bounds but beyond the largest renderbuffer the driver makes.
  EXPECT_FALSE(MyEAGLView::initWithCoder({{"frame", {0, 0, 90000, 320}}}));
  const auto clamped = MyEAGLView::initWithCoder({{"frame", {0, 0, 48, 32}}, {"alpha", 1e300}});
  ASSERT_TRUE(clamped);
  EXPECT_EQ(clamped->alpha(), 1.0f);
}

TEST(MyEAGLViewTest, ConvertsViewCoordinatesToSurfacePixelsWithoutFlipping) {
  auto view = makeView(480, 320);
  ASSERT_TRUE(view);
  view->setBounds({{0, 0}, {240, 160}});  // the surface stays 480 x 320
  EXPECT_EQ(view->convertPointFromViewToSurface({60, 40}), (platform::Point{120, 80}));
  EXPECT_EQ(view->convertRectFromViewToSurface({{60, 40}, {24, 16}}),
            (platform::Rect{{120, 80}, {48, 32}}));
}

namespace {

struct TapRecorder : platform::ApplicationDelegate, TapHandler {
  void handleTap(const platform::TouchSet& touches) override {
    taps.push_back(touches.front()->locationInView(nullptr));
  }
  std::vector<platform::Point> taps;
};

}  // namespace

TEST(MyEAGLViewTest, TouchEndsAndOnlyTouchEndsReachTheGame) {
  LandscapeScreen screen = makeLandscapeScreen();
  TapRecorder game;
  platform::Application::shared().setDelegate(&game);
  auto& router = platform::TouchRouter::shared();
  router.deliver(7, platform::TouchPhase::Began, {100, 200});
  router.deliver(7, platform::TouchPhase::Moved, {110, 200});
  EXPECT_TRUE(game.taps.empty());
  router.deliver(7, platform::TouchPhase::Ended, {120, 210});
  ASSERT_EQ(game.taps.size(), 1u);
  EXPECT_EQ(game.taps[0], (platform::Point{120, 210}));
  platform::Application::shared().setDelegate(nullptr);
}
