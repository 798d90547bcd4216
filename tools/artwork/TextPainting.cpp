#include "TextPainting.h"

#include <QFontMetrics>

namespace TextPainting {

int drawAt(QPainter &painter, int x, int baseline, const QString &text, const QFont &font,
           const QColor &color)
{
    painter.save();
    painter.setFont(font);
    painter.setPen(color);
    painter.drawText(QPoint(x, baseline), text);
    painter.restore();
    return x + QFontMetrics(font).horizontalAdvance(text);
}

void drawCentred(QPainter &painter, const QRect &box, const QString &text, const QFont &font,
                 const QColor &color, QPoint offset)
{
    const QFontMetrics metrics(font);
    const int x = box.left() + (box.width() - metrics.horizontalAdvance(text) + 1) / 2;
    const int baseline = box.top() + (box.height() + metrics.capHeight() + 1) / 2;
    drawAt(painter, x + offset.x(), baseline + offset.y(), text, font, color);
}

} // namespace TextPainting
