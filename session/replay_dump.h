// The replay's dump: JSON Lines, one compact object a line, keys in a fixed order, numbers
// written so that they read back exactly (floats with 9 significant digits, doubles with 17).
// The catalogue first, then a line at the end of every frame, then the final state.
#pragma once

#include <ostream>
#include <string>
#include <vector>

class SaltmereAppDelegate;

// The world as a frame's line shows it, without the frame's number, time and sounds: the same
// text for two runs that reached the same world.
std::string worldLine(const SaltmereAppDelegate& game);

class ReplayDump {
 public:
  // Listens to the game's frames and sounds; with no stream it only listens.
  ReplayDump(std::ostream* out, SaltmereAppDelegate& game);
  ~ReplayDump();
  ReplayDump(const ReplayDump&) = delete;
  ReplayDump& operator=(const ReplayDump&) = delete;

  void writeCatalogue();
  void writeFinal(double duration);

 private:
  void writeFrame(float dt);
  void write(const std::string& line);

  std::ostream* out_;
  SaltmereAppDelegate& game_;
  long frame_ = 0;
  std::vector<std::string> sounds_;  // started since the last frame line
};
