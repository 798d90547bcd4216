#pragma once

#include <QStringList>

#include <optional>

// A preset writes the destination and nothing else: a name among its arguments that is neither an
// option nor an option's value would be a second output file, written in place with no regard
// for the user's "do not replace".
namespace PresetOutputs {

// The index of the first argument ffmpeg would take for an output file, or nothing.
std::optional<qsizetype> secondOutput(const QStringList &arguments);

} // namespace PresetOutputs
