// The whole game worked with a pad alone and with the keys alone, through the desktop's own
// input: every screen reached and left, both volumes set to 0.3 and back, the achievements list
// read to its end, the settings on disk and the focus on screen checked on the way.
#include <gtest/gtest.h>

#include <SDL2/SDL.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

#include <nlohmann/json.hpp>

#include "app/saltmere_app_delegate.h"
#include "app/settings.h"
#include "platform/core/bundle.h"
#include "platform/core/clock.h"
#include "platform/core/run_loop.h"
#include "platform/core/user_defaults.h"
#include "platform/input/controls.h"
#include "platform/input/desktop_events.h"
#include "platform/input/input_journal.h"
#include "platform/screen/touch.h"
#include "platform/ui/button.h"
#include "platform/ui/focus.h"
#include "platform/ui/slider.h"
#include "tests/support/build_paths.h"
#include "tests/support/scratch.h"
#include "tests/support/test_display.h"

namespace {

using platform::Control;

// What the player presses, whichever device is in hand.
enum class Press { Up, Down, Left, Right, Select, Back, Pause };

struct Device {
  const char* name;
  std::map<Press, int> codes;  // SDL key codes, or game-controller buttons
  bool pad;
};

const Device kPad = {"Pad",
                     {{Press::Up, SDL_CONTROLLER_BUTTON_DPAD_UP},
                      {Press::Down, SDL_CONTROLLER_BUTTON_DPAD_DOWN},
                      {Press::Left, SDL_CONTROLLER_BUTTON_DPAD_LEFT},
                      {Press::Right, SDL_CONTROLLER_BUTTON_DPAD_RIGHT},
                      {Press::Select, SDL_CONTROLLER_BUTTON_A},
                      {Press::Back, SDL_CONTROLLER_BUTTON_B},
                      {Press::Pause, SDL_CONTROLLER_BUTTON_START}},
                     true};
const Device kKeys = {"Keys",
                      {{Press::Up, SDLK_UP},
                       {Press::Down, SDLK_DOWN},
                       {Press::Left, SDLK_LEFT},
                       {Press::Right, SDLK_RIGHT},
                       {Press::Select, SDLK_RETURN},
                       {Press::Back, SDLK_ESCAPE},
                       {Press::Pause, SDLK_ESCAPE}},
                      false};

class MenuNavigationTest : public testing::TestWithParam<Device> {
 protected:
  static void SetUpTestSuite() { setenv("ALSOFT_DRIVERS", "null", 1); }
  void SetUp() override {
    testDisplay();
    settingsFile = scratchPath(std::string("navigation-") + GetParam().name + ".json");
    std::filesystem::remove(settingsFile);
    platform::UserDefaults::useFile(settingsFile);
    platform::Bundle::useFolder(build_paths::kBundle);
    platform::TouchRouter::shared().reset();
    game.soundStarted = [this](int slot) { sounds.push_back(slot); };
    platform::Application::shared().setDelegate(&game);
    game.applicationDidFinishLaunching(platform::Application::shared());
  }
  void TearDown() override {
    game.stopAllTimers();
    platform::Application::shared().setDelegate(nullptr);
  }

  // Down and up a moment later, as a player presses.
  void press(Press what) {
    const Device& device = GetParam();
    const int code = device.codes.at(what);
    for (const bool down : {true, false}) {
      SDL_Event e{};
      if (device.pad) {
        e.type = down ? SDL_CONTROLLERBUTTONDOWN : SDL_CONTROLLERBUTTONUP;
        e.cbutton.button = static_cast<Uint8>(code);
      } else {
        e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        e.key.keysym.sym = code;
      }
      events.handle(e);
      loop.runUntil(clock.now() + 0.05);
    }
  }
  void press(Press what, int times) {
    for (int i = 0; i < times; ++i) press(what);
  }

  platform::ControlView* focus() { return platform::FocusRing::focused(*game.window); }
  std::string focusedTitle() {
    auto* button = dynamic_cast<platform::Button*>(focus());
    return button ? button->title() : std::string();
  }
  bool shows(const std::shared_ptr<platform::View>& view) const { return !view->isHidden(); }
  platform::Slider& slider(int tag) {
    return dynamic_cast<platform::Slider&>(*game.settingsMenuView->viewWithTag(tag));
  }
  // The volume the settings file holds now.
  float onDisk(const char* key) const {
    std::ifstream in(settingsFile);
    return nlohmann::json::parse(in).at(key).get<float>();
  }

  std::filesystem::path settingsFile;
  platform::VirtualClock clock{100.0};
  platform::RunLoop loop{clock};
  platform::DesktopEvents events{testDisplay(), loop};
  SaltmereAppDelegate game;
  std::vector<int> sounds;
};

TEST_P(MenuNavigationTest, EveryScreenIsReachedAndLeftWithOneDeviceAlone) {
  ASSERT_TRUE(shows(game.mainMenuView));
  EXPECT_EQ(focus(), nullptr);

  // Main menu to settings: the focus comes along onto the music slider.
  press(Press::Down, 4);
  EXPECT_EQ(focusedTitle(), "settings");
  press(Press::Select);
  ASSERT_TRUE(shows(game.settingsMenuView));
  EXPECT_EQ(focus(), &slider(1));

  // Both volumes to 0.3, a click a step, on disk once the steps have stopped for half a second.
  sounds.clear();
  press(Press::Left, 3);
  EXPECT_EQ(sounds, std::vector<int>(3, kSoundButton));
  press(Press::Down);
  EXPECT_EQ(focus(), &slider(2));
  press(Press::Left, 6);
  loop.runUntil(clock.now() + 0.6);
  platform::UserDefaults& defaults = platform::UserDefaults::standard();
  EXPECT_EQ(slider(1).value(), 0.3f);
  EXPECT_EQ(slider(2).value(), 0.3f);
  EXPECT_EQ(defaults.floatForKey(kMusicKey), 0.3f);
  EXPECT_EQ(defaults.floatForKey(kEffectsKey), 0.3f);
  EXPECT_EQ(onDisk(kMusicKey), 0.3f);
  EXPECT_EQ(onDisk(kEffectsKey), 0.3f);
  // And back.
  press(Press::Right, 6);
  press(Press::Up);
  press(Press::Right, 3);
  loop.runUntil(clock.now() + 0.6);
  EXPECT_EQ(onDisk(kMusicKey), 0.6f);
  EXPECT_EQ(onDisk(kEffectsKey), 0.9f);

  // Credits and back to settings, then back to the main menu, each with a back click.
  press(Press::Down, 2);
  EXPECT_EQ(focusedTitle(), "credits");
  press(Press::Select);
  ASSERT_TRUE(shows(game.creditsMenuView));
  EXPECT_EQ(focusedTitle(), "back");
  sounds.clear();
  press(Press::Back);
  EXPECT_TRUE(shows(game.settingsMenuView));
  press(Press::Back);
  EXPECT_TRUE(shows(game.mainMenuView));
  EXPECT_EQ(sounds, std::vector<int>(2, kSoundButton2));
  press(Press::Back);  // the main menu has nowhere to go back to
  EXPECT_TRUE(shows(game.mainMenuView));

  // The achievements, read row by row to the end, every row shown whole in its turn; then the
  // back button, pressed.
  press(Press::Down, 2);
  press(Press::Select);
  ASSERT_TRUE(shows(game.achievementsMenuView));
  platform::TableView& table = *game.achievementTable;
  for (int row = 0; row < table.numberOfRows(); ++row) {
    if (row > 0) press(Press::Down);
    ASSERT_EQ(table.focusedRow(), row);
    const platform::Rect cell = table.cellForRow(row)->frame();
    EXPECT_GE(cell.origin.y, table.bounds().origin.y) << row;
    EXPECT_LE(cell.origin.y + cell.size.height,
              table.bounds().origin.y + table.bounds().size.height)
        << row;
  }
  EXPECT_GT(table.contentOffset(), 0);
  press(Press::Down);
  EXPECT_EQ(focusedTitle(), "back");
  EXPECT_EQ(table.focusedRow(), -1);
  press(Press::Select);
  ASSERT_TRUE(shows(game.mainMenuView));

  // The play menu, the tutorial pressed through back to it, and a game.
  press(Press::Select);  // the focus came back to the first button: play
  ASSERT_TRUE(shows(game.playMenuView));
  EXPECT_EQ(focusedTitle(), "tutorial");
  press(Press::Select);
  ASSERT_TRUE(shows(game.tutorialMenuView));
  for (int taps = 0; taps < 20 && !shows(game.playMenuView); ++taps) {
    press(Press::Select);
    loop.runUntil(clock.now() + 1);
  }
  ASSERT_TRUE(shows(game.playMenuView));
  EXPECT_EQ(focusedTitle(), "tutorial");  // where it was left
  press(Press::Down);
  EXPECT_EQ(focusedTitle(), "play");
  press(Press::Select);
  ASSERT_EQ(game._state, kGameStateRoundChange);

  // In the game the pause button takes no focus: the press throws.
  loop.runUntil(clock.now() + 5);
  std::vector<platform::InputEntry> given;
  platform::setInputJournal(
      [&given](const platform::InputEntry& entry) { given.push_back(entry); });
  press(Press::Down);
  press(Press::Select);
  platform::setInputJournal(nullptr);
  EXPECT_EQ(focus(), nullptr);
  ASSERT_FALSE(given.empty());
  EXPECT_EQ(given.back().kind, platform::InputEntry::Kind::Touch);
  EXPECT_EQ(given.back().touch, platform::kKeyboardTouch);

  // Paused and resumed.
  press(Press::Pause);
  EXPECT_TRUE(shows(game.gamePlayButton));
  EXPECT_FALSE(game.isActiveTimer(kRenderSceneTimer));
  press(Press::Pause);
  EXPECT_TRUE(shows(game.gamePauseButton));
  EXPECT_TRUE(game.isActiveTimer(kRenderSceneTimer));

  // Lost, and the game-over screen pressed away once it takes presses.
  for (Baby& baby : babies) baby.state = BabyStateNone;
  loop.runUntil(clock.now() + 3);
  ASSERT_TRUE(shows(game.blackView));
  press(Press::Select);
  EXPECT_TRUE(shows(game.mainMenuView));
}

INSTANTIATE_TEST_SUITE_P(OneDevice, MenuNavigationTest, testing::Values(kPad, kKeys),
                         [](const testing::TestParamInfo<Device>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
