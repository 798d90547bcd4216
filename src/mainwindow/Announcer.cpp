#include "mainwindow/Announcer.h"

#include <QAccessibleWidget>

namespace {

class AnnouncerAccess : public QAccessibleWidget {
public:
    explicit AnnouncerAccess(QWidget *widget)
        : QAccessibleWidget(widget, QAccessible::Notification)
    {
    }
};

QAccessibleInterface *announcerAccess(const QString &key, QObject *object)
{
    if (key == QLatin1String("Announcer"))
        if (auto *widget = qobject_cast<Announcer *>(object))
            return new AnnouncerAccess(widget);
    return nullptr;
}

} // namespace

Announcer::Announcer(QWidget *parent)
    : QWidget(parent)
{
    static const bool installed = [] {
        QAccessible::installFactory(announcerAccess);
        return true;
    }();
    Q_UNUSED(installed);
    setObjectName(QStringLiteral("announcer"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(0, 0, 1, 1);
    hide();
}

void Announcer::announce(const QString &text)
{
    // Showing is the event a screen reader speaks; it hides again at once, ready for the next.
    hide();
    setAccessibleName(text);
    show();
}
