#pragma once

#include "drawing/Surface.h"

// The drawing surfaces a TavloClick owns. control is the persistent image the widget shows;
// pic composes the face of the current state, pic2 blends the cross-fade and the hover
// effects, picTemp holds the shape mask, picIcon the icon and picShadow the icon's glow.
// pic, pic2 and picTemp follow the control's size; picIcon and picShadow are sized by the
// painter that uses them.
struct ButtonCanvas {
    ButtonCanvas();

    // Clearing picShadow gives this colour, which its copies use as the transparent key.
    static constexpr OleColor ShadowBackColor = 0xBD4E2D;

    // Sizes pic, pic2 and picTemp (and the control surface) to the control.
    void resize(int width, int height);

    Surface control;
    Surface pic;
    Surface pic2;
    Surface picTemp;
    Surface picIcon;
    Surface picShadow;
    // pic as Redraw composed it, before any icon: each frame lays the icon on this afresh.
    Surface plainFace;
    // The mask last given to the widget (1 bits opaque), null while the widget has none.
    QImage appliedMask;
    // Set while the container is rendered for what lies behind the control.
    bool capturingBehind = false;
};
