#pragma once

#include <QList>
#include <QString>

#include <sys/types.h>

// Terminates processes by executable name, as the encoder's cancellation requires: every process
// of this user whose executable name ends in the given name (case-insensitive), whoever started it.
namespace ProcessKiller {

// The processes of this user (other than this one) whose name matches.
QList<pid_t> findByName(const QString &name);

// Asks each match to stop (SIGTERM, so the encoder can remove its partial output), waits up to
// graceMs for them to be gone, then kills what is left. Failures are ignored. Returns the number
// of processes found.
int killByName(const QString &name, int graceMs = 2000);

} // namespace ProcessKiller
