#pragma once

#include "engine/AVC.h"
#include "workflow/Conversion.h"

#include <QObject>
#include <QTimer>

// One conversion at a time with its own poll timer, job and progress meter; a batch runs several
// side by side on the one event loop.
class ConversionSlot : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(ConversionSlot)

public:
    enum class Outcome { Done, Failed, Cancelled };

    explicit ConversionSlot(QObject *parent = nullptr);

    // Starts the conversion of source to destination; false when nothing started (reason() says
    // why, and ended() does not follow).
    bool start(qsizetype item, const QString &preset, const QString &source, const QString &destination);
    // Stops this slot's encoder; ended(Cancelled) follows once it has gone.
    void cancel();
    // Suspends and resumes this slot's encoder; false when it was not running or not paused.
    bool pause() { return m_conversion.pause(); }
    bool resume() { return m_conversion.resume(); }
    bool paused() const { return m_conversion.paused(); }

    // Where the encoder is looked for; the program's own folder unless set.
    void setProgramFolder(const QString &folder) { m_job.setProgramFolder(folder); }

    bool busy() const { return m_conversion.running(); }
    qsizetype item() const { return m_item; }
    qint64 elapsedMs() const { return m_conversion.elapsedMs(); }
    std::optional<qint64> timeLeftMs() const { return m_conversion.timeLeftMs(); }
    // Why the latest run failed or did not start.
    QString reason() const { return m_conversion.lastMessage(); }

signals:
    void progressed(int percent);
    void ended(ConversionSlot::Outcome outcome);

private:
    QTimer m_timer1;
    AVC m_job;
    Conversion m_conversion;
    qsizetype m_item = -1;
};
