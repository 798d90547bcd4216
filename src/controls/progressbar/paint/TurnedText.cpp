#include "controls/progressbar/paint/TurnedText.h"

#include "drawing/Surface.h"

#include <QPainter>

#include <algorithm>

void drawTurnedText(Surface &surface, const QString &laidOut, const QFont &font, OleColor colour,
                    int left, int bottom, int length, int flags)
{
    if (laidOut.isEmpty() || surface.width() <= 0 || surface.height() <= 0 || length <= 0)
        return;
    QString reading = laidOut;
    std::reverse(reading.begin(), reading.end());

    int alignment = Qt::AlignTop;
    if (flags & Surface::AlignCenter)
        alignment |= Qt::AlignHCenter;
    else if (flags & Surface::AlignRight)
        alignment |= Qt::AlignRight;
    if (flags & Surface::WordBreak)
        alignment |= Qt::TextWordWrap;

    QImage overlay(surface.width(), surface.height(), QImage::Format_ARGB32_Premultiplied);
    overlay.fill(Qt::transparent);
    {
        QPainter painter(&overlay);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.setFont(font);
        painter.setPen(QColor::fromRgb(Color::toQRgb(colour)));
        painter.translate(left, bottom);
        painter.rotate(-90);
        painter.drawText(QRect(0, 0, length, surface.width()), alignment, reading);
    }
    surface.paintPicture(overlay, 0, 0, overlay.width(), overlay.height());
}
