// The framework's raster type and its test patterns.
#pragma once

#include "video/screen.h"

// width x height Pixels, row-major with no gap between rows: pixel (x, y) is
// pixels[y * width + x]. The Image owns its pixels; an empty image has none.
struct Image {
    int width = 0;
    int height = 0;
    Pixel* pixels = nullptr;

    Image() = default;
    // Allocates width x height words, left uninitialised (none when either is 0).
    // Throws std::length_error for a negative size, std::bad_alloc when the
    // memory cannot be had; it never makes a shorter allocation than asked.
    Image(int width, int height);
    ~Image();
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;
};

// Sets every word to 0. Always true; an empty image is left alone.
bool clearImage(Image* image);

// Sets pixel (x, y) to the word x * y (modulo 2^32): a blue ramp that spills into
// green and red. Always true; an empty image is left alone.
bool fillGradient(Image* image);

// Pattern 0 clears, pattern 1 fills the gradient; both return true. When width or
// height is 0 or less it prints
// "Error : Invalid Image dimensions. Possibly uninitialized Image object."
// on standard output and returns false, whatever the pattern. Any other pattern
// returns false, prints nothing and changes nothing.
bool fillImage(Image* image, int pattern);
