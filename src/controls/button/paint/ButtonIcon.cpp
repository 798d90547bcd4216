#include "controls/button/paint/ButtonIcon.h"

#include "controls/button/paint/FacePrimitives.h"
#include "controls/button/paint/PaintMath.h"

namespace ButtonIcon {

namespace {

// A picture whose alpha channel makes some pixel less than opaque is laid by that alpha; any
// other picture is keyed by its top-left colour.
bool carriesTransparency(const QImage &image)
{
    if (!image.hasAlphaChannel())
        return false;
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x)
            if (qAlpha(row[x]) != 255)
                return true;
    }
    return false;
}

} // namespace

bool iconBox(const ButtonProperties &p, double aspect, double w, double h, float motionOffset,
             ButtonRuntime::Box &box)
{
    double x = 0, y = 0, width = 0, height = 0;
    switch (p.buttonIconPos) {
    case 0: // left
        height = h * 0.9;
        width = height * aspect;
        x = w / 20;
        y = h / 20 + motionOffset;
        break;
    case 1: // top
        width = w * 0.9;
        height = width / aspect;
        x = (w - width) / 2;
        y = h / 20 + motionOffset;
        break;
    case 2: // right
        height = h * 0.9;
        width = height * aspect;
        x = w * 0.95 - width;
        y = h / 20 + motionOffset;
        break;
    case 3: // bottom
        width = w * 0.9;
        height = width / aspect;
        x = (w - width) / 2;
        y = h * 0.95 - height + motionOffset;
        break;
    case 4: // centre
        x = w / 20;
        y = h / 20 + motionOffset;
        width = w * 0.9;
        height = h * 0.9;
        break;
    default:
        return false;
    }
    const double centreX = x + width / 2, centreY = y + height / 2;
    width = p.buttonIconSize * width / 100;
    height = p.buttonIconSize * height / 100;
    box.x = centreX - width / 2;
    box.y = float(centreY - height / 2);
    box.width = width;
    box.height = height;
    return true;
}

void DrawIcon(ButtonPaintContext &context, Surface &target, bool fadeRunning)
{
    using PaintMath::arg;
    const ButtonProperties &p = context.props;
    if (!p.buttonIconShow)
        return;
    const QImage &icon = p.buttonIcon.image();
    if (icon.isNull())
        return;
    ButtonRuntime &run = context.run;
    run.IconAspect = double(icon.width()) / icon.height();
    ButtonRuntime::Box box;
    if (!iconBox(p, run.IconAspect, target.width(), target.height(), run.MotionOffset, box))
        return;
    run.IconBox = box;

    Surface &picIcon = context.canvas.picIcon;
    picIcon.resize(icon.width(), icon.height());
    picIcon.setPicture(icon);
    const OleColor key = picIcon.pixel(0, 0);
    const bool soft = carriesTransparency(icon);
    // The icon onto a surface: by its own alpha (picIcon holds it laid on black), or keyed.
    const auto lay = [&](Surface &onto, int32_t x, int32_t y, int32_t w, int32_t h) {
        if (soft)
            onto.alphaComposite(icon, x, y, w, h);
        else
            onto.transparentBlt(x, y, w, h, picIcon, 0, 0, picIcon.width(), picIcon.height(), key);
    };
    const int32_t x = arg(box.x), y = arg(box.y), w = arg(box.width), h = arg(box.height);
    if (p.buttonIconShadow && !fadeRunning) {
        // The glow: the face under the icon with the icon on it, blended four times, each copy
        // one pixel larger on every side and fainter.
        Surface &glow = context.canvas.picShadow;
        glow.stretchBlt(0, 0, glow.width(), glow.height(), target, x, y, w, h);
        lay(glow, 0, 0, glow.width(), glow.height());
        for (int k = 1; k <= 4; ++k)
            FacePrimitives::BlendCopy(target, double(x) - k, double(y) - k, double(w) + 2 * k, double(h) + 2 * k, glow,
                                      0, 0, glow.width(), glow.height(), 60.0 / k, 0);
    }
    lay(target, x, y, w, h);
}

} // namespace ButtonIcon
