#include "controls/progressbar/paint/ProBarLayers.h"

#include "common/Rounding.h"
#include "controls/progressbar/paint/ConstantBlend.h"
#include "controls/progressbar/paint/ProBarArithmetic.h"
#include "controls/progressbar/paint/ProBarCanvas.h"
#include "controls/progressbar/model/ProBarProperties.h"

#include <array>
#include <cstdlib>
#include <vector>

namespace ProBarLayers {

namespace {

int32_t round32(double v) { return Rounding::toLong(v); }

// Line (x1, y)-(x2, y): the pixels from x1 towards x2, x2 itself left out, drawn as the one-row
// box they form.
void horizontalLine(Surface &surface, int32_t x1, int32_t x2, int32_t y, OleColor colour)
{
    if (x1 < x2)
        surface.filledBox(x1, y, x2 - 1, y, colour);
    else if (x1 > x2)
        surface.filledBox(x2 + 1, y, x1, y, colour);
    else
        surface.filledBox(x1, y, x1, y, colour);
}

} // namespace

void PaintBackground(ProBarCanvas &canvas, const ProBarProperties &p)
{
    Surface &control = canvas.control;
    const int32_t W = round32(canvas.W);
    const int32_t H = canvas.H;
    const ProBarCanvas::BackgroundKey key{Color::toQRgb(p.backColor), p.backPicture, QSize(W, H),
                                          QSize(canvas.picCover.width(), canvas.picCover.height()),
                                          Color::toQRgb(canvas.picCover.backColor()), control.brightnessAdjustment()};
    if (canvas.backgroundKey != key) {
        // The back colour, then the picture as picCover shows it: its back colour around the
        // picture at natural size (all of it for an empty picture), stretched over the control.
        Surface &layer = canvas.background;
        layer.resize(W, H);
        layer.filledBox(0, 0, W, H, p.backColor);
        if (!p.backPicture.isNothing()) {
            canvas.picCover.setPicture(p.backPicture.image());
            layer.setStretchMode(Surface::StretchMode::Halftone);
            layer.setBrightnessAdjustment(key.brightness);
            layer.stretchBlt(0, 0, W, H, canvas.picCover, 0, 0, canvas.picCover.width(), canvas.picCover.height());
        }
        canvas.backgroundKey = key;
    }
    control.bitBlt(0, 0, W, H, canvas.background, 0, 0);
    if (!p.backPicture.isNothing())
        control.setStretchMode(Surface::StretchMode::Halftone);
}

void PaintCover(ProBarCanvas &canvas, const ProBarProperties &p)
{
    if (p.coverPic.isNothing())
        return;
    const QSize stageSize(canvas.picCover.width(), canvas.picCover.height());
    const ProBarCanvas::CoverKey key{p.coverPic, stageSize, Color::toQRgb(canvas.picCover.backColor())};
    if (canvas.coverKey != key) {
        // Staged as picCover would show it.
        canvas.coverStage.resize(stageSize.width(), stageSize.height());
        canvas.coverStage.setBackColor(canvas.picCover.backColor());
        canvas.coverStage.setPicture(p.coverPic.image());
        canvas.coverBits = canvas.coverStage.getDIBits(stageSize.width(), stageSize.height());
        canvas.coverKey = key;
    }
    const int32_t W = round32(canvas.W);
    if (stageSize == QSize(W, canvas.H)) {
        blendWhole(canvas.control, canvas.coverBits, W, canvas.H, Color::toByte(p.coverAlpha));
        return;
    }
    BlendImage(canvas.control, 0, 0, W, canvas.H, canvas.coverStage, 0, 0, stageSize.width(), stageSize.height(),
               p.coverAlpha, 0);
}

void stretchRepeated(Surface &destination, const Surface &source, int sourceWidth, int sourceHeight, int width,
                     int height, const std::vector<QPoint> &positions, Surface &stamp)
{
    // A stretch that mirrors or reads beyond the source is not the same at every position.
    const bool stampable = width > 0 && height > 0 && sourceWidth > 0 && sourceHeight > 0
        && sourceWidth <= source.width() && sourceHeight <= source.height();
    if (!stampable) {
        for (const QPoint &at : positions)
            destination.stretchBlt(at.x(), at.y(), width, height, source, 0, 0, sourceWidth, sourceHeight);
        return;
    }
    stamp.resize(width, height);
    stamp.setStretchMode(destination.stretchMode());
    stamp.setBrightnessAdjustment(destination.brightnessAdjustment());
    stamp.stretchBlt(0, 0, width, height, source, 0, 0, sourceWidth, sourceHeight);
    for (const QPoint &at : positions)
        destination.bitBlt(at.x(), at.y(), width, height, stamp, 0, 0);
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
    horizontalLine(control, left, right, 2, p.borderColor2);
    horizontalLine(control, left, right, H - 2, p.borderColor2);
}

void paintProgressBlocks(ProBarCanvas &canvas, const ProBarProperties &p)
{
    const double value = ProBarArithmetic::proValueNumber(p.proValue);
    const int64_t step = int64_t(p.blockSize) + p.blockGap;
    // A step below 1 would never reach the end: no blocks are drawn then.
    if (step < 1)
        return;
    const float W = canvas.W;
    const int32_t H = canvas.H;
    // Blocks past the far edge are clipped away; the loops stop there instead of counting on
    // to a huge ProValue.
    const int64_t visibleEnd = int64_t(std::llabs(p.blockSize)) + 1;
    std::vector<QPoint> positions;
    if (p.barMode == 0) {
        const double end = ProBarArithmetic::divide(double(W) * value, p.proMax);
        for (int64_t x = 1; x <= end && x <= W + visibleEnd; x += step)
            positions.emplace_back(p.barFlip ? round32(double(W) - double(x)) : int32_t(x), 3);
        stretchRepeated(canvas.control, canvas.picBlock, p.blockSize, H - 7, p.blockSize, H - 6, positions,
                        canvas.blockStamp);
    } else if (p.barMode == 1) {
        const double end = ProBarArithmetic::divide(double(H) * value, p.proMax);
        for (int64_t y = 0; y <= end && y <= H + visibleEnd; y += step)
            positions.emplace_back(3, p.barFlip ? int32_t(y) : int32_t(H - y));
        stretchRepeated(canvas.control, canvas.picBlock, round32(W - 7.0f), p.blockSize, round32(W - 6.0f),
                        p.blockSize, positions, canvas.blockStamp);
    }
}

void paintBusyBlocks(ProBarCanvas &canvas, const ProBarProperties &p, int16_t phase)
{
    static constexpr std::array<double, 5> Alphas{255, 200, 155, 100, 50};
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
                       p.blockSize, canvas.H - 7, Alphas[k], 0);
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
                       p.blockSize, Alphas[k], 0);
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

} // namespace ProBarLayers
