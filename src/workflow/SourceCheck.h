#pragma once

#include <QString>

#include <optional>

// What is wrong with a source before its encoder starts, in words of its own. A missing source is
// left to the run, which reports it as it always has. A named pipe or a device is no problem: the
// encoder reads it to its end.
namespace SourceCheck {

// "The source video file is empty." and the like; nothing when the source may be read.
std::optional<QString> problem(const QString &source);

// The name the encoder opens for the source. The encoder's standard input is not the program's, so
// the program's own descriptors (/dev/stdin, /dev/fd/N) are named through /proc/<pid>/fd/N.
QString forEncoder(const QString &source);

} // namespace SourceCheck
