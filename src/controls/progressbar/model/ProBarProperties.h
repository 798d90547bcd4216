#pragma once

#include "common/Picture.h"

#include <QFont>
#include <QString>
#include <QVariant>

#include <cstdint>

// The stored values of a TavloProBar, one field per property. Their defaults, keys and types
// live in the descriptor table (ProBarDescriptors), which InitProperties applies.
// Colours are OLE colours (0x00BBGGRR, top bit set for a system colour).
struct ProBarProperties {
    int32_t backColor = 0;
    bool enabled = false;
    QFont font;
    QVariant proValue;
    int32_t barMode = 0;
    int32_t blockSize = 0;
    int32_t blockGap = 0;
    int32_t blockMid = 0;
    int32_t blockDepth = 0;
    int32_t blockFeather = 0;
    int32_t proMax = 0;
    int32_t blockColor1 = 0;
    int32_t blockColor2 = 0;
    int32_t blockColor3 = 0;
    int32_t blockColor4 = 0;
    int32_t blockStyle = 0;
    bool barFlip = false;
    int32_t borderColor1 = 0;
    int32_t borderColor2 = 0;
    bool borderShow = false;
    int32_t borderRound = 0;
    bool blockRound = false;
    int32_t blockRoundW = 0;
    int32_t blockRoundH = 0;
    int32_t busySpeed = 0;
    bool busy = false;
    Picture coverPic;
    int32_t coverAlpha = 0;
    bool coverShow = false;
    Picture backPicture;
    QString caption;
    int32_t captionAlignment = 0;
    int32_t captionColor = 0;
    bool captionShadow = false;
    int32_t captionShadowColor = 0;
    bool showValue = false;
    bool captionAutoOrient = false;
    Picture blockPicture;
};
