// Copies an image into the current page, leaving out its transparent pixels.
#pragma once

#include "images/image.h"

// Draws sprite with its top-left pixel at page pixel (x, y). A sprite pixel whose
// alpha byte is 0 leaves the page pixel alone; any other is stored unchanged, all
// 32 bits (no blending). The part of the sprite outside the page is clipped away.
void blitSprite(const Image& sprite, int x, int y, Screen& screen);
