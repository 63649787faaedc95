// tidewick watch: a recording, or any replay script, played in a window at real speed with its
// sound, in a sandbox that never touches the player's records.
#pragma once

#include <functional>
#include <string>
#include <vector>

class SaltmereAppDelegate;
struct ReplayScript;
namespace platform {
class Display;
}

// `tidewick watch` with the words after "watch": exit status 0 when the watcher ends it, 1 when
// no window can be opened, 2 for a malformed command line or script.
int watchCommand(const std::vector<std::string>& arguments);

// Watches `script` in `window` until Escape or the window closes; false when a game could not be
// made. `left`, when given, sees the game as the watcher leaves it, at its clock's time.
bool watchScript(platform::Display& window, const ReplayScript& script,
                 const std::function<void(SaltmereAppDelegate& game, double time)>& left = {});
