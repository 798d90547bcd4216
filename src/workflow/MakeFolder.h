#pragma once

#include <QString>

#include <optional>

// Makes the folder and the parents it lacks, by the name's bytes; the system's reason when it
// cannot.
std::optional<QString> makeFolder(const QString &folder);
