#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <atomic>

// Runs one of the system's media tools (ffprobe, ffmpeg) to its end for what it says, within a
// bounded time and a bounded amount of output, so that a damaged or endless source cannot hold
// up or flood the program. Standard input is the null device; the two channels are kept apart.
namespace ToolProcess {

struct Limits {
    int timeoutMs = 20000;
    qint64 maxOutput = 8 * 1024 * 1024; // each channel
};

struct Result {
    bool started = false;
    bool timedOut = false;
    bool tooLarge = false;
    bool stopped = false; // its owner stopped it (StopWhen)
    int exitCode = -1; // -1 unless it ended on its own
    QByteArray output;
    QByteArray errors;

    bool ok() const { return started && !timedOut && !tooLarge && !stopped && exitCode == 0; }
    // Why the run did not give an answer, in words for the user; empty when ok().
    QString problem(const QString &tool) const;
};

Result run(const QString &program, const QStringList &arguments, const Limits &limits = {});

// While it lives, the runs on this thread end early once the flag is set: the tool is killed
// and its result is stopped. Work done aside (reading a source, measuring black bars) is stopped
// this way by its owner, through whatever reads the file.
class StopWhen {
public:
    explicit StopWhen(const std::atomic<bool> *stop);
    ~StopWhen();
    StopWhen(const StopWhen &) = delete;
    StopWhen &operator=(const StopWhen &) = delete;

private:
    const std::atomic<bool> *m_previous = nullptr;
};

// The tools the encoder adapter uses: VIDOMAR_FFMPEG when set (ffprobe beside it, when it is
// there), otherwise the names on the PATH.
QString ffmpeg();
QString ffprobe();

} // namespace ToolProcess
