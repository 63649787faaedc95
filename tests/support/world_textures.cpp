// The world's picture sizes, as the game's art has them.
#include "tests/support/world_textures.h"

namespace {

struct PictureSize {
  int slot;
  unsigned width, height;
};
constexpr PictureSize kPictureSizes[] = {
    {kTextureNerin, 96, 64},    {kTextureClawClosed, 32, 32}, {kTextureClawOpen, 32, 32},
    {kTextureBabyCrab, 32, 24}, {kTextureTrash03, 40, 40},    {kTextureTrash05, 44, 22},
    {kTextureTrash02, 22, 44},  {kTextureTrash07, 30, 36},    {kTextureTrash06, 36, 40},
    {kTextureTrash04, 34, 38},  {kTextureTrash01, 56, 28},    {kTextureBeachBall, 40, 40},
    {kTextureShark1, 160, 64},  {kTextureShark2, 160, 64},    {kTextureShark3, 160, 64},
    {kTextureStar, 32, 32},
};

}  // namespace

void makeWorldTextures(std::shared_ptr<Texture2D> (&textures)[kTextureCount]) {
  for (const PictureSize& picture : kPictureSizes) {
    textures[picture.slot] = Texture2D::initWithData(
        nullptr, Texture2DFormatRGBA8888, powerOfTwoAtLeast(picture.width),
        powerOfTwoAtLeast(picture.height),
        {static_cast<float>(picture.width), static_cast<float>(picture.height)});
  }
}
