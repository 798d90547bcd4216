#pragma once

#include "engine/PausableClock.h"
#include "engine/ProgressMeter.h"
#include "workflow/ConversionOptions.h"
#include "workflow/EncoderWarning.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>
#include <memory>
#include <optional>

class AVC;
class AsideWork;
struct OptionPlan;
class TextNameLinks;

// One run of a preset over a job, the same for the window and the command line: applies the
// preset, reads the job's output into the progress meter and the time left, and reports how the
// run ended. The job's owner hands the job's events to the handlers below. Messages (the job's,
// a missing source) go through the MessageBoxes service, unless the owner takes them from
// message() instead.
class Conversion : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(Conversion)

public:
    explicit Conversion(AVC &job, QObject *parent = nullptr);
    ~Conversion() override;

    // Applies the preset and starts the encoder; false when nothing started (the reason has been
    // shown) or a run is still going. A run that is going keeps its meter. The options go on top
    // of the preset's own defaults; when they change the encoder's line the source is read first
    // (and its black bars measured) off the calling thread: the run counts as running from here,
    // the encoder starts once the read is done, and a source that cannot be read or options that
    // do not fit it end the run as refused(), naming the option and the file.
    bool start(const QString &preset, const QString &source, const QString &destination,
               const ConversionOptions &options = {});
    // A line in place of the preset's for the following starts (a target's); nothing: the preset's.
    void setArguments(const std::optional<QStringList> &arguments) { m_arguments = arguments; }
    // Stops this run's encoder; cancelled() follows once it has gone.
    void cancel();
    // Suspends and resumes the encoder; the paused span counts neither as elapsed nor in the time
    // left. False when the run was not in the state to do so.
    bool pause();
    bool resume();
    bool paused() const { return m_running && m_clock.isPaused(); }
    // Wall time of this run without its pauses.
    qint64 elapsedMs() const { return m_clock.elapsed(); }

    // From a start until the run's end is reported.
    bool running() const { return m_running; }
    // The source is being read before the encoder starts.
    bool reading() const { return m_running && m_reading; }
    // The latest run failed before its encoder started: the options did not fit the source as read.
    bool refused() const { return m_refused; }
    bool cancelling() const { return m_running && m_cancelling; }
    int percent() const { return m_meter.value(); }
    // Known once the encoder has reported how far it is.
    std::optional<qint64> timeLeftMs() const;
    const ProgressMeter &meter() const { return m_meter; }
    // The latest message about the run since its start: why it failed, when it did.
    QString lastMessage() const { return m_lastMessage; }
    // After a run that finished: what the user should know about its result, or empty: the
    // adapter found the result shorter than the converted part of the source.
    QString warning() const { return m_warning; }
    // The length the destination is expected to last, when the options trimmed the source.
    std::optional<double> expectedSpan() const { return m_span; }
    // Off: messages are only signalled, for an owner that says itself which run they are about.
    void setShowsMessages(bool shows) { m_showsMessages = shows; }
    AVC &job() const { return m_job; }

    // The job's events.
    void onDataOutput(const QString &strData, qint64 FileSize);
    void onComplete();
    void onFailed();
    void onCancelled();
    void onErrorEvent(const QString &ErrorMessage);

signals:
    void message(const QString &text);
    void progressed(int percent);
    // The source is missing or empty: the run is over, the encoder stopped, the message shown.
    void sourceMissing();
    void finished();
    void failed();
    void cancelled();

private:
    bool endRun();
    void say(const QString &text);
    // What the options need before the encoder can start.
    enum class Planned { Ready, Refused, NeedsReading };
    Planned planOptions(const QString &preset, const QString &source, const QString &encoderSource,
                        const ConversionOptions &options, QStringList &arguments);
    void readSource(const QString &preset, const QString &encoderSource, const QString &encoderDestination);
    void sourceRead(const OptionPlan &plan);
    bool launch(const QStringList &optionArguments);
    void keepDate() const;

    AVC &m_job;
    ProgressMeter m_meter;
    PausableClock m_clock;
    bool m_running = false;
    bool m_cancelling = false;
    bool m_showsMessages = true;
    QString m_lastMessage;
    QString m_warning;
    QStringList m_notes;           // what the options' plan says about the result
    std::optional<double> m_span;  // the trimmed length
    bool m_keepDate = false;
    QString m_source;
    QString m_destination;
    EncoderWarning m_encoderWarning;
    std::optional<QStringList> m_arguments;
    std::unique_ptr<TextNameLinks> m_links; // for a run whose names are not text
    // While the source is read: what the encoder then starts with.
    bool m_reading = false;
    bool m_refused = false;
    bool m_pauseWanted = false; // paused while reading: the encoder starts paused
    int m_readNumber = 0;       // which read a result answers; a stopped one is ignored
    std::shared_ptr<std::atomic<bool>> m_stopRead; // set: the read's tools end at once
    QString m_preset;
    QString m_encoderSource;
    QString m_encoderDestination;
    ConversionOptions m_effective;
    AsideWork *m_aside = nullptr;
};
