#include "controls/button/HandCursor.h"

#include "controls/button/ButtonResources.h"

#include <QPixmap>

namespace HandCursor {

Picture picture()
{
    static const Picture hand = Picture::fromPath(QString::fromLatin1(ButtonResources::HandCursor));
    return hand;
}

QCursor cursorFor(const Picture &mouseIcon)
{
    if (!mouseIcon.hasImage())
        return QCursor(Qt::ArrowCursor);
    const QPixmap pixmap = QPixmap::fromImage(mouseIcon.image());
    if (mouseIcon.sourcePath() == QLatin1String(ButtonResources::HandCursor)) {
        const QPoint hotSpot = ButtonResources::HandCursorHotSpot;
        return QCursor(pixmap, hotSpot.x(), hotSpot.y());
    }
    return QCursor(pixmap);
}

} // namespace HandCursor
