// Which keys and pad buttons do what: steering, levelling, throwing, pausing and moving through
// the menus. Kept in controls.json beside the settings, written with the defaults on the first
// launch, so a player can rebind a key without rebuilding anything.
#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <vector>

namespace platform {

enum class Control {
  SteerLeft,
  SteerRight,
  Level,
  Throw,
  Pause,
  MenuUp,
  MenuDown,
  MenuPress,
  MenuLeft,
  MenuRight,
  MenuBack,
};
inline constexpr int kControlCount = 11;
// The control's name in the file: "steer left", "menu press"...
const char* controlName(Control control);

struct Controls {
  // SDL key codes and game-controller buttons, by control. A key may serve several controls
  // (Down levels the crab and moves down a menu).
  std::array<std::vector<int>, kControlCount> keys, buttons;

  // Left/A and Right/D steer, Down/S levels, Space throws, Escape/P pause, Up/W and Down/S move
  // through a menu, Left/A and Right/D move a slider, Enter presses and Escape/Backspace go back;
  // on a pad the d-pad moves, A presses (or throws), B goes back and Start pauses.
  static Controls defaults();
  std::vector<Control> forKey(int key) const;
  std::vector<Control> forButton(int button) const;
  // The names of a control's keys for a player to read ("Left", "A"), and of its pad buttons as
  // SDL spells them ("a", "start").
  std::vector<std::string> keyNames(Control control) const;
  std::vector<std::string> buttonNames(Control control) const;
};

// The controls in force: what the desktop's input goes by and what hints name (the defaults
// until others are set).
const Controls& activeControls();
void setActiveControls(Controls controls);

// The controls file: controls.json in the folder of `settingsFile`.
std::filesystem::path controlsPathBeside(const std::filesystem::path& settingsFile);

// The controls in `path`. A missing file is written with the defaults; a damaged one (not JSON,
// not an object of lists of names) is moved aside, with a warning, and the defaults are used; a
// name SDL does not know is skipped with a warning. Controls the file leaves out keep their
// defaults. The pad mapping database gamecontrollerdb.txt beside it, when there is one, is
// added to SDL's (SDL_GAMECONTROLLERCONFIG is honoured by SDL itself). An empty path gives the
// defaults and touches no file.
Controls loadControls(const std::filesystem::path& path);

}  // namespace platform
