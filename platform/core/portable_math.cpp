// How the portable sines and cosines are made. The angle is brought within a quarter turn of zero
// by whole quarter turns, k of them, with π/2 held as the sum of three doubles (the first two
// with 33 significant bits, so that k times them is exact for the k of any angle below a
// million); the remainder's sine or cosine is then the Taylor series to the 21st power, far past
// where its terms stop counting.
#include "platform/core/portable_math.h"

#include <array>
#include <cmath>

namespace platform::portable {
namespace {

constexpr double kHalfPi1 = 0x1.921fb544p+0;
constexpr double kHalfPi2 = 0x1.0b4611a6p-34;
constexpr double kHalfPi3 = 0x1.3198a2e037073p-69;
constexpr double kTwoOverPi = 0x1.45f306dc9c883p-1;

// The Taylor coefficients of the sine (odd n) and the cosine (even n): ±1/n!, with n! exact in a
// double up to 22!, so that each is rounded once.
constexpr std::array<double, 22> kTaylor = [] {
  std::array<double, 22> c{};
  double factorial = 1;
  for (int n = 1; n < 22; ++n) {
    factorial *= n;
    c[n] = (n % 4 < 2 ? 1 : -1) / factorial;
  }
  return c;
}();

// The angle brought within a quarter turn of zero, as r + tail: the tail holds what a double
// cannot, so the reduction adds no rounding of its own to the result.
struct Reduced {
  double r, tail;
  int quarters;  // k mod 4
};

Reduced reduce(double x) {
  const double k = std::floor(x * kTwoOverPi + 0.5);
  const double near = x - k * kHalfPi1;  // exact: both are whole multiples of near's last bit
  const double step = -(k * kHalfPi2);   // exact: 33 bits times a k of 20 bits at most
  // near + step, and exactly what rounding it left out.
  const double sum = near + step;
  const double stepPart = sum - near;
  const double lost = (near - (sum - stepPart)) + (step - stepPart);
  const double rest = lost - k * kHalfPi3;
  const double r = sum + rest;
  return {r, (sum - r) + rest, static_cast<int>(k - 4 * std::floor(k / 4))};
}

// sin(r + tail) for |r| <= π/4: r + (r·z·(−1/3! + z/5! − z²/7! ...) + tail·cos r), z = r²; the
// small terms are summed first, so that only the last addition rounds at r's scale.
double sinKernel(const Reduced& a) {
  const double z = a.r * a.r;
  double p = kTaylor[21];
  for (int n = 19; n >= 3; n -= 2) p = p * z + kTaylor[n];
  return a.r + (a.r * z * p + a.tail * (1 - 0.5 * z));
}

// cos(r + tail) for |r| <= π/4: 1 − z/2 + (z²·(1/4! − z/6! ...) − tail·sin r). The rounding of
// 1 − z/2 is taken back (it is exact to compute), as the sum's last bit depends on it.
double cosKernel(const Reduced& a) {
  const double z = a.r * a.r;
  double p = kTaylor[20];
  for (int n = 18; n >= 4; n -= 2) p = p * z + kTaylor[n];
  const double half = 0.5 * z;
  const double w = 1 - half;
  return w + (((1 - w) - half) + (z * z * p - a.r * a.tail));
}

}  // namespace

double sin(double x) {
  if (!std::isfinite(x)) return x - x;   // NaN
  if (std::fabs(x) < 0x1p-27) return x;  // x³/6 is below half an ulp of x
  const Reduced a = reduce(x);
  switch (a.quarters) {
    case 0:
      return sinKernel(a);
    case 1:
      return cosKernel(a);
    case 2:
      return -sinKernel(a);
    default:
      return -cosKernel(a);
  }
}

double cos(double x) {
  if (!std::isfinite(x)) return x - x;
  if (std::fabs(x) < 0x1p-27) return 1;
  const Reduced a = reduce(x);
  switch (a.quarters) {
    case 0:
      return cosKernel(a);
    case 1:
      return -sinKernel(a);
    case 2:
      return -cosKernel(a);
    default:
      return sinKernel(a);
  }
}

float sin(float x) {
  return static_cast<float>(sin(static_cast<double>(x)));
}

float cos(float x) {
  return static_cast<float>(cos(static_cast<double>(x)));
}

}  // namespace platform::portable
