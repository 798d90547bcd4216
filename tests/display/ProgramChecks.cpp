#include "ProgramChecks.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

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

QString writePacedFfmpeg(const QString &folder)
{
    QFile paced(folder + QStringLiteral("/paced-ffmpeg"));
    if (!paced.open(QIODevice::WriteOnly)
        || paced.write("#!/bin/sh\ncase \" $* \" in *\" -i \"*) exec ffmpeg -re \"$@\" ;; esac\nexec ffmpeg \"$@\"\n") < 0)
        return {};
    paced.close();
    if (!paced.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner))
        return {};
    return paced.fileName();
}
