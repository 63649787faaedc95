// PNG writing through libpng's simplified interface.
#include "platform/graphics/picture.h"

#include <png.h>

#include <cstdio>
#include <cstring>

namespace platform {

bool writePng(const std::string& path, const Picture& picture) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = picture.width;
  image.height = picture.height;
  image.format = PNG_FORMAT_RGBA;
  if (!png_image_write_to_file(&image, path.c_str(), 0, picture.rgba.data(), 0, nullptr)) {
    std::fprintf(stderr, "tidewick: could not write %s: %s\n", path.c_str(), image.message);
    return false;
  }
  return true;
}

}  // namespace platform
