// Drawing strings into bitmaps: word wrapping within a width, hard line breaks, alignment per
// line, clipping to the rectangle. Coverage becomes the fill colour's strength.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/graphics/bitmap.h"
#include "platform/graphics/font.h"

namespace platform {

enum class TextAlignment { Left = 0, Center = 1, Right = 2 };

// The lines the text falls into: broken at "\n", "\r" and "\r\n", and wrapped at spaces so
// that each fits `width` (a word wider than that is broken between characters).
std::vector<std::u32string> wrapLines(std::u32string_view text, const Font& font, float width);

// Draws the text in the rectangle, whose top is its smallest y (the context is flipped, origin
// at the top-left, as the platform's string drawing expects), with the context's fill colour.
void drawString(BitmapContext& context, std::string_view text, Rect rect, const Font& font,
                TextAlignment alignment);

}  // namespace platform
