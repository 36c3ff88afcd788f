// The upscaler's row paths with SSE2: four source pixels at a time. Every condition
// of the rules is a whole-word comparison, so each lane computes its block's
// sub-pixels with compare-and-select exactly as the scalar rules do, and the
// sub-pixels are then interleaved into page rows.
#include "images/scaled_blit_paths.h"

#include <immintrin.h>

namespace {

#define ORVANE_SSE2 __attribute__((target("sse2"), always_inline)) inline
#define ORVANE_LANES_TARGET __attribute__((target("sse2")))

using V = __m128i;
using M = __m128i; // all ones in the lanes that are set
constexpr std::int64_t kLanes = 4;

ORVANE_SSE2 V load(const Pixel* p)
{
    return _mm_loadu_si128(reinterpret_cast<const V*>(p));
}
ORVANE_SSE2 void store(Pixel* p, V v)
{
    _mm_storeu_si128(reinterpret_cast<V*>(p), v);
}
ORVANE_SSE2 M eq(V a, V b)
{
    return _mm_cmpeq_epi32(a, b);
}
ORVANE_SSE2 M both(M a, M b)
{
    return _mm_and_si128(a, b);
}
ORVANE_SSE2 M either(M a, M b)
{
    return _mm_or_si128(a, b);
}
ORVANE_SSE2 M butNot(M a, M b)
{
    return _mm_andnot_si128(b, a);
} // a and not b
// Lanes of a where mask is set, of b elsewhere.
ORVANE_SSE2 V select(M mask, V a, V b)
{
    return _mm_or_si128(_mm_and_si128(mask, a), _mm_andnot_si128(mask, b));
}

// Page words a0 b0 a1 b1 ... from p on.
ORVANE_SSE2 void storePairs(Pixel* p, V a, V b)
{
    store(p, _mm_unpacklo_epi32(a, b));
    store(p + 4, _mm_unpackhi_epi32(a, b));
}

// Page words a0 b0 c0 a1 b1 c1 ... from p on.
ORVANE_SSE2 void storeTriples(Pixel* p, V a, V b, V c)
{
    const __m128 ab0 = _mm_castsi128_ps(_mm_unpacklo_epi32(a, b));                     // a0 b0 a1 b1
    const __m128 ca0 = _mm_castsi128_ps(_mm_unpacklo_epi32(c, a));                     // c0 a0 c1 a1
    const __m128 bc0 = _mm_castsi128_ps(_mm_unpacklo_epi32(b, c));                     // b0 c0 b1 c1
    const __m128 ab1 = _mm_castsi128_ps(_mm_unpackhi_epi32(a, b));                     // a2 b2 a3 b3
    const __m128 ca1 = _mm_castsi128_ps(_mm_unpackhi_epi32(c, a));                     // c2 a2 c3 a3
    const __m128 bc1 = _mm_castsi128_ps(_mm_unpackhi_epi32(b, c));                     // b2 c2 b3 c3
    store(p, _mm_castps_si128(_mm_shuffle_ps(ab0, ca0, _MM_SHUFFLE(3, 0, 1, 0))));     // a0 b0 c0 a1
    store(p + 4, _mm_castps_si128(_mm_shuffle_ps(bc0, ab1, _MM_SHUFFLE(1, 0, 3, 2)))); // b1 c1 a2 b2
    store(p + 8, _mm_castps_si128(_mm_shuffle_ps(ca1, bc1, _MM_SHUFFLE(3, 2, 3, 0)))); // c2 a3 b3 c3
}

#include "images/scaled_blit_lanes.inc"

} // namespace

std::int64_t scaleRowDoublingSse2(const ScaleRow& row, std::int64_t first, std::int64_t end)
{
    return scaleRowLanes<Rule::doubling>(row, first, end);
}

std::int64_t scaleRowScale2xSse2(const ScaleRow& row, std::int64_t first, std::int64_t end)
{
    return scaleRowLanes<Rule::scale2x>(row, first, end);
}

std::int64_t scaleRowScale3xSse2(const ScaleRow& row, std::int64_t first, std::int64_t end)
{
    return scaleRowLanes<Rule::scale3x>(row, first, end);
}

std::int64_t scaleRowEagleSse2(const ScaleRow& row, std::int64_t first, std::int64_t end)
{
    return scaleRowLanes<Rule::eagle>(row, first, end);
}
