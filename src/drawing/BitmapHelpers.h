#pragma once

#include "drawing/Color.h"

#include <cstdint>

class Surface;

// Drawing helpers the button paints with.

// A rounded rectangle with an anti-aliased outline: when fill is on, the platform's rounded
// rectangle in the colour gives the solid interior (fill style, fill and fore colour restored
// afterwards); the straight edges are lines in the picture's pen width, the corners arcs of a
// LineGS. Corners never exceed half the size clipped to the picture; a bottom cut off by the
// picture by at least two pixels leaves out the bottom edge and the lower corners.
void DrawSmoothRoundRect(Surface &picture, int32_t left, int32_t top, int32_t right, int32_t bottom,
                         int32_t cornerWidth, int32_t cornerHeight, OleColor colour, bool fill);

// Changes the brightness of a rectangle in place: the picture's stretch mode becomes HALFTONE and
// its colour adjustment brightness amount clamped to -100..100 (it stays set, so later HALFTONE
// stretches on this picture apply it again); then the rectangle is stretched onto itself.
void BrightenRect(Surface &picture, int32_t amount, int32_t x, int32_t y, int32_t width, int32_t height);
