// One present of a frame of the 480 x 320 screen through the GL view plus the composite that
// puts it on the window, at the window scale given by --scale=N (1: 480 x 320, 2: 960 x 640),
// the surface at the window's pixels, on whatever GL the display has (llvmpipe when headless).
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include <nlohmann/json.hpp>

#include "bench/bench_gl.h"
#include "gl/my_eagl_view.h"
#include "platform/screen/display.h"

namespace {

int sScale = 1;

void BM_PresentAndComposite(benchmark::State& state) {
  auto display = platform::Display::open({.scale = sScale, .headless = true});
  if (!display) {
    state.SkipWithError("no display");
    return;
  }
  auto window = std::make_shared<platform::Window>();
  auto view = MyEAGLView::initWithCoder({{"frame", {0, 0, 480, 320}}});
  platform::turnToLandscape(*view);
  window->addSubview(view);
  window->makeKeyAndVisible();
  view->setAutoresizesEAGLSurface(true);  // at the window's pixels, as the game's surface is
  // The rebuilt surface is bound as the game's delegate binds it.
  platform::DrawState& drawing = platform::Renderer::shared().state();
  drawing.framebuffer = view->framebuffer();
  drawing.viewport = {0, 0, static_cast<GLsizei>(view->surfaceSize().width),
                      static_cast<GLsizei>(view->surfaceSize().height)};
  float shade = 0;
  for (auto _ : state) {
    shade = shade > 1 ? 0 : shade + 0.01f;
    platform::Renderer::shared().clear({shade, 0.4f, 0.6f, 1});
    view->swapBuffers();
    display->compositeIfNeeded();
    handToRasteriser();
  }
  glFinish();
  state.SetLabel(std::to_string(480 * sScale) + " x " + std::to_string(320 * sScale));
}
BENCHMARK(BM_PresentAndComposite)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--scale=", 8) == 0) sScale = std::max(1, std::atoi(argv[i] + 8));
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
