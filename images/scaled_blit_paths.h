// The upscaler's fast paths. blitScaled keeps the clipping and the clamped edges in
// its plain scalar code and hands a fast path only the middle of each source row,
// where no neighbour is clamped and every block lies wholly inside the page's width.
#pragma once

#include "video/screen.h"

#include <cstddef>
#include <cstdint>

// One source row y of an image w pixels wide, and where its blocks go.
struct ScaleRow {
    const Pixel* above;       // source row max(y - 1, 0)
    const Pixel* row;         // source row y
    const Pixel* below;       // source row min(y + 1, h - 1)
    Pixel* target;            // page word (0, f * y)
    std::ptrdiff_t pageWidth; // words from one page row to the next
    int rows;                 // block rows inside the page: 1 .. f
};

// Draws the blocks of source pixels first, first + 1, ... of the row, each exactly
// as the mode's rule defines it, and returns the x where it stopped: from there to
// end the caller draws the blocks itself. Callers keep 1 <= first <= end <= w - 1
// and f * end <= pageWidth.
using ScaleRowPath = std::int64_t (*)(const ScaleRow& row, std::int64_t first, std::int64_t end);

#ifndef ORVANE_SCALAR_ONLY
// Need the matching CpuLevel (video/cpu.h): sse2, avx2, avx512.
std::int64_t scaleRowDoublingSse2(const ScaleRow& row, std::int64_t first, std::int64_t end);
std::int64_t scaleRowScale2xSse2(const ScaleRow& row, std::int64_t first, std::int64_t end);
std::int64_t scaleRowScale3xSse2(const ScaleRow& row, std::int64_t first, std::int64_t end);
std::int64_t scaleRowEagleSse2(const ScaleRow& row, std::int64_t first, std::int64_t end);
std::int64_t scaleRowDoublingAvx2(const ScaleRow& row, std::int64_t first, std::int64_t end);
std::int64_t scaleRowScale2xAvx2(const ScaleRow& row, std::int64_t first, std::int64_t end);
std::int64_t scaleRowScale3xAvx2(const ScaleRow& row, std::int64_t first, std::int64_t end);
std::int64_t scaleRowEagleAvx2(const ScaleRow& row, std::int64_t first, std::int64_t end);
std::int64_t scaleRowDoublingAvx512(const ScaleRow& row, std::int64_t first, std::int64_t end);
std::int64_t scaleRowScale2xAvx512(const ScaleRow& row, std::int64_t first, std::int64_t end);
std::int64_t scaleRowScale3xAvx512(const ScaleRow& row, std::int64_t first, std::int64_t end);
std::int64_t scaleRowEagleAvx512(const ScaleRow& row, std::int64_t first, std::int64_t end);
#endif
