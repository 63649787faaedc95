// Writes the test images through libpng's full interface, so that every colour type, bit depth
// and transparency chunk can be made.
#include "tests/support/test_png.h"

#include <png.h>

#include <fstream>
#include <stdexcept>

namespace {

void appendBytes(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

int channels(int colorType) {
  switch (colorType) {
    case PNG_COLOR_TYPE_GRAY:
      return 1;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
      return 2;
    case PNG_COLOR_TYPE_RGB:
      return 3;
    case PNG_COLOR_TYPE_RGB_ALPHA:
      return 4;
    default:
      return 1;  // palette indices
  }
}

}  // namespace

std::vector<uint8_t> encodePng(const TestPng& spec) {
  std::vector<uint8_t> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) throw std::runtime_error("could not write a test PNG");
  png_set_write_fn(png, &out, appendBytes, nullptr);
  png_set_IHDR(png, info, spec.width, spec.height, spec.bitDepth, spec.colorType,
               spec.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (spec.colorType == PNG_COLOR_TYPE_PALETTE) {
    std::vector<png_color> colours;
    for (size_t i = 0; i + 2 < spec.palette.size(); i += 3) {
      colours.push_back({spec.palette[i], spec.palette[i + 1], spec.palette[i + 2]});
    }
    png_set_PLTE(png, info, colours.data(), static_cast<int>(colours.size()));
    if (!spec.transparency.empty()) {
      png_set_tRNS(png, info, spec.transparency.data(), static_cast<int>(spec.transparency.size()),
                   nullptr);
    }
  } else if (!spec.transparency.empty()) {
    const auto v = [&](size_t i) {
      return static_cast<png_uint_16>(spec.transparency[i] * (spec.bitDepth == 16 ? 257 : 1));
    };
    png_color_16 key{};
    if (spec.colorType == PNG_COLOR_TYPE_GRAY) {
      key.gray = v(0);
    } else {
      key.red = v(0), key.green = v(1), key.blue = v(2);
    }
    png_set_tRNS(png, info, nullptr, 0, &key);
  }
  png_write_info(png, info);

  const int bytesPerSample = spec.bitDepth == 16 ? 2 : 1;
  const size_t rowSamples = static_cast<size_t>(spec.width) * channels(spec.colorType);
  std::vector<std::vector<uint8_t>> rows(spec.height);
  for (int y = 0; y < spec.height; ++y) {
    for (size_t i = 0; i < rowSamples; ++i) {
      const uint8_t value = spec.samples[y * rowSamples + i];
      rows[y].push_back(value);
      if (bytesPerSample == 2) rows[y].push_back(value);  // big-endian v * 257
    }
  }
  std::vector<png_bytep> pointers;
  for (auto& row : rows) pointers.push_back(row.data());
  png_write_image(png, pointers.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

void writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}
