// The sprite blit with AVX-512: sixteen words at a time, stored under a mask of the
// lanes whose alpha byte is not 0, so transparent words are never touched. The
// last few words of a row go through the same masked load and store.
#include "images/sprite_blit_paths.h"

#include <immintrin.h>

#include <cstddef>

__attribute__((target("avx512f,avx512bw,avx512dq,avx512vl"))) void
blitSpriteRowsAvx512(const Pixel* source, int sourceStride, Pixel* target, int targetStride, int width, int rows)
{
    const __m512i alpha = _mm512_set1_epi32(static_cast<int>(0xFF000000u));
    const int tail = width % 16;
    const __mmask16 tailLanes = static_cast<__mmask16>((1u << tail) - 1u);
    for (int r = 0; r < rows; ++r) {
        const Pixel* s = source + std::ptrdiff_t{r} * sourceStride;
        Pixel* t = target + std::ptrdiff_t{r} * targetStride;
        int k = 0;
        for (; k + 16 <= width; k += 16) {
            const __m512i p = _mm512_loadu_si512(s + k);
            const __mmask16 opaque = _mm512_test_epi32_mask(p, alpha);
            if (opaque != 0)
                _mm512_mask_storeu_epi32(t + k, opaque, p);
        }
        if (tail != 0) {
            // Masked-off lanes are neither read nor written, so nothing past the row is touched.
            const __m512i p = _mm512_maskz_loadu_epi32(tailLanes, s + k);
            const __mmask16 opaque = _mm512_mask_test_epi32_mask(tailLanes, p, alpha);
            _mm512_mask_storeu_epi32(t + k, opaque, p);
        }
    }
}
