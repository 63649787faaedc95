// Where a font's file is: the system's fonts on the desktop, the page's own in a browser.
#pragma once

#include <optional>
#include <string>

namespace platform {

// The file of the best match for `pattern` (fontconfig's form, "Family:style=Bold"), if its family
// is `family`; any family when `family` is null. Nothing when no font answers.
std::optional<std::string> findFontFile(const char* pattern, const char* family);

}  // namespace platform
