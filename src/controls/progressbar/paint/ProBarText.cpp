#include "controls/progressbar/paint/ProBarText.h"

#include "common/Rounding.h"
#include "controls/progressbar/paint/ProBarArithmetic.h"
#include "controls/progressbar/paint/ProBarCanvas.h"
#include "controls/progressbar/model/ProBarProperties.h"
#include "controls/progressbar/paint/TurnedText.h"

#include <algorithm>
#include <cmath>

namespace ProBarText {

namespace {

int32_t round32(double v) { return Rounding::toLong(v); }

// The font's size in points, also for a font that was given in pixels.
double pointSize(const QFont &font, double dpiY)
{
    return font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 72.0 / dpiY;
}

// The bar's own font at the screen's resolution, which the layout is measured with.
QFont measuringFont(const QFont &font, double dpiY)
{
    QFont measured = font;
    measured.setPixelSize(std::max(1, round32(pointSize(font, dpiY) * dpiY / 72.0)));
    return measured;
}

} // namespace

bool isTurned(const ProBarProperties &p)
{
    return p.captionAutoOrient && (p.barMode == 1 || p.barMode == 3);
}

QString composeText(const ProBarProperties &p)
{
    QString text;
    if (!p.showValue)
        text = p.caption;
    else if (p.barMode == 0 || p.barMode == 1)
        text = p.caption + QLatin1Char(' ') + ProBarArithmetic::proValueText(p.proValue) + QStringLiteral(" %");
    else if (p.barMode == 2 || p.barMode == 3)
        text = p.caption;
    if (isTurned(p))
        std::reverse(text.begin(), text.end());
    return text;
}

int layoutFlags(int32_t captionAlignment)
{
    switch (captionAlignment) {
    case 0:
    case 1:
        return Surface::WordBreak;
    case 2:
        return Surface::WordBreak | Surface::AlignCenter | Surface::VCenter;
    default:
        return 0;
    }
}

QFont drawingFont(const QFont &font, double dpiY)
{
    const double height = std::floor(-std::floor(pointSize(font, dpiY)) * dpiY / 72.0);
    QFont drawing = font;
    drawing.setPixelSize(std::max(1, int(-height)));
    drawing.setWeight(font.bold() ? QFont::Bold : QFont::Normal);
    drawing.setStyleStrategy(QFont::PreferAntialias);
    return drawing;
}

void PaintText(ProBarCanvas &canvas, const ProBarProperties &p, double dpiY)
{
    Surface &control = canvas.control;
    const QFont measuring = measuringFont(p.font, dpiY);
    control.setFont(measuring);
    const int32_t th0 = control.textHeight(p.caption);
    const int flags = layoutFlags(p.captionAlignment);
    const bool turned = isTurned(p);
    const QString text = composeText(p);
    const int32_t th = control.textHeight(text);
    const int32_t W = round32(canvas.W);
    const int32_t H = canvas.H;
    const int32_t top = round32((H - th) / 2.0);
    const QFont font = drawingFont(p.font, dpiY);

    if (turned) {
        const int32_t left = round32((canvas.W - th0) / 2.0);
        if (p.captionShadow)
            drawTurnedText(control, text, font, p.captionShadowColor, left + 1, H + 1, H, flags);
        drawTurnedText(control, text, font, p.captionColor, left, H, H, flags);
        return;
    }
    control.setFont(font);
    if (p.captionShadow) {
        control.setTextColor(p.captionShadowColor);
        control.drawText(text, 1, round32((H - th) / 2.0 + 1), W + 1, H + 1, flags);
    }
    control.setTextColor(p.captionColor);
    control.drawText(text, 0, top, W, H, flags);
}

} // namespace ProBarText
