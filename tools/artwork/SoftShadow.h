#pragma once

#include <QColor>
#include <QPainter>
#include <QPainterPath>

// Paints a blurred copy of a shape (drop shadows and glows): the shape in the colour, spread by
// three box blurs of the given radius, which approximate a Gaussian.
void paintSoftShadow(QPainter &painter, const QPainterPath &shape, const QColor &color, int blurRadius);
