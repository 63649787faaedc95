// A placed draw: a texture centred on a point of the world, turned by an angle in degrees
// (counter-clockwise) and mirrored about the vertical through that point when asked.
#pragma once

#include <memory>

#include "gl/texture2d.h"
#include "platform/core/geometry.h"

// How much of the texture's quad is drawn: all of it, or (where blending is on, so that clear
// texels draw nothing) only the part that can show.
enum class Quad { Whole, Visible };

inline void placedDraw(const std::shared_ptr<Texture2D>& texture, platform::Point at,
                       float rotation = 0, bool mirrored = false, Quad quad = Quad::Whole) {
  if (!texture) return;
  glPushMatrix();
  glTranslatef(at.x, at.y, 0);
  if (rotation != 0) glRotatef(rotation, 0, 0, 1);
  if (mirrored) glScalef(-1, 1, 1);
  if (quad == Quad::Visible) {
    texture->drawVisibleAtPoint({0, 0});
  } else {
    texture->drawAtPoint({0, 0});
  }
  glPopMatrix();
}
