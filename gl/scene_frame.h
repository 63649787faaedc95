// One frame's picture as a list of placed textures in painting order, and the picture between
// two frames: what moved is placed part of the way from where it was to where it is.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "gl/texture2d.h"
#include "platform/core/geometry.h"

struct SceneSprite {
  std::shared_ptr<Texture2D> texture;
  platform::Point at;     // the texture's centre
  float rotation = 0;     // degrees, counter-clockwise
  bool mirrored = false;  // about the vertical through `at`
  bool text = false;      // alpha-blended, as text is
  // Which thing of the world it shows, to find it again in the frame before; 0 never moves.
  uint32_t id = 0;
};

struct SceneFrame {
  double time = 0;  // on the run loop's clock
  std::vector<SceneSprite> sprites;
};

// A thing that moved further than this between two frames was put somewhere new (a piece made
// afresh, the sea reset), not carried there: it is shown where it is, never swept across.
inline constexpr float kLongestGlide = 60;

// `current` with everything that is also in `previous` placed `fraction` (0 to 1) of the way from
// its place and angle there to its place and angle here; angles turn the short way round.
std::vector<SceneSprite> spritesBetween(const SceneFrame& previous, const SceneFrame& current,
                                        float fraction);

// Where between two frames a picture presented at `presentTime` belongs: pictures run one frame
// behind the world, so a present at the current frame's time shows the previous frame, and one
// a whole frame later shows the current one. Never beyond the current frame.
float presentFraction(double previousTime, double currentTime, double presentTime);

// The parts of the scene that its unturned sprites hide whatever lies beneath, once painted: the
// background needs no painting there. Text, blended by its alpha in the drawing colour, hides
// nothing.
std::vector<platform::Rect> hiddenBySprites(const std::vector<SceneSprite>& sprites);

// Paints the sprites in order with the GL state the scene is drawn with (premultiplied sprites,
// text blended by its alpha).
void paintSprites(const std::vector<SceneSprite>& sprites);
