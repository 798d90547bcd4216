#pragma once

#include "common/Picture.h"

#include <QString>

#include <cstdint>

// The run-time fields of a TavloClick that are not properties: the repaint bookkeeping of
// Redraw and the interaction state. Everything starts as 0, False or empty.
struct ButtonRuntime {
    struct Rect {
        int32_t left = 0;
        int32_t top = 0;
        int32_t right = 0;
        int32_t bottom = 0;
    };
    struct Box {
        double x = 0;
        float y = 0;
        double width = 0;
        double height = 0;
    };

    // Repaint (Redraw): the state of the latest Redraw and of the one before it; an empty
    // PreviousState compares equal to 0, so the first Redraw(0) presents at once.
    int32_t LastState = 0;
    int32_t PreviousState = 0;
    float MotionOffset = 0;
    Picture CurrentFacePicture;
    Rect CaptionRect;
    Box IconBox;
    double IconAspect = 0;
    int16_t CaptionMargin = 0;
    float FadeLevel = 0;
    // The arrow part: the split line and the arrow's centre, kept between draws.
    float ArrowSplitPos = 0;
    double arrowCentreX = 0;
    double arrowCentreY = 0;

    // Interaction.
    bool MouseOutside = false;
    bool RightPressed = false;
    bool ArrowPressed = false;
    bool Dragging = false;
    float DragStartX = 0;
    float DragStartY = 0;
    // Where built-in sounds are written out.
    QString TempFolder;

    // The folder named by "tmp", else "temp", else the system's temporary folder (an empty
    // folder would put the sound files at the root).
    static QString temporaryFolder();
};
