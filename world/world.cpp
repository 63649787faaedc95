// The world's globals and its few shared helpers.
#include "world/world.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <numbers>

#include "platform/core/portable_math.h"
#include "platform/core/random.h"

Trash trash[kMaxTrash];
Baby babies[kNumBabies];
BeachBall beachBall;
Shark shark;
StepMemory stepMemory;

void resetWorldRecords() {
  std::fill(std::begin(trash), std::end(trash), Trash{});
  std::fill(std::begin(babies), std::end(babies), Baby{});
  beachBall = BeachBall{};
  shark = Shark{};
  stepMemory = StepMemory{};
}

float randomDraw() {
  constexpr float kScale = 1.0f / 2147483648.0f;  // 2^-31
  const float u = static_cast<float>(platform::gameRandom().next()) * kScale;
  return u < 1.0f ? u : std::nextafter(1.0f, 0.0f);
}

float sinDegrees(float degrees) {
  return platform::portable::sin(degrees / 180.0f * std::numbers::pi_v<float>);
}

float turned(float angle, float by) {
  angle += by;
  if (angle > 360) angle -= 360;
  if (angle < 0) angle += 360;
  return angle;
}

bool isOffSide(const platform::Rect& rect) {
  return rect.origin.x > kWorldWidth + rect.size.width || rect.origin.x < -rect.size.width;
}

bool isOffScreen(const platform::Rect& rect) {
  return rect.origin.y > kWorldHeight + rect.size.height || rect.origin.y < -rect.size.height ||
         isOffSide(rect);
}
