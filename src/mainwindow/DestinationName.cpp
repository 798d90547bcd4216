#include "mainwindow/DestinationName.h"

#include "engine/SameFile.h"

QString destinationApartFromSource(const QString &source, const QString &derived, const QString &extension)
{
    if (source.isEmpty() || !isSameFile(source, derived))
        return derived;
    const qsizetype nameStart = source.lastIndexOf(QLatin1Char('/')) + 1;
    const qsizetype dot = source.lastIndexOf(QLatin1Char('.'));
    // A leading dot starts a hidden name, not an extension.
    const qsizetype nameEnd = dot > nameStart ? dot : source.size();
    return source.left(nameEnd) + QLatin1String(" (converted)") + extension;
}
