#pragma once

#include "controls/progressbar/TavloProBar.h"

#include <QImage>
#include <QWidget>

#include <memory>
#include <set>

// A bar on a parent that is shown off-screen, so resize and show handling run as in a window.
struct BarFixture {
    explicit BarFixture(QSize size = QSize(200, 20))
    {
        parent.setAttribute(Qt::WA_DontShowOnScreen);
        parent.resize(500, 500);
        bar = std::make_unique<TavloProBar>(&parent);
        bar->resize(size);
        parent.show();
    }

    QWidget parent;
    std::unique_ptr<TavloProBar> bar;
};

// Block pixels of the default colour are clearly green; background, border and text are not.
inline bool isGreen(QRgb p)
{
    return qGreen(p) > qRed(p) + 60 && qGreen(p) > qBlue(p) + 60;
}

// Orange: red well above green, green well above blue.
inline bool isOrange(QRgb p)
{
    return qRed(p) > qGreen(p) + 30 && qGreen(p) > qBlue(p) + 30;
}

template <typename Predicate>
std::set<int> columnsWhere(const QImage &image, int y, Predicate predicate)
{
    std::set<int> columns;
    for (int x = 0; x < image.width(); ++x)
        if (predicate(image.pixel(x, y)))
            columns.insert(x);
    return columns;
}

template <typename Predicate>
std::set<int> rowsWhere(const QImage &image, int x, Predicate predicate)
{
    std::set<int> rows;
    for (int y = 0; y < image.height(); ++y)
        if (predicate(image.pixel(x, y)))
            rows.insert(y);
    return rows;
}

// Runs of `length` starting at first, first + step, ... up to last (inclusive starts).
inline std::set<int> runs(int first, int last, int step, int length)
{
    std::set<int> values;
    for (int start = first; step > 0 ? start <= last : start >= last; start += step)
        for (int i = 0; i < length; ++i)
            values.insert(start + i);
    return values;
}
