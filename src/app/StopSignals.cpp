#include "app/StopSignals.h"

#include "app/BatchReport.h"
#include "workflow/ConversionQueue.h"

#include <QSocketNotifier>

#include <array>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::array<int, 5> Handled{SIGINT, SIGTERM, SIGHUP, SIGTSTP, SIGCONT};

int g_pipe[2] = {-1, -1};
std::array<struct sigaction, Handled.size()> g_previous{};
std::array<bool, Handled.size()> g_installed{};

void onSignal(int signal)
{
    const char byte = char(signal);
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &byte, 1);
}

} // namespace

StopSignals::StopSignals(QObject *parent)
    : QObject(parent)
{
    Q_ASSERT(g_pipe[0] < 0);
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        g_pipe[0] = g_pipe[1] = -1;
        return;
    }
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &StopSignals::drain);
    for (size_t i = 0; i < Handled.size(); ++i) {
        struct sigaction current {};
        if (::sigaction(Handled[i], nullptr, &current) != 0 || current.sa_handler == SIG_IGN)
            continue;
        struct sigaction action {};
        action.sa_handler = onSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        g_installed[i] = ::sigaction(Handled[i], &action, &g_previous[i]) == 0;
    }
}

StopSignals::~StopSignals()
{
    for (size_t i = 0; i < Handled.size(); ++i) {
        if (g_installed[i])
            ::sigaction(Handled[i], &g_previous[i], nullptr);
        g_installed[i] = false;
    }
    delete m_notifier;
    for (int &fd : g_pipe) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

void StopSignals::drain()
{
    char byte = 0;
    while (::read(g_pipe[0], &byte, 1) == 1) {
        if (byte == SIGTSTP) {
            emit suspendRequested();
            continue;
        }
        if (byte == SIGCONT) {
            emit continued();
            continue;
        }
        if (m_first == 0)
            m_first = byte;
        emit received(byte);
    }
}

void StopSignals::stopSelf()
{
    ::raise(SIGSTOP);
}

void pauseWithTheProgram(StopSignals &stops, ConversionQueue &queue, BatchReport &report)
{
    QObject::connect(&stops, &StopSignals::suspendRequested, [&queue, &report] {
        if (queue.pause())
            report.paused();
        StopSignals::stopSelf();
    });
    QObject::connect(&stops, &StopSignals::continued, [&queue, &report] {
        if (queue.resume())
            report.resumed();
    });
}
