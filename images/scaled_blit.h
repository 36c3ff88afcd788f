// Pixel-art upscaling into the top-left corner of the current page.
#pragma once

#include "images/image.h"

// The filter blitScaled uses: 0 plain doubling, 1 Scale2x, 2 Scale3x, 3 Eagle
// (the initial value); any other value makes blitScaled draw nothing.
extern int gScaleMode;

// Draws image enlarged f = 2 times (3 for Scale3x) at page pixel (0, 0), source pixel
// (x, y) becoming the f x f block at page column f*x, row f*y. Words compare whole,
// alpha included; each word written is a copy of one source word. Clipped to the page;
// an image with width or height <= 0, or an unknown mode, writes nothing.
void blitScaled(const Image& image, Screen& screen);
