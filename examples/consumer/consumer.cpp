// A program built against an installed framework: it draws one frame headless (a
// rotozoomed test pattern and a sprite), presents it, and checks a few pixels.
#include "fx/rotozoom.h"
#include "images/sprite_blit.h"
#include "video/screen.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>

namespace {

bool expect(const char* what, Pixel actual, Pixel expected)
{
    if (actual == expected)
        return true;
    std::fprintf(stderr, "consumer: %s is 0x%08X, expected 0x%08X\n", what, actual, expected);
    return false;
}

} // namespace

int main()
{
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    if (SDL_Init(SDL_INIT_VIDEO) < 0) {
        std::fprintf(stderr, "consumer: cannot initialise SDL: %s\n", SDL_GetError());
        return 1;
    }
    Screen* screen = createScreen(320, 240, 2, 32, false);
    if (!screen) {
        std::fprintf(stderr, "consumer: cannot set the video mode: %s\n", SDL_GetError());
        return 1;
    }

    Image texture(1024, 512);
    fillGradient(&texture); // texel (x, y) is the word x * y
    Image sprite(8, 8);
    clearImage(&sprite);
    for (int y = 2; y < 6; ++y)
        for (int x = 2; x < 6; ++x)
            sprite.pixels[y * 8 + x] = 0xFFFF0000;

    // Unturned and unzoomed, page pixel (k, r) shows texel (k + 1, r + 1).
    drawRotozoom(texture, 0, 1, 0, 0, *screen);
    blitSprite(sprite, 10, 20, *screen);
    const Pixel* page = screen->page();
    bool ok = expect("page pixel (0, 0)", page[0], 1 * 1) &&
              expect("page pixel (100, 50)", page[50 * 320 + 100], 101 * 51) &&
              expect("transparent sprite corner", page[20 * 320 + 10], 11 * 21) &&
              expect("opaque sprite pixel", page[22 * 320 + 12], 0xFFFF0000);

    screen->flip();
    const auto* shown = static_cast<const Pixel*>(gVideoSurface->pixels);
    ok = ok && expect("presented pixel (12, 22)", shown[22 * 320 + 12], 0xFFFF0000);
    delete screen;
    SDL_Quit();
    if (!ok)
        return 1;
    std::puts("consumer: frame drawn and checked");
    return 0;
}
