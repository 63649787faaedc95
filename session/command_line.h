// The command line: options shared by every command, then an optional command word.
#pragma once

#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

struct CommandLine {
  bool help = false;
  bool version = false;
  int scale = 2;
  bool fullscreen = false;
  bool headless = false;
  bool classicFrames = false;  // pictures only on the frame timer, as the phone made them
  std::optional<uint32_t> seed;
  std::optional<std::string> defaults;
  std::optional<std::string> record;  // the session written as a replay script as it goes
  std::optional<std::string> dump;    // the replay's dump of the session
  // A command word and its own arguments; empty to play.
  std::vector<std::string> command;
};

// The parsed line, or the reason it could not be parsed.
struct ParsedCommandLine {
  std::optional<CommandLine> line;
  std::string error;
};

// The whole text as a number of that type, or nothing (no sign, space or junk around it).
template <typename Number>
std::optional<Number> parseNumber(const std::string& text) {
  Number value{};
#ifdef __EMSCRIPTEN__
  // The page's C++ library reads no floating-point text: strtod, held to from_chars' form.
  if constexpr (std::is_floating_point_v<Number>) {
    if (text.empty() || std::isspace(static_cast<unsigned char>(text[0])) || text[0] == '+' ||
        text.find_first_of("xX") != std::string::npos) {
      return std::nullopt;
    }
    char* end = nullptr;
    errno = 0;
    value = static_cast<Number>(std::strtod(text.c_str(), &end));
    if (errno == ERANGE || end != text.c_str() + text.size()) return std::nullopt;
    return value;
  } else
#endif
  {
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
  }
}

ParsedCommandLine parseCommandLine(const std::vector<std::string>& arguments);
std::string usage();
