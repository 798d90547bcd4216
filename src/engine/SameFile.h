#pragma once

#include <QString>

// Whether two paths name the same file: after resolving relative parts, links and hard links
// when both exist, by their absolute paths otherwise.
bool isSameFile(const QString &a, const QString &b);
