#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <sys/types.h>

// The processes below one process, read from /proc.
namespace ProcessTree {

struct Process {
    pid_t pid;
    QString name; // the kernel's short name ("avformat.dll", "ffmpeg")
};

// This test's own process.
pid_t self();
// The living children of a process.
QList<pid_t> children(pid_t parent);
// Its first living child, or 0.
pid_t firstChild(pid_t parent);
// Every living descendant (children, their children, ...).
QList<Process> descendants(pid_t root);
// Every descendant, zombies included: empty once everything started below has ended and been
// collected.
QList<pid_t> below(pid_t root);
// Whether the process still runs (a zombie does not).
bool isRunning(pid_t pid);
// Gone, or a zombie nobody has collected yet.
inline bool isGone(pid_t pid) { return !isRunning(pid); }
// Every living process of this process namespace with this short name.
QList<pid_t> processesNamed(const QByteArray &name);

// A process's state letter ('R', 'S', 'T' when stopped, 'Z') and the processor ticks (user +
// system) it has used; '?' and -1 when it is gone.
struct Usage {
    char state = '?';
    qint64 ticks = -1;
};
Usage usage(pid_t pid);
// Whether the process has a handler of its own for the signal.
bool catches(pid_t pid, int signal);

// Kills a process and every process below it (a program a failed test left running).
void killWithDescendants(pid_t root);

} // namespace ProcessTree
