// A placed draw: a texture centred on a point of the world, turned by an angle in degrees
// (counter-clockwise) and mirrored about the vertical through that point when asked.
#pragma once

#include <memory>

#include "gl/texture2d.h"
#include "platform/core/geometry.h"

inline void placedDraw(const std::shared_ptr<Texture2D>& texture, platform::Point at,
                       float rotation = 0, bool mirrored = false) {
  if (!texture) return;
  glPushMatrix();
  glTranslatef(at.x, at.y, 0);
  if (rotation != 0) glRotatef(rotation, 0, 0, 1);
  if (mirrored) glScalef(-1, 1, 1);
  texture->drawAtPoint({0, 0});
  glPopMatrix();
}
