#pragma once

#include <QString>

// Whether ffprobe finds sound or moving pictures in a file, within a bounded time: what decides
// that a file found in a folder is a source. Still pictures and text ffprobe can read are not.
// A probe that cannot run or takes longer than the limit says no.
bool isMediaFile(const QString &path, int limitMs = 15000);
