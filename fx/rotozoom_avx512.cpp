// The rotozoomer's loop with AVX-512 (F, BW, DQ, VL), sixteen page pixels at a
// time.
//
// Texels: each pixel's two neighbours in a texel row are one 64-bit read, so a
// group of sixteen takes four gathers of eight pairs; a group with a pixel in the
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

// GCC 12 takes the deliberately undefined source vector inside the AVX-512 shift
// intrinsics for an uninitialised variable once they are inlined here.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <immintrin.h>

#include <algorithm>
#include <cstddef>

#define ORVANE_AVX512 __attribute__((target("avx512f,avx512bw,avx512dq,avx512vl")))

namespace {

constexpr int kLanes = 16;

// a + ((b - a) * weight >> 16) with the product wrapping in 32 bits.
ORVANE_AVX512 inline __m512i lerpUpper(__m512i a, __m512i b, __m512i weight)
{
    return _mm512_add_epi32(a, _mm512_srai_epi32(_mm512_mullo_epi32(_mm512_sub_epi32(b, a), weight), 16));
}

// The same blend for channels of 0..255 in 16-bit lanes, the weight w (0..65535)
// in both halves of each 32-bit lane and negative its top bit in weightSign. The
// signed high product of d and w read as signed, w - 65536 * s with s its top
// bit, is floor(d * w / 65536) - d * s; adding d * s back gives the scalar step
// exactly, and with d within +-255 nothing leaves 16 bits.
ORVANE_AVX512 inline __m512i lerpBlueGreen(__m512i a, __m512i b, __m512i weight, __m512i weightSign)
{
    const __m512i d = _mm512_sub_epi16(b, a);
    return _mm512_add_epi16(a, _mm512_add_epi16(_mm512_mulhi_epi16(d, weight), _mm512_and_si512(d, weightSign)));
}

// The blend of the four texels of each lane with the fractions fx and fy.
ORVANE_AVX512 inline __m512i blend(__m512i p00, __m512i p10, __m512i p01, __m512i p11, __m512i fx, __m512i fy)
{
    // Blue to 16-bit lane 0, green to lane 1; the weights into both lanes.
    const __m512i blueGreen =
        _mm512_broadcast_i32x4(_mm_setr_epi8(0, -1, 1, -1, 4, -1, 5, -1, 8, -1, 9, -1, 12, -1, 13, -1));
    const __m512i twice = _mm512_broadcast_i32x4(_mm_setr_epi8(0, 1, 0, 1, 4, 5, 4, 5, 8, 9, 8, 9, 12, 13, 12, 13));
    const __m512i fx2 = _mm512_shuffle_epi8(fx, twice);
    const __m512i fy2 = _mm512_shuffle_epi8(fy, twice);
    const __m512i fxSign = _mm512_srai_epi16(fx2, 15);
    const __m512i fySign = _mm512_srai_epi16(fy2, 15);

    const __m512i top = lerpUpper(_mm512_srli_epi32(p00, 16), _mm512_srli_epi32(p10, 16), fx);
    const __m512i bottom = lerpUpper(_mm512_srli_epi32(p01, 16), _mm512_srli_epi32(p11, 16), fx);
    const __m512i resultUpper = lerpUpper(top, bottom, fy);

    const __m512i topBG =
        lerpBlueGreen(_mm512_shuffle_epi8(p00, blueGreen), _mm512_shuffle_epi8(p10, blueGreen), fx2, fxSign);
    const __m512i bottomBG =
        lerpBlueGreen(_mm512_shuffle_epi8(p01, blueGreen), _mm512_shuffle_epi8(p11, blueGreen), fx2, fxSign);
    const __m512i resultBG = lerpBlueGreen(topBG, bottomBG, fy2, fySign);
    // blue * 1 + green * 256 in each 32-bit lane.
    const __m512i lowHalf = _mm512_madd_epi16(resultBG, _mm512_set1_epi32(256 << 16 | 1));
    return _mm512_add_epi32(_mm512_slli_epi32(resultUpper, 16), lowHalf);
}

// The page pixels of the sample positions (u, v), lane by lane.
ORVANE_AVX512 inline __m512i samples(const Pixel* texture, __m512i u, __m512i v)
{
    const __m512i low16 = _mm512_set1_epi32(0xFFFF);
    const __m512i columnMask = _mm512_set1_epi32(1023);
    const __m512i rowMask = _mm512_set1_epi32(511 << 10);

    const __m512i fx = _mm512_and_si512(u, low16);
    const __m512i fy = _mm512_and_si512(v, low16);
    const __m512i x0 = _mm512_and_si512(_mm512_srli_epi32(u, 16), columnMask);
    // Row y times 1024 straight from v: bits 16-24 of v moved to bits 10-18.
    const __m512i row0 = _mm512_and_si512(_mm512_srli_epi32(v, 6), rowMask);
    const __m512i row1 = _mm512_and_si512(_mm512_add_epi32(row0, _mm512_set1_epi32(1024)), rowMask);
    const __m512i i00 = _mm512_add_epi32(row0, x0);
    const __m512i i01 = _mm512_add_epi32(row1, x0);
    if (_mm512_cmpeq_epi32_mask(x0, columnMask) == 0) {
        const __m512i even = _mm512_setr_epi32(0, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30);
        const __m512i odd = _mm512_add_epi32(even, _mm512_set1_epi32(1));
        const __m512i topA = _mm512_i32gather_epi64(_mm512_castsi512_si256(i00), texture, 4);
        const __m512i topB = _mm512_i32gather_epi64(_mm512_extracti64x4_epi64(i00, 1), texture, 4);
        const __m512i bottomA = _mm512_i32gather_epi64(_mm512_castsi512_si256(i01), texture, 4);
        const __m512i bottomB = _mm512_i32gather_epi64(_mm512_extracti64x4_epi64(i01, 1), texture, 4);
        return blend(_mm512_permutex2var_epi32(topA, even, topB), _mm512_permutex2var_epi32(topA, odd, topB),
                     _mm512_permutex2var_epi32(bottomA, even, bottomB),
                     _mm512_permutex2var_epi32(bottomA, odd, bottomB), fx, fy);
    }
    const __m512i x1 = _mm512_and_si512(_mm512_add_epi32(x0, _mm512_set1_epi32(1)), columnMask);
    return blend(_mm512_i32gather_epi32(i00, texture, 4),
                 _mm512_i32gather_epi32(_mm512_add_epi32(row0, x1), texture, 4),
                 _mm512_i32gather_epi32(i01, texture, 4),
                 _mm512_i32gather_epi32(_mm512_add_epi32(row1, x1), texture, 4), fx, fy);
}

// Turns sixteen vectors of sixteen words, row i holding column i, into sixteen
// rows: the 16 x 16 block transposed.
ORVANE_AVX512 inline void transpose(__m512i r[16])
{
    __m512i t[16];
    for (int i = 0; i < 8; ++i) {
        t[2 * i] = _mm512_unpacklo_epi32(r[2 * i], r[2 * i + 1]);
        t[2 * i + 1] = _mm512_unpackhi_epi32(r[2 * i], r[2 * i + 1]);
    }
    for (int i = 0; i < 4; ++i) {
        r[4 * i] = _mm512_unpacklo_epi64(t[4 * i], t[4 * i + 2]);
        r[4 * i + 1] = _mm512_unpackhi_epi64(t[4 * i], t[4 * i + 2]);
        r[4 * i + 2] = _mm512_unpacklo_epi64(t[4 * i + 1], t[4 * i + 3]);
        r[4 * i + 3] = _mm512_unpackhi_epi64(t[4 * i + 1], t[4 * i + 3]);
    }
    for (int i = 0; i < 2; ++i) {
        for (int j = 0; j < 4; ++j) {
            t[8 * i + j] = _mm512_shuffle_i32x4(r[8 * i + j], r[8 * i + j + 4], 0x88);
            t[8 * i + j + 4] = _mm512_shuffle_i32x4(r[8 * i + j], r[8 * i + j + 4], 0xDD);
        }
    }
    for (int j = 0; j < 8; ++j) {
        r[j] = _mm512_shuffle_i32x4(t[j], t[j + 8], 0x88);
        r[j + 8] = _mm512_shuffle_i32x4(t[j], t[j + 8], 0xDD);
    }
}

// Draws page rows rBegin to rEnd - 1, columns kBegin to kEnd - 1, a row of
// vectors at a time, tile by tile.
ORVANE_AVX512 void drawRows(const Pixel* texture, const RotozoomSteps& steps, Pixel* page, int width, int rBegin,
                            int rEnd, int kBegin, int kEnd)
{
    const auto C = static_cast<std::uint32_t>(steps.c);
    const auto S = static_cast<std::uint32_t>(steps.s);
    // Lane i of a group starting at column k is k + i + 1 steps to the right.
    const __m512i lane = _mm512_setr_epi32(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
    const __m512i laneU = _mm512_mullo_epi32(lane, _mm512_set1_epi32(static_cast<int>(C)));
    const __m512i laneV = _mm512_mullo_epi32(lane, _mm512_set1_epi32(static_cast<int>(S)));
    const __m512i groupU = _mm512_set1_epi32(static_cast<int>(C * kLanes));
    const __m512i groupV = _mm512_set1_epi32(static_cast<int>(S * kLanes));
    for (int r0 = rBegin; r0 < rEnd; r0 += kRotozoomTileRows) {
        const int tileEnd = std::min(r0 + kRotozoomTileRows, rEnd);
        for (int k0 = kBegin; k0 < kEnd; k0 += kRotozoomTileColumns) {
            const int columnEnd = std::min(k0 + kRotozoomTileColumns, kEnd);
            for (int r = r0; r < tileEnd; ++r) {
                const auto rows = static_cast<std::uint32_t>(r + 1);
                const auto columns = static_cast<std::uint32_t>(k0);
                const std::uint32_t u = steps.u0 - rows * S + columns * C;
                const std::uint32_t v = steps.v0 + rows * C + columns * S;
                __m512i us = _mm512_add_epi32(_mm512_set1_epi32(static_cast<int>(u)), laneU);
                __m512i vs = _mm512_add_epi32(_mm512_set1_epi32(static_cast<int>(v)), laneV);
                Pixel* out = page + static_cast<std::size_t>(r) * static_cast<std::size_t>(width);
                int k = k0;
                for (; k + kLanes <= columnEnd; k += kLanes) {
                    _mm512_storeu_si512(out + k, samples(texture, us, vs));
                    us = _mm512_add_epi32(us, groupU);
                    vs = _mm512_add_epi32(vs, groupV);
                }
                if (k < columnEnd) {
                    const auto keep = static_cast<__mmask16>((1u << (columnEnd - k)) - 1);
                    _mm512_mask_storeu_epi32(out + k, keep, samples(texture, us, vs));
                }
            }
        }
    }
}

// Draws the page's first rows x columns pixels (both multiples of 16) in
// 16 x 16 blocks whose vectors run down page columns, then are transposed into
// page rows. Blocks go in square tiles of 64 x 64 pixels, for the cache.
ORVANE_AVX512 void drawColumns(const Pixel* texture, const RotozoomSteps& steps, Pixel* page, int width, int rows,
                               int columns)
{
    const auto C = static_cast<std::uint32_t>(steps.c);
    const auto S = static_cast<std::uint32_t>(steps.s);
    // Lane i of a block starting at row r is i + r + 1 steps down.
    const __m512i lane = _mm512_setr_epi32(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
    const __m512i laneU = _mm512_mullo_epi32(lane, _mm512_set1_epi32(static_cast<int>(0u - S)));
    const __m512i laneV = _mm512_mullo_epi32(lane, _mm512_set1_epi32(static_cast<int>(C)));
    const __m512i stepU = _mm512_set1_epi32(static_cast<int>(C));
    const __m512i stepV = _mm512_set1_epi32(static_cast<int>(S));
    constexpr int kTile = 64;
    for (int r1 = 0; r1 < rows; r1 += kTile) {
        for (int k1 = 0; k1 < columns; k1 += kTile) {
            for (int r0 = r1; r0 < std::min(r1 + kTile, rows); r0 += kLanes) {
                for (int k0 = k1; k0 < std::min(k1 + kTile, columns); k0 += kLanes) {
                    const auto down = static_cast<std::uint32_t>(r0);
                    const auto right = static_cast<std::uint32_t>(k0 + 1);
                    __m512i us =
                        _mm512_add_epi32(_mm512_set1_epi32(static_cast<int>(steps.u0 - down * S + right * C)), laneU);
                    __m512i vs =
                        _mm512_add_epi32(_mm512_set1_epi32(static_cast<int>(steps.v0 + down * C + right * S)), laneV);
                    __m512i block[kLanes];
                    for (int j = 0; j < kLanes; ++j) {
                        block[j] = samples(texture, us, vs);
                        us = _mm512_add_epi32(us, stepU);
                        vs = _mm512_add_epi32(vs, stepV);
                    }
                    transpose(block);
                    for (int i = 0; i < kLanes; ++i) {
                        Pixel* out = page + static_cast<std::size_t>(r0 + i) * static_cast<std::size_t>(width) + k0;
                        _mm512_storeu_si512(out, block[i]);
                    }
                }
            }
        }
    }
}

} // namespace

ORVANE_AVX512 void drawRotozoomAvx512(const Pixel* texture, const RotozoomSteps& steps, Screen& screen)
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
