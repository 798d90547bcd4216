#pragma once

#include <QImage>
#include <QRect>
#include <QString>

// What the display tests read off the window: where the stored form puts a control, and how full
// the bar looks.

// Where the stored form puts a control, in pixels of the window (twips / 15).
QRect controlRect(const QString &name);

// The share of the bar's pixels that its orange blocks cover.
double blockShare(const QImage &screen, const QRect &bar);

// Writes into the folder an ffmpeg that reads its input at the clip's own pace, so that a
// conversion runs for the clip's length: long enough to act on, whatever the machine's speed.
// Its path, or empty when it could not be written.
QString writePacedFfmpeg(const QString &folder);
