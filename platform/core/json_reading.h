// JSON from files the player or a script supplies: parsed with its nesting capped, so that no
// reader, writer or comparison later recurses through thousands of levels.
#pragma once

#include <istream>
#include <string>

#include <nlohmann/json.hpp>

namespace platform {

// Deeper documents are refused; the game's own files nest three or four levels.
constexpr int kMaxJsonDepth = 64;

// The document read from `in`; a discarded value (`is_discarded()`), with `error` saying why
// ("is not JSON: line 3, column 5: ...", "is not JSON: number overflow parsing '1e400'" or "nests
// deeper than 64 levels"), when it cannot be taken. No error of the JSON library escapes.
nlohmann::json readJson(std::istream& in, std::string& error);

}  // namespace platform
