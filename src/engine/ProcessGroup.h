#pragma once

#include <sys/types.h>

class QProcess;

// An encoder runs in a process group of its own (the adapter and the ffmpeg it starts), so that
// it can be paused and resumed as a whole without touching any other program, and so that a
// terminal's Ctrl-Z or Ctrl-C reaches the program, which then decides for its encoders.
namespace ProcessGroup {

// Call before start: the child leads a new process group.
void startOwnGroup(QProcess &process);
// Sends the signal to the group the process leads; to the process alone if it leads none.
// False when nothing received it.
bool signalGroup(pid_t leader, int signal);

} // namespace ProcessGroup
