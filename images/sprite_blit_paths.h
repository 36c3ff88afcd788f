// The sprite blit's row routines: the plain definition and its fast paths, all with
// one signature so that blitSprite clips once and hands the same rectangle to any.
#pragma once

#include "video/screen.h"

// Copies rows x width sprite words from source to target, row r of the sprite
// starting at source + r * sourceStride and landing at target + r * targetStride,
// leaving out every word whose alpha byte is 0. Both rectangles must lie inside
// their buffers; width and rows may be 0. Target words under transparent source
// words end unchanged (a fast path may read and rewrite them with their own value).
void blitSpriteRowsScalar(const Pixel* source, int sourceStride, Pixel* target, int targetStride, int width, int rows);

#ifndef ORVANE_SCALAR_ONLY
// Need the matching CpuLevel (video/cpu.h): sse2, avx2, avx512.
void blitSpriteRowsSse2(const Pixel* source, int sourceStride, Pixel* target, int targetStride, int width, int rows);
void blitSpriteRowsAvx2(const Pixel* source, int sourceStride, Pixel* target, int targetStride, int width, int rows);
void blitSpriteRowsAvx512(const Pixel* source, int sourceStride, Pixel* target, int targetStride, int width, int rows);
#endif
