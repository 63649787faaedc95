// What reaches the screen: a frame drawn through the GL view appears upright and unmirrored in
// the landscape screenshot at any scale, views hide and fade, and compositing leaves the game's
// drawing state alone.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/screen/gl_context.h"
#include "tests/support/scratch.h"
#include "tests/support/test_display.h"

namespace {

// Marks GL's top-left corner red, its top-right green, over blue.
void drawCornerFrame(MyEAGLView& view) {
  view.setCurrentContext();
  platform::Renderer& renderer = platform::Renderer::shared();
  const struct {
    GLint x, y;
    float r, g, b;
  } fills[] = {{0, 0, 0, 0, 1}, {0, 280, 1, 0, 0}, {440, 280, 0, 1, 0}};
  for (int i = 0; i < 3; ++i) {
    const auto& f = fills[i];
    renderer.state().scissor = platform::PixelBox{f.x, f.y, i == 0 ? 480 : 40, i == 0 ? 320 : 40};
    renderer.clear({f.r, f.g, f.b, 1});
  }
  renderer.state().scissor.reset();
  view.swapBuffers();
}

void expectColour(const platform::Picture& picture, int x, int y, int r, int g, int b) {
  const uint8_t* p = picture.pixel(x, y);
  EXPECT_NEAR(p[0], r, 8) << "at " << x << "," << y;
  EXPECT_NEAR(p[1], g, 8) << "at " << x << "," << y;
  EXPECT_NEAR(p[2], b, 8) << "at " << x << "," << y;
}

}  // namespace

TEST(CompositorTest, FrameShowsItsTopLeftCornerTopLeftAtEveryScale) {
  LandscapeScreen screen = makeLandscapeScreen();
  drawCornerFrame(*screen.glView);
  for (int scale : {1, 2}) {
    const platform::Picture picture = testDisplay().capture(scale);
    ASSERT_EQ(picture.width, 480 * scale);
    ASSERT_EQ(picture.height, 320 * scale);
    const int edge = 40 * scale;
    expectColour(picture, 0, 0, 255, 0, 0);
    expectColour(picture, edge - 1, edge - 1, 255, 0, 0);
    expectColour(picture, edge, edge, 0, 0, 255);
    expectColour(picture, picture.width - 1, 0, 0, 255, 0);
    expectColour(picture, picture.width - edge - 1, 0, 0, 0, 255);
    expectColour(picture, 0, picture.height - 1, 0, 0, 255);
    expectColour(picture, picture.width - 1, picture.height - 1, 0, 0, 255);
  }
}

TEST(CompositorTest, HiddenAndFadedViewsAndAMissingWindow) {
  LandscapeScreen screen = makeLandscapeScreen();
  drawCornerFrame(*screen.glView);
  screen.glView->setAlpha(0.5f);
  expectColour(testDisplay().capture(1), 100, 100, 0, 0, 128);
  screen.glView->setHidden(true);
  expectColour(testDisplay().capture(1), 100, 100, 0, 0, 0);
  screen.glView->setHidden(false);
  screen.window.reset();  // no key window: a black screen
  expectColour(testDisplay().capture(1), 100, 100, 0, 0, 0);
}

// The compositor draws with the same GL context as the game, with a drawing state of its own.
TEST(CompositorTest, LeavesTheGameContextCurrentWithItsDrawingState) {
  LandscapeScreen screen = makeLandscapeScreen();
  drawCornerFrame(*screen.glView);
  platform::Renderer& renderer = platform::Renderer::shared();
  renderer.state().viewport = {3, 4, 50, 60};
  renderer.state().blend = platform::Blend::Alpha;
  renderer.state().projection = platform::orthographic(0, 480, 0, 320);
  const platform::DrawState game = renderer.state();
  const uint64_t before = platform::Layer::screenRevision();
  screen.glView->swapBuffers();
  EXPECT_GT(platform::Layer::screenRevision(), before);
  testDisplay().composite();
  testDisplay().capture(2);

  EXPECT_TRUE(screen.glView->isCurrentContext());
  const platform::DrawState& after = renderer.state();
  EXPECT_EQ(after.framebuffer, screen.glView->framebuffer());
  EXPECT_EQ(after.viewport, game.viewport);
  EXPECT_EQ(after.blend, game.blend);
  EXPECT_EQ(after.projection, game.projection);
  // And the game's next drawing lands in its own surface.
  renderer.clear({1, 1, 0, 1});
  const std::vector<uint8_t> pixel = readDrawn(10, 10, 1, 1);
  EXPECT_EQ(pixel[0], 255);
  EXPECT_EQ(pixel[1], 255);
  EXPECT_EQ(pixel[2], 0);
}

TEST(CompositorTest, ScreenshotIsWrittenAsPng) {
  LandscapeScreen screen = makeLandscapeScreen();
  drawCornerFrame(*screen.glView);
  const auto path = scratchPath("compositor-test.png");
  ASSERT_TRUE(testDisplay().writeScreenshot(path, 1));
  EXPECT_GT(std::filesystem::file_size(path), 100u);
  std::filesystem::remove(path);
  testing::internal::CaptureStderr();
  EXPECT_FALSE(testDisplay().writeScreenshot("/nonexistent-folder/shot.png", 1));
  EXPECT_NE(testing::internal::GetCapturedStderr().find("could not write"), std::string::npos);
}
