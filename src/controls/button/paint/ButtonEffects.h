#pragma once

#include "controls/button/paint/ButtonPaintContext.h"

// The layers Redraw lays over the face in this order: tint, arrow, texture (and shadow and alpha,
// in their own files). Each works on pic; a RuntimeError ends the layer.
namespace ButtonEffects {

// pic through TintPicture with TintBright, TintHue and TintSaturation (kept in -100..100).
void DrawTint(ButtonPaintContext &context);

// The drop-down arrow: a triangle of ArrowSize in ArrowColor at ArrowPosition (0 right, 1 left,
// 2 bottom, 3 top, 4 centre; other positions keep the last centre) pointing by ArrowDirection
// (0 down, 1 up, 2 right, 3 left), and with ArrowSplit at positions 0..3 a two-line groove in the
// face's own colours whose first line becomes ArrowSplitPos.
void DrawArrow(ButtonPaintContext &context);

// TextureImage stretched into pic2 and blended with the face by TextureType (0 cross-mixed,
// 1 laid over, 2 added, 3 laid over in grey) with TextureAlpha. No image paints nothing.
void DrawTexture(ButtonPaintContext &context);

// What lies behind the control, captured into pic2, laid over the face with AlphaValue.
void DrawAlpha(ButtonPaintContext &context);

} // namespace ButtonEffects
