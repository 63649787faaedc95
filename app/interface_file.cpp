// Checking the interface file, and building the window and views from it.
#include "app/interface_file.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <set>

#include <nlohmann/json.hpp>

#include "app/saltmere_app_delegate.h"
#include "platform/core/bundle.h"
#include "platform/core/geometry.h"
#include "platform/core/json_reading.h"
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

// The file is read as it comes: a property of the wrong JSON type reads as absent, never throws.
const nlohmann::json& field(const nlohmann::json& object, const char* key) {
  static const nlohmann::json kAbsent;
  if (!object.is_object()) return kAbsent;
  const auto found = object.find(key);
  return found == object.end() ? kAbsent : *found;
}

// A text property, or "" where there is none or it is not a text.
std::string text(const nlohmann::json& object, const char* key) {
  const nlohmann::json& value = field(object, key);
  return value.is_string() ? value.get<std::string>() : std::string();
}

bool isFrame(const nlohmann::json& frame) {
  if (!frame.is_array() || frame.size() != 4) return false;
  for (const auto& number : frame) {
    if (!number.is_number() || !(std::fabs(number.get<double>()) <= platform::kMaxFileCoordinate))
      return false;
  }
  return true;
}

// The file as a JSON object, or a discarded value after saying why in `fault`.
nlohmann::json readInterfaceFile(const std::filesystem::path& path, std::string& fault) {
  std::ifstream in(path);
  if (!in) {
    fault = path.string() + " cannot be read";
    return nlohmann::json(nlohmann::json::value_t::discarded);
  }
  std::string error;
  nlohmann::json file = platform::readJson(in, error);
  if (!file.is_discarded() && !file.is_object()) error = "is not a JSON object";
  if (!error.empty()) {
    fault = path.string() + " " + error;
    return nlohmann::json(nlohmann::json::value_t::discarded);
  }
  return file;
}

}  // namespace

std::vector<std::string> checkInterfaceFile(const std::filesystem::path& folder) {
  const std::filesystem::path path = folder / kInterfaceFile;
  std::vector<std::string> faults;
  std::string unreadable;
  const nlohmann::json file = readInterfaceFile(path, unreadable);
  if (file.is_discarded()) return {unreadable};
  if (!isFrame(field(field(file, "window"), "frame"))) faults.push_back("the window has no frame");
  const nlohmann::json& views = field(file, "views");
  if (!views.is_array()) return {path.string() + " has no list of views"};

  std::set<std::string> names;
  std::map<int, int> tags;  // tag -> how many buttons carry it
  for (const auto& view : views) {
    const std::string name = text(view, "name");
    if (name.empty()) {
      faults.push_back("a view has no name");
      continue;
    }
    if (!names.insert(name).second) faults.push_back(name + " appears twice");
    const std::string kind = text(view, "class");
    if (!kClasses.count(kind)) faults.push_back(name + " has no known class");
    if (!isFrame(field(view, "frame"))) faults.push_back(name + " has no frame");
    if (view.contains("image")) {
      const std::string image = text(view, "image");
      std::error_code error;
      if (!platform::isResourceName(image)) {
        faults.push_back(name + " shows " + (image.empty() ? "no image" : image) +
                         ", which is not the name of an image in the bundle");
      } else if (!std::filesystem::is_regular_file(folder / image, error)) {
        faults.push_back(name + " shows " + image + ", which the bundle does not have");
      }
    }
    if (view.contains("title") && !field(view, "title").is_string()) {
      faults.push_back(name + " has a title that is not a text");
    }
    if (kind == "Button") {
      const nlohmann::json& tag = field(view, "tag");
      if (tag.is_number_integer() && tag.get<int64_t>() >= kFirstTag &&
          tag.get<int64_t>() <= kLastTag) {
        ++tags[tag.get<int>()];
      } else if (tag.is_number_integer()) {
        faults.push_back("tag " + tag.dump() + " is not a tag of the game");
      } else {
        faults.push_back(name + " has no tag");
      }
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
  return faults;
}

namespace {

std::shared_ptr<platform::View> makeView(const nlohmann::json& description,
                                         SaltmereAppDelegate& delegate) {
  const std::string kind = text(description, "class");
  const std::string image = text(description, "image");
  if (kind == "GLView") {
    delegate.glView = MyEAGLView::initWithCoder(description);
    return delegate.glView;
  }
  std::shared_ptr<platform::View> view;
  if (kind == "ImageView") {
    view = std::make_shared<platform::ImageView>(platform::ScaledImage::named(image));
  } else if (kind == "Button") {
    auto button = std::make_shared<platform::Button>();
    if (!image.empty()) button->setImage(platform::ScaledImage::named(image));
    button->setTitle(text(description, "title"));
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
  std::string unreadable;
  const nlohmann::json file = readInterfaceFile(path, unreadable);
  if (file.is_discarded()) {
    std::fprintf(stderr, "tidewick: the interface file %s\n", unreadable.c_str());
    return false;
  }
  if (!field(file, "views").is_array()) {
    std::fprintf(stderr, "tidewick: the interface file %s has no list of views\n", path.c_str());
    return false;
  }
  delegate.window = std::make_shared<platform::Window>();
  for (const auto& description : file["views"]) {
    const std::string name = text(description, "name");
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
