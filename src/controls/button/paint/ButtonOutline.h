#pragma once

#include "controls/button/model/ButtonProperties.h"

#include <QImage>

class Surface;

// The button's outline: the border drawn on the face and the shape drawn on the mask surface.
// Both follow ButtonShape: 0 square, 1 rounded (RoundSizeAuto: (W + H) / 10, else RoundWidth ×
// RoundHeight), 2 a pill (500 × 500), 3 only the top corners rounded, 4 (50 × 5), 5 (50 × 500).
// Other shapes are drawn as 1.
namespace ButtonOutline {

// BorderStyle 0 none; 1 one outline in BorderColor1 with pen width BorderSize; 2 graded rings
// from BorderColor1 (outermost) towards BorderColor2, each outlined twice (smooth and plain);
// 3 an outline in BorderColor2 inset by BorderSize inside one in BorderColor1; 4 and 5 graded
// bands along the left and right, or the top and bottom edges. Throws RuntimeError when a value
// does not fit its drawing call (a pen width outside 16 bits), which ends the border.
void DrawBorder(Surface &pic, const ButtonProperties &properties);

// The mask surface for the shape: cleared, then the shape filled in 0xFFFFFF - MaskColor, so that
// whatever stays MaskColor is transparent. ButtonShape 0 is the whole rectangle.
void drawShapeMask(Surface &picTemp, const ButtonProperties &properties);

// The mask picture of the mask surface as a one-bit image, 1 where a pixel differs from the key
// colour (opaque), 0 where it equals it (transparent). Null when nothing is transparent.
QImage maskBits(const Surface &picTemp, OleColor key);

} // namespace ButtonOutline
