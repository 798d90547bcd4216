#pragma once

#include <QString>

// Makes sure the destination's folder can take the converted file before anything runs: a
// missing folder must be one its nearest existing parent lets us create (the run creates it when
// it starts), and a folder that cannot be written is named with the reason ("Cannot write to /videos: Permission denied"). Returns that
// message, or an empty string when the folder is ready.
QString prepareDestinationFolder(const QString &destination);
