// Games as links: a recording packed into an address's fragment ("#watch=..."), which a browser
// never sends to a server, and read back from one. A link comes from outside: whatever it holds,
// reading it ends in a recording or in words saying why there is none.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "session/replay.h"

// Past this many characters a game's link is too long for every place a link goes: the game is
// shared as its file instead.
constexpr size_t kLongestGameLink = 64 * 1024;
// The most a link's game may unpack to, far past any game a link can hold: a link made to unpack
// without end is refused at this size.
constexpr size_t kMostLinkedRecording = 16 * 1024 * 1024;

// The fragment that holds `recording` (without its '#'): "watch=" and the recording deflated with
// zlib, in base64url without padding.
std::string gameLinkFragment(const std::string& recording);

// Whether `text` is meant as a link to a game rather than a file's path: it holds "#watch=".
bool isGameLink(const std::string& text);

// The recording that `link` holds: a whole address, or its fragment from "#watch=" or "watch=" on
// (up to any '&' that follows). Line breaks and spaces a mail program put in are skipped. Nothing,
// with `error` saying why, when it holds no game or its game is damaged.
std::optional<std::string> recordingFromLink(const std::string& link, std::string& error);

// The script to watch that `argument` names: a game's link, or a script's file. Nothing, with
// `error` saying why, when it holds no game.
std::optional<ReplayScript> readWatchedScript(const std::string& argument, std::string& error,
                                              std::string& warning);
