#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

// ffmpeg as the adapter's child: an argument vector (no shell), stdin the null device, and bound
// to the adapter's life, so that killing the adapter by name also ends the encoder.
class ChildProcess {
public:
    // Call first: blocks SIGTERM, SIGINT and SIGHUP (those not ignored), and the signal that
    // tells of the parent's end, so none is lost before wait(), restores SIGCHLD's default so the child can be reaped, and ignores SIGPIPE for the
    // adapter itself. Children get the original mask and SIGPIPE handling back.
    static void prepareSignals();
    // The adapter stops like on SIGTERM when the program that started it ends, however it ends
    // (kill -9 included). Call after prepareSignals().
    static void stopWithParent();

    // stdout and stderr are inherited unless outputFd / errorFd name other files.
    bool start(const std::string &program, const std::vector<std::string> &arguments, int outputFd = -1,
               int errorFd = -1);
    // What the child writes into a pipe of ours while wait() runs: take() gets each piece as it
    // arrives, quiet() is called when nothing came for a moment and once at the end.
    struct Output {
        int fd = -1;
        std::function<void(std::string_view)> take;
        std::function<void()> quiet;
    };

    // Waits for the end. A stop signal is passed on to the child, which is killed if it is still
    // there half a second later. Returns the status as a shell shows it (a signal n gives 128 + n).
    int wait(const Output &output);
    int wait();
    // Ends the child at once and reaps it.
    void kill();
    // A stop signal that has arrived and not been taken yet, or 0.
    static int pendingStopSignal();
    // The stop signal that arrived during wait(), or 0.
    int stopSignal() const { return m_stopSignal; }
    // The signal that ended the child, or 0 when it exited.
    int endSignal() const { return m_endSignal; }
    pid_t pid() const { return m_pid; }

private:
    int stop(int signal, const Output &output);
    int ended(int status);

    pid_t m_pid = -1;
    int m_stopSignal = 0;
    int m_endSignal = 0;
};
