// The test kit: images, surfaces, pages and data folders made on the spot.
#pragma once

#include "images/image.h"

#include <SDL.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace fixtures {

// An image of one colour.
std::unique_ptr<Image> solidImage(int width, int height, Pixel colour);

// An image of random words (every byte random, alpha included).
std::unique_ptr<Image> randomImage(int width, int height, std::mt19937& random);

// Fills the whole page store (every page) with a pattern no drawing produces by
// chance, so that a test can require untouched words to keep it.
void fillCanary(Screen& screen);
Pixel canaryWord(std::size_t index);

// The words of the current page, for comparisons.
std::vector<Pixel> pageWords(const Screen& screen);

// The index and both values of the first difference, or "" when equal.
std::string firstDifference(const std::vector<Pixel>& actual, const std::vector<Pixel>& expected, int width);

// A folder under the system's temporary folder, removed with its contents.
struct TempDir {
    std::filesystem::path path;
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
};

// Changes the working directory for the lifetime of the object.
struct ScopedChdir {
    std::filesystem::path previous;
    explicit ScopedChdir(const std::filesystem::path& to);
    ~ScopedChdir();
};

// Writes data/images/ below root with the demo's five file names: textures of
// textureWidth x textureHeight in four different solid colours (textureColour(i)),
// and a sprite of spriteWidth x spriteHeight with a transparent border. PNG files,
// which decode red-first like the real media.
void writeImageSet(const std::filesystem::path& root, int textureWidth = 1024, int textureHeight = 512,
                   int spriteWidth = 16, int spriteHeight = 8);
Pixel textureColour(int index);
constexpr Pixel kSpriteColour = 0xFF00FF00;

// SDL with the dummy video driver, for tests that push events or set a video mode.
struct SdlVideo {
    SdlVideo();
    ~SdlVideo();
};

} // namespace fixtures
