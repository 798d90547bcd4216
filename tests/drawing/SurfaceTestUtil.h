#pragma once

#include "Surface.h"

#include <QPoint>
#include <QSet>
#include <QString>

#include <algorithm>

// Helpers shared by the drawing tests.
namespace SurfaceTestUtil {

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

} // namespace SurfaceTestUtil
