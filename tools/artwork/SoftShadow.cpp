#include "SoftShadow.h"

#include <QImage>

#include <algorithm>
#include <vector>

namespace {

// One box-blur pass along a line of `count` values spaced `stride` apart, edges clamped.
void blurLine(uchar *first, int count, int stride, int radius, std::vector<int> &line)
{
    line.resize(count);
    for (int i = 0; i < count; ++i)
        line[i] = first[i * stride];
    const int span = 2 * radius + 1;
    int sum = 0;
    for (int i = -radius; i <= radius; ++i)
        sum += line[std::clamp(i, 0, count - 1)];
    for (int i = 0; i < count; ++i) {
        first[i * stride] = uchar((sum + span / 2) / span);
        sum += line[std::min(i + radius + 1, count - 1)] - line[std::max(i - radius, 0)];
    }
}

} // namespace

void paintSoftShadow(QPainter &painter, const QPainterPath &shape, const QColor &color, int blurRadius)
{
    const int margin = 3 * blurRadius + 2;
    const QRect box = shape.boundingRect().toAlignedRect().adjusted(-margin, -margin, margin, margin);

    QImage alpha(box.size(), QImage::Format_Alpha8);
    alpha.fill(0);
    {
        QPainter shapePainter(&alpha);
        shapePainter.setRenderHint(QPainter::Antialiasing);
        shapePainter.translate(-box.topLeft());
        shapePainter.fillPath(shape, Qt::black);
    }
    std::vector<int> line;
    const int stride = int(alpha.bytesPerLine());
    for (int pass = 0; pass < 3 && blurRadius > 0; ++pass) {
        for (int y = 0; y < alpha.height(); ++y)
            blurLine(alpha.scanLine(y), alpha.width(), 1, blurRadius, line);
        for (int x = 0; x < alpha.width(); ++x)
            blurLine(alpha.bits() + x, alpha.height(), stride, blurRadius, line);
    }

    QImage tinted(box.size(), QImage::Format_ARGB32_Premultiplied);
    tinted.fill(color);
    {
        QPainter maskPainter(&tinted);
        maskPainter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        maskPainter.drawImage(0, 0, alpha);
    }
    painter.drawImage(box.topLeft(), tinted);
}
