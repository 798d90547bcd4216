#include "mainwindow/Announcer.h"

#include <QAccessibleWidget>
#include <QTimer>
#include <QWidget>

namespace {

constexpr const char *NoticeName = "announcement";
constexpr int NoticeMs = 3000;

QAccessibleInterface *noticeAccess(const QString &, QObject *object)
{
    auto *widget = qobject_cast<QWidget *>(object);
    if (widget && widget->objectName() == QLatin1String(NoticeName))
        return new QAccessibleWidget(widget, QAccessible::Notification);
    return nullptr;
}

} // namespace

Announcer::Announcer(QWidget *window)
    : QObject(window), m_window(window)
{
    static const bool installed = [] {
        QAccessible::installFactory(noticeAccess);
        return true;
    }();
    Q_UNUSED(installed);
}

void Announcer::announce(const QString &text)
{
    m_last = text;
    // Showing is the event a screen reader speaks.
    auto *notice = new QWidget(m_window);
    notice->setObjectName(QLatin1String(NoticeName));
    notice->setAttribute(Qt::WA_TransparentForMouseEvents);
    notice->setFocusPolicy(Qt::NoFocus);
    notice->setGeometry(0, 0, 1, 1);
    notice->setAccessibleName(text);
    notice->show();
    QTimer::singleShot(NoticeMs, notice, &QObject::deleteLater);
}
