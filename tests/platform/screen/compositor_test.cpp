// What reaches the screen: a frame drawn through the GL view appears upright and unmirrored in
// the landscape screenshot at any scale, views hide and fade, and compositing leaves the game's
// GL state alone.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/screen/gl_context.h"
#include "tests/support/scratch.h"
#include "tests/support/test_display.h"

using namespace oes;

namespace {

// Marks GL's top-left corner red, its top-right green, over blue.
void drawCornerFrame(MyEAGLView& view) {
  view.setCurrentContext();
  glEnable(GL_SCISSOR_TEST);
  const struct {
    GLint x, y;
    GLfloat r, g, b;
  } fills[] = {{0, 0, 0, 0, 1}, {0, 280, 1, 0, 0}, {440, 280, 0, 1, 0}};
  for (int i = 0; i < 3; ++i) {
    const auto& f = fills[i];
    if (i == 0) {
      glScissor(0, 0, 480, 320);
    } else {
      glScissor(f.x, f.y, 40, 40);
    }
    glClearColor(f.r, f.g, f.b, 1);
    glClear(GL_COLOR_BUFFER_BIT);
  }
  glScissor(0, 0, 480, 320);
  glDisable(GL_SCISSOR_TEST);
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

TEST(CompositorTest, LeavesTheGameContextCurrentWithItsBindingsAndViewport) {
  LandscapeScreen screen = makeLandscapeScreen();
  drawCornerFrame(*screen.glView);
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glViewport(3, 4, 50, 60);
  const uint64_t before = platform::Layer::screenRevision();
  screen.glView->swapBuffers();
  EXPECT_GT(platform::Layer::screenRevision(), before);
  testDisplay().composite();
  testDisplay().capture(2);

  EXPECT_TRUE(screen.glView->isCurrentContext());
  GLint bound = 0, framebuffer = 0, viewport[4] = {};
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  glGetIntegerv(GL_FRAMEBUFFER_BINDING_OES, &framebuffer);
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(static_cast<GLuint>(bound), texture);
  EXPECT_EQ(static_cast<GLuint>(framebuffer), screen.glView->framebuffer());
  EXPECT_EQ(viewport[0], 3);
  EXPECT_EQ(viewport[3], 60);
  glDeleteTextures(1, &texture);
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
