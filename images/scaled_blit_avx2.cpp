// The upscaler's row paths with AVX2: eight source pixels at a time, the same
// compare-and-select as the SSE2 path on wider lanes.
#include "images/scaled_blit_paths.h"

#include <immintrin.h>

namespace {

#define ORVANE_AVX2 __attribute__((target("avx2"), always_inline)) inline
#define ORVANE_LANES_TARGET __attribute__((target("avx2")))

using V = __m256i;
using M = __m256i; // all ones in the lanes that are set
constexpr std::int64_t kLanes = 8;

ORVANE_AVX2 V load(const Pixel* p)
{
    return _mm256_loadu_si256(reinterpret_cast<const V*>(p));
}
ORVANE_AVX2 void store(Pixel* p, V v)
{
    _mm256_storeu_si256(reinterpret_cast<V*>(p), v);
}
ORVANE_AVX2 M eq(V a, V b)
{
    return _mm256_cmpeq_epi32(a, b);
}
ORVANE_AVX2 M both(M a, M b)
{
    return _mm256_and_si256(a, b);
}
ORVANE_AVX2 M either(M a, M b)
{
    return _mm256_or_si256(a, b);
}
ORVANE_AVX2 M butNot(M a, M b)
{
    return _mm256_andnot_si256(b, a);
} // a and not b
// Lanes of a where mask is set, of b elsewhere.
ORVANE_AVX2 V select(M mask, V a, V b)
{
    return _mm256_blendv_epi8(b, a, mask);
}

// Page words a0 b0 a1 b1 ... from p on. The unpacks work within 128-bit halves, so
// the halves are put back in order afterwards.
ORVANE_AVX2 void storePairs(Pixel* p, V a, V b)
{
    const V low = _mm256_unpacklo_epi32(a, b);  // a0 b0 a1 b1 | a4 b4 a5 b5
    const V high = _mm256_unpackhi_epi32(a, b); // a2 b2 a3 b3 | a6 b6 a7 b7
    store(p, _mm256_permute2x128_si256(low, high, 0x20));
    store(p + 8, _mm256_permute2x128_si256(low, high, 0x31));
}

// Page words a0 b0 c0 a1 b1 c1 ... from p on: page word m is lane m / 3 of the
// vector m % 3. Each output vector gathers its lanes from a, b and c by a
// permutation and blends the three.
ORVANE_AVX2 void storeTriples(Pixel* p, V a, V b, V c)
{
    const V a0 = _mm256_permutevar8x32_epi32(a, _mm256_setr_epi32(0, 0, 0, 1, 0, 0, 2, 0));
    const V b0 = _mm256_permutevar8x32_epi32(b, _mm256_setr_epi32(0, 0, 0, 0, 1, 0, 0, 2));
    const V c0 = _mm256_permutevar8x32_epi32(c, _mm256_setr_epi32(0, 0, 0, 0, 0, 1, 0, 0));
    store(p, _mm256_blend_epi32(_mm256_blend_epi32(a0, b0, 0x92), c0, 0x24));
    const V a1 = _mm256_permutevar8x32_epi32(a, _mm256_setr_epi32(0, 3, 0, 0, 4, 0, 0, 5));
    const V b1 = _mm256_permutevar8x32_epi32(b, _mm256_setr_epi32(0, 0, 3, 0, 0, 4, 0, 0));
    const V c1 = _mm256_permutevar8x32_epi32(c, _mm256_setr_epi32(2, 0, 0, 3, 0, 0, 4, 0));
    store(p + 8, _mm256_blend_epi32(_mm256_blend_epi32(a1, b1, 0x24), c1, 0x49));
    const V a2 = _mm256_permutevar8x32_epi32(a, _mm256_setr_epi32(0, 0, 6, 0, 0, 7, 0, 0));
    const V b2 = _mm256_permutevar8x32_epi32(b, _mm256_setr_epi32(5, 0, 0, 6, 0, 0, 7, 0));
    const V c2 = _mm256_permutevar8x32_epi32(c, _mm256_setr_epi32(0, 5, 0, 0, 6, 0, 0, 7));
    store(p + 16, _mm256_blend_epi32(_mm256_blend_epi32(a2, b2, 0x49), c2, 0x92));
}

#include "images/scaled_blit_lanes.inc"

} // namespace

std::int64_t scaleRowDoublingAvx2(const ScaleRow& row, std::int64_t first, std::int64_t end)
{
    return scaleRowLanes<Rule::doubling>(row, first, end);
}

std::int64_t scaleRowScale2xAvx2(const ScaleRow& row, std::int64_t first, std::int64_t end)
{
    return scaleRowLanes<Rule::scale2x>(row, first, end);
}

std::int64_t scaleRowScale3xAvx2(const ScaleRow& row, std::int64_t first, std::int64_t end)
{
    return scaleRowLanes<Rule::scale3x>(row, first, end);
}

std::int64_t scaleRowEagleAvx2(const ScaleRow& row, std::int64_t first, std::int64_t end)
{
    return scaleRowLanes<Rule::eagle>(row, first, end);
}
