#include "images/sprite_blit.h"

#include "images/sprite_blit_paths.h"
#include "video/cpu.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

void blitSpriteRowsScalar(const Pixel* source, int sourceStride, Pixel* target, int targetStride, int width, int rows)
{
    for (int r = 0; r < rows; ++r) {
        const Pixel* sourceRow = source + std::ptrdiff_t{r} * sourceStride;
        Pixel* targetRow = target + std::ptrdiff_t{r} * targetStride;
        for (int k = 0; k < width; ++k) {
            const Pixel p = sourceRow[k];
            if (p >> 24 != 0)
                targetRow[k] = p;
        }
    }
}

void blitSprite(const Image& sprite, int x, int y, Screen& screen)
{
    // Clip to the page in 64 bits, so no position or size can overflow.
    const std::int64_t firstK = std::max<std::int64_t>(0, -std::int64_t{x});
    const std::int64_t firstR = std::max<std::int64_t>(0, -std::int64_t{y});
    const std::int64_t endK = std::min<std::int64_t>(sprite.width, std::int64_t{screen.width} - x);
    const std::int64_t endR = std::min<std::int64_t>(sprite.height, std::int64_t{screen.height} - y);
    if (firstK >= endK || firstR >= endR)
        return;

    // Both ranges now lie inside an int-sized sprite and page.
    const std::ptrdiff_t pageWidth = screen.width;
    Pixel* target = screen.page() + (y + firstR) * pageWidth + (x + firstK);
    const Pixel* source = sprite.pixels + firstR * std::ptrdiff_t{sprite.width} + firstK;
    const int width = static_cast<int>(endK - firstK);
    const int rows = static_cast<int>(endR - firstR);
#ifndef ORVANE_SCALAR_ONLY
    switch (activeCpuLevel()) {
    case CpuLevel::avx512: blitSpriteRowsAvx512(source, sprite.width, target, screen.width, width, rows); return;
    case CpuLevel::avx2: blitSpriteRowsAvx2(source, sprite.width, target, screen.width, width, rows); return;
    case CpuLevel::sse2: blitSpriteRowsSse2(source, sprite.width, target, screen.width, width, rows); return;
    case CpuLevel::scalar: break;
    }
#endif
    blitSpriteRowsScalar(source, sprite.width, target, screen.width, width, rows);
}
