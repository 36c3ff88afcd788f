#include "images/scaled_blit.h"

int gScaleMode = 3;

void blitScaled(const Image&, Screen&) {}
