// The live session's files, the game under way kept and brought back, and a developer's knob:
// TIDEWICK_LATE_LOOP=SECONDS makes the loop sleep that long after every burst of deliveries, as on
// a busy machine.
#include "session/live_session.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "app/saltmere_app_delegate.h"
#include "platform/core/application.h"
#include "platform/core/random.h"
#include "platform/core/run_loop.h"
#include "platform/input/accelerometer.h"
#include "platform/input/input_journal.h"
#include "platform/screen/display.h"
#include "player/bot.h"

namespace {

// How often the game under way is seen: what is kept of it reaches the disk, and at most this
// much of it is lost with a crash.
constexpr double kKeptEvery = 1;

using platform::InputEntry;

// Whether the window was away (resigned) when the recording stops.
bool endsAway(const ReplayScript& script) {
  bool away = false;
  for (const ReplayEvent& event : script.events) {
    if (event.kind != ReplayEvent::Kind::Input) continue;
    if (event.input.kind == InputEntry::Kind::Resign) away = true;
    if (event.input.kind == InputEntry::Kind::Activate) away = false;
  }
  return away;
}

}  // namespace

std::unique_ptr<LiveSession> LiveSession::start(uint32_t seed,
                                                const std::optional<std::string>& recordPath,
                                                const std::optional<std::string>& dumpPath,
                                                const std::optional<Sea>& challengeSea) {
  std::unique_ptr<LiveSession> session(new LiveSession);
  session->left_ = session->inProgress_.takeLeft();
  Sea sea = challengeSea.value_or(Sea{seed, 0});
  session->demoWaits_ = challengeSea.has_value();
  if (const auto& left = session->left_) {
    sea = {left->script.seed, left->script.draws};
    session->demoWaits_ = left->script.demoWaits;
    restoreStoredValues(left->script.defaults);
    session->recorder_ = std::make_unique<Recorder>(left->opening, left->events);
  } else {
    session->recorder_ = std::make_unique<Recorder>(sea.seed, sea.draws, session->demoWaits_);
  }
  session->seed_ = sea.seed;
  session->best_ = readBestGame(bestGamePath());
  platform::gameRandom().seed(sea.seed);
  platform::gameRandom().skip(sea.draws);
  if (recordPath) {
    if (!session->recorder_->writeTo(*recordPath)) return nullptr;
  } else {
    session->recorder_->keepGamesAt(lastGamePath());
  }
  session->recorder_->setLineWritten(
      [inProgress = &session->inProgress_](const std::string& line) { inProgress->add(line); });
  if (dumpPath) {
    session->dumpFile_.open(*dumpPath, std::ios::trunc);
    if (!session->dumpFile_) {
      std::fprintf(stderr, "tidewick: cannot write the dump %s\n", dumpPath->c_str());
      return nullptr;
    }
    // Written through line by line, as the recording is: whoever follows the game can wait for
    // its frames, and a game killed keeps every frame it drew.
    session->dumpFile_ << std::unitbuf;
  }
  return session;
}

LiveSession::~LiveSession() {
  if (keepTimer_) keepTimer_->invalidate();
}

std::unique_ptr<SaltmereAppDelegate> LiveSession::makeGame(Pacing pacing) {
  auto made = std::make_unique<SaltmereAppDelegate>();
  const platform::Display* display = platform::Display::shared();
  made->scenePresenter.setPacing(pacing, display->refreshRate());
  made->scenePresenter.showing = [display] { return display->isShowing(); };
  follow(*made);
  return made;
}

void LiveSession::follow(SaltmereAppDelegate& game) {
  game_ = &game;
  game.demoWaitsForGame = demoWaits_;
  if (dumpFile_.is_open()) dump_ = std::make_unique<ReplayDump>(&dumpFile_, game);
}

void LiveSession::launched() {
  if (dump_) dump_->writeCatalogue();
  // A game brought back started in its own session: where it started is found again on the way.
  game_->gameStarted = [this] { gameStarting(); };
  if (left_) bringBack();
  // A game is kept from its start to its end; games played again while one is brought back
  // were kept, and ended, in their own session.
  platform::RunLoop& loop = platform::RunLoop::current();
  game_->gameStarted = [this, &loop] {
    gameStarting();
    inProgress_.begin(recorder_->text());
    inProgress_.seen(loop.now());
    if (playerGameStarted) playerGameStarted();
  };
  game_->gameEnded = [this] {
    inProgress_.end();
    recorder_->gameEnded(platform::RunLoop::current().now());
    gameOver();
  };
  keepTimer_ = loop.scheduleTimer(
      kKeptEvery, [this, &loop] { inProgress_.seen(loop.now()); }, true);
  if (const char* late = std::getenv("TIDEWICK_LATE_LOOP")) {
    const double seconds = std::strtod(late, nullptr);
    if (seconds > 0) {
      loop.addBeforeWaitingObserver(
          [seconds] { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); });
    }
  }
}

void LiveSession::bringBack() {
  SaltmereAppDelegate& game = *game_;
  const ReplayScript& script = left_->script;
  inProgress_.markBringingBack(true);
  recorder_->setHearing(false);
  // As a replay plays it, with the recording's tilt, but at once and unseen.
  platform::TiltSources& tilt = platform::Accelerometer::shared().sources();
  tilt.injected = 0.0;
  platform::RunLoop& loop = platform::RunLoop::current();
  Bot bot(game);
  postScript(script, loop, game, bot);
  runUnseen(game, loop, script.duration);
  tilt.injected.reset();
  recorder_->setHearing(true);

  // Back as the window is now, and paused: the player resumes it as any paused game.
  const bool active = platform::Application::shared().isActive();
  if (endsAway(script) == active) {
    platform::deliverInput(
        InputEntry::of(active ? InputEntry::Kind::Activate : InputEntry::Kind::Resign));
  }
  if (game.gamePauseButton && !game.gamePauseButton->isHidden()) {
    platform::deliverInput(InputEntry::of(InputEntry::Kind::Pause));
  }
  inProgress_.markBringingBack(false);
  left_.reset();
}

void LiveSession::gameStarting() {
  gameSea_ = {seed_, platform::gameRandom().draws()};
  bestBefore_ = game_->highScore;
}

void LiveSession::gameOver() {
  // A sea further into its session than a link carries (days of play) is not remembered: the
  // score is sent alone.
  if (game_->highScore > bestBefore_) {
    best_.reset();
    if (gameSea_.draws <= kMostDrawsSkipped) {
      best_ = Challenge{gameSea_, game_->highScore};
      keepBestGame(bestGamePath(), *best_);
    }
  }
  if (playerGameEnded) playerGameEnded(static_cast<int>(game_->_score));
}

Challenge LiveSession::challenge() const {
  if (best_ && best_->score == game_->highScore) return *best_;
  return {std::nullopt, game_->highScore};
}

void LiveSession::ended(double time) {
  inProgress_.seen(time);
  if (dump_) {
    dump_->writeFinal(time);
    dump_.reset();
  }
  recorder_->finish(time);
}
