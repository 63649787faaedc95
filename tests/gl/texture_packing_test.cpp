// Shared textures' layout: every picture on a page, none over another, pages of power-of-two
// sides within the limit, the fewest texels, and what cannot fit left out.
#include <gtest/gtest.h>

#include <bit>
#include <vector>

#include "gl/texture_packing.h"

namespace {

// Checks the places against the pages and each other; the texels the pages hold.
size_t checkedTexels(const Packing& packing, const std::vector<PackedExtent>& rectangles,
                     unsigned largestSide) {
  size_t texels = 0;
  for (const PackedExtent& page : packing.pages) {
    EXPECT_TRUE(std::has_single_bit(page.width) && std::has_single_bit(page.height));
    EXPECT_LE(page.width, largestSide);
    EXPECT_LE(page.height, largestSide);
    texels += static_cast<size_t>(page.width) * page.height;
  }
  for (size_t i = 0; i < rectangles.size(); ++i) {
    if (!packing.places[i]) continue;
    const PackedPlace& a = *packing.places[i];
    EXPECT_LT(a.page, packing.pages.size());
    EXPECT_LE(a.x + rectangles[i].width, packing.pages[a.page].width) << i;
    EXPECT_LE(a.y + rectangles[i].height, packing.pages[a.page].height) << i;
    for (size_t j = 0; j < i; ++j) {
      if (!packing.places[j] || packing.places[j]->page != a.page) continue;
      const PackedPlace& b = *packing.places[j];
      const bool apart = a.x + rectangles[i].width <= b.x || b.x + rectangles[j].width <= a.x ||
                         a.y + rectangles[i].height <= b.y || b.y + rectangles[j].height <= a.y;
      EXPECT_TRUE(apart) << i << " over " << j;
    }
  }
  return texels;
}

}  // namespace

TEST(TexturePackingTest, TheScenesPicturesShareOnePageWithoutOverlapping) {
  // The game's art at four pixels a point with the border each takes: waves, sand, three sharks,
  // six pictures of the crab, bubbles, the tutorial's, trash and the small ones.
  std::vector<PackedExtent> art = {{2082, 962}, {1922, 802}};
  for (int i = 0; i < 3; ++i) art.push_back({642, 258});
  for (int i = 0; i < 6; ++i) art.push_back({386, 258});
  for (int i = 0; i < 3; ++i) art.push_back({98, 482});
  for (int i = 0; i < 4; ++i) art.push_back({642, 402});
  art.insert(art.end(), {{402, 282},
                         {322, 242},
                         {322, 242},
                         {322, 242},
                         {226, 114},
                         {90, 178},
                         {162, 162},
                         {138, 154},
                         {178, 90},
                         {146, 162},
                         {122, 146},
                         {162, 162},
                         {130, 98},
                         {130, 130},
                         {130, 130},
                         {130, 130},
                         {130, 130},
                         {258, 194}});
  const Packing packing = packRectangles(art, 16384);
  ASSERT_EQ(packing.places.size(), art.size());
  for (const auto& place : packing.places) ASSERT_TRUE(place);
  EXPECT_EQ(packing.pages.size(), 1u);
  EXPECT_EQ(checkedTexels(packing, art, 16384), 4096u * 2048);

  // On a GPU that makes textures of 2048 texels at most, the waves cannot share and the rest need
  // several pages.
  const Packing small = packRectangles(art, 2048);
  EXPECT_FALSE(small.places[0]);
  for (size_t i = 1; i < art.size(); ++i) ASSERT_TRUE(small.places[i]) << i;
  EXPECT_GT(small.pages.size(), 1u);
  checkedTexels(small, art, 2048);
}

TEST(TexturePackingTest, WhatCannotFitIsLeftOutAndTheLimitIsAPowerOfTwo) {
  const std::vector<PackedExtent> rectangles = {{100, 10}, {0, 5}, {1025, 4}, {1000, 1000}};
  // 1500 allows pages of 1024 at most.
  const Packing packing = packRectangles(rectangles, 1500);
  EXPECT_TRUE(packing.places[0]);
  EXPECT_FALSE(packing.places[1]);
  EXPECT_FALSE(packing.places[2]);
  EXPECT_TRUE(packing.places[3]);
  checkedTexels(packing, rectangles, 1024);

  EXPECT_TRUE(packRectangles({}, 1024).pages.empty());
  const Packing none = packRectangles(rectangles, 0);
  EXPECT_TRUE(none.pages.empty());
  EXPECT_EQ(none.places.size(), rectangles.size());
}
