#include "AppEmblem.h"

#include "Theme.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QtMath>

#include <cmath>

namespace AppEmblem {

namespace {

QPolygonF playSign(QPointF centre, qreal radius)
{
    // The triangle's centroid sits on the centre, which looks centred to the eye.
    return QPolygonF{centre + QPointF(-0.5 * radius, -0.87 * radius),
                     centre + QPointF(-0.5 * radius, 0.87 * radius),
                     centre + QPointF(radius, 0)};
}

// Two clockwise arcs around the centre, each ending in an arrowhead.
void paintTurningArrows(QPainter &painter, QPointF centre, qreal size, const QColor &color)
{
    const qreal radius = 0.30 * size;
    const qreal width = std::max<qreal>(1.5, 0.07 * size);
    const QRectF circle(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    painter.setPen(QPen(color, width, Qt::SolidLine, Qt::FlatCap));
    painter.setBrush(Qt::NoBrush);

    for (const qreal start : {165.0, -15.0}) {
        const qreal sweep = -118.0;
        painter.drawArc(circle, qRound(start * 16), qRound(sweep * 16));
        // The head continues the arc clockwise from its end.
        const qreal end = qDegreesToRadians(start + sweep);
        const QPointF tip = centre + QPointF(radius * qCos(end), -radius * qSin(end));
        const QPointF along(qSin(end), qCos(end));
        const QPointF across(qCos(end), -qSin(end));
        const qreal length = 0.13 * size;
        const qreal half = 0.085 * size;
        painter.save();
        painter.setPen(Qt::NoPen);
        painter.setBrush(color);
        painter.drawPolygon(QPolygonF{tip + along * length, tip + across * half - along * 0.01 * size,
                                      tip - across * half - along * 0.01 * size});
        painter.restore();
    }
}

} // namespace

void paint(QPainter &painter, const QRectF &square)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal size = square.width();
    const qreal corner = 0.22 * size;

    QPainterPath body;
    body.addRoundedRect(square, corner, corner);
    QLinearGradient fill(square.topLeft(), square.bottomLeft());
    fill.setColorAt(0.0, QColor(255, 176, 82));
    fill.setColorAt(0.5, Theme::Accent);
    fill.setColorAt(1.0, QColor(226, 92, 0));
    painter.fillPath(body, fill);

    // A soft sheen over the upper half, clipped to the body.
    painter.save();
    painter.setClipPath(body);
    QLinearGradient sheen(square.topLeft(), QPointF(square.left(), square.top() + 0.55 * size));
    sheen.setColorAt(0.0, QColor(255, 255, 255, 70));
    sheen.setColorAt(1.0, QColor(255, 255, 255, 0));
    painter.fillRect(square, sheen);
    painter.restore();

    if (size >= 24) {
        const qreal inset = 0.5;
        painter.setPen(QPen(QColor(150, 60, 0, 170), 1.0));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(square.adjusted(inset, inset, -inset, -inset), corner - inset, corner - inset);
    }

    const QPointF centre = square.center();
    const QColor glyph(255, 255, 255);
    painter.setPen(Qt::NoPen);
    if (size < 24) {
        // Few pixels: the sign's upright edge is kept on a pixel boundary so it stays sharp.
        const qreal left = std::round(centre.x() - size / 7);
        const qreal half = size * 2 / 7;
        painter.setBrush(glyph);
        painter.drawPolygon(QPolygonF{QPointF(left, centre.y() - half), QPointF(left, centre.y() + half),
                                      QPointF(centre.x() + size / 4, centre.y())});
    } else {
        if (size >= 64) {
            // A faint drop under the white glyph lifts it off the orange.
            painter.save();
            painter.translate(0, 0.012 * size);
            paintTurningArrows(painter, centre, size, QColor(140, 50, 0, 90));
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor(140, 50, 0, 90));
            painter.drawPolygon(playSign(centre, 0.17 * size));
            painter.restore();
        }
        paintTurningArrows(painter, centre, size, glyph);
        painter.setPen(QPen(glyph, 0.03 * size, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(glyph);
        painter.drawPolygon(playSign(centre + QPointF(0.01 * size, 0), 0.15 * size));
    }
    painter.restore();
}

QImage icon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    const int margin = size <= 16 ? 1 : size / 16;
    QPainter painter(&image);
    paint(painter, QRectF(margin, margin, size - 2 * margin, size - 2 * margin));
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

} // namespace AppEmblem
