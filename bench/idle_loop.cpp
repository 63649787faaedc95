// How much CPU a windowed process takes while nothing is due: the GL view presents one frame,
// then the loop waits for 5 seconds of nothing. Run on X (Xvfb will do).
#include <sys/resource.h>

#include <cstdio>

#include <nlohmann/json.hpp>

#include "gl/my_eagl_view.h"
#include "platform/core/application.h"
#include "platform/core/run_loop.h"
#include "platform/input/application_main.h"
#include "platform/screen/display.h"

namespace {

constexpr double kSeconds = 5;

double cpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

class IdleApp : public platform::ApplicationDelegate {
 public:
  void applicationDidFinishLaunching(platform::Application&) override {
    window_ = std::make_shared<platform::Window>();
    view_ = MyEAGLView::initWithCoder({{"frame", {0, 0, 480, 320}}});
    platform::turnToLandscape(*view_);
    window_->addSubview(view_);
    window_->makeKeyAndVisible();
    platform::Renderer::shared().clear({0.2f, 0.5f, 0.7f, 1});
    view_->swapBuffers();
    // Let the first composite happen, then measure only the waiting.
    platform::RunLoop& loop = platform::RunLoop::current();
    start_ = loop.scheduleTimer(
        0.5,
        [this, &loop] {
          cpu_ = cpuSeconds();
          began_ = loop.now();
          end_ = loop.scheduleTimer(
              kSeconds, [this, &loop] { report(loop); }, false);
        },
        false);
  }

 private:
  void report(platform::RunLoop& loop) {
    const double cpu = cpuSeconds() - cpu_, wall = loop.now() - began_;
    std::printf("idle loop: %.3f s of CPU over %.2f s: %.2f%% of a core\n", cpu, wall,
                100 * cpu / wall);
    loop.stop();
  }

  std::shared_ptr<platform::Window> window_;
  std::shared_ptr<MyEAGLView> view_;
  std::shared_ptr<platform::Timer> start_, end_;
  double cpu_ = 0, began_ = 0;
};

}  // namespace

int main() {
  return platform::applicationMain([] { return std::make_unique<IdleApp>(); }, {.scale = 2}, {});
}
