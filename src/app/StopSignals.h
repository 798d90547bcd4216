#pragma once

#include <QObject>

class QSocketNotifier;

// SIGINT, SIGTERM and SIGHUP as a Qt signal on the main thread: the handler only writes to a pipe
// that the event loop watches. A signal ignored when the program started (SIGHUP under nohup)
// stays ignored. One instance at a time; the previous handlers come back when it goes.
class StopSignals : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(StopSignals)

public:
    explicit StopSignals(QObject *parent = nullptr);
    ~StopSignals() override;

    // The first stop signal that arrived, or 0.
    int first() const { return m_first; }

signals:
    void received(int signal);

private:
    void drain();

    QSocketNotifier *m_notifier = nullptr;
    int m_first = 0;
};
