// Checking the interface file. The loader that builds the views from it is the shell's.
#include "app/interface_file.h"

#include <fstream>
#include <map>
#include <set>

#include <nlohmann/json.hpp>

namespace {

// The delegate's members that the file connects to views.
constexpr const char* kOutlets[] = {
    "glView",
    "mainMenuView",
    "mainPlayButton",
    "mainAchievementButton",
    "mainChallengeButton",
    "mainSettingsButton",
    "highScoreLabel",
    "playMenuView",
    "playTutorialButton",
    "playPlayButton",
    "playBackButton",
    "settingsMenuView",
    "settingsCreditsButton",
    "settingsBackButton",
    "creditsMenuView",
    "creditsBackButton",
    "achievementsMenuView",
    "achievementsBackButton",
    "tutorialMenuView",
    "blackView",
    "gameOverLabel",
    "gamePauseButton",
    "gamePlayButton",
    "achievementView",
    "achievementStar",
    "achievementLabel",
};

const std::set<std::string> kClasses = {"GLView", "ImageView", "Button", "Label"};
constexpr int kFirstTag = 1, kLastTag = 13;

bool isFrame(const nlohmann::json& frame) {
  if (!frame.is_array() || frame.size() != 4) return false;
  for (const auto& number : frame) {
    if (!number.is_number()) return false;
  }
  return true;
}

}  // namespace

std::vector<std::string> checkInterfaceFile(const std::filesystem::path& folder) {
  const std::filesystem::path path = folder / kInterfaceFile;
  std::vector<std::string> faults;
  std::ifstream in(path);
  if (!in) return {"cannot read " + path.string()};
  const nlohmann::json file = nlohmann::json::parse(in, nullptr, false);
  if (file.is_discarded() || !file.is_object()) return {path.string() + " is not a JSON object"};
  if (!file.contains("window") || !isFrame(file["window"].value("frame", nlohmann::json()))) {
    faults.push_back("the window has no frame");
  }
  const nlohmann::json views = file.value("views", nlohmann::json());
  if (!views.is_array()) return {path.string() + " has no list of views"};

  std::set<std::string> names;
  std::map<int, int> tags;  // tag -> how many buttons carry it
  for (const auto& view : views) {
    const std::string name = view.is_object() ? view.value("name", "") : "";
    if (name.empty()) {
      faults.push_back("a view has no name");
      continue;
    }
    if (!names.insert(name).second) faults.push_back(name + " appears twice");
    if (!kClasses.count(view.value("class", ""))) {
      faults.push_back(name + " has no known class");
    }
    if (!isFrame(view.value("frame", nlohmann::json()))) faults.push_back(name + " has no frame");
    if (view.contains("image")) {
      const std::string image = view["image"].is_string() ? view["image"].get<std::string>() : "";
      std::error_code error;
      if (image.empty() || !std::filesystem::is_regular_file(folder / image, error)) {
        faults.push_back(name + " shows " + (image.empty() ? "no image" : image) +
                         ", which the bundle does not have");
      }
    }
    if (view.value("class", "") == "Button") {
      const nlohmann::json tag = view.value("tag", nlohmann::json());
      if (tag.is_number_integer())
        ++tags[tag.get<int>()];
      else
        faults.push_back(name + " has no tag");
    }
  }
  for (const char* outlet : kOutlets) {
    if (!names.count(outlet)) faults.push_back(std::string("no view is named ") + outlet);
  }
  for (int tag = kFirstTag; tag <= kLastTag; ++tag) {
    const int count = tags.count(tag) ? tags[tag] : 0;
    if (count != 1) {
      faults.push_back("tag " + std::to_string(tag) + " is on " + std::to_string(count) +
                       " buttons");
    }
  }
  for (const auto& [tag, count] : tags) {
    if (tag < kFirstTag || tag > kLastTag) {
      faults.push_back("tag " + std::to_string(tag) + " is not a tag of the game");
    }
  }
  return faults;
}
