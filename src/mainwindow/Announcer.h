#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

// Says a change of state (paused, resumed, finished, failed, the next file of a queue) to screen
// readers once, as a notification that shows: a caption that changes on the bar is a description
// they do not read. Each announcement is a notice of its own, which draws nothing, lets the
// pointer through and goes a while later, so that a screen reader never takes it for one it has
// already heard.
class Announcer : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(Announcer)

public:
    explicit Announcer(QWidget *window);

    void announce(const QString &text);
    QString lastAnnounced() const { return m_last; }

private:
    QWidget *m_window;
    QString m_last;
};
