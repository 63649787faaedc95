// The built-in player on a hand-built beach: it tilts towards the piece that reaches the claws
// first, flings what it holds at the beach ball, and draws nothing from the game's generator.
#include <gtest/gtest.h>

#include "platform/core/application.h"
#include "platform/core/clock.h"
#include "platform/core/random.h"
#include "platform/core/run_loop.h"
#include "platform/input/accelerometer.h"
#include "player/bot.h"
#include "tests/support/world_fixture.h"

namespace {

class BotTest : public WorldTest {
 protected:
  void SetUp() override {
    WorldTest::SetUp();
    for (Trash& piece : trash) piece.state = TrashStateNone;
    beachBall.active = false;
    platform::Application::shared().setDelegate(&game);
    platform::Accelerometer::shared().sources().injected.reset();
  }
  void TearDown() override { platform::Application::shared().setDelegate(nullptr); }
  // The bot's decisions over `seconds` of the loop's clock; the game's own frames stay still.
  void decide(double seconds) {
    Bot bot(game);
    bot.setActive(true);
    loop.runUntil(clock.now() + seconds);
  }
  double tilt() const { return platform::Accelerometer::shared().sources().injected.value_or(0); }

  platform::VirtualClock clock{10.0};
  platform::RunLoop loop{clock};
};

}  // namespace

TEST_F(BotTest, ItTiltsTowardsThePieceThatReachesTheClawsFirst) {
  sinking(0, kTextureTrash02, {400, 300}, 40);  // reaches the claws in about 5 s
  sinking(1, kTextureTrash04, {100, 200}, 50);  // in about 2.4 s: this one
  decide(0.2);
  EXPECT_GT(tilt(), 0);  // a positive tilt takes her left, towards x 100

  trash[1].state = TrashStateNone;
  decide(0.2);
  EXPECT_LT(tilt(), 0);  // then right, towards x 400

  // A piece still above the screen is not seen.
  trash[0].rect.origin.y = 600;
  platform::Accelerometer::shared().sources().injected.reset();
  decide(0.2);
  EXPECT_FALSE(platform::Accelerometer::shared().sources().injected);
}

TEST_F(BotTest, ItFlingsWhatTheClawsHoldAtTheBeachBall) {
  Trash& held = sinking(0, kTextureTrash02, game.nerin.claw[1].rect.origin, 0);
  held.state = TrashStateHeld;
  game.nerin.claw[1].holdingTrash = 0;
  beachBall.active = true;
  beachBall.rect.origin = {420, 300};
  beachBall.speed = 0;
  decide(0.1);
  EXPECT_EQ(held.state, TrashStateThrown);
  EXPECT_EQ(game.nerin.claw[1].holdingTrash, -1);
  EXPECT_LT(held.velocity.y, 0);  // rising
  EXPECT_GT(held.velocity.x, 0);  // towards the ball on her right
}

TEST_F(BotTest, ItDrawsNothingFromTheGamesGenerator) {
  sinking(0, kTextureTrash02, {100, 250}, 40);
  Trash& held = sinking(1, kTextureTrash03, game.nerin.claw[0].rect.origin, 0);
  held.state = TrashStateHeld;
  game.nerin.claw[0].holdingTrash = 1;
  platform::Random untouched = platform::gameRandom();
  decide(2);
  EXPECT_EQ(held.state, TrashStateThrown);
  EXPECT_EQ(platform::gameRandom().next(), untouched.next());
}
