#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

// ffmpeg as the adapter's child: an argument vector (no shell), stdin the null device, and bound
// to the adapter's life, so that killing the adapter by name also ends the encoder.
class ChildProcess {
public:
    // Call first: blocks SIGTERM, SIGINT and SIGHUP (those not ignored) so none is lost before
    // wait(), restores SIGCHLD's default so the child can be reaped, and ignores SIGPIPE for the
    // adapter itself. Children get the original mask and SIGPIPE handling back.
    static void prepareSignals();

    // stdout and stderr are inherited unless outputFd / errorFd name other files.
    bool start(const std::string &program, const std::vector<std::string> &arguments, int outputFd = -1,
               int errorFd = -1);
    // Waits for the end. A stop signal is passed on to the child, which is killed if it is still
    // there half a second later. Returns the status as a shell shows it (a signal n gives 128 + n).
    int wait();
    // Ends the child at once and reaps it.
    void kill();
    // A stop signal that has arrived and not been taken yet, or 0.
    static int pendingStopSignal();
    // The stop signal that arrived during wait(), or 0.
    int stopSignal() const { return m_stopSignal; }
    pid_t pid() const { return m_pid; }

private:
    int stop(int signal);

    pid_t m_pid = -1;
    int m_stopSignal = 0;
};
