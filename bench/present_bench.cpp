// present(): a 1024x768 page onto a 1024x768 32-bit video surface (SDL's dummy
// driver, so no window opens), against the memory limits: a memcpy of the page to
// the same surface, and a memset of it.
#include "video/screen.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kPageWidth = 1024;
constexpr int kPageHeight = 768;
constexpr std::size_t kPageBytes = std::size_t{kPageWidth} * kPageHeight * sizeof(Pixel);

// The video surface of the dummy driver at the demo's mode, made once; null with
// the benchmark skipped when SDL cannot provide it.
SDL_Surface* videoSurface(benchmark::State& state)
{
    SDL_Surface* surface = SDL_GetVideoSurface();
    if (!surface || surface->w != kPageWidth || surface->h != kPageHeight || surface->format->BitsPerPixel != 32) {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        if (SDL_WasInit(SDL_INIT_VIDEO) == 0 && SDL_Init(SDL_INIT_VIDEO) < 0)
            surface = nullptr;
        else
            surface = SDL_SetVideoMode(kPageWidth, kPageHeight, 32, 0);
    }
    if (!surface || surface->pitch != kPageWidth * 4)
        state.SkipWithError(surface ? "the video surface has padded rows" : SDL_GetError());
    return surface && surface->pitch == kPageWidth * 4 ? surface : nullptr;
}

void BM_Present(benchmark::State& state)
{
    SDL_Surface* surface = videoSurface(state);
    if (!surface)
        return;
    Screen screen(kPageWidth, kPageHeight, 1, 32);
    std::fill(screen.page(), screen.page() + std::size_t{kPageWidth} * kPageHeight, 0xFF336699u);
    SDL_Surface* previous = gVideoSurface;
    gVideoSurface = surface;
    for (auto _ : state) {
        present(screen);
        benchmark::ClobberMemory();
    }
    gVideoSurface = previous;
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(kPageBytes));
}

void BM_PageMemcpy(benchmark::State& state)
{
    SDL_Surface* surface = videoSurface(state);
    if (!surface)
        return;
    Screen screen(kPageWidth, kPageHeight, 1, 32);
    std::fill(screen.page(), screen.page() + std::size_t{kPageWidth} * kPageHeight, 0xFF336699u);
    for (auto _ : state) {
        std::memcpy(surface->pixels, screen.page(), kPageBytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(kPageBytes));
}

void BM_PageMemset(benchmark::State& state)
{
    SDL_Surface* surface = videoSurface(state);
    if (!surface)
        return;
    for (auto _ : state) {
        std::memset(surface->pixels, 0x5A, kPageBytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(kPageBytes));
}

} // namespace

BENCHMARK(BM_Present);
BENCHMARK(BM_PageMemcpy);
BENCHMARK(BM_PageMemset);
