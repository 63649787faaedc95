// The PNG decoder, then the texture the image would become (its size, halving and pixels).
#include <span>

#include "gl/texture2d.h"
#include "platform/graphics/image.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto image = platform::Image::imageWithPngData(std::span(data, size), "input.png");
  if (image) texturePixelsFromImage(*image);
  return 0;
}
