// Seeding fills the table with a Lehmer sequence, then throws away ten rounds of output.
#include "platform/core/random.h"

namespace platform {

void Random::seed(uint32_t seed) {
  if (seed == 0) seed = 1;
  // The seed is taken as a signed 32-bit word, exactly as the C library does.
  int32_t word = static_cast<int32_t>(seed);
  state_[0] = word;
  for (int i = 1; i < kDegree; ++i) {
    // 16807 · word mod (2^31 − 1), without overflowing 31 bits (Schrage's method).
    const long hi = word / 127773;
    const long lo = word % 127773;
    word = static_cast<int32_t>(16807 * lo - 2836 * hi);
    if (word < 0) word += 2147483647;
    state_[i] = word;
  }
  front_ = kSeparation;
  rear_ = 0;
  for (int i = 0; i < kDegree * 10; ++i) next();
  draws_ = 0;
}

int32_t Random::next() {
  const uint32_t sum = static_cast<uint32_t>(state_[front_]) + static_cast<uint32_t>(state_[rear_]);
  state_[front_] = static_cast<int32_t>(sum);
  front_ = (front_ + 1) % kDegree;
  rear_ = (rear_ + 1) % kDegree;
  ++draws_;
  return static_cast<int32_t>(sum >> 1);  // the lowest bit is the least random
}

void Random::skip(uint64_t count) {
  for (uint64_t i = 0; i < count; ++i) next();
}

Random& gameRandom() {
  static Random random;
  return random;
}

}  // namespace platform
