// The frame's drawing: the opaque background, then the world's changes that drawing decides
// (score numbers rise and shrink and are freed, the two texts count down, a claw forced open
// by trash coming down onto it is left open).
#include "app/saltmere_app_delegate.h"

namespace {

constexpr double kPopupRise = 30, kPopupShrink = -15;  // per second
constexpr float kPopupSmallest = 10;

}  // namespace

void SaltmereAppDelegate::drawBackground() {
  glDisable(GL_BLEND);
  if (_textures[kTextureSeaBackground] && glView) {
    _textures[kTextureSeaBackground]->drawInRect(glView->bounds());
  }
  glEnable(GL_BLEND);
}

void SaltmereAppDelegate::drawObjects(float dt) {
  for (Claw& claw : nerin.claw) {
    if (claw.forceOpen) claw.type = kTextureClawOpen;
  }
  const double rise = dt * kPopupRise, shrink = dt * kPopupShrink;
  for (ScorePopup& popup : points) {
    if (popup.value == 0) continue;
    popup.y = static_cast<float>(popup.y + rise);
    popup.size = static_cast<float>(popup.size + shrink);
    if (popup.size < kPopupSmallest) popup.value = 0;  // its last frame
  }
  if (roundDisplayTime > 0) roundDisplayTime -= dt;
  if (bonusDisplayTime > 0) bonusDisplayTime -= dt;
}
