#pragma once

#include <QList>
#include <QString>

#include <sys/types.h>

// The processes below one process, read from /proc.
namespace ProcessTree {

struct Process {
    pid_t pid;
    QString name; // the kernel's short name ("avformat.dll", "ffmpeg")
};

// Every living descendant (children, their children, ...); zombies are gone already.
QList<Process> descendants(pid_t root);
// Whether the process still runs (a zombie does not).
bool isRunning(pid_t pid);

} // namespace ProcessTree
