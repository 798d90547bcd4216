#pragma once

#include <QString>

// A derived destination that is the source file itself (an ".avi" preset on an ".avi" source, a
// name the extension rules leave alone) becomes "<folder>/<name without its last extension>
// (converted)<extension>"; any other name is kept.
QString destinationApartFromSource(const QString &source, const QString &derived, const QString &extension);
