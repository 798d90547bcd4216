#include "controls/button/model/ButtonRuntime.h"

#include <QDir>

QString ButtonRuntime::temporaryFolder()
{
    for (const char *name : {"tmp", "temp"}) {
        const QString folder = qEnvironmentVariable(name);
        if (!folder.isEmpty())
            return folder;
    }
    return QDir::tempPath();
}
