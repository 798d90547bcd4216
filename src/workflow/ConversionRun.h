#pragma once

#include "engine/AVC.h"
#include "workflow/Conversion.h"

#include <QObject>
#include <QTimer>

#include <optional>

// One conversion at a time with its own poll timer, job and conversion, the job's events wired to
// the conversion here and nowhere else. The window shows one; a queue runs several side by side on
// the one event loop.
class ConversionRun : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(ConversionRun)

public:
    enum class Outcome { Done, Failed, Cancelled };

    explicit ConversionRun(QObject *parent = nullptr);

    // Starts the conversion of source to destination; false when nothing started (reason() says
    // why, and ended() does not follow).
    // arguments: a line in place of the preset's (a target's); the options go on top of either.
    bool start(const QString &preset, const QString &source, const QString &destination,
               const ConversionOptions &options = {},
               const std::optional<QStringList> &arguments = std::nullopt);
    // Stops this run's encoder; ended(Cancelled) follows once it has gone.
    void cancel();
    // Suspends and resumes this run's encoder; false when it was not running or not paused.
    bool pause() { return m_conversion.pause(); }
    bool resume() { return m_conversion.resume(); }
    bool paused() const { return m_conversion.paused(); }

    bool busy() const { return m_conversion.running(); }
    // Wall time of the latest run without its pauses.
    qint64 elapsedMs() const { return m_conversion.elapsedMs(); }
    std::optional<qint64> timeLeftMs() const { return m_conversion.timeLeftMs(); }
    // Why the latest run failed or did not start.
    QString reason() const { return m_conversion.lastMessage(); }
    // The latest run never got going: its source was not found, or could not be read for its
    // options, or the options did not fit it.
    bool refused() const { return m_sourceMissing || m_conversion.refused(); }

    // The parts, for an owner that shows the conversion's own signals and messages.
    QTimer &timer() { return m_timer1; }
    AVC &job() { return m_job; }
    Conversion &conversion() { return m_conversion; }
    const Conversion &conversion() const { return m_conversion; }

signals:
    // Not while the run is being cancelled.
    void progressed(int percent);
    void ended(ConversionRun::Outcome outcome);

private:
    QTimer m_timer1;
    AVC m_job;
    Conversion m_conversion;
    bool m_sourceMissing = false;
};
