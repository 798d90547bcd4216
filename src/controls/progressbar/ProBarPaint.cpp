#include "ProBarPaint.h"

#include "ProBarArithmetic.h"
#include "ProBarCanvas.h"
#include "ProBarProperties.h"
#include "Rounding.h"

#include <array>
#include <cstdlib>

namespace ProBarPaint {

namespace {

int32_t round32(double v) { return Rounding::toLong(v); }

// Puts a picture on picCover as the platform does when a picture is assigned to it: the
// surface's back colour with the picture at natural size; an empty picture leaves the colour.
void stagePicture(Surface &picCover, const Picture &picture)
{
    picCover.setPicture(picture.image());
}

} // namespace

void PaintBackground(ProBarCanvas &canvas, const ProBarProperties &p)
{
    Surface &control = canvas.control;
    control.filledBox(0, 0, round32(canvas.W), canvas.H, p.backColor);
    if (p.backPicture.isNothing())
        return;
    stagePicture(canvas.picCover, p.backPicture);
    control.setStretchMode(Surface::StretchMode::Halftone);
    control.stretchBlt(0, 0, round32(canvas.W), canvas.H, canvas.picCover, 0, 0,
                       canvas.picCover.width(), canvas.picCover.height());
}

void PaintCover(ProBarCanvas &canvas, const ProBarProperties &p)
{
    if (p.coverPic.isNothing())
        return;
    stagePicture(canvas.picCover, p.coverPic);
    BlendImage(canvas.control, 0, 0, round32(canvas.W), canvas.H, canvas.picCover, 0, 0,
               canvas.picCover.width(), canvas.picCover.height(), p.coverAlpha, 0);
}

void PaintBorder(ProBarCanvas &canvas, const ProBarProperties &p)
{
    Surface &control = canvas.control;
    const int32_t W = round32(canvas.W);
    const int32_t H = canvas.H;
    const int32_t round = p.borderRound;
    control.setForeColor(p.borderColor1);
    control.setFillStyle(Surface::FillStyle::Transparent);
    control.roundRect(0, 0, W, H, round, round);
    const int32_t left = round32(round - 2.0);
    const int32_t right = round32(double(canvas.W) - round + 2.0);
    control.line(left, 2, right, 2, p.borderColor2);
    control.line(left, H - 2, right, H - 2, p.borderColor2);
}

void PaintProgressBlocks(ProBarCanvas &canvas, const ProBarProperties &p)
{
    const double value = ProBarArithmetic::proValueNumber(p.proValue);
    const int64_t step = int64_t(p.blockSize) + p.blockGap;
    // A step below 1 would never reach the end: no blocks are drawn then.
    if (step < 1)
        return;
    Surface &control = canvas.control;
    const float W = canvas.W;
    const int32_t H = canvas.H;
    // Blocks past the far edge are clipped away; the loops stop there instead of counting on
    // to a huge ProValue.
    const int64_t visibleEnd = int64_t(std::llabs(p.blockSize)) + 1;
    if (p.barMode == 0) {
        const double end = ProBarArithmetic::divide(double(W) * value, p.proMax);
        for (int64_t x = 1; x <= end && x <= W + visibleEnd; x += step) {
            const int32_t xx = p.barFlip ? round32(double(W) - double(x)) : int32_t(x);
            control.stretchBlt(xx, 3, p.blockSize, H - 6, canvas.picBlock, 0, 0, p.blockSize, H - 7);
        }
    } else if (p.barMode == 1) {
        const double end = ProBarArithmetic::divide(double(H) * value, p.proMax);
        const int32_t width = round32(W - 6.0f);
        const int32_t sourceWidth = round32(W - 7.0f);
        for (int64_t y = 0; y <= end && y <= H + visibleEnd; y += step) {
            const int32_t yy = p.barFlip ? int32_t(y) : int32_t(H - y);
            control.stretchBlt(3, yy, width, p.blockSize, canvas.picBlock, 0, 0, sourceWidth, p.blockSize);
        }
    }
}

void PaintBusyBlocks(ProBarCanvas &canvas, const ProBarProperties &p, int16_t phase)
{
    static constexpr std::array<double, 5> alphas{255, 200, 155, 100, 50};
    const double W = canvas.W;
    const double H = canvas.H;
    const double size = p.blockSize;
    const double gap = p.blockGap;
    if (p.barMode == 2) {
        // Out from the left edge and back, the tail always behind the head.
        const bool out = phase <= 50;
        const double head = out ? W * phase / 50 : W * (100 - phase) / 50;
        for (int k = 0; k < 5; ++k) {
            const double offset = k * size + k * gap;
            const int32_t x = round32(out ? head - offset : head + offset);
            BlendImage(canvas.control, x, 3, p.blockSize, canvas.H - 6, canvas.picBlock, 0, 0,
                       p.blockSize, canvas.H - 7, alphas[k], 0);
        }
    } else if (p.barMode == 3) {
        const bool out = phase <= 50;
        double head;
        if (out)
            head = p.barFlip ? (50 - phase) * H / 50 : H * phase / 50;
        else
            head = p.barFlip ? (phase - 50) * H / 50 : (100 - phase) * H / 50;
        const int32_t width = round32(W - 6);
        const int32_t sourceWidth = round32(W - 7);
        for (int k = 0; k < 5; ++k) {
            const double offset = k * (size + gap);
            const int32_t y = round32(out ? head - offset : head + offset);
            BlendImage(canvas.control, 3, y, width, p.blockSize, canvas.picBlock, 0, 0, sourceWidth,
                       p.blockSize, alphas[k], 0);
        }
    }
}

void BlendImage(Surface &destination, int x, int y, int width, int height, const Surface &source,
                int sx, int sy, int sourceWidth, int sourceHeight, double alpha, double alphaFormat)
{
    const uint8_t constantAlpha = Color::toByte(alpha);
    const uint8_t format = Color::toByte(alphaFormat);
    destination.alphaBlend(x, y, width, height, source, sx, sy, sourceWidth, sourceHeight, constantAlpha,
                           static_cast<Surface::AlphaFormat>(format));
}

} // namespace ProBarPaint
