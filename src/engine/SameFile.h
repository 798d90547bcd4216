#pragma once

#include <QByteArray>
#include <QString>

// Which file a path names, by identity: the device and inode it reaches after following links
// (hard links and every spelling of a path agree), or, for a file not there yet, its folder's
// identity and its name (a link to a missing file names that file). Paths are the names' bytes.
// The one rule for "the same file" wherever destinations and sources are compared.
QByteArray fileIdentity(const QByteArray &path);
bool isSameFile(const QByteArray &a, const QByteArray &b);
// For names that are text.
bool isSameFile(const QString &a, const QString &b);
