// The GL view the benchmarks draw with: a headless display at one pixel a point and a 480 x 320
// GL view whose context is current, both kept for the whole run, as in the game; and the flush a
// window's swap would make.
#pragma once

#include <memory>

#include "gl/my_eagl_view.h"

const std::shared_ptr<MyEAGLView>& benchGLView();

// What a window's swap does with each picture: hands it to the rasteriser. A headless surface's
// swap hands over nothing, and llvmpipe then drops a picture the next clear covers before it was
// ever filled in, so a benchmark that did not flush would time pictures never drawn.
void handToRasteriser();
