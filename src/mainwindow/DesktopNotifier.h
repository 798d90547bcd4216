#pragma once

#include <QString>

#include <functional>

// A desktop notification for the end of a conversion that the user is not watching. Sent over the
// session bus to the notification service; silently nothing when there is none.
namespace DesktopNotifier {

void notify(const QString &summary, const QString &body);

using Handler = std::function<void(const QString &summary, const QString &body)>;
// Replaces the sender (for tests); returns the previous one.
Handler install(Handler handler);

} // namespace DesktopNotifier
