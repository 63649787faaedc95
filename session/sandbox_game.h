// The game in a sandbox, as replays, soaks and the watcher run it: on a virtual clock, with a
// store of settings of its own (never the player's), as a script's opening sets it out (the seed,
// the draws taken from it before the game, the stored values, whether the demo waits), mail links
// never opened. Headless
// (one pixel a point unless asked for more, OpenAL Soft's null device), or shown in a window the
// caller keeps open across games.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "app/saltmere_app_delegate.h"
#include "platform/core/clock.h"
#include "platform/core/run_loop.h"
#include "platform/screen/display.h"
#include "session/replay.h"

class SandboxGame {
 public:
  // Everything but the launch, the stored values of `opening`'s defaults written first ("music"
  // and "effects" as floats, the others as integers); its events are the caller's to post. The
  // display is `scale` pixels a point; with a `presentRate`, pictures are smooth at that many a
  // second of the virtual clock. Null, after a line on stderr naming `command`, when the store or
  // the display cannot be made.
  static std::unique_ptr<SandboxGame> make(const std::string& command, const ReplayScript& opening,
                                           int scale = 1, double presentRate = 0);
  // The same in `window`, with sound on the default device and pictures as smooth as the
  // window's refresh rate.
  static std::unique_ptr<SandboxGame> makeIn(platform::Display& window, const std::string& command,
                                             const ReplayScript& opening);
  ~SandboxGame();
  SandboxGame(const SandboxGame&) = delete;
  SandboxGame& operator=(const SandboxGame&) = delete;

  // The launch notice; the game's clock is then at 0.
  void launch();
  platform::RunLoop& loop() { return loop_; }
  platform::Display& display() { return *display_; }
  SaltmereAppDelegate& game() { return *game_; }

 private:
  explicit SandboxGame(std::filesystem::path store) : store_(std::move(store)) {}
  // The store and the random numbers; null when the store cannot be made.
  static std::unique_ptr<SandboxGame> prepare(const std::string& command,
                                              const ReplayScript& opening);
  void makeGame(const ReplayScript& opening, double presentRate);

  std::filesystem::path store_;  // the folder of the store of settings
  platform::VirtualClock clock_{0.0};
  platform::RunLoop loop_{clock_};
  std::unique_ptr<platform::Display> ownDisplay_;
  platform::Display* display_ = nullptr;
  std::unique_ptr<SaltmereAppDelegate> game_;
};
