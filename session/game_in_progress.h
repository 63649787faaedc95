// The player's game under way, kept in the state folder as it is played, so that the next start
// brings it back after a crash, a kill, a power cut or, in the page, a page thrown away: the
// session's recording so far, written through in pieces, and the clock's time it was last seen at.
#pragma once

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "session/replay.h"

class GameInProgress {
 public:
  // A new piece of the recording is begun once the last one has this many bytes: the page's
  // storage writes a changed file whole, so each write stays small however long the session.
  static constexpr long kPieceBytes = 64 * 1024;

  // Keeps the game in `folder`.
  explicit GameInProgress(std::filesystem::path folder) : folder_(std::move(folder)) {}
  ~GameInProgress();
  GameInProgress(const GameInProgress&) = delete;
  GameInProgress& operator=(const GameInProgress&) = delete;

  // A game an earlier session left under way: its recording (the script's duration is the time
  // it was last seen at) and the recording's text, its opening line and its whole event lines.
  struct Left {
    ReplayScript script;
    std::string opening;
    std::string events;
  };
  // What the folder holds, if anything. A game that crashed the start that brought it back, or one
  // that cannot be read, is moved aside with a line on stderr and not offered. A game taken is
  // kept on from where it stood: what is added goes on after it.
  std::optional<Left> takeLeft();

  // Keeps a game from now on, its recording so far being `text`.
  void begin(const std::string& text);
  // A line more of the recording, while a game is kept.
  void add(const std::string& line);
  // The game was under way at the clock's `time`: what is kept so far goes to the disk.
  void seen(double time);
  // The game is over, or was never the player's: nothing is brought back.
  void end();
  bool keeping() const { return keeping_; }

  // The game taken is being brought back (true) or is back (false): a start that crashes in
  // between leaves a mark, and the next start does not try again.
  void markBringingBack(bool bringing);

 private:
  std::filesystem::path piecePath(int number) const;
  void closePiece();
  // Appends `text` to the last piece, beginning a new one once it is full.
  void write(const std::string& text);
  // Says once that the game cannot be kept, and stops keeping it.
  void fail(const std::string& what);

  std::filesystem::path folder_;
  bool keeping_ = false;
  int piece_ = 0;  // the number of the piece written to
  std::FILE* file_ = nullptr;
  long pieceBytes_ = 0;
};

// $XDG_STATE_HOME/tidewick/game-in-progress, or ~/.local/state/tidewick/game-in-progress.
std::filesystem::path gameInProgressPath();
