// Images: PNG files decoded into premultiplied RGBA, and alpha-only masks. An image knows
// whether it has alpha, the way the platform's image object reports it.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/core/geometry.h"

namespace platform {

// How an image's pixels carry alpha (the platform's numbering).
enum class AlphaInfo {
  None = 0,
  PremultipliedLast = 1,
  PremultipliedFirst = 2,
  Last = 3,
  First = 4,
  NoneSkipLast = 5,
  NoneSkipFirst = 6,
  Only = 7,
};

class Image {
 public:
  // The PNG file decoded; null, with a line naming the file and the reason on stderr, when the
  // file is missing, is not a file, or is not a PNG that can be decoded whole within 4096
  // pixels a side.
  // `scale` is the picture's density, in pixels a point.
  static std::shared_ptr<Image> imageWithContentsOfFile(const std::string& path, float scale = 1);
  // The size in pixels a PNG file's header gives, the file read no further than its header;
  // nothing, with a line as above, when the file cannot be read or its header is not a PNG's.
  static std::optional<Size> sizeOfFile(const std::string& path);
  // The same from bytes in memory; `name` is for the message.
  static std::shared_ptr<Image> imageWithPngData(std::span<const uint8_t> data,
                                                 const std::string& name);
  // A mask: alpha only, no colour space. `alpha` holds width x height bytes, rows top first.
  static std::shared_ptr<Image> mask(int width, int height, std::vector<uint8_t> alpha);
  // A part of the image, clipped to it; null when nothing of it is left.
  std::shared_ptr<Image> cropped(int x, int y, int width, int height) const;

  // In pixels; the size in points is these over the scale.
  int width() const { return width_; }
  int height() const { return height_; }
  float scale() const { return scale_; }
  bool hasColorSpace() const { return alphaInfo_ != AlphaInfo::Only; }
  // Last for a PNG with an alpha channel or a transparency chunk, NoneSkipLast for an opaque
  // one, Only for a mask.
  AlphaInfo alphaInfo() const { return alphaInfo_; }
  // Rows top first: premultiplied R, G, B, A bytes, or one alpha byte a pixel for a mask.
  const std::vector<uint8_t>& pixels() const { return pixels_; }

 private:
  Image(int width, int height, AlphaInfo alphaInfo, std::vector<uint8_t> pixels)
      : width_(width), height_(height), alphaInfo_(alphaInfo), pixels_(std::move(pixels)) {}

  int width_, height_;
  float scale_ = 1;
  AlphaInfo alphaInfo_;
  std::vector<uint8_t> pixels_;
};

// A bundle image by file name ("Star.png"), decoded; null, with a line naming the file, when
// it is missing or cannot be decoded, or the name is not a resource name (a path, say).
std::shared_ptr<Image> imageNamed(const std::string& name);

// The densities the bundle holds its pictures at: "Star.png", "Star@2x.png", "Star@4x.png".
inline constexpr float kImageDensities[] = {1, 2, 4};
// The density that serves a surface of `scale` pixels a point: the smallest at or above it.
float densityForScale(float scale);
// The same picture at the density for `scale`; when that file is missing, the next density up,
// then the ones below.
std::shared_ptr<Image> imageNamed(const std::string& name, float scale);

// A picture that follows the screen's density: a bundle picture is decoded at the density a
// drawing's scale needs (as imageNamed(name, scale) finds it), a picture made in memory has its
// one density. Its size in points is the same at every density.
class ScaledImage {
 public:
  ScaledImage() = default;
  // A picture made in memory, drawn as it is at every scale.
  ScaledImage(std::shared_ptr<Image> image);  // NOLINT(google-explicit-constructor)
  // The bundle picture `name`. The header of its one-pixel-a-point file is read at once, so that
  // a missing picture is named at launch, and its size known; its pixels are decoded when it is
  // first drawn. Empty when that header cannot be read.
  static ScaledImage named(const std::string& name);

  explicit operator bool() const { return kept_ != nullptr || !name_.empty(); }
  Size size() const { return size_; }
  // The picture to draw at `scale` pixels a point; null when it cannot be read. Small pictures
  // (buttons, slider parts), drawn again at every press and step, stay decoded at the last
  // density asked for; screen-sized ones, drawn once a scale, are decoded for each drawing.
  std::shared_ptr<const Image> at(float scale) const;

 private:
  std::string name_;
  Size size_;
  mutable std::shared_ptr<const Image> kept_;
  mutable float keptDensity_ = 0;
};

}  // namespace platform
