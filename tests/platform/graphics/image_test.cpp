// PNG decoding: every colour type, 8 and 16 bits, interlacing and transparency chunks become
// premultiplied RGBA with the right alpha information; damaged and foreign files give no image.
#include <gtest/gtest.h>

#include <png.h>
#include <zlib.h>

#include <array>
#include <filesystem>
#include <random>

#include "gl/texture2d.h"
#include "platform/core/bundle.h"
#include "platform/graphics/image.h"
#include "tests/support/scratch.h"
#include "tests/support/test_png.h"

using platform::AlphaInfo;
using platform::Image;

namespace {

std::shared_ptr<Image> decode(const TestPng& png) {
  const std::vector<uint8_t> bytes = encodePng(png);
  return Image::imageWithPngData(bytes, "test.png");
}

std::array<uint8_t, 4> pixel(const Image& image, int x, int y) {
  const uint8_t* p = &image.pixels()[(static_cast<size_t>(y) * image.width() + x) * 4];
  return {p[0], p[1], p[2], p[3]};
}

using Rgba = std::array<uint8_t, 4>;

}  // namespace

TEST(ImageTest, OpaqueColourTypesDecodeToOpaqueRgba) {
  const auto gray = decode({PNG_COLOR_TYPE_GRAY, 8, false, 2, 1, {100, 7}});
  ASSERT_TRUE(gray);
  EXPECT_EQ(gray->alphaInfo(), AlphaInfo::NoneSkipLast);
  EXPECT_EQ(pixel(*gray, 0, 0), (Rgba{100, 100, 100, 255}));
  EXPECT_EQ(pixel(*gray, 1, 0), (Rgba{7, 7, 7, 255}));

  const auto rgb = decode({PNG_COLOR_TYPE_RGB, 8, false, 1, 2, {10, 20, 30, 40, 50, 60}});
  ASSERT_TRUE(rgb);
  EXPECT_EQ(rgb->width(), 1);
  EXPECT_EQ(rgb->height(), 2);
  EXPECT_EQ(pixel(*rgb, 0, 1), (Rgba{40, 50, 60, 255}));

  const auto palette =
      decode({PNG_COLOR_TYPE_PALETTE, 8, false, 2, 1, {1, 0}, {9, 8, 7, 200, 150, 100}});
  ASSERT_TRUE(palette);
  EXPECT_EQ(palette->alphaInfo(), AlphaInfo::NoneSkipLast);
  EXPECT_EQ(pixel(*palette, 0, 0), (Rgba{200, 150, 100, 255}));
  EXPECT_EQ(pixel(*palette, 1, 0), (Rgba{9, 8, 7, 255}));

  const auto deep = decode({PNG_COLOR_TYPE_RGB, 16, false, 1, 1, {255, 128, 3}});
  ASSERT_TRUE(deep);
  EXPECT_EQ(pixel(*deep, 0, 0), (Rgba{255, 128, 3, 255}));
}

TEST(ImageTest, AlphaChannelsAndTransparencyChunksGivePremultipliedAlpha) {
  const auto grayAlpha = decode({PNG_COLOR_TYPE_GRAY_ALPHA, 8, false, 1, 1, {100, 128}});
  ASSERT_TRUE(grayAlpha);
  EXPECT_EQ(grayAlpha->alphaInfo(), AlphaInfo::Last);
  EXPECT_EQ(pixel(*grayAlpha, 0, 0), (Rgba{50, 50, 50, 128}));

  const auto rgba =
      decode({PNG_COLOR_TYPE_RGB_ALPHA, 16, false, 2, 1, {255, 0, 0, 128, 200, 100, 50, 0}});
  ASSERT_TRUE(rgba);
  EXPECT_EQ(pixel(*rgba, 0, 0), (Rgba{128, 0, 0, 128}));
  EXPECT_EQ(pixel(*rgba, 1, 0), (Rgba{0, 0, 0, 0}));

  const auto palette =
      decode({PNG_COLOR_TYPE_PALETTE, 8, false, 2, 1, {0, 1}, {10, 20, 30, 40, 50, 60}, {255, 0}});
  ASSERT_TRUE(palette);
  EXPECT_EQ(palette->alphaInfo(), AlphaInfo::Last);
  EXPECT_EQ(pixel(*palette, 0, 0), (Rgba{10, 20, 30, 255}));
  EXPECT_EQ(pixel(*palette, 1, 0), (Rgba{0, 0, 0, 0}));

  const auto keyed =
      decode({PNG_COLOR_TYPE_RGB, 8, false, 2, 1, {1, 2, 3, 4, 5, 6}, {}, {4, 5, 6}});
  ASSERT_TRUE(keyed);
  EXPECT_EQ(keyed->alphaInfo(), AlphaInfo::Last);
  EXPECT_EQ(pixel(*keyed, 0, 0), (Rgba{1, 2, 3, 255}));
  EXPECT_EQ(pixel(*keyed, 1, 0), (Rgba{0, 0, 0, 0}));

  const auto keyedGray = decode({PNG_COLOR_TYPE_GRAY, 16, false, 2, 1, {9, 77}, {}, {77}});
  ASSERT_TRUE(keyedGray);
  EXPECT_EQ(pixel(*keyedGray, 1, 0), (Rgba{0, 0, 0, 0}));
}

TEST(ImageTest, InterlacedFilesDecodeLikePlainOnes) {
  TestPng png{PNG_COLOR_TYPE_RGB_ALPHA, 8, false, 13, 9};
  for (int i = 0; i < 13 * 9; ++i) {
    png.samples.insert(png.samples.end(), {static_cast<uint8_t>(i), static_cast<uint8_t>(3 * i),
                                           static_cast<uint8_t>(255 - i), 255});
  }
  const auto plain = decode(png);
  png.interlaced = true;
  const auto interlaced = decode(png);
  ASSERT_TRUE(plain && interlaced);
  EXPECT_EQ(plain->pixels(), interlaced->pixels());
}

TEST(ImageTest, DamagedAndForeignFilesGiveNoImageAndNoTexture) {
  const auto dir = scratchPath("image-test");
  std::filesystem::create_directories(dir);
  TestPng png{PNG_COLOR_TYPE_RGB, 8, false, 40, 40};
  png.samples.assign(40 * 40 * 3, 90);
  const std::vector<uint8_t> good = encodePng(png);

  std::vector<uint8_t> truncated(good.begin(), good.begin() + static_cast<long>(good.size() / 2));
  std::vector<uint8_t> badCrc = good;
  badCrc[good.size() - 20] ^= 0x55;  // inside the image data
  const std::vector<uint8_t> jpeg = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0};
  const std::vector<std::pair<std::string, std::vector<uint8_t>>> files = {
      {"truncated.png", truncated},
      {"bad-crc.png", badCrc},
      {"empty.png", {}},
      {"photo.png", jpeg}};
  for (const auto& [name, bytes] : files) writeFile(dir / name, bytes);

  for (const char* name :
       {"truncated.png", "bad-crc.png", "empty.png", "photo.png", "missing.png"}) {
    testing::internal::CaptureStderr();
    const auto image = Image::imageWithContentsOfFile(dir / name);
    const auto texture = Texture2D::initWithImage(image.get());
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(image) << name;
    EXPECT_FALSE(texture) << name;
    EXPECT_NE(log.find("Image is Null"), std::string::npos) << name;
    EXPECT_NE(log.find(name), std::string::npos) << log;
  }
  std::filesystem::remove_all(dir);
}

TEST(ImageTest, HugeDimensionsAreRefusedNotAllocated) {
  // A header claiming the size, its checksum made right again so only the size is at fault.
  const auto claiming = [](uint32_t width, uint32_t height) {
    TestPng png{PNG_COLOR_TYPE_GRAY, 8, false, 1, 1, {0}};
    std::vector<uint8_t> bytes = encodePng(png);
    for (int i = 0; i < 4; ++i) {
      bytes[16 + i] = static_cast<uint8_t>(width >> (24 - 8 * i));
      bytes[20 + i] = static_cast<uint8_t>(height >> (24 - 8 * i));
    }
    const uLong crc = crc32(0, &bytes[12], 17);
    for (int i = 0; i < 4; ++i) bytes[29 + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
    return bytes;
  };
  for (const auto& [width, height] :
       {std::pair{1000000u, 1u}, {16384u, 16384u}, {4097u, 1u}, {1u, 4097u}}) {
    testing::internal::CaptureStderr();
    EXPECT_FALSE(Image::imageWithPngData(claiming(width, height), "huge.png")) << width;
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("cannot decode image huge.png"), std::string::npos) << said;
  }
  // The largest side the game can use still decodes.
  const auto wide = decode({PNG_COLOR_TYPE_GRAY, 8, false, 4096, 1, std::vector<uint8_t>(4096, 9)});
  ASSERT_TRUE(wide);
  EXPECT_EQ(wide->width(), 4096);
}

TEST(ImageTest, FoldersAndPathsAreNotImages) {
  const auto dir = scratchPath("image-paths");
  std::filesystem::create_directories(dir);
  testing::internal::CaptureStderr();
  EXPECT_FALSE(Image::imageWithContentsOfFile(dir));
  EXPECT_NE(testing::internal::GetCapturedStderr().find("not a file"), std::string::npos);

  platform::Bundle::useFolder(dir);
  writeFile(dir / "Star.png", encodePng({PNG_COLOR_TYPE_GRAY, 8, false, 1, 1, {7}}));
  EXPECT_TRUE(platform::imageNamed("Star.png"));
  for (const char* name : {"", ".", "..", "/etc/passwd", "../Star.png", "sub/Star.png"}) {
    testing::internal::CaptureStderr();
    EXPECT_FALSE(platform::imageNamed(name)) << name;
    EXPECT_NE(testing::internal::GetCapturedStderr().find("not the name of an image"),
              std::string::npos)
        << name;
  }
  std::filesystem::remove_all(dir);
}

// A bundle picture's header is read when it is named, its pixels only when it is drawn: a
// missing, foreign or cut-short file is said at once, a file damaged past its header at its first
// drawing.
TEST(ImageTest, ANamedPictureIsCheckedByItsHeaderAndDecodedWhenDrawn) {
  const auto dir = scratchPath("image-named");
  std::filesystem::create_directories(dir);
  platform::Bundle::useFolder(dir);
  TestPng plain{PNG_COLOR_TYPE_RGB, 8, false, 30, 20};
  plain.samples.assign(30 * 20 * 3, 90);
  TestPng sharp{PNG_COLOR_TYPE_RGB, 8, false, 60, 40};
  sharp.samples.assign(60 * 40 * 3, 90);
  writeFile(dir / "card.png", encodePng(plain));
  writeFile(dir / "card@2x.png", encodePng(sharp));
  std::vector<uint8_t> damaged = encodePng(plain);
  damaged[damaged.size() - 20] ^= 0x55;  // inside the image data, past the header
  writeFile(dir / "damaged.png", damaged);
  writeFile(dir / "photo.png", {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0});
  std::vector<uint8_t> cut = encodePng(plain);
  cut.resize(20);  // the file ends inside its header
  writeFile(dir / "cut.png", cut);

  testing::internal::CaptureStderr();
  const platform::ScaledImage card = platform::ScaledImage::named("card.png");
  const platform::ScaledImage late = platform::ScaledImage::named("damaged.png");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  ASSERT_TRUE(card);
  EXPECT_EQ(card.size(), (platform::Size{30, 20}));
  EXPECT_EQ(card.at(1)->width(), 30);
  EXPECT_EQ(card.at(2)->width(), 60);
  ASSERT_TRUE(late);
  EXPECT_EQ(late.size(), (platform::Size{30, 20}));
  testing::internal::CaptureStderr();
  EXPECT_FALSE(late.at(1));
  EXPECT_NE(testing::internal::GetCapturedStderr().find("cannot decode image"), std::string::npos);

  for (const char* name : {"photo.png", "cut.png", "missing.png", "../card.png"}) {
    testing::internal::CaptureStderr();
    EXPECT_FALSE(platform::ScaledImage::named(name)) << name;
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find(name), std::string::npos) << said;
  }
  std::filesystem::remove_all(dir);
}

TEST(ImageTest, MasksHaveNoColourSpace) {
  const auto mask = Image::mask(2, 1, {0, 255});
  ASSERT_TRUE(mask);
  EXPECT_FALSE(mask->hasColorSpace());
  EXPECT_EQ(mask->alphaInfo(), AlphaInfo::Only);
  EXPECT_FALSE(Image::mask(2, 2, {1, 2, 3}));
}

namespace {

// Makes every chunk's checksum right again, so that mutations reach past the checksum test into
// decompression and row filtering.
void fixChecksums(std::vector<uint8_t>& bytes) {
  size_t at = 8;
  while (at + 12 <= bytes.size()) {
    const size_t length = (size_t{bytes[at]} << 24) | (size_t{bytes[at + 1]} << 16) |
                          (size_t{bytes[at + 2]} << 8) | bytes[at + 3];
    if (length > bytes.size() - at - 12) return;
    const uLong crc = crc32(0, &bytes[at + 4], static_cast<uInt>(length + 4));
    for (int i = 0; i < 4; ++i)
      bytes[at + 8 + length + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
    at += length + 12;
  }
}

}  // namespace

TEST(ImageTest, MutatedFilesNeverCrashTheDecoder) {
  TestPng png{PNG_COLOR_TYPE_PALETTE, 8, true, 20, 12};
  png.samples.resize(20 * 12);
  for (size_t i = 0; i < png.samples.size(); ++i) png.samples[i] = static_cast<uint8_t>(i % 4);
  png.palette = {0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255};
  png.transparency = {0, 128};
  const std::vector<uint8_t> good = encodePng(png);
  ASSERT_TRUE(Image::imageWithPngData(good, "good.png"));

  std::mt19937 rng(7);
  int decoded = 0;
  testing::internal::CaptureStderr();
  for (int round = 0; round < 2000; ++round) {
    std::vector<uint8_t> bytes = good;
    const int changes = 1 + static_cast<int>(rng() % 4);
    for (int k = 0; k < changes; ++k) bytes[rng() % bytes.size()] = static_cast<uint8_t>(rng());
    if (rng() % 2 == 0) fixChecksums(bytes);
    if (rng() % 8 == 0) bytes.resize(rng() % bytes.size());
    const auto image = Image::imageWithPngData(bytes, "mutated.png");
    if (image) {
      ++decoded;
      EXPECT_EQ(image->pixels().size(), static_cast<size_t>(image->width()) * image->height() * 4);
    }
  }
  testing::internal::GetCapturedStderr();
  EXPECT_GT(decoded, 0);  // some mutations leave a valid picture, so decoding was reached
}
