#include "workflow/DestinationName.h"

#include "engine/SameFile.h"
#include "workflow/FileNameBytes.h"

namespace {

// Where the last extension's dot is, or the path's length when the name has none.
qsizetype nameEnd(const QString &path)
{
    const qsizetype nameStart = path.lastIndexOf(QLatin1Char('/')) + 1;
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    // A leading dot starts a hidden name, not an extension.
    return dot > nameStart ? dot : path.size();
}

} // namespace

QString destinationApartFromSource(const QString &source, const QString &derived, const QString &extension)
{
    if (source.isEmpty() || !isSameFile(FileNameBytes::encode(source), FileNameBytes::encode(derived)))
        return derived;
    return convertedName(source, extension);
}

QString convertedName(const QString &path, const QString &extension)
{
    return path.left(nameEnd(path)) + QLatin1String(" (converted)") + extension;
}

QString withExtension(const QString &path, const QString &extension)
{
    return path.left(nameEnd(path)) + extension;
}
