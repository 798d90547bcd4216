#pragma once

#include <QImage>
#include <QPainter>
#include <QRectF>

// The product mark: an orange rounded square holding a play sign inside two turning arrows
// (video, converted). Small sizes drop the arrows so the play sign stays readable.
namespace AppEmblem {

void paint(QPainter &painter, const QRectF &square);

// The application icon at one size: the mark with a small transparent margin.
QImage icon(int size);

} // namespace AppEmblem
