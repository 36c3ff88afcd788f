// The bilinear rotozoomer: a rotated, zoomed, endlessly repeating texture over the
// whole page.
#pragma once

#include "images/image.h"

#include <cstdint>

// The texture is read as 1024-pixel rows, of which the top 512 are shown.
constexpr int kRotozoomTextureWidth = 1024;
constexpr int kRotozoomTextureHeight = 512;

// Per-call values in 16.16 fixed point: one page pixel to the right moves the
// sample by (c, s), one row down by (-s, c); the origin is (u0, v0).
struct RotozoomSteps {
    std::int32_t c = 0;
    std::int32_t s = 0;
    std::uint32_t u0 = 0;
    std::uint32_t v0 = 0;
};

// Works out the steps: a = angle / 53.6 radians, C = cos(a) / zoom * 65536 and
// S = sin(a) / zoom * 65536 in double precision, truncated toward zero; origins
// times 65536 modulo 2^32. False when C or S is not a finite value that fits a
// signed 32-bit integer (a zoom of 0, tiny, infinite or NaN, and the like).
bool rotozoomSteps(float angle, float zoom, std::int32_t originX, std::int32_t originY, RotozoomSteps* steps);

// Overwrites every pixel of the current page. Page pixel (k, r) samples
//   u = u0 + (k + 1) * C - (r + 1) * S,  v = v0 + (k + 1) * S + (r + 1) * C
// (modulo 2^32), texel column (u >> 16) & 1023, row (v >> 16) & 511, and blends
// the 2 x 2 texels there with the fractions fx = u & 0xFFFF, fy = v & 0xFFFF.
// Each channel (alpha and red together as the upper 16 bits, then green, then
// blue) is blended as
//   top    = c00 + ((c10 - c00) * fx >> 16)
//   bottom = c01 + ((c11 - c01) * fx >> 16)
//   result = top + ((bottom - top) * fy >> 16)
// with >> rounding toward minus infinity. Products are 32-bit and wrap: exact for
// every texture whose neighbouring alpha bytes differ by less than 128 (opaque
// ones included), merely defined for the rest.
// Draws nothing when the texture holds fewer than 1024 x 512 pixels or the steps
// cannot be formed (see rotozoomSteps). Runs the widest fast path that
// activeCpuLevel() allows; every path writes the same page, bit for bit.
void drawRotozoom(const Image& texture, float angle, float zoom, std::int32_t originX, std::int32_t originY,
                  Screen& screen);

// The plain per-pixel loop behind drawRotozoom, for given steps; the texture must
// hold at least 1024 x 512 pixels. Kept as the definition the fast paths match.
void drawRotozoomScalar(const Pixel* texture, const RotozoomSteps& steps, Screen& screen);
