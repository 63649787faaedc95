// A button: a picture with a title over it, pressed in while a touch holds it, sending its
// action when a touch that began on it ends on it.
#pragma once

#include <functional>
#include <string>

#include "platform/graphics/image.h"
#include "platform/ui/control_view.h"
#include "platform/ui/label.h"

namespace platform {

class Button : public ControlView {
 public:
  void setImage(ScaledImage image);
  const std::string& title() const { return title_; }
  void setTitle(std::string title);
  void setTitleFont(std::string name, float size);
  void setTitleColor(Color color);
  // Sent on a touch up inside.
  void setAction(std::function<void(Button&)> action) { action_ = std::move(action); }
  void sendAction();
  bool isHighlighted() const { return highlighted_; }
  // The focus on it shows in its title's colour; pressing it sends the action.
  void pressFocus() override { sendAction(); }

  bool drawsContents() const override { return image_ || !title_.empty(); }
  void drawContents(ViewCanvas& canvas) const override;

  void touchesBegan(const TouchSet& touches, const Event& event) override;
  void touchesMoved(const TouchSet& touches, const Event& event) override;
  void touchesEnded(const TouchSet& touches, const Event& event) override;
  void touchesCancelled(const TouchSet& touches, const Event& event) override;

 private:
  bool isInside(const TouchSet& touches) const;
  void setHighlighted(bool highlighted);

  ScaledImage image_;
  std::string title_;
  std::string fontName_ = "Helvetica";
  float fontSize_ = 15;
  Color titleColor_ = Color::white();
  std::function<void(Button&)> action_;
  bool highlighted_ = false;
};

}  // namespace platform
