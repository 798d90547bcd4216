#pragma once

#include "controls/button/model/ButtonProperties.h"

#include <cstdint>

class Surface;

// The 25 face styles of TavloClick, one small function each, indexed by style.
namespace FaceStyles {

inline constexpr int32_t StyleCount = 25;

// What a face reads, for one state (0 Normal, 1 Over, 2 Down). The four colours are translated.
struct FaceInputs {
    int state = 0;
    int32_t style = 0;
    OleColor c1 = 0;
    OleColor c2 = 0;
    OleColor e1 = 0;
    OleColor e2 = 0;
    int32_t splitSize = 50; // S: a percentage of the height (of the width for 13 and 14)
    int32_t blendSize = 1;  // B
    float borderSize = 1;
    float roundWidth = 5;
    float roundHeight = 5;
    OleColor maskColor = 0;
};

FaceInputs faceInputs(const ButtonProperties &properties, int state);

// Fills pic with MaskColor, then draws the style. An error inside the style (a zero span or
// blend size, an alpha outside 0..255, an overflow) abandons the rest of the face and is thrown;
// pic keeps what was drawn so far. A style outside 0..24 leaves MaskColor only.
void PaintFace(Surface &pic, const FaceInputs &inputs);

} // namespace FaceStyles
