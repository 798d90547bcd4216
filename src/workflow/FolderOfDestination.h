#pragma once

#include <QString>

#include <optional>

// A run writes into the destination's folder, made when it is missing (with the folders above
// it), as "-d" does; where a run starts, so that every front end and a recovered queue get it.
namespace FolderOfDestination {

// Nothing when the folder is there now; otherwise what stands in the way, in words.
std::optional<QString> make(const QString &destination);

} // namespace FolderOfDestination
