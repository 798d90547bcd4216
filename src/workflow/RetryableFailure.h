#pragma once

#include <QString>

// Whether a failed conversion may succeed when simply run again, as a batch system's retry
// would: its encoder or ffmpeg was killed by a signal, the disk was full, or the destination's
// folder vanished. A source ffmpeg cannot read, a preset it cannot follow and the like fail
// again, and are not.
bool mayMendOnRetry(const QString &reason, const QString &destination);
