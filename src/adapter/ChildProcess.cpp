#include "ChildProcess.h"

#include "protocol/Protocol.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto StopGrace = std::chrono::milliseconds(500);
constexpr auto PollStep = std::chrono::milliseconds(200);
// How long the child's output may rest before an unfinished line is passed on.
constexpr int QuietMs = 50;
// Pieces read in one go, so that a flood of output still lets signals and the end be seen.
constexpr int PiecesPerRound = 16;
// Sent by the kernel when the program that started the adapter ends. A signal of its own, since
// the caller may ignore SIGHUP (nohup) or SIGTERM.
constexpr int ParentGone = SIGUSR1;

sigset_t g_stopSignals;
sigset_t g_originalMask;
struct sigaction g_originalPipe;

int shellStatus(int status)
{
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

// Waits for a signal of set at most for the given time; SIGCHLD wakes it when the child ends.
void waitForSignal(const sigset_t &set, std::chrono::nanoseconds limit, int *received = nullptr)
{
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(limit);
    const timespec timeout{static_cast<time_t>(seconds.count()), static_cast<long>((limit - seconds).count())};
    const int signal = sigtimedwait(&set, nullptr, &timeout);
    if (received)
        *received = signal;
}

// Reads what the pipe holds; false once it has ended.
bool readAvailable(int fd, const ChildProcess::Output &output)
{
    char buffer[4096];
    for (int piece = 0; piece < PiecesPerRound;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n > 0) {
            if (output.take)
                output.take(std::string_view(buffer, static_cast<std::size_t>(n)));
            ++piece;
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
        }
    }
    return true;
}

// After the child has ended: whatever is left in the pipe, then the end of the last line.
void drain(int fd, const ChildProcess::Output &output)
{
    if (fd < 0)
        return;
    while (readAvailable(fd, output)) {
        pollfd readable{fd, POLLIN, 0};
        // Only a process the child left behind can still hold the pipe open; it is not waited for.
        if (poll(&readable, 1, 0) <= 0)
            break;
    }
    if (output.quiet)
        output.quiet();
}

}

void ChildProcess::prepareSignals()
{
    sigemptyset(&g_stopSignals);
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        struct sigaction current;
        // A signal the caller ignores (nohup, a background job) stays ignored.
        if (sigaction(signal, nullptr, &current) == 0 && current.sa_handler != SIG_IGN)
            sigaddset(&g_stopSignals, signal);
    }
    sigaddset(&g_stopSignals, ParentGone);
    sigset_t blocked = g_stopSignals;
    sigaddset(&blocked, SIGCHLD);
    sigprocmask(SIG_BLOCK, &blocked, &g_originalMask);

    struct sigaction defaultAction {};
    defaultAction.sa_handler = SIG_DFL;
    sigaction(SIGCHLD, &defaultAction, nullptr);
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGPIPE, &ignore, &g_originalPipe);
}

void ChildProcess::stopWithParent()
{
    const pid_t parent = getppid();
    prctl(PR_SET_PDEATHSIG, ParentGone);
    // The parent may have gone before the request took effect.
    if (getppid() != parent)
        raise(ParentGone);
}

bool ChildProcess::start(const std::string &program, const std::vector<std::string> &arguments, int outputFd,
                         int errorFd)
{
    std::vector<std::string> strings{program};
    strings.insert(strings.end(), arguments.begin(), arguments.end());
    std::vector<char *> argv;
    for (std::string &s : strings)
        argv.push_back(s.data());
    argv.push_back(nullptr);
    const std::string failure = Protocol::OutputPrefix + std::string("cannot run ") + program + ": ";
    const int nullInput = open("/dev/null", O_RDONLY | O_CLOEXEC);
    const pid_t parent = getpid();

    m_pid = fork();
    if (m_pid == 0) {
        // SIGKILL: the adapter is gone, nobody would keep or remove the output anyway.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent)
            _exit(127);
        if (nullInput >= 0)
            dup2(nullInput, STDIN_FILENO);
        if (outputFd >= 0)
            dup2(outputFd, STDOUT_FILENO);
        if (errorFd >= 0)
            dup2(errorFd, STDERR_FILENO);
        sigaction(SIGPIPE, &g_originalPipe, nullptr);
        sigprocmask(SIG_SETMASK, &g_originalMask, nullptr);
        execv(program.c_str(), argv.data());
        const char *reason = strerror(errno);
        [[maybe_unused]] ssize_t n = write(STDERR_FILENO, failure.data(), failure.size());
        n = write(STDERR_FILENO, reason, strlen(reason));
        n = write(STDERR_FILENO, "\n", 1);
        _exit(127);
    }
    const int forkError = errno;
    if (nullInput >= 0)
        close(nullInput);
    errno = forkError;
    return m_pid > 0;
}

int ChildProcess::wait()
{
    return wait(Output());
}

int ChildProcess::wait(const Output &output)
{
    int fd = output.fd;
    if (fd >= 0)
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    sigset_t set = g_stopSignals;
    sigaddset(&set, SIGCHLD);
    for (;;) {
        int status = 0;
        const pid_t pid = waitpid(m_pid, &status, WNOHANG);
        if (pid == m_pid) {
            drain(fd, output);
            return ended(status);
        }
        if (pid < 0 && errno != EINTR) {
            drain(fd, output);
            return 127;
        }
        int signal = -1;
        if (fd >= 0) {
            // The pipe wakes the wait; stop signals are looked for after each turn.
            pollfd readable{fd, POLLIN, 0};
            const int ready = poll(&readable, 1, QuietMs);
            if (ready > 0 && !readAvailable(fd, output))
                fd = -1;
            if ((ready == 0 || fd < 0) && output.quiet)
                output.quiet();
            waitForSignal(g_stopSignals, std::chrono::nanoseconds(0), &signal);
        } else {
            waitForSignal(set, PollStep, &signal);
        }
        if (signal > 0 && sigismember(&g_stopSignals, signal))
            return stop(signal, Output{fd, output.take, output.quiet});
    }
}

void ChildProcess::kill()
{
    ::kill(m_pid, SIGKILL);
    while (waitpid(m_pid, nullptr, 0) < 0 && errno == EINTR) {
    }
}

int ChildProcess::pendingStopSignal()
{
    sigset_t pending;
    sigpending(&pending);
    for (int signal : {SIGTERM, SIGINT, SIGHUP, ParentGone}) {
        if (sigismember(&g_stopSignals, signal) && sigismember(&pending, signal))
            return signal;
    }
    return 0;
}

int ChildProcess::ended(int status)
{
    m_endSignal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    return shellStatus(status);
}

int ChildProcess::stop(int signal, const Output &output)
{
    m_stopSignal = signal;
    ::kill(m_pid, signal == ParentGone ? SIGTERM : signal);
    sigset_t childSignal;
    sigemptyset(&childSignal);
    sigaddset(&childSignal, SIGCHLD);
    const auto deadline = Clock::now() + StopGrace;
    for (;;) {
        int status = 0;
        if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
            drain(output.fd, output);
            return ended(status);
        }
        const auto left = deadline - Clock::now();
        if (left <= Clock::duration::zero())
            break;
        waitForSignal(childSignal, left);
    }
    // ffmpeg blocked in a read (a stalled source) does not see SIGTERM.
    ::kill(m_pid, SIGKILL);
    int status = 0;
    while (waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
    }
    drain(output.fd, output);
    return ended(status);
}
