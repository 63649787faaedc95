// A challenge on the same sea: the player's best game remembered by its sea (the seed and the
// draws taken from it before the game) and its score, carried to a friend in the page's address,
// and the words that tell the friend how it went.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

// Where a game's random numbers stand as it starts.
struct Sea {
  uint32_t seed = 0;
  uint64_t draws = 0;
};

struct Challenge {
  std::optional<Sea> sea;  // unknown for a best game played before seas were remembered
  int score = 0;
};

// $XDG_STATE_HOME/tidewick/best-game.json, or ~/.local/state/tidewick/best-game.json.
std::filesystem::path bestGamePath();
// The best game kept at `path`; nothing when none is kept. A damaged file is moved aside, with a
// line saying so.
std::optional<Challenge> readBestGame(const std::filesystem::path& path);
// Keeps `best` (with its sea) at `path`; false, with a line, when it cannot be written.
bool keepBestGame(const std::filesystem::path& path, const Challenge& best);

// The address's query that carries `challenge`: "beat=SCORE.SEED.DRAWS", or "beat=SCORE"
// without its sea. One field, without '&': the mail's body keeps it as it stands.
std::string challengeQuery(const Challenge& challenge);
// The challenge an address's `beat` gives ("SCORE.SEED.DRAWS" or "SCORE"); nothing, with `error`
// saying what is damaged, when it cannot be read.
std::optional<Challenge> readChallenge(const std::string& beat, std::string& error);

// What the page says while a challenge waits for its game, and at that game's end.
std::string challengeInvitation(const Challenge& challenge);
std::string challengeOutcome(const Challenge& challenge, int score);
