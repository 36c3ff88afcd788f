// upscale INPUT OUTPUT.png: draws INPUT through each upscaling filter and writes one
// PNG holding, left to right, the source at 1x and the doubling, Scale2x, Scale3x and
// Eagle results, on a grey checkerboard where the image is transparent.
#include "images/image_loader.h"
#include "images/scaled_blit.h"
#include "tools/png_writer.h"

#include <SDL_image.h>

#include <cstdint>
#include <cstdio>

namespace {

constexpr int kGap = 8;    // between panels and around them
constexpr int kSquare = 8; // side of a checkerboard square
constexpr Pixel kLight = 0xFF9C9C9C;
constexpr Pixel kDark = 0xFF747474;
constexpr int kLargestPicture = 16384; // pixels each way, to keep memory sensible

// Panels left to right by the gScaleMode that draws them; -1 is the source itself.
constexpr int kPanelModes[] = {-1, 0, 1, 2, 3};

int panelScale(int mode)
{
    return mode < 0 ? 1 : mode == 2 ? 3 : 2;
}

void fillCheckerboard(Image& picture)
{
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            picture.pixels[static_cast<std::size_t>(y) * picture.width + x] =
                (x / kSquare + y / kSquare) % 2 ? kDark : kLight;
}

// Copies a width x height block of rows into picture at (left, top). The PNG
// shows what the sprite blit would draw: alpha 0 leaves the background, any
// other alpha puts the colour down opaque.
void drawPanel(Image& picture, int left, int top, const Pixel* rows, int width, int height)
{
    for (int y = 0; y < height; ++y) {
        const Pixel* source = rows + static_cast<std::size_t>(y) * width;
        Pixel* target = picture.pixels + static_cast<std::size_t>(top + y) * picture.width + left;
        for (int x = 0; x < width; ++x) {
            if (source[x] >> 24 != 0)
                target[x] = source[x] | 0xFF000000u;
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: upscale INPUT OUTPUT.png\n");
        return 2;
    }
    const char* inputPath = argv[1];
    const char* outputPath = argv[2];

    const auto image = loadImage(inputPath);
    if (!image) {
        std::fprintf(stderr, "upscale: cannot load %s: %s\n", inputPath, IMG_GetError());
        return 1;
    }
    const std::int64_t width = std::int64_t{kGap} + 10 * std::int64_t{image->width} + 5 * std::int64_t{kGap};
    const std::int64_t height = std::int64_t{kGap} + 3 * std::int64_t{image->height} + kGap;
    if (image->width <= 0 || image->height <= 0 || width > kLargestPicture || height > kLargestPicture) {
        std::fprintf(stderr, "upscale: %s: a %dx%d image is too large or empty to show\n", inputPath, image->width,
                     image->height);
        return 1;
    }

    Image picture(static_cast<int>(width), static_cast<int>(height));
    fillCheckerboard(picture);
    int left = kGap;
    for (int mode : kPanelModes) {
        const int f = panelScale(mode);
        if (mode < 0) {
            drawPanel(picture, left, kGap, image->pixels, image->width, image->height);
        } else {
            Screen screen(f * image->width, f * image->height, 1, 32);
            gScaleMode = mode;
            blitScaled(*image, screen);
            drawPanel(picture, left, kGap, screen.page(), screen.width, screen.height);
        }
        left += f * image->width + kGap;
    }
    return writePng(outputPath, picture) ? 0 : 1;
}
