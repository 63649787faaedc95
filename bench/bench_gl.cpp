// Opened on first use, never closed: the benchmarks share them to the end.
#include "bench/bench_gl.h"

#include <nlohmann/json.hpp>

#include "platform/graphics/gl.h"
#include "platform/screen/display.h"

const std::shared_ptr<MyEAGLView>& benchGLView() {
  static std::unique_ptr<platform::Display> display =
      platform::Display::open({.scale = 1, .headless = true});
  static std::shared_ptr<MyEAGLView> view =
      MyEAGLView::initWithCoder({{"frame", {0, 0, 480, 320}}});
  return view;
}

void handToRasteriser() {
  glFlush();
}
