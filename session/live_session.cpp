// The live session's files, and a developer's knob: TIDEWICK_LATE_LOOP=SECONDS makes the loop
// sleep that long after every burst of deliveries, as on a busy machine.
#include "session/live_session.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "app/saltmere_app_delegate.h"
#include "platform/core/run_loop.h"
#include "platform/screen/display.h"

std::unique_ptr<LiveSession> LiveSession::start(uint32_t seed,
                                                const std::optional<std::string>& recordPath,
                                                const std::optional<std::string>& dumpPath) {
  std::unique_ptr<LiveSession> session(new LiveSession(seed));
  if (recordPath) {
    if (!session->recorder_.writeTo(*recordPath)) return nullptr;
  } else {
    session->recorder_.keepGamesAt(lastGamePath());
  }
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

std::unique_ptr<SaltmereAppDelegate> LiveSession::makeGame(Pacing pacing) {
  auto made = std::make_unique<SaltmereAppDelegate>();
  const platform::Display* display = platform::Display::shared();
  made->scenePresenter.setPacing(pacing, display->refreshRate());
  made->scenePresenter.showing = [display] { return display->isShowing(); };
  follow(*made);
  return made;
}

void LiveSession::follow(SaltmereAppDelegate& game) {
  if (dumpFile_.is_open()) dump_ = std::make_unique<ReplayDump>(&dumpFile_, game);
  game.gameEnded = [this] { recorder_.gameEnded(platform::RunLoop::current().now()); };
}

void LiveSession::launched() {
  if (dump_) dump_->writeCatalogue();
  if (const char* late = std::getenv("TIDEWICK_LATE_LOOP")) {
    const double seconds = std::strtod(late, nullptr);
    if (seconds > 0) {
      platform::RunLoop::current().addBeforeWaitingObserver(
          [seconds] { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); });
    }
  }
}

void LiveSession::ended(double time) {
  if (dump_) {
    dump_->writeFinal(time);
    dump_.reset();
  }
  recorder_.finish(time);
}
