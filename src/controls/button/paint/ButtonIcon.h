#pragma once

#include "controls/button/paint/ButtonPaintContext.h"

namespace ButtonIcon {

// The icon box of an icon of the given aspect (width / height) on a w × h target by
// ButtonIconPos (0 left, 1 top, 2 right, 3 bottom, 4 centre), moved by MotionOffset and scaled
// about its centre by ButtonIconSize percent. Other positions give no box.
bool iconBox(const ButtonProperties &properties, double aspect, double w, double h, float motionOffset,
             ButtonRuntime::Box &box);

// With ButtonIconShow: stores IconAspect and IconBox, loads the icon into picIcon and draws it
// into the box on the target, keyed by picIcon's top-left colour; an icon whose picture has
// partly transparent pixels is composed by its own alpha instead. With ButtonIconShadow, and
// while no fade runs, a glow of four widening, fainter copies of the face under the icon with
// the icon on it first. No icon picture draws nothing.
void DrawIcon(ButtonPaintContext &context, Surface &target, bool fadeRunning);

} // namespace ButtonIcon
