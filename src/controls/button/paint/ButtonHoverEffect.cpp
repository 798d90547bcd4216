#include "controls/button/paint/ButtonHoverEffect.h"

#include "controls/button/paint/FacePrimitives.h"
#include "controls/button/paint/PaintMath.h"

namespace ButtonHoverEffect {

using FacePrimitives::BlendCopy;

void DrawEffect(ButtonPaintContext &context, const std::function<void()> &showFrame)
{
    const ButtonProperties &p = context.props;
    const Surface &pic = context.canvas.pic;
    Surface &pic2 = context.canvas.pic2;
    const double wp = pic.width(), hp = pic.height(), w2 = pic2.width(), h2 = pic2.height();
    double g = (w2 + h2) * p.borderSize / 100;
    const auto whole = [&](double x, double y, double w, double h, double alpha, int format) {
        BlendCopy(pic2, x, y, w, h, pic, 0, 0, wp, hp, alpha, format);
    };
    // The inner part of the face, g in from every edge, onto the same part of pic2.
    const auto inner = [&] { BlendCopy(pic2, g, g, wp - 2 * g, hp - 2 * g, pic, g, g, wp - 2 * g, hp - 2 * g, 100, 0); };
    switch (p.effects) {
    case 0:
        g += 1;
        for (int i = 0; i <= 20; ++i) {
            whole(0, 0, w2, h2, 20, 1);
            inner();
            showFrame();
        }
        break;
    case 1:
        for (int i = 0; i <= 10; ++i) {
            whole(i, i, w2 + i, h2 + i, 20, 1);
            inner();
            showFrame();
        }
        break;
    case 2: {
        const Surface saved = pic2;
        for (int i = 0; i <= 5; ++i) {
            whole(0, 0, w2, h2, 30, 1);
            showFrame();
        }
        pic2 = saved;
        break;
    }
    case 3:
        for (int i = 0; i <= 250; i += 10) {
            if (i > 130 && i < 250) {
                whole(0, 0, w2, h2, i, 0);
                showFrame();
            }
        }
        break;
    case 4: {
        const Surface saved = pic2;
        for (int i = 0; i <= 10; ++i) {
            const double r1 = PaintMath::random(), r2 = PaintMath::random();
            whole(i, 3 - 6 * r1, w2 + i, h2 + 6 * r2, 65 - 5 * i, 1);
            showFrame();
        }
        pic2 = saved;
        break;
    }
    case 5:
        for (int i = 10; i >= 0; --i) {
            // Slides in from the side away from the icon; at the centre it shrinks into place.
            int dx = 0, dy = 0, dw = 0, dh = 0;
            switch (p.buttonIconPos) {
            case 0:
                dx = dw = i;
                break;
            case 1:
                dy = dh = i;
                break;
            case 2:
                dx = dw = -i;
                break;
            case 3:
                dy = dh = -i;
                break;
            case 4:
                dx = dy = -i;
                dw = dh = 2 * i;
                break;
            default:
                break;
            }
            whole(4 * dx, 4 * dy, w2 + 4 * dw, h2 + 4 * dh, 50 - 5 * i, 0);
            showFrame();
        }
        break;
    default:
        break;
    }
}

} // namespace ButtonHoverEffect
