#include "video/clock.h"

#include <SDL.h>

std::uint32_t ticks()
{
    return SDL_GetTicks();
}
