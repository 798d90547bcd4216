#include "update/FirstRun.h"

#include "common/UserSettings.h"
#include "update/ShellOpen.h"
#include "update/WebAddresses.h"

void showFirstRunPage()
{
    QSettings settings = userSettings();
    const QString key = QStringLiteral("First Run/Zorvik Vidomar");
    if (settings.value(key).toString() == QLatin1String("No"))
        return;
    settings.setValue(key, QStringLiteral("No"));
    settings.sync();
    ShellOpen(WebAddresses::productPage());
}
