// The rotozoomer's loop with AVX2: eight page pixels at a time in 32-bit lanes,
// the four texels of each fetched with gathers, every channel blended exactly as
// in drawRotozoomScalar (vpmulld keeps the low 32 bits of each product, the
// wrapping product the scalar loop reads as signed).
#include "fx/rotozoom_paths.h"

#include <immintrin.h>

#include <algorithm>
#include <cstddef>

namespace {

constexpr int kLanes = 8;
// The page is drawn in tiles so that the texels of one tile stay in the cache
// whatever the angle: at a quarter turn a page row walks down a texture column.
constexpr int kTileRows = 8;
constexpr int kTileColumns = 128;

// a + ((b - a) * weight >> 16) with the product wrapping in 32 bits.
__attribute__((target("avx2"))) inline __m256i lerp(__m256i a, __m256i b, __m256i weight)
{
    return _mm256_add_epi32(a, _mm256_srai_epi32(_mm256_mullo_epi32(_mm256_sub_epi32(b, a), weight), 16));
}

// The three blend channels of texels p, each in its own 32-bit lane.
__attribute__((target("avx2"))) inline __m256i upper(__m256i p) { return _mm256_srli_epi32(p, 16); }
__attribute__((target("avx2"))) inline __m256i green(__m256i p) { return _mm256_and_si256(_mm256_srli_epi32(p, 8), _mm256_set1_epi32(255)); }
__attribute__((target("avx2"))) inline __m256i blue(__m256i p) { return _mm256_and_si256(p, _mm256_set1_epi32(255)); }

// The page pixels of the sample positions (u, v), lane by lane.
__attribute__((target("avx2"))) inline __m256i samples(const Pixel* texture, __m256i u, __m256i v)
{
    const auto* base = reinterpret_cast<const int*>(texture);
    const __m256i low16 = _mm256_set1_epi32(0xFFFF);
    const __m256i columnMask = _mm256_set1_epi32(1023);
    const __m256i rowMask = _mm256_set1_epi32(511 << 10);

    const __m256i fx = _mm256_and_si256(u, low16);
    const __m256i fy = _mm256_and_si256(v, low16);
    const __m256i x0 = _mm256_and_si256(_mm256_srli_epi32(u, 16), columnMask);
    const __m256i x1 = _mm256_and_si256(_mm256_add_epi32(x0, _mm256_set1_epi32(1)), columnMask);
    // Row y times 1024 straight from v: bits 16-24 of v moved to bits 10-18.
    const __m256i row0 = _mm256_and_si256(_mm256_srli_epi32(v, 6), rowMask);
    const __m256i row1 = _mm256_and_si256(_mm256_add_epi32(row0, _mm256_set1_epi32(1024)), rowMask);
    const __m256i p00 = _mm256_i32gather_epi32(base, _mm256_add_epi32(row0, x0), 4);
    const __m256i p10 = _mm256_i32gather_epi32(base, _mm256_add_epi32(row0, x1), 4);
    const __m256i p01 = _mm256_i32gather_epi32(base, _mm256_add_epi32(row1, x0), 4);
    const __m256i p11 = _mm256_i32gather_epi32(base, _mm256_add_epi32(row1, x1), 4);

    const __m256i resultU = lerp(lerp(upper(p00), upper(p10), fx), lerp(upper(p01), upper(p11), fx), fy);
    const __m256i resultG = lerp(lerp(green(p00), green(p10), fx), lerp(green(p01), green(p11), fx), fy);
    const __m256i resultB = lerp(lerp(blue(p00), blue(p10), fx), lerp(blue(p01), blue(p11), fx), fy);
    return _mm256_add_epi32(_mm256_slli_epi32(resultU, 16),
                            _mm256_add_epi32(_mm256_slli_epi32(resultG, 8), resultB));
}

}  // namespace

__attribute__((target("avx2"))) void drawRotozoomAvx2(const Pixel* texture, const RotozoomSteps& steps,
                                                     Screen& screen)
{
    const auto C = static_cast<std::uint32_t>(steps.c);
    const auto S = static_cast<std::uint32_t>(steps.s);
    const int width = screen.width;
    const int height = screen.height;
    Pixel* page = screen.page();
    // Lane i of a group starting at column k is k + i + 1 steps to the right.
    const __m256i lane = _mm256_setr_epi32(1, 2, 3, 4, 5, 6, 7, 8);
    const __m256i laneU = _mm256_mullo_epi32(lane, _mm256_set1_epi32(static_cast<int>(C)));
    const __m256i laneV = _mm256_mullo_epi32(lane, _mm256_set1_epi32(static_cast<int>(S)));
    const __m256i groupU = _mm256_set1_epi32(static_cast<int>(C * kLanes));
    const __m256i groupV = _mm256_set1_epi32(static_cast<int>(S * kLanes));
    for (int r0 = 0; r0 < height; r0 += kTileRows) {
        const int rEnd = std::min(r0 + kTileRows, height);
        for (int k0 = 0; k0 < width; k0 += kTileColumns) {
            const int kEnd = std::min(k0 + kTileColumns, width);
            for (int r = r0; r < rEnd; ++r) {
                const auto rows = static_cast<std::uint32_t>(r + 1);
                const auto columns = static_cast<std::uint32_t>(k0);
                const std::uint32_t u = steps.u0 - rows * S + columns * C;
                const std::uint32_t v = steps.v0 + rows * C + columns * S;
                __m256i us = _mm256_add_epi32(_mm256_set1_epi32(static_cast<int>(u)), laneU);
                __m256i vs = _mm256_add_epi32(_mm256_set1_epi32(static_cast<int>(v)), laneV);
                Pixel* out = page + static_cast<std::size_t>(r) * static_cast<std::size_t>(width);
                int k = k0;
                for (; k + kLanes <= kEnd; k += kLanes) {
                    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + k), samples(texture, us, vs));
                    us = _mm256_add_epi32(us, groupU);
                    vs = _mm256_add_epi32(vs, groupV);
                }
                if (k < kEnd) {
                    const __m256i keep = _mm256_cmpgt_epi32(_mm256_set1_epi32(kEnd - k), _mm256_sub_epi32(lane, _mm256_set1_epi32(1)));
                    _mm256_maskstore_epi32(reinterpret_cast<int*>(out + k), keep, samples(texture, us, vs));
                }
            }
        }
    }
}
