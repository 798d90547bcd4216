#pragma once

#include <QString>

// A clip from ffmpeg's generated sources: a test picture (MPEG-4 Part 2) and, unless silent, a
// stereo 440 Hz tone at 44100 Hz (PCM), in a container chosen by the file's extension.
struct Clip {
    int seconds = 3;
    QString size = QStringLiteral("640x480");
    QString rate = QStringLiteral("25");
    QString sampleAspect; // "4/3": pixels that wide; empty: square
    bool sound = true;
    int quality = 4;      // ffmpeg's -q:v, 2 (large) to 31 (small)
};

// Writes the clip to the path; returns what went wrong, if anything.
QString makeClip(const QString &path, const Clip &clip = {});
