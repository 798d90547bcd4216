#pragma once

#include <QObject>

class QSocketNotifier;

// SIGINT, SIGTERM and SIGHUP as a Qt signal on the main thread: the handler only writes to a pipe
// that the event loop watches. SIGTSTP (Ctrl-Z) and SIGCONT (fg) likewise, so that the program can
// pause its encoders, which run in process groups of their own, before it stops itself
// (stopSelf), and resume them when it is continued. A signal ignored when the program started
// (SIGHUP under nohup) stays ignored. One instance at a time; the previous handlers come back
// when it goes.
class StopSignals : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(StopSignals)

public:
    explicit StopSignals(QObject *parent = nullptr);
    ~StopSignals() override;

    // The first stop signal that arrived, or 0.
    int first() const { return m_first; }

    // What SIGTSTP would have done by default: stop the program, until SIGCONT.
    static void stopSelf();

signals:
    void received(int signal);
    void suspendRequested();
    void continued();

private:
    void drain();

    QSocketNotifier *m_notifier = nullptr;
    int m_first = 0;
};

class BatchReport;
class ConversionQueue;

// Ctrl-Z: the queue's encoders, in process groups of their own, pause before the program stops
// itself; fg resumes them. The report says both.
void pauseWithTheProgram(StopSignals &stops, ConversionQueue &queue, BatchReport &report);
