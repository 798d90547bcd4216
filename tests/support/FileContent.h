#pragma once

#include <QByteArray>
#include <QString>

// A file's bytes; a file that cannot be read gives "<missing>", so that it never passes for an
// empty one.
QByteArray contentOf(const QString &path);
