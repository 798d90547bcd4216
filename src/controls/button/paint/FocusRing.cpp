#include "controls/button/paint/FocusRing.h"

#include <QPainter>
#include <QPen>

#include <algorithm>

void drawFocusRing(QPainter &painter, const QRect &face, QRgb captionColour)
{
    // Three pixels in from the edge clears the border of every face style; a tiny button gets
    // what room it has.
    const int inset = std::clamp((std::min(face.width(), face.height()) - 4) / 2, 0, 3);
    const QRect ring = face.adjusted(inset, inset, -inset - 1, -inset - 1);
    if (ring.width() < 1 || ring.height() < 1)
        return;
    // Rounded like the faces' corners, so that the ring stays inside a rounded shape.
    const qreal radius = std::min(ring.width(), ring.height()) / 4.0;
    const QColor dots = QColor::fromRgb(captionColour);
    const QColor under = qGray(captionColour) < 128 ? QColor(Qt::white) : QColor(Qt::black);

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(under, 1, Qt::SolidLine));
    painter.drawRoundedRect(ring, radius, radius);
    painter.setPen(QPen(dots, 1, Qt::DotLine));
    painter.drawRoundedRect(ring, radius, radius);
    painter.restore();
}
