// A colour as the toolkit and the canvases take it: red, green, blue and alpha from 0 to 1.
#pragma once

namespace platform {

struct Color {
  float red = 0, green = 0, blue = 0, alpha = 1;
  bool operator==(const Color&) const = default;
  static constexpr Color black() { return {0, 0, 0, 1}; }
  static constexpr Color white() { return {1, 1, 1, 1}; }
};

}  // namespace platform
