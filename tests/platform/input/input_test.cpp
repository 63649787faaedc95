// Desktop input as the game sees it: touches in portrait window coordinates with their previous
// locations, tilt readings from each device in order of precedence, samples at the update
// interval, the keyboard's throw, the window's focus as application notices, and the controls
// file that binds keys and pad buttons.
#include <gtest/gtest.h>

#include <SDL2/SDL.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>

#include "platform/core/application.h"
#include "platform/input/accelerometer.h"
#include "platform/input/controls.h"
#include "platform/input/desktop_events.h"
#include "platform/input/device_motion.h"
#include "platform/input/injection.h"
#include "platform/input/input_device.h"
#include "platform/input/input_journal.h"
#include "platform/ui/button.h"
#include "platform/ui/slider.h"
#include "tests/support/test_display.h"

using namespace platform;

namespace {

struct Recorded {
  TouchPhase phase;
  Point location, previous;
};

class RecorderView : public View {
 public:
  void touchesBegan(const TouchSet& t, const Event&) override { record(t); }
  void touchesMoved(const TouchSet& t, const Event&) override { record(t); }
  void touchesEnded(const TouchSet& t, const Event&) override { record(t); }
  void touchesCancelled(const TouchSet& t, const Event&) override { record(t); }
  std::vector<Recorded> touches;

 private:
  void record(const TouchSet& t) {
    touches.push_back({t.front()->phase(), t.front()->locationInView(nullptr),
                       t.front()->previousLocationInView(nullptr)});
  }
};

struct SampleRecorder : AccelerometerDelegate {
  void accelerometer(Accelerometer&, const Acceleration& a) override { samples.push_back(a); }
  std::vector<Acceleration> samples;
};

struct NoticeRecorder : ApplicationDelegate {
  void applicationWillResignActive(Application&) override { notices += 'R'; }
  void applicationDidBecomeActive(Application&) override { notices += 'B'; }
  void pauseKeyPressed(Application&) override { notices += 'P'; }
  void backKeyPressed(Application&) override { notices += 'K'; }
  bool playerWoke(Application&) override {
    ++wakes;
    return wakesUsedUp;
  }
  std::string notices;
  int wakes = 0;
  bool wakesUsedUp = false;
};

class InputTest : public testing::Test {
 protected:
  InputTest() : events_(testDisplay(), loop_) {
    Accelerometer::shared().sources() = {};
    TouchRouter::shared().reset();
    view_ = std::make_shared<RecorderView>();
    view_->setFrame({{0, 0}, Window::kScreenSize});
    window_->addSubview(view_);
    window_->makeKeyAndVisible();
  }
  ~InputTest() override { Accelerometer::shared().setDelegate(nullptr); }

  void mouse(Uint32 type, int x, int y) {
    SDL_Event e{};
    e.type = type;
    if (type == SDL_MOUSEMOTION) {
      e.motion.x = x;
      e.motion.y = y;
    } else {
      e.button.button = SDL_BUTTON_LEFT;
      e.button.x = x;
      e.button.y = y;
    }
    events_.handle(e);
  }
  // A key going down (or up), or repeating while held, with the modifier keys held.
  void key(SDL_Keycode sym, bool down, bool repeat = false, Uint16 modifiers = KMOD_NONE) {
    SDL_Event e{};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.keysym.sym = sym;
    e.key.keysym.mod = modifiers;
    e.key.repeat = repeat;
    events_.handle(e);
  }
  void pad(Uint32 type, Uint8 button) {
    SDL_Event e{};
    e.type = type;
    e.cbutton.button = button;
    events_.handle(e);
  }
  // The pad's left stick pushed across to `value` (of 32767, right positive), or another axis.
  void stick(Sint16 value, Uint8 axis = SDL_CONTROLLER_AXIS_LEFTX) {
    SDL_Event e{};
    e.type = SDL_CONTROLLERAXISMOTION;
    e.caxis.axis = axis;
    e.caxis.value = value;
    events_.handle(e);
  }
  // The pad's accelerometer feeling `x` of gravity along its x axis.
  void padAccelerometer(float x) {
    SDL_Event e{};
    e.type = SDL_CONTROLLERSENSORUPDATE;
    e.csensor.sensor = SDL_SENSOR_ACCEL;
    e.csensor.data[0] = x * SDL_STANDARD_GRAVITY;
    e.csensor.data[1] = SDL_STANDARD_GRAVITY;
    events_.handle(e);
  }
  // The kind and value of each entry of the `kinds` given that the journal hears meanwhile.
  using Heard = std::vector<std::pair<InputEntry::Kind, double>>;
  Heard journalled(std::initializer_list<InputEntry::Kind> kinds,
                   const std::function<void()>& input) {
    Heard heard;
    setInputJournal([&](const InputEntry& entry) {
      if (std::find(kinds.begin(), kinds.end(), entry.kind) != kinds.end()) {
        heard.emplace_back(entry.kind, entry.value);
      }
    });
    input();
    setInputJournal({});
    return heard;
  }
  void windowEvent(Uint8 what) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = what;
    events_.handle(e);
  }
  double reading() { return Accelerometer::shared().sample(loop_.now()).y; }

  VirtualClock clock_{10};
  RunLoop loop_{clock_};
  DesktopEvents events_;
  std::shared_ptr<Window> window_ = std::make_shared<Window>();
  std::shared_ptr<RecorderView> view_;
};

}  // namespace

TEST_F(InputTest, MouseBecomesATouchInPortraitWindowCoordinates) {
  // The test display is 960 x 640: two pixels a point, no letterbox.
  mouse(SDL_MOUSEBUTTONDOWN, 20, 40);  // landscape (10, 20)
  mouse(SDL_MOUSEMOTION, 40, 40);      // landscape (20, 20): a move to the right
  mouse(SDL_MOUSEBUTTONUP, 60, 40);    // landscape (30, 20)
  mouse(SDL_MOUSEMOTION, 80, 40);      // no button: no touch
  ASSERT_EQ(view_->touches.size(), 3u);
  EXPECT_EQ(view_->touches[0].phase, TouchPhase::Began);
  EXPECT_EQ(view_->touches[0].location, (Point{300, 10}));
  EXPECT_EQ(view_->touches[0].previous, (Point{300, 10}));
  EXPECT_EQ(view_->touches[1].phase, TouchPhase::Moved);
  EXPECT_EQ(view_->touches[1].location, (Point{300, 20}));
  EXPECT_EQ(view_->touches[1].previous, (Point{300, 10}));
  EXPECT_EQ(view_->touches[2].phase, TouchPhase::Ended);
  EXPECT_EQ(view_->touches[2].location, (Point{300, 30}));
  EXPECT_EQ(view_->touches[2].previous, (Point{300, 20}));
}

TEST_F(InputTest, AButtonLetGoWhereTheMouseStoppedEndsWithItsLastMovement) {
  mouse(SDL_MOUSEBUTTONDOWN, 20, 40);
  mouse(SDL_MOUSEMOTION, 40, 40);  // landscape (20, 20): a move to the right
  mouse(SDL_MOUSEBUTTONUP, 40, 40);
  ASSERT_EQ(view_->touches.size(), 3u);
  EXPECT_EQ(view_->touches[2].phase, TouchPhase::Ended);
  EXPECT_EQ(view_->touches[2].location, (Point{300, 20}));
  EXPECT_EQ(view_->touches[2].previous, (Point{300, 10}));

  // A press and release with no motion is a plain tap.
  mouse(SDL_MOUSEBUTTONDOWN, 100, 100);
  mouse(SDL_MOUSEBUTTONUP, 100, 100);
  EXPECT_EQ(view_->touches.back().previous, view_->touches.back().location);
}

TEST_F(InputTest, FingersAreTouchesOfTheirOwn) {
  SDL_Event e{};
  e.type = SDL_FINGERDOWN;
  e.tfinger.fingerId = 3;
  e.tfinger.x = 0.5f;
  e.tfinger.y = 0.25f;
  events_.handle(e);
  e.type = SDL_FINGERUP;
  e.tfinger.x = 0.75f;
  events_.handle(e);
  ASSERT_EQ(view_->touches.size(), 2u);
  EXPECT_EQ(view_->touches[0].location, (Point{240, 240}));
  EXPECT_EQ(view_->touches[1].location, (Point{240, 360}));
  EXPECT_EQ(view_->touches[1].previous, (Point{240, 240}));
}

TEST_F(InputTest, InjectedTouchesCarryTheirPreviousLocations) {
  inject::touch(11, 9, TouchPhase::Began, {100, 100}, {100, 100});
  inject::touch(12, 9, TouchPhase::Ended, {100, 130}, {100, 120});
  loop_.runUntil(11.5);
  ASSERT_EQ(view_->touches.size(), 1u);
  loop_.runUntil(12);
  ASSERT_EQ(view_->touches.size(), 2u);
  EXPECT_EQ(view_->touches[1].previous, (Point{100, 120}));
}

TEST_F(InputTest, KeyboardTiltsAtOneUnitASecondUpToAHalf) {
  key(SDLK_LEFT, true);
  loop_.runUntil(10.25);
  EXPECT_DOUBLE_EQ(reading(), 0.25);
  loop_.runUntil(11);
  EXPECT_DOUBLE_EQ(reading(), 0.5);
  key(SDLK_LEFT, false);
  loop_.runUntil(13);
  EXPECT_DOUBLE_EQ(reading(), 0.5);  // letting go keeps the tilt
  key(SDLK_d, true);
  loop_.runUntil(13.5);
  EXPECT_DOUBLE_EQ(reading(), 0.0);
  loop_.runUntil(20);
  EXPECT_DOUBLE_EQ(reading(), -0.5);
  key(SDLK_d, false);
  key(SDLK_s, true);
  EXPECT_DOUBLE_EQ(reading(), 0.0);
}

TEST_F(InputTest, MouseReadingPutsTheCrabUnderThePointer) {
  mouse(SDL_MOUSEMOTION, 240, 100);  // landscape x 120
  EXPECT_DOUBLE_EQ(reading(), 0.25);
  mouse(SDL_MOUSEMOTION, 960 - 2, 100);
  EXPECT_NEAR(reading(), -0.5, 0.01);
  windowEvent(SDL_WINDOWEVENT_LEAVE);
  EXPECT_DOUBLE_EQ(reading(), 0.0);
}

TEST_F(InputTest, SourcesTakePrecedenceInOrder) {
  TiltSources& sources = Accelerometer::shared().sources();
  mouse(SDL_MOUSEMOTION, 240, 100);
  EXPECT_DOUBLE_EQ(reading(), 0.25);
  sources.touch = 0.375;
  EXPECT_DOUBLE_EQ(reading(), 0.375);  // the steering strip over the mouse
  sources.device = -0.0625;
  EXPECT_DOUBLE_EQ(reading(), -0.0625);  // the device's own sensor over the strip
  sources.device.reset();
  mouse(SDL_MOUSEMOTION, 240, 100);
  EXPECT_DOUBLE_EQ(reading(), 0.25);  // the mouse taken up steers again
  key(SDLK_RIGHT, true);
  loop_.runUntil(10.1);
  EXPECT_NEAR(reading(), -0.1, 1e-9);  // keyboard over mouse

  stick(4000);  // inside the dead zone
  EXPECT_NEAR(reading(), -0.1, 1e-9);
  stick(-32768);
  EXPECT_DOUBLE_EQ(reading(), 0.5);  // stick over keyboard

  sources.motion = -0.3;
  EXPECT_DOUBLE_EQ(reading(), -0.3);  // motion sensor over stick
  inject::acceleration(10.2, 0.125);
  loop_.runUntil(10.2);
  EXPECT_DOUBLE_EQ(reading(), 0.125);  // injected over everything
}

TEST_F(InputTest, AccelerometerDeliversOneSamplePerIntervalWhileItHasADelegate) {
  SampleRecorder recorder;
  Accelerometer& accelerometer = Accelerometer::shared();
  accelerometer.setUpdateInterval(0.04);
  accelerometer.setDelegate(&recorder);
  inject::acceleration(10.5, 0.5);
  loop_.runUntil(11.001);
  ASSERT_EQ(recorder.samples.size(), 25u);
  EXPECT_DOUBLE_EQ(recorder.samples[0].timestamp, 10.04);
  EXPECT_DOUBLE_EQ(recorder.samples[0].y, 0.0);
  EXPECT_DOUBLE_EQ(recorder.samples[24].y, 0.5);
  accelerometer.setDelegate(nullptr);
  loop_.runUntil(20);
  EXPECT_EQ(recorder.samples.size(), 25u);
}

// A replay holds each journalled reading until the next, so only changes are journalled, and
// the first reading after every start, whatever was journalled before it.
TEST_F(InputTest, TheJournalHearsEachChangeOfTiltAndTheFirstReadingOfEveryStart) {
  SampleRecorder recorder;
  Accelerometer& accelerometer = Accelerometer::shared();
  std::vector<double> journalled;
  setInputJournal([&journalled](const InputEntry& entry) {
    if (entry.kind == InputEntry::Kind::Tilt) journalled.push_back(entry.value);
  });
  accelerometer.setUpdateInterval(0.1);
  accelerometer.setDelegate(&recorder);
  inject::acceleration(10.35, 0.25);
  loop_.runUntil(11.001);
  accelerometer.setDelegate(nullptr);
  accelerometer.setDelegate(&recorder);
  loop_.runUntil(11.301);
  accelerometer.setDelegate(nullptr);
  setInputJournal({});
  EXPECT_EQ(recorder.samples.size(), 13u);
  EXPECT_EQ(journalled, (std::vector<double>{0, 0.25, 0.25}));
}

TEST_F(InputTest, SpaceEndsATouchMovedTenPointsTowardsTheHeldKey) {
  key(SDLK_SPACE, true);
  key(SDLK_SPACE, false);
  key(SDLK_RIGHT, true);
  key(SDLK_SPACE, true);
  key(SDLK_RIGHT, false);
  key(SDLK_LEFT, true);
  key(SDLK_SPACE, true);
  ASSERT_EQ(view_->touches.size(), 6u);
  const Point centre{160, 240};
  for (int i : {1, 3, 5}) {
    EXPECT_EQ(view_->touches[i].phase, TouchPhase::Ended);
    EXPECT_EQ(view_->touches[i].location, centre);
  }
  EXPECT_EQ(view_->touches[1].previous, centre);
  // Rightward on the landscape screen is a growing window y.
  EXPECT_EQ(view_->touches[3].previous, (Point{160, 230}));
  EXPECT_EQ(view_->touches[5].previous, (Point{160, 250}));
}

TEST_F(InputTest, EnterEndsATouchLikeSpaceAndEscapeOrPIsThePauseKey) {
  NoticeRecorder recorder;
  Application::shared().setDelegate(&recorder);
  key(SDLK_RETURN, true);
  key(SDLK_KP_ENTER, true);
  ASSERT_EQ(view_->touches.size(), 4u);
  EXPECT_EQ(view_->touches[3].phase, TouchPhase::Ended);
  key(SDLK_ESCAPE, true);  // the pause key, and the back key of a menu
  key(SDLK_p, true);
  EXPECT_EQ(recorder.notices, "PKP");
  Application::shared().setDelegate(nullptr);
}

TEST_F(InputTest, ArrowsMoveAFocusDownTheVisibleButtonsAndEnterPressesIt) {
  std::vector<int> pressed;
  const auto button = [&](int tag, Rect frame) {
    auto made = std::make_shared<Button>();
    made->setFrame(frame);
    made->setTag(tag);
    made->setAction([&pressed](Button& b) { pressed.push_back(b.tag()); });
    window_->addSubview(made);
    return made;
  };
  // In the portrait window: landscape top is the window's right side. The window's centre,
  // where the keyboard's tap lands, stays clear.
  const auto upper = button(1, {{250, 20}, {40, 100}});
  const auto lower = button(2, {{200, 20}, {40, 100}});
  const auto hidden = button(3, {{100, 20}, {40, 100}});
  hidden->setHidden(true);

  key(SDLK_RETURN, true);  // no focus yet: a tap
  EXPECT_TRUE(pressed.empty());
  EXPECT_EQ(view_->touches.size(), 2u);
  key(SDLK_DOWN, true);
  EXPECT_TRUE(upper->isFocused());
  key(SDLK_DOWN, true);
  EXPECT_TRUE(lower->isFocused());
  key(SDLK_DOWN, true);  // round again, past the hidden one
  EXPECT_TRUE(upper->isFocused());
  key(SDLK_UP, true);
  key(SDLK_RETURN, true);
  EXPECT_EQ(pressed, std::vector<int>{2});
  lower->setHidden(true);  // its menu went away: Enter taps again
  key(SDLK_RETURN, true);
  EXPECT_EQ(pressed, std::vector<int>{2});
  EXPECT_EQ(view_->touches.size(), 4u);
}

// The device used last, for the game's hints: told once a change, not at every event.
TEST_F(InputTest, TheLastDeviceUsedIsNotedAndAChangeIsTold) {
  std::vector<InputDevice> told;
  noteInputDevice(InputDevice::Mouse);
  setInputDeviceObserver([&told](InputDevice device) { told.push_back(device); });
  key(SDLK_LEFT, true);
  key(SDLK_LEFT, false);
  key(SDLK_RIGHT, true);
  EXPECT_EQ(lastInputDevice(), InputDevice::Keyboard);
  mouse(SDL_MOUSEMOTION, 100, 100);
  SDL_Event pad{};
  pad.type = SDL_CONTROLLERBUTTONDOWN;
  pad.cbutton.button = SDL_CONTROLLER_BUTTON_B;
  events_.handle(pad);
  SDL_Event finger{};
  finger.type = SDL_FINGERDOWN;
  finger.tfinger.x = finger.tfinger.y = 0.5f;
  events_.handle(finger);
  EXPECT_EQ(told, (std::vector<InputDevice>{InputDevice::Keyboard, InputDevice::Mouse,
                                            InputDevice::Pad, InputDevice::Touch}));
  setInputDeviceObserver({});
  noteInputDevice(InputDevice::Mouse);
}

// With the focus on a slider, Left and Right step it by tenths instead of steering; held, they
// step again after 0.4 s and then ten times a second until let go. The d-pad and the left stick
// do the same. Without a slider focused, Left steers and steps nothing.
TEST_F(InputTest, LeftAndRightStepAFocusedSliderAndRepeatWhileHeld) {
  auto slider = std::make_shared<Slider>();
  slider->setFrame({{200, 20}, {40, 200}});
  slider->setValue(0.55f);
  int steps = 0;
  slider->setStepped([&steps](Slider&) { ++steps; });
  window_->addSubview(slider);
  const KeyboardTilt& keyboard = Accelerometer::shared().sources().keyboard;
  const auto later = [this](double seconds) { loop_.runUntil(loop_.now() + seconds); };

  const Heard unfocused = journalled({InputEntry::Kind::Slide}, [&] { key(SDLK_LEFT, true); });
  EXPECT_TRUE(unfocused.empty());
  EXPECT_EQ(keyboard.heldDirection(), 1);
  key(SDLK_LEFT, false);
  EXPECT_EQ(slider->value(), 0.55f);

  key(SDLK_DOWN, true);
  ASSERT_TRUE(slider->isFocused());
  const Heard held = journalled({InputEntry::Kind::Slide}, [&] {
    key(SDLK_RIGHT, true);
    EXPECT_EQ(slider->value(), 0.6f);  // between tenths: the nearer one that way
    EXPECT_EQ(keyboard.heldDirection(), 0);
    key(SDLK_RIGHT, true, true);  // the system's own repeat is not the slider's
    later(0.39);
    EXPECT_EQ(slider->value(), 0.6f);
    later(0.02);
    EXPECT_EQ(slider->value(), 0.7f);
    later(0.1);
    EXPECT_EQ(slider->value(), 0.8f);
    later(0.35);  // to the end, and held there
    EXPECT_EQ(slider->value(), 1.0f);
    key(SDLK_RIGHT, false);
  });
  EXPECT_EQ(held.size(), 6u);  // the press, then every tenth of a second while held
  EXPECT_EQ(steps, 5);         // a step at the end changes nothing and is not told
  later(1);
  pad(SDL_CONTROLLERBUTTONDOWN, SDL_CONTROLLER_BUTTON_DPAD_LEFT);
  pad(SDL_CONTROLLERBUTTONUP, SDL_CONTROLLER_BUTTON_DPAD_LEFT);
  EXPECT_EQ(slider->value(), 0.9f);
  stick(-20000);
  stick(-12000);  // still pushed: no second step
  EXPECT_EQ(slider->value(), 0.8f);
  stick(0);
  stick(-20000);
  EXPECT_EQ(slider->value(), 0.7f);
  stick(0);
  later(1);
  EXPECT_EQ(slider->value(), 0.7f);
  slider->setHidden(true);  // its menu went away: Right steers again
  key(SDLK_RIGHT, true);
  EXPECT_EQ(keyboard.heldDirection(), -1);
  key(SDLK_RIGHT, false);
}

// The right stick scrolls the lists on show while it is pushed: a notch at once, more after a
// pause, none once it is let go.
TEST_F(InputTest, TheRightStickScrollsWhileItIsPushed) {
  const Heard scrolls = journalled({InputEntry::Kind::Page}, [&] {
    stick(30000, SDL_CONTROLLER_AXIS_RIGHTY);
    loop_.runUntil(loop_.now() + 0.45);
    stick(2000, SDL_CONTROLLER_AXIS_RIGHTY);
    loop_.runUntil(loop_.now() + 1);
    stick(-30000, SDL_CONTROLLER_AXIS_RIGHTY);
    stick(0, SDL_CONTROLLER_AXIS_RIGHTY);
  });
  EXPECT_EQ(scrolls, (Heard{{InputEntry::Kind::Page, 1},
                            {InputEntry::Kind::Page, 1},
                            {InputEntry::Kind::Page, -1}}));
}

TEST_F(InputTest, FocusAndMinimisingBecomeResignAndBecomeActiveNotices) {
  NoticeRecorder recorder;
  Application& application = Application::shared();
  application.setDelegate(&recorder);
  windowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
  windowEvent(SDL_WINDOWEVENT_MINIMIZED);
  windowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);  // still minimised
  windowEvent(SDL_WINDOWEVENT_RESTORED);
  windowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
  EXPECT_EQ(recorder.notices, "RB");
  // A phone turned upright puts the game away until it is turned back, whatever else happens.
  events_.setTurnedAway(true);
  windowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
  windowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
  EXPECT_EQ(recorder.notices, "RBR");
  events_.setTurnedAway(false);
  EXPECT_EQ(recorder.notices, "RBRB");

  inject::resignActive(12);
  inject::becomeActive(13);
  loop_.runUntil(12);
  EXPECT_EQ(recorder.notices, "RBRBR");
  loop_.runUntil(13);
  EXPECT_EQ(recorder.notices, "RBRBRB");
  application.setDelegate(nullptr);
}

TEST(ApplicationTest, UrlsGoToTheRecorderAndTheIdleSwitchIsKept) {
  std::vector<std::string> opened;
  Application& application = Application::shared();
  application.setURLOpener([&](const std::string& url) { opened.push_back(url); });
  application.openURL("mailto:?subject=Tidewick");
  EXPECT_EQ(opened, std::vector<std::string>{"mailto:?subject=Tidewick"});
  application.setIdleTimerDisabled(true);
  EXPECT_TRUE(application.isIdleTimerDisabled());
  application.setIdleTimerDisabled(false);
  EXPECT_FALSE(application.isIdleTimerDisabled());
  application.setURLOpener(nullptr);
}

// The controls file: the defaults written on a first launch and read back the same, a rebound
// key doing its new work (and the old key none), a damaged file moved aside for the defaults,
// names SDL does not know left out with a warning.
class ControlsTest : public testing::Test {
 protected:
  void SetUp() override {
    testDisplay();
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }
  std::filesystem::path file() const { return folder_ / "controls.json"; }
  void write(const std::string& text) const { std::ofstream(file()) << text; }
  // The notices and touches a key press makes with `controls`.
  std::string press(const Controls& controls, SDL_Keycode sym) {
    NoticeRecorder recorder;
    Application::shared().setDelegate(&recorder);
    VirtualClock clock{1};
    RunLoop loop{clock};
    DesktopEvents events(testDisplay(), loop, controls);
    TouchRouter::shared().reset();
    auto window = std::make_shared<Window>();
    auto view = std::make_shared<RecorderView>();
    view->setFrame({{0, 0}, Window::kScreenSize});
    window->addSubview(view);
    window->makeKeyAndVisible();
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.keysym.sym = sym;
    events.handle(e);
    Application::shared().setDelegate(nullptr);
    return recorder.notices + std::string(view->touches.size(), 'T');
  }

  const std::filesystem::path folder_ =
      std::filesystem::temp_directory_path() / ("tidewick-controls-" + std::to_string(::getpid()));
};

TEST_F(ControlsTest, AFirstLaunchWritesTheDefaultsAndARebindingTakesEffect) {
  const Controls first = loadControls(file());
  ASSERT_TRUE(std::filesystem::exists(file()));
  const Controls again = loadControls(file());
  EXPECT_EQ(again.keys, Controls::defaults().keys);
  EXPECT_EQ(again.buttons, Controls::defaults().buttons);
  EXPECT_EQ(first.keyNames(Control::SteerLeft), (std::vector<std::string>{"Left", "A"}));
  EXPECT_EQ(press(again, SDLK_p), "P");
  EXPECT_EQ(press(again, SDLK_ESCAPE), "PK");  // pauses a game, goes back from a menu
  EXPECT_EQ(press(again, SDLK_BACKSPACE), "K");

  write(R"({"keys": {"throw": ["T"], "pause": ["Escape", "Nonsense"], "menu back": ["Q"]}})");
  testing::internal::CaptureStderr();
  const Controls rebound = loadControls(file());
  EXPECT_NE(testing::internal::GetCapturedStderr().find("\"Nonsense\" is not a key"),
            std::string::npos);
  EXPECT_EQ(press(rebound, SDLK_t), "TT");  // a touch begun and ended: a throw
  EXPECT_EQ(press(rebound, SDLK_SPACE), "");
  EXPECT_EQ(press(rebound, SDLK_p), "");
  EXPECT_EQ(press(rebound, SDLK_ESCAPE), "P");
  EXPECT_EQ(press(rebound, SDLK_q), "K");
  EXPECT_EQ(rebound.keys[static_cast<int>(Control::SteerLeft)],
            Controls::defaults().keys[static_cast<int>(Control::SteerLeft)]);  // left out: kept
}

TEST_F(ControlsTest, ADamagedFileIsMovedAsideAndTheDefaultsServe) {
  for (const std::string& damaged :
       {std::string("{\"keys\": [1, 2"), std::string("[]"),
        std::string(R"({"keys": {"throw": "Space"}})"), std::string(R"({"pad": {"throw": [7]}})"),
        std::string(R"({"keys": {"throw": [1e400]}})")}) {
    write(damaged);
    testing::internal::CaptureStderr();
    const Controls controls = loadControls(file());
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("moved to"), std::string::npos) << damaged;
    EXPECT_EQ(controls.keys, Controls::defaults().keys) << damaged;
    EXPECT_FALSE(std::filesystem::exists(file())) << damaged;
  }
  int asides = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder_)) {
    asides += entry.path().filename().string().starts_with("controls.json.corrupt-");
  }
  EXPECT_EQ(asides, 5);
  EXPECT_EQ(loadControls({}).keys, Controls::defaults().keys);  // no file at all
}

// A key, a mouse button or a finger going down wakes the game first; when the wake ends
// something (a demo), the rest of that input is dropped: no touch, no pause, no throw.
TEST_F(InputTest, AWakeThatEndsSomethingGoesNoFurther) {
  NoticeRecorder notices;
  notices.wakesUsedUp = true;
  Application::shared().setDelegate(&notices);
  mouse(SDL_MOUSEBUTTONDOWN, 21, 43);
  mouse(SDL_MOUSEMOTION, 60, 47);
  mouse(SDL_MOUSEBUTTONUP, 60, 47);
  key(SDLK_ESCAPE, true);
  key(SDLK_ESCAPE, false);
  key(SDLK_SPACE, true);
  key(SDLK_LEFT, true);
  SDL_Event finger{};
  finger.type = SDL_FINGERDOWN;
  finger.tfinger.x = finger.tfinger.y = 0.5f;
  events_.handle(finger);
  finger.type = SDL_FINGERUP;
  events_.handle(finger);
  EXPECT_EQ(notices.wakes, 5);
  EXPECT_EQ(notices.notices, "");
  EXPECT_TRUE(view_->touches.empty());
  EXPECT_EQ(Accelerometer::shared().sources().keyboard.heldDirection(), 0);

  key(SDLK_LEFT, false);
  notices.wakesUsedUp = false;
  key(SDLK_SPACE, true);  // a wake that ends nothing: the throw goes on
  EXPECT_EQ(notices.wakes, 6);
  EXPECT_EQ(view_->touches.size(), 2u);
  Application::shared().setDelegate(nullptr);
}

// A page takes its events once a frame: a finger that came while a busy browser held the frame
// back keeps the time it came at, and a quick double tap stays quick. Its lift never overtakes
// it, though SDL's clock counts whole milliseconds and the loop's does not.
TEST_F(InputTest, AnEventThatWaitedForTheLoopKeepsTheTimeItCameAndItsPlaceInLine) {
  struct HandClock : Clock {
    double now() const override { return t; }
    double t = 0;
  } machine;
  loop_.setPace(&machine);
  std::vector<std::pair<TouchPhase, double>> heard;
  setInputJournal([&](const InputEntry& entry) {
    if (entry.kind == InputEntry::Kind::Touch) heard.emplace_back(entry.phase, loop_.now());
  });
  SDL_Event finger{};
  finger.type = SDL_FINGERDOWN;
  finger.tfinger.x = finger.tfinger.y = 0.5f;
  ASSERT_EQ(SDL_PushEvent(&finger), 1);
  SDL_Delay(100);
  machine.t = 1;  // the loop takes it a second of its pace later than it began
  events_.waitAndDispatch(0);
  loop_.turn();
  ASSERT_EQ(heard.size(), 1u);
  // At least the 0.1 s it waited (to SDL's millisecond) before the loop's time.
  EXPECT_GE(heard[0].second, 10);
  EXPECT_LE(heard[0].second, 10.901);

  // A lift heard a millisecond before its touch by SDL's count.
  SDL_Event lift = finger;
  lift.type = SDL_FINGERUP;
  finger.common.timestamp = SDL_GetTicks();
  lift.common.timestamp = finger.common.timestamp - 1;
  ASSERT_EQ(SDL_PeepEvents(&finger, 1, SDL_ADDEVENT, 0, 0), 1);
  ASSERT_EQ(SDL_PeepEvents(&lift, 1, SDL_ADDEVENT, 0, 0), 1);
  machine.t = 2;
  events_.waitAndDispatch(0);
  loop_.turn();
  setInputJournal({});
  ASSERT_EQ(heard.size(), 3u);
  EXPECT_EQ(heard[1].first, TouchPhase::Began);
  EXPECT_EQ(heard[2].first, TouchPhase::Ended);
  EXPECT_LE(heard[1].second, heard[2].second);
}

// What the devices gave the game, journalled, is given again the same way from the journal
// alone: the same touches at the same window points, the same notices and keys.
TEST_F(InputTest, TheJournalGivesBackExactlyWhatTheDevicesGave) {
  NoticeRecorder notices;
  Application& application = Application::shared();
  application.setDelegate(&notices);
  std::vector<InputEntry> journalled;
  setInputJournal([&journalled](const InputEntry& entry) { journalled.push_back(entry); });
  mouse(SDL_MOUSEBUTTONDOWN, 21, 43);
  mouse(SDL_MOUSEMOTION, 333, 47);
  mouse(SDL_MOUSEBUTTONUP, 1200, 47);  // off the screen: at its edge
  key(SDLK_LEFT, true);
  key(SDLK_SPACE, true);  // a throw leaning left
  key(SDLK_LEFT, false);
  key(SDLK_ESCAPE, true);
  windowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
  windowEvent(SDL_WINDOWEVENT_MINIMIZED);  // no second notice
  windowEvent(SDL_WINDOWEVENT_RESTORED);
  windowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
  setInputJournal({});
  const std::vector<Recorded> given = view_->touches;
  const std::string told = notices.notices;
  ASSERT_EQ(given.size(), 5u);
  EXPECT_EQ(told, "PKRB");
  EXPECT_EQ(notices.wakes, 4);  // the button, Left, Space and Escape each woke first

  view_->touches.clear();
  notices.notices.clear();
  TouchRouter::shared().reset();
  for (const InputEntry& entry : journalled) deliverInput(entry);
  ASSERT_EQ(view_->touches.size(), given.size());
  for (size_t k = 0; k < given.size(); ++k) {
    EXPECT_EQ(view_->touches[k].phase, given[k].phase) << "touch " << k;
    EXPECT_EQ(view_->touches[k].location, given[k].location) << "touch " << k;
    EXPECT_EQ(view_->touches[k].previous, given[k].previous) << "touch " << k;
  }
  EXPECT_EQ(notices.notices, told);
  application.setDelegate(nullptr);
}

// Key repeat: a held key steers on, but throws, pauses, presses and goes fullscreen only once.
TEST_F(InputTest, AHeldKeyActsOnceThroughItsRepeats) {
  NoticeRecorder notices;
  Application::shared().setDelegate(&notices);
  key(SDLK_SPACE, true);
  for (int i = 0; i < 3; ++i) key(SDLK_SPACE, true, true);
  key(SDLK_SPACE, false);
  EXPECT_EQ(view_->touches.size(), 2u);  // one throw: a touch begun and ended
  key(SDLK_ESCAPE, true);
  key(SDLK_ESCAPE, true, true);
  EXPECT_EQ(notices.notices, "PK");
  EXPECT_EQ(notices.wakes, 2);  // a repeat is not the player coming back
  Application::shared().setDelegate(nullptr);
}

// F11 and Alt+Enter are the desktop's own: fullscreen and back, never a throw or a wake.
TEST_F(InputTest, F11AndAltEnterToggleFullscreenAndAreNothingElse) {
  NoticeRecorder notices;
  Application::shared().setDelegate(&notices);
  SDL_Window* window = testDisplay().sdlWindow();
  const auto fullscreen = [window] {
    return (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) != 0;
  };
  ASSERT_FALSE(fullscreen());
  key(SDLK_F11, true);
  EXPECT_TRUE(fullscreen());
  key(SDLK_F11, true, true);  // held: still fullscreen
  EXPECT_TRUE(fullscreen());
  key(SDLK_F11, false);
  key(SDLK_RETURN, true, false, KMOD_LALT);
  EXPECT_FALSE(fullscreen());
  key(SDLK_RETURN, true, false, KMOD_RALT);
  EXPECT_TRUE(fullscreen());
  key(SDLK_F11, true);
  EXPECT_FALSE(fullscreen());
  EXPECT_TRUE(view_->touches.empty());
  EXPECT_EQ(notices.wakes, 0);
  int width = 0, height = 0;
  SDL_GetWindowSize(window, &width, &height);
  EXPECT_EQ(width, 960);
  EXPECT_EQ(height, 640);
  Application::shared().setDelegate(nullptr);
}

// Page Down scrolls four notches down, Page Up four up; a wheel notch towards the player (SDL's
// negative y) scrolls one down, unless the system flips the wheel.
TEST_F(InputTest, PageKeysScrollFourNotchesAndTheWheelFollowsItsDirection) {
  const auto wheel = [this](int y, Uint32 direction) {
    SDL_Event e{};
    e.type = SDL_MOUSEWHEEL;
    e.wheel.y = y;
    e.wheel.direction = direction;
    events_.handle(e);
  };
  using K = InputEntry::Kind;
  const Heard scrolls = journalled({K::Page, K::Wheel}, [&] {
    key(SDLK_PAGEDOWN, true);
    key(SDLK_PAGEDOWN, false);
    key(SDLK_PAGEUP, true);
    wheel(-1, SDL_MOUSEWHEEL_NORMAL);
    wheel(2, SDL_MOUSEWHEEL_NORMAL);
    wheel(-1, SDL_MOUSEWHEEL_FLIPPED);
  });
  EXPECT_EQ(scrolls,
            (Heard{{K::Page, 4}, {K::Page, -4}, {K::Wheel, 1}, {K::Wheel, -2}, {K::Wheel, -1}}));
}

// The pad's buttons do what the controls bind them to: by default the d-pad moves through a
// menu, A throws (with no menu focus) and Start pauses; rebound, the old button does nothing.
TEST_F(InputTest, PadButtonsDoTheirControlsAndRebindingMovesThem) {
  NoticeRecorder notices;
  Application::shared().setDelegate(&notices);
  const Heard focus = journalled({InputEntry::Kind::Focus}, [&] {
    pad(SDL_CONTROLLERBUTTONDOWN, SDL_CONTROLLER_BUTTON_DPAD_DOWN);
    pad(SDL_CONTROLLERBUTTONDOWN, SDL_CONTROLLER_BUTTON_DPAD_UP);
    pad(SDL_CONTROLLERBUTTONDOWN, SDL_CONTROLLER_BUTTON_A);
    pad(SDL_CONTROLLERBUTTONUP, SDL_CONTROLLER_BUTTON_A);
    pad(SDL_CONTROLLERBUTTONDOWN, SDL_CONTROLLER_BUTTON_START);
  });
  EXPECT_EQ(focus, (Heard{{InputEntry::Kind::Focus, 1}, {InputEntry::Kind::Focus, -1}}));
  EXPECT_EQ(view_->touches.size(), 2u);
  EXPECT_EQ(notices.notices, "P");
  EXPECT_EQ(lastInputDevice(), InputDevice::Pad);

  Controls rebound = Controls::defaults();
  rebound.buttons[static_cast<int>(Control::Throw)] = {SDL_CONTROLLER_BUTTON_Y};
  rebound.buttons[static_cast<int>(Control::MenuPress)] = {};
  rebound.buttons[static_cast<int>(Control::Pause)] = {SDL_CONTROLLER_BUTTON_BACK};
  setActiveControls(rebound);
  view_->touches.clear();
  pad(SDL_CONTROLLERBUTTONDOWN, SDL_CONTROLLER_BUTTON_A);
  pad(SDL_CONTROLLERBUTTONDOWN, SDL_CONTROLLER_BUTTON_START);
  EXPECT_TRUE(view_->touches.empty());
  EXPECT_EQ(notices.notices, "P");
  pad(SDL_CONTROLLERBUTTONDOWN, SDL_CONTROLLER_BUTTON_Y);
  pad(SDL_CONTROLLERBUTTONDOWN, SDL_CONTROLLER_BUTTON_BACK);
  EXPECT_EQ(view_->touches.size(), 2u);
  EXPECT_EQ(notices.notices, "PP");
  setActiveControls(Controls::defaults());
  Application::shared().setDelegate(nullptr);
}

// Held in landscape and tilted left side down, the pad's accelerometer feels gravity along +x:
// a positive reading, the crab walks left. Beyond one gravity (a shake) the reading stops at 1.
TEST_F(InputTest, ThePadsMotionSensorReadsLeftSideDownAsPositive) {
  padAccelerometer(0.3f);
  EXPECT_NEAR(reading(), 0.3, 1e-6);
  padAccelerometer(-0.2f);
  EXPECT_NEAR(reading(), -0.2, 1e-6);
  padAccelerometer(2.5f);
  EXPECT_DOUBLE_EQ(reading(), 1);
}

// A pad plugged in is opened; unplugged, its stick and motion sensor stop steering at once (a
// pad that is gone cannot centre its stick). Another pad going away changes nothing.
TEST_F(InputTest, APadRemovedTakesItsTiltWithIt) {
  ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER), 0) << SDL_GetError();
  SDL_VirtualJoystickDesc described{};
  described.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
  described.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
  described.naxes = SDL_CONTROLLER_AXIS_MAX;
  described.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
  const int index = SDL_JoystickAttachVirtualEx(&described);
  ASSERT_GE(index, 0) << SDL_GetError();
  ASSERT_TRUE(SDL_IsGameController(index));
  SDL_Event added{};
  added.type = SDL_CONTROLLERDEVICEADDED;
  added.cdevice.which = index;
  events_.handle(added);
  const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(index);

  stick(32767);
  EXPECT_DOUBLE_EQ(reading(), -0.5);
  padAccelerometer(0.25f);
  EXPECT_NEAR(reading(), 0.25, 1e-6);

  SDL_Event removed{};
  removed.type = SDL_CONTROLLERDEVICEREMOVED;
  removed.cdevice.which = id + 1;  // not ours
  events_.handle(removed);
  EXPECT_NEAR(reading(), 0.25, 1e-6);
  removed.cdevice.which = id;
  events_.handle(removed);
  EXPECT_DOUBLE_EQ(reading(), 0);
  SDL_JoystickDetachVirtual(index);
}

// A finger on the bottom strip, while a game reads the tilt of a device without any: the crab goes
// under it and lifting it throws nothing; elsewhere, on a button, or before a game it touches.
TEST_F(InputTest, WithoutTiltAFingerOnTheBottomStripSteersAndNeverThrows) {
  const auto finger = [this](Uint32 type, SDL_FingerID id, float x, float y) {
    SDL_Event e{};
    e.type = type;
    e.tfinger.fingerId = id;
    e.tfinger.x = x;
    e.tfinger.y = y;
    events_.handle(e);
  };
  finger(SDL_FINGERDOWN, 1, 0.25f, 0.95f);  // no game reads the tilt: a touch
  finger(SDL_FINGERUP, 1, 0.25f, 0.95f);
  ASSERT_EQ(view_->touches.size(), 2u);

  SampleRecorder game;
  Accelerometer::shared().setDelegate(&game);
  finger(SDL_FINGERDOWN, 2, 0.25f, 0.95f);  // landscape (120, 304)
  EXPECT_DOUBLE_EQ(reading(), 0.25);
  finger(SDL_FINGERDOWN, 3, 0.5f, 0.25f);  // another finger, above the strip, throws
  finger(SDL_FINGERUP, 3, 0.5f, 0.25f);
  EXPECT_EQ(view_->touches.size(), 4u);
  finger(SDL_FINGERMOTION, 2, 0.75f, 0.5f);  // it keeps steering off the strip
  EXPECT_DOUBLE_EQ(reading(), -0.25);
  finger(SDL_FINGERUP, 2, 0.75f, 0.5f);
  EXPECT_EQ(view_->touches.size(), 4u);
  EXPECT_DOUBLE_EQ(reading(), -0.25);  // the crab stays where the finger left it

  // A finger whose lift never came steers no more once another is put down on the strip.
  finger(SDL_FINGERDOWN, 6, 0.25f, 0.95f);
  EXPECT_DOUBLE_EQ(reading(), 0.25);
  finger(SDL_FINGERDOWN, 7, 0.875f, 0.95f);
  EXPECT_DOUBLE_EQ(reading(), -0.375);
  finger(SDL_FINGERMOTION, 6, 0.5f, 0.95f);
  finger(SDL_FINGERUP, 6, 0.5f, 0.95f);
  EXPECT_DOUBLE_EQ(reading(), -0.375);
  EXPECT_EQ(view_->touches.size(), 4u);
  finger(SDL_FINGERUP, 7, 0.875f, 0.95f);

  // A button on the strip takes its touch.
  auto button = std::make_shared<Button>();
  button->setFrame({windowPointFromLandscape({440, 320}), {40, 40}});
  window_->addSubview(button);
  int pressed = 0;
  button->setAction([&pressed](Button&) { ++pressed; });
  finger(SDL_FINGERDOWN, 4, 0.95f, 0.95f);
  finger(SDL_FINGERUP, 4, 0.95f, 0.95f);
  EXPECT_EQ(pressed, 1);
  EXPECT_DOUBLE_EQ(reading(), -0.375);

  // A device that tilts needs no strip.
  Accelerometer::shared().sources().device = 0.0;
  finger(SDL_FINGERDOWN, 5, 0.25f, 0.95f);
  finger(SDL_FINGERUP, 5, 0.25f, 0.95f);
  EXPECT_EQ(view_->touches.size(), 6u);
}

// A fingertip covers 44 of the window's units (22 points in this window of two pixels a point):
// a small control answers a finger landing that close, the nearer of two the one between them,
// and never where another view is hit exactly. A mouse's point is exact.
TEST_F(InputTest, AFingertipReachesASmallControlNearbyAndOnlyTheNearestOfTwo) {
  // Square buttons of `side` points with their landscape top-left corner at (x, y).
  int pressedA = 0, pressedB = 0;
  const auto button = [this](float x, float y, float side, int& pressed) {
    auto made = std::make_shared<Button>();
    made->setFrame({windowPointFromLandscape({x, y + side}), {side, side}});
    made->setAction([&pressed](Button&) { ++pressed; });
    window_->addSubview(made);
    return made;
  };
  const auto a = button(100, 100, 10, pressedA);
  const auto b = button(118, 100, 10, pressedB);
  const auto finger = [this](float x, float y) {
    for (const Uint32 type : {SDL_FINGERDOWN, SDL_FINGERUP}) {
      SDL_Event e{};
      e.type = type;
      e.tfinger.x = x / 480;
      e.tfinger.y = y / 320;
      events_.handle(e);
    }
  };
  finger(95, 105);  // 5 points left of A, which answers 6 points round
  EXPECT_EQ(pressedA, 1);
  finger(93, 105);
  EXPECT_EQ(pressedA, 1);
  finger(115, 105);  // between them, 5 points from A's right edge and 3 from B's left
  EXPECT_EQ(pressedB, 1);
  EXPECT_EQ(pressedA, 1);
  EXPECT_EQ(view_->touches.size(), 2u);  // the miss went to the view under it

  mouse(SDL_MOUSEBUTTONDOWN, 2 * 95, 2 * 105);
  mouse(SDL_MOUSEBUTTONUP, 2 * 95, 2 * 105);
  EXPECT_EQ(pressedA, 1);
  EXPECT_EQ(view_->touches.size(), 4u);

  // A control hidden, or under another control hit exactly, is out of reach.
  a->setHidden(true);
  finger(95, 105);
  EXPECT_EQ(pressedA, 1);
  a->setHidden(false);
  int pressedC = 0;
  const auto c = button(90, 100, 8, pressedC);  // small, but hit exactly
  finger(95, 105);
  EXPECT_EQ(pressedC, 1);
  EXPECT_EQ(pressedA, 1);
  for (const auto& made : {a, b, c}) made->removeFromSuperview();
}

// Tilt from a phone's motion reading: gravity along the landscape screen's left edge, in units of
// gravity, whichever way the browser signs it and whichever way the phone is turned.
TEST(DeviceMotionTest, TheLeftEdgeDownReadsPositiveInBothLandscapesAndBothConventions) {
  const double g = 9.80665;
  // Turned with its top to the left (90), its left edge 30 degrees up, then down: the standard
  // reports the force holding the phone up, +y for a top pointing up.
  const MotionReading leftEdgeUp{0, g / 2, g * 0.866}, leftEdgeDown{0, -g / 2, g * 0.866};
  EXPECT_DOUBLE_EQ(*tiltFromMotion(leftEdgeUp, 90, MotionSign::HoldingForce), -0.5);
  EXPECT_DOUBLE_EQ(*tiltFromMotion(leftEdgeDown, 90, MotionSign::HoldingForce), 0.5);
  // Safari on iOS reports the pull: the same numbers mean the other pose.
  EXPECT_DOUBLE_EQ(*tiltFromMotion(leftEdgeDown, 90, MotionSign::GravityPull), -0.5);
  // Turned the other way (270), the top is on the right: the top down is the right edge down.
  EXPECT_DOUBLE_EQ(*tiltFromMotion(leftEdgeDown, 270, MotionSign::HoldingForce), -0.5);
  EXPECT_DOUBLE_EQ(*tiltFromMotion(leftEdgeDown, -90, MotionSign::HoldingForce), -0.5);
  // In portrait the left edge is the device's left side.
  EXPECT_DOUBLE_EQ(*tiltFromMotion({g / 4, 0, 0}, 0, MotionSign::HoldingForce), 0.25);
  EXPECT_DOUBLE_EQ(*tiltFromMotion({g / 4, 0, 0}, 180, MotionSign::HoldingForce), -0.25);
  // No sensor, or a number missing: no tilt.
  EXPECT_FALSE(tiltFromMotion({0, 0, 0}, 90, MotionSign::HoldingForce));
  EXPECT_FALSE(tiltFromMotion({std::nan(""), 1, 0}, 90, MotionSign::HoldingForce));
}
