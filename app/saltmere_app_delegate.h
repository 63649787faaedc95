// The game: one delegate holding the crab, the score pop-ups, the counters, the asset tables and
// the menus. Its operations are spread over files by concern: the world's and the game flow's in
// game/, the drawing's and the tutorial's in render/, the shell's in app/; the demo plays with
// the built-in player of player/. The trash, babies, beach ball and shark are globals beside it
// (world/world.h).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "app/asset_catalogue.h"
#include "gl/my_eagl_view.h"
#include "gl/scene_frame.h"
#include "gl/scene_presenter.h"
#include "gl/texture2d.h"
#include "platform/core/application.h"
#include "platform/core/geometry.h"
#include "platform/core/run_loop.h"
#include "platform/graphics/image.h"
#include "platform/input/accelerometer.h"
#include "platform/screen/view.h"
#include "platform/ui/label.h"
#include "platform/ui/slider.h"
#include "platform/ui/table_view.h"
#include "sound/sound_engine.h"
#include "world/world.h"

enum GameState : int {
  kGameStateStopped = 0,
  kGameStateRoundChange = 1,
  kGameStatePlaying = 2,
};

// The five timers, by id.
enum TimerId : int {
  kRenderSceneTimer = 0,
  kEndGameTimer = 1,
  kLevelTimer = 2,
  kRoundTimer = 3,
  kTutorialTimer = 4,
  kTimerCount = 5,
};

class SaltmereAppDelegate;
class Bot;

// What each sprite shows, so that it is found again in the next frame: a kind, and the index of
// the thing among its kind (0 is left to what never moves). Held and loose trash share one kind:
// a thrown piece flies on.
enum SpriteKind : uint32_t {
  kWavesSprite = 1,
  kSandSprite,
  kBabySprite,
  kCrabSprite,
  kLowerClawSprite,
  kSharkSprite,
  kTrashSprite,
  kUpperClawSprite,
  kBubblesSprite,
  kBallSprite,
  kPopupSprite,
};

constexpr uint32_t spriteId(SpriteKind kind, int index = 0) {
  return kind << 8 | static_cast<uint32_t>(index);
}
// The kind of a sprite's id; 0 for what never moves (the score block, the round texts).
constexpr uint32_t spriteKindOf(uint32_t id) {
  return id >> 8;
}

// Where a device hint shows (app/hints.cpp), or that none does.
enum class HintPlace { None, Steering, Throwing, Pause, GameOver };

// One row of the timer table: the running platform timer (null when stopped; a fired one-shot
// keeps its spent timer until stopped) and how to start it again.
struct TimerEntry {
  std::shared_ptr<platform::Timer> timer;
  float interval = 0;
  void (SaltmereAppDelegate::*selector)() = nullptr;
  bool repeats = false;
};

// What a pause stopped, to be restarted on resume.
struct ResignRecord {
  int resignCount = 0;  // resign notices not yet matched by a become-active notice
  int savedMusicMode = 0;
  bool timerWasActive[kTimerCount] = {};
};

class SaltmereAppDelegate : public platform::ApplicationDelegate,
                            public platform::AccelerometerDelegate,
                            public platform::TableViewDataSource,
                            public platform::TableViewDelegate,
                            public MyEAGLViewDelegate,
                            public TapHandler {
 public:
  // Made and torn down in app/launch.cpp; tearing down stops every timer and the sound engine.
  SaltmereAppDelegate();
  ~SaltmereAppDelegate() override;

  // Launch (app/launch.cpp), and the quarter turn of the views laid out in landscape.
  void applicationDidFinishLaunching(platform::Application& application) override;
  // The game shows only in landscape-right.
  bool shouldAutorotateToInterfaceOrientation(platform::InterfaceOrientation orientation) const;
  void landscapeThisObject(platform::View* view);
  void landscapeThisButton(platform::View* view);
  std::shared_ptr<platform::Label> addTextLine(platform::Size box, float size);

  // Timers (game/timers.cpp).
  void initTimers();
  void startTimer(int id);
  void stopTimer(int id);
  bool isActiveTimer(int id) const;
  void stopAllTimers();

  // The frame and the pause (game/frame.cpp).
  void renderSceneExpiration();
  void applicationWillResignActive(platform::Application& application) override;
  void applicationDidBecomeActive(platform::Application& application) override;
  // The pause key double-taps whichever of the pause and resume buttons shows (app/menus.cpp).
  void pauseKeyPressed(platform::Application& application) override;
  // The back key presses the back button of the menu on show; elsewhere it does nothing.
  void backKeyPressed(platform::Application& application) override;

  // Player input (game/player_input.cpp).
  void startAccelerometer();
  void stopAccelerometer();
  void accelerometer(platform::Accelerometer& accelerometer,
                     const platform::Acceleration& acceleration) override;
  void handleTap(const platform::TouchSet& touches) override;

  // The scene (render/scene_drawing.cpp): the opaque background, then the world and its texts,
  // gathered into `sceneFrame` by `drawObjects` and painted whole by `paintScene`.
  // The sea's picture over the whole view, less the parts `hidden` by what is painted over it.
  void drawBackground(std::span<const platform::Rect> hidden = {});
  void drawObjects(float dt);
  void drawScore();
  void drawScorePopups(float dt);
  void drawCenteredText(const char* text, int size, int lines);
  void addSprite(const std::shared_ptr<Texture2D>& texture, platform::Point at, uint32_t id,
                 float rotation = 0, bool mirrored = false);
  void addText(std::shared_ptr<Texture2D> texture, platform::Point at, uint32_t id = 0);
  void addWaves(float x);
  void paintScene(const std::vector<SceneSprite>& sprites);
  // The GL surface's pixels a point (1 without a GL view): text is set at it, art chosen by it.
  float surfaceScale() const;

  // A rebuilt surface (render/surface_change.cpp): the viewport follows it, the art's density
  // and filtering match its scale, and the picture on show is painted again at once.
  void didResizeEAGLSurfaceForView(MyEAGLView* view) override;
  void matchTextureFiltering();

  // The tutorial (render/tutorial.cpp): scripted pictures, stepped by its timer and by taps.
  void tutorialScene(bool advance);
  void tutorialTimerExpiration();
  void tutorialDrawScene();

  // The catalogue (app/asset_catalogue.cpp): every texture slot, then the sound engine and
  // every sound slot. Each answers how many slots stayed empty; the launch goes on regardless.
  // All of it, levels set and the sound device watched, at launch or once the bundle is whole.
  void loadCatalogue();
  int loadTextures();
  int loadSounds();

  // Sound devices that come and go (app/sound_device.cpp): once a second the game looks at its
  // device; when it was lost, or there was none and one has come, sound starts again on the
  // default device with every effect, both volumes and the music in force, the game untouched.
  void watchSoundDevice();
  void soundDeviceCheck();
  void restartSound();
  void resumeMusicInForce();

  // Spawning (game/spawning.cpp).
  void makeNewtrash(Trash* t);
  void makeNewBaby(Baby* b);
  void makeNewBeachBall();
  void makeNewShark();
  // Half the content size of a texture slot: every sprite's `rect.size`.
  platform::Size getSize(int slot) const;

  // The simulation step (game/step.cpp) and its rule for one piece of trash
  // (game/trash_rule.cpp).
  void moveObjects(float dt);
  void moveTrash(int k, float dt);

  // Collisions and scoring (game/collisions_scoring.cpp).
  static bool detectCollision(const platform::Rect* sprite1, const platform::Rect* sprite2,
                              platform::Size adjust);
  void addPoints(int points, float x, float y);
  void playTrashHitSound(int type);
  void playCrabVoice();

  // Rounds, levels and the end of a game (game/rounds.cpp).
  void resetGame();
  void newRound();
  void roundTimerExpiration();
  void resetLevel();
  void levelTimerExpiration();
  bool isLevelComplete() const;
  bool isGameComplete() const;
  void levelComplete();
  void gameComplete();
  void endGameTimerExpiration();

  // Menus (app/menus.cpp): one whole menu shown or hidden (null: the in-game buttons), and the
  // action of every button.
  void displayMenu(platform::View* menu, bool hide);
  // A menu's own view and the buttons and labels shown and hidden with it.
  std::vector<std::shared_ptr<platform::View>> menuMembers(platform::View* menu) const;
  void buttonPressed(int tag);
  void startGame();
  void switchMenu(int sound, platform::View* from, platform::View* to);
  void pauseByPlayer();
  void resumeByPlayer();
  void shareByMail();

  // Settings (app/settings.cpp): the two volume sliders on the settings menu, the music in
  // force, and the volumes from the stored settings.
  void makeSlider(platform::Rect frame, int tag, float value);
  // The volumes' writes to the settings file, coalesced (app/settings.cpp).
  void writeSettingsSoon();
  void writeSettingsNow();
  void sliderEvent(platform::Slider& slider);
  void sliderEventTouch(platform::Slider& slider);
  // A step of the keys or the pad: it clicks as a drag let go does, its write coalesced.
  void sliderEventStep(platform::Slider& slider);
  int newMusicMode(int mode);
  void setMusicLevels();
  void setEffectsLevels();

  // The device hint (app/hints.cpp): made at launch, shown at a place or hidden (None), and
  // rewritten when the player picks up another device.
  void makeHintLabel();
  void showHint(HintPlace place);

  // The demo (app/demo.cpp): after 30 s untouched on the main menu, the menu fades out and the
  // built-in player plays a game under a "demo" banner, on a store held in memory and without
  // achievement pop-ups; any key, click, touch or pad button ends it and brings the menu back,
  // and so does the window going away. It ends by itself a few seconds after its game is over.
  void makeDemoBanner();
  void armDemo();
  void startDemo();
  void playDemo();
  void demoGameOver();
  void endDemo();
  void demoWindowAway(bool away);
  bool playerWoke(platform::Application& application) override;

  // Achievements (app/achievements.cpp) and their table (app/achievements_table.cpp).
  void countAchievement(int index);
  void endOfLevelAchievements();
  void newAchievement(int index);
  void makeTableView();
  int numberOfRowsInSection(platform::TableView& table, int section) override;
  std::shared_ptr<platform::TableViewCell> cellForRowAtIndexPath(platform::TableView& table,
                                                                 platform::IndexPath path) override;
  void didSelectRowAtIndexPath(platform::TableView& table, platform::IndexPath path) override;
  std::shared_ptr<platform::TableViewCell> tableviewCellWithReuseIdentifier(
      const std::string& identifier);
  void configureCell(platform::TableViewCell& cell, platform::IndexPath path);

  // Every effect the game starts or stops goes through these two (app/sounds.cpp).
  void startSound(int slot);
  void stopSound(int slot);

  // The world's fields.
  double _accelerometer = 0;  // filtered tilt; 0 is level
  Crab nerin;
  ScorePopup points[kNumScorePopups];
  int pointsIndex = 0;  // the pop-up slot written last
  int numTrash = 0;     // trash slots in play this level
  int numBabies = 0;    // babies on the beach or tumbling away
  int round = 0;
  int levelTimeRemaining = 0;  // whole seconds of throwing time left
  unsigned _score = 0;
  float sandPosition = 0;
  float sandDelta = 0;
  float sandVelocity = 0;
  float seaPosition = 0;
  float seaDelta = 0;     // sway of the waves
  float seaVelocity = 0;  // phase of the sway in degrees
  int _state = kGameStateStopped;

  // The game flow's fields.
  double _lastTime = 0;        // when the previous frame ran, on the run loop's clock
  float roundDisplayTime = 0;  // seconds "round %i" still shows
  float bonusDisplayTime = 0;  // seconds "round clear!" still shows
  int highScore = 0;
  int highLevel = 0;
  TimerEntry timerArray[kTimerCount];
  ResignRecord resign;
  int count = -1;  // the step of the round-change sequence; -1 between sequences
  int currentMusicMode = 0;
  double lastTapTime = 0;  // the last first tap on the pause or resume button

  // The last frame's picture, and when and how pictures of the scene are made.
  SceneFrame sceneFrame;
  ScenePresenter scenePresenter;

  // The two text textures kept between frames, and what they were made for (-1: nothing yet).
  std::shared_ptr<Texture2D> scoreBlockTexture, centeredTextTexture;
  int lastScore = -1, lastTime = -1, lastRound = -1, lastSize = -1;

  std::shared_ptr<Texture2D> _textures[kTextureCount];
  uint32_t _sounds[kSoundCount] = {};
  platform::ScaledImage imageStar1;  // the achievements table's star
  std::shared_ptr<platform::Window> window;
  std::shared_ptr<MyEAGLView> glView;
  // The menus' views, from the interface file. An absent one (a damaged file) takes every
  // operation as doing nothing, and counts as hidden.
  std::shared_ptr<platform::View> blackView, gamePlayButton, gamePauseButton, tutorialMenuView,
      creditsMenuView, creditsBackButton, mainMenuView, mainPlayButton, mainAchievementButton,
      mainSettingsButton, mainChallengeButton, playMenuView, playBackButton, playPlayButton,
      playTutorialButton, settingsMenuView, settingsBackButton, settingsCreditsButton,
      achievementsMenuView, achievementsBackButton, achievementView, achievementStar;
  std::shared_ptr<platform::Label> gameOverLabel, highScoreLabel, achievementLabel;
  std::shared_ptr<platform::TableView> achievementTable;
  std::shared_ptr<platform::Label> hintLabel;
  HintPlace hintPlace = HintPlace::None;

  // How the sound device is looked at; tests put a probe of their own here.
  struct SoundDeviceProbe {
    std::function<bool()> connected = SoundEngine_IsDeviceConnected;
    std::function<bool()> available = SoundEngine_IsDeviceAvailable;
  } soundDeviceProbe;
  std::shared_ptr<platform::Timer> soundDeviceTimer;
  std::shared_ptr<platform::Timer> settingsWriteTimer;

  // The demo's state: whether it waits (on the main menu), fades the menu, plays, or shows its
  // game over; its timer (the wait, then the time the game over shows); its player and banner;
  // and what it sets aside while it plays.
  enum class DemoPhase { Off, Fading, Playing, Over };
  DemoPhase demoPhase = DemoPhase::Off;
  bool demoAway = false;  // the window is away: no demo starts
  // A challenge's sea waits for the player's first game: no demo takes its numbers before it.
  bool demoWaitsForGame = false;
  std::shared_ptr<platform::Timer> demoTimer;
  std::unique_ptr<Bot> demoPlayer;
  std::shared_ptr<platform::Label> demoBanner;
  struct {
    int highScore = 0, highLevel = 0;
    std::function<void()> gameEnded;
  } demoSetAside;

  // Told of every effect the game starts, by slot, whether or not the engine could play it; of
  // the end of every frame; and of the start of every game of the player's and its end, its
  // records stored (the demo's games are its own).
  std::function<void(int slot)> soundStarted;
  std::function<void(float dt)> frameEnded;
  std::function<void()> gameStarted;
  std::function<void()> gameEnded;
  // The page the challenge mail names; unset, the game's own.
  std::function<std::string()> challengePage;
};
