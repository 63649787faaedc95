// The game's random generator: the additive feedback generator of POSIX random() as the GNU C
// library builds it, bit for bit, with a state of its own that no library can shift.
#pragma once

#include <array>
#include <cstdint>

namespace platform {

class Random {
 public:
  explicit Random(uint32_t value = 1) { seed(value); }
  // srandom(): a seed of 0 is taken as 1.
  void seed(uint32_t seed);
  // random(): 31 random bits.
  int32_t next();
  // The draws taken since the seed: with the seed, where the numbers stand.
  uint64_t draws() const { return draws_; }
  // Takes `count` draws and drops them: the numbers then stand where they stood after that many
  // draws from the same seed.
  void skip(uint64_t count);

 private:
  static constexpr int kDegree = 31, kSeparation = 3;
  std::array<int32_t, kDegree> state_{};
  int front_ = kSeparation, rear_ = 0;
  uint64_t draws_ = 0;
};

// The one generator every random choice of the game draws from.
Random& gameRandom();

}  // namespace platform
