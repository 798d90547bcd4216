#pragma once

#include <QList>
#include <QPoint>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <memory>

class Xdo;

// The program under test on an X server, with a home of its own and no session bus, so that
// nothing reaches the desktop of whoever runs the tests. Ending it ends all it started.
class ProgramOnDisplay {
public:
    ProgramOnDisplay() = default;
    ProgramOnDisplay(const ProgramOnDisplay &) = delete;
    ProgramOnDisplay &operator=(const ProgramOnDisplay &) = delete;
    ~ProgramOnDisplay();

    // Starts it with its home under `caseFolder` and waits for its one main window: the window,
    // or 0 with error() set. `settings` are added to its environment.
    quint64 start(const QString &program, const QStringList &arguments, const QString &display, const Xdo &xdo,
                  const QString &caseFolder, const QProcessEnvironment &settings);
    // Clicks the window's close button; true when the program then ended cleanly (a sanitizer's
    // report would make the exit fail).
    bool close(const Xdo &xdo, QPoint closeButton);
    // Kills it and all below it; shows its output when the case failed.
    void stop();

    QProcess *process() const { return m_process.get(); }
    pid_t pid() const { return pid_t(m_process->processId()); }
    // The processes it started, at any depth, that have one of these names ("avformat.dll").
    QList<pid_t> running(const QStringList &names) const;
    QString error() const { return m_error; }

    // The caption of the program's main window, as a pattern for Xdo.
    static QString mainWindowName();

private:
    std::unique_ptr<QProcess> m_process;
    QString m_error;
};
