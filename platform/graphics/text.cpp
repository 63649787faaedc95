// Text is set line by line into a coverage canvas of the rectangle's size, glyphs at whole
// pixels, and the canvas is then filled into the bitmap in one pass.
#include "platform/graphics/text.h"

#include <algorithm>
#include <cmath>

namespace platform {
namespace {

bool isSpace(char32_t c) {
  return c == U' ' || c == U'\t';
}

std::vector<std::u32string_view> paragraphs(std::u32string_view text) {
  std::vector<std::u32string_view> out;
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] != U'\n' && text[i] != U'\r') continue;
    out.push_back(text.substr(start, i - start));
    if (i + 1 < text.size() && text[i] == U'\r' && text[i + 1] == U'\n') ++i;
    start = i + 1;
  }
  return out;
}

void wrapParagraph(std::u32string_view text, const Font& font, float width,
                   std::vector<std::u32string>& lines) {
  const std::vector<float> x = font.penPositions(text);
  size_t start = 0;
  do {
    size_t end = start, lastSpace = std::u32string_view::npos;
    // Spaces hang past the edge; anything else that would cross it ends the line.
    while (end < text.size() &&
           (isSpace(text[end]) || end == start || x[end + 1] - x[start] <= width)) {
      if (isSpace(text[end])) lastSpace = end;
      ++end;
    }
    if (end < text.size() && lastSpace != std::u32string_view::npos && lastSpace > start) {
      end = lastSpace;
    }
    std::u32string_view line = text.substr(start, end - start);
    while (!line.empty() && isSpace(line.back())) line.remove_suffix(1);
    lines.emplace_back(line);
    start = end;
    while (start < text.size() && isSpace(text[start])) ++start;
  } while (start < text.size());
}

}  // namespace

std::vector<std::u32string> wrapLines(std::u32string_view text, const Font& font, float width) {
  std::vector<std::u32string> lines;
  for (std::u32string_view paragraph : paragraphs(text)) {
    wrapParagraph(paragraph, font, width, lines);
  }
  return lines;
}

void drawString(BitmapContext& context, std::string_view text, Rect rect, const Font& font,
                TextAlignment alignment) {
  const int width = static_cast<int>(std::ceil(rect.size.width));
  const int height = static_cast<int>(std::ceil(rect.size.height));
  if (width <= 0 || height <= 0) return;
  std::vector<uint8_t> canvas(static_cast<size_t>(width) * height, 0);

  const std::vector<std::u32string> lines = wrapLines(decodeUtf8(text), font, rect.size.width);
  for (size_t index = 0; index < lines.size(); ++index) {
    const float top = static_cast<float>(index) * font.lineHeight();
    if (top >= height) break;
    const std::u32string& line = lines[index];
    const std::vector<float> pen = font.penPositions(line);
    const float room = rect.size.width - pen.back();
    const float start = alignment == TextAlignment::Center  ? room / 2
                        : alignment == TextAlignment::Right ? room
                                                            : 0;
    const int baseline = static_cast<int>(std::lround(top + font.ascender()));
    for (size_t k = 0; k < line.size(); ++k) {
      const Font::Glyph& glyph = font.glyph(line[k]);
      const int left =
          static_cast<int>(std::lround(start + pen[k + 1] - glyph.advance)) + glyph.left;
      const int up = baseline - glyph.top;
      for (int row = std::max(0, -up); row < glyph.height && up + row < height; ++row) {
        for (int column = std::max(0, -left); column < glyph.width && left + column < width;
             ++column) {
          uint8_t& to = canvas[static_cast<size_t>(up + row) * width + left + column];
          to = std::max(to, glyph.coverage[static_cast<size_t>(row) * glyph.width + column]);
        }
      }
    }
  }
  context.fillMask({rect.origin, {static_cast<float>(width), static_cast<float>(height)}},
                   canvas.data(), width, height, true);
}

}  // namespace platform
