#include "controls/button/paint/ButtonShadow.h"

#include "controls/button/paint/FacePrimitives.h"
#include "controls/button/paint/PaintMath.h"

#include <cmath>

namespace ButtonShadow {

namespace {

using FacePrimitives::BlendCopy;
using PaintMath::arg;

// The soft rings of styles 0 and 1: ring k lays the face's silhouette shrunk by k and blends the
// background over it, more transparent the further in. Rings with no area draw nothing.
void rings(Surface &pic, const Surface &pic2, const Surface &picShadow, double size, int style)
{
    const int64_t last = PaintMath::bound(size);
    const double wp = pic.width(), hp = pic.height(), w2 = pic2.width(), h2 = pic2.height();
    for (int64_t k = 1; k <= last && 2 * k < int64_t(wp) && 2 * k < int64_t(hp); ++k) {
        const double d = double(k);
        pic.transparentBlt(int(k), int(k), int(wp - 2 * d), int(hp - 2 * d), picShadow, 0, 0, picShadow.width(),
                           picShadow.height(), ButtonCanvas::ShadowBackColor);
        const double alpha = style == 0 ? 255 - d * d : 255 - 10 * std::pow(7.0, 1 / d);
        try {
            BlendCopy(pic, d, d, wp - 2 * d, hp - 2 * d, pic2, d, d, w2 - 2 * d, h2 - 2 * d, alpha, 0);
        } catch (const RuntimeError &) {
            return; // an alpha below 0 ends the rings
        }
    }
}

} // namespace

void DrawShadow(ButtonPaintContext &context)
{
    const ButtonProperties &p = context.props;
    Surface &pic = context.canvas.pic;
    Surface &pic2 = context.canvas.pic2;
    Surface &picTemp = context.canvas.picTemp;
    Surface &picShadow = context.canvas.picShadow;
    const double wp = pic.width(), hp = pic.height(), w2 = pic2.width(), h2 = pic2.height();

    picTemp.bitBlt(0, 0, picTemp.width(), picTemp.height(), pic, 0, 0);
    picShadow.clear();
    picShadow.transparentBlt(0, 0, picShadow.width(), picShadow.height(), picTemp, 0, 0, picTemp.width(),
                             picTemp.height(), p.maskColor);
    context.captureBehind(pic2);

    const double o = p.shadowSize;
    if (p.shadowStyle >= 0 && p.shadowStyle <= 3) {
        // The background goes over the whole face first, so that no part of the full-size face
        // stays beside the rim or the drop shadow.
        BlendCopy(pic, 0, 0, wp, hp, pic2, 0, 0, w2, h2, 250, 0);
    }
    switch (p.shadowStyle) {
    case 0:
    case 1:
        rings(pic, pic2, picShadow, o, p.shadowStyle);
        break;
    case 2:
    case 3:
        if (p.shadowStyle == 2) {
            pic.filledBox(arg(2 * o), arg(2 * o), int(wp), int(hp), p.shadowColor);
        } else {
            const bool automatic = p.roundSizeAuto;
            const int32_t cornerWidth = automatic ? arg((wp + hp) / 10) : arg(p.roundWidth);
            const int32_t cornerHeight = automatic ? cornerWidth : arg(p.roundHeight);
            pic.setFillStyle(Surface::FillStyle::Solid);
            pic.setFillColor(p.shadowColor);
            pic.setForeColor(p.shadowColor);
            pic.roundRect(arg(2 * o), arg(2 * o), int(wp), int(hp), cornerWidth, cornerHeight);
            pic.setFillStyle(Surface::FillStyle::Transparent);
        }
        break;
    default:
        break;
    }
    pic.transparentBlt(arg(o), arg(o), arg(wp - 2 * o), arg(hp - 2 * o), picTemp, 0, 0, picTemp.width(),
                       picTemp.height(), p.maskColor);
    pic2.bitBlt(0, 0, pic2.width(), pic2.height(), pic, 0, 0);
}

} // namespace ButtonShadow
