#pragma once

#include <QString>

// Which line of the encoder's output says why a conversion failed.
namespace FailureReason {

// What a failed run's output says about why, from one table: the last line that names a known
// cause, in the user's words ("the destination name has no extension ffmpeg knows"), else the
// last line that is not chatter (progress, listings, metadata, summaries, statistics, "Last
// message repeated", ffmpeg's generic closing); empty when no line is left.
QString tellingLine(const QString &output);

// The reason of an encoder that a signal ended.
QString killedBy(int signal);

} // namespace FailureReason
