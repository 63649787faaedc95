// The in-between picture and the painting of a sprite list.
#include "gl/scene_frame.h"

#include <algorithm>
#include <cmath>

#include "gl/placed_draw.h"

namespace {

float lerp(float from, float to, float fraction) {
  return from + (to - from) * fraction;
}

// The turn from one angle to another the short way round, in degrees.
float shortTurn(float from, float to) {
  return std::remainder(to - from, 360.0f);
}

}  // namespace

std::vector<SceneSprite> spritesBetween(const SceneFrame& previous, const SceneFrame& current,
                                        float fraction) {
  std::vector<SceneSprite> sprites = current.sprites;
  if (fraction >= 1) return sprites;
  for (SceneSprite& sprite : sprites) {
    if (sprite.id == 0) continue;
    const auto before = std::find_if(previous.sprites.begin(), previous.sprites.end(),
                                     [&](const SceneSprite& s) { return s.id == sprite.id; });
    if (before == previous.sprites.end()) continue;
    if (std::hypot(sprite.at.x - before->at.x, sprite.at.y - before->at.y) > kLongestGlide) {
      continue;
    }
    sprite.at = {lerp(before->at.x, sprite.at.x, fraction),
                 lerp(before->at.y, sprite.at.y, fraction)};
    sprite.rotation = before->rotation + shortTurn(before->rotation, sprite.rotation) * fraction;
  }
  return sprites;
}

float presentFraction(double previousTime, double currentTime, double presentTime) {
  const double interval = currentTime - previousTime;
  if (!(interval > 0)) return 1;
  return static_cast<float>(std::clamp((presentTime - currentTime) / interval, 0.0, 1.0));
}

std::vector<platform::Rect> hiddenBySprites(const std::vector<SceneSprite>& sprites) {
  std::vector<platform::Rect> hidden;
  for (const SceneSprite& sprite : sprites) {
    if (sprite.text || sprite.rotation != 0 || !sprite.texture) continue;
    platform::Rect rect = sprite.texture->hidingRectAtPoint(sprite.at);
    if (rect.size.width <= 0 || rect.size.height <= 0) continue;
    // Mirrored about the vertical through the sprite's centre.
    if (sprite.mirrored) rect.origin.x = 2 * sprite.at.x - rect.origin.x - rect.size.width;
    hidden.push_back(rect);
  }
  return hidden;
}

void paintSprites(const std::vector<SceneSprite>& sprites) {
  platform::Blend& blend = platform::Renderer::shared().state().blend;
  for (const SceneSprite& sprite : sprites) {
    blend = sprite.text ? platform::Blend::Alpha : platform::Blend::Premultiplied;
    placedDraw(sprite.texture, sprite.at, sprite.rotation, sprite.mirrored, Quad::Visible);
  }
  blend = platform::Blend::Premultiplied;
}
