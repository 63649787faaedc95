// A rectangle less others: the parts left cover exactly what is not in a hole, never twice.
#include <gtest/gtest.h>

#include <vector>

#include "platform/core/geometry.h"

using platform::Rect;
using platform::rectMinus;

namespace {

// How many of the parts hold the point: one where no hole is, none where one is.
int partsHolding(const std::vector<Rect>& parts, float x, float y) {
  int count = 0;
  for (const Rect& part : parts) count += part.contains({x, y});
  return count;
}

}  // namespace

TEST(RectMinusTest, PartsCoverWhatNoHoleCoversOnce) {
  const Rect area = {{0, 0}, {480, 320}};
  EXPECT_EQ(rectMinus(area, {}), std::vector{area});

  // A band across the whole width at the bottom, overlapped by a block, a hole reaching out of
  // the area, an empty one, and the two halves of a band meeting short of each other.
  const std::vector<Rect> holes = {{{0, 0}, {480, 45}},     {{100, 30}, {50, 40}},
                                   {{-20, 300}, {60, 60}},  {{200, 200}, {0, 10}},
                                   {{0, 80}, {239.5f, 40}}, {{240.5f, 80}, {239.5f, 40}}};
  const std::vector<Rect> parts = rectMinus(area, holes);
  for (float y = 0.5f; y < 320; y += 1) {
    for (float x = 0.25f; x < 480; x += 0.5f) {
      bool inHole = false;
      for (const Rect& hole : holes) inHole = inHole || hole.contains({x, y});
      ASSERT_EQ(partsHolding(parts, x, y), inHole ? 0 : 1) << x << ", " << y;
    }
  }
  // The seam between the band's halves is a part of its own, its full height.
  EXPECT_NE(std::find(parts.begin(), parts.end(), Rect{{239.5f, 80}, {1, 40}}), parts.end());
  // Slabs cut alike are joined: above the band nothing is cut but the corner at the top left.
  EXPECT_NE(std::find(parts.begin(), parts.end(), Rect{{0, 120}, {480, 180}}), parts.end());

  // Holes covering all of it leave nothing.
  const Rect whole[] = {{{-1, -1}, {500, 400}}};
  EXPECT_TRUE(rectMinus(area, whole).empty());
}
