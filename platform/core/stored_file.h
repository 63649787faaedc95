// Files the player keeps (settings, controls): written whole and atomically, and moved aside,
// never overwritten, when they are found damaged.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace platform {

// The game's folder under the XDG base folder `variable` names ("XDG_CONFIG_HOME"), or under
// `underHome` in the home folder when it is unset (".config"), or in the working folder.
std::filesystem::path gameFolder(const char* variable, const std::filesystem::path& underHome);
// The folder of what the game keeps between starts that is not a setting (the last game, the game
// under way, the best game): $XDG_STATE_HOME/tidewick, or ~/.local/state/tidewick.
std::filesystem::path stateFolder();

// The whole of the file at `path`; nothing when it cannot be opened.
std::optional<std::string> readWhole(const std::filesystem::path& path);

// Replaces `path` with `text`, creating its folder; a crash at any moment leaves the old file or
// the new one. False, with a line naming `what` and the reason, when it cannot be written.
bool writeWhole(const std::filesystem::path& path, const std::string& text,
                const std::string& what);

// Removes `path`, a file or a folder with all it holds. False, with a line naming `what` and the
// reason, when it cannot be removed.
bool removeStored(const std::filesystem::path& path, const std::string& what);

// Renames a damaged file to "<name>.corrupt-<seconds>" (then "-2", "-3"... where that is
// taken), never over another file, and says so with what is wrong with it (`fault`, "is not
// JSON: ...") and `consequence` ("settings start afresh").
void moveAside(const std::filesystem::path& path, const std::string& fault,
               const std::string& consequence);

}  // namespace platform
