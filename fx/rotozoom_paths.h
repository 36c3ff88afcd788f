// The rotozoomer's per-pixel loop for each instruction set, and the chooser.
// Private to the framework and its tests.
#pragma once

#include "fx/rotozoom.h"
#include "video/cpu.h"

// Each variant has drawRotozoomScalar's contract and writes the same page, bit for
// bit, for every texture and every step value: the upper channel's products wrap
// in 32 bits exactly as in the scalar loop. Each must only be called when
// cpuLevel() is at least its level.
void drawRotozoomSse2(const Pixel* texture, const RotozoomSteps& steps, Screen& screen);
void drawRotozoomAvx2(const Pixel* texture, const RotozoomSteps& steps, Screen& screen);
void drawRotozoomAvx512(const Pixel* texture, const RotozoomSteps& steps, Screen& screen);

using RotozoomRoutine = void (*)(const Pixel* texture, const RotozoomSteps& steps, Screen& screen);

// The routine drawRotozoom runs at a level: the widest variant not above it,
// drawRotozoomScalar at CpuLevel::scalar and in a build without fast paths.
RotozoomRoutine rotozoomRoutine(CpuLevel level);
