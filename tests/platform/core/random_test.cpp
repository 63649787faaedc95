// The game's generator against the C library's own srandom()/random().
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/core/random.h"

TEST(RandomTest, MatchesTheCLibraryBitForBit) {
  for (uint32_t seed : {0u, 1u, 42u, 12345u, 2147483647u, 2147483648u, 4294967295u, 3735928559u}) {
    platform::Random random(seed);
    ::srandom(seed);
    for (int draw = 0; draw < 10000; ++draw) {
      ASSERT_EQ(random.next(), static_cast<int32_t>(::random()))
          << "seed " << seed << ", draw " << draw;
    }
  }
}

TEST(RandomTest, ReseedingRestartsTheSequenceAndZeroMeansOne) {
  platform::Random a(7), b(0), c(1);
  const int32_t first = a.next();
  a.next();
  a.seed(7);
  EXPECT_EQ(a.next(), first);
  EXPECT_EQ(b.next(), c.next());
}
