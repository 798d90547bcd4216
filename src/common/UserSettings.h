#pragma once

#include <QSettings>

// The per-user settings store every part of the program shares.
inline QSettings userSettings()
{
    return QSettings(QStringLiteral("Zorvik"), QStringLiteral("Zorvik"));
}
