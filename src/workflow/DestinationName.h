#pragma once

#include <QString>

// A derived destination that is the source file itself (an ".avi" preset on an ".avi" source, a
// name the extension rules leave alone) becomes "<folder>/<name without its last extension>
// (converted)<extension>"; any other name is kept.
QString destinationApartFromSource(const QString &source, const QString &derived, const QString &extension);

// "<folder>/<name without its last extension> (converted)<extension>" for a path; a leading dot
// starts a hidden name, not an extension.
QString convertedName(const QString &path, const QString &extension);

// The path with only its last extension replaced by the given one (a name without one gets it
// added).
QString withExtension(const QString &path, const QString &extension);
