#pragma once

#include <QString>

// Which line of the encoder's output says why a conversion failed.
namespace FailureReason {

// The last line that is neither a progress line ("frame=", "size=") nor part of ffmpeg's
// generic closing ("Conversion failed!", the size summary, encoder statistics, "Exiting
// normally, received signal 15."); empty when no line is left.
QString tellingLine(const QString &output);

} // namespace FailureReason
