// imageFromSurface on surfaces of any width, height, pitch, depth, channel masks
// and bytes. The pixel buffer is exactly pitch x height bytes, so a read beyond
// the rows the surface describes is caught by AddressSanitizer.
//
// Input: width (1 byte), height (1 byte), pitch (2 bytes), depth (1 byte), flags
// (1 byte), red, green, blue and alpha masks (4 bytes each, little-endian), then
// the pixel bytes, repeated to fill the buffer.
#include "fuzz/fuzz_input.h"
#include "images/image_loader.h"

#include <SDL.h>

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input{data, size};
    // Small sizes keep each run fast; -2 and -1 stand for the sizes no decoder makes.
    const int width = input.byte() % 72 - 2;
    const int height = input.byte() % 40 - 2;
    const int pitch = input.half() % 1024;
    const int depth = input.byte() % 34; // 0 to 33 bits
    const std::uint8_t flags = input.byte();
    const std::uint32_t rMask = input.word(), gMask = input.word(), bMask = input.word(), aMask = input.word();

    const std::size_t bytes = height > 0 ? std::size_t(pitch) * std::size_t(height) : 0;
    std::vector<std::uint8_t> pixels(bytes);
    for (std::size_t i = 0; i < bytes && input.remaining() > 0; ++i)
        pixels[i] = input.rest()[i % input.remaining()];

    // SDL makes the format from depth and masks as a decoder's surface would have it.
    void* buffer = (flags & 1) || bytes == 0 ? nullptr : pixels.data();
    SDL_Surface* surface = SDL_CreateRGBSurfaceFrom(buffer, 0, 0, depth, 0, rMask, gMask, bMask, aMask);
    if (!surface)
        return 0;
    surface->w = width;
    surface->h = height;
    surface->pitch = static_cast<Uint16>(pitch);

    const std::unique_ptr<Image> image = imageFromSurface(*surface);
    const int bytesPerPixel = surface->format->BytesPerPixel;
    const bool rowsFit =
        width <= 0 || height <= 0 || (buffer && std::int64_t{pitch} >= std::int64_t{width} * bytesPerPixel);
    const bool usable =
        surface->format->BitsPerPixel >= 8 && bytesPerPixel <= 4 && width >= 0 && height >= 0 && rowsFit;
    FUZZ_CHECK(usable == (image != nullptr), "depth %d, %dx%d, pitch %d", depth, width, height, pitch);
    if (image) {
        FUZZ_CHECK(image->width == width && image->height == height, "%dx%d", image->width, image->height);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const Pixel p = image->pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)];
                const std::uint8_t* in =
                    pixels.data() + std::size_t(y) * std::size_t(pitch) + std::size_t(x) * std::size_t(bytesPerPixel);
                if (surface->format->BitsPerPixel == 8)
                    FUZZ_CHECK(p == in[0] * 0x01010101u, "8-bit pixel (%d, %d) is %08x", x, y, p);
                // A 4-byte pixel may carry its alpha in the byte after blue with no mask saying so.
                else if (bytesPerPixel < 4 && surface->format->Amask == 0)
                    FUZZ_CHECK(p >> 24 == 255, "pixel (%d, %d) without alpha is %08x", x, y, p);
            }
        }
    }
    SDL_FreeSurface(surface);
    return 0;
}
