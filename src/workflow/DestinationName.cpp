#include "workflow/DestinationName.h"

#include "engine/SameFile.h"
#include "workflow/FileNameBytes.h"

#include <QDir>
#include <QFileInfo>

namespace {

// Where the last extension's dot is, or the path's length when the name has none.
qsizetype nameEnd(const QString &path)
{
    const qsizetype nameStart = path.lastIndexOf(QLatin1Char('/')) + 1;
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    // A leading dot starts a hidden name, not an extension.
    return dot > nameStart ? dot : path.size();
}

QString convertedName(const QString &path, const QString &extension)
{
    return path.left(nameEnd(path)) + QLatin1String(" (converted)") + extension;
}

bool same(const SameFileTest &sameFile, const QString &a, const QString &b)
{
    return sameFile ? sameFile(a, b) : isSameFile(a, b);
}

} // namespace

QString pathKey(const QString &path)
{
    return QString::fromLatin1(fileIdentity(FileNameBytes::encode(path)));
}

QString withExtension(const QString &path, const QString &extension)
{
    return path.left(nameEnd(path)) + extension;
}

QString destinationFor(const QString &source, const QString &extension, const QString &folder, const SameFileTest &sameFile)
{
    QString name = withExtension(source, extension);
    if (!folder.isEmpty())
        name = QDir(folder).filePath(name.mid(name.lastIndexOf(QLatin1Char('/')) + 1));
    return destinationRenamed(source, name, extension, sameFile);
}

QString destinationRenamed(const QString &source, const QString &destination, const QString &extension,
                           const SameFileTest &sameFile)
{
    const QString name = withExtension(destination, extension);
    if (source.isEmpty() || !same(sameFile, source, name))
        return name;
    return convertedName(name, extension);
}

bool replacesAnotherFile(const QString &source, const QString &destination)
{
    return QFileInfo::exists(destination) && !isSameFile(source, destination);
}

QString uniqueDestination(const QString &wanted, const QStringList &taken)
{
    if (!taken.contains(pathKey(wanted)))
        return wanted;
    const qsizetype end = nameEnd(wanted);
    const QString stem = wanted.left(end);
    const QString extension = wanted.mid(end);
    for (int n = 2;; ++n) {
        const QString candidate = stem + QStringLiteral(" (%1)").arg(n) + extension;
        if (!taken.contains(pathKey(candidate)))
            return candidate;
    }
}
