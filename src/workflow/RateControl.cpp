#include "workflow/RateControl.h"

#include "protocol/Protocol.h"

#include <array>
#include <utility>

namespace RateControl {

namespace {

struct EncoderInfo {
    Encoder encoder;
    const char *ffmpegName;
    const char *shown;
    Range range;
    int keyFrames; // default distance between key frames
};

// Their defaults in Debian's ffmpeg: x264 and x265 keyint 250, libvpx 128, SVT-AV1 161 at its
// preset 10.
constexpr std::array<EncoderInfo, 4> Encoders{{
    {Encoder::X264, "libx264", "x264", {0, 51, 1}, 250},
    {Encoder::X265, "libx265", "x265", {0, 51, 1}, 250},
    {Encoder::Vp9, "libvpx-vp9", "VP9", {0, 63, 0}, 128},
    {Encoder::SvtAv1, "libsvtav1", "SVT-AV1", {1, 63, 0}, 161},
}};

const EncoderInfo *infoOf(Encoder encoder)
{
    for (const EncoderInfo &info : Encoders) {
        if (info.encoder == encoder)
            return &info;
    }
    return nullptr;
}

bool isVideoCodecOption(const QString &option)
{
    return option == QLatin1String("-c:v") || option == QLatin1String("-vcodec") || option == QLatin1String("-codec:v");
}

// The value of the last of these options, or nothing.
std::optional<QString> valueOf(const QStringList &arguments, std::initializer_list<const char *> options)
{
    std::optional<QString> value;
    for (qsizetype i = 0; i + 1 < arguments.size(); ++i) {
        for (const char *option : options) {
            if (arguments.at(i) == QLatin1String(option))
                value = arguments.at(i + 1);
        }
    }
    return value;
}

// The line without every option of these names and its value.
QStringList without(const QStringList &arguments, std::initializer_list<const char *> options)
{
    QStringList kept;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const bool drop = std::any_of(options.begin(), options.end(),
                                      [&](const char *option) { return arguments.at(i) == QLatin1String(option); });
        if (drop && i + 1 < arguments.size())
            ++i;
        else
            kept << arguments.at(i);
    }
    return kept;
}

// "128k", "1.5M", "96000": bit/s.
std::optional<qint64> bitsOf(const QString &text)
{
    QString number = text.trimmed();
    double unit = 1;
    if (number.endsWith(u'k', Qt::CaseInsensitive))
        unit = 1e3;
    else if (number.endsWith(u'M'))
        unit = 1e6;
    if (unit != 1)
        number.chop(1);
    bool ok = false;
    const double value = number.toDouble(&ok);
    if (!ok || value < 0)
        return std::nullopt;
    return qint64(value * unit);
}

// Before the first argument that follows the job's own options: where the adapter looks for the
// program's flags.
QStringList withFlags(const QStringList &flags, const QStringList &arguments)
{
    return flags + arguments;
}

} // namespace

Encoder encoderOf(const QStringList &arguments)
{
    Encoder encoder = Encoder::Unknown;
    for (qsizetype i = 0; i + 1 < arguments.size(); ++i) {
        if (!isVideoCodecOption(arguments.at(i)))
            continue;
        encoder = Encoder::Unknown;
        for (const EncoderInfo &info : Encoders) {
            if (arguments.at(i + 1) == QLatin1String(info.ffmpegName))
                encoder = info.encoder;
        }
    }
    return encoder;
}

QString encoderName(Encoder encoder)
{
    const EncoderInfo *info = infoOf(encoder);
    return info ? QLatin1String(info->shown) : QStringLiteral("unknown");
}

std::optional<Range> qualityRange(Encoder encoder)
{
    const EncoderInfo *info = infoOf(encoder);
    return info ? std::optional(info->range) : std::nullopt;
}

std::optional<double> quality(const QStringList &arguments)
{
    const std::optional<QString> value = valueOf(arguments, {"-crf"});
    bool ok = false;
    const double crf = value ? value->toDouble(&ok) : 0;
    return ok ? std::optional(crf) : std::nullopt;
}

QStringList withQuality(const QStringList &arguments, double crf)
{
    const Encoder encoder = encoderOf(arguments);
    const std::optional<Range> range = qualityRange(encoder);
    const int decimals = range ? range->decimals : 0;
    QStringList line = without(arguments, {"-crf", "-qp", "-q:v", "-maxrate", "-bufsize"});
    const bool vp9 = encoder == Encoder::Vp9;
    if (!vp9)
        line = without(line, {"-b:v"});
    // After the encoder's name, so that it is the encoder's option.
    qsizetype at = line.size();
    for (qsizetype i = 0; i + 1 < line.size(); ++i) {
        if (isVideoCodecOption(line.at(i)))
            at = i + 2;
    }
    QStringList setting{QStringLiteral("-crf"), QString::number(crf, 'f', decimals)};
    if (vp9 && !valueOf(line, {"-b:v"}))
        setting << QStringLiteral("-b:v") << QStringLiteral("0");
    for (qsizetype i = setting.size() - 1; i >= 0; --i)
        line.insert(at, setting.at(i));
    return line;
}

QString qualityText(Encoder encoder, double crf)
{
    const std::optional<Range> range = qualityRange(encoder);
    return (encoder == Encoder::Vp9 ? QStringLiteral("CQ ") : QStringLiteral("CRF "))
        + QString::number(crf, 'f', range ? range->decimals : 0);
}

QStringList forSize(const QStringList &arguments, qint64 videoBitsPerSecond, qint64 targetBytes, qint64 soundBytes)
{
    const Encoder encoder = encoderOf(arguments);
    QStringList line = without(arguments, {"-crf", "-qp", "-q:v", "-b:v", "-maxrate", "-bufsize"});
    qsizetype at = line.size();
    for (qsizetype i = 0; i + 1 < line.size(); ++i) {
        if (isVideoCodecOption(line.at(i)))
            at = i + 2;
    }
    line.insert(at, QString::number(videoBitsPerSecond));
    line.insert(at, QStringLiteral("-b:v"));
    QStringList flags;
    // libvpx's realtime mode writes no first-pass statistics and SVT-AV1 in Debian has no usable
    // second pass: both aim by bit rate and are encoded again when they miss.
    if (encoder == Encoder::X264 || encoder == Encoder::X265)
        flags << QLatin1String(Protocol::TwoPassFlag);
    flags << QLatin1String(Protocol::FitSizePrefix) + QStringLiteral("%1:%2").arg(targetBytes).arg(soundBytes);
    return withFlags(flags, line);
}

std::optional<qint64> soundBitrate(const QStringList &arguments)
{
    if (arguments.contains(QStringLiteral("-an")))
        return 0;
    const std::optional<QString> codec = valueOf(arguments, {"-c:a", "-acodec", "-codec:a"});
    if (!codec)
        return 0;
    if (const std::optional<QString> bitrate = valueOf(arguments, {"-b:a", "-ab"}))
        return bitsOf(*bitrate);
    // ffmpeg's own defaults for stereo.
    if (*codec == QLatin1String("aac"))
        return 128000;
    if (*codec == QLatin1String("libopus"))
        return 96000;
    if (*codec == QLatin1String("libmp3lame") || *codec == QLatin1String("ac3"))
        return 128000;
    return std::nullopt;
}

int keyFrameDistance(Encoder encoder)
{
    const EncoderInfo *info = infoOf(encoder);
    return info ? info->keyFrames : 0;
}

} // namespace RateControl
