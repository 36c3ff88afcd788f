// The rotozoomer's loop with SSE2, the x86-64 baseline, four page pixels at a time.
//
// Texels: each pixel's two neighbours in a texel row are one 64-bit read; a group
// with a pixel in the last texel column (whose right neighbour wraps to column 0)
// reads texel by texel instead.
//
// Blending gives the scalar loop's bits exactly. The upper channel stays in 32-bit
// lanes; SSE2 has no 32-bit low multiply, so each of its products is put together
// from 16-bit ones (see mulShift16), to the bits of the scalar loop's wrapping
// product. Blue and green share a 32-bit lane as two 16-bit ones (lerpBlueGreen).
#include "fx/rotozoom_paths.h"

#include <emmintrin.h>

#include <algorithm>
#include <cstddef>
#include <cstring>

#define ORVANE_SSE2 __attribute__((target("sse2")))

namespace {

constexpr int kLanes = 4;

// (int32)((uint32)d * w) >> 16 for any 32-bit d and a weight w of 0..65535 held
// in both 16-bit halves of its lane. With d = dHigh * 65536 + dLow, the product
// modulo 2^32 is dLow * w + (dHigh * w mod 65536) * 65536; dLow * w takes all 32
// bits and adds nothing below bit 16 to the second term, so the product's upper
// half is (high half of dLow * w) + (low half of dHigh * w), modulo 65536.
ORVANE_SSE2 inline __m128i mulShift16(__m128i d, __m128i weights)
{
    const __m128i high = _mm_mulhi_epu16(d, weights); // low half: high half of dLow * w
    const __m128i low = _mm_mullo_epi16(d, weights);  // high half: low half of dHigh * w
    return _mm_srai_epi32(_mm_add_epi16(_mm_slli_epi32(high, 16), low), 16);
}

// a + ((b - a) * weight >> 16) with the product wrapping in 32 bits.
ORVANE_SSE2 inline __m128i lerpUpper(__m128i a, __m128i b, __m128i weights)
{
    return _mm_add_epi32(a, mulShift16(_mm_sub_epi32(b, a), weights));
}

// The same blend for channels of 0..255 in 16-bit lanes, the weight w (0..65535)
// in both halves of each 32-bit lane and negative its top bit in weightSign. The
// signed high product of d and w read as signed, w - 65536 * s with s its top
// bit, is floor(d * w / 65536) - d * s; adding d * s back gives the scalar step
// exactly, and with d within +-255 nothing leaves 16 bits.
ORVANE_SSE2 inline __m128i lerpBlueGreen(__m128i a, __m128i b, __m128i weights, __m128i weightSign)
{
    const __m128i d = _mm_sub_epi16(b, a);
    return _mm_add_epi16(a, _mm_add_epi16(_mm_mulhi_epi16(d, weights), _mm_and_si128(d, weightSign)));
}

// Blue in the low 16-bit half of each lane, green in the high one.
ORVANE_SSE2 inline __m128i blueGreen(__m128i p)
{
    return _mm_or_si128(_mm_and_si128(p, _mm_set1_epi32(0xFF)),
                        _mm_and_si128(_mm_slli_epi32(p, 8), _mm_set1_epi32(0xFF0000)));
}

// The blend of the four texels of each lane with the fractions fx and fy, each
// in both 16-bit halves of its lane.
ORVANE_SSE2 inline __m128i blend(__m128i p00, __m128i p10, __m128i p01, __m128i p11, __m128i fx, __m128i fy)
{
    const __m128i fxSign = _mm_srai_epi16(fx, 15);
    const __m128i fySign = _mm_srai_epi16(fy, 15);
    const __m128i top = lerpUpper(_mm_srli_epi32(p00, 16), _mm_srli_epi32(p10, 16), fx);
    const __m128i bottom = lerpUpper(_mm_srli_epi32(p01, 16), _mm_srli_epi32(p11, 16), fx);
    const __m128i resultUpper = lerpUpper(top, bottom, fy);
    const __m128i topBG = lerpBlueGreen(blueGreen(p00), blueGreen(p10), fx, fxSign);
    const __m128i bottomBG = lerpBlueGreen(blueGreen(p01), blueGreen(p11), fx, fxSign);
    const __m128i resultBG = lerpBlueGreen(topBG, bottomBG, fy, fySign);
    // blue * 1 + green * 256 in each 32-bit lane.
    const __m128i lowHalf = _mm_madd_epi16(resultBG, _mm_set1_epi32(256 << 16 | 1));
    return _mm_add_epi32(_mm_slli_epi32(resultUpper, 16), lowHalf);
}

// Texels index[0..3] of each row as one vector.
inline __m128i fetch(const Pixel* texture, const std::uint32_t* index)
{
    return _mm_setr_epi32(static_cast<int>(texture[index[0]]), static_cast<int>(texture[index[1]]),
                          static_cast<int>(texture[index[2]]), static_cast<int>(texture[index[3]]));
}

// Texels index[i] and index[i] + 1 for lanes 0 and 1 (first) and 2 and 3.
ORVANE_SSE2 inline __m128i fetchPairs(const Pixel* texture, const std::uint32_t* index, int first)
{
    const auto pair = [&](int lane) {
        return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(texture + index[lane]));
    };
    return _mm_unpacklo_epi64(pair(first), pair(first + 1));
}

// The page pixels of the sample positions (u, v), lane by lane.
ORVANE_SSE2 inline __m128i samples(const Pixel* texture, __m128i u, __m128i v)
{
    const __m128i low16 = _mm_set1_epi32(0xFFFF);
    const __m128i columnMask = _mm_set1_epi32(1023);
    const __m128i rowMask = _mm_set1_epi32(511 << 10);

    // Each weight in both halves of its lane.
    const __m128i fx = _mm_or_si128(_mm_and_si128(u, low16), _mm_slli_epi32(u, 16));
    const __m128i fy = _mm_or_si128(_mm_and_si128(v, low16), _mm_slli_epi32(v, 16));
    const __m128i x0 = _mm_and_si128(_mm_srli_epi32(u, 16), columnMask);
    // Row y times 1024 straight from v: bits 16-24 of v moved to bits 10-18.
    const __m128i row0 = _mm_and_si128(_mm_srli_epi32(v, 6), rowMask);
    const __m128i row1 = _mm_and_si128(_mm_add_epi32(row0, _mm_set1_epi32(1024)), rowMask);
    alignas(16) std::uint32_t i00[kLanes], i01[kLanes];
    _mm_store_si128(reinterpret_cast<__m128i*>(i00), _mm_add_epi32(row0, x0));
    _mm_store_si128(reinterpret_cast<__m128i*>(i01), _mm_add_epi32(row1, x0));
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(x0, columnMask)) == 0) {
        // Each pixel's two texels of a row as one 64-bit read; even words are
        // the left texels, odd ones the right.
        const __m128 top01 = _mm_castsi128_ps(fetchPairs(texture, i00, 0));
        const __m128 top23 = _mm_castsi128_ps(fetchPairs(texture, i00, 2));
        const __m128 bottom01 = _mm_castsi128_ps(fetchPairs(texture, i01, 0));
        const __m128 bottom23 = _mm_castsi128_ps(fetchPairs(texture, i01, 2));
        return blend(_mm_castps_si128(_mm_shuffle_ps(top01, top23, _MM_SHUFFLE(2, 0, 2, 0))),
                     _mm_castps_si128(_mm_shuffle_ps(top01, top23, _MM_SHUFFLE(3, 1, 3, 1))),
                     _mm_castps_si128(_mm_shuffle_ps(bottom01, bottom23, _MM_SHUFFLE(2, 0, 2, 0))),
                     _mm_castps_si128(_mm_shuffle_ps(bottom01, bottom23, _MM_SHUFFLE(3, 1, 3, 1))), fx, fy);
    }
    // A pixel in the last texel column: its right neighbour wraps to column 0.
    const __m128i x1 = _mm_and_si128(_mm_add_epi32(x0, _mm_set1_epi32(1)), columnMask);
    alignas(16) std::uint32_t i10[kLanes], i11[kLanes];
    _mm_store_si128(reinterpret_cast<__m128i*>(i10), _mm_add_epi32(row0, x1));
    _mm_store_si128(reinterpret_cast<__m128i*>(i11), _mm_add_epi32(row1, x1));
    return blend(fetch(texture, i00), fetch(texture, i10), fetch(texture, i01), fetch(texture, i11), fx, fy);
}

} // namespace

ORVANE_SSE2 void drawRotozoomSse2(const Pixel* texture, const RotozoomSteps& steps, Screen& screen)
{
    const auto C = static_cast<std::uint32_t>(steps.c);
    const auto S = static_cast<std::uint32_t>(steps.s);
    const int width = screen.width;
    const int height = screen.height;
    Pixel* page = screen.page();
    // Lane i of a group starting at column k is k + i + 1 steps to the right.
    const __m128i laneU =
        _mm_setr_epi32(static_cast<int>(C), static_cast<int>(2 * C), static_cast<int>(3 * C), static_cast<int>(4 * C));
    const __m128i laneV =
        _mm_setr_epi32(static_cast<int>(S), static_cast<int>(2 * S), static_cast<int>(3 * S), static_cast<int>(4 * S));
    const __m128i groupU = _mm_set1_epi32(static_cast<int>(C * kLanes));
    const __m128i groupV = _mm_set1_epi32(static_cast<int>(S * kLanes));
    for (int r0 = 0; r0 < height; r0 += kRotozoomTileRows) {
        const int rEnd = std::min(r0 + kRotozoomTileRows, height);
        for (int k0 = 0; k0 < width; k0 += kRotozoomTileColumns) {
            const int kEnd = std::min(k0 + kRotozoomTileColumns, width);
            for (int r = r0; r < rEnd; ++r) {
                const auto rows = static_cast<std::uint32_t>(r + 1);
                const auto columns = static_cast<std::uint32_t>(k0);
                const std::uint32_t u = steps.u0 - rows * S + columns * C;
                const std::uint32_t v = steps.v0 + rows * C + columns * S;
                __m128i us = _mm_add_epi32(_mm_set1_epi32(static_cast<int>(u)), laneU);
                __m128i vs = _mm_add_epi32(_mm_set1_epi32(static_cast<int>(v)), laneV);
                Pixel* out = page + static_cast<std::size_t>(r) * static_cast<std::size_t>(width);
                int k = k0;
                for (; k + kLanes <= kEnd; k += kLanes) {
                    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k), samples(texture, us, vs));
                    us = _mm_add_epi32(us, groupU);
                    vs = _mm_add_epi32(vs, groupV);
                }
                if (k < kEnd) {
                    alignas(16) Pixel last[kLanes];
                    _mm_store_si128(reinterpret_cast<__m128i*>(last), samples(texture, us, vs));
                    std::memcpy(out + k, last, static_cast<std::size_t>(kEnd - k) * sizeof(Pixel));
                }
            }
        }
    }
}
