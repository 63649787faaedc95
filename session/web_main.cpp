// The page's program: the game (`--dump PATH` dumps it as it goes), or `replay SCRIPT [--until
// T]` (the page's ?replay= and &until=) run on the virtual clock as fast as the browser lets it, a
// slice an animation frame. At the end its dump goes to the page as window.tidewickDump and
// window.tidewickDone is set; a moment T before the end is left on the canvas
// (window.tidewickShown); a script that cannot be read sets window.tidewickError to the line the
// desktop's replay prints. Or `watch SCRIPT|LINK`, as the desktop's watch plays it, turned once an
// animation frame; the page hears when the watcher leaves, and why a game cannot be watched. The
// game takes a challenge too (`--beat SCORE[.SEED.DRAWS]`, the page's ?beat=): the page says what
// is to be beaten until the first game, and how it went at its end.
#include <emscripten.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>
#include <sstream>
#include <string>
#include <utility>

#include <nlohmann/json.hpp>

#include "app/saltmere_app_delegate.h"
#include "platform/core/run_loop.h"
#include "platform/core/stored_file.h"
#include "platform/core/user_defaults.h"
#include "platform/input/application_main.h"
#include "platform/input/controls.h"
#include "platform/screen/display.h"
#include "platform/ui/button.h"
#include "platform/ui/focus.h"
#include "session/challenge.h"
#include "session/game_link.h"
#include "session/live_session.h"
#include "session/replay.h"
#include "session/replay_dump.h"
#include "session/sandbox_game.h"
#include "session/watcher.h"

namespace {

// A replay runs in steps of a few frames of game time until a slice of the browser's time is
// used up, then lets the page breathe.
constexpr double kSliceGameSeconds = 0.25;
constexpr double kSliceMilliseconds = 12;

struct PageReplay {
  std::ostringstream dump;
  std::unique_ptr<ReplayRun> run;
  double until = 0;  // where it runs to: the script's end, or the moment the page is to show
};

void tellPage(const char* key, const std::string& text) {
  EM_ASM({ window[UTF8ToString($0)] = UTF8ToString($1); }, key, text.c_str());
}

// Hands `words` to the page's shell, to its function `function`.
void tellShell(const char* function, const std::string& words) {
  EM_ASM({ Module[UTF8ToString($0)](UTF8ToString($1)); }, function, words.c_str());
}

// The page shows `sentence` in place of the game, with a way to play instead.
void refuse(const std::string& sentence) {
  tellShell("tidewickRefused", sentence);
}

void replaySlice(void* argument) {
  auto* replay = static_cast<PageReplay*>(argument);
  platform::RunLoop& loop = replay->run->sandbox->loop();
  const double started = emscripten_get_now();
  while (loop.now() < replay->until && emscripten_get_now() - started < kSliceMilliseconds) {
    loop.runUntil(std::min(loop.now() + kSliceGameSeconds, replay->until));
  }
  if (loop.now() < replay->until) return;
  emscripten_cancel_main_loop();
  if (replay->until < replay->run->duration()) {
    // The moment asked for stays on the canvas, as the desktop's screenshot of it shows it.
    platform::Display& display = replay->run->sandbox->display();
    display.layoutIfNeeded();
    display.composite();
    EM_ASM({ window.tidewickShown = true; });
    return;
  }
  replay->run->finish();
  tellPage("tidewickDump", replay->dump.str());
  EM_ASM({ window.tidewickDone = true; });
}

// Runs the script at `path` to its end, or only `until` a moment when that is given (not a
// number: the end).
int replayInPage(const std::string& path, const char* until) {
  std::string error, warning;
  const std::optional<ReplayScript> script = readReplayScript(path, error, warning);
  if (!script) {
    std::fprintf(stderr, "tidewick replay: %s\n", error.c_str());
    tellPage("tidewickError", "tidewick replay: " + error);
    return 2;
  }
  if (!warning.empty()) std::fprintf(stderr, "tidewick replay: %s\n", warning.c_str());
  auto* replay = new PageReplay;
  const double moment = until ? std::strtod(until, nullptr) : script->duration;
  replay->until = moment >= 0 && moment < script->duration ? moment : script->duration;
  replay->run = ReplayRun::start(*script, &replay->dump, {});
  if (!replay->run) {
    tellPage("tidewickError", "tidewick replay: the game could not start");
    return 1;
  }
  emscripten_set_main_loop_arg(replaySlice, replay, 0, false);
  return 0;
}

// The game the page plays, for the page's tests.
SaltmereAppDelegate* sPlayed = nullptr;

// The watcher the page shows, as long as it watches, and its game's world as its last frame left
// it, with that frame's time.
Watcher* sWatcher = nullptr;
std::string sWatchedWorld;
double sWatchedFrame = 0;

void watchFrame(void*) {
  if (sWatcher->turn()) return;
  emscripten_cancel_main_loop();
  delete std::exchange(sWatcher, nullptr);
  EM_ASM({ Module.tidewickLeftWatching(); });
}

// Watches the game that `argument` (a file's path or a game's link) holds, with the page's own
// display, until the watcher leaves.
int watchInPage(const std::string& argument) {
  std::string error, warning;
  const std::optional<ReplayScript> script = readWatchedScript(argument, error, warning);
  if (!script) {
    std::fprintf(stderr, "tidewick watch: %s\n", error.c_str());
    refuse("This game cannot be watched: " + error + ".");
    return 2;
  }
  if (!warning.empty()) std::fprintf(stderr, "tidewick watch: %s\n", warning.c_str());
  // The display lives as long as the page.
  platform::Display* display = platform::Display::open({}).release();
  sWatcher = display ? new Watcher(*display, *script, true) : nullptr;
  if (sWatcher) {
    sWatcher->setFrameEnded([](SaltmereAppDelegate& game, double time) {
      sWatchedWorld = worldLine(game);
      sWatchedFrame = time;
    });
  }
  if (!sWatcher || !sWatcher->begin()) {
    refuse("This game cannot be watched: the game could not start.");
    return 1;
  }
  emscripten_set_main_loop_arg(watchFrame, nullptr, 0, false);
  return 0;
}

// The page's own address, without its query and fragment.
std::string pageAddress() {
  char address[2048];
  EM_ASM({ stringToUTF8(location.origin + location.pathname, $0, $1); }, address, sizeof address);
  return address;
}

// A challenge taken from the page's address: what is to be beaten is said until the player's first
// game starts, and how it went when it ends. A game left under way comes back instead.
void takeChallenge(LiveSession& session, const Challenge& challenge) {
  if (session.bringsBack()) {
    tellShell("tidewickTell",
              "a game under way came back first: open the challenge again after it");
    return;
  }
  tellShell("tidewickChallenge", challengeInvitation(challenge));
  session.playerGameStarted = [] { tellShell("tidewickChallenge", ""); };
  session.playerGameEnded = [challenge, told = false](int score) mutable {
    if (std::exchange(told, true)) return;  // the challenge was the first game's
    tellShell("tidewickTell", challengeOutcome(challenge, score));
  };
}

// `dumpPath`, when given, takes the game's dump frame by frame, as its replay dumps it.
int playInPage(const std::optional<std::string>& dumpPath,
               const std::optional<Challenge>& challenge) {
  const timespec now = [] {
    timespec time{};
    clock_gettime(CLOCK_REALTIME, &time);
    return time;
  }();
  const auto seed =
      static_cast<uint32_t>(now.tv_sec * 1000000000ull + static_cast<uint64_t>(now.tv_nsec));
  // The session lives as long as the page.
  LiveSession* session =
      LiveSession::start(seed, std::nullopt, dumpPath, challenge ? challenge->sea : std::nullopt)
          .release();
  if (!session) return 1;
  if (challenge) takeChallenge(*session, *challenge);
  return platform::applicationMain(
      [session] {
        auto made = session->makeGame(Pacing::Smooth);
        // The challenge mail names this page, on the sea of the player's best game.
        made->challengePage = [session] {
          return pageAddress() + "?" + challengeQuery(session->challenge());
        };
        sPlayed = made.get();
        return made;
      },
      {}, platform::controlsPathBeside(platform::UserDefaults::standard().path()),
      {.launched = [session] { session->launched(); }});
}

}  // namespace

// The played game's world as a dump's line shows it ("" before the launch), or a watched game's as
// its last frame left it: what the page's tests read of a game. Valid until the next call.
extern "C" EMSCRIPTEN_KEEPALIVE const char* tidewick_world_line() {
  static std::string line;
  line = sWatcher ? sWatchedWorld : sPlayed ? worldLine(*sPlayed) : std::string();
  return line.c_str();
}

// The watcher's controls as the page's buttons give them.
enum class WatchControl { PlayOrPause, Back, Forward, Faster, Leave };

extern "C" EMSCRIPTEN_KEEPALIVE void tidewick_watch_control(int control) {
  if (!sWatcher) return;
  switch (static_cast<WatchControl>(control)) {
    case WatchControl::PlayOrPause:
      sWatcher->togglePause();
      break;
    case WatchControl::Back:
      sWatcher->seek(-Watcher::kSkip);
      break;
    case WatchControl::Forward:
      sWatcher->seek(Watcher::kSkip);
      break;
    case WatchControl::Faster:
      sWatcher->setSpeed((sWatcher->speedStep() + 1) % Watcher::kSpeedSteps);
      break;
    case WatchControl::Leave:
      sWatcher->leave();
      break;
  }
}

// Where the watcher stands ("" when the page watches nothing), for the page's buttons and tests,
// with the time of the frame the world line shows:
// {"time":12.5,"frame":12.45,"duration":60,"speed":2,"paused":false}. Valid until the next call.
extern "C" EMSCRIPTEN_KEEPALIVE const char* tidewick_watch_line() {
  static std::string line;
  line = !sWatcher ? std::string()
                   : nlohmann::json{{"time", sWatcher->time()},
                                    {"frame", sWatchedFrame},
                                    {"duration", sWatcher->duration()},
                                    {"speed", 1 << sWatcher->speedStep()},
                                    {"paused", sWatcher->paused()}}
                         .dump();
  return line.c_str();
}

// The link's fragment that holds the recording at `path`, or "" when it cannot be read or is too
// long for a link (the page then shares the file). Valid until the next call.
extern "C" EMSCRIPTEN_KEEPALIVE const char* tidewick_game_link(const char* path) {
  static std::string fragment;
  const std::optional<std::string> recording = platform::readWhole(path);
  fragment = recording ? gameLinkFragment(*recording) : std::string();
  if (fragment.size() > kLongestGameLink) fragment.clear();
  return fragment.c_str();
}

// A control as the page's tests name it: a button by its title (one without, as "button TAG"), a
// slider as "slider", a list as "list".
std::string controlName(const platform::ControlView& control) {
  if (const auto* button = dynamic_cast<const platform::Button*>(&control)) {
    return button->title().empty() ? "button " + std::to_string(button->tag()) : button->title();
  }
  return control.steps() == platform::ControlView::Steps::Sideways ? "slider" : "list";
}

// The controls the pad and the keys step through, in their order, by name, and the one with the
// focus (-1: none), for the page's tests: {"controls":["play","achievements",...],"focus":0}.
// Valid until the next call.
extern "C" EMSCRIPTEN_KEEPALIVE const char* tidewick_focus_line() {
  static std::string line;
  nlohmann::json controls = nlohmann::json::array();
  int focus = -1;
  if (platform::Window* window = platform::Window::keyWindow()) {
    for (const platform::ControlView* control : platform::FocusRing::controls(*window)) {
      if (control->isFocused()) focus = static_cast<int>(controls.size());
      controls.push_back(controlName(*control));
    }
  }
  line = nlohmann::json{{"controls", controls}, {"focus", focus}}.dump();
  return line.c_str();
}

// Where a fingertip put down on the screen goes, for the page's tests: of every control that takes
// a finger somewhere, its name and the box of the points where it does, probed a point apart, in
// CSS pixels from the game's top left corner: {"controls":[{"name":"play","box":[x,y,w,h]},...]}.
// Valid until the next call.
extern "C" EMSCRIPTEN_KEEPALIVE const char* tidewick_touch_line() {
  static std::string line;
  struct Box {
    int left, top, right, bottom;  // the first and last points across and down
  };
  std::map<const platform::ControlView*, Box> boxes;
  platform::Window* window = platform::Window::keyWindow();
  const platform::Display* display = platform::Display::shared();
  nlohmann::json controls = nlohmann::json::array();
  if (window && display) {
    const float reach = display->fingertipReach();
    for (int y = 0; y < 320; ++y) {
      for (int x = 0; x < 480; ++x) {
        const platform::Point at{x + 0.5f, y + 0.5f};
        const auto* control = dynamic_cast<const platform::ControlView*>(
            window->touchedView(platform::windowPointFromLandscape(at), reach));
        if (!control) continue;
        Box& box = boxes.try_emplace(control, Box{x, y, x, y}).first->second;
        box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x),
               std::max(box.bottom, y)};
      }
    }
    const float css = display->windowUnitsPerPoint();
    for (const auto& [control, box] : boxes) {
      controls.push_back({{"name", controlName(*control)},
                          {"box",
                           {box.left * css, box.top * css, (box.right - box.left + 1) * css,
                            (box.bottom - box.top + 1) * css}}});
    }
  }
  line = nlohmann::json{{"controls", controls}}.dump();
  return line.c_str();
}

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "watch") return watchInPage(argv[2]);
  if (argc >= 3 && std::string(argv[1]) == "replay") {
    return replayInPage(argv[2],
                        argc >= 5 && std::string(argv[3]) == "--until" ? argv[4] : nullptr);
  }
  std::optional<std::string> dumpPath, beat;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--dump") dumpPath = argv[i + 1];
    if (option == "--beat") beat = argv[i + 1];
  }
  std::optional<Challenge> challenge;
  if (beat) {
    std::string error;
    challenge = readChallenge(*beat, error);
    if (!challenge) {
      refuse("This challenge cannot be played: " + error + ".");
      return 2;
    }
  }
  return playInPage(dumpPath, challenge);
}
