// tidewick-assets: looks at the game's assets the way the game sees them.
//   tidewick-assets texture FILE.png [--pixels OUT.raw]
// prints the texture the image becomes as one JSON object; --pixels writes the bytes uploaded
// to GL, rows top first. Runs headless.
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "platform/display.h"
#include "platform/gl_context.h"
#include "platform/image.h"
#include "render/texture2d.h"

namespace {

constexpr const char* kUsage = "usage: tidewick-assets texture FILE.png [--pixels OUT.raw]\n";

int inspectTexture(const std::string& file, const std::string& pixelsPath) {
  const std::shared_ptr<platform::Image> image = platform::Image::imageWithContentsOfFile(file);
  if (!image) return 1;  // the reason is already on stderr
  auto display = platform::Display::open({.scale = 1, .headless = true});
  auto context = display ? platform::GLContext::create(platform::RenderingAPI::OpenGLES1) : nullptr;
  if (!context || !platform::GLContext::setCurrentContext(context.get())) {
    std::fprintf(stderr, "tidewick-assets: no GL to make textures with\n");
    return 1;
  }
  const TexturePixels pixels = texturePixelsFromImage(*image);
  const auto texture = Texture2D::initWithData(pixels.data.data(), pixels.format, pixels.width,
                                               pixels.height, pixels.contentSize);
  if (!pixelsPath.empty()) {
    std::ofstream out(pixelsPath, std::ios::binary);
    out.write(reinterpret_cast<const char*>(pixels.data.data()),
              static_cast<std::streamsize>(pixels.data.size()));
    if (!out) {
      std::fprintf(stderr, "tidewick-assets: cannot write %s\n", pixelsPath.c_str());
      return 1;
    }
  }
  const nlohmann::ordered_json description = {
      {"contentSize", {texture->contentSize().width, texture->contentSize().height}},
      {"pixelsWide", texture->pixelsWide()},
      {"pixelsHigh", texture->pixelsHigh()},
      {"pixelFormat", texture->pixelFormat()},
      {"maxS", texture->maxS()},
      {"maxT", texture->maxT()}};
  std::puts(description.dump().c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  if (arguments.size() >= 2 && arguments[0] == "texture") {
    if (arguments.size() == 2) return inspectTexture(arguments[1], "");
    if (arguments.size() == 4 && arguments[2] == "--pixels" && !arguments[3].empty()) {
      return inspectTexture(arguments[1], arguments[3]);
    }
  }
  std::fputs(kUsage, stderr);
  return 2;
}
