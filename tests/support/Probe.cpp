#include "Probe.h"

#include "RunProgram.h"

#include <QJsonDocument>

Probe probe(const QString &path, bool withPackets)
{
    QStringList arguments{"-v", "error", "-show_format", "-show_streams"};
    if (withPackets)
        arguments << "-show_packets";
    arguments << "-of" << "json" << path;
    const ProgramRun run = runProgram(QStringLiteral("ffprobe"), arguments, {.errorsApart = true});
    Probe found;
    if (run.exitCode != 0) {
        found.error = QString::fromLocal8Bit(run.errors.isEmpty() ? QByteArray("ffprobe failed") : run.errors);
        return found;
    }
    const QJsonObject json = QJsonDocument::fromJson(run.output).object();
    found.format = json.value(QStringLiteral("format")).toObject();
    found.packets = json.value(QStringLiteral("packets")).toArray();
    for (const QJsonValue &value : json.value(QStringLiteral("streams")).toArray()) {
        const QJsonObject stream = value.toObject();
        const QString type = stream.value(QStringLiteral("codec_type")).toString();
        ++found.streams;
        if (type == QLatin1String("video")) {
            ++found.videoStreams;
            found.video = stream;
        } else if (type == QLatin1String("audio")) {
            ++found.audioStreams;
            found.audio = stream;
        }
    }
    return found;
}

double Probe::seconds() const
{
    return format.value(QStringLiteral("duration")).toString().toDouble();
}

QString Probe::container() const
{
    const QString name = format.value(QStringLiteral("format_name")).toString();
    if (!name.startsWith(QLatin1String("mov,")))
        return name;
    return QStringLiteral("mov/")
        + format.value(QStringLiteral("tags")).toObject().value(QStringLiteral("major_brand")).toString();
}

QString Probe::videoCodec() const
{
    return video.value(QStringLiteral("codec_name")).toString();
}

QSize Probe::size() const
{
    return {video.value(QStringLiteral("width")).toInt(), video.value(QStringLiteral("height")).toInt()};
}

QString Probe::audioCodec() const
{
    return audio.value(QStringLiteral("codec_name")).toString();
}
