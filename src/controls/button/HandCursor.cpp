#include "controls/button/HandCursor.h"

#include "VidomarResources.h"

#include <QPixmap>

namespace HandCursor {

Picture picture()
{
    static const Picture hand = Picture::fromPath(QString::fromLatin1(VidomarResources::HandCursor));
    return hand;
}

QCursor cursorFor(const Picture &mouseIcon)
{
    if (!mouseIcon.hasImage())
        return QCursor(Qt::ArrowCursor);
    const QPixmap pixmap = QPixmap::fromImage(mouseIcon.image());
    if (mouseIcon.sourcePath() == QLatin1String(VidomarResources::HandCursor)) {
        const QPoint hotSpot = VidomarResources::HandCursorHotSpot;
        return QCursor(pixmap, hotSpot.x(), hotSpot.y());
    }
    return QCursor(pixmap);
}

} // namespace HandCursor
