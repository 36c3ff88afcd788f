// Writes an Image as an 8-bit RGBA PNG file (alpha from the Pixel's top byte).
#pragma once

#include "images/image.h"

// Returns false, after one line on standard error naming the file, when it cannot
// be written.
bool writePng(const char* path, const Image& image);
