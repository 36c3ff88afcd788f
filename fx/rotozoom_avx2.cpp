// The rotozoomer's loop with AVX2, eight page pixels at a time.
//
// Texels: each pixel's two neighbours in a texel row are one 64-bit read, so a
// group of eight takes four gathers of four pairs; a group with a pixel in the
// last texel column (whose right neighbour wraps to column 0) gathers texel by
// texel instead.
//
// Blending gives the scalar loop's bits exactly. The upper channel stays in 32-bit
// lanes: vpmulld keeps the low 32 bits of each product, the wrapping product the
// scalar loop reads as signed. Blue and green share a 32-bit lane as two 16-bit
// ones (see lerpBlueGreen).
//
// Order: tiles of page rows, except near a quarter turn, where vectors run down
// page columns and each square block is transposed before it is stored (see
// rotozoomWalksColumns). The page ends the same either way.
#include "fx/rotozoom_paths.h"

#include <immintrin.h>

#include <algorithm>
#include <cstddef>

#define ORVANE_AVX2 __attribute__((target("avx2")))

namespace {

constexpr int kLanes = 8;

// a + ((b - a) * weight >> 16) with the product wrapping in 32 bits.
ORVANE_AVX2 inline __m256i lerpUpper(__m256i a, __m256i b, __m256i weight)
{
    return _mm256_add_epi32(a, _mm256_srai_epi32(_mm256_mullo_epi32(_mm256_sub_epi32(b, a), weight), 16));
}

// The same blend for channels of 0..255 in 16-bit lanes, the weight w (0..65535)
// in both halves of each 32-bit lane and negative its top bit in weightSign. The
// signed high product of d and w read as signed, w - 65536 * s with s its top
// bit, is floor(d * w / 65536) - d * s; adding d * s back gives the scalar step
// exactly, and with d within +-255 nothing leaves 16 bits.
ORVANE_AVX2 inline __m256i lerpBlueGreen(__m256i a, __m256i b, __m256i weight, __m256i weightSign)
{
    const __m256i d = _mm256_sub_epi16(b, a);
    return _mm256_add_epi16(a, _mm256_add_epi16(_mm256_mulhi_epi16(d, weight), _mm256_and_si256(d, weightSign)));
}

// The blend of the four texels of each lane with the fractions fx and fy.
ORVANE_AVX2 inline __m256i blend(__m256i p00, __m256i p10, __m256i p01, __m256i p11, __m256i fx, __m256i fy)
{
    // Blue to 16-bit lane 0, green to lane 1; the weights into both lanes.
    const __m256i blueGreen = _mm256_setr_epi8(0, -1, 1, -1, 4, -1, 5, -1, 8, -1, 9, -1, 12, -1, 13, -1, 0, -1, 1, -1,
                                               4, -1, 5, -1, 8, -1, 9, -1, 12, -1, 13, -1);
    const __m256i twice = _mm256_setr_epi8(0, 1, 0, 1, 4, 5, 4, 5, 8, 9, 8, 9, 12, 13, 12, 13, 0, 1, 0, 1, 4, 5, 4, 5,
                                           8, 9, 8, 9, 12, 13, 12, 13);
    const __m256i fx2 = _mm256_shuffle_epi8(fx, twice);
    const __m256i fy2 = _mm256_shuffle_epi8(fy, twice);
    const __m256i fxSign = _mm256_srai_epi16(fx2, 15);
    const __m256i fySign = _mm256_srai_epi16(fy2, 15);

    const __m256i top = lerpUpper(_mm256_srli_epi32(p00, 16), _mm256_srli_epi32(p10, 16), fx);
    const __m256i bottom = lerpUpper(_mm256_srli_epi32(p01, 16), _mm256_srli_epi32(p11, 16), fx);
    const __m256i resultUpper = lerpUpper(top, bottom, fy);

    const __m256i topBG =
        lerpBlueGreen(_mm256_shuffle_epi8(p00, blueGreen), _mm256_shuffle_epi8(p10, blueGreen), fx2, fxSign);
    const __m256i bottomBG =
        lerpBlueGreen(_mm256_shuffle_epi8(p01, blueGreen), _mm256_shuffle_epi8(p11, blueGreen), fx2, fxSign);
    const __m256i resultBG = lerpBlueGreen(topBG, bottomBG, fy2, fySign);
    // blue * 1 + green * 256 in each 32-bit lane.
    const __m256i lowHalf = _mm256_madd_epi16(resultBG, _mm256_set1_epi32(256 << 16 | 1));
    return _mm256_add_epi32(_mm256_slli_epi32(resultUpper, 16), lowHalf);
}

// The page pixels of the sample positions (u, v), lane by lane.
ORVANE_AVX2 inline __m256i samples(const Pixel* texture, __m256i u, __m256i v)
{
    const auto* base = reinterpret_cast<const int*>(texture);
    const __m256i low16 = _mm256_set1_epi32(0xFFFF);
    const __m256i columnMask = _mm256_set1_epi32(1023);
    const __m256i rowMask = _mm256_set1_epi32(511 << 10);

    const __m256i fx = _mm256_and_si256(u, low16);
    const __m256i fy = _mm256_and_si256(v, low16);
    const __m256i x0 = _mm256_and_si256(_mm256_srli_epi32(u, 16), columnMask);
    // Row y times 1024 straight from v: bits 16-24 of v moved to bits 10-18.
    const __m256i row0 = _mm256_and_si256(_mm256_srli_epi32(v, 6), rowMask);
    const __m256i row1 = _mm256_and_si256(_mm256_add_epi32(row0, _mm256_set1_epi32(1024)), rowMask);
    const __m256i i00 = _mm256_add_epi32(row0, x0);
    const __m256i i01 = _mm256_add_epi32(row1, x0);
    if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(x0, columnMask)) == 0) {
        // Pairs for lanes 0, 1, 4, 5 in one gather and 2, 3, 6, 7 in the other,
        // so that picking even and odd words per 128-bit half restores the order.
        const __m256i order = _mm256_setr_epi32(0, 1, 4, 5, 2, 3, 6, 7);
        const __m256i top = _mm256_permutevar8x32_epi32(i00, order);
        const __m256i bottom = _mm256_permutevar8x32_epi32(i01, order);
        const auto* pairs = reinterpret_cast<const long long*>(texture);
        const __m256 topA = _mm256_castsi256_ps(_mm256_i32gather_epi64(pairs, _mm256_castsi256_si128(top), 4));
        const __m256 topB = _mm256_castsi256_ps(_mm256_i32gather_epi64(pairs, _mm256_extracti128_si256(top, 1), 4));
        const __m256 bottomA = _mm256_castsi256_ps(_mm256_i32gather_epi64(pairs, _mm256_castsi256_si128(bottom), 4));
        const __m256 bottomB =
            _mm256_castsi256_ps(_mm256_i32gather_epi64(pairs, _mm256_extracti128_si256(bottom, 1), 4));
        return blend(_mm256_castps_si256(_mm256_shuffle_ps(topA, topB, _MM_SHUFFLE(2, 0, 2, 0))),
                     _mm256_castps_si256(_mm256_shuffle_ps(topA, topB, _MM_SHUFFLE(3, 1, 3, 1))),
                     _mm256_castps_si256(_mm256_shuffle_ps(bottomA, bottomB, _MM_SHUFFLE(2, 0, 2, 0))),
                     _mm256_castps_si256(_mm256_shuffle_ps(bottomA, bottomB, _MM_SHUFFLE(3, 1, 3, 1))), fx, fy);
    }
    const __m256i x1 = _mm256_and_si256(_mm256_add_epi32(x0, _mm256_set1_epi32(1)), columnMask);
    return blend(_mm256_i32gather_epi32(base, i00, 4), _mm256_i32gather_epi32(base, _mm256_add_epi32(row0, x1), 4),
                 _mm256_i32gather_epi32(base, i01, 4), _mm256_i32gather_epi32(base, _mm256_add_epi32(row1, x1), 4), fx,
                 fy);
}

// Turns eight vectors of eight words, row i holding column i, into eight rows:
// the 8 x 8 block transposed.
ORVANE_AVX2 inline void transpose(__m256i r[8])
{
    __m256i t[8];
    for (int i = 0; i < 4; ++i) {
        t[2 * i] = _mm256_unpacklo_epi32(r[2 * i], r[2 * i + 1]);
        t[2 * i + 1] = _mm256_unpackhi_epi32(r[2 * i], r[2 * i + 1]);
    }
    for (int i = 0; i < 2; ++i) {
        r[4 * i] = _mm256_unpacklo_epi64(t[4 * i], t[4 * i + 2]);
        r[4 * i + 1] = _mm256_unpackhi_epi64(t[4 * i], t[4 * i + 2]);
        r[4 * i + 2] = _mm256_unpacklo_epi64(t[4 * i + 1], t[4 * i + 3]);
        r[4 * i + 3] = _mm256_unpackhi_epi64(t[4 * i + 1], t[4 * i + 3]);
    }
    for (int j = 0; j < 4; ++j) {
        t[j] = _mm256_permute2x128_si256(r[j], r[j + 4], 0x20);
        t[j + 4] = _mm256_permute2x128_si256(r[j], r[j + 4], 0x31);
    }
    for (int j = 0; j < 8; ++j)
        r[j] = t[j];
}

// Draws page rows rBegin to rEnd - 1, columns kBegin to kEnd - 1, a row of
// vectors at a time, tile by tile.
ORVANE_AVX2 void drawRows(const Pixel* texture, const RotozoomSteps& steps, Pixel* page, int width, int rBegin,
                          int rEnd, int kBegin, int kEnd)
{
    const auto C = static_cast<std::uint32_t>(steps.c);
    const auto S = static_cast<std::uint32_t>(steps.s);
    // Lane i of a group starting at column k is k + i + 1 steps to the right.
    const __m256i lane = _mm256_setr_epi32(1, 2, 3, 4, 5, 6, 7, 8);
    const __m256i laneU = _mm256_mullo_epi32(lane, _mm256_set1_epi32(static_cast<int>(C)));
    const __m256i laneV = _mm256_mullo_epi32(lane, _mm256_set1_epi32(static_cast<int>(S)));
    const __m256i groupU = _mm256_set1_epi32(static_cast<int>(C * kLanes));
    const __m256i groupV = _mm256_set1_epi32(static_cast<int>(S * kLanes));
    for (int r0 = rBegin; r0 < rEnd; r0 += kRotozoomTileRows) {
        const int tileEnd = std::min(r0 + kRotozoomTileRows, rEnd);
        for (int k0 = kBegin; k0 < kEnd; k0 += kRotozoomTileColumns) {
            const int columnEnd = std::min(k0 + kRotozoomTileColumns, kEnd);
            for (int r = r0; r < tileEnd; ++r) {
                const auto rows = static_cast<std::uint32_t>(r + 1);
                const auto columns = static_cast<std::uint32_t>(k0);
                const std::uint32_t u = steps.u0 - rows * S + columns * C;
                const std::uint32_t v = steps.v0 + rows * C + columns * S;
                __m256i us = _mm256_add_epi32(_mm256_set1_epi32(static_cast<int>(u)), laneU);
                __m256i vs = _mm256_add_epi32(_mm256_set1_epi32(static_cast<int>(v)), laneV);
                Pixel* out = page + static_cast<std::size_t>(r) * static_cast<std::size_t>(width);
                int k = k0;
                for (; k + kLanes <= columnEnd; k += kLanes) {
                    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + k), samples(texture, us, vs));
                    us = _mm256_add_epi32(us, groupU);
                    vs = _mm256_add_epi32(vs, groupV);
                }
                if (k < columnEnd) {
                    const __m256i keep = _mm256_cmpgt_epi32(_mm256_set1_epi32(columnEnd - k),
                                                            _mm256_sub_epi32(lane, _mm256_set1_epi32(1)));
                    _mm256_maskstore_epi32(reinterpret_cast<int*>(out + k), keep, samples(texture, us, vs));
                }
            }
        }
    }
}

// Draws the page's first rows x columns pixels (both multiples of 8) in
// 8 x 8 blocks whose vectors run down page columns, then are transposed into
// page rows. Blocks go in square tiles of 64 x 64 pixels, for the cache.
ORVANE_AVX2 void drawColumns(const Pixel* texture, const RotozoomSteps& steps, Pixel* page, int width, int rows,
                             int columns)
{
    const auto C = static_cast<std::uint32_t>(steps.c);
    const auto S = static_cast<std::uint32_t>(steps.s);
    // Lane i of a block starting at row r is i + r + 1 steps down.
    const __m256i lane = _mm256_setr_epi32(1, 2, 3, 4, 5, 6, 7, 8);
    const __m256i laneU = _mm256_mullo_epi32(lane, _mm256_set1_epi32(static_cast<int>(0u - S)));
    const __m256i laneV = _mm256_mullo_epi32(lane, _mm256_set1_epi32(static_cast<int>(C)));
    const __m256i stepU = _mm256_set1_epi32(static_cast<int>(C));
    const __m256i stepV = _mm256_set1_epi32(static_cast<int>(S));
    constexpr int kTile = 64;
    for (int r1 = 0; r1 < rows; r1 += kTile) {
        for (int k1 = 0; k1 < columns; k1 += kTile) {
            for (int r0 = r1; r0 < std::min(r1 + kTile, rows); r0 += kLanes) {
                for (int k0 = k1; k0 < std::min(k1 + kTile, columns); k0 += kLanes) {
                    const auto down = static_cast<std::uint32_t>(r0);
                    const auto right = static_cast<std::uint32_t>(k0 + 1);
                    __m256i us =
                        _mm256_add_epi32(_mm256_set1_epi32(static_cast<int>(steps.u0 - down * S + right * C)), laneU);
                    __m256i vs =
                        _mm256_add_epi32(_mm256_set1_epi32(static_cast<int>(steps.v0 + down * C + right * S)), laneV);
                    __m256i block[kLanes];
                    for (int j = 0; j < kLanes; ++j) {
                        block[j] = samples(texture, us, vs);
                        us = _mm256_add_epi32(us, stepU);
                        vs = _mm256_add_epi32(vs, stepV);
                    }
                    transpose(block);
                    for (int i = 0; i < kLanes; ++i) {
                        Pixel* out = page + static_cast<std::size_t>(r0 + i) * static_cast<std::size_t>(width) + k0;
                        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), block[i]);
                    }
                }
            }
        }
    }
}

} // namespace

ORVANE_AVX2 void drawRotozoomAvx2(const Pixel* texture, const RotozoomSteps& steps, Screen& screen)
{
    const int width = screen.width;
    const int height = screen.height;
    Pixel* page = screen.page();
    if (!rotozoomWalksColumns(steps)) {
        drawRows(texture, steps, page, width, 0, height, 0, width);
        return;
    }
    // Whole blocks down columns; the strips they leave at the right and the bottom
    // row by row.
    const int rows = height / kLanes * kLanes;
    const int columns = width / kLanes * kLanes;
    drawColumns(texture, steps, page, width, rows, columns);
    drawRows(texture, steps, page, width, 0, rows, columns, width);
    drawRows(texture, steps, page, width, rows, height, 0, width);
}
