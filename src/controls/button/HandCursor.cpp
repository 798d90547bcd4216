#include "HandCursor.h"

#include <QPixmap>

namespace HandCursor {

Picture picture()
{
    static const Picture hand = Picture::fromPath(QString::fromLatin1(ResourcePath));
    return hand;
}

QCursor cursorFor(const Picture &mouseIcon)
{
    if (!mouseIcon.hasImage())
        return QCursor(Qt::ArrowCursor);
    const QPixmap pixmap = QPixmap::fromImage(mouseIcon.image());
    if (mouseIcon.sourcePath() == QLatin1String(ResourcePath))
        return QCursor(pixmap, 5, 0);
    return QCursor(pixmap);
}

} // namespace HandCursor
