// The game's flow on a virtual clock: timers, the frame and its clamped time step, the pause,
// the round-change sequence, levels and the end of a game, the records, the player's two
// controls and the music modes.
#include <gtest/gtest.h>

#include <cmath>

#include "app/achievements.h"
#include "app/settings.h"
#include "platform/core/clock.h"
#include "platform/core/run_loop.h"
#include "platform/core/user_defaults.h"
#include "tests/support/world_fixture.h"

namespace {

class FlowTest : public WorldTest {
 protected:
  void SetUp() override {
    WorldTest::SetUp();
    game.initTimers();
    game._state = kGameStateStopped;
    game.round = 0;
    game.frameEnded = [this](float dt) { frames.push_back({loop.now(), dt}); };
    forgetSounds();
  }
  // Timers go before the loop they run on.
  void TearDown() override { game.stopAllTimers(); }

  // Starts a game as the play button does, at time `at`.
  void startGame(double at) {
    loop.runUntil(at);
    game.buttonPressed(8);
  }
  // Every baby gone but those listed, which sit on the beach.
  void keepBabies(std::initializer_list<int> kept) {
    for (Baby& baby : babies) baby.state = BabyStateNone;
    for (int i : kept) babies[i].state = BabyStateOnBeach;
    game.numBabies = static_cast<int>(kept.size());
  }
  std::vector<double> timesOf(int slot) const {
    std::vector<double> times;
    for (const auto& [time, started] : timedSounds) {
      if (started == slot) times.push_back(time);
    }
    return times;
  }
  void recordSoundTimes() {
    game.soundStarted = [this](int slot) { timedSounds.push_back({loop.now(), slot}); };
  }

  struct Frame {
    double t;
    float dt;
  };
  platform::VirtualClock clock{0.0};
  platform::RunLoop loop{clock};
  std::vector<Frame> frames;
  std::vector<std::pair<double, int>> timedSounds;
};

}  // namespace

TEST_F(FlowTest, AStallAdvancesTheWorldATenthOfASecondAndHalfASecondIsUsedAsItIs) {
  game._lastTime = 10;
  loop.runUntil(10.7);
  game.renderSceneExpiration();
  loop.runUntil(11.2);
  game.renderSceneExpiration();
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[0].dt, 0.1f);
  EXPECT_EQ(frames[1].dt, 0.5f);
  EXPECT_EQ(game._lastTime, 11.2);
}

TEST_F(FlowTest, ARestartedTimerFiresOneFullIntervalLaterAndOnlyOnce) {
  game._state = kGameStateRoundChange;
  game.round = 1;
  game.count = 0;  // past the announcement: each tick only counts
  game.startTimer(kRoundTimer);
  loop.runUntil(0.6);
  game.startTimer(kRoundTimer);
  loop.runUntil(1.55);
  EXPECT_EQ(game.count, 0);
  loop.runUntil(1.6);
  EXPECT_EQ(game.count, 1);
  loop.runUntil(2.6);
  EXPECT_EQ(game.count, 2);

  // A fired one-shot timer stays active until it is stopped.
  game.startTimer(kEndGameTimer);
  loop.runUntil(5);
  EXPECT_FALSE(game.isActiveTimer(kEndGameTimer));  // its handler stops it
  game.startTimer(kEndGameTimer);
  game.timerArray[kEndGameTimer].selector = &SaltmereAppDelegate::tutorialTimerExpiration;
  game.startTimer(kEndGameTimer);
  loop.runUntil(8);
  EXPECT_TRUE(game.isActiveTimer(kEndGameTimer));
  game.stopTimer(kEndGameTimer);
  EXPECT_FALSE(game.isActiveTimer(kEndGameTimer));
}

TEST_F(FlowTest, ResignNoticesPauseOnceAndBecomeActiveNoticesRestartWithoutDoubling) {
  platform::Application& app = platform::Application::shared();
  startGame(0);
  ASSERT_EQ(game.currentMusicMode, kMusicSilent);
  game.newMusicMode(kMusicGame);
  loop.runUntil(0.52);
  game.applicationWillResignActive(app);
  game.applicationWillResignActive(app);
  EXPECT_FALSE(game.isActiveTimer(kRenderSceneTimer));
  EXPECT_FALSE(game.isActiveTimer(kRoundTimer));
  EXPECT_EQ(game.currentMusicMode, kMusicSilent);
  const size_t framesWhilePaused = frames.size();
  loop.runUntil(5);
  EXPECT_EQ(frames.size(), framesWhilePaused);

  game.applicationDidBecomeActive(app);
  EXPECT_TRUE(game.isActiveTimer(kRenderSceneTimer));
  EXPECT_EQ(game.currentMusicMode, kMusicGame);
  game.applicationDidBecomeActive(app);  // restarts again: replaced, not doubled
  EXPECT_EQ(game.resign.resignCount, 0);
  loop.runUntil(6.01);
  const size_t framesAfter = frames.size() - framesWhilePaused;
  EXPECT_EQ(framesAfter, 20u);
  // The first frame after the resume measures only the time since the resume.
  EXPECT_NEAR(frames[framesWhilePaused].dt, 0.05f, 1e-6);
  game.applicationDidBecomeActive(app);  // nothing left to match
  EXPECT_EQ(game.resign.resignCount, 0);
}

TEST_F(FlowTest, ANewGameAnnouncesRoundOneAtOnceAndPlaysTwoSecondsLater) {
  recordSoundTimes();
  startGame(1);
  EXPECT_EQ(game._state, kGameStateRoundChange);
  EXPECT_EQ(game.round, 1);
  EXPECT_EQ(game.roundDisplayTime, 2.0f);
  EXPECT_EQ(timesOf(kSoundXylophone), std::vector<double>{1});
  EXPECT_TRUE(timesOf(kSoundEndlevel).empty());
  loop.runUntil(2.01);
  EXPECT_EQ(timesOf(kSoundGame), std::vector<double>{2});  // the game music from round one
  loop.runUntil(2.99);
  EXPECT_EQ(game._state, kGameStateRoundChange);
  loop.runUntil(3.0);
  EXPECT_EQ(game._state, kGameStatePlaying);
  EXPECT_EQ(game.numTrash, 3);
  EXPECT_EQ(game.levelTimeRemaining, 15);
  EXPECT_TRUE(game.isActiveTimer(kLevelTimer));
  EXPECT_FALSE(game.isActiveTimer(kRoundTimer));
  EXPECT_EQ(game.count, -1);
}

TEST_F(FlowTest, LevelEndBonusesComeASecondApartForTheBabiesOnTheBeach) {
  startGame(0);
  loop.runUntil(2.5);
  ASSERT_EQ(game._state, kGameStatePlaying);
  recordSoundTimes();
  keepBabies({0, 2, 5});
  for (Trash& piece : trash) piece.state = TrashStateNone;
  const unsigned before = game._score;
  loop.runUntil(10);  // the next frame finds the level complete
  const double end = timesOf(kSoundEndlevel).at(0);
  EXPECT_EQ(timesOf(kSoundChaching), (std::vector<double>{end + 2, end + 3, end + 4}));
  EXPECT_EQ(timesOf(kSoundXylophone), std::vector<double>{end + 5});
  EXPECT_EQ(game._score, before + 1500);
  EXPECT_EQ(game.round, 2);
  EXPECT_EQ(game.numTrash, 4);
  EXPECT_EQ(game._state, kGameStatePlaying);  // from end + 7
}

TEST_F(FlowTest, WhenTimeIsUpPiecesStillWaitingHighAboveAreWithdrawn) {
  startGame(0);
  loop.runUntil(2.5);
  Trash& high = sinking(0, kTextureTrash03, {100, 400.5f}, 0);
  Trash& level = sinking(1, kTextureTrash03, {200, 400}, 0);
  game.levelTimeRemaining = 1;
  game.levelTimerExpiration();
  EXPECT_EQ(high.state, TrashStateNone);
  EXPECT_EQ(level.state, TrashStateFalling);
  EXPECT_FALSE(game.isActiveTimer(kLevelTimer));
}

TEST_F(FlowTest, GameOverStopsEverythingButTheLevelTimerAndKeepsOnlyBeatenRecords) {
  game.highScore = 500;
  game.highLevel = 3;
  startGame(0);
  loop.runUntil(2.5);
  game._score = 400;
  game.round = 4;
  keepBabies({});
  recordSoundTimes();
  loop.runUntil(2.6);
  EXPECT_EQ(game._state, kGameStateStopped);
  EXPECT_FALSE(game.isActiveTimer(kRenderSceneTimer));
  EXPECT_TRUE(game.isActiveTimer(kLevelTimer));
  EXPECT_TRUE(game.isActiveTimer(kEndGameTimer));
  EXPECT_EQ(timesOf(kSoundEnd).size(), 1u);
  platform::UserDefaults& defaults = platform::UserDefaults::standard();
  EXPECT_EQ(defaults.integerForKey(kHighScoreKey), 0);  // 400 does not beat 500
  EXPECT_EQ(defaults.integerForKey(kHighLevelKey), 4);
  EXPECT_EQ(game.highLevel, 4);

  const int timeLeft = game.levelTimeRemaining;
  loop.runUntil(4.7);
  EXPECT_FALSE(game.isActiveTimer(kEndGameTimer));
  EXPECT_EQ(game.currentMusicMode, kMusicMenu);
  EXPECT_EQ(timesOf(kSoundMenu).size(), 1u);
  EXPECT_EQ(game.levelTimeRemaining, timeLeft - 2);  // counting on
}

TEST_F(FlowTest, TheTiltFilterFollowsAReadingEightPerCentAtATime) {
  platform::Accelerometer& accelerometer = platform::Accelerometer::shared();
  game.accelerometer(accelerometer, {0, 0.5, 0, 0});
  EXPECT_DOUBLE_EQ(game._accelerometer, 0.04);
  game.accelerometer(accelerometer, {0, 0.5, 0, 0});
  EXPECT_DOUBLE_EQ(game._accelerometer, 0.0768);
  for (int n = 0; n < 200; ++n) game.accelerometer(accelerometer, {0, 0.5, 0, 0});
  EXPECT_NEAR(game._accelerometer, 0.5, 1e-6);

  // Readings come 25 times a second while the frame timer runs, and not otherwise.
  game._accelerometer = 0;
  accelerometer.sources().injected = 0.5;
  game.startTimer(kRenderSceneTimer);
  loop.runUntil(1.0);
  const double afterSecond = game._accelerometer;
  EXPECT_NEAR(afterSecond, 0.5 * (1 - std::pow(0.92, 25)), 1e-9);
  game.stopTimer(kRenderSceneTimer);
  loop.runUntil(2.0);
  EXPECT_EQ(game._accelerometer, afterSecond);
  accelerometer.sources().injected.reset();
}

TEST_F(FlowTest, ATouchEndThrowsWhatTheClawsHoldAtThreeTimesTheFingersLastMovement) {
  game._state = kGameStateRoundChange;
  Trash& left = sinking(0, kTextureTrash03, {202, 102}, 0);
  Trash& right = sinking(1, kTextureTrash03, {275, 102}, 0);
  left.state = right.state = TrashStateHeld;
  game.nerin.claw[0].holdingTrash = 0;
  game.nerin.claw[1].holdingTrash = 1;

  // Window y grows to the right on the game's screen: the last movement, 10 points right.
  platform::TouchRouter& router = platform::TouchRouter::shared();
  router.reset();
  struct Catcher : platform::View {
    void touchesEnded(const platform::TouchSet& touches, const platform::Event&) override {
      if (!touches.empty()) ended = *touches.front();
    }
    platform::Touch ended;
  };
  auto catcher = std::make_shared<Catcher>();
  catcher->setFrame({{0, 0}, {320, 480}});
  auto window = std::make_shared<platform::Window>();
  window->addSubview(catcher);
  window->makeKeyAndVisible();
  router.deliver(7, platform::TouchPhase::Began, {100, 200});
  router.deliver(7, platform::TouchPhase::Moved, {100, 210});
  router.deliver(7, platform::TouchPhase::Ended, {100, 210}, platform::Point{100, 200});
  game.handleTap({&catcher->ended});

  for (const Trash* piece : {&left, &right}) {
    EXPECT_EQ(piece->state, TrashStateThrown);
    EXPECT_EQ(piece->velocity.x, 30);
    EXPECT_EQ(piece->velocity.y, -250);
    EXPECT_EQ(piece->rotationVelocity, 300);
  }
  for (const Claw& claw : game.nerin.claw) {
    EXPECT_EQ(claw.holdingTrash, -1);
    EXPECT_EQ(claw.type, kTextureClawOpen);
    EXPECT_EQ(claw.timer, 1);
  }
  EXPECT_EQ(acGameCount[kCountThrow], 2);
  EXPECT_EQ(acGameCount[kCountTireThrown], 2);
  EXPECT_TRUE(platform::UserDefaults::standard().integerForKey(kAchievementsKey) &
              (1L << kAchievementTireTosser));

  // Two woks in one throw earn the wok toss.
  left.type = right.type = kTextureTrash01;
  left.state = right.state = TrashStateHeld;
  game.nerin.claw[0].holdingTrash = 0;
  game.nerin.claw[1].holdingTrash = 1;
  game.handleTap({&catcher->ended});
  EXPECT_TRUE(platform::UserDefaults::standard().integerForKey(kAchievementsKey) &
              (1L << kAchievementWokToss));
  EXPECT_EQ(acGameCount[kCountTireThrown], 2);

  // With no game on, a touch end throws nothing.
  game._state = kGameStateStopped;
  right.state = TrashStateHeld;
  game.nerin.claw[1].holdingTrash = 1;
  game.handleTap({&catcher->ended});
  EXPECT_EQ(right.state, TrashStateHeld);
}

TEST_F(FlowTest, MusicModesNeverRestartTheLoopPlayingAndEveryChangeStopsThePatter) {
  recordSoundTimes();
  EXPECT_EQ(game.newMusicMode(kMusicMenu), kMusicSilent);
  EXPECT_EQ(game.newMusicMode(kMusicMenu), kMusicMenu);
  EXPECT_EQ(timesOf(kSoundMenu).size(), 1u);
  EXPECT_EQ(game.newMusicMode(kMusicGame), kMusicMenu);
  EXPECT_EQ(timesOf(kSoundGame).size(), 1u);
  EXPECT_EQ(game.newMusicMode(7), kMusicGame);  // silent, and remembered as 7
  EXPECT_EQ(game.newMusicMode(kMusicSilent), 7);
  EXPECT_EQ(game.currentMusicMode, kMusicSilent);
  EXPECT_EQ(timesOf(kSoundMenu).size(), 1u);
  EXPECT_EQ(timesOf(kSoundGame).size(), 1u);
}
