// A label: a view that shows a text in a font and a colour, aligned in its bounds and centred
// on them vertically, on as many lines as it is allowed (0: as many as the text needs).
#pragma once

#include <string>

#include "platform/graphics/color.h"
#include "platform/graphics/text.h"
#include "platform/screen/view.h"

namespace platform {

class Label : public View {
 public:
  Label() { setUserInteractionEnabled(false); }
  const std::string& text() const { return text_; }
  void setText(std::string text);
  const std::string& fontName() const { return fontName_; }
  float fontSize() const { return fontSize_; }
  void setFont(std::string name, float size);
  Color textColor() const { return textColor_; }
  void setTextColor(Color color);
  TextAlignment textAlignment() const { return alignment_; }
  void setTextAlignment(TextAlignment alignment);
  int numberOfLines() const { return lines_; }
  void setNumberOfLines(int lines);
  // A single line shrinks its font to fit the width when asked.
  void setAdjustsFontSizeToFitWidth(bool adjusts);
  // While highlighted (its table row selected), the text takes the highlighted colour.
  void setHighlightedTextColor(Color color);
  void setHighlighted(bool highlighted);

  bool drawsContents() const override { return !text_.empty(); }
  void drawContents(ViewCanvas& canvas) const override;

 private:
  std::string text_;
  std::string fontName_ = "Helvetica";
  float fontSize_ = 17;
  Color textColor_ = Color::black();
  TextAlignment alignment_ = TextAlignment::Left;
  int lines_ = 1;
  bool adjustsToFit_ = false;
  Color highlightedColor_ = Color::white();
  bool highlighted_ = false;
};

}  // namespace platform
