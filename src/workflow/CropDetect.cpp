#include "workflow/CropDetect.h"

#include "workflow/ToolProcess.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace CropDetect {

namespace {

// Enough frames for cropdetect to settle after the frames it skips at the start.
constexpr int FramesPerSample = 8;

QSize shownSize(const SourceInfo::Stream &picture)
{
    const bool turned = picture.rotation % 180 != 0;
    return turned ? QSize(picture.height, picture.width) : QSize(picture.width, picture.height);
}

} // namespace

std::optional<QRect> lastReported(const QByteArray &errors)
{
    static const QRegularExpression crop(QStringLiteral("crop=(-?\\d+):(-?\\d+):(-?\\d+):(-?\\d+)"));
    std::optional<QRect> last;
    QRegularExpressionMatchIterator it = crop.globalMatch(QString::fromLatin1(errors));
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        last = QRect(match.captured(3).toInt(), match.captured(4).toInt(), match.captured(1).toInt(),
                     match.captured(2).toInt());
    }
    return last;
}

Found decide(const QList<QRect> &samples, const QSize &shown)
{
    QList<QRect> seen;
    for (const QRect &sample : samples) {
        if (sample.width() > 0 && sample.height() > 0)
            seen << sample;
    }
    if (seen.isEmpty())
        return {std::nullopt, QStringLiteral("no picture to measure black bars on; not cropped")};
    for (const QRect &sample : std::as_const(seen)) {
        if (sample != seen.first())
            return {std::nullopt, QStringLiteral("the black bars differ along the file; not cropped")};
    }
    const QRect crop = seen.first();
    if (crop.size() == shown && crop.topLeft() == QPoint(0, 0))
        return {};
    if (!QRect(QPoint(0, 0), shown).contains(crop))
        return {std::nullopt, QStringLiteral("the black bars found lie outside the picture; not cropped")};
    return {crop, QString()};
}

Found find(const SourceInfo &info)
{
    const std::optional<SourceInfo::Stream> picture = info.picture();
    if (!picture)
        return {std::nullopt, QStringLiteral("the source has no picture to crop")};
    QList<double> points;
    if (const std::optional<double> duration = info.duration) {
        for (int k = 1; k <= Samples; ++k)
            points << *duration * k / (Samples + 1);
    } else {
        points << 0;
    }
    QList<QRect> samples;
    for (const double point : std::as_const(points)) {
        const ToolProcess::Result run = ToolProcess::run(
            ToolProcess::ffmpeg(),
            {"-hide_banner", "-nostdin", "-ss", QString::number(point, 'f', 3), "-i",
             QStringLiteral("file:") + QFileInfo(info.path).absoluteFilePath(), "-map",
             QStringLiteral("0:%1").arg(picture->index), "-frames:v", QString::number(FramesPerSample), "-vf",
             "cropdetect=round=2", "-f", "null", "-"},
            {.timeoutMs = 60000, .maxOutput = 1024 * 1024});
        if (!run.ok())
            return {std::nullopt, QStringLiteral("black bars could not be measured (%1); not cropped")
                                      .arg(run.problem(QStringLiteral("ffmpeg")))};
        samples << lastReported(run.errors).value_or(QRect());
    }
    return decide(samples, shownSize(*picture));
}

QString text(const QRect &crop)
{
    return QStringLiteral("%1:%2:%3:%4").arg(crop.width()).arg(crop.height()).arg(crop.x()).arg(crop.y());
}

} // namespace CropDetect
