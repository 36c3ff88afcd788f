// The demo's five images: four rotozoom textures and the sprite.
#pragma once

#include "images/image.h"

#include <memory>

constexpr int kImageCount = 5;
constexpr int kSpriteIndex = 4; // images 0 to 3 are the textures

// Limits the drawing code relies on, checked where the files enter.
constexpr int kTextureWidth = 1024;    // exactly
constexpr int kTextureMinHeight = 512; // at least
constexpr int kSpriteMaxWidth = 244;   // keeps every sprite of the swarm on the page
constexpr int kSpriteMaxHeight = 218;

// Slot i holds the image of file i; empty until loaded, and when its file failed.
extern std::unique_ptr<Image> gImages[kImageCount];

// The file of slot i, relative to the working directory.
const char* imagePath(int index);

// True when image keeps the limits of slot index (0 to 4): a texture exactly
// kTextureWidth wide and at least kTextureMinHeight high, the sprite at most
// kSpriteMaxWidth x kSpriteMaxHeight. Prints nothing.
bool imageFitsSlot(const Image& image, int index);

// Loads the five files in order into their slots. A file that is missing, cannot
// be decoded or breaks its size limit leaves its slot empty and gets one line on
// standard error naming it and the fault; the later files are still loaded.
// True when all five loaded.
bool loadImageSet();

// The image in slot index (0 to 4), or null while the slot is empty.
const Image* getImage(int index);

// Prints "Loading the images..", loads the set and, when any file failed, prints
// "Something went wrong with image loading" (both on standard output). Returns
// loadImageSet's result.
bool loadImages();
