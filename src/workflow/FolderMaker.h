#pragma once

#include <QString>

#include <optional>

// Makes the folder and the parents it lacks, by the name's bytes (FileNameBytes); the system's
// reason when it cannot ("Not a directory", "Permission denied").
std::optional<QString> makeFolders(const QString &folder);
