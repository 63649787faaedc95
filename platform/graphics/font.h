// Fonts by name and size, found through fontconfig and rendered by FreeType. A point is a pixel
// of the bitmaps text is drawn into. Faces and rendered glyphs are cached.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct FT_FaceRec_;

namespace platform {

struct FaceChoice;

// UTF-8 to code points; a malformed byte becomes U+FFFD.
std::u32string decodeUtf8(std::string_view text);

class Font {
 public:
  struct Glyph {
    unsigned index = 0;     // the face's glyph number
    int left = 0, top = 0;  // bitmap offset from the pen position, top counted upwards
    int width = 0, height = 0;
    float advance = 0;
    std::vector<uint8_t> coverage;  // rows top first
  };

  // The font of that name at `size` points. A name the desktop lacks maps to a stand-in face,
  // with one warning; null only when the desktop has no usable font at all.
  static std::shared_ptr<Font> fontWithName(const std::string& name, float size);
  ~Font();
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;

  float pointSize() const { return size_; }
  float ascender() const { return ascender_; }
  float descender() const { return descender_; }  // below the baseline: negative
  float lineHeight() const { return lineHeight_; }

  // The width of the text set on one line.
  float widthOfString(std::string_view text) const;
  float widthOfCharacters(std::u32string_view text) const;
  // Where the pen stands after the first k characters set on one line, for k from 0 to the
  // length: glyph k ends at entry k + 1, the last entry is the width.
  std::vector<float> penPositions(std::u32string_view text) const;
  const Glyph& glyph(char32_t character) const;
  // The adjustment between two neighbouring glyphs.
  float kerning(const Glyph& left, const Glyph& right) const;

 private:
  Font(FT_FaceRec_* face, std::shared_ptr<const std::vector<uint8_t>> file, float size,
       const FaceChoice& choice);

  FT_FaceRec_* face_;
  std::shared_ptr<const std::vector<uint8_t>> file_;  // the face reads from it
  float size_, condense_;
  float ascender_ = 0, descender_ = 0, lineHeight_ = 0;
  mutable std::map<char32_t, Glyph> glyphs_;
};

}  // namespace platform
