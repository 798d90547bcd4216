#include "controls/button/paint/ButtonEffects.h"

#include "controls/button/paint/FacePrimitives.h"
#include "controls/button/paint/PaintMath.h"

#include <algorithm>
#include <cmath>

namespace ButtonEffects {

namespace {

using PaintMath::arg;

// The whole of source blended onto the whole of target.
void blendWhole(Surface &target, const Surface &source, double alpha, int format)
{
    FacePrimitives::BlendCopy(target, 0, 0, target.width(), target.height(), source, 0, 0, source.width(),
                              source.height(), alpha, format);
}

} // namespace

void DrawTint(ButtonPaintContext &context)
{
    const ButtonProperties &p = context.props;
    // Loaded values are unchecked; the tint is defined for -100..100.
    const auto clamp = [](int16_t v) { return int(std::clamp<int16_t>(v, -100, 100)); };
    Color::TintPicture(context.canvas.pic, clamp(p.tintBright), clamp(p.tintHue), clamp(p.tintSaturation));
}

void DrawArrow(ButtonPaintContext &context)
{
    const ButtonProperties &p = context.props;
    ButtonRuntime &run = context.run;
    Surface &pic = context.canvas.pic;
    const double w = pic.width(), h = pic.height(), size = p.arrowSize;
    const auto half = [](double v) { return double(Rounding::intDiv(v, 2)); };
    double &cx = run.arrowCentreX;
    double &cy = run.arrowCentreY;
    switch (p.arrowPosition) {
    case 0:
        cx = w - 2 * size;
        cy = half(h);
        break;
    case 1:
        cx = 2 * size;
        cy = half(h);
        break;
    case 2:
        cx = half(w);
        cy = h - size - 5;
        break;
    case 3:
        cx = half(w);
        cy = size + 5;
        break;
    case 4:
        cx = half(w);
        cy = half(h);
        break;
    default:
        break;
    }

    if (p.arrowSplit && p.arrowPosition >= 0 && p.arrowPosition <= 3) {
        // A groove of two lines in the face's own colours.
        const OleColor first = pic.pixel(arg(w / 2), arg(h / 2));
        const OleColor second = pic.pixel(arg(w / 4), arg(h / 4));
        const bool vertical = p.arrowPosition <= 1;
        const double position = p.arrowPosition == 0 ? w - 4 * size
            : p.arrowPosition == 1                   ? 4 * size
            : p.arrowPosition == 2                   ? h - size - 10
                                                     : size + 10;
        const int32_t at = arg(position), next = arg(position + 1);
        run.ArrowSplitPos = float(position);
        if (vertical) {
            PaintMath::axisLine(pic, at, 0, at, arg(h), first);
            PaintMath::axisLine(pic, next, 0, next, arg(h), second);
        } else {
            PaintMath::axisLine(pic, 0, at, arg(w), at, first);
            PaintMath::axisLine(pic, 0, next, arg(w), next, second);
        }
    }

    // The triangle as a stack of lines i = 0 .. ArrowSize, each widening by one on both sides.
    // Only lines that cross the face are drawn.
    const int direction = p.arrowDirection;
    if (direction < 0 || direction > 3)
        return;
    const bool horizontalLines = direction <= 1;
    // The line of step i lies at base + sign·i across the lines' direction.
    const double base = direction == 0 ? cy + size : direction == 1 ? cy - size : direction == 2 ? cx + size : cx - size;
    const int sign = (direction == 0 || direction == 2) ? -1 : 1;
    const double extent = horizontalLines ? h : w;
    const double reach = PaintMath::penReach(pic);
    const double toNear = sign < 0 ? base - (extent - 1 + reach) : -reach - base;
    const double toFar = sign < 0 ? base + reach : extent - 1 + reach - base;
    const int64_t last = PaintMath::bound(size);
    if (last < 0)
        return;
    const int64_t from = PaintMath::clampedIndex(std::ceil(toNear), 0, last + 1);
    const int64_t to = PaintMath::clampedIndex(std::floor(toFar), -1, last);
    const double centre = horizontalLines ? cx : cy;
    for (int64_t i = from; i <= to; ++i) {
        const double across = base + sign * double(i);
        const int32_t a = arg(centre - double(i)), b = arg(centre + double(i)), at = arg(across);
        if (horizontalLines)
            PaintMath::axisLine(pic, a, at, b, at, p.arrowColor);
        else
            PaintMath::axisLine(pic, at, a, at, b, p.arrowColor);
    }
}

void DrawTexture(ButtonPaintContext &context)
{
    const ButtonProperties &p = context.props;
    const QImage &texture = p.textureImage.image();
    if (texture.isNull())
        return;
    Surface &pic = context.canvas.pic;
    Surface &pic2 = context.canvas.pic2;
    pic2.paintPicture(texture, 0, 0, pic2.width(), pic2.height());
    const double alpha = p.textureAlpha;
    switch (p.textureType) {
    case 0:
        blendWhole(pic2, pic, std::abs(255 - alpha), 0);
        blendWhole(pic, pic2, alpha, 0);
        break;
    case 1:
        blendWhole(pic, pic2, alpha, 0);
        break;
    case 2:
        blendWhole(pic2, pic, alpha, 1);
        blendWhole(pic, pic2, alpha, 1);
        break;
    case 3:
        Color::TintPicture(pic2, 0, 0, -100);
        blendWhole(pic, pic2, alpha, 0);
        break;
    default:
        break;
    }
}

void DrawAlpha(ButtonPaintContext &context)
{
    Surface &pic2 = context.canvas.pic2;
    context.captureBehind(pic2);
    blendWhole(context.canvas.pic, pic2, context.props.alphaValue, 0);
}

} // namespace ButtonEffects
