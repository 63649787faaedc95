// Menus: a whole menu shown or hidden in one call, and the action every button sends, told
// apart by the button's tag.
#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

#include "app/achievements.h"
#include "app/saltmere_app_delegate.h"
#include "app/settings.h"

namespace {

constexpr float kOverlayAlpha = 0.7f, kPauseOverlayAlpha = 0.4f;
// Two taps on the pause or resume button within this many seconds make a double tap.
constexpr double kDoubleTap = 0.5;

enum ButtonTag : int {
  kMainPlayTag = 1,
  kMainAchievementTag = 2,
  kMainChallengeTag = 3,
  kMainSettingsTag = 4,
  kSettingsCreditsTag = 5,
  kSettingsBackTag = 6,
  kPlayTutorialTag = 7,
  kPlayPlayTag = 8,
  kPlayBackTag = 9,
  kCreditsBackTag = 10,
  kAchievementsBackTag = 11,
  kGamePauseTag = 12,
  kGamePlayTag = 13,
};

// The game's page, on our web host; only its scheme and path are fixed.
constexpr const char* kGamePageHost = "www.tidewick.game";
constexpr const char* kGamePagePath = "/iphone/itunes-app-tidewick.html";

void setHidden(const std::shared_ptr<platform::View>& view, bool hidden) {
  if (view) view->setHidden(hidden);
}

// The platform's string formatting, as long as the text needs.
template <typename... Args>
std::string format(const char* pattern, Args... args) {
  const int length = std::snprintf(nullptr, 0, pattern, args...);
  if (length <= 0) return {};
  std::string text(static_cast<size_t>(length) + 1, '\0');
  std::snprintf(text.data(), text.size(), pattern, args...);
  text.pop_back();
  return text;
}

// Spaces, non-ASCII bytes and the characters that cannot stand in a URL become %XX escapes of
// their UTF-8 bytes; letters, digits and the URL's own punctuation stay.
std::string percentEscaped(const std::string& text) {
  static const std::string kKept = "!$&'()*+,-./:;=?@_~";
  std::string escaped;
  for (unsigned char c : text) {
    if (std::isalnum(c) && c < 0x80) {
      escaped += static_cast<char>(c);
    } else if (kKept.find(static_cast<char>(c)) != std::string::npos) {
      escaped += static_cast<char>(c);
    } else {
      escaped += format("%%%02X", c);
    }
  }
  return escaped;
}

}  // namespace

// Every menu shown or hidden asks for the menu music; the in-game buttons and the game-over
// overlay leave the music alone.
void SaltmereAppDelegate::displayMenu(platform::View* menu, bool hide) {
  if (!menu) {
    setHidden(gamePauseButton, hide);
    setHidden(gamePlayButton, true);
    return;
  }
  if (menu == blackView.get()) {
    blackView->setHidden(hide);
    blackView->setAlpha(kOverlayAlpha);
    if (gameOverLabel) {
      gameOverLabel->setText(format("game over\n%s rank\nscore %i\nround %i\r",
                                    getRankString(round), static_cast<int>(_score), round));
      gameOverLabel->setHidden(hide);
    }
    showHint(hide ? HintPlace::None : HintPlace::GameOver);
    return;
  }
  if (menu == mainMenuView.get() && highScoreLabel) {
    highScoreLabel->setText(
        format("%s\nscore %i\nround %i\r", getRankString(highLevel), highScore, highLevel));
  }
  for (const auto& view : menuMembers(menu)) setHidden(view, hide);
  newMusicMode(kMusicMenu);
  if (menu == mainMenuView.get()) armDemo();
}

std::vector<std::shared_ptr<platform::View>> SaltmereAppDelegate::menuMembers(
    platform::View* menu) const {
  // Each menu with its members, the menu's own view first.
  using Members = std::vector<std::shared_ptr<platform::View>>;
  const Members menus[] = {
      {mainMenuView, mainPlayButton, mainAchievementButton, mainChallengeButton, mainSettingsButton,
       highScoreLabel},
      {playMenuView, playTutorialButton, playPlayButton, playBackButton},
      {settingsMenuView, settingsCreditsButton, settingsBackButton},
      {creditsMenuView, creditsBackButton},
      {tutorialMenuView},
      {achievementsMenuView, achievementsBackButton},
  };
  for (const Members& members : menus) {
    if (members.front() && members.front().get() == menu) return members;
  }
  return {};
}

// Moves from one menu to the next with a click: forward or back.
void SaltmereAppDelegate::switchMenu(int sound, platform::View* from, platform::View* to) {
  startSound(sound);
  displayMenu(from, true);
  displayMenu(to, false);
}

void SaltmereAppDelegate::buttonPressed(int tag) {
  const double now = platform::RunLoop::exists() ? platform::RunLoop::current().now() : 0;
  switch (tag) {
    case kMainPlayTag:
      switchMenu(kSoundButton, mainMenuView.get(), playMenuView.get());
      break;
    case kMainAchievementTag:
      // The stars as they are now, from the top.
      if (achievementTable) {
        achievementTable->reloadData();
        achievementTable->scrollRectToVisible({{0, 0}, {1, 1}}, false);
      }
      switchMenu(kSoundButton, mainMenuView.get(), achievementsMenuView.get());
      break;
    case kMainChallengeTag:
      startSound(kSoundButton);
      shareByMail();
      break;
    case kMainSettingsTag:
      switchMenu(kSoundButton, mainMenuView.get(), settingsMenuView.get());
      break;
    case kSettingsCreditsTag:
      switchMenu(kSoundButton, settingsMenuView.get(), creditsMenuView.get());
      break;
    case kSettingsBackTag:
      switchMenu(kSoundButton2, settingsMenuView.get(), mainMenuView.get());
      break;
    case kPlayBackTag:
      switchMenu(kSoundButton2, playMenuView.get(), mainMenuView.get());
      break;
    case kCreditsBackTag:
      switchMenu(kSoundButton2, creditsMenuView.get(), settingsMenuView.get());
      break;
    case kAchievementsBackTag:
      switchMenu(kSoundButton2, achievementsMenuView.get(), mainMenuView.get());
      break;
    case kGamePauseTag:
    case kGamePlayTag:
      if (now - lastTapTime >= kDoubleTap) {
        startSound(kSoundXylo1a);
        lastTapTime = now;
      } else if (tag == kGamePauseTag) {
        pauseByPlayer();
      } else {
        resumeByPlayer();
      }
      break;
    case kPlayTutorialTag:
      startSound(kSoundButton);
      tutorialScene(true);
      displayMenu(playMenuView.get(), true);
      displayMenu(tutorialMenuView.get(), false);
      break;
    case kPlayPlayTag:
      startSound(kSoundButton);
      displayMenu(playMenuView.get(), true);
      startGame();
      break;
    default:
      break;
  }
}

// A new game from its first round, at the volumes stored, the in-game buttons showing.
void SaltmereAppDelegate::startGame() {
  // Told before the game takes its first random number.
  if (gameStarted && demoPhase == DemoPhase::Off) gameStarted();
  demoWaitsForGame = false;
  displayMenu(nullptr, false);
  resetGame();
  setMusicLevels();
  setEffectsLevels();
  newMusicMode(kMusicSilent);
  newRound();
  startTimer(kRenderSceneTimer);
}

// The pause is taken before the resume button shows, so the pause handling still acts; the
// resume comes after it is hidden again.
void SaltmereAppDelegate::pauseByPlayer() {
  startSound(kSoundXylo1b);
  applicationWillResignActive(platform::Application::shared());
  if (blackView) {
    blackView->setAlpha(kPauseOverlayAlpha);
    blackView->setHidden(false);
  }
  if (gameOverLabel) {
    gameOverLabel->setText("pause");
    gameOverLabel->setHidden(false);
  }
  showHint(HintPlace::Pause);
  setHidden(gamePauseButton, true);
  setHidden(gamePlayButton, false);
  lastTapTime = 0;
}

void SaltmereAppDelegate::resumeByPlayer() {
  startSound(kSoundXylo2);
  displayMenu(blackView.get(), true);
  setHidden(gamePlayButton, true);
  setHidden(gamePauseButton, false);
  applicationDidBecomeActive(platform::Application::shared());
  lastTapTime = 0;
}

// A mail to a friend with the best round, rank and score, handed to the desktop's mail program.
void SaltmereAppDelegate::shareByMail() {
  const std::string page =
      challengePage ? challengePage() : format("http://%s%s", kGamePageHost, kGamePagePath);
  const std::string subject = "Try to beat my Tidewick score";
  const std::string body = format(
      "Have you played Tidewick yet? I made it to level %i with a ranking of %s and my top "
      "score is %i. E-mail back after you top my score! Tidewick is available now in the iTunes "
      "App Store for iPhone and iPod Touch. Check out the game at %s",
      highLevel, getRankString(highLevel), highScore, page.c_str());
  platform::Application::shared().openURL(format(
      "mailto:?subject=%s&body=%s", percentEscaped(subject).c_str(), percentEscaped(body).c_str()));
}

void SaltmereAppDelegate::pauseKeyPressed(platform::Application&) {
  const int tag = gamePauseButton && !gamePauseButton->isHidden() ? kGamePauseTag
                  : gamePlayButton && !gamePlayButton->isHidden() ? kGamePlayTag
                                                                  : 0;
  if (!tag) return;
  lastTapTime = 0;  // the key's two taps make a pair of their own
  buttonPressed(tag);
  buttonPressed(tag);
}

void SaltmereAppDelegate::backKeyPressed(platform::Application&) {
  for (const auto& button :
       {playBackButton, settingsBackButton, creditsBackButton, achievementsBackButton}) {
    if (button && !button->isHidden()) {
      buttonPressed(button->tag());
      return;
    }
  }
}
