// The desktop's fonts, through fontconfig.
#include "platform/graphics/font_files.h"

#include <fontconfig/fontconfig.h>
#include <strings.h>

namespace platform {

// fontconfig always offers something: the match counts only if its family is the one asked for.
std::optional<std::string> findFontFile(const char* pattern, const char* family) {
  static const bool ready = FcInit();
  if (!ready) return std::nullopt;
  FcPattern* wanted = FcNameParse(reinterpret_cast<const FcChar8*>(pattern));
  if (!wanted) return std::nullopt;
  FcConfigSubstitute(nullptr, wanted, FcMatchPattern);
  FcDefaultSubstitute(wanted);
  FcResult result;
  FcPattern* match = FcFontMatch(nullptr, wanted, &result);
  FcPatternDestroy(wanted);
  if (!match) return std::nullopt;

  std::optional<std::string> path;
  bool familyMatches = family == nullptr;
  FcChar8* value = nullptr;
  for (int i = 0;
       !familyMatches && FcPatternGetString(match, FC_FAMILY, i, &value) == FcResultMatch; ++i) {
    familyMatches = strcasecmp(reinterpret_cast<const char*>(value), family) == 0;
  }
  if (familyMatches && FcPatternGetString(match, FC_FILE, 0, &value) == FcResultMatch) {
    path = reinterpret_cast<const char*>(value);
  }
  FcPatternDestroy(match);
  return path;
}

}  // namespace platform
