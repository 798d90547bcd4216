#include "update/FirstRun.h"

#include "update/ShellOpen.h"
#include "update/WebAddresses.h"

#include <QSettings>

void showFirstRunPage()
{
    QSettings settings(QStringLiteral("Zorvik"), QStringLiteral("Zorvik"));
    const QString key = QStringLiteral("First Run/Zorvik Vidomar");
    if (settings.value(key).toString() == QLatin1String("No"))
        return;
    settings.setValue(key, QStringLiteral("No"));
    settings.sync();
    ShellOpen(WebAddresses::productPage());
}
