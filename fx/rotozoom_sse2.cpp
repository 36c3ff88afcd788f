// The rotozoomer's loop with SSE2, the x86-64 baseline: four page pixels at a time
// in 32-bit lanes, texels read one by one. SSE2 has no 32-bit low multiply, so
// each product is put together from 16-bit ones (see mulShift16), to the same
// bits as the scalar loop's wrapping product.
#include "fx/rotozoom_paths.h"

#include <emmintrin.h>

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace {

constexpr int kLanes = 4;
// The page is drawn in tiles so that the texels of one tile stay in the cache
// whatever the angle: at a quarter turn a page row walks down a texture column.
constexpr int kTileRows = 8;
constexpr int kTileColumns = 128;

// (int32)((uint32)d * w) >> 16 for any 32-bit d and a weight w of 0..65535 held
// in both 16-bit halves of its lane. With d = dHigh * 65536 + dLow, the product
// modulo 2^32 is dLow * w + (dHigh * w mod 65536) * 65536; dLow * w takes all 32
// bits and adds nothing below bit 16 to the second term, so the product's upper
// half is (high half of dLow * w) + (low half of dHigh * w), modulo 65536.
__attribute__((target("sse2"))) inline __m128i mulShift16(__m128i d, __m128i weights)
{
    const __m128i high = _mm_mulhi_epu16(d, weights);  // low half: high half of dLow * w
    const __m128i low = _mm_mullo_epi16(d, weights);   // high half: low half of dHigh * w
    return _mm_srai_epi32(_mm_add_epi16(_mm_slli_epi32(high, 16), low), 16);
}

// a + ((b - a) * weight >> 16) with the product wrapping in 32 bits.
__attribute__((target("sse2"))) inline __m128i lerp(__m128i a, __m128i b, __m128i weights)
{
    return _mm_add_epi32(a, mulShift16(_mm_sub_epi32(b, a), weights));
}

// The three blend channels of texels p, each in its own 32-bit lane.
__attribute__((target("sse2"))) inline __m128i upper(__m128i p) { return _mm_srli_epi32(p, 16); }
__attribute__((target("sse2"))) inline __m128i green(__m128i p) { return _mm_and_si128(_mm_srli_epi32(p, 8), _mm_set1_epi32(255)); }
__attribute__((target("sse2"))) inline __m128i blue(__m128i p) { return _mm_and_si128(p, _mm_set1_epi32(255)); }

// The page pixels of the sample positions (u, v), lane by lane.
__attribute__((target("sse2"))) inline __m128i samples(const Pixel* texture, __m128i u, __m128i v)
{
    const __m128i low16 = _mm_set1_epi32(0xFFFF);
    const __m128i columnMask = _mm_set1_epi32(1023);
    const __m128i rowMask = _mm_set1_epi32(511 << 10);

    // Each weight in both halves of its lane.
    const __m128i fx = _mm_or_si128(_mm_and_si128(u, low16), _mm_slli_epi32(u, 16));
    const __m128i fy = _mm_or_si128(_mm_and_si128(v, low16), _mm_slli_epi32(v, 16));
    const __m128i x0 = _mm_and_si128(_mm_srli_epi32(u, 16), columnMask);
    const __m128i x1 = _mm_and_si128(_mm_add_epi32(x0, _mm_set1_epi32(1)), columnMask);
    // Row y times 1024 straight from v: bits 16-24 of v moved to bits 10-18.
    const __m128i row0 = _mm_and_si128(_mm_srli_epi32(v, 6), rowMask);
    const __m128i row1 = _mm_and_si128(_mm_add_epi32(row0, _mm_set1_epi32(1024)), rowMask);
    alignas(16) std::uint32_t i00[kLanes], i10[kLanes], i01[kLanes], i11[kLanes];
    _mm_store_si128(reinterpret_cast<__m128i*>(i00), _mm_add_epi32(row0, x0));
    _mm_store_si128(reinterpret_cast<__m128i*>(i10), _mm_add_epi32(row0, x1));
    _mm_store_si128(reinterpret_cast<__m128i*>(i01), _mm_add_epi32(row1, x0));
    _mm_store_si128(reinterpret_cast<__m128i*>(i11), _mm_add_epi32(row1, x1));
    const auto fetch = [texture](const std::uint32_t* index) {
        return _mm_setr_epi32(static_cast<int>(texture[index[0]]), static_cast<int>(texture[index[1]]),
                              static_cast<int>(texture[index[2]]), static_cast<int>(texture[index[3]]));
    };
    const __m128i p00 = fetch(i00), p10 = fetch(i10), p01 = fetch(i01), p11 = fetch(i11);

    const __m128i resultU = lerp(lerp(upper(p00), upper(p10), fx), lerp(upper(p01), upper(p11), fx), fy);
    const __m128i resultG = lerp(lerp(green(p00), green(p10), fx), lerp(green(p01), green(p11), fx), fy);
    const __m128i resultB = lerp(lerp(blue(p00), blue(p10), fx), lerp(blue(p01), blue(p11), fx), fy);
    return _mm_add_epi32(_mm_slli_epi32(resultU, 16), _mm_add_epi32(_mm_slli_epi32(resultG, 8), resultB));
}

}  // namespace

__attribute__((target("sse2"))) void drawRotozoomSse2(const Pixel* texture, const RotozoomSteps& steps,
                                                     Screen& screen)
{
    const auto C = static_cast<std::uint32_t>(steps.c);
    const auto S = static_cast<std::uint32_t>(steps.s);
    const int width = screen.width;
    const int height = screen.height;
    Pixel* page = screen.page();
    // Lane i of a group starting at column k is k + i + 1 steps to the right.
    const __m128i laneU = _mm_setr_epi32(static_cast<int>(C), static_cast<int>(2 * C), static_cast<int>(3 * C),
                                         static_cast<int>(4 * C));
    const __m128i laneV = _mm_setr_epi32(static_cast<int>(S), static_cast<int>(2 * S), static_cast<int>(3 * S),
                                         static_cast<int>(4 * S));
    const __m128i groupU = _mm_set1_epi32(static_cast<int>(C * kLanes));
    const __m128i groupV = _mm_set1_epi32(static_cast<int>(S * kLanes));
    for (int r0 = 0; r0 < height; r0 += kTileRows) {
        const int rEnd = std::min(r0 + kTileRows, height);
        for (int k0 = 0; k0 < width; k0 += kTileColumns) {
            const int kEnd = std::min(k0 + kTileColumns, width);
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
