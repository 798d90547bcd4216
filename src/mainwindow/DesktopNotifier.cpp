#include "mainwindow/DesktopNotifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QVariantMap>

void DesktopNotifier::notify(const QString &summary, const QString &body)
{
    if (const Handler sender = current()) {
        sender(summary, body);
        return;
    }
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QDBusMessage message = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    message << QStringLiteral("Zorvik Vidomar") << uint(0) << QStringLiteral("vidomar") << summary << body
            << QStringList() << QVariantMap() << int(-1);
    bus.asyncCall(message);
}
