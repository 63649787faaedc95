// The shell after a real launch from the built bundle: the stored settings, the menus as they
// show and move, the pause by double tap, the game-over screen, the mail link, the ranks,
// menus upright on the screen, and the demo a main menu left alone turns into.
#include <gtest/gtest.h>

#include <AL/al.h>
#include <SDL2/SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "app/achievements.h"
#include "app/interface_file.h"
#include "app/saltmere_app_delegate.h"
#include "app/settings.h"
#include "platform/core/bundle.h"
#include "platform/core/clock.h"
#include "platform/core/run_loop.h"
#include "platform/core/user_defaults.h"
#include "platform/graphics/font.h"
#include "platform/graphics/view_canvas.h"
#include "platform/input/accelerometer.h"
#include "platform/input/controls.h"
#include "platform/input/input_device.h"
#include "platform/input/input_journal.h"
#include "platform/screen/display.h"
#include "tests/support/build_paths.h"
#include "tests/support/scratch.h"
#include "tests/support/test_display.h"

namespace {

class ShellTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { setenv("ALSOFT_DRIVERS", "null", 1); }
  void SetUp() override {
    testDisplay();
    const std::filesystem::path defaults = scratchPath("shell-test-defaults.json");
    std::filesystem::remove(defaults);
    platform::UserDefaults::useFile(defaults);
    platform::Bundle::useFolder(build_paths::kBundle);
    platform::Application::shared().setURLOpener(
        [this](const std::string& url) { urls.push_back(url); });
    game.soundStarted = [this](int slot) { sounds.push_back(slot); };
  }
  void TearDown() override {
    game.stopAllTimers();
    platform::Application::shared().setDelegate(nullptr);
  }
  void launch() {
    platform::Application::shared().setDelegate(&game);
    game.applicationDidFinishLaunching(platform::Application::shared());
    sounds.clear();
  }
  // Every view of the window that shows, by the delegate's name for it.
  std::vector<platform::View*> visibleMenuViews() const {
    std::vector<platform::View*> visible;
    for (const auto& view : game.window->subviews()) {
      if (!view->isHidden() && view != game.glView) visible.push_back(view.get());
    }
    return visible;
  }
  // The main menu's views, as they show on their own.
  std::vector<platform::View*> mainMenuViews() const {
    return {game.mainMenuView.get(),          game.mainPlayButton.get(),
            game.mainAchievementButton.get(), game.mainChallengeButton.get(),
            game.mainSettingsButton.get(),    game.highScoreLabel.get()};
  }
  int last() const { return sounds.empty() ? -1 : sounds.back(); }
  // Through the main menu's play button and the play menu's into a game, three seconds in.
  void playAGame() {
    game.buttonPressed(1);
    game.buttonPressed(8);
    loop.runUntil(clock.now() + 3);
  }
  // Every baby gone: the next frame in play ends the game (a round's change may come first).
  void loseIt() {
    for (Baby& baby : babies) baby.state = BabyStateNone;
    for (int frame = 0; frame < 100 && game._state != kGameStateStopped; ++frame) {
      loop.runUntil(clock.now() + 0.05);
    }
  }

  platform::VirtualClock clock{100.0};
  platform::RunLoop loop{clock};
  SaltmereAppDelegate game;
  std::vector<int> sounds;
  std::vector<std::string> urls;
};

// Whether the sound `id` plays within about ten seconds: a loop's own thread starts it, on a busy
// machine a while after it is asked to.
bool playsSoon(uint32_t id) {
  ALint state = 0;
  for (int i = 0; i < 10000 && state != AL_PLAYING; ++i) {
    alGetSourcei(id, AL_SOURCE_STATE, &state);
    if (state != AL_PLAYING) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return state == AL_PLAYING;
}

std::string percentDecoded(const std::string& text) {
  std::string decoded;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      decoded += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      decoded += text[i];
    }
  }
  return decoded;
}

}  // namespace

TEST_F(ShellTest, AFirstLaunchStoresTheDefaultVolumesAndShowsOnlyTheMainMenu) {
  launch();
  platform::UserDefaults& defaults = platform::UserDefaults::standard();
  EXPECT_EQ(defaults.floatForKey(kMusicKey), 0.6f);
  EXPECT_EQ(defaults.floatForKey(kEffectsKey), 0.9f);
  EXPECT_EQ(game.currentMusicMode, kMusicMenu);
  EXPECT_EQ(visibleMenuViews(), mainMenuViews());
  EXPECT_EQ(game.highScoreLabel->text(), "sheep crab\nscore 0\nround 0\r");
  ASSERT_TRUE(game.imageStar1);
}

TEST_F(ShellTest, AStoredVolumeOfAHundredthStays) {
  platform::UserDefaults::standard().setFloat(0.01f, kMusicKey);
  launch();
  EXPECT_EQ(platform::UserDefaults::standard().floatForKey(kMusicKey), 0.01f);
  EXPECT_EQ(platform::UserDefaults::standard().floatForKey(kEffectsKey), 0.9f);
}

TEST_F(ShellTest, EachButtonMovesToItsMenuWithAForwardOrBackClick) {
  launch();
  using Views = std::vector<platform::View*>;
  const Views playMenu = {game.playMenuView.get(), game.playTutorialButton.get(),
                          game.playPlayButton.get(), game.playBackButton.get()};
  const Views settingsMenu = {game.settingsMenuView.get(), game.settingsCreditsButton.get(),
                              game.settingsBackButton.get()};
  const Views creditsMenu = {game.creditsMenuView.get(), game.creditsBackButton.get()};
  const Views achievementsMenu = {game.achievementsMenuView.get(),
                                  game.achievementsBackButton.get()};
  const struct {
    int tag, sound;
    Views shows;
  } moves[] = {
      {1, kSoundButton, playMenu},         {9, kSoundButton2, mainMenuViews()},
      {4, kSoundButton, settingsMenu},     {5, kSoundButton, creditsMenu},
      {10, kSoundButton2, settingsMenu},   {6, kSoundButton2, mainMenuViews()},
      {2, kSoundButton, achievementsMenu}, {11, kSoundButton2, mainMenuViews()},
  };
  const auto sorted = [](Views views) {
    std::sort(views.begin(), views.end());
    return views;
  };
  for (const auto& move : moves) {
    game.buttonPressed(move.tag);
    EXPECT_EQ(sounds.front(), move.sound) << move.tag;
    sounds.clear();
    // The new menu and its own buttons, and nothing of the menu before.
    EXPECT_EQ(sorted(visibleMenuViews()), sorted(move.shows)) << move.tag;
  }
  game.buttonPressed(14);
  EXPECT_TRUE(sounds.empty());
}

TEST_F(ShellTest, TwoTapsWithinHalfASecondPauseAndTheNoticesThenChangeNothing) {
  launch();
  playAGame();
  ASSERT_TRUE(game.isActiveTimer(kRenderSceneTimer));
  EXPECT_FALSE(game.gamePauseButton->isHidden());

  loop.runUntil(clock.now() + 1);
  game.buttonPressed(12);
  loop.runUntil(clock.now() + 0.6);
  game.buttonPressed(12);  // 0.6 s later: a first tap again
  EXPECT_TRUE(game.isActiveTimer(kRenderSceneTimer));
  EXPECT_EQ(last(), kSoundXylo1a);
  loop.runUntil(clock.now() + 0.4);
  game.buttonPressed(12);  // 0.4 s after the last: a pair
  EXPECT_EQ(last(), kSoundXylo1b);
  EXPECT_FALSE(game.isActiveTimer(kRenderSceneTimer));
  EXPECT_FALSE(game.gamePlayButton->isHidden());
  EXPECT_TRUE(game.gamePauseButton->isHidden());
  EXPECT_FALSE(game.blackView->isHidden());
  EXPECT_EQ(game.blackView->alpha(), 0.4f);
  EXPECT_EQ(game.gameOverLabel->text(), "pause");

  // The desktop's own notices do nothing while the player's pause holds.
  game.applicationWillResignActive(platform::Application::shared());
  game.applicationDidBecomeActive(platform::Application::shared());
  EXPECT_FALSE(game.isActiveTimer(kRenderSceneTimer));

  // Three fast taps: the third begins a new pair and does not resume.
  sounds.clear();
  game.buttonPressed(13);
  game.buttonPressed(13);
  EXPECT_EQ(sounds, (std::vector<int>{kSoundXylo1a, kSoundXylo2, kSoundGame}));  // music back
  EXPECT_TRUE(game.isActiveTimer(kRenderSceneTimer));
  EXPECT_TRUE(game.blackView->isHidden());
  game.buttonPressed(12);
  EXPECT_EQ(last(), kSoundXylo1a);
  EXPECT_TRUE(game.isActiveTimer(kRenderSceneTimer));
}

TEST_F(ShellTest, TheGameOverScreenIgnoresTapsUntilTheEndOfGameTimerHasRun) {
  launch();
  playAGame();
  loseIt();
  ASSERT_EQ(game._state, kGameStateStopped);
  EXPECT_FALSE(game.blackView->isHidden());
  EXPECT_EQ(game.gameOverLabel->text().rfind("game over\nsheep crab rank\nscore ", 0), 0u);

  platform::Touch touch;
  game.handleTap({&touch});
  EXPECT_FALSE(game.blackView->isHidden());
  loop.runUntil(clock.now() + 2.1);
  game.handleTap({&touch});
  EXPECT_TRUE(game.blackView->isHidden());
  EXPECT_FALSE(game.mainMenuView->isHidden());
}

TEST_F(ShellTest, TheChallengeMailCarriesNoRawSpaceAndDecodesToItsSubjectAndBody) {
  platform::UserDefaults::standard().setInteger(7, kHighLevelKey);
  platform::UserDefaults::standard().setInteger(12345, kHighScoreKey);
  launch();
  game.buttonPressed(3);
  EXPECT_EQ(last(), kSoundButton);
  ASSERT_EQ(urls.size(), 1u);
  const std::string& url = urls.front();
  EXPECT_EQ(url.find(' '), std::string::npos);
  const std::string prefix = "mailto:?subject=";
  ASSERT_EQ(url.rfind(prefix, 0), 0u);
  const size_t body = url.find("&body=");
  ASSERT_NE(body, std::string::npos);
  EXPECT_EQ(percentDecoded(url.substr(prefix.size(), body - prefix.size())),
            "Try to beat my Tidewick score");
  EXPECT_EQ(percentDecoded(url.substr(body + 6)),
            "Have you played Tidewick yet? I made it to level 7 with a ranking of stone crab and "
            "my top score is 12345. E-mail back after you top my score! Tidewick is available "
            "now in the iTunes App Store for iPhone and iPod Touch. Check out the game at "
            "http://www.tidewick.game/iphone/itunes-app-tidewick.html");
  EXPECT_NE(url.find("yet?%20I"), std::string::npos);  // "?" stays, the space does not
}

TEST(RankTest, RanksFollowTheRoundReached) {
  const struct {
    int level;
    const char* rank;
  } ranks[] = {{-3, "sheep crab"},     {5, "sheep crab"},  {6, "stone crab"},
               {7, "stone crab"},      {8, "rock crab"},   {11, "snow crab"},
               {13, "hermit crab"},    {15, "ghost crab"}, {17, "fiddler crab"},
               {19, "dungeness crab"}, {20, "king crab"},  {100, "king crab"}};
  for (const auto& r : ranks) EXPECT_STREQ(getRankString(r.level), r.rank) << r.level;
}

TEST_F(ShellTest, MenusShowUprightWithTheirTitles) {
  launch();
  // The main menu's lettering is red on paper across the top of the landscape screen.
  const platform::Picture screen = platform::Display::shared()->capture(1);
  int redTop = 0, redBottom = 0;
  for (int y = 0; y < 320; ++y) {
    for (int x = 180; x < 270; ++x) {
      const uint8_t* p = screen.pixel(x, y);
      const bool red = p[0] > 200 && p[1] < 120 && p[2] < 100;
      (y < 110 ? redTop : redBottom) += red;
    }
  }
  EXPECT_GT(redTop, 200);
  EXPECT_GT(redTop, 2 * redBottom);
  // The play button's title is dark text on its yellow.
  int dark = 0;
  for (int y = 116; y < 146; ++y) {
    for (int x = 330; x < 390; ++x) dark += screen.pixel(x, y)[0] < 90;
  }
  EXPECT_GT(dark, 30);
}

TEST_F(ShellTest, TheAchievementPopUpFitsItsNameAndFadesOutInThreeSeconds) {
  launch();
  game.newAchievement(kAchievementCleaner);
  const float cleaner = game.achievementView->transform().b;  // the scale, turned a quarter
  EXPECT_EQ(game.achievementLabel->text(), "achievement: cleaner");
  EXPECT_FALSE(game.achievementView->isHidden());
  EXPECT_FLOAT_EQ(game.achievementView->alpha(), 0.5f);
  loop.runUntil(clock.now() + 1.5);
  EXPECT_NEAR(game.achievementLabel->alpha(), 0.5f, 0.02f);
  EXPECT_NEAR(game.achievementView->alpha(), 0.25f, 0.02f);

  game.newAchievement(kAchievementCleanMachine);  // restarts the fade from the second name
  EXPECT_EQ(game.achievementLabel->text(), "achievement: clean machine");
  EXPECT_FLOAT_EQ(game.achievementLabel->alpha(), 1.0f);
  EXPECT_GT(game.achievementView->transform().b, cleaner);
  loop.runUntil(clock.now() + 1.7);  // past the end of the first fade
  EXPECT_NEAR(game.achievementLabel->alpha(), 1 - 1.7f / 3, 0.02f);
  loop.runUntil(clock.now() + 1.31);
  EXPECT_EQ(game.achievementLabel->alpha(), 0);
  EXPECT_FALSE(game.achievementLabel->isHidden());  // unhidden at alpha 0 until the next

  game.newAchievement(kAchievementCleanMachine);  // already earned: nothing shows
  EXPECT_EQ(game.achievementLabel->alpha(), 0);
}

// The star sits wholly left of the name, never over its first letter, and inside the backing,
// for a short name and a long one.
TEST_F(ShellTest, ThePopUpsStarSitsBesideTheNameInsideItsBacking) {
  launch();
  // A view's extent along landscape x, which runs down the portrait window.
  const auto span = [](const platform::View& view) {
    const platform::Rect b = view.bounds();
    const platform::Point a = view.transformToRoot().apply(b.origin);
    const platform::Point c =
        view.transformToRoot().apply({b.origin.x + b.size.width, b.origin.y + b.size.height});
    return std::pair{std::min(a.y, c.y), std::max(a.y, c.y)};
  };
  for (const int index : {kAchievementCleaner, kAchievementCleanMachine}) {
    game.newAchievement(index);
    const platform::Label& label = *game.achievementLabel;
    const float width = platform::Font::fontWithName(label.fontName(), label.fontSize())
                            ->widthOfString(label.text());
    const float textLeft = label.center().y - width / 2, textRight = textLeft + width;
    const auto [starLeft, starRight] = span(*game.achievementStar);
    const auto [backLeft, backRight] = span(*game.achievementView);
    EXPECT_LE(starRight, textLeft) << label.text();
    EXPECT_GE(starLeft, backLeft + 10) << label.text();
    EXPECT_GE(backRight, textRight + 20) << label.text();
  }
}

// The tutorial's "tap to continue" shares the pop-up's label: after a pop-up has faded it still
// shows whole.
TEST_F(ShellTest, TheTutorialsHintShowsWholeAfterAnAchievementPopUpHasFaded) {
  launch();
  game.newAchievement(kAchievementCleaner);
  loop.runUntil(clock.now() + 3.1);
  ASSERT_EQ(game.achievementLabel->alpha(), 0);
  game.buttonPressed(1);             // play
  game.buttonPressed(7);             // tutorial
  loop.runUntil(clock.now() + 4.5);  // the first scene's four steps
  EXPECT_EQ(game.achievementLabel->text(), "tap to continue");
  EXPECT_FALSE(game.achievementLabel->isHidden());
  EXPECT_EQ(game.achievementLabel->alpha(), 1);
  // Tapped through to its end: the tutorial's scene counter lives as long as the process.
  for (int tap = 0; tap < 3; ++tap) game.tutorialScene(true);
}

// Under the tutorial's words, the pause and the game-over screen, a line for the device the
// player used last, with the keys bound to the step; it changes with the device.
TEST_F(ShellTest, HintsSpeakOfTheDeviceInHandAndFollowAChangeOfDevice) {
  using platform::InputDevice;
  platform::noteInputDevice(InputDevice::Keyboard);
  launch();
  ASSERT_TRUE(game.hintLabel);
  EXPECT_TRUE(game.hintLabel->isHidden());  // the main menu needs none
  game.buttonPressed(1);
  game.buttonPressed(7);  // the tutorial's first scene: moving Nerin
  EXPECT_EQ(game.hintLabel->text(), "Left and Right move Nerin");
  EXPECT_FALSE(game.hintLabel->isHidden());
  platform::noteInputDevice(InputDevice::Pad);
  EXPECT_EQ(game.hintLabel->text(), "tilt the pad or push the left stick");
  platform::noteInputDevice(InputDevice::Touch);
  EXPECT_EQ(game.hintLabel->text(), "slide a finger along the bottom to move Nerin");
  platform::Accelerometer::shared().sources().device = 0.0;
  platform::noteInputDevice(InputDevice::Pad);
  platform::noteInputDevice(InputDevice::Touch);
  EXPECT_TRUE(game.hintLabel->isHidden());  // on a device that tilts, the step's words suffice
  platform::Accelerometer::shared().sources().device.reset();
  platform::noteInputDevice(InputDevice::Mouse);
  EXPECT_EQ(game.hintLabel->text(), "move the mouse");
  EXPECT_FALSE(game.hintLabel->isHidden());

  game.tutorialScene(true);
  game.tutorialScene(true);  // the third scene: throwing
  EXPECT_EQ(game.hintLabel->text(), "drag and release to throw");
  platform::noteInputDevice(InputDevice::Keyboard);
  EXPECT_EQ(game.hintLabel->text(), "Space throws");
  platform::noteInputDevice(InputDevice::Pad);
  EXPECT_EQ(game.hintLabel->text(), "A throws");
  game.tutorialScene(true);  // the end
  EXPECT_TRUE(game.hintLabel->isHidden());

  playAGame();
  platform::noteInputDevice(InputDevice::Keyboard);
  game.pauseByPlayer();
  EXPECT_EQ(game.hintLabel->text(), "Escape resumes");
  EXPECT_FALSE(game.hintLabel->isHidden());
  platform::noteInputDevice(InputDevice::Pad);
  EXPECT_EQ(game.hintLabel->text(), "Start resumes");
  platform::noteInputDevice(InputDevice::Touch);
  EXPECT_EQ(game.hintLabel->text(), "double-tap the button to resume");
  platform::noteInputDevice(InputDevice::Pad);
  // A button bound in the controls file is named as players call it, not as SDL spells it.
  platform::Controls rebound = platform::Controls::defaults();
  rebound.buttons[static_cast<int>(platform::Control::Pause)] = {
      SDL_CONTROLLER_BUTTON_LEFTSHOULDER};
  platform::setActiveControls(rebound);
  game.showHint(HintPlace::Pause);
  EXPECT_EQ(game.hintLabel->text(), "LB resumes");
  platform::setActiveControls(platform::Controls::defaults());
  game.resumeByPlayer();
  EXPECT_TRUE(game.hintLabel->isHidden());

  platform::noteInputDevice(InputDevice::Mouse);
  loseIt();
  EXPECT_EQ(game.hintLabel->text(), "click to go on");
  EXPECT_FALSE(game.hintLabel->isHidden());
  platform::noteInputDevice(InputDevice::Touch);
  EXPECT_EQ(game.hintLabel->text(), "tap to go on");
  EXPECT_FALSE(game.hintLabel->isHidden());
}

TEST_F(ShellTest, AVolumeSliderDraggedToItsLeftEndStoresAHundredthAndClicksWhenLetGo) {
  launch();
  game.buttonPressed(4);
  sounds.clear();
  // Landscape (x, y) is the portrait window's (320 - y, x).
  const auto drag = [](platform::Point from, platform::Point to) {
    platform::TouchRouter& router = platform::TouchRouter::shared();
    router.deliver(41, platform::TouchPhase::Began, {320 - from.y, from.x});
    router.deliver(41, platform::TouchPhase::Moved, {320 - to.y, to.x});
    router.deliver(41, platform::TouchPhase::Ended, {320 - to.y, to.x});
  };
  drag({400, 47}, {271, 47});  // the music slider, to its left end
  EXPECT_EQ(platform::UserDefaults::standard().floatForKey(kMusicKey), 0.01f);
  EXPECT_EQ(sounds, std::vector<int>{kSoundButton});
  drag({300, 132}, {460, 132});  // the effects slider, to its right end
  EXPECT_EQ(platform::UserDefaults::standard().floatForKey(kEffectsKey), 1.0f);

  // Let go a little off the slider (as the phone's controls allowed, up to 70 points): still a
  // click. Far off: none.
  sounds.clear();
  drag({400, 47}, {400, 115});  // 40 points below the music slider's frame
  drag({400, 47}, {240, 47});   // 30 points past its left end
  EXPECT_EQ(sounds, (std::vector<int>{kSoundButton, kSoundButton}));
  drag({400, 47}, {400, 175});  // 100 points below
  EXPECT_EQ(sounds, (std::vector<int>{kSoundButton, kSoundButton}));
}

// A drag is written once its steps stop for half a second, or when the slider is let go, or the
// window loses focus: never at every step.
TEST_F(ShellTest, ASlidersStepsAreWrittenTogetherAndNothingIsLost) {
  launch();
  game.buttonPressed(4);
  platform::UserDefaults& defaults = platform::UserDefaults::standard();
  platform::TouchRouter& router = platform::TouchRouter::shared();
  // The music slider runs along landscape x 270 to 455 at y 47: the window's (273, x).
  const long before = defaults.writes();
  router.deliver(42, platform::TouchPhase::Began, {273, 400});
  for (int step = 0; step < 50; ++step) {
    router.deliver(42, platform::TouchPhase::Moved, {273, 400 - 2.0f * step});
    loop.runUntil(clock.now() + 0.02);
  }
  EXPECT_LE(defaults.writes() - before, 1);  // a second of dragging: none, or one at a pause
  router.deliver(42, platform::TouchPhase::Ended, {273, 302});
  EXPECT_LE(defaults.writes() - before, 2);
  EXPECT_FALSE(defaults.hasPendingWrite());
  const float letGo = defaults.floatForKey(kMusicKey);
  EXPECT_EQ(platform::UserDefaults(defaults.path()).floatForKey(kMusicKey), letGo);

  // Moved without letting go (a touch cancelled, say): on disk half a second after the last step.
  router.deliver(43, platform::TouchPhase::Began, {273, 302});
  router.deliver(43, platform::TouchPhase::Moved, {273, 420});
  EXPECT_TRUE(defaults.hasPendingWrite());
  loop.runUntil(clock.now() + 0.49);
  EXPECT_TRUE(defaults.hasPendingWrite());
  loop.runUntil(clock.now() + 0.02);
  EXPECT_FALSE(defaults.hasPendingWrite());

  // And a step just before the window loses focus is written with the notice.
  router.deliver(43, platform::TouchPhase::Moved, {273, 350});
  game.applicationWillResignActive(platform::Application::shared());
  EXPECT_FALSE(defaults.hasPendingWrite());
  EXPECT_EQ(platform::UserDefaults(defaults.path()).floatForKey(kMusicKey),
            defaults.floatForKey(kMusicKey));
}

TEST_F(ShellTest, ThePauseKeyPausesAGameAndResumesIt) {
  launch();
  playAGame();
  game.pauseKeyPressed(platform::Application::shared());
  EXPECT_FALSE(game.isActiveTimer(kRenderSceneTimer));
  EXPECT_FALSE(game.gamePlayButton->isHidden());
  game.pauseKeyPressed(platform::Application::shared());
  EXPECT_TRUE(game.isActiveTimer(kRenderSceneTimer));
  EXPECT_TRUE(game.gamePlayButton->isHidden());
}

// A window resized rebuilds the GL surface: the game's picture is painted on it again while it is
// on show, paused or behind the game-over screen as much as in play.
TEST_F(ShellTest, AResizedSurfaceShowsTheGamesPictureWhilePausedAndAtTheGamesEnd) {
  launch();
  int paints = 0;
  const auto paint = game.scenePresenter.paint;
  game.scenePresenter.paint = [&paints, paint](const std::vector<SceneSprite>& sprites) {
    ++paints;
    paint(sprites);
  };
  playAGame();
  const auto paintedOnResize = [this, &paints] {
    const int before = paints;
    game.didResizeEAGLSurfaceForView(game.glView.get());
    return paints == before + 1;
  };
  platform::Application& application = platform::Application::shared();
  game.pauseKeyPressed(application);
  EXPECT_TRUE(paintedOnResize()) << "paused";
  game.pauseKeyPressed(application);
  loseIt();
  EXPECT_TRUE(paintedOnResize()) << "game over";
}

TEST_F(ShellTest, TheAchievementsTableListsTwelveNamesWithTheEarnedStarsLit) {
  launch();
  game.newAchievement(kAchievementLadysNight);  // earned while the screen is not shown
  game.buttonPressed(2);
  platform::TableView& table = *game.achievementTable;
  ASSERT_EQ(table.numberOfRows(), 12);
  EXPECT_EQ(table.contentOffset(), 0);
  for (int row = 0; row < 12; ++row) {
    platform::TableViewCell* cell = table.cellForRow(row);
    ASSERT_NE(cell, nullptr);
    const auto* name = dynamic_cast<platform::Label*>(cell->viewWithTag(2));
    ASSERT_NE(name, nullptr);
    EXPECT_NE(name->text(), "???");
    EXPECT_FLOAT_EQ(cell->viewWithTag(1)->alpha(), row == kAchievementLadysNight ? 1.0f : 0.2f);
  }
  EXPECT_EQ(dynamic_cast<platform::Label*>(table.cellForRow(11)->viewWithTag(2))->text(),
            "lady's night");
  // Rows are 42 points: the last ones are reached by scrolling.
  platform::scrollVisibleTables(*game.window, 100);  // the page keys
  EXPECT_EQ(table.contentOffset(), 12 * 42 - 320);
  // A tapped row lights up and lets go a moment later.
  table.cellForRow(3)->setSelected(true);
  game.didSelectRowAtIndexPath(table, {0, 3});
  EXPECT_TRUE(table.cellForRow(3)->isSelected());
  loop.runUntil(clock.now() + 0.3);
  EXPECT_FALSE(table.cellForRow(3)->isSelected());
  game.buttonPressed(11);
  game.buttonPressed(2);  // back again: from the top, and the cells reused
  EXPECT_EQ(table.contentOffset(), 0);
  EXPECT_EQ(table.numberOfRows(), 12);
}

// Where a drawing's pixels lie, in points: the box of its solid pixels and the centre of its
// coverage.
struct Footprint {
  float left = 1e9f, top = 1e9f, right = -1e9f, bottom = -1e9f;
  double x = 0, y = 0;
};
Footprint footprintOf(const platform::Picture& picture, float scale) {
  Footprint print;
  double weight = 0;
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      const int alpha = picture.pixel(x, y)[3];
      weight += alpha;
      print.x += alpha * (x + 0.5) / scale;
      print.y += alpha * (y + 0.5) / scale;
      if (alpha < 128) continue;
      print.left = std::min(print.left, x / scale);
      print.top = std::min(print.top, y / scale);
      print.right = std::max(print.right, (x + 1) / scale);
      print.bottom = std::max(print.bottom, (y + 1) / scale);
    }
  }
  print.x /= weight;
  print.y /= weight;
  return print;
}

// A menu's picture, a button and a slider drawn at two and four pixels a point take their
// pictures at that density and lie just where they lie at one: every size in points, the
// slider's caps and its thumb stay where they were.
TEST_F(ShellTest, MenusDrawnAtEveryDensityKeepEverySizeInPoints) {
  launch();
  platform::View* slider = game.settingsMenuView->viewWithTag(1);
  ASSERT_NE(slider, nullptr);
  for (platform::View* view : {game.mainMenuView.get(), game.mainPlayButton.get(), slider}) {
    const platform::Size size = view->bounds().size;
    platform::Picture one;
    platform::ViewCanvas atOne(one, size, 1);
    view->drawContents(atOne);
    const Footprint plain = footprintOf(one, 1);
    for (const float scale : {2.0f, 4.0f}) {
      platform::Picture sharp;
      platform::ViewCanvas canvas(sharp, size, scale);
      view->drawContents(canvas);
      const Footprint print = footprintOf(sharp, scale);
      for (const auto& [a, b] : {std::pair{plain.left, print.left},
                                 {plain.top, print.top},
                                 {plain.right, print.right},
                                 {plain.bottom, print.bottom}}) {
        EXPECT_NEAR(a, b, 1) << size.width << " x " << size.height << " at " << scale;
      }
      EXPECT_NEAR(plain.x, print.x, 0.5) << size.width << " x " << size.height << " at " << scale;
      EXPECT_NEAR(plain.y, print.y, 0.5) << size.width << " x " << size.height << " at " << scale;
    }
  }
  const platform::ScaledImage button = platform::ScaledImage::named("button.png");
  EXPECT_EQ(button.at(2)->width(), 2 * button.at(1)->width());
  EXPECT_EQ(button.at(2.5f)->scale(), 4);
  EXPECT_EQ(button.size().width, 160);
}

TEST_F(ShellTest, TheSlidersShowTheStoredVolumesAndEachEffectTakesItsShare) {
  launch();
  std::vector<float> values;
  for (const auto& subview : game.settingsMenuView->subviews()) {
    if (auto* slider = dynamic_cast<platform::Slider*>(subview.get())) {
      values.push_back(slider->value());
    }
  }
  EXPECT_EQ(values, (std::vector<float>{0.6f, 0.9f}));
  EXPECT_FLOAT_EQ(effectLevel(kSoundBoot, 1), 1.8f);
  EXPECT_EQ(effectLevel(kSoundStar, 1), 2.0f);
  EXPECT_EQ(effectLevel(kSoundButton, 1), 1.0f);
  EXPECT_EQ(effectLevel(kSoundTiptoe, 0.01f), static_cast<float>(0.01f * 0.1));
  EXPECT_EQ(effectLevel(kSoundChaching, 0.01f), static_cast<float>(0.01f * 0.3));
}

TEST_F(ShellTest, AGameLostInItsFirstRoundEarnsNeitherTosslessNorCleaner) {
  launch();
  playAGame();
  loseIt();
  ASSERT_EQ(game._state, kGameStateStopped);
  const long earned = platform::UserDefaults::standard().integerForKey(kAchievementsKey);
  EXPECT_FALSE(earned & (1L << kAchievementTossless));
  EXPECT_FALSE(earned & (1L << kAchievementCleaner));
}

TEST_F(ShellTest, AnInterfaceFileOfTheWrongShapeIsNamedByTheCheckerAndNeverThrows) {
  const std::filesystem::path folder = scratchPath("interface-shapes");
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  std::ofstream(folder / kInterfaceFile) << R"({"window": [0, 0, 320, 480],
    "views": [7, {"name": 12, "class": "Label"}, {"name": "a", "class": ["Label"]},
              {"name": "b", "class": "Button", "title": 5, "tag": 4294967297, "frame": [0, 0, 9, 9]},
              {"name": "c", "class": "ImageView", "image": "/etc/passwd", "frame": [0, 0, 9, 9]},
              {"name": "d", "class": "ImageView", "image": "../MainWindow.json", "frame": [0, 0, 9, 9]},
              {"name": "e", "class": "ImageView", "image": "", "frame": [0, 0, 9, 9]},
              {"name": "f", "class": "Label", "frame": [0, 0, 1e30, 9]},
              {"name": "g", "class": "Label", "frame": [0, 0, 9, 9], "tag": -1e300},
              {"name": "h", "class": "Label", "frame": [0, 0, 9, 9]}]})";
  const std::vector<std::string> faults = checkInterfaceFile(folder);
  const auto says = [&faults](const std::string& text) {
    return std::find(faults.begin(), faults.end(), text) != faults.end();
  };
  EXPECT_TRUE(says("the window has no frame"));
  EXPECT_TRUE(says("a view has no name"));
  EXPECT_TRUE(says("a has no known class"));
  EXPECT_TRUE(says("b has a title that is not a text"));
  EXPECT_TRUE(says("tag 4294967297 is not a tag of the game"));
  EXPECT_TRUE(says("c shows /etc/passwd, which is not the name of an image in the bundle"));
  EXPECT_TRUE(says("d shows ../MainWindow.json, which is not the name of an image in the bundle"));
  EXPECT_TRUE(says("e shows no image, which is not the name of an image in the bundle"));
  EXPECT_TRUE(says("f has no frame"));

  // The loader makes what it can; a view it cannot make is left out with a line naming it.
  testing::internal::CaptureStderr();
  EXPECT_TRUE(loadInterfaceFile(folder, game));
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("view f cannot be made"), std::string::npos) << said;
  EXPECT_NE(said.find("view g cannot be made"), std::string::npos) << said;
  EXPECT_NE(said.find("\"/etc/passwd\" is not the name of an image"), std::string::npos) << said;
  ASSERT_TRUE(game.window);
  EXPECT_EQ(game.window->subviews().size(), 5u);  // b, c, d, e and h

  std::ofstream(folder / kInterfaceFile)
      << R"({"views": )" << std::string(3000, '[') << std::string(3000, ']') << "}";
  EXPECT_EQ(checkInterfaceFile(folder),
            std::vector<std::string>{(folder / kInterfaceFile).string() +
                                     " nests deeper than 64 levels"});
  testing::internal::CaptureStderr();
  EXPECT_FALSE(loadInterfaceFile(folder, game));
  testing::internal::GetCapturedStderr();
  std::filesystem::remove_all(folder);
}

TEST_F(ShellTest, ALostSoundDeviceIsReplacedWithinASecondWithTheMusicAndVolumesInForce) {
  launch();
  playAGame();
  ASSERT_EQ(game.currentMusicMode, kMusicGame);
  const auto gain = [this](int slot) {
    ALfloat value = -1;
    alGetSourcef(game._sounds[slot], AL_GAIN, &value);
    return value;
  };
  const float musicGain = gain(kSoundGame), effectGain = gain(kSoundBonk);
  int frames = 0;
  game.frameEnded = [&frames](float) { ++frames; };

  bool connected = false;  // the device goes away
  game.soundDeviceProbe.connected = [&connected] { return connected; };
  sounds.clear();
  loop.runUntil(clock.now() + 1.05);
  connected = true;  // and the default device plays again

  // The music plays again, and the game is not told it started a sound: a replay of the game on
  // a device that never went must hear of the same sounds.
  EXPECT_EQ(std::find(sounds.begin(), sounds.end(), kSoundGame), sounds.end());
  EXPECT_TRUE(playsSoon(game._sounds[kSoundGame]));
  EXPECT_EQ(gain(kSoundGame), musicGain);
  EXPECT_EQ(gain(kSoundBonk), effectGain);
  EXPECT_EQ(SoundEngine_StartEffect(game._sounds[kSoundBonk]), 0);
  // The game went on as if nothing had happened: a frame every twentieth of a second.
  EXPECT_EQ(game._state, kGameStatePlaying);
  EXPECT_EQ(frames, 21);
  game.frameEnded = nullptr;

  // While no device can be had, the game stays silent and keeps looking.
  connected = false;
  game.soundDeviceProbe.available = [] { return false; };
  const uint32_t idBefore = game._sounds[kSoundGame];
  loop.runUntil(clock.now() + 3);
  EXPECT_EQ(game._sounds[kSoundGame], idBefore);
}

// The page's bundle brings the scene's art and the sounds after the first picture: the launch
// shows the main menu without them and names no file as missing; once they are in, every slot
// loads and the menu's music plays, which the game asked for at launch and is not told of again.
TEST_F(ShellTest, ABundleWhoseRestComesLaterShowsTheMenuAndLoadsTheRestWhenItIsIn) {
  platform::Bundle::mainBundle().expectRest();
  testing::internal::CaptureStderr();
  launch();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(visibleMenuViews(), mainMenuViews());
  EXPECT_EQ(game.currentMusicMode, kMusicMenu);
  for (int slot = 0; slot < kTextureCount; ++slot) EXPECT_FALSE(game._textures[slot]) << slot;
  for (int slot = 0; slot < kSoundCount; ++slot) EXPECT_EQ(game._sounds[slot], 0u) << slot;

  platform::Bundle::mainBundle().arrived();
  for (int slot = 0; slot < kTextureCount; ++slot) EXPECT_TRUE(game._textures[slot]) << slot;
  for (int slot = 0; slot < kSoundCount; ++slot) EXPECT_NE(game._sounds[slot], 0u) << slot;
  EXPECT_TRUE(sounds.empty());
  EXPECT_TRUE(playsSoon(game._sounds[kSoundMenu]));

  // A second arrival changes nothing.
  const uint32_t menuMusic = game._sounds[kSoundMenu];
  platform::Bundle::mainBundle().arrived();
  EXPECT_EQ(game._sounds[kSoundMenu], menuMusic);
}

namespace {

std::string fileText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool wake() {
  return platform::deliverInput(platform::InputEntry::of(platform::InputEntry::Kind::Wake));
}

}  // namespace

TEST_F(ShellTest, AMainMenuLeftAloneFadesIntoADemoThatKeepsNothingOfItsGame) {
  int gamesEnded = 0;
  game.gameEnded = [&gamesEnded] { ++gamesEnded; };
  launch();
  platform::UserDefaults& store = platform::UserDefaults::standard();
  const long writes = store.writes();
  const std::string stored = fileText(store.path());
  loop.runUntil(clock.now() + 29.9);
  EXPECT_EQ(game.demoPhase, SaltmereAppDelegate::DemoPhase::Off);
  loop.runUntil(clock.now() + 0.6);
  EXPECT_EQ(game.demoPhase, SaltmereAppDelegate::DemoPhase::Fading);
  EXPECT_NEAR(game.mainPlayButton->alpha(), 0.5f, 0.05f);

  loop.runUntil(clock.now() + 1);
  ASSERT_EQ(game.demoPhase, SaltmereAppDelegate::DemoPhase::Playing);
  EXPECT_TRUE(game.mainMenuView->isHidden());
  EXPECT_EQ(game.mainPlayButton->alpha(), 1.0f);  // ready to show again
  EXPECT_FALSE(game.demoBanner->isHidden());
  EXPECT_EQ(game.demoBanner->text(), "demo");
  // The bot plays a real game, with the game's music, and no pop-up ever shows.
  for (int second = 0; second < 60; ++second) {
    loop.runUntil(clock.now() + 1);
    ASSERT_TRUE(game.achievementView->isHidden()) << "at " << second << " s";
  }
  EXPECT_NE(game._state, kGameStateStopped);
  EXPECT_EQ(game.currentMusicMode, kMusicGame);
  EXPECT_GT(game._score, 0u);

  loseIt();
  EXPECT_EQ(game.demoPhase, SaltmereAppDelegate::DemoPhase::Over);
  EXPECT_FALSE(game.blackView->isHidden());
  loop.runUntil(clock.now() + 5.1);
  EXPECT_EQ(game.demoPhase, SaltmereAppDelegate::DemoPhase::Off);
  EXPECT_FALSE(game.mainMenuView->isHidden());
  EXPECT_TRUE(game.blackView->isHidden());
  EXPECT_TRUE(game.demoBanner->isHidden());
  EXPECT_EQ(game.currentMusicMode, kMusicMenu);
  // Its records, achievements and game end are not the player's.
  EXPECT_EQ(game.highScore, 0);
  EXPECT_EQ(game.highLevel, 0);
  EXPECT_EQ(game.highScoreLabel->text(), "sheep crab\nscore 0\nround 0\r");
  EXPECT_EQ(store.integerForKey(kHighScoreKey), 0);
  EXPECT_EQ(store.integerForKey(kAchievementsKey), 0);
  EXPECT_EQ(store.writes(), writes);
  EXPECT_EQ(fileText(store.path()), stored);
  EXPECT_EQ(gamesEnded, 0);

  // The player's own game keeps its record and is told of.
  playAGame();
  loseIt();
  EXPECT_EQ(game.highLevel, 1);
  EXPECT_EQ(store.integerForKey(kHighLevelKey), 1);
  EXPECT_EQ(gamesEnded, 1);
}

TEST_F(ShellTest, AnyWakeEndsTheDemoAtOnceAndBringsTheMenuBack) {
  launch();
  loop.runUntil(clock.now() + 30.5);
  ASSERT_EQ(game.demoPhase, SaltmereAppDelegate::DemoPhase::Fading);
  EXPECT_TRUE(wake());
  EXPECT_EQ(game.demoPhase, SaltmereAppDelegate::DemoPhase::Off);
  for (const auto& view : game.menuMembers(game.mainMenuView.get())) {
    EXPECT_FALSE(view->isHidden());
    EXPECT_EQ(view->alpha(), 1.0f);
  }
  loop.runUntil(clock.now() + 29.9);  // the wait started again at the wake
  EXPECT_EQ(game.demoPhase, SaltmereAppDelegate::DemoPhase::Off);

  loop.runUntil(clock.now() + 5);
  ASSERT_EQ(game.demoPhase, SaltmereAppDelegate::DemoPhase::Playing);
  EXPECT_TRUE(wake());
  EXPECT_EQ(game.demoPhase, SaltmereAppDelegate::DemoPhase::Off);
  EXPECT_EQ(game._state, kGameStateStopped);
  EXPECT_FALSE(game.isActiveTimer(kRenderSceneTimer));
  EXPECT_FALSE(platform::Accelerometer::shared().sources().injected);
  EXPECT_EQ(game.currentMusicMode, kMusicMenu);
  EXPECT_EQ(visibleMenuViews(), mainMenuViews());
  EXPECT_FALSE(wake());  // on the menu a wake only starts the wait again
  loop.runUntil(clock.now() + 10);
  EXPECT_EQ(game.demoPhase, SaltmereAppDelegate::DemoPhase::Off);
}

TEST_F(ShellTest, NoDemoWhileThePlayerStirsIsElsewhereOrHasSentTheWindowAway) {
  launch();
  for (int k = 0; k < 4; ++k) {
    loop.runUntil(clock.now() + 20);
    EXPECT_FALSE(wake());
  }
  EXPECT_EQ(game.demoPhase, SaltmereAppDelegate::DemoPhase::Off);

  platform::Application& application = platform::Application::shared();
  application.setActive(false);
  loop.runUntil(clock.now() + 60);
  EXPECT_EQ(game.demoPhase, SaltmereAppDelegate::DemoPhase::Off);
  application.setActive(true);
  loop.runUntil(clock.now() + 32);
  ASSERT_EQ(game.demoPhase, SaltmereAppDelegate::DemoPhase::Playing);
  application.setActive(false);  // the window going away ends it
  EXPECT_EQ(game.demoPhase, SaltmereAppDelegate::DemoPhase::Off);
  EXPECT_FALSE(game.mainMenuView->isHidden());
  application.setActive(true);

  game.buttonPressed(1);  // the play menu
  loop.runUntil(clock.now() + 60);
  EXPECT_EQ(game.demoPhase, SaltmereAppDelegate::DemoPhase::Off);
}
