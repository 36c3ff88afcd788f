// The paged software framebuffer and its presentation on the SDL video surface.
#pragma once

#include <cstdint>

struct SDL_Surface;

// One pixel: 0xAARRGGBB. Alpha in bits 24-31, red 16-23, green 8-15, blue 0-7.
// The sprite blit leaves out pixels whose alpha byte is 0; the video surface shows
// the low 24 bits.
using Pixel = std::uint32_t;

// pageCount pages of width x height Pixels in one block. Every drawing operation
// writes into page(): rows top to bottom, rows back to back, pixel (x, y) is word
// y * width + x. Page contents are undefined until drawn.
struct Screen {
    int width = 0;              // pixels per row
    int height = 0;             // rows per page
    Pixel* pageStore = nullptr; // all pages back to back, 64-byte aligned; owned
    int bitsPerPixel = 32;      // only 32 is supported
    int pageCount = 1;          // at least 1
    int currentPage = 0;        // 0 .. pageCount - 1

    // Throws std::invalid_argument for a negative size, pageCount < 1 or a depth
    // other than 32, std::bad_alloc when the store cannot be allocated.
    Screen(int width, int height, int pageCount, int bitsPerPixel);
    ~Screen();
    Screen(const Screen&) = delete;
    Screen& operator=(const Screen&) = delete;

    Pixel* page() const; // first Pixel of the current page
    void advancePage();  // currentPage = (currentPage + 1) mod pageCount
    void flip();         // present(*this), then advancePage()
};

// The surface of the latest successful createScreen; null before it. Owned by SDL.
extern SDL_Surface* gVideoSurface;

// Allocates a Screen, sets the SDL video mode (SDL_FULLSCREEN when fullScreen,
// a plain software window otherwise), the caption "Orvane Framework Test" and, in
// full screen, hides the cursor. Returns null, with SDL's error set, when the
// video mode cannot be had or is not 32 bits per pixel.
Screen* createScreen(int width, int height, int pageCount, int bitsPerPixel, bool fullScreen);

// Copies the current page to gVideoSurface and shows it with SDL_Flip. One flat
// copy when the surface rows are exactly 4 * width bytes apart, else row by row
// with the surface pitch, clipped to the smaller of the two sizes. Does nothing
// without a surface; a failed surface lock drops the frame silently.
void present(const Screen& screen);
