// The soak's watch over the world: a sound world passes, and a field broken on purpose is named
// with its value, as the soak then prints it.
#include "session/world_watch.h"

#include <gtest/gtest.h>

#include <cmath>

#include "app/settings.h"
#include "platform/core/user_defaults.h"
#include "tests/support/world_fixture.h"

using WorldWatchTest = WorldTest;

TEST_F(WorldWatchTest, ASoundWorldPassesAndABrokenFieldIsNamedWithItsValue) {
  WorldWatch watch(game);
  sinking(0, 1, {100, 400}, -40);
  step(20);
  EXPECT_EQ(watch.check(), "");
  // The soak's floor: no fewer than thirty checks a frame.
  EXPECT_GE(watch.checks(), 30);

  // Each broken on its own, and mended after.
  game.nerin.rect.origin.y = 70;
  EXPECT_EQ(watch.check(), "nerin.y: 70");
  game.nerin.rect.origin.y = kCrabY;
  game.numTrash = kMaxTrash + 1;
  EXPECT_EQ(watch.check(), "numTrash: 31");
  game.numTrash = 1;
  trash[0].rect.origin.x = NAN;
  EXPECT_EQ(watch.check(), "trash[0].x: nan");
  trash[0].rect.origin.x = 100;
  babies[3].rect.origin.y = -5;
  EXPECT_EQ(watch.check(), "babies[3].y: -5");
  babies[3].rect.origin.y = 0;
  game.nerin.claw[1].holdingTrash = 0;  // a sinking piece
  EXPECT_EQ(watch.check(), "trash[0].state (held by a claw): 1");
  game.nerin.claw[1].holdingTrash = -1;
  game.seaDelta = INFINITY;
  EXPECT_EQ(watch.check(), "seaDelta: inf");
  game.seaDelta = 0;
  EXPECT_EQ(watch.check(), "");
}

TEST_F(WorldWatchTest, AScoreThatFallsOrARecordNotKeptIsNamed) {
  WorldWatch watch(game);
  game._score = 120;
  EXPECT_EQ(watch.check(), "");
  game._score = 110;
  EXPECT_EQ(watch.check(), "_score (fell within a game): 110");

  // The game ends above the stored record, and the record is not written.
  WorldWatch after(game);
  EXPECT_EQ(after.check(), "");
  game._state = kGameStateStopped;
  EXPECT_EQ(after.check(), "stored score: 0");
  platform::UserDefaults::standard().setInteger(110, kHighScoreKey);
  EXPECT_EQ(after.check(), "stored level: 0");
  platform::UserDefaults::standard().setInteger(1, kHighLevelKey);
  EXPECT_EQ(after.check(), "");
}
