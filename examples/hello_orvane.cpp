// The smallest whole program on the framework: a window, a rotozoomed test pattern
// and a sprite that follows the clock, until Escape or the window is closed.
#include "app/run_loop.h"
#include "fx/rotozoom.h"
#include "images/sprite_blit.h"
#include "video/clock.h"
#include "video/screen.h"

#include <SDL.h>

#include <cmath>
#include <cstdio>

int main()
{
    if (SDL_Init(SDL_INIT_VIDEO) < 0) {
        std::fprintf(stderr, "cannot initialise SDL: %s\n", SDL_GetError());
        return 1;
    }
    Screen* screen = createScreen(640, 480, 2, 32, false);
    if (!screen) {
        std::fprintf(stderr, "cannot set the video mode: %s\n", SDL_GetError());
        SDL_Quit();
        return 1;
    }

    Image texture(1024, 512); // the rotozoomer reads 1024-pixel rows, 512 of them
    fillGradient(&texture);
    Image sprite(32, 32); // an opaque disc; alpha 0 around it is left out
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            sprite.pixels[y * 32 + x] = (x - 16) * (x - 16) + (y - 16) * (y - 16) < 200 ? 0xFFFFD040 : 0;

    while (!gQuit) { // pollInput sets gQuit on Escape and on the close request
        pollInput();
        const float t = static_cast<float>(ticks());
        drawRotozoom(texture, t / 64, 1.5f, 0, 0, *screen);
        blitSprite(sprite, 304 + static_cast<int>(200 * std::sin(t / 500)), 224, *screen);
        screen->flip();
    }
    delete screen;
    SDL_Quit();
    return 0;
}
