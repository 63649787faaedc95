// The achievements screen's table: one row per achievement, its star lit once it is earned.
#include "app/achievements.h"
#include "app/saltmere_app_delegate.h"
#include "platform/core/user_defaults.h"
#include "platform/ui/image_view.h"

namespace {

constexpr const char* kCellIdentifier = "MyIdent";
constexpr int kStarTag = 1, kNameTag = 2;
constexpr int kRows = 12;
constexpr float kEarnedAlpha = 1.0f, kUnearnedAlpha = 0.2f;

}  // namespace

void SaltmereAppDelegate::makeTableView() {
  achievementTable = std::make_shared<platform::TableView>();
  achievementTable->setFrame({{280, 0}, {200, 320}});
  achievementTable->setDataSource(this);
  achievementTable->setDelegate(this);
  achievementTable->setRowHeight(42);
  if (achievementsMenuView) {
    achievementsMenuView->setUserInteractionEnabled(true);
    achievementsMenuView->addSubview(achievementTable);
  }
}

int SaltmereAppDelegate::numberOfRowsInSection(platform::TableView&, int) {
  return kRows;
}

std::shared_ptr<platform::TableViewCell> SaltmereAppDelegate::cellForRowAtIndexPath(
    platform::TableView& table, platform::IndexPath path) {
  std::shared_ptr<platform::TableViewCell> cell = table.dequeueReusableCell(kCellIdentifier);
  if (!cell) cell = tableviewCellWithReuseIdentifier(kCellIdentifier);
  configureCell(*cell, path);
  return cell;
}

void SaltmereAppDelegate::didSelectRowAtIndexPath(platform::TableView& table,
                                                  platform::IndexPath path) {
  table.deselectRow(path, true);
}

std::shared_ptr<platform::TableViewCell> SaltmereAppDelegate::tableviewCellWithReuseIdentifier(
    const std::string& identifier) {
  auto cell = std::make_shared<platform::TableViewCell>(identifier);
  cell->setFrame({{0, 0}, {170, 40}});
  auto star = std::make_shared<platform::ImageView>();
  star->setFrame({{5, 5}, {30, 30}});
  star->setTag(kStarTag);
  cell->addSubview(star);
  auto name = std::make_shared<platform::Label>();
  name->setFrame({{45, 0}, {125, 40}});
  name->setTag(kNameTag);
  name->setFont("Marker Felt", 24);
  name->setAdjustsFontSizeToFitWidth(true);
  name->setHighlightedTextColor(platform::Color::white());
  cell->addSubview(name);
  return cell;
}

// The stored set is read afresh, so the table always shows what is earned.
void SaltmereAppDelegate::configureCell(platform::TableViewCell& cell, platform::IndexPath path) {
  const long earned = platform::UserDefaults::standard().integerForKey(kAchievementsKey);
  if (auto* star = dynamic_cast<platform::ImageView*>(cell.viewWithTag(kStarTag))) {
    star->setImage(imageStar1);
    const bool lit = path.row >= 0 && path.row < 32 && (earned & (1L << path.row));
    star->setAlpha(lit ? kEarnedAlpha : kUnearnedAlpha);
  }
  if (auto* name = dynamic_cast<platform::Label*>(cell.viewWithTag(kNameTag))) {
    name->setText(achievementName(path.row));
  }
}
