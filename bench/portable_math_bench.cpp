// The portable sines and cosines beside the C library's, over the angles the game turns through.
#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>

#include "platform/core/portable_math.h"

namespace {

template <typename Real, Real (*function)(Real)>
void sweep(benchmark::State& state) {
  const Real step = static_cast<Real>(0.001);
  Real x = -2 * std::numbers::pi_v<Real>;
  for (auto _ : state) {
    benchmark::DoNotOptimize(function(x));
    x += step;
    if (x > 2 * std::numbers::pi_v<Real>) x = -2 * std::numbers::pi_v<Real>;
  }
}

double librarySin(double x) {
  return std::sin(x);
}
double libraryCos(double x) {
  return std::cos(x);
}
float librarySinf(float x) {
  return std::sin(x);
}
double portableSin(double x) {
  return platform::portable::sin(x);
}
double portableCos(double x) {
  return platform::portable::cos(x);
}
float portableSinf(float x) {
  return platform::portable::sin(x);
}

}  // namespace

BENCHMARK(sweep<double, librarySin>)->Name("sin/library");
BENCHMARK(sweep<double, portableSin>)->Name("sin/portable");
BENCHMARK(sweep<double, libraryCos>)->Name("cos/library");
BENCHMARK(sweep<double, portableCos>)->Name("cos/portable");
BENCHMARK(sweep<float, librarySinf>)->Name("sinf/library");
BENCHMARK(sweep<float, portableSinf>)->Name("sinf/portable");
BENCHMARK_MAIN();
