#include "tools/png_writer.h"

#include <png.h>

#include <cstdio>
#include <vector>

bool writePng(const char* path, const Image& image)
{
    if (image.width <= 0 || image.height <= 0) {
        std::fprintf(stderr, "%s: cannot write an empty image\n", path);
        return false;
    }
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width);
    png.height = static_cast<png_uint_32>(image.height);
    png.format = PNG_FORMAT_RGBA;

    std::vector<png_byte> rgba(static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) * 4);
    for (std::size_t i = 0; i < rgba.size() / 4; ++i) {
        const Pixel p = image.pixels[i];
        rgba[4 * i + 0] = static_cast<png_byte>(p >> 16);
        rgba[4 * i + 1] = static_cast<png_byte>(p >> 8);
        rgba[4 * i + 2] = static_cast<png_byte>(p);
        rgba[4 * i + 3] = static_cast<png_byte>(p >> 24);
    }
    if (!png_image_write_to_file(&png, path, 0, rgba.data(), 0, nullptr)) {
        std::fprintf(stderr, "%s: cannot write PNG: %s\n", path, png.message);
        return false;
    }
    return true;
}
