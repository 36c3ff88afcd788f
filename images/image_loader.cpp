#include "images/image_loader.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cstdint>
#include <cstring>

namespace {

// Reads one pixel of 2, 3 or 4 bytes as SDL stores it: 16- and 32-bit pixels are
// native words, 24-bit ones are assembled in SDL's byte order.
std::uint32_t readWord(const std::uint8_t* p, int bytesPerPixel)
{
    switch (bytesPerPixel) {
    case 2: {
        std::uint16_t v;
        std::memcpy(&v, p, 2);
        return v;
    }
    case 3:
        if (SDL_BYTEORDER == SDL_LIL_ENDIAN)
            return p[0] | p[1] << 8 | std::uint32_t{p[2]} << 16;
        return std::uint32_t{p[0]} << 16 | p[1] << 8 | p[2];
    default: {
        std::uint32_t v;
        std::memcpy(&v, p, 4);
        return v;
    }
    }
}

// One channel of a masked pixel word, widened (or narrowed) to 0..255 so that
// full scale stays full scale.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint32_t maximum = 0; // the channel's full scale, mask >> shift

    explicit Channel(std::uint32_t channelMask) : mask(channelMask)
    {
        if (mask == 0)
            return;
        while (((mask >> shift) & 1) == 0)
            ++shift;
        maximum = mask >> shift;
    }

    std::uint32_t operator()(std::uint32_t word) const
    {
        if (maximum == 0)
            return 0;
        const std::uint64_t value = (word & mask) >> shift;
        return static_cast<std::uint32_t>((value * 255 + maximum / 2) / maximum);
    }
};

// True when a 3- or 4-byte pixel holds red, green and blue in bytes 0, 1 and 2 of
// memory, the order the byte rule reads.
bool redFirst(const SDL_PixelFormat& format)
{
    const std::uint8_t red[4] = {0xFF, 0, 0, 0};
    const std::uint8_t green[4] = {0, 0xFF, 0, 0};
    const std::uint8_t blue[4] = {0, 0, 0xFF, 0};
    const int bytes = format.BytesPerPixel;
    return format.Rmask == readWord(red, bytes) && format.Gmask == readWord(green, bytes) &&
           format.Bmask == readWord(blue, bytes);
}

// True when every chunk of a PNG file lies inside the file and the chunks end
// with IEND. SDL_image's PNG reader does not stop at the end of the file: a chunk
// length pointing past it makes libpng parse the same stale bytes for ever.
bool pngChunksInside(SDL_RWops* file)
{
    const std::int64_t size = SDL_RWseek(file, 0, RW_SEEK_END);
    std::int64_t at = 8; // after the signature
    bool whole = false;
    while (at + 12 <= size) {
        std::uint8_t header[8];
        if (SDL_RWseek(file, static_cast<int>(at), RW_SEEK_SET) < 0 || SDL_RWread(file, header, 8, 1) != 1)
            break;
        const std::int64_t length = std::int64_t{header[0]} << 24 | header[1] << 16 | header[2] << 8 | header[3];
        if (at + 12 + length > size)
            break;
        if (std::memcmp(header + 4, "IEND", 4) == 0) {
            whole = true;
            break;
        }
        at += 12 + length;
    }
    SDL_RWseek(file, 0, RW_SEEK_SET);
    return whole;
}

} // namespace

std::unique_ptr<Image> imageFromSurface(const SDL_Surface& surface)
{
    const SDL_PixelFormat& format = *surface.format;
    const int depth = format.BitsPerPixel;
    const int bytesPerPixel = format.BytesPerPixel;
    if (depth < 8 || bytesPerPixel < 1 || bytesPerPixel > 4) {
        SDL_SetError("unsupported pixel depth of %d bits", depth);
        return nullptr;
    }
    if (surface.w < 0 || surface.h < 0 ||
        (surface.w > 0 && surface.h > 0 &&
         (!surface.pixels || surface.pitch < std::int64_t{surface.w} * bytesPerPixel))) {
        SDL_SetError("surface of %dx%d pixels has rows of only %d bytes", surface.w, surface.h, surface.pitch);
        return nullptr;
    }

    auto image = std::make_unique<Image>(surface.w, surface.h);
    // An empty surface may have no pixels at all: not even a row address is formed.
    if (surface.w == 0 || surface.h == 0)
        return image;
    const bool byteRule = depth == 8 || ((bytesPerPixel == 3 || bytesPerPixel == 4) && redFirst(format));
    const Channel red(format.Rmask), green(format.Gmask), blue(format.Bmask), alpha(format.Amask);
    Pixel* out = image->pixels;
    for (int y = 0; y < surface.h; ++y) {
        const auto* in = static_cast<const std::uint8_t*>(surface.pixels) + std::size_t{surface.pitch} * y;
        for (int x = 0; x < surface.w; ++x, in += bytesPerPixel) {
            if (depth == 8) {
                *out++ = in[0] * 0x01010101u;
            } else if (byteRule) {
                const std::uint32_t alpha = bytesPerPixel == 4 ? in[3] : 255;
                *out++ = alpha << 24 | std::uint32_t{in[0]} << 16 | in[1] << 8 | in[2];
            } else {
                const std::uint32_t word = readWord(in, bytesPerPixel);
                const std::uint32_t a = format.Amask ? alpha(word) : 255;
                *out++ = a << 24 | red(word) << 16 | green(word) << 8 | blue(word);
            }
        }
    }
    return image;
}

std::unique_ptr<Image> loadImage(const char* path)
{
    SDL_RWops* file = SDL_RWFromFile(path, "rb");
    if (!file)
        return nullptr;
    // Only JPEG, PNG and BMP go to a decoder: SDL_image's other decoders are not
    // safe on damaged files (its GIF decoder can loop for ever on one).
    if (!IMG_isJPG(file) && !IMG_isPNG(file) && !IMG_isBMP(file)) {
        SDL_RWclose(file);
        SDL_SetError("not a JPEG, PNG or BMP file");
        return nullptr;
    }
    if (IMG_isPNG(file) && !pngChunksInside(file)) {
        SDL_RWclose(file);
        SDL_SetError("damaged PNG file: a chunk runs past its end");
        return nullptr;
    }
    SDL_Surface* surface = IMG_Load_RW(file, 1);
    if (!surface)
        return nullptr;
    std::unique_ptr<Image> image;
    try {
        image = imageFromSurface(*surface);
    } catch (...) {
        SDL_FreeSurface(surface);
        throw;
    }
    SDL_FreeSurface(surface);
    return image;
}
