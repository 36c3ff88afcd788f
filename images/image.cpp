#include "images/image.h"

#include <cstdio>
#include <stdexcept>

Image::Image(int width, int height) : width(width), height(height)
{
    if (width < 0 || height < 0)
        throw std::length_error("Image: negative size");
    const std::size_t words = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    if (words > 0)
        pixels = new Pixel[words];
}

Image::~Image()
{
    delete[] pixels;
}

namespace {

std::size_t wordCount(const Image& image)
{
    if (image.width <= 0 || image.height <= 0)
        return 0;
    return static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height);
}

} // namespace

bool clearImage(Image* image)
{
    const std::size_t words = wordCount(*image);
    for (std::size_t i = 0; i < words; ++i)
        image->pixels[i] = 0;
    return true;
}

bool fillGradient(Image* image)
{
    if (wordCount(*image) == 0)
        return true;
    Pixel* out = image->pixels;
    for (std::uint32_t y = 0; y < static_cast<std::uint32_t>(image->height); ++y)
        for (std::uint32_t x = 0; x < static_cast<std::uint32_t>(image->width); ++x)
            *out++ = x * y;
    return true;
}

bool fillImage(Image* image, int pattern)
{
    if (image->width <= 0 || image->height <= 0) {
        std::puts("Error : Invalid Image dimensions. Possibly uninitialized Image object.");
        return false;
    }
    switch (pattern) {
    case 0: return clearImage(image);
    case 1: return fillGradient(image);
    default: return false;
    }
}
