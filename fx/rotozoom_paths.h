// The rotozoomer's per-pixel loop for each instruction set, and the chooser.
// Private to the framework and its tests.
#pragma once

#include "fx/rotozoom.h"
#include "video/cpu.h"

// Each variant has drawRotozoomScalar's contract and writes the same page, bit for
// bit, for every texture and every step value: the upper channel's products wrap
// in 32 bits exactly as in the scalar loop. Each must only be called when
// cpuLevel() is at least its level.
void drawRotozoomSse2(const Pixel* texture, const RotozoomSteps& steps, Screen& screen);
void drawRotozoomAvx2(const Pixel* texture, const RotozoomSteps& steps, Screen& screen);
void drawRotozoomAvx512(const Pixel* texture, const RotozoomSteps& steps, Screen& screen);

using RotozoomRoutine = void (*)(const Pixel* texture, const RotozoomSteps& steps, Screen& screen);

// The routine drawRotozoom runs at a level: the widest variant not above it,
// drawRotozoomScalar at CpuLevel::scalar and in a build without fast paths.
RotozoomRoutine rotozoomRoutine(CpuLevel level);

// The fast paths draw the page in tiles of this many rows and columns, so that
// the texels one tile reads stay in the cache.
constexpr int kRotozoomTileRows = 8;
constexpr int kRotozoomTileColumns = 128;

// Near a quarter turn a page row runs down a texture column, each pixel on a new
// cache line and memory page. There the AVX2 and AVX-512 paths fill their vectors
// down page columns instead, whose texels then lie along texture rows, and
// transpose each square block before storing it. True when one page row down
// moves the sample further across the texture than one pixel to the right does.
inline bool rotozoomWalksColumns(const RotozoomSteps& steps)
{
    const std::int64_t across = steps.c < 0 ? -std::int64_t{steps.c} : steps.c;
    const std::int64_t down = steps.s < 0 ? -std::int64_t{steps.s} : steps.s;
    return down > across;
}
