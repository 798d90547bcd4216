#pragma once

#include "mainwindow/RunLook.h"

#include <QObject>

#include <functional>

class Announcer;
class QWidget;
class WindowQueue;
struct FormControls;

// Convert, Stop and Pause over the workflow's runner, for one file as for many: the file in the
// fields is a queue of one. What the window shows of a run (Stop on Convert, read-only fields,
// the bar's figure and caption, Pause) comes from the runner's state; when a run ends it says so
// on the bar, in a desktop notification when the window is not watched, and for a queue in one
// box when something failed. Closing asks while something converts, and waits for it to stop.
class RunController : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(RunController)

public:
    RunController(QWidget &window, FormControls &controls, WindowQueue &queue);

    // Convert: the queue, else the file in the fields; while something converts, asks to stop it.
    void convert();
    // Asked before a Convert starts anything: true when it has said why nothing may start.
    void setRefusal(std::function<bool()> refuses) { m_refuses = std::move(refuses); }
    // Asks whether to stop what converts, and stops it on Yes.
    void askToStop();
    void togglePause();
    // Ctrl-Z in the terminal: the encoders pause with the program and go on when it is continued;
    // what the user paused stays paused.
    void suspend(bool suspend);
    // Stops what converts without asking, and closes the window once it has stopped.
    void stopAndClose();
    // The system asked the window to close (a stop signal): what is left stays to be offered.
    bool closedBySignal() const { return m_closedBySignal; }
    // Whether the window may close now; if not, it closes once the run has stopped (or the user
    // said No).
    bool mayClose();

    // The fields, the bar and Pause as the queue and the runner stand.
    void refresh();

signals:
    // The queue of several files is there to be shown, or no longer.
    void queueShown(bool shown);

private:
    void convertFields();
    void runEnded();
    void singleEnded();
    void queueEnded();
    void showPause();
    void showIdleBar(const QString &caption);
    void showBar(int percent, const QString &caption);
    void notifyIfUnwatched(const QString &summary, const QString &body);
    void closeIfAsked();
    void enableBrowsing(bool enabled);

    QWidget &m_window;
    FormControls &m_controls;
    WindowQueue &m_queue;
    RunLook m_look;
    Announcer *m_announcer = nullptr;
    // The queue's "File N of M" last said, so that each file is said once as it starts.
    QString m_announcedStep;
    bool m_closeWhenStopped = false;
    bool m_closedBySignal = false;
    bool m_suspendedBySignal = false; // paused by Ctrl-Z, not by the user
    std::function<bool()> m_refuses;
};
