// The kept game's folder: pieces "recording-0001.json", "recording-0002.json"... that make the
// recording when put end to end, "seen" with the clock's time, and "bringing-back" while a start
// brings the game back.
#include "session/game_in_progress.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/core/stored_file.h"
#include "session/spelt_numbers.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kPiecePrefix = "recording-";
constexpr const char* kSeenFile = "seen";
constexpr const char* kBringingBackFile = "bringing-back";

// The pieces in the folder, in their order, with their numbers.
std::vector<std::pair<int, fs::path>> piecesIn(const fs::path& folder) {
  std::vector<std::pair<int, fs::path>> pieces;
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind(kPiecePrefix, 0) != 0) continue;
    const int number = std::atoi(name.c_str() + std::strlen(kPiecePrefix));
    if (number > 0) pieces.emplace_back(number, entry.path());
  }
  std::sort(pieces.begin(), pieces.end());
  return pieces;
}

// The length of the first `count` lines of `text`, their line ends included.
size_t lengthOfLines(const std::string& text, size_t count) {
  size_t end = 0;
  for (size_t line = 0; line < count && end < text.size(); ++line) {
    const size_t newline = text.find('\n', end);
    end = newline == std::string::npos ? text.size() : newline + 1;
  }
  return end;
}

}  // namespace

GameInProgress::~GameInProgress() {
  closePiece();
}

std::optional<GameInProgress::Left> GameInProgress::takeLeft() {
  std::error_code error;
  if (!fs::is_directory(folder_, error)) return std::nullopt;
  if (fs::exists(folder_ / kBringingBackFile, error)) {
    platform::moveAside(folder_, "holds a game that crashed tidewick as it was brought back",
                        "it is not offered again");
    return std::nullopt;
  }
  const auto pieces = piecesIn(folder_);
  std::string text;
  for (const auto& [number, path] : pieces) text += platform::readWhole(path).value_or("");
  std::string readError, warning;
  std::optional<ReplayScript> script =
      text.empty() ? std::nullopt : readReplayScriptText(text, "its recording", readError, warning);
  if (!script) {
    platform::moveAside(folder_,
                        "holds a game that cannot be read (" +
                            (text.empty() ? std::string("no recording") : readError) + ")",
                        "the game is not brought back");
    return std::nullopt;
  }
  // The game was seen after its last input, up to a second before it was left.
  const double seen =
      std::strtod(platform::readWhole(folder_ / kSeenFile).value_or("").c_str(), nullptr);
  if (seen > script->duration && std::isfinite(seen)) script->duration = seen;

  // What a cut dropped (a line torn by a power cut) is dropped from the last piece too, so that
  // the lines added from now on follow the last whole one.
  Left left{std::move(*script), {}, {}};
  const size_t opening = lengthOfLines(text, 1);
  const size_t whole = lengthOfLines(text, 1 + left.script.events.size());
  left.opening = text.substr(0, opening);
  left.events = text.substr(opening, whole - opening);
  const fs::path& last = pieces.back().second;
  const auto lastSize = static_cast<size_t>(fs::file_size(last, error));
  fs::resize_file(last, lastSize - std::min(lastSize, text.size() - whole), error);
  piece_ = pieces.back().first;
  keeping_ = true;
  return left;
}

void GameInProgress::begin(const std::string& text) {
  end();
  std::error_code error;
  fs::create_directories(folder_, error);
  piece_ = 1;
  keeping_ = true;
  write(text);
}

void GameInProgress::add(const std::string& line) {
  if (keeping_) write(line);
}

void GameInProgress::write(const std::string& text) {
  if (file_ && pieceBytes_ >= kPieceBytes) {
    closePiece();
    ++piece_;
  }
  if (!file_) {
    file_ = std::fopen(piecePath(piece_).c_str(), "ab");
    if (!file_) return fail("cannot be written");
    pieceBytes_ = std::ftell(file_);
  }
  if (std::fwrite(text.data(), 1, text.size(), file_) != text.size() || std::fflush(file_) != 0) {
    return fail("could not be written on");
  }
  pieceBytes_ += static_cast<long>(text.size());
}

void GameInProgress::seen(double time) {
  if (!keeping_) return;
  // Through to the disk, not just to the system: a power cut keeps it.
  if (file_ && ::fsync(::fileno(file_)) != 0) return fail("could not be written on");
  if (!platform::writeWhole(folder_ / kSeenFile, spelt(time), "the time of the game under way")) {
    fail("could not be written on");
  }
}

void GameInProgress::end() {
  closePiece();
  keeping_ = false;
  platform::removeStored(folder_, "the game under way");
}

void GameInProgress::markBringingBack(bool bringing) {
  if (bringing) {
    platform::writeWhole(folder_ / kBringingBackFile, "", "the mark of a game brought back");
  } else {
    platform::removeStored(folder_ / kBringingBackFile, "the mark of a game brought back");
  }
}

fs::path GameInProgress::piecePath(int number) const {
  char name[32];
  std::snprintf(name, sizeof name, "%s%04d.json", kPiecePrefix, number);
  return folder_ / name;
}

void GameInProgress::closePiece() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
  pieceBytes_ = 0;
}

void GameInProgress::fail(const std::string& what) {
  std::fprintf(stderr,
               "tidewick: the game under way %s in %s (%s); it will not come back if the game "
               "closes\n",
               what.c_str(), folder_.c_str(), std::strerror(errno));
  closePiece();
  keeping_ = false;
}

fs::path gameInProgressPath() {
  return platform::stateFolder() / "game-in-progress";
}
