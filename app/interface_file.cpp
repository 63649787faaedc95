// Checking the interface file, and building the window and views from it.
#include "app/interface_file.h"

#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <set>

#include <nlohmann/json.hpp>

#include "app/saltmere_app_delegate.h"
#include "platform/graphics/image.h"
#include "platform/ui/button.h"
#include "platform/ui/image_view.h"

namespace {

// The delegate's members the file connects to views, by the names the file gives them. The GL
// view is connected by its class.
struct Outlet {
  const char* name;
  std::shared_ptr<platform::View> SaltmereAppDelegate::*view = nullptr;
  std::shared_ptr<platform::Label> SaltmereAppDelegate::*label = nullptr;
};

const Outlet kOutlets[] = {
    {"glView"},  // connected by its class
    {"mainMenuView", &SaltmereAppDelegate::mainMenuView},
    {"mainPlayButton", &SaltmereAppDelegate::mainPlayButton},
    {"mainAchievementButton", &SaltmereAppDelegate::mainAchievementButton},
    {"mainChallengeButton", &SaltmereAppDelegate::mainChallengeButton},
    {"mainSettingsButton", &SaltmereAppDelegate::mainSettingsButton},
    {"highScoreLabel", nullptr, &SaltmereAppDelegate::highScoreLabel},
    {"playMenuView", &SaltmereAppDelegate::playMenuView},
    {"playTutorialButton", &SaltmereAppDelegate::playTutorialButton},
    {"playPlayButton", &SaltmereAppDelegate::playPlayButton},
    {"playBackButton", &SaltmereAppDelegate::playBackButton},
    {"settingsMenuView", &SaltmereAppDelegate::settingsMenuView},
    {"settingsCreditsButton", &SaltmereAppDelegate::settingsCreditsButton},
    {"settingsBackButton", &SaltmereAppDelegate::settingsBackButton},
    {"creditsMenuView", &SaltmereAppDelegate::creditsMenuView},
    {"creditsBackButton", &SaltmereAppDelegate::creditsBackButton},
    {"achievementsMenuView", &SaltmereAppDelegate::achievementsMenuView},
    {"achievementsBackButton", &SaltmereAppDelegate::achievementsBackButton},
    {"tutorialMenuView", &SaltmereAppDelegate::tutorialMenuView},
    {"blackView", &SaltmereAppDelegate::blackView},
    {"gameOverLabel", nullptr, &SaltmereAppDelegate::gameOverLabel},
    {"gamePauseButton", &SaltmereAppDelegate::gamePauseButton},
    {"gamePlayButton", &SaltmereAppDelegate::gamePlayButton},
    {"achievementView", &SaltmereAppDelegate::achievementView},
    {"achievementStar", &SaltmereAppDelegate::achievementStar},
    {"achievementLabel", nullptr, &SaltmereAppDelegate::achievementLabel},
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
  for (const Outlet& outlet : kOutlets) {
    if (!names.count(outlet.name)) faults.push_back(std::string("no view is named ") + outlet.name);
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

namespace {

std::shared_ptr<platform::View> makeView(const nlohmann::json& description,
                                         SaltmereAppDelegate& delegate) {
  const std::string kind = description.value("class", "");
  const std::string image = description.value("image", "");
  if (kind == "GLView") {
    delegate.glView = MyEAGLView::initWithCoder(description);
    return delegate.glView;
  }
  std::shared_ptr<platform::View> view;
  if (kind == "ImageView") {
    view = std::make_shared<platform::ImageView>(platform::imageNamed(image));
  } else if (kind == "Button") {
    auto button = std::make_shared<platform::Button>();
    if (!image.empty()) button->setImage(platform::imageNamed(image));
    button->setTitle(description.value("title", ""));
    button->setAction(
        [&delegate](platform::Button& pressed) { delegate.buttonPressed(pressed.tag()); });
    view = button;
  } else if (kind == "Label") {
    view = std::make_shared<platform::Label>();
  } else {
    return nullptr;
  }
  return view->decode(description) ? view : nullptr;
}

}  // namespace

bool loadInterfaceFile(const std::filesystem::path& folder, SaltmereAppDelegate& delegate) {
  const std::filesystem::path path = folder / kInterfaceFile;
  std::ifstream in(path);
  const nlohmann::json file =
      in ? nlohmann::json::parse(in, nullptr, false) : nlohmann::json(nullptr);
  if (!file.is_object() || !file.value("views", nlohmann::json()).is_array()) {
    std::fprintf(stderr, "tidewick: the interface file %s cannot be read\n", path.c_str());
    return false;
  }
  delegate.window = std::make_shared<platform::Window>();
  for (const auto& description : file["views"]) {
    const std::string name = description.is_object() ? description.value("name", "") : "";
    const std::shared_ptr<platform::View> view = makeView(description, delegate);
    if (!view) {
      std::fprintf(stderr, "tidewick: the interface file's view %s cannot be made\n", name.c_str());
      continue;
    }
    delegate.window->addSubview(view);
    for (const Outlet& outlet : kOutlets) {
      if (name != outlet.name) continue;
      if (outlet.view) delegate.*outlet.view = view;
      if (outlet.label) delegate.*outlet.label = std::dynamic_pointer_cast<platform::Label>(view);
    }
  }
  return true;
}
