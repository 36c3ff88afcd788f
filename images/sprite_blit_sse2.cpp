// The sprite blit with SSE2: four words at a time, transparent lanes blended back
// from the page.
#include "images/sprite_blit_paths.h"

#include <immintrin.h>

#include <cstddef>

__attribute__((target("sse2"))) void blitSpriteRowsSse2(const Pixel* source, int sourceStride, Pixel* target,
                                                        int targetStride, int width, int rows)
{
    const __m128i alpha = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    const __m128i zero = _mm_setzero_si128();
    for (int r = 0; r < rows; ++r) {
        const Pixel* s = source + std::ptrdiff_t{r} * sourceStride;
        Pixel* t = target + std::ptrdiff_t{r} * targetStride;
        int k = 0;
        for (; k + 4 <= width; k += 4) {
            const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + k));
            const __m128i transparent = _mm_cmpeq_epi32(_mm_and_si128(p, alpha), zero);
            const int lanes = _mm_movemask_ps(_mm_castsi128_ps(transparent));
            if (lanes == 0xF)
                continue; // nothing to store: a quick skip over transparent runs
            __m128i out = p;
            if (lanes != 0) {
                const __m128i page = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + k));
                out = _mm_or_si128(_mm_and_si128(transparent, page), _mm_andnot_si128(transparent, p));
            }
            _mm_storeu_si128(reinterpret_cast<__m128i*>(t + k), out);
        }
        for (; k < width; ++k) {
            if (s[k] >> 24 != 0)
                t[k] = s[k];
        }
    }
}
