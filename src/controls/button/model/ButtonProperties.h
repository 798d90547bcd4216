#pragma once

#include "common/Picture.h"
#include "drawing/Color.h"

#include <QFont>
#include <QString>

#include <cstdint>

// The stored values of a TavloClick, one field per property. Keys, types, defaults and the
// assignment rules live in the descriptor table (ButtonDescriptors), which fills these fields.
// Colours are OleColors; Enabled, Font, MaskColor and MouseIcon are the hosting surface's
// values, kept here and forwarded to the widget.
struct ButtonProperties {
    bool alpha = false;
    float alphaValue = 0;
    OleColor arrowColor = 0;
    int32_t arrowDirection = 0;
    int32_t arrowPosition = 0;
    bool arrowShow = false;
    float arrowSize = 0;
    bool arrowSplit = false;
    bool autoSize = false;
    OleColor borderColor1 = 0;
    OleColor borderColor2 = 0;
    float borderSize = 0;
    int32_t borderStyle = 0;
    int32_t buttonColorBlendSize = 0;
    OleColor buttonColorDown1 = 0;
    OleColor buttonColorDown2 = 0;
    OleColor buttonColorExtra1 = 0;
    OleColor buttonColorExtra2 = 0;
    OleColor buttonColorNormal1 = 0;
    OleColor buttonColorNormal2 = 0;
    OleColor buttonColorOver1 = 0;
    OleColor buttonColorOver2 = 0;
    int32_t buttonColorSplitSize = 0;
    Picture buttonIcon;
    int16_t buttonIconPos = 0;
    bool buttonIconShadow = false;
    bool buttonIconShow = false;
    float buttonIconSize = 0;
    int32_t buttonShape = 0;
    int32_t buttonStyleDown = 0;
    int32_t buttonStyleNormal = 0;
    int32_t buttonStyleOver = 0;
    int32_t buttonTheme = 0;
    QString caption;
    int32_t captionAlignment = 0;
    bool captionAutoAlign = false;
    OleColor captionColor = 0;
    bool captionShadow = false;
    OleColor captionShadowColor = 0;
    bool customPic = false;
    bool doubleClickEnable = false;
    int32_t effects = 0;
    bool enableEffects = false;
    bool enabled = false;
    bool fade = false;
    float fadeDelay = 0;
    QFont font;
    bool freeze = false;
    OleColor maskColor = 0;
    Picture mouseIcon;
    Picture picDown;
    Picture picNormal;
    Picture picOver;
    float roundHeight = 0;
    bool roundSizeAuto = false;
    float roundWidth = 0;
    int32_t settings = 0;
    QString settingsFile;
    bool shadow = false;
    OleColor shadowColor = 0;
    float shadowSize = 0;
    int32_t shadowStyle = 0;
    bool showFocusRect = false;
    bool sound = false;
    int32_t soundClick = 0;
    QString soundCustom1;
    QString soundCustom2;
    int32_t soundDown = 0;
    int32_t soundIn = 0;
    int32_t soundOut = 0;
    int32_t soundUp = 0;
    bool texture = false;
    float textureAlpha = 0;
    Picture textureImage;
    int32_t textureType = 0;
    bool tint = false;
    int16_t tintBright = 0;
    int16_t tintHue = 0;
    int16_t tintSaturation = 0;
    bool upMotion = false;
    bool userDrag = false;
};
