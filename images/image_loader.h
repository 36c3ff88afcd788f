// Image files into Images, through SDL_image.
#pragma once

#include "images/image.h"

#include <memory>

struct SDL_Surface;

// Converts a decoded surface into a new Image of its size, row by row with its
// pitch:
//   8 bits: the byte v becomes v in all four bytes (grey level and alpha; the
//     palette is not consulted).
//   24 or 32 bits with red, green, blue first in memory (what SDL_image gives for
//     JPEG and PNG): bytes b0 b1 b2 [b3] become alpha b3 (255 for 24 bits), red b0,
//     green b1, blue b2.
//   Any other 2-, 3- or 4-byte layout: by its channel masks, each channel widened
//     to 8 bits; alpha 255 when the surface has no alpha mask.
// Returns null, with SDL's error set, for a depth below 8 bits or a surface whose
// pitch or pixels cannot hold its rows.
std::unique_ptr<Image> imageFromSurface(const SDL_Surface& surface);

// Decodes the file with SDL_image and converts it. Only JPEG, PNG and BMP files
// are decoded, whatever the file's name, and a PNG file only when its chunks all
// lie inside it and end with IEND. Returns null, with SDL's error set
// (IMG_GetError), when the file cannot be read, is of another format or cannot be
// decoded. Prints nothing.
std::unique_ptr<Image> loadImage(const char* path);
