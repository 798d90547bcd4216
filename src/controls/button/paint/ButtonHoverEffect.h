#pragma once

#include "controls/button/paint/ButtonPaintContext.h"

#include <functional>

namespace ButtonHoverEffect {

// The hover animation by Effects, blending pic into pic2 frame by frame; every frame ends with
// showFrame (ShowComposite). 0: a rim glow (21 frames), 1: a glow drifting down and right (11),
// 2: a brief flash, pic2 restored afterwards (6), 3: a fade-in (11), 4: a shimmer, pic2 restored
// (11), 5: the face sliding in from the side away from the icon (11). Other values: nothing.
void DrawEffect(ButtonPaintContext &context, const std::function<void()> &showFrame);

} // namespace ButtonHoverEffect
