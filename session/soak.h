// tidewick soak: the built-in player plays game after game on the virtual clock, for each of
// several seeds, while the world's invariants are checked after every frame and the live
// textures, views and timers are compared from game to game.
#pragma once

#include <string>
#include <vector>

// `tidewick soak` with the words after "soak": exit status 0 when every check held, 1 at the
// first violation (named with its seed and frame) or when a seed played fewer games or frames,
// or made fewer checks, than its minutes call for; 2 for a malformed command line.
int soakCommand(const std::vector<std::string>& arguments);
