// tidewick watch: a recording, or any replay script, played in a window at real speed with its
// sound, in a sandbox that never touches the player's records.
#pragma once

#include <string>
#include <vector>

// `tidewick watch` with the words after "watch": exit status 0 when the watcher ends it, 1 when
// no window can be opened, 2 for a malformed command line or script.
int watchCommand(const std::vector<std::string>& arguments);
