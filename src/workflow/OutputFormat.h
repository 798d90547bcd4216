#pragma once

#include <QString>

#include <optional>

// Whether the encoder can write a file of the destination's kind. ffmpeg picks the kind by the
// name's extension unless the preset names a format; an extension it does not know would start
// a run that can only fail. ffmpeg is asked once per extension (it opens no file for that).
namespace OutputFormat {

// "ffmpeg knows no kind of file ending in .xyz; …"; nothing when it knows one, when the preset
// names the format, or when ffmpeg cannot be asked (the run then says what is wrong).
std::optional<QString> problem(const QString &destination, const QString &preset);

} // namespace OutputFormat
