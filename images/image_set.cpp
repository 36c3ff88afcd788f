#include "images/image_set.h"

#include "images/image_loader.h"

#include <SDL.h>

#include <cstdio>

namespace {

const char* const kImagePaths[kImageCount] = {
    "./data/images/alumin1.jpg", "./data/images/alumin2.jpg",     "./data/images/alumin3.jpg",
    "./data/images/alumin4.jpg", "./data/images/tumblewisp2.png",
};

// Prints why an image cannot serve in its slot, or returns true when it can.
bool fitsSlot(const Image& image, int index)
{
    if (imageFitsSlot(image, index))
        return true;
    const char* path = kImagePaths[index];
    if (index == kSpriteIndex) {
        std::fprintf(stderr, "%s: sprite is %dx%d pixels, at most %dx%d fits the page\n", path, image.width,
                     image.height, kSpriteMaxWidth, kSpriteMaxHeight);
        return false;
    }
    std::fprintf(stderr, "%s: texture is %dx%d pixels, must be %d wide and at least %d high\n", path, image.width,
                 image.height, kTextureWidth, kTextureMinHeight);
    return false;
}

} // namespace

std::unique_ptr<Image> gImages[kImageCount] = {};

const char* imagePath(int index)
{
    return kImagePaths[index];
}

bool imageFitsSlot(const Image& image, int index)
{
    if (index == kSpriteIndex)
        return image.width <= kSpriteMaxWidth && image.height <= kSpriteMaxHeight;
    return image.width == kTextureWidth && image.height >= kTextureMinHeight;
}

bool loadImageSet()
{
    bool allLoaded = true;
    for (int i = 0; i < kImageCount; ++i) {
        gImages[i].reset();
        std::unique_ptr<Image> image = loadImage(kImagePaths[i]);
        if (!image) {
            std::fprintf(stderr, "%s: cannot load image: %s\n", kImagePaths[i], SDL_GetError());
            allLoaded = false;
        } else if (!fitsSlot(*image, i)) {
            allLoaded = false;
        } else {
            gImages[i] = std::move(image);
        }
    }
    return allLoaded;
}

const Image* getImage(int index)
{
    return gImages[index].get();
}

bool loadImages()
{
    std::puts("Loading the images..");
    std::fflush(stdout);
    if (!loadImageSet()) {
        std::puts("Something went wrong with image loading");
        std::fflush(stdout);
        return false;
    }
    return true;
}
