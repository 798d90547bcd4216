#pragma once

#include "controls/button/paint/ButtonPaintContext.h"
#include "drawing/Surface.h"

#include <QImage>
#include <QPainter>
#include <QWidget>

#include <cstdlib>
#include <functional>

namespace PaintTest {

// The surfaces, fields and label of a button without the widget, for driving one painter.
struct Parts {
    Parts(int width, int height)
    {
        canvas.resize(width, height);
        props.borderSize = 1;
        props.buttonColorBlendSize = 1;
        props.buttonColorSplitSize = 50;
        props.arrowSize = 5;
        props.arrowSplit = true;
        props.arrowColor = 0xFFFFFF;
        props.buttonIconSize = 80;
    }
    ButtonPaintContext context()
    {
        return {props, canvas, run, label, [this](Surface &target) {
                    target.clear();
                    if (behind)
                        behind(target);
                }};
    }

    ButtonProperties props;
    ButtonCanvas canvas;
    ButtonRuntime run;
    CaptionLabel label;
    std::function<void(Surface &)> behind;
};

// Each pixel's column index mixed into its colour, so that neighbouring pixels differ.
inline void fillPattern(Surface &surface)
{
    for (int y = 0; y < surface.height(); ++y)
        for (int x = 0; x < surface.width(); ++x)
            surface.setPixel(x, y, Color::RGB((x * 7) & 255, (y * 11) & 255, (x + y) & 255));
}

inline int channelDistance(OleColor a, OleColor b)
{
    return std::max({std::abs(Color::red(a) - Color::red(b)), std::abs(Color::green(a) - Color::green(b)),
                     std::abs(Color::blue(a) - Color::blue(b))});
}

// A container that paints a fixed pattern: what lies behind the controls placed on it.
class Backdrop : public QWidget {
public:
    Backdrop()
    {
        setAttribute(Qt::WA_DontShowOnScreen);
        resize(300, 200);
    }
    static QRgb colourAt(int x, int y) { return qRgb((x * 5) & 255, (y * 9) & 255, 128); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QImage art(size(), QImage::Format_RGB32);
        for (int y = 0; y < height(); ++y)
            for (int x = 0; x < width(); ++x)
                art.setPixel(x, y, colourAt(x, y));
        QPainter(this).drawImage(0, 0, art);
    }
};

} // namespace PaintTest
