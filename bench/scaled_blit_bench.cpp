// The upscaler in each mode on a 200x180 pixel-art image into a 1024x768 page,
// chosen by the CPU and scalar, against pixman's nearest-neighbour scaling by the
// same factor.
#include "images/scaled_blit.h"
#include "video/cpu.h"

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <random>

namespace {

constexpr int kPageWidth = 1024;
constexpr int kPageHeight = 768;
constexpr int kImageWidth = 200;
constexpr int kImageHeight = 180;

// Pixel art: a background with random blocks and diagonal strokes in a few
// colours (seed 1), so the filters find both flat areas and edges.
const Image& pixelArt()
{
    static const std::unique_ptr<Image> image = [] {
        auto art = std::make_unique<Image>(kImageWidth, kImageHeight);
        const Pixel palette[] = {0xFF1A1C2Cu, 0xFF5D275Du, 0xFFB13E53u, 0xFFEF7D57u, 0xFFFFCD75u, 0xFF38B764u};
        std::mt19937 random(1);
        const auto pick = [&](int high) { return std::uniform_int_distribution<int>(0, high)(random); };
        std::fill(art->pixels, art->pixels + kImageWidth * kImageHeight, palette[0]);
        for (int shape = 0; shape < 120; ++shape) {
            const Pixel colour = palette[pick(5)];
            const int x0 = pick(kImageWidth - 1), y0 = pick(kImageHeight - 1), size = 2 + pick(20);
            const bool diagonal = pick(1) == 0;
            for (int d = 0; d < size; ++d)
                for (int e = 0; e < (diagonal ? 2 : size); ++e) {
                    const int x = diagonal ? x0 + d + e : x0 + e, y = y0 + d;
                    if (x < kImageWidth && y < kImageHeight)
                        art->pixels[y * kImageWidth + x] = colour;
                }
        }
        return art;
    }();
    return *image;
}

int factor(int mode)
{
    return mode == 2 ? 3 : 2;
}

void scaledFrames(benchmark::State& state, int mode, CpuLevel level)
{
    const CpuLevel previous = setCpuLevelLimit(level);
    const int previousMode = gScaleMode;
    gScaleMode = mode;
    const Image& image = pixelArt();
    Screen screen(kPageWidth, kPageHeight, 1, 32);
    std::fill(screen.page(), screen.page() + kPageWidth * kPageHeight, 0u);
    for (auto _ : state) {
        blitScaled(image, screen);
        benchmark::ClobberMemory();
    }
    gScaleMode = previousMode;
    setCpuLevelLimit(previous);
    const std::int64_t written = std::int64_t{factor(mode) * kImageWidth} * factor(mode) * kImageHeight;
    state.SetItemsProcessed(state.iterations() * written);
}

// pixman's peer: the same image as an a8r8g8b8 source scaled by f with nearest
// sampling (a transform of 1/f), copied (PIXMAN_OP_SRC) into the f*200 x f*180
// top-left region of a page-sized destination.
void pixmanFrames(benchmark::State& state, int f)
{
    const Image& image = pixelArt();
    Screen screen(kPageWidth, kPageHeight, 1, 32);
    std::fill(screen.page(), screen.page() + kPageWidth * kPageHeight, 0u);
    pixman_image_t* source =
        pixman_image_create_bits(PIXMAN_a8r8g8b8, kImageWidth, kImageHeight, image.pixels, kImageWidth * 4);
    pixman_image_t* target =
        pixman_image_create_bits(PIXMAN_a8r8g8b8, kPageWidth, kPageHeight, screen.page(), kPageWidth * 4);
    pixman_transform_t scale;
    pixman_transform_init_scale(&scale, pixman_fixed_1 / f, pixman_fixed_1 / f);
    pixman_image_set_transform(source, &scale);
    pixman_image_set_filter(source, PIXMAN_FILTER_NEAREST, nullptr, 0);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_SRC, source, nullptr, target, 0, 0, 0, 0, 0, 0, f * kImageWidth,
                                 f * kImageHeight);
        benchmark::ClobberMemory();
    }
    pixman_image_unref(source);
    pixman_image_unref(target);
    state.SetItemsProcessed(state.iterations() * std::int64_t{f * kImageWidth} * f * kImageHeight);
}

void BM_ScaledBlitDoubling(benchmark::State& state)
{
    scaledFrames(state, 0, cpuLevel());
}
void BM_ScaledBlitDoublingScalar(benchmark::State& state)
{
    scaledFrames(state, 0, CpuLevel::scalar);
}
void BM_ScaledBlitScale2x(benchmark::State& state)
{
    scaledFrames(state, 1, cpuLevel());
}
void BM_ScaledBlitScale2xScalar(benchmark::State& state)
{
    scaledFrames(state, 1, CpuLevel::scalar);
}
void BM_ScaledBlitScale3x(benchmark::State& state)
{
    scaledFrames(state, 2, cpuLevel());
}
void BM_ScaledBlitScale3xScalar(benchmark::State& state)
{
    scaledFrames(state, 2, CpuLevel::scalar);
}
void BM_ScaledBlitEagle(benchmark::State& state)
{
    scaledFrames(state, 3, cpuLevel());
}
void BM_ScaledBlitEagleScalar(benchmark::State& state)
{
    scaledFrames(state, 3, CpuLevel::scalar);
}
void BM_PixmanNearestScale2(benchmark::State& state)
{
    pixmanFrames(state, 2);
}
void BM_PixmanNearestScale3(benchmark::State& state)
{
    pixmanFrames(state, 3);
}

} // namespace

BENCHMARK(BM_ScaledBlitDoubling);
BENCHMARK(BM_ScaledBlitDoublingScalar);
BENCHMARK(BM_ScaledBlitScale2x);
BENCHMARK(BM_ScaledBlitScale2xScalar);
BENCHMARK(BM_ScaledBlitEagle);
BENCHMARK(BM_ScaledBlitEagleScalar);
BENCHMARK(BM_PixmanNearestScale2);
BENCHMARK(BM_ScaledBlitScale3x);
BENCHMARK(BM_ScaledBlitScale3xScalar);
BENCHMARK(BM_PixmanNearestScale3);
