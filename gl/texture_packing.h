// Where pictures go when several share one texture: rectangles laid out on shelves over as few
// texels of power-of-two pages as a few trial widths find.
#pragma once

#include <optional>
#include <span>
#include <vector>

struct PackedExtent {
  unsigned width = 0, height = 0;
};

struct PackedPlace {
  size_t page = 0;
  unsigned x = 0, y = 0;
};

struct Packing {
  std::vector<PackedExtent> pages;                 // power-of-two sides, at most the largest side
  std::vector<std::optional<PackedPlace>> places;  // one a rectangle; none where it cannot fit
};

// Rectangles wider or taller than `largestSide` (or empty) get no place; the others go on pages
// whose sides are powers of two no longer than it.
Packing packRectangles(std::span<const PackedExtent> rectangles, unsigned largestSide);
