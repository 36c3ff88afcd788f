#include "images/scaled_blit.h"

#include "images/scaled_blit_paths.h"
#include "video/cpu.h"

#include <algorithm>
#include <cstdint>

int gScaleMode = 3;

namespace {

// The neighbourhood of one source pixel E, its coordinates clamped into the image:
//   A B C
//   D E F
//   G H I
struct Neighbourhood {
    Pixel a, b, c, d, e, f, g, h, i;
};

// One f x f output block; sub-pixel (i, j), column i and row j, is at[j][i].
struct Block {
    Pixel at[3][3];
};

// Each rule fills the f x f corner of block. A sub-pixel takes the named neighbour
// when its condition holds and E otherwise; "==" compares whole words.

void doublingRule(const Neighbourhood& n, Block& block)
{
    block.at[0][0] = block.at[0][1] = n.e;
    block.at[1][0] = block.at[1][1] = n.e;
}

void scale2xRule(const Neighbourhood& n, Block& block)
{
    const auto [A, B, C, D, E, F, G, H, I] = n;
    const bool edge = B != H && D != F;
    block.at[0][0] = edge && D == B ? D : E;
    block.at[0][1] = edge && B == F ? F : E;
    block.at[1][0] = edge && D == H ? D : E;
    block.at[1][1] = edge && H == F ? F : E;
}

void scale3xRule(const Neighbourhood& n, Block& block)
{
    const auto [A, B, C, D, E, F, G, H, I] = n;
    if (B == H || D == F) {
        for (auto& row : block.at)
            row[0] = row[1] = row[2] = E;
        return;
    }
    block.at[0][0] = D == B ? D : E;
    block.at[0][1] = (D == B && E != C) || (B == F && E != A) ? B : E;
    block.at[0][2] = B == F ? F : E;
    block.at[1][0] = (D == B && E != G) || (D == H && E != A) ? D : E;
    block.at[1][1] = E;
    block.at[1][2] = (B == F && E != I) || (H == F && E != C) ? F : E;
    block.at[2][0] = D == H ? D : E;
    block.at[2][1] = (D == H && E != I) || (H == F && E != G) ? H : E;
    block.at[2][2] = H == F ? F : E;
}

void eagleRule(const Neighbourhood& n, Block& block)
{
    const auto [A, B, C, D, E, F, G, H, I] = n;
    block.at[0][0] = D == A && A == B ? A : E;
    block.at[0][1] = B == C && C == F ? C : E;
    block.at[1][0] = D == G && G == H ? G : E;
    block.at[1][1] = F == I && I == H ? I : E;
}

// Visits only the source pixels whose block starts inside the page and writes the
// part of each block that lies inside it. Neighbours still come from the whole
// image, so what is drawn matches the unclipped picture word for word. All index
// arithmetic is 64-bit: f * w and f * h may exceed an int. A fast path, when given,
// draws the middle of each row: 1 <= x < w - 1, blocks wholly inside the page width.
template <int f, void (*rule)(const Neighbourhood&, Block&)>
void drawBlocks(const Image& image, Pixel* page, std::int64_t pageWidth, std::int64_t pageHeight, ScaleRowPath fast)
{
    const std::int64_t w = image.width;
    const std::int64_t h = image.height;
    const std::int64_t xEnd = std::min(w, (pageWidth + f - 1) / f);
    const std::int64_t yEnd = std::min(h, (pageHeight + f - 1) / f);
    if (xEnd <= 0 || yEnd <= 0)
        return;
    const std::int64_t fastEnd = std::min(w - 1, pageWidth / f);

    for (std::int64_t y = 0; y < yEnd; ++y) {
        const Pixel* above = image.pixels + std::max<std::int64_t>(y - 1, 0) * w;
        const Pixel* row = image.pixels + y * w;
        const Pixel* below = image.pixels + std::min(y + 1, h - 1) * w;
        const std::int64_t rows = std::min<std::int64_t>(f, pageHeight - f * y);
        Pixel* target = page + f * y * pageWidth;
        const auto drawBlock = [&](std::int64_t x) {
            const std::int64_t left = std::max<std::int64_t>(x - 1, 0);
            const std::int64_t right = std::min(x + 1, w - 1);
            const Neighbourhood n{above[left], above[x],    above[right], row[left],   row[x],
                                  row[right],  below[left], below[x],     below[right]};
            Block block;
            rule(n, block);
            const std::int64_t columns = std::min<std::int64_t>(f, pageWidth - f * x);
            for (std::int64_t j = 0; j < rows; ++j)
                for (std::int64_t i = 0; i < columns; ++i)
                    target[j * pageWidth + f * x + i] = block.at[j][i];
        };
        std::int64_t x = 0;
        if (fast && fastEnd > 1) {
            drawBlock(0);
            const ScaleRow middle{
                above, row, below, target, static_cast<std::ptrdiff_t>(pageWidth), static_cast<int>(rows)};
            x = fast(middle, 1, fastEnd);
        }
        for (; x < xEnd; ++x)
            drawBlock(x);
    }
}

// The fast path for a mode at the level in use, or null for the scalar code alone.
ScaleRowPath fastPath(int mode)
{
#ifndef ORVANE_SCALAR_ONLY
    static constexpr ScaleRowPath kPaths[3][4] = {
        {scaleRowDoublingSse2, scaleRowScale2xSse2, scaleRowScale3xSse2, scaleRowEagleSse2},
        {scaleRowDoublingAvx2, scaleRowScale2xAvx2, scaleRowScale3xAvx2, scaleRowEagleAvx2},
        {scaleRowDoublingAvx512, scaleRowScale2xAvx512, scaleRowScale3xAvx512, scaleRowEagleAvx512},
    };
    switch (activeCpuLevel()) {
    case CpuLevel::sse2: return kPaths[0][mode];
    case CpuLevel::avx2: return kPaths[1][mode];
    case CpuLevel::avx512: return kPaths[2][mode];
    case CpuLevel::scalar: break;
    }
#endif
    static_cast<void>(mode);
    return nullptr;
}

} // namespace

void blitScaled(const Image& image, Screen& screen)
{
    Pixel* page = screen.page();
    const int mode = gScaleMode;
    if (image.width <= 0 || image.height <= 0)
        return;
    if (mode < 0 || mode > 3)
        return; // no filter: the page is left as it was
    const ScaleRowPath fast = fastPath(mode);
    switch (mode) {
    case 0: drawBlocks<2, doublingRule>(image, page, screen.width, screen.height, fast); break;
    case 1: drawBlocks<2, scale2xRule>(image, page, screen.width, screen.height, fast); break;
    case 2: drawBlocks<3, scale3xRule>(image, page, screen.width, screen.height, fast); break;
    case 3: drawBlocks<2, eagleRule>(image, page, screen.width, screen.height, fast); break;
    default: break;
    }
}
