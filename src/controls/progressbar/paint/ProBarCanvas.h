#pragma once

#include "common/Picture.h"
#include "drawing/Surface.h"

#include <QSize>

#include <cstdint>
#include <optional>
#include <vector>

// The bar's drawing surfaces and the size they are drawn at. control is the persistent image
// the widget presents; picMask builds the shape, picCover stages the back picture, picBlock
// holds the image of one block.
//
// The background layer and the staged cover picture depend only on a few values; they are kept
// and rebuilt when those change, so a redraw or busy tick copies them instead of composing
// pictures again. blockStamp holds one stretched block for copying.
struct ProBarCanvas {
    ProBarCanvas();

    Surface control;
    Surface picMask;
    Surface picCover;
    Surface picBlock;
    float W = 0.0f; // inner width, single precision as the bar keeps it
    int32_t H = 0;  // inner height

    struct BackgroundKey {
        QRgb backColor = 0;
        Picture picture;
        QSize size;
        QSize stageSize;
        QRgb stageBack = 0;
        int brightness = 0;
        bool operator==(const BackgroundKey &) const = default;
    };
    struct CoverKey {
        Picture picture;
        QSize stageSize;
        QRgb stageBack = 0;
        bool operator==(const CoverKey &) const = default;
    };
    Surface background;
    std::optional<BackgroundKey> backgroundKey;
    Surface coverStage;
    std::vector<uint32_t> coverBits; // coverStage's pixel array
    std::optional<CoverKey> coverKey;
    Surface blockStamp;
};
