// The page's fonts: the two families the game draws with travel in the page's data, in /fonts.
#include <strings.h>

#include <filesystem>

#include "platform/graphics/font_files.h"

namespace platform {
namespace {

struct PageFont {
  const char* family;
  const char* path;
};

constexpr PageFont kPageFonts[] = {
    {"Comic Neue", "/fonts/ComicNeue-Bold.otf"},
    {"DejaVu Sans", "/fonts/DejaVuSans.ttf"},
};

}  // namespace

// The pattern's style is the one the page's file has; a pattern naming no family of the page's
// ("sans") gets the last, the plain face.
std::optional<std::string> findFontFile(const char* pattern, const char* family) {
  (void)pattern;
  const PageFont* found = family ? nullptr : &kPageFonts[std::size(kPageFonts) - 1];
  for (const PageFont& font : kPageFonts) {
    if (family && strcasecmp(font.family, family) == 0) found = &font;
  }
  std::error_code error;
  if (!found || !std::filesystem::is_regular_file(found->path, error)) return std::nullopt;
  return found->path;
}

}  // namespace platform
