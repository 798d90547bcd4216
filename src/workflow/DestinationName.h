#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// How every destination is named, in the window, the queue, the recovered queue and the command
// line alike.

// The same path however it was spelled, for comparing names that need not exist yet.
QString pathKey(const QString &path);

// Whether two paths name the same file (isSameFile, unless the caller looks by other means).
using SameFileTest = std::function<bool(const QString &a, const QString &b)>;

// The source's file name with its last extension (any case) replaced by the preset's, beside the
// source or in `folder` when one is given; folder names are never touched. A name that would be
// the source itself becomes "<name> (converted)<extension>". A leading dot starts a hidden name,
// not an extension; a name without one gets the extension added.
QString destinationFor(const QString &source, const QString &extension, const QString &folder = QString(),
                       const SameFileTest &sameFile = SameFileTest());

// A destination the user named, moved to the preset's extension (its last one replaced), and kept
// apart from the source as destinationFor keeps it.
QString destinationRenamed(const QString &source, const QString &destination, const QString &extension,
                           const SameFileTest &sameFile = SameFileTest());

// wanted, or "<name> (2)<ext>", "<name> (3)<ext>", ... when wanted's pathKey is among taken
// (which holds pathKeys).
QString uniqueDestination(const QString &wanted, const QStringList &taken);

// Converting would replace a file that exists and is not the source (that one is refused).
bool replacesAnotherFile(const QString &source, const QString &destination);

// The path with only its last extension replaced by the given one.
QString withExtension(const QString &path, const QString &extension);
