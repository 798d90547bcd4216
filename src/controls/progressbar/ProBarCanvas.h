#pragma once

#include "Surface.h"

#include <cstdint>

// The bar's drawing surfaces and the size they are drawn at. control is the persistent image
// the widget presents; picMask builds the shape, picCover stages the back and cover pictures,
// picBlock holds the image of one block.
struct ProBarCanvas {
    ProBarCanvas();

    Surface control;
    Surface picMask;
    Surface picCover;
    Surface picBlock;
    float W = 0.0f; // inner width, single precision as the bar keeps it
    int32_t H = 0;  // inner height
};
