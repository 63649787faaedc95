// Table views: cells laid out a row height apart from the content offset, clipped to the
// table's bounds.
#include "platform/ui/table_view.h"

#include <algorithm>
#include <cmath>

#include "platform/core/run_loop.h"
#include "platform/graphics/view_canvas.h"
#include "platform/ui/label.h"

namespace platform {

namespace {

constexpr float kGroupInset = 10;     // a grouped table's cards keep this far from its sides
constexpr float kRowGap = 2;          // between two cards
constexpr float kDragStart = 6;       // points a touch moves before it scrolls instead of tapping
constexpr float kWheelLines = 0.75f;  // rows a wheel notch scrolls
constexpr double kDeselectDelay = 0.25;
constexpr Color kCard = {1.0f, 0.957f, 0.863f, 1};  // paper
constexpr Color kSelectedCard = kFocusColor;
constexpr float kFocusEdge = 3;  // points of accent round the focused row's card

}  // namespace

TableViewCell::TableViewCell(std::string reuseIdentifier)
    : reuseIdentifier_(std::move(reuseIdentifier)) {
  setUserInteractionEnabled(false);  // the table takes its rows' touches
}

void TableViewCell::setSelected(bool selected) {
  if (selected == selected_) return;
  selected_ = selected;
  for (const auto& subview : subviews()) {
    if (auto* label = dynamic_cast<Label*>(subview.get())) label->setHighlighted(selected);
  }
  setNeedsDisplay();
}

void TableViewCell::setFocused(bool focused) {
  if (focused == focused_) return;
  focused_ = focused;
  setNeedsDisplay();
}

void TableViewCell::drawContents(ViewCanvas& canvas) const {
  const Rect card{{0, 0}, canvas.size()};
  if (selected_ || !focused_) {
    canvas.fill(card, selected_ ? kSelectedCard : kCard);
    return;
  }
  canvas.fill(card, kFocusColor);
  canvas.fill({{kFocusEdge, kFocusEdge},
               {card.size.width - 2 * kFocusEdge, card.size.height - 2 * kFocusEdge}},
              kCard);
}

TableView::TableView() {
  setClipsToBounds(true);
}

void TableView::setRowHeight(float height) {
  rowHeight_ = height;
  layoutCells();
}

void TableView::reloadData() {
  for (auto& cell : cells_) {
    cell->removeFromSuperview();
    cell->setSelected(false);
    cell->setFocused(false);
    reusable_.push_back(std::move(cell));
  }
  cells_.clear();
  const int focused = focusedRow_;
  focusedRow_ = -1;
  if (!dataSource_) return;
  const int rows = std::max(0, dataSource_->numberOfRowsInSection(*this, 0));
  for (int row = 0; row < rows; ++row) {
    std::shared_ptr<TableViewCell> cell = dataSource_->cellForRowAtIndexPath(*this, {0, row});
    if (!cell) cell = std::make_shared<TableViewCell>("");
    addSubview(cell);
    cells_.push_back(std::move(cell));
  }
  setOffset(offset_);
  layoutCells();
  if (isFocused()) focusRow(std::min(focused, numberOfRows() - 1));
}

std::shared_ptr<TableViewCell> TableView::dequeueReusableCell(const std::string& identifier) {
  const auto found = std::find_if(
      reusable_.begin(), reusable_.end(),
      [&identifier](const auto& cell) { return cell->reuseIdentifier() == identifier; });
  if (found == reusable_.end()) return nullptr;
  std::shared_ptr<TableViewCell> cell = std::move(*found);
  reusable_.erase(found);
  return cell;
}

TableViewCell* TableView::cellForRow(int row) const {
  return row >= 0 && row < numberOfRows() ? cells_[static_cast<size_t>(row)].get() : nullptr;
}

float TableView::contentHeight() const {
  return rowHeight_ * static_cast<float>(cells_.size());
}

void TableView::setOffset(float offset) {
  const float most = std::max(0.0f, contentHeight() - bounds().size.height);
  offset_ = std::clamp(offset, 0.0f, most);
  layoutCells();
}

void TableView::layoutCells() {
  const Rect b = bounds();
  for (size_t row = 0; row < cells_.size(); ++row) {
    cells_[row]->setFrame(
        {{b.origin.x + kGroupInset,
          b.origin.y + rowHeight_ * static_cast<float>(row) - offset_ + kRowGap / 2},
         {b.size.width - 2 * kGroupInset, rowHeight_ - kRowGap}});
  }
  Layer::screenChanged();
}

void TableView::scrollRectToVisible(Rect rect, bool) {
  const float height = bounds().size.height;
  if (rect.origin.y < offset_) {
    setOffset(rect.origin.y);
  } else if (rect.origin.y + rect.size.height > offset_ + height) {
    setOffset(rect.origin.y + rect.size.height - height);
  }
}

// Animated, the row stays lit a moment before it lets go, on the run loop's clock.
void TableView::deselectRow(IndexPath path, bool animated) {
  TableViewCell* cell = cellForRow(path.row);
  if (!cell) return;
  if (!animated || !RunLoop::exists()) {
    cell->setSelected(false);
    return;
  }
  std::weak_ptr<TableViewCell> row = cells_[static_cast<size_t>(path.row)];
  RunLoop::current().scheduleTimer(
      kDeselectDelay,
      [row] {
        if (const auto cell = row.lock()) cell->setSelected(false);
      },
      false);
}

void TableView::focusRow(int row) {
  if (TableViewCell* cell = cellForRow(focusedRow_)) cell->setFocused(false);
  focusedRow_ = cellForRow(row) ? row : -1;
  if (TableViewCell* cell = cellForRow(focusedRow_)) {
    cell->setFocused(true);
    scrollRectToVisible({{0, rowHeight_ * static_cast<float>(row)}, {1, rowHeight_}}, false);
  }
}

bool TableView::stepWithin(int step, bool arriving) {
  const int row = arriving ? (step > 0 ? 0 : numberOfRows() - 1) : focusedRow_ + step;
  if (!cellForRow(row)) return false;
  focusRow(row);
  return true;
}

void TableView::focusChanged() {
  if (!isFocused()) focusRow(-1);
}

void TableView::pressFocus() {
  selectRow(focusedRow_);
}

void TableView::selectRow(int row) {
  TableViewCell* cell = cellForRow(row);
  if (!cell) return;
  cell->setSelected(true);
  if (delegate_) delegate_->didSelectRowAtIndexPath(*this, {0, row});
}

void TableView::touchesBegan(const TouchSet& touches, const Event&) {
  if (touches.empty()) return;
  touchStartY_ = touches.front()->locationInView(this).y;
  offsetAtTouch_ = offset_;
  dragged_ = false;
}

void TableView::touchesMoved(const TouchSet& touches, const Event&) {
  if (touches.empty()) return;
  const float moved = touches.front()->locationInView(this).y - touchStartY_;
  dragged_ = dragged_ || std::fabs(moved) > kDragStart;
  if (dragged_) setOffset(offsetAtTouch_ - moved);
}

void TableView::touchesEnded(const TouchSet& touches, const Event& event) {
  touchesMoved(touches, event);
  if (dragged_ || touches.empty()) return;
  // A tap selects the row under it.
  const Point at = touches.front()->locationInView(this);
  const int row = static_cast<int>(std::floor((at.y - bounds().origin.y + offset_) / rowHeight_));
  if (bounds().contains(at)) selectRow(row);
}

void TableView::scrollWheel(float lines) {
  setOffset(offset_ + lines * kWheelLines * rowHeight_);
}

}  // namespace platform

namespace platform {

void scrollVisibleTables(View& view, float lines) {
  if (view.isHidden()) return;
  if (auto* table = dynamic_cast<TableView*>(&view)) table->scrollWheel(lines);
  for (const auto& subview : view.subviews()) scrollVisibleTables(*subview, lines);
}

}  // namespace platform
