#pragma once

#include "workflow/SourceInfo.h"

#include <QByteArray>
#include <QRect>
#include <QString>

#include <optional>

// Finds black bars around the picture with ffmpeg's cropdetect on a few frames at several points
// spread over the file, rounded to 2 so that a full frame is never cropped. A rectangle is only
// given when every sample that is not black all over agrees; anything else keeps the whole picture.
namespace CropDetect {

inline constexpr int Samples = 5;

struct Found {
    std::optional<QRect> crop; // in the picture as shown; nothing: keep the whole picture
    QString note;              // why nothing was found, when it was looked for and not found
};

Found find(const SourceInfo &info);
// The decision from the samples' rectangles (invalid ones are black frames) and the shown size.
Found decide(const QList<QRect> &samples, const QSize &shown);
// The last rectangle cropdetect reported in ffmpeg's error output; an invalid one for a black frame.
std::optional<QRect> lastReported(const QByteArray &errors);
// "1920:800:0:140", as the crop filter and --crop take it.
QString text(const QRect &crop);

} // namespace CropDetect
