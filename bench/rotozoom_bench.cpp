// The rotozoomer at the demo's sizes: each of our paths and pixman's bilinear
// affine composite, at angles that change every frame and at fixed ones.
// The page limits (memset and memcpy of a page) are in present_bench.cpp.
#include "fx/rotozoom_paths.h"

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cmath>
#include <numbers>
#include <random>

namespace {

constexpr int kPageWidth = 1024;
constexpr int kPageHeight = 768;
constexpr std::int64_t kPagePixels = std::int64_t{kPageWidth} * kPageHeight;

// The slowest fixed angle of our dispatched path, in degrees. A sweep in 5 degree
// steps (BM_RotozoomAngleSweepDispatched) is slowest near the diagonals: there a
// page row and a page column both cross the texture's rows at a slant, so neither
// walk reads texels along a row, and 45, 135, 225 and 315 degrees time alike
// within the noise. (Near a quarter turn, slow before the fast paths learned to
// walk page columns, the time is now that of an unturned page.)
constexpr int kWorstAngleDegrees = 45;

// The demo's angle input for a rotation in degrees (the rotation is input / 53.6).
float angleInput(double degrees)
{
    return static_cast<float>(degrees * std::numbers::pi / 180 * 53.6);
}

// The angle of frame i: one demo frame at 60 Hz moves the angle input by 16.7 / 64.
float changingAngle(std::int64_t i)
{
    return static_cast<float>(i) * 0.26f;
}

// An opaque random 1024 x 512 texture, like the demo's decoded JPEG images.
const Image& texture()
{
    static const Image* const shared = [] {
        auto* image = new Image(kRotozoomTextureWidth, kRotozoomTextureHeight);
        std::mt19937 random(1);
        for (int i = 0; i < kRotozoomTextureWidth * kRotozoomTextureHeight; ++i)
            image->pixels[i] = static_cast<Pixel>(random()) | 0xFF000000;
        return image;
    }();
    return *shared;
}

bool skipUnsupported(benchmark::State& state, CpuLevel level)
{
    if (cpuLevel() >= level)
        return false;
    state.SkipWithError("not supported by this processor");
    return true;
}

// One variant at angles chosen per frame by angleOf(frame).
template <typename AngleOf> void runVariant(benchmark::State& state, CpuLevel level, AngleOf angleOf)
{
    if (skipUnsupported(state, level))
        return;
    const RotozoomRoutine routine = rotozoomRoutine(level);
    Screen screen(kPageWidth, kPageHeight, 1, 32);
    std::int64_t frame = 0;
    for (auto _ : state) {
        RotozoomSteps steps;
        rotozoomSteps(angleOf(frame++), 1.0f, 0, 0, &steps);
        routine(texture().pixels, steps, screen);
        benchmark::DoNotOptimize(screen.page());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kPagePixels);
}

void BM_RotozoomChangingAnglesScalar(benchmark::State& state)
{
    runVariant(state, CpuLevel::scalar, changingAngle);
}
void BM_RotozoomChangingAnglesSse2(benchmark::State& state)
{
    runVariant(state, CpuLevel::sse2, changingAngle);
}
void BM_RotozoomChangingAnglesAvx2(benchmark::State& state)
{
    runVariant(state, CpuLevel::avx2, changingAngle);
}
void BM_RotozoomChangingAnglesAvx512(benchmark::State& state)
{
    runVariant(state, CpuLevel::avx512, changingAngle);
}

// The public entry point, whose path is chosen by the processor.
void BM_RotozoomChangingAnglesDispatched(benchmark::State& state)
{
    Screen screen(kPageWidth, kPageHeight, 1, 32);
    std::int64_t frame = 0;
    for (auto _ : state) {
        drawRotozoom(texture(), changingAngle(frame++), 1.0f, 0, 0, screen);
        benchmark::DoNotOptimize(screen.page());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kPagePixels);
    state.SetLabel(cpuLevelName(activeCpuLevel()));
}

// Fixed angles: the argument is the rotation in degrees.
void runFixed(benchmark::State& state, CpuLevel level)
{
    const float angle = angleInput(static_cast<double>(state.range(0)));
    runVariant(state, level, [angle](std::int64_t) { return angle; });
}
void BM_RotozoomFixedAngleScalar(benchmark::State& state)
{
    runFixed(state, CpuLevel::scalar);
}
void BM_RotozoomFixedAngleSse2(benchmark::State& state)
{
    runFixed(state, CpuLevel::sse2);
}
void BM_RotozoomFixedAngleAvx2(benchmark::State& state)
{
    runFixed(state, CpuLevel::avx2);
}
void BM_RotozoomFixedAngleAvx512(benchmark::State& state)
{
    runFixed(state, CpuLevel::avx512);
}
void BM_RotozoomFixedAngleDispatched(benchmark::State& state)
{
    runFixed(state, activeCpuLevel());
}

// Every angle of a turn, to find the slowest (not part of the report).
void BM_RotozoomAngleSweepDispatched(benchmark::State& state)
{
    runFixed(state, activeCpuLevel());
}

// pixman: the texture as a repeating a8r8g8b8 source, sampled bilinearly through
// the same rotation, into an a8r8g8b8 page with PIXMAN_OP_SRC.
struct PixmanScene {
    pixman_image_t* source;
    pixman_image_t* destination;
    Screen page{kPageWidth, kPageHeight, 1, 32};
    PixmanScene()
    {
        source = pixman_image_create_bits(PIXMAN_a8r8g8b8, kRotozoomTextureWidth, kRotozoomTextureHeight,
                                          texture().pixels, kRotozoomTextureWidth * 4);
        pixman_image_set_repeat(source, PIXMAN_REPEAT_NORMAL);
        pixman_image_set_filter(source, PIXMAN_FILTER_BILINEAR, nullptr, 0);
        destination = pixman_image_create_bits(PIXMAN_a8r8g8b8, kPageWidth, kPageHeight, page.page(), kPageWidth * 4);
    }
    ~PixmanScene()
    {
        pixman_image_unref(source);
        pixman_image_unref(destination);
    }
    PixmanScene(const PixmanScene&) = delete;
    PixmanScene& operator=(const PixmanScene&) = delete;

    // Source position = (C, -S; S, C) times the page position, as in drawRotozoom.
    void draw(float angle)
    {
        RotozoomSteps steps;
        rotozoomSteps(angle, 1.0f, 0, 0, &steps);
        pixman_transform_t transform;
        pixman_transform_init_identity(&transform);
        transform.matrix[0][0] = steps.c;
        transform.matrix[0][1] = -steps.s;
        transform.matrix[1][0] = steps.s;
        transform.matrix[1][1] = steps.c;
        pixman_image_set_transform(source, &transform);
        pixman_image_composite32(PIXMAN_OP_SRC, source, nullptr, destination, 0, 0, 0, 0, 0, 0, kPageWidth,
                                 kPageHeight);
    }
};

template <typename AngleOf> void runPixman(benchmark::State& state, AngleOf angleOf)
{
    PixmanScene scene;
    std::int64_t frame = 0;
    for (auto _ : state) {
        scene.draw(angleOf(frame++));
        benchmark::DoNotOptimize(scene.page.page());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kPagePixels);
}

void BM_RotozoomChangingAnglesPixman(benchmark::State& state)
{
    runPixman(state, changingAngle);
}
void BM_RotozoomFixedAnglePixman(benchmark::State& state)
{
    const float angle = angleInput(static_cast<double>(state.range(0)));
    runPixman(state, [angle](std::int64_t) { return angle; });
}

// Fixed angles: unturned, in between, a quarter turn and the slowest.
void fixedAngles(benchmark::internal::Benchmark* b)
{
    for (int degrees : {0, 30, 90, kWorstAngleDegrees})
        b->Arg(degrees);
}

} // namespace

BENCHMARK(BM_RotozoomChangingAnglesScalar)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RotozoomChangingAnglesSse2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RotozoomChangingAnglesAvx2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RotozoomChangingAnglesAvx512)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RotozoomChangingAnglesDispatched)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RotozoomChangingAnglesPixman)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RotozoomFixedAngleScalar)->Apply(fixedAngles)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RotozoomFixedAngleSse2)->Apply(fixedAngles)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RotozoomFixedAngleAvx2)->Apply(fixedAngles)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RotozoomFixedAngleAvx512)->Apply(fixedAngles)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RotozoomFixedAngleDispatched)->Apply(fixedAngles)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RotozoomFixedAnglePixman)->Apply(fixedAngles)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RotozoomAngleSweepDispatched)->DenseRange(0, 359, 5)->Unit(benchmark::kMillisecond);
