#include "images/sprite_blit.h"

#include <algorithm>
#include <cstdint>

void blitSprite(const Image& sprite, int x, int y, Screen& screen)
{
    // Clip to the page in 64 bits, so no position or size can overflow.
    const std::int64_t firstK = std::max<std::int64_t>(0, -std::int64_t{x});
    const std::int64_t firstR = std::max<std::int64_t>(0, -std::int64_t{y});
    const std::int64_t endK = std::min<std::int64_t>(sprite.width, std::int64_t{screen.width} - x);
    const std::int64_t endR = std::min<std::int64_t>(sprite.height, std::int64_t{screen.height} - y);
    if (firstK >= endK || firstR >= endR)
        return;

    const std::ptrdiff_t pageWidth = screen.width;
    Pixel* target = screen.page() + (y + firstR) * pageWidth + (x + firstK);
    const Pixel* source = sprite.pixels + firstR * std::ptrdiff_t{sprite.width} + firstK;
    for (std::int64_t r = firstR; r < endR; ++r) {
        for (std::int64_t k = 0; k < endK - firstK; ++k) {
            const Pixel p = source[k];
            if (p >> 24 != 0)
                target[k] = p;
        }
        source += sprite.width;
        target += pageWidth;
    }
}
