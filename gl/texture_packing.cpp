// Shelf packing: the tallest rectangles first, left to right, a new shelf where a row is full and
// a new page where a page is. Each power-of-two width from the widest rectangle up is tried, and
// the one whose pages hold the fewest texels kept.
#include "gl/texture_packing.h"

#include <algorithm>
#include <bit>
#include <numeric>

namespace {

Packing shelves(std::span<const PackedExtent> rectangles, std::span<const size_t> order,
                unsigned width, unsigned largestSide) {
  Packing packing;
  packing.places.resize(rectangles.size());
  unsigned x = 0, y = 0, shelfHeight = 0, usedWidth = 0;
  const auto closePage = [&] {
    packing.pages.push_back({std::bit_ceil(usedWidth), std::bit_ceil(y + shelfHeight)});
    x = y = shelfHeight = usedWidth = 0;
  };
  for (const size_t i : order) {
    const PackedExtent& extent = rectangles[i];
    if (x + extent.width > width) {
      y += shelfHeight;
      x = shelfHeight = 0;
    }
    if (y + extent.height > largestSide) closePage();
    packing.places[i] = PackedPlace{packing.pages.size(), x, y};
    x += extent.width;
    usedWidth = std::max(usedWidth, x);
    shelfHeight = std::max(shelfHeight, extent.height);
  }
  if (usedWidth > 0) closePage();
  return packing;
}

size_t texels(const Packing& packing) {
  return std::accumulate(packing.pages.begin(), packing.pages.end(), size_t{0},
                         [](size_t sum, const PackedExtent& page) {
                           return sum + static_cast<size_t>(page.width) * page.height;
                         });
}

}  // namespace

Packing packRectangles(std::span<const PackedExtent> rectangles, unsigned largestSide) {
  // Pages are powers of two: no longer than the largest such side allowed.
  if (largestSide == 0) return {{}, std::vector<std::optional<PackedPlace>>(rectangles.size())};
  largestSide = std::bit_floor(largestSide);
  std::vector<size_t> order;
  unsigned widest = 1;
  for (size_t i = 0; i < rectangles.size(); ++i) {
    const PackedExtent& extent = rectangles[i];
    if (extent.width == 0 || extent.height == 0) continue;
    if (extent.width > largestSide || extent.height > largestSide) continue;
    order.push_back(i);
    widest = std::max(widest, extent.width);
  }
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return rectangles[a].height > rectangles[b].height; });

  Packing best;
  best.places.resize(rectangles.size());
  if (order.empty()) return best;
  for (unsigned width = std::bit_ceil(widest);; width <<= 1) {
    Packing packing = shelves(rectangles, order, width, largestSide);
    if (best.pages.empty() || texels(packing) < texels(best)) best = std::move(packing);
    if (width == largestSide) break;
  }
  return best;
}
