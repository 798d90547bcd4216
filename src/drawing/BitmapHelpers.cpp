#include "drawing/BitmapHelpers.h"

#include "common/Rounding.h"
#include "drawing/LineGS.h"
#include "drawing/Surface.h"

#include <algorithm>

namespace {

int32_t toInt(int64_t v) { return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

} // namespace

void DrawSmoothRoundRect(Surface &picture, int32_t left, int32_t top, int32_t right, int32_t bottom,
                         int32_t cornerWidth, int32_t cornerHeight, OleColor colour, bool fill)
{
    using Rounding::roundHalfEven;
    if (fill) {
        const OleColor fillColor = picture.fillColor();
        const Surface::FillStyle fillStyle = picture.fillStyle();
        const OleColor foreColor = picture.foreColor();
        picture.setFillStyle(Surface::FillStyle::Solid);
        picture.setFillColor(colour);
        picture.setForeColor(colour);
        picture.roundRect(left, top, right, bottom, cornerWidth, cornerHeight);
        picture.setFillColor(fillColor);
        picture.setFillStyle(fillStyle);
        picture.setForeColor(foreColor);
    }
    int64_t rx = int64_t(roundHalfEven(cornerWidth / 2.0));
    int64_t ry = int64_t(roundHalfEven(cornerHeight / 2.0));
    int64_t r = right >= picture.width() ? picture.width() : right;
    int64_t b = bottom >= picture.height() ? picture.height() : bottom;
    r -= 1;
    b -= 1;
    if (rx > (r - left) / 2.0)
        rx = int64_t(roundHalfEven((r - left) / 2.0));
    if (ry > (b - top) / 2.0)
        ry = int64_t(roundHalfEven((b - top) / 2.0));

    const bool bottomInside = bottom < b + 2;
    const auto lineTo = [&](int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
        picture.line(toInt(x1), toInt(y1), toInt(x2), toInt(y2), colour);
    };
    lineTo(left + rx, top, r - rx + 1, top);
    if (bottomInside)
        lineTo(left + rx, b, r - rx + 1, b);
    if (bottom > b + 2) {
        lineTo(left, top + ry, left, b);
        lineTo(r, top + ry, r, b);
    } else {
        lineTo(left, top + ry, left, b - ry + 1);
        lineTo(r, top + ry, r, b - ry + 1);
    }

    LineGS shape;
    shape.DIB(picture, int(roundHalfEven(picture.width() + 10.0)), int(roundHalfEven(picture.height() + 10.0)));
    const auto arc = [&](int64_t cx, int64_t cy, float from, float to) {
        shape.ArcDIB(toInt(cx), toInt(cy), toInt(rx), toInt(ry), from, to, colour, 0);
    };
    arc(left + rx, top + ry, 180, 270);
    arc(r - rx, top + ry, 90, 180);
    if (bottomInside) {
        arc(r - rx, b - ry, 0, 90);
        arc(left + rx, b - ry, 270, 360);
    }
    shape.Array2Pic();
}

void BrightenRect(Surface &picture, int32_t amount, int32_t x, int32_t y, int32_t width, int32_t height)
{
    picture.setStretchMode(Surface::StretchMode::Halftone);
    picture.setBrightnessAdjustment(Color::ClampValue(amount, -100, 100));
    picture.stretchBlt(x, y, width, height, picture, x, y, width, height);
}
