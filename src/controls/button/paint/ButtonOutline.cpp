#include "controls/button/paint/ButtonOutline.h"

#include "controls/button/paint/PaintMath.h"
#include "drawing/BitmapHelpers.h"
#include "drawing/Surface.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace ButtonOutline {

namespace {

using PaintMath::arg;

struct Corners {
    int32_t width = 0;
    int32_t height = 0;
};

// The corners of a rounded shape (1, 3 and unknown shapes) before the fixed shapes apply theirs.
Corners roundedCorners(const ButtonProperties &p, double w, double h)
{
    if (p.roundSizeAuto) {
        const int32_t size = arg((w + h) / 10);
        return {size, size};
    }
    return {arg(p.roundWidth), arg(p.roundHeight)};
}

Corners shapeCorners(const ButtonProperties &p, double w, double h)
{
    switch (p.buttonShape) {
    case 0:
        return {};
    case 2:
        return {500, 500};
    case 4:
        return {50, 5};
    case 5:
        return {50, 500};
    default:
        return roundedCorners(p, w, h);
    }
}

// The border ramp: BorderColor1 moved by i steps of |c2 - c1| / BorderSize towards BorderColor2.
class BorderRamp {
public:
    explicit BorderRamp(const ButtonProperties &p)
    {
        const OleColor c1 = Color::TranslateColor(p.borderColor1), c2 = Color::TranslateColor(p.borderColor2);
        const int from[3] = {Color::red(c1), Color::green(c1), Color::blue(c1)};
        const int to[3] = {Color::red(c2), Color::green(c2), Color::blue(c2)};
        for (int c = 0; c < 3; ++c) {
            const double step = PaintMath::divide(std::abs(to[c] - from[c]), p.borderSize);
            m_start[c] = from[c];
            m_step[c] = to[c] < from[c] ? -step : step;
        }
    }
    OleColor colour(int64_t i) const
    {
        const auto channel = [&](int c) {
            return int(std::clamp(std::nearbyint(m_start[c] + double(i) * m_step[c]), 0.0, 255.0));
        };
        return Color::RGB(channel(0), channel(1), channel(2));
    }

private:
    int m_start[3] = {};
    double m_step[3] = {};
};

} // namespace

void DrawBorder(Surface &pic, const ButtonProperties &p)
{
    const double w = pic.width(), h = pic.height();
    const Corners corners = shapeCorners(p, w, h);
    const int32_t right = arg(w);
    const int32_t bottom = arg(p.buttonShape == 3 ? h + 10 : h);
    const auto outline = [&](double left, double top, double r, double b, OleColor colour) {
        DrawSmoothRoundRect(pic, arg(left), arg(top), arg(r), arg(b), corners.width, corners.height, colour, false);
    };
    // Rings and insets beyond the face's width plus height (and the pen's reach) touch no pixel.
    const auto ringLimit = [&] { return int64_t(w) + int64_t(h) + 14 + PaintMath::penReach(pic); };
    const double size = p.borderSize;
    switch (p.borderStyle) {
    case 1:
        pic.setPenWidth(PaintMath::penWidth(size, pic));
        outline(0, 0, right, bottom, p.borderColor1);
        break;
    case 2: {
        pic.setPenWidth(PaintMath::penWidth(size, pic));
        const BorderRamp ramp(p);
        for (int64_t i = std::min(PaintMath::bound(size), ringLimit()); i >= 0; --i) {
            const OleColor colour = ramp.colour(i);
            const double d = double(i);
            outline(d, d, right - d, bottom - d, colour);
            pic.setForeColor(colour);
            pic.roundRect(int(i), int(i), int(right - i), int(bottom - i), corners.width, corners.height);
        }
        break;
    }
    case 3:
        pic.setPenWidth(PaintMath::penWidth(size, pic));
        if (size <= double(ringLimit()))
            outline(size, size, right - size, bottom - size, p.borderColor2);
        outline(0, 0, right, bottom, p.borderColor1);
        break;
    case 4:
    case 5: {
        const BorderRamp ramp(p);
        for (int64_t i = std::min(PaintMath::bound(size), ringLimit()); i >= 0; --i) {
            const OleColor colour = ramp.colour(i);
            const double d = double(i);
            if (p.borderStyle == 4) {
                outline(d, 0, -d, bottom, colour);
                outline(right + d, 0, right - d, bottom, colour);
            } else {
                outline(0, d, right, -d, colour);
                outline(0, bottom + d, right, bottom - d, colour);
            }
        }
        break;
    }
    default:
        break;
    }
}

void drawShapeMask(Surface &picTemp, const ButtonProperties &p)
{
    const double w = picTemp.width(), h = picTemp.height();
    // A Long difference: an untranslatable (system) mask colour far below zero overflows it.
    const OleColor opaque = PaintMath::arg(double(0xFFFFFF) - double(Color::TranslateColor(p.maskColor)));
    picTemp.clear();
    if (p.buttonShape == 0) {
        picTemp.filledBox(0, 0, int(w), int(h), opaque);
        return;
    }
    const Corners corners = shapeCorners(p, w, h);
    double bottom = h;
    if (p.buttonShape == 3) {
        // The extension is an Integer; a loaded corner beyond 16 bits counts as the largest one.
        const double larger = std::isnan(p.roundWidth) || std::isnan(p.roundHeight)
            ? 0.0
            : double(std::max(p.roundWidth, p.roundHeight));
        bottom = h + std::clamp(std::nearbyint(larger), -32768.0, 32767.0);
    }
    DrawSmoothRoundRect(picTemp, 0, 0, arg(w), arg(bottom), corners.width, corners.height, opaque, true);
}

QImage maskBits(const Surface &picTemp, OleColor key)
{
    const QImage &image = picTemp.image();
    if (image.isNull())
        return QImage();
    const uint32_t keyRgb = Color::toQRgb(key) & 0x00FFFFFFu;
    QImage mask(image.size(), QImage::Format_MonoLSB);
    mask.setColor(0, qRgb(255, 255, 255));
    mask.setColor(1, qRgb(0, 0, 0));
    mask.fill(0);
    bool transparent = false;
    for (int y = 0; y < image.height(); ++y) {
        const auto *row = reinterpret_cast<const uint32_t *>(image.constScanLine(y));
        uchar *bits = mask.scanLine(y);
        for (int x = 0; x < image.width(); ++x) {
            if ((row[x] & 0x00FFFFFFu) != keyRgb)
                bits[x >> 3] |= uchar(1u << (x & 7));
            else
                transparent = true;
        }
    }
    return transparent ? mask : QImage();
}

} // namespace ButtonOutline
