// A placed draw: a texture centred on a point of the world, turned by an angle in degrees
// (counter-clockwise) and mirrored about the vertical through that point when asked.
#pragma once

#include <memory>

#include <numbers>

#include "gl/texture2d.h"
#include "platform/core/geometry.h"
#include "platform/graphics/renderer.h"

// How much of the texture's quad is drawn: all of it, or (where blending is on, so that clear
// texels draw nothing) only the part that can show.
enum class Quad { Whole, Visible };

inline void placedDraw(const std::shared_ptr<Texture2D>& texture, platform::Point at,
                       float rotation = 0, bool mirrored = false, Quad quad = Quad::Whole) {
  if (!texture) return;
  platform::AffineTransform& transform = platform::Renderer::shared().state().transform;
  const platform::AffineTransform outside = transform;
  // Mirrored first, then turned, then moved to its place.
  platform::AffineTransform placing;
  if (mirrored) placing = platform::AffineTransform::scale(-1, 1);
  if (rotation != 0) {
    placing = placing.concat(
        platform::AffineTransform::rotation(rotation * std::numbers::pi_v<float> / 180));
  }
  transform = placing.concat(platform::AffineTransform::translation(at.x, at.y)).concat(outside);
  if (quad == Quad::Visible) {
    texture->drawVisibleAtPoint({0, 0});
  } else {
    texture->drawAtPoint({0, 0});
  }
  transform = outside;
}
