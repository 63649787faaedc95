// The frame's drawing, in its painting order: waves and sand, the babies, the crab with her
// claws (held trash between their halves), the shark, loose trash with its bubbles, the beach
// ball, then the score block, the floating score numbers and the round texts. A frame's drawing
// is gathered as a list of sprites, which the presenter paints once or several times. Gathering
// also moves what only drawing moves, once a frame: the numbers rise and shrink, the texts count
// down, and a claw forced open by trash coming down onto it is left open.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "app/saltmere_app_delegate.h"
#include "gl/scene_frame.h"
#include "platform/graphics/renderer.h"

namespace {

constexpr platform::Point kWavesAt = {0, 200}, kSandAt = {0, 100};
// The shark swims through frames 1, 2, 3, 2.
constexpr int sharkImage[4] = {kTextureShark1, kTextureShark2, kTextureShark3, kTextureShark2};
constexpr float kBubblesAbove = 75;
constexpr double kPopupRise = 30, kPopupShrink = -15;  // per second
constexpr float kPopupSmallest = 10;
constexpr const char* kTextFont = "Marker Felt";
constexpr platform::Point kCenteredTextAt = {240, 200};
// The score block: three lines of 18-point text against the top-right corner.
constexpr float kScoreFontSize = 18, kScoreBlockHeight = 60, kScoreBlockY = 290;
constexpr double kScoreCharacterWidth = 8, kTextWidthSlack = 1.1;
enum Alignment : int { kAlignLeft = 0, kAlignCenter = 1 };

}  // namespace

void SaltmereAppDelegate::addSprite(const std::shared_ptr<Texture2D>& texture, platform::Point at,
                                    uint32_t id, float rotation, bool mirrored) {
  if (texture) sceneFrame.sprites.push_back({texture, at, rotation, mirrored, false, id});
}

// Text is painted with real alpha blending.
void SaltmereAppDelegate::addText(std::shared_ptr<Texture2D> texture, platform::Point at,
                                  uint32_t id) {
  if (texture) sceneFrame.sprites.push_back({std::move(texture), at, 0, false, true, id});
}

// The waves' strip is narrower than the screen plus its sway, and its ends meet seamlessly:
// where the sway bares an end, a second strip carries on beside it.
void SaltmereAppDelegate::addWaves(float x) {
  const std::shared_ptr<Texture2D>& waves = _textures[kTextureWaves];
  addSprite(waves, {x, kWavesAt.y}, spriteId(kWavesSprite));
  if (!waves) return;
  const float width = waves->contentSize().width;
  if (x - width / 2 > 0) addSprite(waves, {x - width, kWavesAt.y}, spriteId(kWavesSprite, 1));
  if (x + width / 2 < kWorldWidth) {
    addSprite(waves, {x + width, kWavesAt.y}, spriteId(kWavesSprite, 2));
  }
}

float SaltmereAppDelegate::surfaceScale() const {
  return glView ? glView->contentsScale() : 1;
}

void SaltmereAppDelegate::paintScene(const std::vector<SceneSprite>& sprites) {
  drawBackground(hiddenBySprites(sprites));
  paintSprites(sprites);
  if (glView) glView->swapBuffers();
}

// What an opaque band of the sprites (the sand) hides of the sea is not filled only to be painted
// over: without a GPU every fragment costs.
void SaltmereAppDelegate::drawBackground(std::span<const platform::Rect> hidden) {
  platform::Blend& blend = platform::Renderer::shared().state().blend;
  blend = platform::Blend::Off;
  if (_textures[kTextureSeaBackground] && glView) {
    const platform::Rect bounds = glView->bounds();
    _textures[kTextureSeaBackground]->drawPartsOfRect(bounds, platform::rectMinus(bounds, hidden));
  }
  blend = platform::Blend::Premultiplied;
}

void SaltmereAppDelegate::drawObjects(float dt) {
  sceneFrame.time = platform::RunLoop::exists() ? platform::RunLoop::current().now() : 0;
  sceneFrame.sprites.clear();
  addWaves(seaPosition + seaDelta);
  addSprite(_textures[kTextureSand], {sandPosition + sandDelta, kSandAt.y}, spriteId(kSandSprite));
  for (int i = 0; i < kNumBabies; ++i) {
    const Baby& baby = babies[i];
    if (baby.state != BabyStateNone) {
      addSprite(_textures[baby.type], baby.rect.origin, spriteId(kBabySprite, i), baby.rotation);
    }
  }

  // The crab's pictures all sit on her; her legs change picture every 2 points she walks.
  const platform::Point crab = nerin.rect.origin;
  const uint32_t crabId = spriteId(kCrabSprite);
  addSprite(_textures[kTextureNerin], crab, crabId);
  if (nerin.blink[0] > 0) addSprite(_textures[kTextureNerinBlink1], crab, crabId);
  if (nerin.blink[1] > 0) addSprite(_textures[kTextureNerinBlink2], crab, crabId);
  const int legs = static_cast<int>(nerin.rect.origin.x * 0.5f);
  addSprite(_textures[legs % 2 ? kTextureNerinLegs2 : kTextureNerinLegs1], crab, crabId);
  if (nerin.mouthOpen) addSprite(_textures[kTextureNerinMouth], crab, crabId);

  const Claw* claws = nerin.claw;
  for (int c = 0; c < 2; ++c) {
    addSprite(_textures[kTextureClawLower], claws[c].rect.origin, spriteId(kLowerClawSprite, c), 0,
              c == 1);
  }
  if (shark.active) {
    addSprite(_textures[sharkImage[shark.frame & 3]], shark.rect.origin, spriteId(kSharkSprite), 0,
              shark.speed < 0);
  }
  const int pieces = std::min(std::max(numTrash, 0), kMaxTrash);
  // A held piece sits between its claw's halves.
  for (int i = 0; i < pieces; ++i) {
    if (trash[i].state == TrashStateHeld) {
      addSprite(_textures[trash[i].type], trash[i].rect.origin, spriteId(kTrashSprite, i),
                trash[i].rotation);
    }
  }
  for (int c = 0; c < 2; ++c) {
    if (!claws[c].forceOpen) {
      addSprite(_textures[claws[c].type], claws[c].rect.origin, spriteId(kUpperClawSprite, c), 0,
                c == 1);
    }
  }
  for (int i = 0; i < pieces; ++i) {
    const Trash& piece = trash[i];
    if (piece.state == TrashStateNone || piece.state == TrashStateHeld) continue;
    if (piece.velocity.y > 0 && !piece.bounced) {
      addSprite(_textures[kTextureBubbles1 + piece.bubbleFrame],
                {piece.rect.origin.x, piece.rect.origin.y + kBubblesAbove},
                spriteId(kBubblesSprite, i));
    }
    addSprite(_textures[piece.type], piece.rect.origin, spriteId(kTrashSprite, i), piece.rotation);
  }
  // A claw about to catch sinking trash gapes in front of it.
  for (int c = 0; c < 2; ++c) {
    Claw& claw = nerin.claw[c];
    if (!claw.forceOpen) continue;
    claw.type = kTextureClawOpen;
    addSprite(_textures[kTextureClawOpen], claw.rect.origin, spriteId(kUpperClawSprite, c), 0,
              c == 1);
  }
  if (beachBall.active) {
    addSprite(_textures[kTextureBeachBall], beachBall.rect.origin, spriteId(kBallSprite),
              beachBall.rotation);
  }

  drawScore();
  drawScorePopups(dt);
  if (roundDisplayTime > 0) {
    roundDisplayTime -= dt;
    const float s = 50 * roundDisplayTime;
    char text[24];
    std::snprintf(text, sizeof text, "round %i", round);
    drawCenteredText(text, s >= 25 ? static_cast<int>(s) : 25, 1);
  }
  if (bonusDisplayTime > 0) {
    bonusDisplayTime -= dt;
    const double s = (4.0 - bonusDisplayTime) * 30.0;
    drawCenteredText("round clear!", s < 25 ? 25 : s <= 60 ? static_cast<int>(s) : 60, 1);
  }
}

// Each number rises 30 points and shrinks 15 font points a second; it is drawn a last time in
// the frame its size falls below 10. Its texture lives for one frame.
void SaltmereAppDelegate::drawScorePopups(float dt) {
  const double rise = dt * kPopupRise, shrink = dt * kPopupShrink;
  for (int i = 0; i < kNumScorePopups; ++i) {
    ScorePopup& popup = points[i];
    if (popup.value == 0) continue;
    popup.y = static_cast<float>(popup.y + rise);
    popup.size = static_cast<float>(popup.size + shrink);
    char text[16];
    std::snprintf(text, sizeof text, "%i", popup.value);
    const auto texture = Texture2D::initWithString(
        text, {popup.size * 0.5f * 6, static_cast<float>(popup.size * 1.1)}, kAlignCenter,
        kTextFont, static_cast<float>(std::lrint(popup.size)), surfaceScale());
    if (popup.size < kPopupSmallest) popup.value = 0;
    addText(texture, {popup.x, popup.y}, spriteId(kPopupSprite, i));
  }
}

// The block is rebuilt only when one of its three numbers changes. Before the first round it
// shows round 1.
void SaltmereAppDelegate::drawScore() {
  char scoreText[24];
  std::snprintf(scoreText, sizeof scoreText, "score %i", static_cast<int>(_score));
  const double width = std::strlen(scoreText) * kScoreCharacterWidth * kTextWidthSlack;
  // A new scale (the window resized) sets the same numbers again at the new pixels.
  if (round != lastRound || levelTimeRemaining != lastTime ||
      static_cast<int>(_score) != lastScore ||
      (scoreBlockTexture && scoreBlockTexture->scale() != surfaceScale())) {
    lastScore = static_cast<int>(_score);
    lastTime = levelTimeRemaining;
    lastRound = round;
    scoreBlockTexture.reset();
    char block[64];
    std::snprintf(block, sizeof block, "%s\ntime %i\nround %i", scoreText, levelTimeRemaining,
                  std::max(round, 1));
    scoreBlockTexture =
        Texture2D::initWithString(block, {static_cast<float>(width), kScoreBlockHeight}, kAlignLeft,
                                  kTextFont, kScoreFontSize, surfaceScale());
  }
  addText(scoreBlockTexture, {static_cast<float>(kWorldWidth - width / 2), kScoreBlockY});
}

// The cache key holds the size times the text's length, so with the game's texts it never
// matches a size: the texture is made afresh on every call, and a new text is never stale.
void SaltmereAppDelegate::drawCenteredText(const char* text, int size, int lines) {
  if (size != lastSize) {
    const size_t length = std::strlen(text);
    lastSize = size * static_cast<int>(length);
    centeredTextTexture.reset();
    const float width = static_cast<float>(size) * 0.5f * static_cast<float>(length);
    centeredTextTexture = Texture2D::initWithString(
        text, {static_cast<float>(width * 1.3), static_cast<float>(size * 1.3 * lines)},
        kAlignCenter, kTextFont, static_cast<float>(size), surfaceScale());
  }
  addText(centeredTextTexture, kCenteredTextAt);
}
