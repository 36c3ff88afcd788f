// A whole frame of the demo scene at 29 s (the background and 53 sprites), with
// the fast paths the processor has and with the plain scalar routines only.
//
// The scene reads the clock: this program links its own ticks() below in place of
// the library's (video/clock.cpp holds nothing else), frozen at 29000 ms. No other
// benchmark reads the clock.
#include "fx/scene.h"
#include "images/image_set.h"
#include "video/clock.h"
#include "video/cpu.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

constexpr std::uint32_t kFrameTime = 29000; // ms: 53 sprites
constexpr int kPageWidth = 1024;
constexpr int kPageHeight = 768;

// The demo's images, loaded once from the folder named by ORVANE_DATA_ROOT, else
// from the source folder (the image paths are relative to it). False, with one
// line on standard error, when they cannot be loaded.
bool demoImagesLoaded()
{
    static const bool loaded = [] {
        const char* root = std::getenv("ORVANE_DATA_ROOT");
        if (!root || !*root)
            root = ORVANE_SOURCE_DIR;
        if (chdir(root) != 0) {
            std::fprintf(stderr, "frame_bench: cannot enter the media folder %s\n", root);
            return false;
        }
        if (!loadImageSet()) {
            std::fprintf(stderr, "frame_bench: the demo images under %s/data/images did not load\n", root);
            return false;
        }
        return true;
    }();
    return loaded;
}

void runFrame(benchmark::State& state, CpuLevel limit)
{
    if (!demoImagesLoaded()) {
        state.SkipWithError("the demo images did not load (set ORVANE_DATA_ROOT to the project folder)");
        return;
    }
    const CpuLevel previous = setCpuLevelLimit(limit);
    Screen screen(kPageWidth, kPageHeight, 1, 32);
    for (auto _ : state) {
        drawScene(screen);
        benchmark::DoNotOptimize(screen.page());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kPageWidth * kPageHeight);
    state.SetLabel(cpuLevelName(activeCpuLevel()));
    setCpuLevelLimit(previous);
}

void BM_FrameAt29s(benchmark::State& state)
{
    runFrame(state, CpuLevel::avx512);
}
void BM_FrameAt29sScalar(benchmark::State& state)
{
    runFrame(state, CpuLevel::scalar);
}

} // namespace

std::uint32_t ticks()
{
    return kFrameTime;
}

BENCHMARK(BM_FrameAt29s)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameAt29sScalar)->Unit(benchmark::kMillisecond);
