// What reaches the screen: a frame drawn through the GL view appears upright and unmirrored in
// the landscape screenshot at any scale, views hide and fade, and compositing leaves the game's
// drawing state alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
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

// A 2 x 2 texture of half-transparent white and opaque red, yellow and green texels, drawn by
// alpha over a blue frame in a quad from (100, 60) to (300, 260) of the surface.
GLuint drawTexturedFrame(MyEAGLView& view) {
  view.setCurrentContext();
  platform::Renderer& renderer = platform::Renderer::shared();
  const GLuint texture = renderer.newTexture(GL_LINEAR, GL_CLAMP_TO_EDGE);
  const uint8_t texels[] = {255, 255, 255, 128, 255, 0, 0, 255, 255, 255, 0, 255, 0, 255, 0, 255};
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
  platform::DrawState& state = renderer.state();
  state.projection = platform::orthographic(0, 480, 0, 320);
  state.transform = {};
  state.color = platform::Color::white();
  state.blend = platform::Blend::Off;
  renderer.clear({0, 0, 1, 1});
  state.blend = platform::Blend::Alpha;
  renderer.drawQuad(texture, {platform::Point{100, 60}, {300, 60}, {100, 260}, {300, 260}},
                    {platform::Point{0, 0}, {1, 0}, {0, 1}, {1, 1}});
  state.blend = platform::Blend::Off;
  view.swapBuffers();
  return texture;
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

// A frame that covers the screen at its pixels is drawn straight onto it; at any other scale it
// goes through its layer's texture. Both show the same picture, up to the 16-bit surface's
// rounding, and the screen stays opaque under half-transparent drawing.
TEST(CompositorTest, AFrameDrawnStraightShowsWhatItsTextureShows) {
  LandscapeScreen screen = makeLandscapeScreen();
  drawTexturedFrame(*screen.glView);
  const platform::Picture straight = testDisplay().capture(1);
  const platform::Picture throughTexture = testDisplay().capture(2);
  int worst = 0;
  for (int y = 0; y < 320; ++y) {
    for (int x = 0; x < 480; ++x) {
      const uint8_t* a = straight.pixel(x, y);
      const uint8_t* b = throughTexture.pixel(2 * x, 2 * y);
      for (int c = 0; c < 3; ++c) worst = std::max(worst, std::abs(a[c] - b[c]));
      ASSERT_EQ(a[3], 255) << "at " << x << "," << y;
    }
  }
  EXPECT_LE(worst, 8);
  expectColour(straight, 10, 10, 0, 0, 255);
  expectColour(straight, 290, 70, 0, 255, 0);  // the green texel, top right of the quad
}

// The frame on show keeps the textures it draws: one deleted after its frame was presented goes
// only when a new frame replaces that one.
TEST(CompositorTest, ATextureDeletedWhileItsFrameShowsGoesWithTheFrame) {
  LandscapeScreen screen = makeLandscapeScreen();
  const GLuint texture = drawTexturedFrame(*screen.glView);
  platform::Renderer& renderer = platform::Renderer::shared();
  renderer.deleteTexture(texture);
  EXPECT_EQ(glIsTexture(texture), GL_TRUE);
  expectColour(testDisplay().capture(1), 290, 70, 0, 255, 0);
  expectColour(testDisplay().capture(2), 580, 140, 0, 255, 0);

  renderer.clear({1, 0, 0, 1});
  screen.glView->swapBuffers();
  EXPECT_EQ(glIsTexture(texture), GL_FALSE);
  expectColour(testDisplay().capture(1), 290, 70, 255, 0, 0);
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
