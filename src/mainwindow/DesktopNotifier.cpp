#include "mainwindow/DesktopNotifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QVariantMap>

namespace DesktopNotifier {

namespace {

Handler &current()
{
    static Handler handler;
    return handler;
}

} // namespace

Handler install(Handler handler)
{
    Handler previous = std::move(current());
    current() = std::move(handler);
    return previous;
}

void notify(const QString &summary, const QString &body)
{
    if (current()) {
        current()(summary, body);
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

} // namespace DesktopNotifier
