// The game in a sandbox, as replays, soaks and the watcher run it: on a virtual clock, with a
// store of settings of its own (never the player's), the seed, mail links never opened. Headless
// (one pixel a point unless asked for more, OpenAL Soft's null device), or shown in a window the
// caller keeps open across games.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "app/saltmere_app_delegate.h"
#include "platform/core/clock.h"
#include "platform/core/run_loop.h"
#include "platform/screen/display.h"

class SandboxGame {
 public:
  // Everything but the launch, the stored values `defaults` written first ("music" and
  // "effects" as floats, the others as integers). The display is `scale` pixels a point; with a
  // `presentRate`, pictures are smooth at that many a second of the virtual clock. Null, after a
  // line on stderr naming `command`, when the store or the display cannot be made.
  static std::unique_ptr<SandboxGame> make(const std::string& command, uint32_t seed,
                                           const nlohmann::json& defaults, int scale = 1,
                                           double presentRate = 0);
  // The same in `window`, with sound on the default device and pictures as smooth as the
  // window's refresh rate.
  static std::unique_ptr<SandboxGame> makeIn(platform::Display& window, const std::string& command,
                                             uint32_t seed, const nlohmann::json& defaults);
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
  // The store and the seed; null when the store cannot be made.
  static std::unique_ptr<SandboxGame> prepare(const std::string& command, uint32_t seed,
                                              const nlohmann::json& defaults);
  void makeGame(double presentRate);

  std::filesystem::path store_;  // the folder of the store of settings
  platform::VirtualClock clock_{0.0};
  platform::RunLoop loop_{clock_};
  std::unique_ptr<platform::Display> ownDisplay_;
  platform::Display* display_ = nullptr;
  std::unique_ptr<SaltmereAppDelegate> game_;
};
