#include "ProgressArt.h"

#include <QLinearGradient>
#include <QPainter>

namespace ProgressArt {

namespace {

constexpr int BlockSize = 10;
constexpr int BlockGap = 1;
constexpr int BlockTop = 3;

} // namespace

QImage back(const QSize &size)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient track(0, 0, 0, size.height());
    track.setColorAt(0.0, QColor(4, 4, 5));
    track.setColorAt(1.0, QColor(12, 12, 14));
    painter.fillRect(image.rect(), track);

    const int cellHeight = size.height() - 2 * BlockTop;
    for (int x = 1; x + BlockSize <= size.width(); x += BlockSize + BlockGap) {
        painter.fillRect(x, BlockTop, BlockSize, cellHeight, QColor(20, 20, 23));
        painter.fillRect(x, BlockTop, BlockSize, 1, QColor(27, 27, 31));
    }
    return image;
}

QImage cover(const QSize &size)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    const qreal h = size.height();
    QLinearGradient sheen(0, 0, 0, h);
    sheen.setColorAt(0.0, QColor(80, 40, 12));
    sheen.setColorAt(3 / h, QColor(255, 170, 90));
    sheen.setColorAt(0.30, QColor(160, 86, 32));
    sheen.setColorAt(0.50, QColor(48, 26, 10));
    sheen.setColorAt(1.0, QColor(20, 12, 6));
    painter.fillRect(image.rect(), sheen);
    return image;
}

} // namespace ProgressArt
