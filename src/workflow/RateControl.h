#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// What a line in today's ffmpeg syntax says about its video encoder's rate, and the line changed
// to aim at a bit rate or at another quality setting. Only the encoders a target can steer are
// known; every other line is left alone.
namespace RateControl {

enum class Encoder { Unknown, X264, X265, Vp9, SvtAv1 };

Encoder encoderOf(const QStringList &arguments);
// "x264", "x265", "VP9", "SVT-AV1".
QString encoderName(Encoder encoder);

// The quality setting (CRF, CQ for VP9): lower is better.
struct Range {
    double best = 0;
    double worst = 0;
    int decimals = 0; // x264 and x265 take tenths
};
std::optional<Range> qualityRange(Encoder encoder);
// The line's -crf, if it has one.
std::optional<double> quality(const QStringList &arguments);
// The line with its quality setting at crf, in place of what it had; a bit rate it held goes,
// except VP9's "-b:v 0", which its constant quality needs.
QStringList withQuality(const QStringList &arguments, double crf);
// "CRF 23.5", "CQ 31".
QString qualityText(Encoder encoder, double crf);

// The line aimed at a size: the quality setting gives way to a video bit rate; x264 and x265 run
// two passes; the adapter corrects a result that misses targetBytes (soundBytes of it sound).
QStringList forSize(const QStringList &arguments, qint64 videoBitsPerSecond, qint64 targetBytes, qint64 soundBytes);

// The sound's bit rate the line asks for, in bit/s: its -b:a, the encoder's own default without
// one, 0 without sound. Unknown (nothing) for a sound that is copied or lossless.
std::optional<qint64> soundBitrate(const QStringList &arguments);

// The longest distance between key frames the encoder keeps by default, in frames.
int keyFrameDistance(Encoder encoder);

} // namespace RateControl
