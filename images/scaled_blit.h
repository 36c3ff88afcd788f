// Pixel-art upscaling into the top-left corner of the current page.
#pragma once

#include "images/image.h"

// The filter blitScaled uses: 0 plain doubling, 1 Scale2x, 2 Scale3x, 3 Eagle
// (the initial value); any other value makes blitScaled draw nothing.
extern int gScaleMode;

// Draws image enlarged by 2 (3 for Scale3x) at page pixel (0, 0), every source
// pixel becoming one block. Whole-word comparisons, alpha included; every page
// word written is a copy of one source word. Output beyond the page is clipped.
void blitScaled(const Image& image, Screen& screen);
