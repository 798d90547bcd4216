#pragma once

#include <QWidget>

// Says a change of state (paused, resumed, finished, failed, the next file of a queue) to screen
// readers once, as a notification that shows: a caption that changes on the bar is a description
// they do not read. It draws nothing and lets the pointer through.
class Announcer : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY(Announcer)

public:
    explicit Announcer(QWidget *parent);

    void announce(const QString &text);
    QString lastAnnounced() const { return accessibleName(); }
};
