// Textures: sizes and formats from images, the pixels handed to GL, where the two drawing
// operations put a picture, pictures sharing a texture, the description, and the errors.
#include <gtest/gtest.h>

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "gl/texture2d.h"
#include "platform/graphics/image.h"
#include "tests/support/test_display.h"
#include "tests/support/test_png.h"

using platform::Image;

namespace {

// An image filled by a function of (x, y) giving R, G, B, A.
template <typename Fill>
std::shared_ptr<Image> makeImage(int width, int height, bool alpha, Fill fill) {
  TestPng png{alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, 8, false, width, height};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const std::array<uint8_t, 4> rgba = fill(x, y);
      png.samples.insert(png.samples.end(), rgba.begin(), rgba.begin() + (alpha ? 4 : 3));
    }
  }
  return Image::imageWithPngData(encodePng(png), "test.png");
}

std::shared_ptr<Image> solid(int width, int height, bool alpha) {
  return makeImage(width, height, alpha, [](int, int) {
    return std::array<uint8_t, 4>{10, 20, 30, 255};
  });
}

class TextureDrawTest : public testing::Test {
 protected:
  void SetUp() override {
    screen_ = makeLandscapeScreen();
    startSceneFrame(*screen_.glView);
  }
  std::array<uint8_t, 4> read(int x, int y) {
    const std::vector<uint8_t> pixel = readDrawn(x, y, 1, 1);
    return {pixel[0], pixel[1], pixel[2], pixel[3]};
  }
  LandscapeScreen screen_;
};

}  // namespace

TEST(TexturePixelsTest, SizesAndFormatsFollowTheImage) {
  const TexturePixels opaque = texturePixelsFromImage(*solid(100, 60, false));
  EXPECT_EQ(opaque.format, Texture2DFormatRGB565);
  EXPECT_EQ(opaque.width, 128u);
  EXPECT_EQ(opaque.height, 64u);
  EXPECT_EQ(opaque.contentSize, (platform::Size{100, 60}));
  EXPECT_EQ(opaque.data.size(), 128u * 64 * 2);

  const TexturePixels alpha = texturePixelsFromImage(*solid(64, 64, true));
  EXPECT_EQ(alpha.format, Texture2DFormatRGBA8888);
  EXPECT_EQ(alpha.width, 64u);
  EXPECT_EQ(alpha.height, 64u);

  const TexturePixels single = texturePixelsFromImage(*solid(1, 1, false));
  EXPECT_EQ(single.width, 1u);
  EXPECT_EQ(single.height, 1u);

  const TexturePixels mask = texturePixelsFromImage(*Image::mask(3, 1, {0, 128, 255}));
  EXPECT_EQ(mask.format, Texture2DFormatA8);
  EXPECT_EQ(mask.width, 4u);
  EXPECT_EQ(mask.data, (std::vector<uint8_t>{0, 128, 255, 0}));

  EXPECT_EQ(powerOfTwoAtLeast(0), 0u);
  EXPECT_EQ(powerOfTwoAtLeast(1), 1u);
  EXPECT_EQ(powerOfTwoAtLeast(64), 64u);
  EXPECT_EQ(powerOfTwoAtLeast(65), 128u);
}

TEST(TexturePixelsTest, PictureSitsTopLeftPremultipliedOverZeros) {
  const auto image = makeImage(100, 60, true, [](int x, int y) {
    return x == 0 && y == 0 ? std::array<uint8_t, 4>{255, 0, 0, 128}
                            : std::array<uint8_t, 4>{0, 255, 0, 255};
  });
  const TexturePixels pixels = texturePixelsFromImage(*image);
  auto at = [&](int x, int y) {
    const uint8_t* p = &pixels.data[(static_cast<size_t>(y) * pixels.width + x) * 4];
    return std::array<uint8_t, 4>{p[0], p[1], p[2], p[3]};
  };
  EXPECT_EQ(at(0, 0), (std::array<uint8_t, 4>{128, 0, 0, 128}));
  EXPECT_EQ(at(99, 59), (std::array<uint8_t, 4>{0, 255, 0, 255}));
  EXPECT_EQ(at(100, 0), (std::array<uint8_t, 4>{0, 0, 0, 0}));
  EXPECT_EQ(at(0, 60), (std::array<uint8_t, 4>{0, 0, 0, 0}));
  EXPECT_EQ(at(127, 63), (std::array<uint8_t, 4>{0, 0, 0, 0}));
}

TEST(TexturePixelsTest, OpaqueImagesArePackedFiveSixFive) {
  const auto image = makeImage(3, 2, false, [](int x, int) {
    return x == 0   ? std::array<uint8_t, 4>{255, 128, 0, 255}
           : x == 1 ? std::array<uint8_t, 4>{8, 4, 8, 255}
                    : std::array<uint8_t, 4>{7, 3, 7, 255};
  });
  const TexturePixels pixels = texturePixelsFromImage(*image);
  ASSERT_EQ(pixels.width, 4u);
  auto at = [&](int x, int y) {
    uint16_t value;
    std::memcpy(&value, &pixels.data[(static_cast<size_t>(y) * pixels.width + x) * 2], 2);
    return value;
  };
  EXPECT_EQ(at(0, 0), 0xFC00);
  EXPECT_EQ(at(1, 1), (1 << 11) | (1 << 5) | 1);
  EXPECT_EQ(at(2, 0), 0);  // the low bits fall away
  EXPECT_EQ(at(3, 0), 0);  // beyond the picture
}

TEST(TexturePixelsTest, ImagesOverTheLimitAreHalvedIntoTheCorner) {
  const auto image = makeImage(1500, 600, true, [](int x, int) {
    return x < 750 ? std::array<uint8_t, 4>{255, 0, 0, 255}
                   : std::array<uint8_t, 4>{0, 0, 255, 255};
  });
  const TexturePixels pixels = texturePixelsFromImage(*image);
  EXPECT_EQ(pixels.width, 1024u);
  EXPECT_EQ(pixels.height, 512u);
  EXPECT_EQ(pixels.contentSize, (platform::Size{750, 300}));
  auto at = [&](int x, int y) {
    return pixels.data[(static_cast<size_t>(y) * 1024 + x) * 4 + (x < 375 ? 0 : 2)];
  };
  EXPECT_EQ(at(0, 0), 255);
  EXPECT_EQ(at(374, 299), 255);
  EXPECT_EQ(at(375, 0), 255);
  EXPECT_EQ(at(749, 299), 255);
  EXPECT_EQ(pixels.data[(299 * 1024 + 750) * 4 + 3], 0);
  EXPECT_EQ(pixels.data[(300 * 1024 + 10) * 4 + 3], 0);
}

TEST_F(TextureDrawTest, ThinImagesOverTheLimitKeepASideOfOnePixel) {
  for (const auto& [width, height] : {std::pair{1, 4096}, {2048, 1}, {4096, 3}}) {
    const auto texture = Texture2D::initWithImage(solid(width, height, true).get());
    ASSERT_TRUE(texture) << width << " x " << height;
    EXPECT_GE(texture->pixelsWide(), 1u);
    EXPECT_GE(texture->pixelsHigh(), 1u);
    EXPECT_LE(std::max(texture->pixelsWide(), texture->pixelsHigh()), 1024u);
    EXPECT_TRUE(std::isfinite(texture->maxS()) && texture->maxS() > 0 && texture->maxS() <= 1);
    EXPECT_TRUE(std::isfinite(texture->maxT()) && texture->maxT() > 0 && texture->maxT() <= 1);
  }
}

TEST_F(TextureDrawTest, CreationRecordsSizesAndCoordinates) {
  const auto opaque = Texture2D::initWithImage(solid(100, 60, false).get());
  ASSERT_TRUE(opaque);
  EXPECT_NE(opaque->name(), 0u);
  EXPECT_EQ(opaque->pixelFormat(), Texture2DFormatRGB565);
  EXPECT_EQ(opaque->pixelsWide(), 128u);
  EXPECT_EQ(opaque->pixelsHigh(), 64u);
  EXPECT_FLOAT_EQ(opaque->maxS(), 0.78125f);
  EXPECT_FLOAT_EQ(opaque->maxT(), 0.9375f);

  const auto text = Texture2D::initWithString("score 0", {200, 30}, 0, "Marker Felt", 18);
  EXPECT_EQ(text->pixelFormat(), Texture2DFormatA8);
  EXPECT_EQ(text->pixelsWide(), 256u);
  EXPECT_EQ(text->pixelsHigh(), 32u);
  EXPECT_EQ(text->contentSize(), (platform::Size{200, 30}));

  const auto raw = Texture2D::initWithData(nullptr, Texture2DFormatRGB565, 128, 64, {100, 60});
  const std::string description = raw->description();
  EXPECT_EQ(description.rfind("<Texture2D = ", 0), 0u);
  EXPECT_NE(description.find("| Name = " + std::to_string(raw->name()) +
                             " | Dimensions = 128x64 | Coordinates = (0.78, 0.94)>"),
            std::string::npos)
      << description;
}

TEST_F(TextureDrawTest, InvalidPixelFormatIsAProgrammingError) {
  GLint boundBefore = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &boundBefore);
  try {
    Texture2D::initWithData(nullptr, 4, 2, 2, {2, 2});
    FAIL() << "no exception";
  } catch (const std::logic_error& error) {
    EXPECT_STREQ(error.what(), "");
  }
  EXPECT_THROW(Texture2D::initWithData(nullptr, 0, 2, 2, {2, 2}), std::logic_error);
  GLint boundAfter = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &boundAfter);
  EXPECT_EQ(boundAfter, boundBefore);
}

TEST_F(TextureDrawTest, DrawAtPointCentresTheContentSize) {
  const auto text = Texture2D::initWithString("round 12", {200, 30}, 1, "Marker Felt", 20);
  platform::Color& color = platform::Renderer::shared().state().color;
  color = {1, 0, 0, 1};  // with blending off, the whole quad takes the colour
  text->drawAtPoint({240, 160});
  EXPECT_EQ(read(140, 145)[0], 255);
  EXPECT_EQ(read(339, 174)[0], 255);
  EXPECT_EQ(read(139, 160)[0], 0);
  EXPECT_EQ(read(340, 160)[0], 0);
  EXPECT_EQ(read(240, 144)[0], 0);
  EXPECT_EQ(read(240, 175)[0], 0);
  color = platform::Color::white();
}

// With the scene's premultiplied blending, drawing only what can show gives the very pixels of
// the whole quad: turned, at a fraction of a point, and with a picture filling its texture's
// width, whose right edge linear filtering also reads at the left one.
// A picture drawn blended, turned, scaled and at a fraction of a point, on a plain surface.
template <typename Draw>
std::vector<uint8_t> blendedPicture(Draw draw) {
  platform::Renderer& renderer = platform::Renderer::shared();
  platform::DrawState& state = renderer.state();
  renderer.clear({0.2f, 0.4f, 0.6f, 1});
  state.blend = platform::Blend::Premultiplied;
  state.transform =
      platform::AffineTransform::scale(2.5f, 2.5f)
          .concat(platform::AffineTransform::rotation(23 * std::numbers::pi_v<float> / 180))
          .concat(platform::AffineTransform::translation(200.37f, 151.61f));
  draw();
  state.transform = {};
  state.blend = platform::Blend::Off;
  return readDrawn(0, 0, 480, 320);
}

TEST_F(TextureDrawTest, DrawingWhatCanShowMatchesTheWholeQuad) {
  constexpr std::array<uint8_t, 4> kShown{200, 120, 40, 180}, kClear{0, 0, 0, 0};
  const auto edge = Texture2D::initWithImage(makeImage(64, 40, true, [&](int x, int y) {
                                               const bool blob =
                                                   x >= 20 && x < 30 && y >= 12 && y < 20;
                                               const bool rightEdge = x == 63 && y >= 5 && y < 35;
                                               return blob || rightEdge ? kShown : kClear;
                                             }).get());
  ASSERT_EQ(edge->pixelsWide(), 64u);
  // The right edge reaches round to the left one: the whole width, from row 4 to row 36.
  EXPECT_EQ(edge->visibleArea(), 64 * 32);

  // A strip at the top and one at the bottom, far apart: two boxes, the clear rows between left
  // out (rows 1 to 9 by columns 4 to 51, rows 39 to 59 by columns 9 to 61).
  const auto strips =
      Texture2D::initWithImage(makeImage(64, 60, true, [&](int x, int y) {
                                 const bool top = x >= 5 && x < 50 && y >= 2 && y < 8;
                                 const bool bottom = x >= 10 && x < 60 && y >= 40 && y < 58;
                                 return top || bottom ? kShown : kClear;
                               }).get());
  EXPECT_EQ(strips->visibleArea(), 8 * 47 + 20 * 52);

  for (const auto& texture : {edge, strips}) {
    const std::vector<uint8_t> whole = blendedPicture([&] { texture->drawAtPoint({0, 0}); });
    EXPECT_EQ(blendedPicture([&] { texture->drawVisibleAtPoint({0, 0}); }), whole);
  }

  // A picture with nothing to show draws nothing.
  const auto clear =
      Texture2D::initWithImage(makeImage(16, 16, true, [&](int, int) { return kClear; }).get());
  EXPECT_EQ(clear->visibleArea(), 0);
}

// What a picture hides once blended over the sea need not be painted with the sea: the picture is
// the same, wherever the picture lands between pixels and whether it is mirrored.
TEST_F(TextureDrawTest, LeavingOutWhatAPictureHidesChangesNothing) {
  const auto sea = Texture2D::initWithImage(makeImage(96, 64, false, [](int x, int y) {
                                              return std::array<uint8_t, 4>{
                                                  static_cast<uint8_t>(x * 2), 90,
                                                  static_cast<uint8_t>(255 - y * 3), 255};
                                            }).get());
  // Hills: a translucent crest over rows opaque from edge to edge.
  const auto hills = Texture2D::initWithImage(
      makeImage(120, 50, true, [](int x, int y) {
        const int crest = 10 + (x * 7) % 13;
        if (y < crest) return std::array<uint8_t, 4>{};
        const uint8_t a = y < crest + 4 ? 120 : 255;
        return std::array<uint8_t, 4>{static_cast<uint8_t>(a * 3 / 5), a, a, a};
      }).get());
  const platform::Rect hidden = hills->hidingRectAtPoint({0, 0});
  // Rows 26 to 49 are opaque throughout: 22 of them once a texel is taken off each side.
  EXPECT_EQ(hidden, (platform::Rect{{-59, -24}, {118, 22}}));
  EXPECT_EQ(sea->hidingRectAtPoint({10, 20}), (platform::Rect{{-38, -12}, {96, 64}}));
  EXPECT_EQ(
      Texture2D::initWithString("hi", {32, 16}, 0, "Marker Felt", 12)->hidingRectAtPoint({0, 0}),
      platform::Rect{});

  const platform::Rect screen = {{0, 0}, {480, 320}};
  const platform::Point at = {170.3f, 60.6f};
  for (const float scale : {1.0f, 1.5f}) {
    for (const bool mirrored : {false, true}) {
      const auto paint = [&](bool leaveOut) {
        platform::Renderer& renderer = platform::Renderer::shared();
        platform::DrawState& state = renderer.state();
        renderer.clear({1, 0, 1, 1});
        state.transform = platform::AffineTransform::scale(scale, scale);
        platform::Rect hole = hills->hidingRectAtPoint(at);
        if (mirrored) hole.origin.x = 2 * at.x - hole.origin.x - hole.size.width;
        const std::vector<platform::Rect> parts =
            leaveOut ? platform::rectMinus(screen, {&hole, 1}) : std::vector{screen};
        sea->drawPartsOfRect(screen, parts);
        state.blend = platform::Blend::Premultiplied;
        state.transform = platform::AffineTransform::scale(mirrored ? -1 : 1, 1)
                              .concat(platform::AffineTransform::translation(at.x, at.y))
                              .concat(state.transform);
        hills->drawVisibleAtPoint({0, 0});
        state.blend = platform::Blend::Off;
        state.transform = {};
        return readDrawn(0, 0, 480, 320);
      };
      const std::vector<uint8_t> whole = paint(false);
      EXPECT_EQ(paint(true), whole) << "scale " << scale << (mirrored ? ", mirrored" : "");
    }
  }
}

TEST_F(TextureDrawTest, DrawInRectStretchesOnlyThePictureUpright) {
  // Quadrants: red top-left, green top-right, blue bottom-left, white bottom-right.
  const auto image = makeImage(100, 60, false, [](int x, int y) {
    const bool right = x >= 50, bottom = y >= 30;
    return !bottom ? (right ? std::array<uint8_t, 4>{0, 255, 0, 255}
                            : std::array<uint8_t, 4>{255, 0, 0, 255})
                   : (right ? std::array<uint8_t, 4>{255, 255, 255, 255}
                            : std::array<uint8_t, 4>{0, 0, 255, 255});
  });
  const auto texture = Texture2D::initWithImage(image.get());
  texture->drawInRect({{0, 0}, {480, 320}});
  EXPECT_EQ(read(10, 310), (std::array<uint8_t, 4>{255, 0, 0, 255}));
  EXPECT_EQ(read(470, 310), (std::array<uint8_t, 4>{0, 255, 0, 255}));
  EXPECT_EQ(read(10, 10), (std::array<uint8_t, 4>{0, 0, 255, 255}));
  EXPECT_EQ(read(470, 10), (std::array<uint8_t, 4>{255, 255, 255, 255}));
}

// Pictures packed into one texture draw as their own textures do: blended, turned, scaled and at
// a fraction of a point, with edges that read the clear padding, the opposite edge where a
// picture fills its texture's width and height, or both. A picture without alpha, and a missing
// one, are made as alone.
TEST_F(TextureDrawTest, PackedPicturesDrawAsTheirOwnTexturesDo) {
  const auto pattern = [](int seed) {
    return [seed](int x, int y) {
      const uint8_t a = static_cast<uint8_t>((x * 37 + y * 11 + seed * 50) % 256);
      return std::array<uint8_t, 4>{static_cast<uint8_t>(x * 9 + seed), static_cast<uint8_t>(y * 5),
                                    static_cast<uint8_t>(200 - seed), a};
    };
  };
  const std::vector<std::shared_ptr<Image>> images = {
      makeImage(40, 24, true, pattern(1)),  // padding right and below
      makeImage(64, 20, true, pattern(2)),  // fills its width
      nullptr,
      makeImage(32, 16, true, pattern(3)),  // fills both sides
      solid(20, 20, false),
  };
  const auto packed =
      Texture2D::initPackedWithImages(images.size(), [&](size_t i) { return images[i]; });
  ASSERT_EQ(packed.size(), images.size());
  EXPECT_FALSE(packed[2]);
  EXPECT_EQ(packed[0]->name(), packed[1]->name());
  EXPECT_EQ(packed[0]->name(), packed[3]->name());
  EXPECT_NE(packed[4]->name(), packed[0]->name());
  EXPECT_EQ(packed[4]->pixelFormat(), Texture2DFormatRGB565);

  for (const size_t i : {0, 1, 3, 4}) {
    const auto alone = Texture2D::initWithImage(images[i].get());
    EXPECT_EQ(packed[i]->pixelsWide(), alone->pixelsWide());
    EXPECT_EQ(packed[i]->contentSize(), alone->contentSize());
    EXPECT_EQ(packed[i]->visibleArea(), alone->visibleArea());
    const std::vector<uint8_t> own = blendedPicture([&] { alone->drawAtPoint({0, 0}); });
    const std::vector<uint8_t> shared = blendedPicture([&] { packed[i]->drawAtPoint({0, 0}); });
    ASSERT_EQ(shared.size(), own.size());
    int worst = 0;
    for (size_t k = 0; k < own.size(); ++k) worst = std::max(worst, std::abs(own[k] - shared[k]));
    // Only where the interpolated coordinate rounds the other way between two texels.
    EXPECT_LE(worst, 1) << "picture " << i;
  }
}
