// The rotozoomer's loop with AVX-512: sixteen page pixels at a time in 32-bit
// lanes, the four texels of each fetched with gathers, every channel blended
// exactly as in drawRotozoomScalar (vpmulld keeps the low 32 bits of each
// product, the wrapping product the scalar loop reads as signed).
#include "fx/rotozoom_paths.h"

// GCC 12 takes the deliberately undefined source vector inside the AVX-512 shift
// intrinsics for an uninitialised variable once they are inlined here.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <immintrin.h>

#include <algorithm>
#include <cstddef>

#define ORVANE_AVX512 __attribute__((target("avx512f,avx512bw,avx512dq,avx512vl")))

namespace {

constexpr int kLanes = 16;
// The page is drawn in tiles so that the texels of one tile stay in the cache
// whatever the angle: at a quarter turn a page row walks down a texture column.
constexpr int kTileRows = 8;
constexpr int kTileColumns = 128;

// a + ((b - a) * weight >> 16) with the product wrapping in 32 bits.
ORVANE_AVX512 inline __m512i lerp(__m512i a, __m512i b, __m512i weight)
{
    return _mm512_add_epi32(a, _mm512_srai_epi32(_mm512_mullo_epi32(_mm512_sub_epi32(b, a), weight), 16));
}

// The three blend channels of texels p, each in its own 32-bit lane.
ORVANE_AVX512 inline __m512i upper(__m512i p) { return _mm512_srli_epi32(p, 16); }
ORVANE_AVX512 inline __m512i green(__m512i p) { return _mm512_and_si512(_mm512_srli_epi32(p, 8), _mm512_set1_epi32(255)); }
ORVANE_AVX512 inline __m512i blue(__m512i p) { return _mm512_and_si512(p, _mm512_set1_epi32(255)); }

// The page pixels of the sample positions (u, v), lane by lane.
ORVANE_AVX512 inline __m512i samples(const Pixel* texture, __m512i u, __m512i v)
{
    const __m512i low16 = _mm512_set1_epi32(0xFFFF);
    const __m512i columnMask = _mm512_set1_epi32(1023);
    const __m512i rowMask = _mm512_set1_epi32(511 << 10);

    const __m512i fx = _mm512_and_si512(u, low16);
    const __m512i fy = _mm512_and_si512(v, low16);
    const __m512i x0 = _mm512_and_si512(_mm512_srli_epi32(u, 16), columnMask);
    const __m512i x1 = _mm512_and_si512(_mm512_add_epi32(x0, _mm512_set1_epi32(1)), columnMask);
    // Row y times 1024 straight from v: bits 16-24 of v moved to bits 10-18.
    const __m512i row0 = _mm512_and_si512(_mm512_srli_epi32(v, 6), rowMask);
    const __m512i row1 = _mm512_and_si512(_mm512_add_epi32(row0, _mm512_set1_epi32(1024)), rowMask);
    const __m512i p00 = _mm512_i32gather_epi32(_mm512_add_epi32(row0, x0), texture, 4);
    const __m512i p10 = _mm512_i32gather_epi32(_mm512_add_epi32(row0, x1), texture, 4);
    const __m512i p01 = _mm512_i32gather_epi32(_mm512_add_epi32(row1, x0), texture, 4);
    const __m512i p11 = _mm512_i32gather_epi32(_mm512_add_epi32(row1, x1), texture, 4);

    const __m512i resultU = lerp(lerp(upper(p00), upper(p10), fx), lerp(upper(p01), upper(p11), fx), fy);
    const __m512i resultG = lerp(lerp(green(p00), green(p10), fx), lerp(green(p01), green(p11), fx), fy);
    const __m512i resultB = lerp(lerp(blue(p00), blue(p10), fx), lerp(blue(p01), blue(p11), fx), fy);
    return _mm512_add_epi32(_mm512_slli_epi32(resultU, 16),
                            _mm512_add_epi32(_mm512_slli_epi32(resultG, 8), resultB));
}

}  // namespace

ORVANE_AVX512 void drawRotozoomAvx512(const Pixel* texture, const RotozoomSteps& steps, Screen& screen)
{
    const auto C = static_cast<std::uint32_t>(steps.c);
    const auto S = static_cast<std::uint32_t>(steps.s);
    const int width = screen.width;
    const int height = screen.height;
    Pixel* page = screen.page();
    // Lane i of a group starting at column k is k + i + 1 steps to the right.
    const __m512i lane = _mm512_setr_epi32(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
    const __m512i laneU = _mm512_mullo_epi32(lane, _mm512_set1_epi32(static_cast<int>(C)));
    const __m512i laneV = _mm512_mullo_epi32(lane, _mm512_set1_epi32(static_cast<int>(S)));
    const __m512i groupU = _mm512_set1_epi32(static_cast<int>(C * kLanes));
    const __m512i groupV = _mm512_set1_epi32(static_cast<int>(S * kLanes));
    for (int r0 = 0; r0 < height; r0 += kTileRows) {
        const int rEnd = std::min(r0 + kTileRows, height);
        for (int k0 = 0; k0 < width; k0 += kTileColumns) {
            const int kEnd = std::min(k0 + kTileColumns, width);
            for (int r = r0; r < rEnd; ++r) {
                const auto rows = static_cast<std::uint32_t>(r + 1);
                const auto columns = static_cast<std::uint32_t>(k0);
                const std::uint32_t u = steps.u0 - rows * S + columns * C;
                const std::uint32_t v = steps.v0 + rows * C + columns * S;
                __m512i us = _mm512_add_epi32(_mm512_set1_epi32(static_cast<int>(u)), laneU);
                __m512i vs = _mm512_add_epi32(_mm512_set1_epi32(static_cast<int>(v)), laneV);
                Pixel* out = page + static_cast<std::size_t>(r) * static_cast<std::size_t>(width);
                int k = k0;
                for (; k + kLanes <= kEnd; k += kLanes) {
                    _mm512_storeu_si512(out + k, samples(texture, us, vs));
                    us = _mm512_add_epi32(us, groupU);
                    vs = _mm512_add_epi32(vs, groupV);
                }
                if (k < kEnd) {
                    const auto keep = static_cast<__mmask16>((1u << (kEnd - k)) - 1);
                    _mm512_mask_storeu_epi32(out + k, keep, samples(texture, us, vs));
                }
            }
        }
    }
}
