// The records of everything on the beach (the crab and her claws, trash, babies, the beach ball,
// the shark, the score pop-ups) and the world's fixed numbers. World space is 480 x 320 points,
// origin bottom-left, y up. Every sprite record begins with `rect`: its origin is the sprite's
// centre and its size half the sprite's width and height.
#pragma once

#include "platform/core/geometry.h"

// The world's size, and the crab's and babies' fixed heights.
inline constexpr float kWorldWidth = 480;
inline constexpr float kWorldHeight = 320;
inline constexpr float kCrabY = 58;
inline constexpr float kBabyY = 17;
inline constexpr platform::Point kCrabStart = {240, kCrabY};
inline constexpr platform::Point kClawOffsets[2] = {{-38, 24}, {35, 24}};
// A level device puts the crab in the middle; a filtered reading of 0.5 either way, at an edge.
inline constexpr double kCrabPerTilt = 480;
// A thrown piece rises this fast, and goes sideways three times the touch's last movement.
inline constexpr float kThrowRise = 250, kThrowSideways = 3;
// Sinking trash lands when its centre drops below this line.
inline constexpr float kSandLine = 20;

inline constexpr int kMaxTrash = 30;
// New trash starts above the screen's top, by up to this much in round r: base + r x per round.
inline constexpr int kTrashHeightBase = 131, kTrashHeightPerRound = 40;
inline constexpr int kNumBabies = 6;
inline constexpr int kNumScorePopups = 8;

// Where the sand and the waves are drawn, and the phase the waves start a game with.
inline constexpr float kSandPosition = 240;
inline constexpr float kSeaPosition = 260;
inline constexpr float kSeaVelocityAtStart = 5;

struct Claw {
  platform::Rect rect;
  platform::Point offset;  // from the crab's centre
  float rotation = 0;
  int holdingTrash = 0;    // index into `trash`, -1 when empty
  int type = 0;            // kTextureClawClosed or kTextureClawOpen
  bool forceOpen = false;  // trash is coming down onto this free claw: drawn open, in front
  float timer = 0;         // seconds left in an idle open pose
};

struct Crab {
  platform::Rect rect;
  platform::Point velocity;
  float rotation = 0;
  float rotationVelocity = 0;
  float blink[2] = {};  // per eye, seconds it stays shut
  Claw claw[2];         // 0 on her left, 1 on her right
  float feetPauseTimer = 0;
  bool feetRunning = false;
  float mouthTimer = 0;
  float mouthOpenTimer = 0;
  bool mouthOpen = false;
};

enum TrashState : int {
  TrashStateNone = 0,
  TrashStateFalling = 1,  // sinking, also while bouncing
  TrashStateHeld = 2,
  TrashStateThrown = 4,
};

struct Trash {
  platform::Rect rect;
  platform::Point velocity;    // y is the fall speed: positive sinks
  platform::Point holdOffset;  // y: height above the claw's centre while held
  float rotation = 0;          // degrees, kept in [0, 360)
  float rotationVelocity = 0;
  int type = 0;  // texture slot: a trash picture or the star
  int scoreValue = 0;
  float bubbleTimer = 0;
  int bubbleFrame = 0;
  int state = TrashStateNone;
  bool bounced = false;  // gravity acts from the first bounce on
  int landings = 0;
};

enum BabyState : int {
  BabyStateNone = 0,
  BabyStateOnBeach = 1,
  BabyStateKnocked = 2,  // tumbling off the nearer side
};

struct Baby {
  platform::Rect rect;
  float targetX = 0;
  float rotation = 0;
  int type = 0;
  float spare = 0;
  float contactTimer = 0;  // seconds the crab has crowded it, all told
  float hopAngle = 0;
  bool walking = false;
  int state = BabyStateNone;
};

struct BeachBall {
  platform::Rect rect;
  float speed = 0;
  float bobAngle = 0;
  float rotation = 0;
  float rotationVelocity = 0;
  bool active = false;
};

struct Shark {
  platform::Rect rect;
  float speed = 0;  // drawn mirrored when negative
  float bobAngle = 0;
  float bobStep = 0;
  bool active = false;
  float frameTimer = 0;
  int frame = 0;  // index into sharkImage
};

struct ScorePopup {
  int value = 0;  // 0: the slot is free
  float size = 0;
  float x = 0, y = 0;
};

// What the simulation step remembers from one call to the next. It starts at zero at launch and
// no new game touches it.
struct StepMemory {
  int lastNerinPosition = 0;  // crab x when her move was last counted
  float lastLegs = 0;         // crab x when her legs were last kicked into running
  int lastClaw[2] = {};       // each claw's picture at the end of the previous step
};

extern Trash trash[kMaxTrash];
extern Baby babies[kNumBabies];
extern BeachBall beachBall;
extern Shark shark;
extern StepMemory stepMemory;

// Every record above back as the program's start has it: a game made anew in the same program (a
// sandbox's replay, a watch's seek) starts from the world a first launch sees.
void resetWorldRecords();

// One random draw in [0, 1): random() scaled by 2^-31 in single precision. The few results that
// round up to exactly 1 are kept just below it, so a pick from a pool stays in the pool.
float randomDraw();

// The world's sines take degrees.
float sinDegrees(float degrees);
// An angle in degrees turned by `by`, brought back once into [0, 360].
float turned(float angle, float by);

// A sprite that has left the screen past its left or right edge, and past any edge.
bool isOffSide(const platform::Rect& rect);
bool isOffScreen(const platform::Rect& rect);
