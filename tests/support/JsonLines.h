#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>

// Every line of a program's output as a JSON object; a line that is not one is warned about and
// gives an empty list, so that the caller's checks fail.
QList<QJsonObject> jsonLines(const QByteArray &out);
