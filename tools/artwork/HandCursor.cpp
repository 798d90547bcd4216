#include "HandCursor.h"

#include "controls/button/ButtonResources.h"

#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>

namespace HandCursor {

namespace {

QPainterPath finger(qreal left, qreal top, qreal width, qreal bottom)
{
    QPainterPath path;
    path.addRoundedRect(QRectF(left, top, width, bottom - top), width / 2, width / 2);
    return path;
}

// A capsule from the palm's lower left out to the thumb's tip.
QPainterPath thumb(QPointF tip, QPointF base, qreal radius)
{
    QPainterPath line(tip);
    line.lineTo(base);
    QPainterPathStroker stroker;
    stroker.setWidth(2 * radius);
    stroker.setCapStyle(Qt::RoundCap);
    return stroker.createStroke(line).simplified();
}

} // namespace

QImage paint()
{
    // The index finger is drawn so that the middle of its tip's outline is the hot spot.
    const QPoint tip = ButtonResources::HandCursorHotSpot;
    const qreal left = tip.x() - 2.0;

    QPainterPath hand = finger(left, tip.y() + 1, 5, 19);
    hand = hand.united(finger(left + 5, 9, 5, 21));
    hand = hand.united(finger(left + 10, 10.5, 5, 22));
    hand = hand.united(finger(left + 15, 12.5, 4, 22));
    QPainterPath palm;
    palm.addRoundedRect(QRectF(left, 15, 19, 14), 5, 5);
    hand = hand.united(palm).united(thumb(QPointF(left - 3.2, 18.2), QPointF(left + 3, 25), 2.8)).simplified();

    QImage image(32, 32, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.strokePath(hand, QPen(Qt::black, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.fillPath(hand, Qt::white);

    // Creases between the folded fingers.
    painter.setPen(QPen(QColor(128, 128, 128), 1.0));
    for (int i = 1; i <= 3; ++i) {
        const qreal x = left + 5 * i + 0.5;
        painter.drawLine(QPointF(x, 11.5 + 1.5 * i), QPointF(x, 15.5 + i));
    }
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

} // namespace HandCursor
