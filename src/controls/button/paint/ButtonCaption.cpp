#include "controls/button/paint/ButtonCaption.h"

#include "controls/button/paint/PaintMath.h"
#include "drawing/Surface.h"

#include <cmath>

namespace ButtonCaption {

namespace {

using PaintMath::arg;
using Rounding::intDiv;

Layout fixedLayout(const ButtonProperties &p, const ButtonRuntime &run, double w, double h, int lh)
{
    const int32_t alignment = p.captionAlignment >= 0 && p.captionAlignment <= 8 ? p.captionAlignment : 0;
    static constexpr int AlignmentFlags[] = {Centre, Left, Right};
    Layout layout;
    layout.flags = AlignmentFlags[alignment / 3];
    ButtonRuntime::Rect &r = layout.rect;
    switch (alignment % 3) {
    case 0: // middle
        r.top = arg((h - lh) / 2);
        r.bottom = arg((h + lh) / 2);
        break;
    case 1: // top
        r.top = 5;
        r.bottom = 5 + lh;
        break;
    default: // bottom
        r.top = arg(h - lh - 5);
        r.bottom = arg(h - 5);
        break;
    }
    r.left = 5;
    r.right = arg(w - 5);
    r.top = arg(r.top + run.MotionOffset);
    return layout;
}

// Centred in the middle 19/20, lowered by half the estimated wrapped height.
ButtonRuntime::Rect middleBand(const ButtonRuntime &run, double w, double h, double textHeight)
{
    ButtonRuntime::Rect r;
    r.left = arg(double(intDiv(w - 19 * w / 20, 2)));
    r.top = arg(run.MotionOffset + double(intDiv(h - textHeight, 2)));
    r.right = arg(r.left + 19 * w / 20);
    r.bottom = arg(r.top + 19 * h / 20);
    return r;
}

} // namespace

Layout layoutCaption(const ButtonProperties &p, const ButtonRuntime &run, double w, double h, int lw, int lh)
{
    if (!p.captionAutoAlign)
        return fixedLayout(p, run, w, h, lh);
    Layout layout;
    ButtonRuntime::Rect &r = layout.rect;
    const ButtonRuntime::Box &icon = run.IconBox;
    const int16_t position = p.buttonIconShow ? p.buttonIconPos : int16_t(-1);
    switch (position) {
    case 0:
        r = {arg(icon.x + icon.width), arg((h - lh) / 2), arg(19 * w / 20), arg(19 * h / 20)};
        break;
    case 1:
        r = {arg(w / 20), arg(icon.y + icon.height + run.MotionOffset), arg(19 * w / 20), arg(19 * h / 20)};
        break;
    case 2:
        r = {arg(w / 20), arg((h - lh) / 2), arg(19 * w / 20 - icon.width), arg(19 * h / 20)};
        break;
    case 3:
        r = {arg(w / 20), arg(h / 20), arg(19 * w / 20), arg(19 * h / 20 - icon.height)};
        break;
    case 4:
        // No extra line here: a one-line caption starts at the middle, below a centred icon.
        r = middleBand(run, w, h, double(lh) * double(intDiv(lw, 19 * w / 20 + 1)));
        break;
    default:
        // One more than lw \ (19W / 20) estimates the wrapped lines.
        r = middleBand(run, w, h, double(lh) * double(1 + intDiv(lw, 19 * w / 20)));
        break;
    }
    return layout;
}

QFont captionFont(const QFont &font, double pixelsPerPoint)
{
    QFont drawing(font.family().left(32));
    const double points = font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() / pixelsPerPoint;
    const int height = int(std::trunc(std::trunc(points) * pixelsPerPoint));
    if (height > 0)
        drawing.setPixelSize(height);
    drawing.setWeight(font.bold() ? QFont::Black : QFont::Thin);
    drawing.setItalic(font.italic());
    drawing.setUnderline(font.underline());
    drawing.setStrikeOut(font.strikeOut());
    drawing.setStyleStrategy(QFont::PreferAntialias);
    return drawing;
}

void DrawCaption(ButtonPaintContext &context, Surface &control, double pixelsPerPoint)
{
    const ButtonProperties &p = context.props;
    ButtonRuntime &run = context.run;
    CaptionLabel &label = context.lblCap;
    label.setFont(p.font);
    // The extent of the text that is drawn; lblCap's own caption is left to the setters.
    CaptionLabel measured = label;
    measured.setCaption(p.caption);
    const Layout layout =
        layoutCaption(p, run, control.width(), control.height(), measured.width(), measured.height());
    if (!p.captionAutoAlign)
        run.CaptionMargin = 5;
    ButtonRuntime::Rect r = layout.rect;
    control.setFont(captionFont(p.font, pixelsPerPoint));
    if (p.captionShadow) {
        control.setTextColor(p.captionShadowColor);
        control.drawText(p.caption, r.left, r.top, r.right, r.bottom, layout.flags);
    }
    r = {arg(r.left - 1.0), arg(r.top - 1.0), arg(r.right - 1.0), arg(r.bottom - 1.0)};
    run.CaptionRect = r;
    control.setTextColor(label.foreColor());
    control.drawText(p.caption, r.left, r.top, r.right, r.bottom, layout.flags);
}

} // namespace ButtonCaption
