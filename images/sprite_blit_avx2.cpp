// The sprite blit with AVX2: eight words at a time, transparent lanes blended back
// from the page (a blend and a plain store run faster than a masked store here).
#include "images/sprite_blit_paths.h"

#include <immintrin.h>

#include <cstddef>

__attribute__((target("avx2"))) void blitSpriteRowsAvx2(const Pixel* source, int sourceStride, Pixel* target,
                                                        int targetStride, int width, int rows)
{
    const __m256i alpha = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    const __m256i zero = _mm256_setzero_si256();
    for (int r = 0; r < rows; ++r) {
        const Pixel* s = source + std::ptrdiff_t{r} * sourceStride;
        Pixel* t = target + std::ptrdiff_t{r} * targetStride;
        int k = 0;
        for (; k + 8 <= width; k += 8) {
            const __m256i p = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + k));
            const __m256i transparent = _mm256_cmpeq_epi32(_mm256_and_si256(p, alpha), zero);
            const int lanes = _mm256_movemask_ps(_mm256_castsi256_ps(transparent));
            if (lanes == 0xFF)
                continue; // nothing to store: a quick skip over transparent runs
            __m256i out = p;
            if (lanes != 0) {
                const __m256i page = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(t + k));
                out = _mm256_blendv_epi8(p, page, transparent);
            }
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(t + k), out);
        }
        for (; k < width; ++k) {
            if (s[k] >> 24 != 0)
                t[k] = s[k];
        }
    }
}
