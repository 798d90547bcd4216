#include "ProgramChecks.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

QRect controlRect(const QString &name)
{
    QFile file(QStringLiteral(VIDOMAR_FORM_FILE));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QJsonArray controls
        = QJsonDocument::fromJson(file.readAll()).object().value(QStringLiteral("controls")).toArray();
    for (const QJsonValue &value : controls) {
        const QJsonObject control = value.toObject();
        if (control.value(QStringLiteral("name")).toString() == name)
            return {control.value(QStringLiteral("Left")).toInt() / 15,
                    control.value(QStringLiteral("Top")).toInt() / 15,
                    control.value(QStringLiteral("Width")).toInt() / 15,
                    control.value(QStringLiteral("Height")).toInt() / 15};
    }
    return {};
}

double blockShare(const QImage &screen, const QRect &bar)
{
    if (screen.isNull() || bar.isEmpty())
        return -1;
    int orange = 0;
    for (int y = bar.top(); y <= bar.bottom(); ++y) {
        for (int x = bar.left(); x <= bar.right(); ++x) {
            const QRgb pixel = screen.pixel(x, y);
            const int red = qRed(pixel);
            const int green = qGreen(pixel);
            orange += red >= 140 && qBlue(pixel) <= 100 && green * 10 >= red * 3 && green * 10 <= red * 8;
        }
    }
    return double(orange) / (bar.width() * bar.height());
}

Run run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(program, arguments);
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished(5000);
        return {-1, process.readAll()};
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAll()};
}

Probe probe(const QString &path)
{
    const Run result
        = run(QStringLiteral("ffprobe"), {"-v", "error", "-show_format", "-show_streams", "-of", "json", path});
    if (result.exitCode != 0) {
        Probe failed;
        failed.error = QString::fromLocal8Bit(result.output);
        return failed;
    }
    const QJsonObject json = QJsonDocument::fromJson(result.output).object();
    Probe found;
    found.seconds
        = json.value(QStringLiteral("format")).toObject().value(QStringLiteral("duration")).toString().toDouble();
    for (const QJsonValue &value : json.value(QStringLiteral("streams")).toArray()) {
        const QJsonObject stream = value.toObject();
        const QString codec = stream.value(QStringLiteral("codec_name")).toString();
        if (stream.value(QStringLiteral("codec_type")).toString() == QLatin1String("video")) {
            found.video = codec;
            found.size
                = {stream.value(QStringLiteral("width")).toInt(), stream.value(QStringLiteral("height")).toInt()};
        } else {
            found.audio = codec;
        }
    }
    return found;
}

