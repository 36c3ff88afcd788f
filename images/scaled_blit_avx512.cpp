// The upscaler's row paths with AVX-512: sixteen source pixels at a time, the same
// compare-and-select as the SSE2 path, with the interleaving done by two-source
// permutations.
#include "images/scaled_blit_paths.h"

#include <immintrin.h>

namespace {

#define ORVANE_AVX512 __attribute__((target("avx512f,avx512bw,avx512dq,avx512vl"), always_inline)) inline
#define ORVANE_LANES_TARGET __attribute__((target("avx512f,avx512bw,avx512dq,avx512vl")))

using V = __m512i;
using M = __mmask16; // one bit per lane
constexpr std::int64_t kLanes = 16;

ORVANE_AVX512 V load(const Pixel* p)
{
    return _mm512_loadu_si512(p);
}
ORVANE_AVX512 void store(Pixel* p, V v)
{
    _mm512_storeu_si512(p, v);
}
ORVANE_AVX512 M eq(V a, V b)
{
    return _mm512_cmpeq_epi32_mask(a, b);
}
ORVANE_AVX512 M both(M a, M b)
{
    return _kand_mask16(a, b);
}
ORVANE_AVX512 M either(M a, M b)
{
    return _kor_mask16(a, b);
}
ORVANE_AVX512 M butNot(M a, M b)
{
    return _kandn_mask16(b, a);
} // a and not b
// Lanes of a where mask is set, of b elsewhere.
ORVANE_AVX512 V select(M mask, V a, V b)
{
    return _mm512_mask_blend_epi32(mask, b, a);
}

// Page words a0 b0 a1 b1 ... from p on.
ORVANE_AVX512 void storePairs(Pixel* p, V a, V b)
{
    const V low = _mm512_setr_epi32(0, 16, 1, 17, 2, 18, 3, 19, 4, 20, 5, 21, 6, 22, 7, 23);
    const V high = _mm512_setr_epi32(8, 24, 9, 25, 10, 26, 11, 27, 12, 28, 13, 29, 14, 30, 15, 31);
    store(p, _mm512_permutex2var_epi32(a, low, b));
    store(p + 16, _mm512_permutex2var_epi32(a, high, b));
}

// Page words a0 b0 c0 a1 b1 c1 ... from p on: page word m is lane m / 3 of the
// vector m % 3. Each output vector takes its a and b lanes by one two-source
// permutation and its c lanes by a masked one.
ORVANE_AVX512 void storeTriples(Pixel* p, V a, V b, V c)
{
    const V ab0 = _mm512_setr_epi32(0, 16, 0, 1, 17, 0, 2, 18, 0, 3, 19, 0, 4, 20, 0, 5);
    const V c0 = _mm512_setr_epi32(0, 0, 0, 0, 0, 1, 0, 0, 2, 0, 0, 3, 0, 0, 4, 0);
    const V ab1 = _mm512_setr_epi32(21, 0, 6, 22, 0, 7, 23, 0, 8, 24, 0, 9, 25, 0, 10, 26);
    const V c1 = _mm512_setr_epi32(0, 5, 0, 0, 6, 0, 0, 7, 0, 0, 8, 0, 0, 9, 0, 0);
    const V ab2 = _mm512_setr_epi32(0, 11, 27, 0, 12, 28, 0, 13, 29, 0, 14, 30, 0, 15, 31, 0);
    const V c2 = _mm512_setr_epi32(10, 0, 0, 11, 0, 0, 12, 0, 0, 13, 0, 0, 14, 0, 0, 15);
    store(p, _mm512_mask_permutexvar_epi32(_mm512_permutex2var_epi32(a, ab0, b), 0x4924, c0, c));
    store(p + 16, _mm512_mask_permutexvar_epi32(_mm512_permutex2var_epi32(a, ab1, b), 0x2492, c1, c));
    store(p + 32, _mm512_mask_permutexvar_epi32(_mm512_permutex2var_epi32(a, ab2, b), 0x9249, c2, c));
}

#include "images/scaled_blit_lanes.inc"

} // namespace

std::int64_t scaleRowDoublingAvx512(const ScaleRow& row, std::int64_t first, std::int64_t end)
{
    return scaleRowLanes<Rule::doubling>(row, first, end);
}

std::int64_t scaleRowScale2xAvx512(const ScaleRow& row, std::int64_t first, std::int64_t end)
{
    return scaleRowLanes<Rule::scale2x>(row, first, end);
}

std::int64_t scaleRowScale3xAvx512(const ScaleRow& row, std::int64_t first, std::int64_t end)
{
    return scaleRowLanes<Rule::scale3x>(row, first, end);
}

std::int64_t scaleRowEagleAvx512(const ScaleRow& row, std::int64_t first, std::int64_t end)
{
    return scaleRowLanes<Rule::eagle>(row, first, end);
}
