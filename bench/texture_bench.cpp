// Texture creation costs on llvmpipe: the two text textures made every frame while they show
// (a score pop-up and a centred round text), and an image decoded and uploaded.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "bench/bench_gl.h"
#include "gl/my_eagl_view.h"
#include "gl/texture2d.h"
#include "platform/graphics/image.h"
#include "platform/graphics/picture.h"
#include "platform/screen/gl_context.h"

namespace {

// One text texture made, drawn and finished per iteration, as the scene does while it shows.
void textTexture(benchmark::State& state, const char* text, platform::Size box, float size,
                 platform::Point at) {
  benchGLView();
  for (auto _ : state) {
    const auto texture = Texture2D::initWithString(text, box, 1, "Marker Felt", size);
    texture->drawAtPoint(at);
    glFinish();
  }
}

// "1250" at 27 points in a box three times the size wide, centred, alpha only.
void BM_ScorePopupText(benchmark::State& state) {
  textTexture(state, "1250", {81, 29.7f}, 27, {240, 160});
}
BENCHMARK(BM_ScorePopupText)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_CentredRoundText(benchmark::State& state) {
  textTexture(state, "round 12", {520, 130}, 100, {240, 200});
}
BENCHMARK(BM_CentredRoundText)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_DecodeAndUploadPng(benchmark::State& state) {
  benchGLView();
  const auto path = std::filesystem::temp_directory_path() / "tidewick-bench-480x320.png";
  platform::Picture picture{480, 320, std::vector<uint8_t>(480 * 320 * 4)};
  for (size_t i = 0; i < picture.rgba.size(); ++i)
    picture.rgba[i] = static_cast<uint8_t>(i * 7 / 3);
  platform::writePng(path, picture);
  for (auto _ : state) {
    const auto image = platform::Image::imageWithContentsOfFile(path);
    const auto texture = Texture2D::initWithImage(image.get());
    glFinish();
  }
  std::filesystem::remove(path);
}
BENCHMARK(BM_DecodeAndUploadPng)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
