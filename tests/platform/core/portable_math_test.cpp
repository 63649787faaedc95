// The portable sines and cosines: within an ulp of the true value (long double's, eleven bits
// finer) over the angles the game turns through and well beyond, exact where the answer is, and
// the same bits as when they were written: a build that computes them otherwise fails here.
#include "platform/core/portable_math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <numbers>

namespace portable = platform::portable;

namespace {

// How many ulps of the true value `got` is off it.
double ulpsOff(double got, long double truth) {
  const double rounded = static_cast<double>(truth);
  const double ulp = std::nextafter(std::fabs(rounded), INFINITY) - std::fabs(rounded);
  return static_cast<double>(std::fabs(static_cast<long double>(got) - truth)) / ulp;
}
double ulpsOff(float got, long double truth) {
  const float rounded = static_cast<float>(truth);
  const float ulp = std::nextafter(std::fabs(rounded), INFINITY) - std::fabs(rounded);
  return static_cast<double>(std::fabs(static_cast<long double>(got) - truth)) / ulp;
}

}  // namespace

TEST(PortableMathTest, WithinAnUlpOverTheGamesAnglesAndFarBeyond) {
  double worstSin = 0, worstCos = 0;
  // Twenty turns either way, on a grid that falls on no special angle.
  for (double x = -40 * std::numbers::pi; x < 40 * std::numbers::pi; x += 0.000731) {
    worstSin = std::max(worstSin, ulpsOff(portable::sin(x), sinl(x)));
    worstCos = std::max(worstCos, ulpsOff(portable::cos(x), cosl(x)));
  }
  // Far angles, and the sea's every degree.
  for (double x = 1; x < 1e6; x *= 1.001) {
    worstSin = std::max(worstSin, ulpsOff(portable::sin(x), sinl(x)));
    worstCos = std::max(worstCos, ulpsOff(portable::cos(x), cosl(x)));
  }
  for (int degrees = -360; degrees <= 360; ++degrees) {
    const double x = degrees * std::numbers::pi / 180;
    worstSin = std::max(worstSin, ulpsOff(portable::sin(x), sinl(x)));
  }
  EXPECT_LT(worstSin, 1) << worstSin;
  EXPECT_LT(worstCos, 1) << worstCos;
  std::printf("worst: sin %.3f ulp, cos %.3f ulp\n", worstSin, worstCos);

  double worstFloat = 0;
  for (float degrees = -720; degrees < 720; degrees += 0.01f) {
    const float x = degrees / 180.0f * std::numbers::pi_v<float>;
    worstFloat = std::max(worstFloat, ulpsOff(portable::sin(x), sinl(x)));
    worstFloat = std::max(worstFloat, ulpsOff(portable::cos(x), cosl(x)));
  }
  EXPECT_LT(worstFloat, 1) << worstFloat;
  std::printf("worst as floats: %.3f ulp\n", worstFloat);
}

TEST(PortableMathTest, ExactWhereTheAnswerIsAndNaNWhereThereIsNone) {
  EXPECT_EQ(portable::sin(0.0), 0);
  EXPECT_TRUE(std::signbit(portable::sin(-0.0)));
  EXPECT_EQ(portable::cos(0.0), 1);
  EXPECT_EQ(portable::sin(1e-10), 1e-10);  // below x³/6's reach
  EXPECT_EQ(portable::sin(std::numbers::pi / 2), 1);
  EXPECT_EQ(portable::cos(std::numbers::pi), -1);
  EXPECT_EQ(portable::sin(std::numbers::pi_v<float> / 2), 1.0f);
  // The float nearest π/2 is a little past it: its cosine is small and negative, not 0.
  EXPECT_EQ(portable::cos(std::numbers::pi_v<float> / 2), -4.37113883e-08f);
  EXPECT_TRUE(std::isnan(portable::sin(INFINITY)));
  EXPECT_TRUE(std::isnan(portable::cos(-INFINITY)));
  EXPECT_TRUE(std::isnan(portable::sin(NAN)));
}

// A checksum of the bits of ten thousand sines and cosines, as this code gave them when it was
// written: any build, compiler or machine that gives another bit fails it.
TEST(PortableMathTest, TheSameBitsInEveryBuild) {
  uint64_t sum = 0;
  for (int i = -5000; i < 5000; ++i) {
    const double x = i * 0.0123456789;
    for (const double value : {portable::sin(x), portable::cos(x)}) {
      uint64_t bits = 0;
      std::memcpy(&bits, &value, sizeof bits);
      sum = sum * 1000003 + bits;
    }
  }
  EXPECT_EQ(sum, 14283406701806184511u);
}
