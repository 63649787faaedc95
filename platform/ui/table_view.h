// A grouped table view: rows of cells from a data source, one section, rows of a set height.
// It scrolls by drag and by the mouse wheel, keeps cells for reuse, and tells its delegate when
// a row is tapped. The keys' and a pad's focus goes down its rows one by one.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/ui/control_view.h"

namespace platform {

struct IndexPath {
  int section = 0, row = 0;
};

// A row's view. What it shows is its subviews; it is drawn as a card, lit while selected and
// edged in the accent while the focus is on it.
class TableViewCell : public View {
 public:
  explicit TableViewCell(std::string reuseIdentifier);
  const std::string& reuseIdentifier() const { return reuseIdentifier_; }
  bool isSelected() const { return selected_; }
  void setSelected(bool selected);
  bool isFocused() const { return focused_; }
  void setFocused(bool focused);

  bool drawsContents() const override { return true; }
  void drawContents(ViewCanvas& canvas) const override;

 private:
  std::string reuseIdentifier_;
  bool selected_ = false;
  bool focused_ = false;
};

class TableView;

class TableViewDataSource {
 public:
  virtual ~TableViewDataSource() = default;
  virtual int numberOfRowsInSection(TableView& table, int section) = 0;
  virtual std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView& table,
                                                               IndexPath path) = 0;
};

class TableViewDelegate {
 public:
  virtual ~TableViewDelegate() = default;
  virtual void didSelectRowAtIndexPath(TableView& table, IndexPath path) = 0;
};

class TableView : public ControlView {
 public:
  TableView();
  void setDataSource(TableViewDataSource* source) { dataSource_ = source; }
  void setDelegate(TableViewDelegate* delegate) { delegate_ = delegate; }
  float rowHeight() const { return rowHeight_; }
  void setRowHeight(float height);

  // Asks the data source for every row again; the cells shown go back to the reuse pool first.
  void reloadData();
  std::shared_ptr<TableViewCell> dequeueReusableCell(const std::string& identifier);
  int numberOfRows() const { return static_cast<int>(cells_.size()); }
  TableViewCell* cellForRow(int row) const;
  // Scrolls as little as needed for the rectangle (in content coordinates) to show.
  void scrollRectToVisible(Rect rect, bool animated);
  float contentOffset() const { return offset_; }
  void deselectRow(IndexPath path, bool animated);
  // The row the focus is on; -1 when it is elsewhere.
  int focusedRow() const { return focusedRow_; }

  // The focus arrives on the first row going down and on the last going up, moves a row a step
  // with the rows scrolled to show it, and leaves past either end. A press selects its row as a
  // tap does.
  bool stepWithin(int step, bool arriving) override;
  Steps steps() const override { return Steps::UpDown; }
  void pressFocus() override;

  void touchesBegan(const TouchSet& touches, const Event& event) override;
  void touchesMoved(const TouchSet& touches, const Event& event) override;
  void touchesEnded(const TouchSet& touches, const Event& event) override;
  void scrollWheel(float lines) override;

 private:
  void setOffset(float offset);
  void layoutCells();
  float contentHeight() const;
  void focusRow(int row);
  void selectRow(int row);
  void focusChanged() override;

  TableViewDataSource* dataSource_ = nullptr;
  TableViewDelegate* delegate_ = nullptr;
  float rowHeight_ = 44;
  float offset_ = 0;
  int focusedRow_ = -1;
  std::vector<std::shared_ptr<TableViewCell>> cells_;
  std::vector<std::shared_ptr<TableViewCell>> reusable_;
  // The touch in flight: where it began, and the offset then; whether it has dragged.
  float touchStartY_ = 0, offsetAtTouch_ = 0;
  bool dragged_ = false;
};

// The keyboard's page keys scroll every table on screen.
void scrollVisibleTables(View& root, float lines);

}  // namespace platform
