// When the scene's pictures are made. Classic: one picture a simulated frame, drawn as the frame
// ends, as the phone did. Smooth: the frames are kept and pictures are made at the screen's
// refresh rate, each placed between the last two frames by the time of its present; nothing of
// the world is touched by them.
#pragma once

#include <functional>
#include <memory>
#include <optional>

#include "gl/scene_frame.h"
#include "platform/core/run_loop.h"

enum class Pacing { Classic, Smooth };

// Which refreshes get a smooth picture. A machine that cannot paint one every refresh falls
// behind and would drop pictures unevenly, a stutter; told by how late the refreshes come, the
// rate steps down to every second refresh, evenly, and back up once pictures are measured to
// take well under a refresh. A loop on a virtual clock is never late and never steps down. A loop
// the refreshes themselves turn (the page) needs none of this: the browser gives a refresh only
// when the last one has been painted, and every one gets its picture.
class PictureRate {
 public:
  // Refreshes are judged in windows of this many.
  static constexpr int kWindow = 60;

  // A refresh `lag` seconds late, refreshes coming every `interval`: whether it gets a picture.
  bool refresh(double lag, double interval);
  // The picture the last refresh got took `seconds` to paint and present.
  void painted(double seconds, double interval);
  // 1: every refresh has a picture; 2: every second one.
  int refreshesPerPicture() const { return stride_; }

 private:
  int stride_ = 1;
  long refreshes_ = 0;
  int late_ = 0, painted_ = 0, slow_ = 0;  // in the current window
};

class ScenePresenter {
 public:
  // Paints one picture whole (background, sprites) and presents it.
  std::function<void(const std::vector<SceneSprite>&)> paint;
  // Whether the screen shows anything: no pictures are made for a hidden or minimised window
  // (nor while a watcher skips through a game).
  std::function<bool()> showing = [] { return true; };

  Pacing pacing() const { return pacing_; }
  // Smooth pictures come `refreshRate` times a second.
  void setPacing(Pacing pacing, double refreshRate);

  // The frames start or stop coming (the frame timer's start and stop). Smooth pictures are made
  // only in between, from frames simulated since the start.
  void start();
  void stop();
  bool isRunning() const { return link_ != nullptr; }

  // A simulated frame's picture: painted at once (classic) or kept for the next presents.
  void simulated(SceneFrame frame);
  // The picture for a present at `time`; nothing when it would show what is already shown.
  void present(double time);
  // Paints again what was shown last, as it was (a rebuilt surface needs it), or the latest frame
  // made while the screen showed nothing.
  void repaint();

  // How many pictures were painted, and where between its frames the last smooth one was.
  long pictures() const { return pictures_; }
  float lastFraction() const { return lastFraction_; }

 private:
  void show(const std::vector<SceneSprite>& sprites);

  Pacing pacing_ = Pacing::Classic;
  PictureRate rate_;
  double refreshRate_ = 60;
  std::shared_ptr<platform::Timer> link_;
  std::optional<SceneFrame> previous_, current_;
  bool currentShownWhole_ = false;  // the current frame has been shown at fraction 1
  float lastFraction_ = -1;
  long pictures_ = 0;
  std::vector<SceneSprite> lastShown_;
};
