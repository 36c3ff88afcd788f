#include "fx/rotozoom.h"

#include "fx/rotozoom_paths.h"

#include <cmath>

namespace {

// One channel's blend step: a + (b - a) * weight / 65536, rounded toward minus
// infinity. The product wraps in 32 bits (only possible when a and b hold alpha
// bytes 128 or more apart) and is then read as signed.
inline std::int32_t lerp(std::int32_t a, std::int32_t b, std::uint32_t weight)
{
    const auto product = static_cast<std::int32_t>(static_cast<std::uint32_t>(b - a) * weight);
    return a + (product >> 16);
}

inline std::int32_t upper(Pixel p)
{
    return static_cast<std::int32_t>(p >> 16);
}
inline std::int32_t green(Pixel p)
{
    return static_cast<std::int32_t>((p >> 8) & 255);
}
inline std::int32_t blue(Pixel p)
{
    return static_cast<std::int32_t>(p & 255);
}

} // namespace

bool rotozoomSteps(float angle, float zoom, std::int32_t originX, std::int32_t originY, RotozoomSteps* steps)
{
    const double a = angle / static_cast<double>(53.6f);
    const double c = std::cos(a) / zoom * 65536;
    const double s = std::sin(a) / zoom * 65536;
    // Anything outside (-2^31 - 1, 2^31) has no 32-bit value after truncation; NaN
    // fails both comparisons.
    constexpr double kLimit = 2147483648.0;
    if (!(c > -kLimit - 1 && c < kLimit && s > -kLimit - 1 && s < kLimit))
        return false;
    steps->c = static_cast<std::int32_t>(c);
    steps->s = static_cast<std::int32_t>(s);
    steps->u0 = static_cast<std::uint32_t>(originX) << 16;
    steps->v0 = static_cast<std::uint32_t>(originY) << 16;
    return true;
}

void drawRotozoomScalar(const Pixel* texture, const RotozoomSteps& steps, Screen& screen)
{
    const auto C = static_cast<std::uint32_t>(steps.c);
    const auto S = static_cast<std::uint32_t>(steps.s);
    std::uint32_t U = steps.u0;
    std::uint32_t V = steps.v0;
    Pixel* out = screen.page();
    for (int r = 0; r < screen.height; ++r) {
        U -= S;
        V += C;
        std::uint32_t u = U;
        std::uint32_t v = V;
        for (int k = 0; k < screen.width; ++k) {
            u += C;
            v += S;
            const std::uint32_t fx = u & 65535;
            const std::uint32_t fy = v & 65535;
            const std::uint32_t x0 = (u >> 16) & 1023;
            const std::uint32_t x1 = (x0 + 1) & 1023;
            const std::uint32_t y0 = (v >> 16) & 511;
            const std::uint32_t y1 = (y0 + 1) & 511;
            const Pixel p00 = texture[y0 * 1024 + x0];
            const Pixel p10 = texture[y0 * 1024 + x1];
            const Pixel p01 = texture[y1 * 1024 + x0];
            const Pixel p11 = texture[y1 * 1024 + x1];

            const std::int32_t topU = lerp(upper(p00), upper(p10), fx);
            const std::int32_t bottomU = lerp(upper(p01), upper(p11), fx);
            const std::int32_t topG = lerp(green(p00), green(p10), fx);
            const std::int32_t bottomG = lerp(green(p01), green(p11), fx);
            const std::int32_t topB = lerp(blue(p00), blue(p10), fx);
            const std::int32_t bottomB = lerp(blue(p01), blue(p11), fx);
            const auto resultU = static_cast<std::uint32_t>(lerp(topU, bottomU, fy));
            const auto resultG = static_cast<std::uint32_t>(lerp(topG, bottomG, fy));
            const auto resultB = static_cast<std::uint32_t>(lerp(topB, bottomB, fy));
            *out++ = resultU * 65536 + resultG * 256 + resultB;
        }
    }
}

void drawRotozoom(const Image& texture, float angle, float zoom, std::int32_t originX, std::int32_t originY,
                  Screen& screen)
{
    const std::int64_t texels = std::int64_t{texture.width} * texture.height;
    if (!texture.pixels || texture.width < 0 || texture.height < 0 ||
        texels < std::int64_t{kRotozoomTextureWidth} * kRotozoomTextureHeight)
        return;
    RotozoomSteps steps;
    if (!rotozoomSteps(angle, zoom, originX, originY, &steps))
        return;
    rotozoomRoutine(activeCpuLevel())(texture.pixels, steps, screen);
}

RotozoomRoutine rotozoomRoutine(CpuLevel level)
{
#ifndef ORVANE_SCALAR_ONLY
    switch (level) {
    case CpuLevel::avx512: return drawRotozoomAvx512;
    case CpuLevel::avx2: return drawRotozoomAvx2;
    case CpuLevel::sse2: return drawRotozoomSse2;
    case CpuLevel::scalar: break;
    }
#else
    (void)level;
#endif
    return drawRotozoomScalar;
}
