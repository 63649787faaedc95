// The game: one delegate holding the crab, the score pop-ups, the counters and the asset tables.
// Its operations are spread over files by concern: the world's in game/, the shell's in app/.
// The trash, babies, beach ball and shark are globals beside it (game/world.h).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "app/asset_catalogue.h"
#include "game/world.h"
#include "platform/geometry.h"
#include "platform/image.h"
#include "render/my_eagl_view.h"
#include "render/texture2d.h"

enum GameState : int {
  kGameStateStopped = 0,
  kGameStateRoundChange = 1,
  kGameStatePlaying = 2,
};

class SaltmereAppDelegate {
 public:
  // The catalogue (app/asset_catalogue.cpp): every texture slot, then the sound engine and
  // every sound slot. Each answers how many slots stayed empty; the launch goes on regardless.
  int loadTextures();
  int loadSounds();

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

  // Rounds and levels (game/rounds.cpp).
  void resetGame();

  // Achievements (app/achievements.cpp).
  void countAchievement(int index);
  void endOfLevelAchievements();
  void newAchievement(int index);

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

  std::shared_ptr<Texture2D> _textures[kTextureCount];
  uint32_t _sounds[kSoundCount] = {};
  std::shared_ptr<platform::Image> imageStar1;  // the achievements table's star
  std::shared_ptr<MyEAGLView> glView;

  // Told of every effect the game starts, by slot, whether or not the engine could play it.
  std::function<void(int slot)> soundStarted;
};
