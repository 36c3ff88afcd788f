// One frame of the demo: the rotozoomed background and the sprite swarm.
#pragma once

#include "video/screen.h"

// Draws the frame for the current clock into the current page. The texture is
// image (tB >> 12) & 3, turned by tC / 64 / 53.6 radians at zoom 1; then
// n = tA * 0.002 - 5 sprites (none while that is below 1) are drawn in order,
// sprite i at x = 180 sin(0.001 T1 + i) + 200 sin(0.0009 T2 + 3i) + 400,
// y = 100 sin(0.0007 T3 + i) + 150 sin(0.002 T4 + 2i) + 300, where tA, tB, tC
// are three clock readings at the start and T1..T4 four fresh ones per sprite.
// The demo image set must be loaded.
void drawScene(Screen& screen);
