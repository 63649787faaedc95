// The GL view the benchmarks draw with: a headless display at one pixel a point and a 480 x 320
// GL view whose context is current, both kept for the whole run, as in the game.
#pragma once

#include <memory>

#include "gl/my_eagl_view.h"

const std::shared_ptr<MyEAGLView>& benchGLView();
