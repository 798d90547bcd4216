#pragma once

#include "controls/button/paint/ButtonPaintContext.h"

namespace ButtonShadow {

// The face shrunk by ShadowSize on each side over what lies behind the control (laid over the
// whole face first, so none of the full-size face stays beside the shadow), with a rim by
// ShadowStyle: 0 and 1 soft rings of the face's silhouette fading into the background, 2 a square
// and 3 a rounded drop shadow in ShadowColor. picTemp keeps the composed face (so the mask
// follows it) and pic2 the result. A ring alpha outside 0..255 (style 0 past 15 rings) ends the
// rings; the face is still laid on top.
void DrawShadow(ButtonPaintContext &context);

} // namespace ButtonShadow
