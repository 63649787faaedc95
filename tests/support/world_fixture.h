// A game delegate on a fresh beach for the world's tests: textures of the game's sizes made on
// the headless GL context, a stored-defaults file of its own, the generator seeded, a new game
// set up, and a list of the sounds the world starts.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "app/saltmere_app_delegate.h"

class WorldTest : public testing::Test {
 protected:
  void SetUp() override;

  // A piece sinking at `fallSpeed` from `at`, built by hand: the picture's full box, no spin.
  Trash& sinking(int k, int type, platform::Point at, float fallSpeed, int scoreValue = 10);
  // Runs `steps` whole steps of dt.
  void step(int steps, float dt = 0.05f);
  // How often a sound was started, and forgets them.
  int started(int slot) const;
  void forgetSounds() { sounds.clear(); }

  SaltmereAppDelegate game;
  std::vector<int> sounds;
};

// The random draw that comes out as exactly 1 (before it is kept below 1): seed 1, this many
// draws in. The test using it checks that it is so.
inline constexpr long kDrawsBeforeTopDraw = 13068230;
