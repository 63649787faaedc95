// Font lookup (font_files.h), glyphs through FreeType. The game's felt-pen face has no twin
// on Linux: a bold casual face, narrowed a little, stands in for it and keeps every text of the
// game inside the box made for it.
#include "platform/graphics/font.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <optional>

#include "platform/graphics/font_files.h"

namespace platform {

struct FaceChoice {
  std::string path;
  float condense = 1;
  float lineSpacing = 0;
};

namespace {

struct Substitute {
  std::string_view name;
  const char* pattern;  // font_files.h's
  const char* family;
  float condense;     // horizontal scale of the glyphs
  float lineSpacing;  // line height in ems; 0 keeps the face's own
};

constexpr Substitute kSubstitutes[] = {
    {"Marker Felt", "Comic Neue:style=Bold", "Comic Neue", 0.82f, 1.1f},
};
constexpr const char* kFallbackFamily = "DejaVu Sans";

FT_Library freeType() {
  static FT_Library library = [] {
    FT_Library created = nullptr;
    if (FT_Init_FreeType(&created) != 0) {
      std::fprintf(stderr, "tidewick: FreeType did not start; no text will be drawn\n");
      return static_cast<FT_Library>(nullptr);
    }
    return created;
  }();
  return library;
}

std::optional<FaceChoice> fallbackFace() {
  if (auto path = findFontFile(kFallbackFamily, kFallbackFamily)) return FaceChoice{*path};
  if (auto path = findFontFile("sans", nullptr)) return FaceChoice{*path};
  return std::nullopt;
}

// Looked up once a name; a stand-in is announced the first time only.
std::optional<FaceChoice> chooseFace(const std::string& name) {
  static std::map<std::string, std::optional<FaceChoice>> chosen;
  if (auto found = chosen.find(name); found != chosen.end()) return found->second;

  const Substitute* substitute = nullptr;
  for (const Substitute& candidate : kSubstitutes) {
    if (candidate.name == name) substitute = &candidate;
  }
  const char* family = substitute ? substitute->family : name.c_str();
  std::optional<FaceChoice> choice;
  if (auto path = findFontFile(substitute ? substitute->pattern : family, family)) {
    choice = substitute ? FaceChoice{*path, substitute->condense, substitute->lineSpacing}
                        : FaceChoice{*path};
  }
  if (!choice) {
    choice = fallbackFace();
    if (choice) {
      std::fprintf(stderr, "tidewick: the font %s is not installed; using %s for \"%s\"\n", family,
                   choice->path.c_str(), name.c_str());
    } else {
      std::fprintf(stderr, "tidewick: no font is installed; text will not be drawn\n");
    }
  }
  chosen[name] = choice;
  return choice;
}

std::shared_ptr<const std::vector<uint8_t>> fontFile(const std::string& path) {
  static std::map<std::string, std::shared_ptr<const std::vector<uint8_t>>> files;
  auto& file = files[path];
  if (!file) {
    std::ifstream in(path, std::ios::binary);
    file = std::make_shared<const std::vector<uint8_t>>(std::istreambuf_iterator<char>(in),
                                                        std::istreambuf_iterator<char>());
  }
  return file;
}

}  // namespace

std::u32string decodeUtf8(std::string_view text) {
  std::u32string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const auto byte = static_cast<unsigned char>(text[i]);
    const int length = byte < 0x80         ? 1
                       : (byte >> 5) == 6  ? 2
                       : (byte >> 4) == 14 ? 3
                       : (byte >> 3) == 30 ? 4
                                           : 0;
    char32_t code = length == 1   ? byte
                    : length == 2 ? byte & 0x1F
                    : length == 3 ? byte & 0x0F
                                  : byte & 0x07;
    bool valid = length > 0 && i + length <= text.size();
    for (int k = 1; valid && k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      valid = (next >> 6) == 2;
      code = (code << 6) | (next & 0x3F);
    }
    if (valid && code <= 0x10FFFF) {
      out.push_back(code);
      i += length;
    } else {
      out.push_back(U'\uFFFD');
      i += 1;
    }
  }
  return out;
}

std::shared_ptr<Font> Font::fontWithName(const std::string& name, float size) {
  static std::map<std::pair<std::string, float>, std::shared_ptr<Font>> fonts;
  auto& font = fonts[{name, size}];
  if (font) return font;
  const std::optional<FaceChoice> choice = chooseFace(name);
  if (!choice || !freeType()) return nullptr;
  auto file = fontFile(choice->path);
  FT_Face face = nullptr;
  if (file->empty() || FT_New_Memory_Face(freeType(), file->data(),
                                          static_cast<FT_Long>(file->size()), 0, &face) != 0) {
    std::fprintf(stderr, "tidewick: cannot read the font %s\n", choice->path.c_str());
    return nullptr;
  }
  font.reset(new Font(face, std::move(file), size, *choice));
  return font;
}

Font::Font(FT_FaceRec_* face, std::shared_ptr<const std::vector<uint8_t>> file, float size,
           const FaceChoice& choice)
    : face_(face), file_(std::move(file)), size_(size), condense_(choice.condense) {
  // A size below one pixel draws nothing worth seeing; FreeType refuses zero.
  FT_Set_Char_Size(face_, 0, std::max<FT_F26Dot6>(64, std::lround(size * 64)), 72, 72);
  FT_Matrix narrow{static_cast<FT_Fixed>(std::lround(condense_ * 0x10000)), 0, 0, 0x10000};
  FT_Set_Transform(face_, &narrow, nullptr);
  const FT_Size_Metrics& metrics = face_->size->metrics;
  ascender_ = metrics.ascender / 64.0f;
  descender_ = metrics.descender / 64.0f;
  lineHeight_ = choice.lineSpacing > 0 ? size * choice.lineSpacing : metrics.height / 64.0f;
}

Font::~Font() {
  FT_Done_Face(face_);
}

const Font::Glyph& Font::glyph(char32_t character) const {
  auto found = glyphs_.find(character);
  if (found != glyphs_.end()) return found->second;
  Glyph& glyph = glyphs_[character];
  if (FT_Load_Char(face_, character, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) != 0) return glyph;
  const FT_GlyphSlot slot = face_->glyph;
  const FT_Bitmap& bitmap = slot->bitmap;
  glyph.index = slot->glyph_index;
  glyph.left = slot->bitmap_left;
  glyph.top = slot->bitmap_top;
  glyph.width = static_cast<int>(bitmap.width);
  glyph.height = static_cast<int>(bitmap.rows);
  glyph.advance = slot->advance.x / 64.0f;
  glyph.coverage.resize(static_cast<size_t>(glyph.width) * glyph.height);
  for (int row = 0; row < glyph.height; ++row) {
    const uint8_t* from = bitmap.buffer + static_cast<ptrdiff_t>(row) * bitmap.pitch;
    std::copy_n(from, glyph.width, &glyph.coverage[static_cast<size_t>(row) * glyph.width]);
  }
  return glyph;
}

float Font::kerning(const Glyph& left, const Glyph& right) const {
  if (!FT_HAS_KERNING(face_)) return 0;
  FT_Vector delta{};
  FT_Get_Kerning(face_, left.index, right.index, FT_KERNING_DEFAULT, &delta);
  return delta.x / 64.0f * condense_;
}

std::vector<float> Font::penPositions(std::u32string_view text) const {
  std::vector<float> pen(text.size() + 1, 0);
  const Glyph* previous = nullptr;
  for (size_t k = 0; k < text.size(); ++k) {
    const Glyph& g = glyph(text[k]);
    pen[k + 1] = pen[k] + (previous ? kerning(*previous, g) : 0) + g.advance;
    previous = &g;
  }
  return pen;
}

float Font::widthOfCharacters(std::u32string_view text) const {
  return penPositions(text).back();
}

float Font::widthOfString(std::string_view text) const {
  return widthOfCharacters(decodeUtf8(text));
}

}  // namespace platform
