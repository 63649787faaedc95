// A picture in memory (RGBA rows, top first) and writing one to a PNG file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

struct Picture {
  int width = 0, height = 0;
  std::vector<uint8_t> rgba;
  const uint8_t* pixel(int x, int y) const {
    return &rgba[(static_cast<size_t>(y) * width + x) * 4];
  }
};

// False, with a message on stderr, when the file cannot be written.
bool writePng(const std::string& path, const Picture& picture);

}  // namespace platform
