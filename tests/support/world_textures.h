// Textures of the game's picture sizes with no pictures in them, for the world's tests and
// benchmark: sprites take their sizes from their textures.
#pragma once

#include <memory>

#include "app/asset_catalogue.h"
#include "gl/texture2d.h"

// Fills the slots the world reads sizes from; the caller has a GL context current.
void makeWorldTextures(std::shared_ptr<Texture2D> (&textures)[kTextureCount]);
