// Views and their layers: the rectangles of the screen, their geometry, visibility and touch
// handling. The compositor draws them; the desktop window shows the result.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "platform/core/geometry.h"
#include "platform/screen/touch.h"

namespace platform {

class ViewCanvas;

// What the compositor shows of a view: a texture of the GL share group stretched over the
// view's bounds. The texture coordinates are those of the bounds' top-left corner (s0, t0) and
// bottom-right corner (s1, t1). An opaque texture has no alpha: it hides whatever lies beneath.
struct LayerContents {
  unsigned texture = 0;
  float s0 = 0, t0 = 0, s1 = 1, t1 = 1;
  bool opaque = false;
};

class Layer {
 public:
  virtual ~Layer() = default;

  Rect bounds() const { return bounds_; }
  void setBounds(Rect bounds);
  const LayerContents& contents() const { return contents_; }
  void setContents(const LayerContents& contents);
  // Asked by the compositor, with its target's drawing state current, before it shows the
  // contents. A layer that keeps its picture as drawing may draw it straight into the target
  // where it covers the target whole, and answers true: the contents are then not shown.
  virtual bool composite(bool coversTarget) {
    (void)coversTarget;
    return false;
  }

  // Bumps on every change that shows on screen, so the compositor redraws only when needed.
  static uint64_t screenRevision();
  static void screenChanged();

 private:
  Rect bounds_;
  LayerContents contents_;
};

// How the interface file describes one view: its properties by name ("frame": [x, y, w, h],
// "hidden", "alpha", "tag", "userInteractionEnabled").
using Coder = nlohmann::json;

class View {
 public:
  View();
  explicit View(std::unique_ptr<Layer> layer);
  virtual ~View();
  // How many views are alive: a measure of views leaked.
  static long liveCount();
  View(const View&) = delete;
  View& operator=(const View&) = delete;

  // Takes the properties the interface file gives; false when they are malformed.
  bool decode(const Coder& coder);

  Layer& layer() { return *layer_; }
  const Layer& layer() const { return *layer_; }

  Rect bounds() const { return layer_->bounds(); }
  void setBounds(Rect bounds);
  Point center() const { return center_; }
  void setCenter(Point center);
  AffineTransform transform() const { return transform_; }
  void setTransform(const AffineTransform& transform);
  // The bounds' size placed at the centre, as seen with an identity transform.
  Rect frame() const;
  void setFrame(Rect frame);

  bool isHidden() const { return hidden_; }
  void setHidden(bool hidden);
  // During an alpha animation, the value it has reached now on the run loop's clock.
  float alpha() const;
  // Ends a running alpha animation at the new value.
  void setAlpha(float alpha);
  int tag() const { return tag_; }
  void setTag(int tag) { tag_ = tag; }
  // Subviews outside the bounds are cut off (the view's own picture always fits them).
  bool clipsToBounds() const { return clipsToBounds_; }
  void setClipsToBounds(bool clips) { clipsToBounds_ = clips; }
  // The mouse wheel turned over this view by `lines` (positive: towards the user); unless a
  // view takes it, it goes to the superview.
  virtual void scrollWheel(float lines);
  bool isUserInteractionEnabled() const { return userInteractionEnabled_; }
  void setUserInteractionEnabled(bool enabled) { userInteractionEnabled_ = enabled; }

  View* superview() const { return superview_; }
  const std::vector<std::shared_ptr<View>>& subviews() const { return subviews_; }
  void addSubview(std::shared_ptr<View> view);
  // This view or the first of its descendants with the tag, depth first; null when none.
  View* viewWithTag(int tag);
  void removeFromSuperview();

  // Layout runs late, once per change, like the platform's layout pass.
  void setNeedsLayout() { needsLayout_ = true; }
  // This view and every view under it.
  void setNeedsLayoutEverywhere();
  // Lays out this view (when marked) and then its subviews.
  void layoutIfNeeded();
  virtual void layoutSubviews() {}

  virtual void touchesBegan(const TouchSet&, const Event&) {}
  virtual void touchesMoved(const TouchSet&, const Event&) {}
  virtual void touchesEnded(const TouchSet&, const Event&) {}
  virtual void touchesCancelled(const TouchSet&, const Event&) {}

  // Views that draw their own contents (pictures, text, buttons) say so; the compositor draws
  // them into their layer again when they are marked, or when the screen's scale changes.
  virtual bool drawsContents() const { return false; }
  virtual void drawContents(ViewCanvas&) const {}
  void setNeedsDisplay();
  // For the compositor: whether the contents must be drawn again at `scale`, and that they were.
  bool needsDisplayAt(float scale) const { return needsDisplay_ || drawnScale_ != scale; }
  void displayed(float scale) {
    needsDisplay_ = false;
    drawnScale_ = scale;
  }
  // The texture the drawn contents went into, and its size in pixels; the view deletes it.
  unsigned contentsTexture() const { return contentsTexture_; }
  void setContentsTexture(unsigned texture) { contentsTexture_ = texture; }

  // From this view's bounds coordinates to the root view's coordinates.
  AffineTransform transformToRoot() const;
  // The deepest visible, touchable view under a point of the root's coordinates.
  View* hitTest(Point rootPoint);
  // The view a touch beginning at `rootPoint` goes to. A fingertip is broad: where it lands on
  // no control, a control narrower or lower than `reach` points that lies within reach takes
  // it, as far as its bounds grown about their centre to that size; of several, the nearest.
  // So every control answers at least `reach` points across, and no point answers to two.
  View* touchedView(Point rootPoint, float reach);
  // Buttons, sliders and lists: what a fingertip aims at.
  virtual bool isControl() const { return false; }

 private:
  std::unique_ptr<Layer> layer_;
  Point center_;
  AffineTransform transform_;
  bool hidden_ = false;
  float alpha_ = 1;
  int tag_ = 0;
  bool userInteractionEnabled_ = true;
  bool clipsToBounds_ = false;
  bool needsLayout_ = false;
  friend class AlphaAnimation;
  struct AlphaRamp {
    float from, to;
    double start, duration;
    uint64_t animation;  // which fade it belongs to
  };
  std::optional<AlphaRamp> alphaRamp_;
  bool needsDisplay_ = true;
  float drawnScale_ = 0;
  unsigned contentsTexture_ = 0;
  View* superview_ = nullptr;
  std::vector<std::shared_ptr<View>> subviews_;

  // Whether it can be touched at all: shown, not faded out, taking touches.
  bool isTouchable() const;
  // The nearest control within `reach` of `rootPoint` in this view's tree, at most `nearest`
  // points from its bounds; later views (on top) win ties.
  void nearestControl(Point rootPoint, float reach, View*& found, float& nearest);
};

// The root of the view tree: the phone's portrait screen of 320 x 480 points.
class Window : public View {
 public:
  static constexpr Size kScreenSize{320, 480};
  Window();
  ~Window() override;
  // The window the compositor shows and touches go to.
  void makeKeyAndVisible();
  static Window* keyWindow();
};

}  // namespace platform
