// Writing the dump's lines by hand, so that every number has the one spelling the contract
// gives it.
#include "session/replay_dump.h"

#include <cstdio>

#include "app/achievements.h"
#include "app/saltmere_app_delegate.h"
#include "app/settings.h"
#include "platform/core/run_loop.h"
#include "platform/core/user_defaults.h"
#include "session/spelt_numbers.h"

namespace {

std::string number(float value) {
  return spelt(value);
}
std::string number(double value) {
  return spelt(value);
}

std::string number(long value) {
  return std::to_string(value);
}
std::string number(int value) {
  return std::to_string(value);
}
std::string number(unsigned value) {
  return std::to_string(value);
}
std::string truth(bool value) {
  return value ? "true" : "false";
}

// One object's members, in the order they are added.
class Fields {
 public:
  template <typename Value>
  Fields& add(const char* key, Value value) {
    return raw(key, number(value));
  }
  Fields& flag(const char* key, bool value) { return raw(key, truth(value)); }
  Fields& raw(const char* key, const std::string& text) {
    text_ += (text_.empty() ? "" : ",") + std::string("\"") + key + "\":" + text;
    return *this;
  }
  Fields& join(const Fields& other) {
    text_ += (text_.empty() || other.text_.empty() ? "" : ",") + other.text_;
    return *this;
  }
  std::string str() const { return "{" + text_ + "}"; }

 private:
  std::string text_;
};

template <typename Item, typename Write>
std::string list(const Item* items, int count, Write write) {
  std::string text = "[";
  for (int i = 0; i < count; ++i) text += (i ? "," : "") + write(items[i]);
  return text + "]";
}

std::string names(const std::vector<std::string>& sounds) {
  std::string text = "[";
  for (size_t i = 0; i < sounds.size(); ++i) text += (i ? ",\"" : "\"") + sounds[i] + "\"";
  return text + "]";
}

std::string claw(const Claw& c) {
  return Fields()
      .add("type", c.type)
      .add("holding", c.holdingTrash)
      .flag("forceOpen", c.forceOpen)
      .add("timer", c.timer)
      .add("x", c.rect.origin.x)
      .add("y", c.rect.origin.y)
      .str();
}

std::string piece(const Trash& t) {
  return Fields()
      .add("state", t.state)
      .add("x", t.rect.origin.x)
      .add("y", t.rect.origin.y)
      .add("vx", t.velocity.x)
      .add("vy", t.velocity.y)
      .add("rot", t.rotation)
      .add("rv", t.rotationVelocity)
      .add("type", t.type)
      .add("value", t.scoreValue)
      .flag("bounced", t.bounced)
      .add("landings", t.landings)
      .add("bubbleFrame", t.bubbleFrame)
      .str();
}

std::string baby(const Baby& b) {
  return Fields()
      .add("state", b.state)
      .add("x", b.rect.origin.x)
      .add("y", b.rect.origin.y)
      .add("rot", b.rotation)
      .flag("walking", b.walking)
      .add("targetX", b.targetX)
      .add("contact", b.contactTimer)
      .add("hop", b.hopAngle)
      .str();
}

std::string popup(const ScorePopup& p) {
  return Fields().add("value", p.value).add("size", p.size).add("x", p.x).add("y", p.y).str();
}

// The world's members of a frame's line, from the game's state to the achievements earned.
Fields worldFields(const SaltmereAppDelegate& g) {
  const Crab& crab = g.nerin;
  const std::string blink = "[" + number(crab.blink[0]) + "," + number(crab.blink[1]) + "]";
  const std::string crabFields = Fields()
                                     .add("x", crab.rect.origin.x)
                                     .add("y", crab.rect.origin.y)
                                     .raw("blink", blink)
                                     .flag("feetRunning", crab.feetRunning)
                                     .flag("mouthOpen", crab.mouthOpen)
                                     .raw("claws", list(crab.claw, 2, claw))
                                     .str();
  const std::string ball = Fields()
                               .flag("active", beachBall.active)
                               .add("x", beachBall.rect.origin.x)
                               .add("y", beachBall.rect.origin.y)
                               .add("rot", beachBall.rotation)
                               .add("speed", beachBall.speed)
                               .str();
  const std::string sharkFields = Fields()
                                      .flag("active", shark.active)
                                      .add("x", shark.rect.origin.x)
                                      .add("y", shark.rect.origin.y)
                                      .add("speed", shark.speed)
                                      .add("frame", shark.frame)
                                      .str();
  const int pieces = std::min(std::max(g.numTrash, 0), kMaxTrash);
  return Fields()
      .add("state", g._state)
      .add("round", g.round)
      .add("score", g._score)
      .add("levelTime", g.levelTimeRemaining)
      .add("numTrash", g.numTrash)
      .add("numBabies", g.numBabies)
      .add("accel", g._accelerometer)
      .add("sea", g.seaDelta)
      .add("seaVelocity", g.seaVelocity)
      .add("roundDisplayTime", g.roundDisplayTime)
      .add("bonusDisplayTime", g.bonusDisplayTime)
      .raw("crab", crabFields)
      .raw("trash", list(trash, pieces, piece))
      .raw("babies", list(babies, kNumBabies, baby))
      .raw("ball", ball)
      .raw("shark", sharkFields)
      .raw("points", list(g.points, kNumScorePopups, popup))
      .add("pointsIndex", g.pointsIndex)
      .add("achievements", platform::UserDefaults::standard().integerForKey(kAchievementsKey));
}

}  // namespace

std::string worldLine(const SaltmereAppDelegate& game) {
  return worldFields(game).str();
}

ReplayDump::ReplayDump(std::ostream* out, SaltmereAppDelegate& game) : out_(out), game_(game) {
  game_.soundStarted = [this](int slot) { sounds_.push_back(kSoundNames[slot]); };
  game_.frameEnded = [this](float dt) { writeFrame(dt); };
}

ReplayDump::~ReplayDump() {
  game_.soundStarted = nullptr;
  game_.frameEnded = nullptr;
}

void ReplayDump::write(const std::string& line) {
  if (out_) *out_ << line << '\n';
}

void ReplayDump::writeCatalogue() {
  const auto size = [](const std::shared_ptr<Texture2D>& texture) {
    const platform::Size content = texture ? texture->contentSize() : platform::Size{};
    return "[" + number(content.width) + "," + number(content.height) + "]";
  };
  std::vector<std::string> sounds(kSoundNames, kSoundNames + kSoundCount);
  write(Fields()
            .raw("textures", list(game_._textures, kTextureCount, size))
            .raw("sounds", names(sounds))
            .str());
  if (out_) out_->flush();  // on disk once the game has launched: a watcher can wait for it
}

void ReplayDump::writeFrame(float dt) {
  write(Fields()
            .add("frame", frame_++)
            .add("t", platform::RunLoop::current().now())
            .add("dt", dt)
            .join(worldFields(game_))
            .raw("sounds", names(sounds_))
            .str());
  sounds_.clear();
}

void ReplayDump::writeFinal(double duration) {
  const platform::UserDefaults& defaults = platform::UserDefaults::standard();
  const std::string stored = Fields()
                                 .add("score", defaults.integerForKey(kHighScoreKey))
                                 .add("level", defaults.integerForKey(kHighLevelKey))
                                 .add("music", defaults.floatForKey(kMusicKey))
                                 .add("effects", defaults.floatForKey(kEffectsKey))
                                 .add("achievements", defaults.integerForKey(kAchievementsKey))
                                 .str();
  write(Fields()
            .raw("final", Fields()
                              .add("t", duration)
                              .add("state", game_._state)
                              .add("round", game_.round)
                              .add("score", game_._score)
                              .add("highScore", game_.highScore)
                              .add("highLevel", game_.highLevel)
                              .raw("defaults", stored)
                              .raw("sounds", names(sounds_))
                              .str())
            .str());
}
