#pragma once

#include "common/ReplaceableHandler.h"

#include <QString>

// A desktop notification for the end of a conversion that the user is not watching. Sent over the
// session bus to the notification service; silently nothing when there is none. An installed
// handler sends instead (tests record).
class DesktopNotifier : public ReplaceableHandler<DesktopNotifier, void(const QString &summary, const QString &body)> {
public:
    DesktopNotifier() = delete;

    static void notify(const QString &summary, const QString &body);
};
