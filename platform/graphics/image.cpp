// PNG decoding with libpng: every colour type and bit depth, interlaced or not, is expanded to
// 8-bit RGBA. libpng reports errors by jumping out of its reader, so the decoding function keeps
// nothing on its stack that needs destroying.
#include "platform/graphics/image.h"

#include <algorithm>
#include <array>

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>

#include "platform/core/bundle.h"
#include "platform/core/stored_file.h"

namespace platform {
namespace {

// Larger images are refused before anything is allocated for them: the largest texture the game
// makes is 1024 points a side, and art is drawn at up to four pixels a point.
constexpr png_uint_32 kMaxSide = 4096;

// Where libpng reads from: bytes in memory, or an open file, which it reads only as far as it
// needs.
struct PngSource {
  std::span<const uint8_t> bytes;
  std::FILE* file = nullptr;
  size_t offset = 0;
  char error[128] = {};
};

void readBytes(png_structp png, png_bytep out, png_size_t length) {
  auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
  if (source->bytes.size() - source->offset < length) png_error(png, "the file ends early");
  std::memcpy(out, source->bytes.data() + source->offset, length);
  source->offset += length;
}

void onError(png_structp png, png_const_charp message) {
  auto* source = static_cast<PngSource*>(png_get_error_ptr(png));
  std::snprintf(source->error, sizeof source->error, "%s", message);
  png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

struct Decoded {
  png_uint_32 width = 0, height = 0;
  bool hasAlpha = false;
  std::vector<uint8_t> rgba;
  std::vector<png_bytep> rows;
};

// Reads the PNG signature off the front of `source`: false, with the error set, when it is not
// there.
bool readSignature(PngSource& source) {
  std::array<png_byte, 8> signature{};
  bool read = false;
  if (source.file) {
    read = std::fread(signature.data(), 1, signature.size(), source.file) == signature.size();
  } else if (source.bytes.size() >= signature.size()) {
    std::memcpy(signature.data(), source.bytes.data(), signature.size());
    read = true;
  }
  source.offset = signature.size();
  if (!read || png_sig_cmp(signature.data(), 0, signature.size()) != 0) {
    std::snprintf(source.error, sizeof source.error, "not a PNG file");
    return false;
  }
  return true;
}

// The whole image, or with `headerOnly` its size and alpha from the header, its pixels left
// unread.
bool decodePngFrom(PngSource& source, Decoded& out, bool headerOnly) {
  if (!readSignature(source)) return false;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &source, onError, onWarning);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    return false;
  }
  if (source.file) {
    png_init_io(png, source.file);
  } else {
    png_set_read_fn(png, &source, readBytes);
  }
  png_set_sig_bytes(png, static_cast<int>(source.offset));
  png_set_user_limits(png, kMaxSide, kMaxSide);
  png_read_info(png, info);

  const int colorType = png_get_color_type(png, info);
  const bool transparencyChunk = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
  out.width = png_get_image_width(png, info);
  out.height = png_get_image_height(png, info);
  out.hasAlpha = (colorType & PNG_COLOR_MASK_ALPHA) != 0 || transparencyChunk;
  if (headerOnly) {
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
  }

  png_set_scale_16(png);
  png_set_packing(png);
  if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if ((colorType & PNG_COLOR_MASK_COLOR) == 0) {
    png_set_expand_gray_1_2_4_to_8(png);
    png_set_gray_to_rgb(png);
  }
  if (transparencyChunk) png_set_tRNS_to_alpha(png);
  if (!out.hasAlpha) png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != out.width * 4) png_error(png, "unexpected row layout");

  out.rgba.resize(static_cast<size_t>(out.width) * out.height * 4);
  out.rows.resize(out.height);
  for (png_uint_32 y = 0; y < out.height; ++y) out.rows[y] = &out.rgba[y * out.width * 4];
  png_read_image(png, out.rows.data());
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  return true;
}

// The same, saying what went wrong with the image `name` when it fails.
bool decodePng(PngSource& source, const std::string& name, Decoded& out, bool headerOnly = false) {
  if (decodePngFrom(source, out, headerOnly)) return true;
  std::fprintf(stderr, "tidewick: cannot decode image %s: %s\n", name.c_str(), source.error);
  return false;
}

void premultiply(std::vector<uint8_t>& rgba) {
  for (size_t i = 0; i < rgba.size(); i += 4) {
    const unsigned a = rgba[i + 3];
    for (size_t c = 0; c < 3; ++c)
      rgba[i + c] = static_cast<uint8_t>((rgba[i + c] * a + 127) / 255);
  }
}

// False, with a line naming it, when `path` is something other than a file (a folder, a device).
bool mayBeImageFile(const std::string& path) {
  std::error_code error;
  if (std::filesystem::exists(path, error) && !std::filesystem::is_regular_file(path, error)) {
    std::fprintf(stderr, "tidewick: cannot open image %s: not a file\n", path.c_str());
    return false;
  }
  return true;
}

void sayCannotOpen(const std::string& path) {
  std::fprintf(stderr, "tidewick: cannot open image %s\n", path.c_str());
}

// An image file's bytes; nothing, with a line naming the file, when it cannot be read.
std::optional<std::string> readImageFile(const std::string& path) {
  if (!mayBeImageFile(path)) return std::nullopt;
  std::optional<std::string> bytes = readWhole(path);
  if (!bytes) sayCannotOpen(path);
  return bytes;
}

std::span<const uint8_t> bytesOf(const std::string& text) {
  return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

// The bundle file of the image `name`; nothing, with a line saying so, when the name is not a
// resource name.
std::optional<std::string> imageFileNamed(const std::string& name) {
  if (!isResourceName(name)) {
    std::fprintf(stderr, "tidewick: \"%s\" is not the name of an image in the bundle\n",
                 name.c_str());
    return std::nullopt;
  }
  return (Bundle::mainBundle().folder() / name).string();
}

}  // namespace

std::shared_ptr<Image> Image::imageWithContentsOfFile(const std::string& path, float scale) {
  const std::optional<std::string> data = readImageFile(path);
  if (!data) return nullptr;
  std::shared_ptr<Image> image = imageWithPngData(bytesOf(*data), path);
  if (image) image->scale_ = scale;
  return image;
}

std::optional<Size> Image::sizeOfFile(const std::string& path) {
  if (!mayBeImageFile(path)) return std::nullopt;
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                             &std::fclose);
  if (!file) {
    sayCannotOpen(path);
    return std::nullopt;
  }
  PngSource source;
  source.file = file.get();
  Decoded header;
  if (!decodePng(source, path, header, true)) return std::nullopt;
  return Size{static_cast<float>(header.width), static_cast<float>(header.height)};
}

std::shared_ptr<Image> Image::imageWithPngData(std::span<const uint8_t> data,
                                               const std::string& name) {
  PngSource source;
  source.bytes = data;
  Decoded decoded;
  if (!decodePng(source, name, decoded)) return nullptr;
  if (decoded.hasAlpha) premultiply(decoded.rgba);
  return std::shared_ptr<Image>(new Image(
      static_cast<int>(decoded.width), static_cast<int>(decoded.height),
      decoded.hasAlpha ? AlphaInfo::Last : AlphaInfo::NoneSkipLast, std::move(decoded.rgba)));
}

std::shared_ptr<Image> Image::mask(int width, int height, std::vector<uint8_t> alpha) {
  if (width < 0 || height < 0 || alpha.size() != static_cast<size_t>(width) * height)
    return nullptr;
  return std::shared_ptr<Image>(new Image(width, height, AlphaInfo::Only, std::move(alpha)));
}

std::shared_ptr<Image> Image::cropped(int x, int y, int width, int height) const {
  const int x0 = std::clamp(x, 0, width_), y0 = std::clamp(y, 0, height_);
  const int x1 = std::clamp(x + width, x0, width_), y1 = std::clamp(y + height, y0, height_);
  if (x1 == x0 || y1 == y0) return nullptr;
  const size_t bytes = alphaInfo_ == AlphaInfo::Only ? 1 : 4;
  std::vector<uint8_t> part;
  part.reserve(static_cast<size_t>(x1 - x0) * (y1 - y0) * bytes);
  for (int row = y0; row < y1; ++row) {
    const auto begin = pixels_.begin() + static_cast<ptrdiff_t>((row * width_ + x0) * bytes);
    part.insert(part.end(), begin, begin + static_cast<ptrdiff_t>((x1 - x0) * bytes));
  }
  return std::shared_ptr<Image>(new Image(x1 - x0, y1 - y0, alphaInfo_, std::move(part)));
}

std::shared_ptr<Image> imageNamed(const std::string& name) {
  const std::optional<std::string> file = imageFileNamed(name);
  return file ? Image::imageWithContentsOfFile(*file) : nullptr;
}

float densityForScale(float scale) {
  for (const float density : kImageDensities) {
    if (density >= scale) return density;
  }
  return std::end(kImageDensities)[-1];
}

std::shared_ptr<Image> imageNamed(const std::string& name, float scale) {
  if (!isResourceName(name)) return imageNamed(name);
  const float wanted = densityForScale(scale);
  // The wanted density first, then those above it in order, then those below from the nearest.
  std::vector<float> order;
  for (const float density : kImageDensities) {
    if (density >= wanted) order.push_back(density);
  }
  for (auto it = std::rbegin(kImageDensities); it != std::rend(kImageDensities); ++it) {
    if (*it < wanted) order.push_back(*it);
  }
  const std::filesystem::path& folder = Bundle::mainBundle().folder();
  const std::filesystem::path plain(name);
  for (const float density : order) {
    std::filesystem::path file = folder / name;
    if (density != 1) {
      file = folder / (plain.stem().string() + "@" + std::to_string(static_cast<int>(density)) +
                       "x" + plain.extension().string());
    }
    std::error_code error;
    if (std::filesystem::exists(file, error)) {
      return Image::imageWithContentsOfFile(file.string(), density);
    }
  }
  return imageNamed(name);  // says which file is missing
}

namespace {

// Pictures up to this many bytes of pixels stay decoded: a button at four pixels a point is
// 400 KB, a whole menu card at two is 2.4 MB.
constexpr size_t kKeptBytes = 1 << 20;

Size pointSize(const Image& image) {
  return {image.width() / image.scale(), image.height() / image.scale()};
}

}  // namespace

ScaledImage::ScaledImage(std::shared_ptr<Image> image) {
  if (!image) return;
  size_ = pointSize(*image);
  keptDensity_ = image->scale();
  kept_ = std::move(image);
}

ScaledImage ScaledImage::named(const std::string& name) {
  const std::optional<std::string> file = imageFileNamed(name);
  const std::optional<Size> size = file ? Image::sizeOfFile(*file) : std::nullopt;
  if (!size) return {};
  ScaledImage image;
  image.name_ = name;
  image.size_ = *size;
  return image;
}

std::shared_ptr<const Image> ScaledImage::at(float scale) const {
  if (name_.empty()) return kept_;
  const float density = densityForScale(scale);
  if (kept_ && keptDensity_ == density) return kept_;
  std::shared_ptr<const Image> image = imageNamed(name_, scale);
  const bool keep = image && image->pixels().size() <= kKeptBytes;
  kept_ = keep ? image : nullptr;
  keptDensity_ = keep ? density : 0;
  return image;
}

}  // namespace platform
