#include "update/ShellOpen.h"

#include <QDesktopServices>
#include <QUrl>

void ShellOpen(const QString &address)
{
    QDesktopServices::openUrl(QUrl::fromUserInput(address));
}
