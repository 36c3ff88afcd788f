// The millisecond clock. It lives in its own file with nothing else, so a test
// program can link its own ticks() in place of this one.
#pragma once

#include <cstdint>

// Milliseconds since SDL was initialised (SDL_GetTicks); wraps after about 49 days,
// so compare two readings by their unsigned difference.
std::uint32_t ticks();
