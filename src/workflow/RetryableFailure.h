#pragma once

#include <QString>

// Whether a failed conversion may succeed when simply run again, as a batch system's retry
// would: its encoder or ffmpeg was killed by a signal, the disk was full, or the destination's
// folder, there when the conversion started, vanished. A source ffmpeg cannot read, a preset it
// cannot follow and the like fail again, and are not.
namespace RetryableFailure {

// The reason names a passing cause: a signal, a full disk.
bool passingReason(const QString &reason);
// The folder the destination goes into is not there (now).
bool folderGone(const QString &destination);

} // namespace RetryableFailure
