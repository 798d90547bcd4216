#include "JsonLines.h"

#include <QJsonDocument>
#include <QtGlobal>

QList<QJsonObject> jsonLines(const QByteArray &out)
{
    QList<QJsonObject> list;
    for (const QByteArray &line : out.split('\n')) {
        if (line.isEmpty())
            continue;
        QJsonParseError error{};
        const QJsonDocument document = QJsonDocument::fromJson(line, &error);
        if (error.error != QJsonParseError::NoError || !document.isObject()) {
            qWarning("not a JSON object: %s", line.constData());
            return {};
        }
        list << document.object();
    }
    return list;
}
