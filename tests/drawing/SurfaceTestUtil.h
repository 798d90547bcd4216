#pragma once

#include "drawing/Surface.h"

#include <QPoint>
#include <QRect>
#include <QSet>
#include <QString>

#include <algorithm>
#include <initializer_list>

// Helpers shared by the drawing tests.
namespace SurfaceTestUtil {

inline constexpr OleColor White = 0xFFFFFF;
inline constexpr OleColor Red = 0x0000FF;

// Every pixel that differs from the colour.
inline QSet<QPoint> pixelsNot(const Surface &s, OleColor colour)
{
    QSet<QPoint> points;
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x)
            if (s.pixel(x, y) != colour)
                points.insert(QPoint(x, y));
    return points;
}

inline QSet<QPoint> pixelsOf(const Surface &s, OleColor colour)
{
    QSet<QPoint> points;
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x)
            if (s.pixel(x, y) == colour)
                points.insert(QPoint(x, y));
    return points;
}

// Points "x,y x,y ..." as a set.
inline QSet<QPoint> points(const QString &list)
{
    QSet<QPoint> result;
    for (const QString &p : list.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QStringList xy = p.split(QLatin1Char(','));
        result.insert(QPoint(xy[0].toInt(), xy[1].toInt()));
    }
    return result;
}

inline QString describe(const QSet<QPoint> &set)
{
    QList<QPoint> list = set.values();
    std::sort(list.begin(), list.end(), [](QPoint a, QPoint b) { return a.y() != b.y() ? a.y() < b.y() : a.x() < b.x(); });
    QStringList parts;
    for (QPoint p : list)
        parts << QStringLiteral("%1,%2").arg(p.x()).arg(p.y());
    return parts.join(QLatin1Char(' '));
}

// The bounding rectangle of the pixels that differ from the colour.
inline QRect inkBounds(const Surface &s, OleColor background)
{
    QRect bounds;
    for (const QPoint &p : pixelsNot(s, background))
        bounds |= QRect(p, QSize(1, 1));
    return bounds;
}

// A one-row surface of the given colours.
inline Surface rowOf(std::initializer_list<OleColor> colours)
{
    Surface s(int(colours.size()), 1);
    int x = 0;
    for (OleColor c : colours)
        s.setPixel(x++, 0, c);
    return s;
}

} // namespace SurfaceTestUtil
