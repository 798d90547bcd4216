#pragma once

#include "controls/button/CaptionLabel.h"
#include "controls/button/model/ButtonProperties.h"
#include "controls/button/model/ButtonRuntime.h"
#include "controls/button/paint/ButtonCanvas.h"

#include <functional>

// What the painting steps of a TavloClick work on: its properties, surfaces, run-time fields and
// caption label, and a way to see what lies behind the control. The steps throw RuntimeError
// where a value does not fit its drawing call; that ends the step and the pipeline goes on.
struct ButtonPaintContext {
    const ButtonProperties &props;
    ButtonCanvas &canvas;
    ButtonRuntime &run;
    CaptionLabel &lblCap;
    // Paints what lies behind the control (its container without the container's children)
    // into the surface, stretched to the surface's size.
    std::function<void(Surface &)> captureBehind;
};
