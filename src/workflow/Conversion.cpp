#include "workflow/Conversion.h"

#include "common/MessageBoxes.h"
#include "engine/AVC.h"
#include "workflow/AsideWork.h"
#include "workflow/FileNameBytes.h"
#include "workflow/OptionPlan.h"
#include "workflow/FolderOfDestination.h"
#include "workflow/Presets.h"
#include "workflow/PathText.h"
#include "workflow/SourceCheck.h"
#include "workflow/TextNameLinks.h"
#include "workflow/ToolProcess.h"

#include <QFileInfo>

#include <cerrno>
#include <cmath>
#include <utility>
#include <fcntl.h>
#include <sys/stat.h>


Conversion::Conversion(AVC &job, QObject *parent)
    : QObject(parent), m_job(job), m_aside(new AsideWork(this))
{
}

Conversion::~Conversion()
{
    // A read still going ends at once; the helper then waits for it.
    if (m_stopRead)
        *m_stopRead = true;
}

bool Conversion::start(const QString &preset, const QString &source, const QString &destination,
                       const ConversionOptions &options)
{
    if (m_running)
        return false;
    m_lastMessage.clear();
    m_warning.clear();
    m_notes.clear();
    m_span.reset();
    m_encoderWarning.reset();
    m_refused = false;
    if (const std::optional<QString> problem = SourceCheck::problem(source)) {
        say(*problem);
        return false;
    }
    if (const std::optional<QString> problem = PathText::destinationProblem(destination)) {
        say(*problem);
        return false;
    }
    if (const std::optional<QString> problem = FolderOfDestination::make(destination)) {
        say(*problem);
        return false;
    }
    QString encoderSource = SourceCheck::forEncoder(source);
    QString encoderDestination = destination;
    m_links.reset();
    // An empty name is the job's to refuse.
    const bool bothNamed = !encoderSource.isEmpty() && !destination.isEmpty();
    if (bothNamed && (!FileNameBytes::isText(encoderSource) || !FileNameBytes::isText(destination))) {
        m_links = TextNameLinks::make(encoderSource, destination);
        if (!m_links) {
            say(QStringLiteral("The name is not valid text, and no link to it could be made."));
            return false;
        }
        encoderSource = m_links->source();
        encoderDestination = m_links->destination();
    }
    QStringList optionArguments;
    m_reading = false;
    m_pauseWanted = false;
    m_preset = preset;
    m_source = source;
    m_destination = destination;
    switch (planOptions(preset, source, encoderSource, options, optionArguments)) {
    case Planned::Refused:
        m_links.reset();
        return false;
    case Planned::NeedsReading:
        readSource(preset, encoderSource, encoderDestination);
        return true;
    case Planned::Ready:
        break;
    }
    m_encoderSource = encoderSource;
    m_encoderDestination = encoderDestination;
    if (!launch(optionArguments)) {
        m_links.reset();
        return false;
    }
    m_clock.start();
    m_running = true;
    m_cancelling = false;
    return true;
}

// The encoder with the options' block; false when the job did not start (it has said why).
bool Conversion::launch(const QStringList &optionArguments)
{
    int ratio = 0;
    m_job.setExpectedSpan(m_span);
    ConvertAVI(m_job, m_preset, m_encoderSource, m_encoderDestination, &ratio, optionArguments,
               m_arguments ? &*m_arguments : nullptr);
    if (m_job.state() != AVC::State::Polling)
        return false;
    m_meter.reset(ratio);
    if (m_span)
        m_meter.expectSpan(*m_span);
    return true;
}

// Reading a source (ffprobe) and measuring its black bars take seconds on a large file: they run
// aside, and the run counts as going meanwhile, so that Stop and Pause work as on a running one.
void Conversion::readSource(const QString &preset, const QString &encoderSource, const QString &encoderDestination)
{
    m_encoderSource = encoderSource;
    m_encoderDestination = encoderDestination;
    m_reading = true;
    m_running = true;
    m_cancelling = false;
    m_meter.reset(0);
    m_clock.start();
    const int number = ++m_readNumber;
    const Preset *chosen = Presets::find(preset);
    m_stopRead = std::make_shared<std::atomic<bool>>(false);
    m_aside->run<OptionPlan>(
        [effective = m_effective, facts = OptionPlan::PresetFacts::of(*chosen), encoderSource, stop = m_stopRead,
         name = QFileInfo(FileNameBytes::shown(m_source)).fileName()] {
            const ToolProcess::StopWhen stopping(stop.get());
            SourceInfo sourceInfo = SourceInfo::read(encoderSource);
            sourceInfo.name = name;
            return OptionPlan::make(effective, sourceInfo, facts);
        },
        [this, number](OptionPlan plan) {
            if (number == m_readNumber)
                sourceRead(plan);
        });
}

void Conversion::sourceRead(const OptionPlan &plan)
{
    m_reading = false;
    // Until the encoder runs, an end is a refusal: the job may say so while it starts.
    m_refused = true;
    if (plan.refused()) {
        say(plan.refusal);
    } else {
        m_notes = plan.notes;
        if (m_effective.trims())
            m_span = plan.spanSeconds;
        if (launch(plan.arguments)) {
            m_refused = false;
            if (m_pauseWanted)
                m_job.pauseEncoder();
            return;
        }
    }
    if (endRun())
        emit failed();
}

// The options over the preset's defaults, made concrete for the source: Ready with the option
// block when the line needs nothing of the source, NeedsReading when it does, Refused (said) when
// they cannot be used.
Conversion::Planned Conversion::planOptions(const QString &preset, const QString &source, const QString &encoderSource,
                                            const ConversionOptions &options, QStringList &arguments)
{
    m_keepDate = false;
    arguments.clear();
    const Preset *chosen = Presets::find(preset);
    // An unknown preset is ConvertAVI's to report.
    if (!chosen)
        return Planned::Ready;
    m_effective = chosen->options.overriddenBy(options);
    m_keepDate = m_effective.keepsDate();
    if (!m_effective.changesLine())
        return Planned::Ready;
    struct stat info {};
    // A missing source is the run's to report, as it always has been.
    if (::stat(FileNameBytes::encode(encoderSource).constData(), &info) != 0 && errno == ENOENT)
        return Planned::Ready;
    if (!S_ISREG(info.st_mode)) {
        say(QStringLiteral("%1: the options (%2) need a file to read; this source is a stream.")
                .arg(QFileInfo(FileNameBytes::shown(source)).fileName(), m_effective.summary()));
        return Planned::Refused;
    }
    return Planned::NeedsReading;
}

// The destination takes the source's modification time, as a copy would.
void Conversion::keepDate() const
{
    struct stat source {};
    if (::stat(FileNameBytes::encode(m_source).constData(), &source) != 0 || !S_ISREG(source.st_mode))
        return;
    const struct timespec times[2] = {{0, UTIME_OMIT}, source.st_mtim};
    ::utimensat(AT_FDCWD, FileNameBytes::encode(m_destination).constData(), times, 0);
}

void Conversion::cancel()
{
    if (!m_running)
        return;
    if (m_reading) {
        // The read's tools end at once and its answer is ignored; the end is told from the event
        // loop, as an encoder's would be.
        if (std::exchange(m_cancelling, true))
            return;
        ++m_readNumber;
        *m_stopRead = true;
        m_clock.resume();
        QMetaObject::invokeMethod(this, [this] {
            if (endRun())
                emit cancelled();
        }, Qt::QueuedConnection);
        return;
    }
    m_cancelling = true;
    m_clock.resume();
    m_job.CancelConvert();
}

bool Conversion::pause()
{
    if (!m_running || m_cancelling || m_clock.isPaused())
        return false;
    if (m_reading)
        m_pauseWanted = true;
    else if (!m_job.pauseEncoder())
        return false;
    m_clock.pause();
    return true;
}

bool Conversion::resume()
{
    if (!m_running)
        return false;
    if (m_reading && m_pauseWanted)
        m_pauseWanted = false;
    else if (!m_job.resumeEncoder())
        return false;
    m_clock.resume();
    return true;
}

std::optional<qint64> Conversion::timeLeftMs() const
{
    if (!m_running)
        return std::nullopt;
    return m_meter.timeLeftMs(m_clock.elapsed());
}

void Conversion::onDataOutput(const QString &strData, qint64 FileSize)
{
    if (!m_running)
        return;
    if (FileSize > 0) {
        m_encoderWarning.feed(strData);
        emit progressed(m_meter.feed(strData, FileSize));
        return;
    }
    // The job's poll has stopped after this one chunk: one message, one cancel.
    m_running = false;
    m_links.reset();
    m_job.CancelConvert();
    say(QStringLiteral("The Source video file is not found!"));
    emit sourceMissing();
}

bool Conversion::endRun()
{
    if (!m_running)
        return false;
    m_running = false;
    m_cancelling = false;
    m_reading = false;
    m_links.reset();
    m_clock.resume();
    return true;
}

void Conversion::onComplete()
{
    if (!m_running)
        return;
    QStringList said = m_notes;
    if (const QString early = m_encoderWarning.warning(); !early.isEmpty())
        said << early;
    m_warning = said.join(QLatin1Char('\n'));
    if (m_keepDate)
        keepDate();
    if (endRun())
        emit finished();
}

void Conversion::onFailed()
{
    if (endRun())
        emit failed();
}

void Conversion::onCancelled()
{
    if (endRun())
        emit cancelled();
}

void Conversion::onErrorEvent(const QString &ErrorMessage)
{
    // The encoder knew the files by their links; the user knows them by their names.
    say(m_links ? m_links->asTheUserNamed(ErrorMessage) : ErrorMessage);
}

void Conversion::say(const QString &text)
{
    m_lastMessage = text;
    emit message(text);
    if (m_showsMessages)
        MessageBoxes::show(text, MessageBoxes::Critical); // every failure with its icon
}
