#include "workflow/Conversion.h"

#include "common/MessageBoxes.h"
#include "engine/AVC.h"
#include "workflow/FileNameBytes.h"
#include "workflow/Presets.h"
#include "workflow/SourceCheck.h"
#include "workflow/TextNameLinks.h"

#include <cmath>

namespace {

// A result shorter than this share of the source's stated duration is worth a word.
constexpr double EarlyEndShare = 0.9;

// "0:00.16": minutes, seconds and hundredths.
QString clockWithHundredths(double seconds)
{
    const qint64 hundredths = std::llround(seconds * 100.0);
    return QStringLiteral("%1:%2.%3")
        .arg(hundredths / 6000)
        .arg(hundredths / 100 % 60, 2, 10, QLatin1Char('0'))
        .arg(hundredths % 100, 2, 10, QLatin1Char('0'));
}

} // namespace

Conversion::Conversion(AVC &job, QObject *parent)
    : QObject(parent), m_job(job)
{
}

Conversion::~Conversion() = default;

bool Conversion::start(const QString &preset, const QString &source, const QString &destination)
{
    if (m_running)
        return false;
    m_lastMessage.clear();
    m_warning.clear();
    if (const std::optional<QString> problem = SourceCheck::problem(source)) {
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
    int ratio = 0;
    ConvertAVI(m_job, preset, encoderSource, encoderDestination, &ratio, m_arguments ? &*m_arguments : nullptr);
    if (m_job.state() != AVC::State::Polling) {
        m_links.reset();
        return false;
    }
    m_meter.reset(ratio);
    m_clock.start();
    m_running = true;
    m_cancelling = false;
    return true;
}

void Conversion::cancel()
{
    if (!m_running)
        return;
    m_cancelling = true;
    m_clock.resume();
    m_job.CancelConvert();
}

bool Conversion::pause()
{
    if (!m_running || m_cancelling || !m_job.pauseEncoder())
        return false;
    m_clock.pause();
    return true;
}

bool Conversion::resume()
{
    if (!m_running || !m_job.resumeEncoder())
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
    m_links.reset();
    m_clock.resume();
    return true;
}

QString Conversion::shortfall() const
{
    const std::optional<double> duration = m_meter.duration();
    const std::optional<double> time = m_meter.time();
    if (!duration || !time || *time >= *duration * EarlyEndShare)
        return QString();
    return QStringLiteral("the source ended early, at %1 of %2")
        .arg(clockWithHundredths(*time), clockWithHundredths(*duration));
}

void Conversion::onComplete()
{
    if (!m_running)
        return;
    m_warning = shortfall();
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
    say(ErrorMessage);
}

void Conversion::say(const QString &text)
{
    m_lastMessage = text;
    emit message(text);
    if (m_showsMessages)
        MessageBoxes::show(text);
}
