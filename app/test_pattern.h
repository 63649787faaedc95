// Until the game moves in, the window shows a test pattern drawn through the GL view: corner
// marks that tell which way is up, a tilt bar, and a mark where each touch ended.
#pragma once

#include <memory>
#include <vector>

#include "platform/accelerometer.h"
#include "platform/application.h"
#include "render/my_eagl_view.h"

class TestPattern final : public platform::ApplicationDelegate,
                          public platform::AccelerometerDelegate,
                          public TapHandler {
 public:
  ~TestPattern() override;
  void applicationDidFinishLaunching(platform::Application& application) override;
  void accelerometer(platform::Accelerometer&, const platform::Acceleration& acceleration) override;
  void handleTap(const platform::TouchSet& touches) override;

  MyEAGLView* glView() const { return glView_.get(); }

 private:
  void draw();

  std::shared_ptr<platform::Window> window_;
  std::shared_ptr<MyEAGLView> glView_;
  double tilt_ = 0;
  std::vector<platform::Point> taps_;  // in GL coordinates
};
