// The headless display the GL tests share (one per process, as in the game), and a GL view
// set up as the launch sets it up: 480 x 320, a quarter turn, centred on the portrait screen.
#pragma once

#include <memory>
#include <vector>

#include "gl/my_eagl_view.h"
#include "platform/graphics/renderer.h"
#include "platform/screen/display.h"
#include "platform/screen/view.h"

// The display already open, or a headless one at `scale`.
platform::Display& testDisplay(int scale = 2);

struct LandscapeScreen {
  std::shared_ptr<platform::Window> window;
  std::shared_ptr<MyEAGLView> glView;
};
LandscapeScreen makeLandscapeScreen();

// Makes the GL view's context current with the scene's drawing state: x over 0 to 480 and y
// over 0 to 320 points, blending off, in white, cleared to black.
void startSceneFrame(MyEAGLView& view);

// The RGBA pixels of a box of what the current context has drawn, rows bottom first.
std::vector<uint8_t> readDrawn(int x, int y, int width, int height);
