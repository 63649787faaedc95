// Packing a recording into a link's fragment and unpacking it again, with zlib's deflate and its
// check of what it unpacked.
#include "session/game_link.h"

#include <zlib.h>

#include <array>
#include <cctype>

namespace {

constexpr std::string_view kFragmentKey = "watch=";
constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";

std::string base64url(const std::string& bytes) {
  std::string text;
  text.reserve((bytes.size() + 2) / 3 * 4);
  uint32_t bits = 0;
  int held = 0;
  for (const unsigned char byte : bytes) {
    bits = bits << 8 | byte;
    held += 8;
    while (held >= 6) {
      held -= 6;
      text += kLetters[bits >> held & 63];
    }
  }
  if (held > 0) text += kLetters[bits << (6 - held) & 63];
  return text;
}

// The bytes of base64url `text` (padding and whitespace skipped; a last letter that holds no whole
// byte, as a link cut there ends, is dropped); nothing when a letter is not of its alphabet.
std::optional<std::string> fromBase64url(std::string_view text) {
  static const std::array<int, 256> values = [] {
    std::array<int, 256> table;
    table.fill(-1);
    for (int i = 0; i < 64; ++i) table[static_cast<unsigned char>(kLetters[i])] = i;
    return table;
  }();
  std::string bytes;
  uint32_t bits = 0;
  int held = 0;
  for (const char letter : text) {
    if (letter == '=' || std::isspace(static_cast<unsigned char>(letter))) continue;
    const int value = values[static_cast<unsigned char>(letter)];
    if (value < 0) return std::nullopt;
    bits = bits << 6 | static_cast<uint32_t>(value);
    held += 6;
    if (held >= 8) {
      held -= 8;
      bytes += static_cast<char>(bits >> held & 0xff);
    }
  }
  return bytes;
}

// What zlib's deflated `packed` unpacks to, at most kMostLinkedRecording bytes; nothing, with
// `error` saying why, when it is not whole or not what was packed.
std::optional<std::string> inflated(const std::string& packed, std::string& error) {
  z_stream stream{};
  if (inflateInit(&stream) != Z_OK) {
    error = "the link cannot be unpacked here";
    return std::nullopt;
  }
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data()));
  stream.avail_in = static_cast<uInt>(packed.size());
  std::string text;
  std::array<char, 16384> piece;
  int status = Z_OK;
  while (status == Z_OK) {
    stream.next_out = reinterpret_cast<Bytef*>(piece.data());
    stream.avail_out = piece.size();
    status = inflate(&stream, Z_NO_FLUSH);
    text.append(piece.data(), piece.size() - stream.avail_out);
    if (text.size() > kMostLinkedRecording) {
      inflateEnd(&stream);
      error = "the link's game unpacks to more than " +
              std::to_string(kMostLinkedRecording / (1024 * 1024)) + " MB";
      return std::nullopt;
    }
  }
  const bool whole = status == Z_STREAM_END && stream.avail_in == 0;
  inflateEnd(&stream);
  if (!whole) {
    error = status == Z_STREAM_END  ? "the link is damaged: it goes on after its game"
            : status == Z_BUF_ERROR ? "the link is cut short"  // its letters ran out first
                                    : "the link is damaged";
    return std::nullopt;
  }
  return text;
}

}  // namespace

std::string gameLinkFragment(const std::string& recording) {
  uLongf size = compressBound(static_cast<uLong>(recording.size()));
  std::string packed(size, '\0');
  compress2(reinterpret_cast<Bytef*>(packed.data()), &size,
            reinterpret_cast<const Bytef*>(recording.data()), static_cast<uLong>(recording.size()),
            Z_BEST_COMPRESSION);
  packed.resize(size);
  return std::string(kFragmentKey) + base64url(packed);
}

bool isGameLink(const std::string& text) {
  return text.find("#watch=") != std::string::npos;
}

std::optional<std::string> recordingFromLink(const std::string& link, std::string& error) {
  std::string_view rest = link;
  if (const size_t hash = rest.find('#'); hash != std::string_view::npos) {
    rest.remove_prefix(hash + 1);
  }
  if (!rest.starts_with(kFragmentKey)) {
    error = "the link holds no game";
    return std::nullopt;
  }
  rest.remove_prefix(kFragmentKey.size());
  rest = rest.substr(0, rest.find('&'));
  const std::optional<std::string> packed = fromBase64url(rest);
  if (!packed || packed->empty()) {
    error = packed ? "the link holds no game" : "the link is damaged: it is not a game's letters";
    return std::nullopt;
  }
  return inflated(*packed, error);
}

std::optional<ReplayScript> readWatchedScript(const std::string& argument, std::string& error,
                                              std::string& warning) {
  if (!isGameLink(argument)) return readReplayScript(argument, error, warning);
  const std::optional<std::string> recording = recordingFromLink(argument, error);
  if (!recording) return std::nullopt;
  return readReplayScriptText(*recording, "the link's game", error, warning);
}
