// Text: line breaking, where alignment puts the ink, widths, the colour of alpha-only text, and
// the game's fixed texts inside the boxes made for them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "gl/texture2d.h"
#include "platform/graphics/text.h"
#include "tests/support/test_display.h"

using platform::Font;
using platform::TextAlignment;

namespace {

std::shared_ptr<Font> markerFelt(float size) {
  auto font = Font::fontWithName("Marker Felt", size);
  if (!font) ADD_FAILURE() << "no font";
  return font;
}

// A grey bitmap flipped like a text texture's, with the text drawn in white.
struct Inked {
  int width, height;
  std::vector<uint8_t> grey;

  Inked(int w, int h, std::string_view text, float size, TextAlignment alignment)
      : width(w), height(h), grey(static_cast<size_t>(w) * h, 0) {
    platform::BitmapContext context(grey.data(), w, h, w, platform::BitmapLayout::Gray);
    context.setGrayFillColor(1, 1);
    context.translateCTM(0, static_cast<float>(h));
    context.scaleCTM(1, -1);
    platform::drawString(context, text, {{0, 0}, {static_cast<float>(w), static_cast<float>(h)}},
                         *markerFelt(size), alignment);
  }
  bool inkInColumns(int from, int to) const { return ink(from, to, 0, height); }
  bool inkInRows(int from, int to) const { return ink(0, width, from, to); }
  bool ink(int x0, int x1, int y0, int y1) const {
    for (int y = y0; y < y1; ++y) {
      for (int x = x0; x < x1; ++x) {
        if (grey[static_cast<size_t>(y) * width + x] > 64) return true;
      }
    }
    return false;
  }
};

}  // namespace

TEST(TextTest, LinesBreakAtNewlinesAndWrapAtSpaces) {
  const auto font = markerFelt(20);
  EXPECT_EQ(platform::wrapLines(U"a\nb\r\nc\rd", *font, 100),
            (std::vector<std::u32string>{U"a", U"b", U"c", U"d"}));
  EXPECT_EQ(platform::wrapLines(U"", *font, 100), (std::vector<std::u32string>{U""}));
  const float word = std::max(font->widthOfCharacters(U"hello"), font->widthOfCharacters(U"world"));
  EXPECT_EQ(platform::wrapLines(U"hello world", *font, word + 1),
            (std::vector<std::u32string>{U"hello", U"world"}));
  EXPECT_EQ(platform::wrapLines(U"hello   world", *font, 1000),
            (std::vector<std::u32string>{U"hello   world"}));
  // A word wider than the line is broken between characters.
  const auto pieces = platform::wrapLines(U"abcdefgh", *font, font->widthOfCharacters(U"abc") + 1);
  ASSERT_GE(pieces.size(), 3u);
  std::u32string joined;
  for (auto& piece : pieces) joined += piece;
  EXPECT_EQ(joined, U"abcdefgh");
}

TEST(TextTest, AlignmentPutsTheInkLeftCentredOrRight) {
  const Inked left(200, 40, "W", 24, TextAlignment::Left);
  EXPECT_TRUE(left.inkInColumns(0, 30));
  EXPECT_FALSE(left.inkInColumns(40, 200));
  const Inked centre(200, 40, "W", 24, TextAlignment::Center);
  EXPECT_TRUE(centre.inkInColumns(90, 110));
  EXPECT_FALSE(centre.inkInColumns(0, 70));
  EXPECT_FALSE(centre.inkInColumns(130, 200));
  const Inked right(200, 40, "W", 24, TextAlignment::Right);
  EXPECT_TRUE(right.inkInColumns(170, 200));
  EXPECT_FALSE(right.inkInColumns(0, 160));
}

TEST(TextTest, TwoWordsTooWideForOneLineTakeTwo) {
  const auto font = markerFelt(20);
  const int width =
      static_cast<int>(std::max(font->widthOfString("hello"), font->widthOfString("world"))) + 4;
  const int line = static_cast<int>(font->lineHeight());
  const Inked oneLine(200, 3 * line, "hello world", 20, TextAlignment::Left);
  EXPECT_TRUE(oneLine.inkInRows(0, line));
  EXPECT_FALSE(oneLine.inkInRows(line + 2, 3 * line));
  const Inked twoLines(width, 3 * line, "hello world", 20, TextAlignment::Left);
  EXPECT_TRUE(twoLines.inkInRows(0, line));
  EXPECT_TRUE(twoLines.inkInRows(line, 2 * line));
  EXPECT_FALSE(twoLines.inkInRows(2 * line + 2, 3 * line));
}

TEST(TextTest, WidthGrowsWithTheTextAndTheSize) {
  const auto font = markerFelt(27);
  EXPECT_GT(font->widthOfString("12"), font->widthOfString("1"));
  EXPECT_GT(font->widthOfString("1250"), font->widthOfString("125"));
  EXPECT_EQ(font->widthOfString(""), 0);
  EXPECT_GT(markerFelt(54)->widthOfString("1250"), font->widthOfString("1250"));
  EXPECT_EQ(Font::fontWithName("Marker Felt", 27), font);  // cached, not loaded again
}

TEST(TextTest, FixedTextsFitTheirBoxes) {
  struct Box {
    const char* text;
    float size, width;
  } boxes[] = {{"score 0", 18, 61.6f},
               {"round clear!", 60, 468},
               {"round 10", 100, 520},
               {"achievement: clean machine", 20, 240},
               {"clean machine", 24, 125}};
  for (const Box& box : boxes) {
    EXPECT_LE(markerFelt(box.size)->widthOfString(box.text), box.width) << box.text;
  }
  EXPECT_LE(3 * markerFelt(18)->lineHeight(), 60);
}

// Text drawn as the scene draws it (premultiplied blending, modulated by white) over black.
class TextDrawTest : public testing::Test {
 protected:
  void SetUp() override { startSceneFrame(*screen_.glView); }
  // The RGBA pixels under `text` drawn at the screen's centre.
  std::vector<uint8_t> drawnAtTheCentre(const Texture2D& text) {
    platform::DrawState& state = platform::Renderer::shared().state();
    state.blend = platform::Blend::Premultiplied;
    text.drawAtPoint({240, 160});
    const platform::Size size = text.contentSize();
    const int x = static_cast<int>(std::floor(240 - size.width / 2));
    const int y = static_cast<int>(std::floor(160 - size.height / 2));
    const int width = static_cast<int>(std::ceil(size.width)) + 1;
    const int height = static_cast<int>(std::ceil(size.height)) + 1;
    std::vector<uint8_t> pixels = readDrawn(x, y, width, height);
    state.blend = platform::Blend::Off;
    return pixels;
  }

  LandscapeScreen screen_ = makeLandscapeScreen();
};

TEST_F(TextDrawTest, AlphaOnlyTextIsWhiteUnderTheDefaultColour) {
  const auto text = Texture2D::initWithString("1250", {81, 30}, 1, "Marker Felt", 27);
  const std::vector<uint8_t> pixels = drawnAtTheCentre(*text);
  int white = 0, coloured = 0;
  for (size_t i = 0; i < pixels.size(); i += 4) {
    if (pixels[i] == 255 && pixels[i + 1] == 255 && pixels[i + 2] == 255) ++white;
    if (pixels[i] != pixels[i + 1] || pixels[i + 1] != pixels[i + 2]) ++coloured;
  }
  EXPECT_GT(white, 50);
  EXPECT_EQ(coloured, 0);
}

TEST_F(TextDrawTest, ColouredTextIsPremultipliedAndUnknownFontsFallBack) {
  const auto text = Texture2D::initWithStringRGBA("clean machine", {125, 40}, 0, "Marker Felt", 24,
                                                  1, 0, 0, 0.5f);
  EXPECT_EQ(text->pixelFormat(), Texture2DFormatRGBA8888);
  const std::vector<uint8_t> pixels = drawnAtTheCentre(*text);
  // Half-transparent red over black: premultiplied, the fullest ink is half of full red (drawn
  // straight, it would be full red; a little more where strokes cross); no green or blue.
  int reddest = 0, otherColours = 0;
  for (size_t i = 0; i < pixels.size(); i += 4) {
    reddest = std::max<int>(reddest, pixels[i]);
    otherColours += pixels[i + 1] != 0 || pixels[i + 2] != 0;
  }
  EXPECT_NEAR(reddest, 128, 16);
  EXPECT_EQ(otherColours, 0);

  testing::internal::CaptureStderr();
  EXPECT_TRUE(Font::fontWithName("No Such Font Anywhere", 12));
  EXPECT_NE(testing::internal::GetCapturedStderr().find("not installed"), std::string::npos);
}
