// The sprite blit: the 53 sprites of the scene at 29 s, ours (chosen by the CPU and
// each path forced) against SDL 1.2's RLE colour-key blit of the same sprite, on
// the demo's sprite and on one of its size with scattered transparency.
#include "images/image_loader.h"
#include "images/sprite_blit.h"
#include "images/sprite_blit_paths.h"
#include "video/cpu.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <unordered_set>
#include <vector>

namespace {

constexpr int kPageWidth = 1024;
constexpr int kPageHeight = 768;
constexpr std::uint32_t kTime = 29000; // ms: the late demo, 53 sprites

struct Position {
    int x, y;
};

// The scene's sprite positions with every clock reading at kTime, formed exactly
// as the scene forms them (single-precision constants widened to double).
std::vector<Position> scenePositions()
{
    constexpr double kRateX1 = 0.001f, kRateX2 = 0.0009f, kRateY1 = 0.0007f, kRateY2 = 0.002f;
    constexpr double kAmplitudeX1 = 180.0f, kAmplitudeX2 = 200.0f, kCentreX = 400.0f;
    constexpr double kAmplitudeY1 = 100.0f, kAmplitudeY2 = 150.0f, kCentreY = 300.0f;
    const auto count = static_cast<std::int32_t>(kTime * static_cast<double>(0.002f) - static_cast<double>(5.0f));
    std::vector<Position> positions;
    for (std::int32_t i = 0; i < count; ++i) {
        const double id = i;
        const double x1 = std::sin(kRateX1 * kTime + id);
        const double x2 = std::sin(kRateX2 * kTime + id + id + id);
        const double y1 = std::sin(kRateY1 * kTime + id);
        const double y2 = std::sin(kRateY2 * kTime + id + id);
        positions.push_back({static_cast<int>(kAmplitudeX1 * x1 + kAmplitudeX2 * x2 + kCentreX),
                             static_cast<int>(kAmplitudeY1 * y1 + kAmplitudeY2 * y2 + kCentreY)});
    }
    return positions;
}

enum class SpriteKind { demo, scattered };

// The demo's sprite as loaded by the demo; the scattered one has its size, random
// opaque colours and alpha 0 on about half its pixels, independently (seed 1).
const Image& sprite(SpriteKind kind)
{
    static const std::unique_ptr<Image> demo = [] {
        const char* path = ORVANE_SOURCE_DIR "/data/images/tumblewisp2.png";
        auto image = loadImage(path);
        if (!image) {
            std::fprintf(stderr, "sprite_blit_bench: cannot load %s: %s\n", path, SDL_GetError());
            std::exit(1);
        }
        return image;
    }();
    static const std::unique_ptr<Image> scattered = [] {
        auto image = std::make_unique<Image>(demo->width, demo->height);
        std::mt19937 random(1);
        for (std::size_t k = 0; k < static_cast<std::size_t>(image->width) * image->height; ++k)
            image->pixels[k] = (random() & 1 ? 0xFF000000u : 0u) | (static_cast<Pixel>(random()) & 0x00FFFFFFu);
        return image;
    }();
    return kind == SpriteKind::demo ? *demo : *scattered;
}

std::int64_t pixelsPerFrame(const Image& image, std::size_t sprites)
{
    return std::int64_t{image.width} * image.height * static_cast<std::int64_t>(sprites);
}

void blitFrames(benchmark::State& state, SpriteKind kind, CpuLevel level)
{
    if (cpuLevel() < level) {
        state.SkipWithError("this processor lacks the instruction set");
        return;
    }
    const CpuLevel previous = setCpuLevelLimit(level);
    const Image& image = sprite(kind);
    const std::vector<Position> positions = scenePositions();
    Screen screen(kPageWidth, kPageHeight, 1, 32);
    std::fill(screen.page(), screen.page() + std::size_t{kPageWidth} * kPageHeight, 0xFF204060u);
    for (auto _ : state) {
        for (const Position p : positions)
            blitSprite(image, p.x, p.y, screen);
        benchmark::ClobberMemory();
    }
    setCpuLevelLimit(previous);
    state.SetItemsProcessed(state.iterations() * pixelsPerFrame(image, positions.size()));
}

// SDL's peer: the sprite as a 32-bit surface without alpha, a key colour that no
// opaque pixel has where alpha is 0, RLE-encoded by SDL on the first blit.
void sdlColourKeyFrames(benchmark::State& state, SpriteKind kind)
{
    const Image& image = sprite(kind);
    std::unordered_set<Pixel> used;
    for (std::size_t k = 0; k < static_cast<std::size_t>(image.width) * image.height; ++k)
        if (image.pixels[k] >> 24 != 0)
            used.insert(image.pixels[k] & 0x00FFFFFFu);
    Pixel key = 0x00FF00FFu;
    while (used.count(key) != 0)
        key = (key + 1) & 0x00FFFFFFu;

    SDL_Surface* source =
        SDL_CreateRGBSurface(SDL_SWSURFACE, image.width, image.height, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0);
    SDL_Surface* target =
        SDL_CreateRGBSurface(SDL_SWSURFACE, kPageWidth, kPageHeight, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0);
    if (!source || !target) {
        state.SkipWithError(SDL_GetError());
        return;
    }
    for (int r = 0; r < image.height; ++r) {
        auto* bytes = static_cast<std::uint8_t*>(source->pixels) + static_cast<std::size_t>(r) * source->pitch;
        auto* row = reinterpret_cast<Pixel*>(bytes);
        for (int k = 0; k < image.width; ++k) {
            const Pixel p = image.pixels[static_cast<std::size_t>(r) * image.width + k];
            row[k] = p >> 24 != 0 ? p & 0x00FFFFFFu : key;
        }
    }
    SDL_FillRect(target, nullptr, 0x204060);
    SDL_SetColorKey(source, SDL_SRCCOLORKEY | SDL_RLEACCEL, key);
    const std::vector<Position> positions = scenePositions();
    SDL_Rect place{0, 0, 0, 0};
    SDL_BlitSurface(source, nullptr, target, &place); // encodes the runs once, outside the timing
    for (auto _ : state) {
        for (const Position p : positions) {
            SDL_Rect at{static_cast<Sint16>(p.x), static_cast<Sint16>(p.y), 0, 0};
            SDL_BlitSurface(source, nullptr, target, &at);
        }
        benchmark::ClobberMemory();
    }
    SDL_FreeSurface(source);
    SDL_FreeSurface(target);
    state.SetItemsProcessed(state.iterations() * pixelsPerFrame(image, positions.size()));
}

void BM_SpriteBlit(benchmark::State& state, SpriteKind kind)
{
    blitFrames(state, kind, cpuLevel());
}
void BM_SpriteBlitScalar(benchmark::State& state, SpriteKind kind)
{
    blitFrames(state, kind, CpuLevel::scalar);
}
#ifndef ORVANE_SCALAR_ONLY
void BM_SpriteBlitSse2(benchmark::State& state, SpriteKind kind)
{
    blitFrames(state, kind, CpuLevel::sse2);
}
void BM_SpriteBlitAvx2(benchmark::State& state, SpriteKind kind)
{
    blitFrames(state, kind, CpuLevel::avx2);
}
void BM_SpriteBlitAvx512(benchmark::State& state, SpriteKind kind)
{
    blitFrames(state, kind, CpuLevel::avx512);
}
#endif
void BM_SdlColourKeyBlit(benchmark::State& state, SpriteKind kind)
{
    sdlColourKeyFrames(state, kind);
}

} // namespace

BENCHMARK_CAPTURE(BM_SpriteBlit, demo, SpriteKind::demo);
BENCHMARK_CAPTURE(BM_SpriteBlitScalar, demo, SpriteKind::demo);
#ifndef ORVANE_SCALAR_ONLY
BENCHMARK_CAPTURE(BM_SpriteBlitSse2, demo, SpriteKind::demo);
BENCHMARK_CAPTURE(BM_SpriteBlitAvx2, demo, SpriteKind::demo);
BENCHMARK_CAPTURE(BM_SpriteBlitAvx512, demo, SpriteKind::demo);
#endif
BENCHMARK_CAPTURE(BM_SdlColourKeyBlit, demo, SpriteKind::demo);
BENCHMARK_CAPTURE(BM_SpriteBlit, scattered, SpriteKind::scattered);
BENCHMARK_CAPTURE(BM_SpriteBlitScalar, scattered, SpriteKind::scattered);
#ifndef ORVANE_SCALAR_ONLY
BENCHMARK_CAPTURE(BM_SpriteBlitSse2, scattered, SpriteKind::scattered);
BENCHMARK_CAPTURE(BM_SpriteBlitAvx2, scattered, SpriteKind::scattered);
BENCHMARK_CAPTURE(BM_SpriteBlitAvx512, scattered, SpriteKind::scattered);
#endif
BENCHMARK_CAPTURE(BM_SdlColourKeyBlit, scattered, SpriteKind::scattered);
