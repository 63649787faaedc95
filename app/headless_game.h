// The game on a virtual clock with no window and no speaker, as replays and soaks run it: a
// store of settings of its own (never the player's), the seed, a headless display (one pixel a
// point unless asked for more), OpenAL Soft's null device, mail links never opened.
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

class HeadlessGame {
 public:
  // Everything but the launch, the stored values `defaults` written first ("music" and
  // "effects" as floats, the others as integers). The display is `scale` pixels a point; with a
  // `presentRate`, pictures are smooth at that many a second of the virtual clock. Null, after a
  // line on stderr naming `command`, when the store or the display cannot be made.
  static std::unique_ptr<HeadlessGame> make(const std::string& command, uint32_t seed,
                                            const nlohmann::json& defaults, int scale = 1,
                                            double presentRate = 0);
  ~HeadlessGame();
  HeadlessGame(const HeadlessGame&) = delete;
  HeadlessGame& operator=(const HeadlessGame&) = delete;

  // The launch notice; the game's clock is then at 0.
  void launch();
  platform::RunLoop& loop() { return loop_; }
  platform::Display& display() { return *display_; }
  SaltmereAppDelegate& game() { return *game_; }

 private:
  explicit HeadlessGame(std::filesystem::path store) : store_(std::move(store)) {}

  std::filesystem::path store_;  // the folder of the store of settings
  platform::VirtualClock clock_{0.0};
  platform::RunLoop loop_{clock_};
  std::unique_ptr<platform::Display> display_;
  std::unique_ptr<SaltmereAppDelegate> game_;
};
