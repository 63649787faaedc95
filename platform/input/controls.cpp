// The controls file: names in, SDL's key codes and pad buttons out, and the defaults written
// when there is no file yet.
#include "platform/input/controls.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cstdio>
#include <fstream>

#include <nlohmann/json.hpp>

#include "platform/core/json_reading.h"
#include "platform/core/stored_file.h"

namespace platform {
namespace fs = std::filesystem;
namespace {

constexpr const char* kNames[kControlCount] = {
    "steer left", "steer right", "level",     "throw",      "pause",     "menu up",
    "menu down",  "menu press",  "menu left", "menu right", "menu back",
};

struct Default {
  Control control;
  std::vector<SDL_Keycode> keys;
  std::vector<SDL_GameControllerButton> buttons;
};

const std::vector<Default>& defaultTable() {
  static const std::vector<Default> table = {
      {Control::SteerLeft, {SDLK_LEFT, SDLK_a}, {}},
      {Control::SteerRight, {SDLK_RIGHT, SDLK_d}, {}},
      {Control::Level, {SDLK_DOWN, SDLK_s}, {}},
      {Control::Throw, {SDLK_SPACE}, {}},
      {Control::Pause, {SDLK_ESCAPE, SDLK_p}, {SDL_CONTROLLER_BUTTON_START}},
      {Control::MenuUp, {SDLK_UP, SDLK_w}, {SDL_CONTROLLER_BUTTON_DPAD_UP}},
      {Control::MenuDown, {SDLK_DOWN, SDLK_s}, {SDL_CONTROLLER_BUTTON_DPAD_DOWN}},
      {Control::MenuPress, {SDLK_RETURN, SDLK_KP_ENTER}, {SDL_CONTROLLER_BUTTON_A}},
      {Control::MenuLeft, {SDLK_LEFT, SDLK_a}, {SDL_CONTROLLER_BUTTON_DPAD_LEFT}},
      {Control::MenuRight, {SDLK_RIGHT, SDLK_d}, {SDL_CONTROLLER_BUTTON_DPAD_RIGHT}},
      {Control::MenuBack, {SDLK_ESCAPE, SDLK_BACKSPACE}, {SDL_CONTROLLER_BUTTON_B}},
  };
  return table;
}

std::vector<Control> controlsWith(const std::array<std::vector<int>, kControlCount>& table,
                                  int code) {
  std::vector<Control> found;
  for (int i = 0; i < kControlCount; ++i) {
    if (std::find(table[i].begin(), table[i].end(), code) != table[i].end()) {
      found.push_back(static_cast<Control>(i));
    }
  }
  return found;
}

nlohmann::json toJson(const Controls& controls) {
  nlohmann::json keys = nlohmann::json::object(), pad = nlohmann::json::object();
  for (int i = 0; i < kControlCount; ++i) {
    keys[kNames[i]] = controls.keyNames(static_cast<Control>(i));
    const std::vector<std::string> buttons = controls.buttonNames(static_cast<Control>(i));
    if (!buttons.empty()) pad[kNames[i]] = buttons;
  }
  return {{"keys", keys}, {"pad", pad}};
}

// One section of the file ("keys" or "pad") over the defaults; false when it is not an object of
// lists of names.
template <typename Parse>
bool readSection(const nlohmann::json& file, const char* section, const fs::path& path,
                 std::array<std::vector<int>, kControlCount>& table, Parse parse) {
  if (!file.contains(section)) return true;
  const nlohmann::json& entries = file[section];
  if (!entries.is_object()) return false;
  for (int i = 0; i < kControlCount; ++i) {
    if (!entries.contains(kNames[i])) continue;
    const nlohmann::json& names = entries[kNames[i]];
    if (!names.is_array()) return false;
    table[i].clear();
    for (const nlohmann::json& name : names) {
      if (!name.is_string()) return false;
      const int code = parse(name.get<std::string>().c_str());
      if (code < 0) {
        std::fprintf(stderr, "tidewick: %s: \"%s\" is not a %s SDL knows; left out\n", path.c_str(),
                     name.get<std::string>().c_str(),
                     std::string(section) == "pad" ? "pad button" : "key");
        continue;
      }
      table[i].push_back(code);
    }
  }
  return true;
}

Controls sActive = Controls::defaults();

}  // namespace

const Controls& activeControls() {
  return sActive;
}

void setActiveControls(Controls controls) {
  sActive = std::move(controls);
}

const char* controlName(Control control) {
  return kNames[static_cast<int>(control)];
}

Controls Controls::defaults() {
  Controls controls;
  for (const Default& row : defaultTable()) {
    const int i = static_cast<int>(row.control);
    controls.keys[i].assign(row.keys.begin(), row.keys.end());
    controls.buttons[i].assign(row.buttons.begin(), row.buttons.end());
  }
  return controls;
}

std::vector<Control> Controls::forKey(int key) const {
  return controlsWith(keys, key);
}

std::vector<Control> Controls::forButton(int button) const {
  return controlsWith(buttons, button);
}

std::vector<std::string> Controls::keyNames(Control control) const {
  std::vector<std::string> names;
  for (const int key : keys[static_cast<int>(control)]) names.emplace_back(SDL_GetKeyName(key));
  return names;
}

std::vector<std::string> Controls::buttonNames(Control control) const {
  std::vector<std::string> names;
  for (const int button : buttons[static_cast<int>(control)]) {
    names.emplace_back(
        SDL_GameControllerGetStringForButton(static_cast<SDL_GameControllerButton>(button)));
  }
  return names;
}

fs::path controlsPathBeside(const fs::path& settingsFile) {
  return settingsFile.parent_path() / "controls.json";
}

Controls loadControls(const fs::path& path) {
  if (path.empty()) return Controls::defaults();
  const fs::path database = path.parent_path() / "gamecontrollerdb.txt";
  std::error_code error;
  if (fs::is_regular_file(database, error) &&
      SDL_GameControllerAddMappingsFromFile(database.c_str()) < 0) {
    std::fprintf(stderr, "tidewick: %s: %s\n", database.c_str(), SDL_GetError());
  }

  Controls controls = Controls::defaults();
  if (!fs::exists(path, error)) {
    writeWhole(path, toJson(controls).dump(2) + "\n", "the controls");
    return controls;
  }
  std::ifstream in(path, std::ios::binary);
  std::string why;
  const nlohmann::json file = readJson(in, why);
  Controls read = Controls::defaults();
  const bool sound = file.is_object() &&
                     readSection(file, "keys", path, read.keys,
                                 [](const char* name) {
                                   const SDL_Keycode key = SDL_GetKeyFromName(name);
                                   return key == SDLK_UNKNOWN ? -1 : static_cast<int>(key);
                                 }) &&
                     readSection(file, "pad", path, read.buttons, [](const char* name) {
                       return static_cast<int>(SDL_GameControllerGetButtonFromString(name));
                     });
  if (!sound) {
    if (why.empty()) why = "does not list key and pad names under \"keys\" and \"pad\"";
    moveAside(path, why, "the controls are the defaults");
    return controls;
  }
  return read;
}

}  // namespace platform
