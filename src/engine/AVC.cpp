#include "engine/AVC.h"

#include "engine/CommandLine.h"
#include "engine/FailureReason.h"
#include "engine/ProcessGroup.h"
#include "engine/SameFile.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTimer>

#include <csignal>
#include <utility>

namespace {

constexpr int TailLength = 4096;

} // namespace

AVC::AVC(QTimer *hostTimer, QObject *parent)
    : QObject(parent), m_timer(hostTimer), m_decoder(QStringDecoder::System)
{
    if (m_timer)
        connect(m_timer, &QTimer::timeout, this, &AVC::tick);
}

AVC::~AVC()
{
    if (m_timer)
        disconnect(m_timer, nullptr, this, nullptr);
    dropProcess();
}

// Asked to stop, the encoder removes its partial output; one still there after the grace period
// is killed.
void AVC::stopWithGrace(QProcess *process)
{
    process->terminate();
    // The timer belongs to the process: a process already gone and released takes it along.
    QTimer::singleShot(StopGraceMs, process, [process] {
        if (process->state() != QProcess::NotRunning)
            process->kill();
    });
}

// Lets go of this job's process without waiting for it: one that still runs (the job is going, or
// a run whose poll stopped left it) is stopped with grace and reaped once it has gone. The
// application holds it meanwhile, and reaps it at the latest when it ends.
void AVC::dropProcess()
{
    if (!m_process)
        return;
    // A paused encoder could not act on the stop.
    continueEncoder();
    QProcess *process = std::exchange(m_process, nullptr);
    process->disconnect(this);
    if (process->state() == QProcess::NotRunning) {
        process->deleteLater();
        return;
    }
    QCoreApplication *application = QCoreApplication::instance();
    if (!application || application->thread() != process->thread()) {
        // Nothing outlives the job on this thread: its own destructor kills and reaps it.
        process->terminate();
        process->waitForFinished(StopGraceMs);
        return;
    }
    process->setParent(application);
    connect(process, &QProcess::finished, process, &QObject::deleteLater);
    stopWithGrace(process);
}

QString AVC::programFolder() const
{
    return m_programFolder.isEmpty() ? QCoreApplication::applicationDirPath() : m_programFolder;
}

bool AVC::encoderRunning() const
{
    return m_process && m_process->state() != QProcess::NotRunning;
}

void AVC::ConvertMedia(bool OverWrite)
{
    // One process and one pipe: a second start while the first runs is refused.
    if (m_state == State::Polling && encoderRunning()) {
        emit ErrorEvent(QStringLiteral("A conversion is already running"));
        return;
    }
    m_fileSize = 0;
    if (m_sourceFile.isEmpty()) {
        emit ErrorEvent(QStringLiteral("No source filename defined"));
        return;
    }
    if (m_destFile.isEmpty()) {
        emit ErrorEvent(QStringLiteral("No destination filename defined"));
        return;
    }
    if (isSameFile(m_sourceFile, m_destFile)) {
        emit ErrorEvent(QStringLiteral("The destination file is the source file itself; choose another destination"));
        return;
    }

    const QString options = m_settings.options(OverWrite);
    const QString encoderPath = programFolder() + QLatin1Char('/') + QLatin1String(EncoderName);
    QString mark = m_settings.asWritten() ? QLatin1String(" ") + QLatin1String(Protocol::AsWritten) : QString();
    if (m_span)
        mark += QStringLiteral(" %1 %2").arg(QLatin1String(Protocol::Span), QString::number(*m_span, 'f', 3));
    if (const QStringList &block = m_settings.optionArguments(); !block.isEmpty())
        mark += QStringLiteral(" %1 %2 ").arg(QLatin1String(Protocol::Options)).arg(block.size())
            + CommandLine::joinCommandLine(block);
    m_commandLine = CommandLine::quoteIfNeeded(encoderPath) + mark
        + QLatin1String(" -i ") + CommandLine::quote(m_sourceFile)
        + QLatin1Char(' ') + options + CommandLine::quote(m_destFile);

    const QFileInfo encoder(encoderPath);
    if (!encoder.isFile() || encoder.isHidden())
        emit ErrorEvent(QLatin1String("Unable to locate ") + QLatin1String(EncoderName));
    else
        StartEncoder(m_commandLine);

    const QFileInfo source(m_sourceFile);
    if (source.isFile() && source.isReadable())
        m_fileSize = source.size();
    else if (source.exists() && !source.isFile() && !source.isDir() && source.isReadable())
        m_fileSize = StreamSize;
}

void AVC::StartEncoder(const QString &commandLine)
{
    QStringList arguments = CommandLine::splitCommandLine(commandLine);
    if (arguments.isEmpty())
        return;
    dropProcess();
    m_cancelRequested = false;
    m_process = new QProcess(this);
    m_process->setProcessChannelMode(QProcess::MergedChannels);
    m_process->setStandardInputFile(QProcess::nullDevice());
    m_process->setProgram(arguments.takeFirst());
    m_process->setArguments(arguments);
    ProcessGroup::startOwnGroup(*m_process);
    m_paused = false;
    m_decoder.resetState();
    m_tail.clear();
    // The end is picked up at once rather than on the next regular tick, as long as the poll runs.
    connect(m_process, &QProcess::finished, this, [this] {
        if (m_timer && m_timer->isActive())
            QMetaObject::invokeMethod(this, &AVC::tick, Qt::QueuedConnection);
    });
    // A process that cannot be started reports it on the next tick, as a failed run.
    m_process->start(QIODevice::ReadOnly);

    m_state = State::Polling;
    if (m_timer) {
        const qint64 interval = qint64(m_sizeRatio) * 300;
        if (interval > 0 && interval <= std::numeric_limits<int>::max()) {
            m_timer->setInterval(int(interval));
            m_timer->start();
        } else {
            m_timer->stop();
        }
    }
}

void AVC::CancelConvert()
{
    if (!encoderRunning())
        return;
    m_cancelRequested = true;
    continueEncoder();
    stopWithGrace(m_process);
}

bool AVC::pauseEncoder()
{
    if (m_paused || m_cancelRequested || !encoderRunning())
        return false;
    m_paused = ProcessGroup::signalGroup(pid_t(m_process->processId()), SIGSTOP);
    return m_paused;
}

bool AVC::resumeEncoder()
{
    if (!m_paused)
        return false;
    continueEncoder();
    return true;
}

void AVC::continueEncoder()
{
    if (!m_paused)
        return;
    m_paused = false;
    if (m_process)
        ProcessGroup::signalGroup(pid_t(m_process->processId()), SIGCONT);
}

void AVC::tick()
{
    // Handlers may open modal boxes; ticks that fall due meanwhile are skipped.
    if (m_inTick || m_state != State::Polling)
        return;
    m_inTick = true;
    const QPointer<AVC> alive(this);

    // Without a source size the poll stops after its first read: one chunk, one event.
    if (m_fileSize < 1) {
        if (m_timer)
            m_timer->stop();
        m_state = State::Stopped;
        QString text = m_process ? m_decoder.decode(m_process->read(ChunkSize)) : QString();
        text.remove(QChar(0));
        emit DataOutput(text, m_fileSize);
        if (!alive)
            return;
        emit Converting();
        if (!alive)
            return;
        m_inTick = false;
        return;
    }

    const bool ended = !m_process || m_process->state() == QProcess::NotRunning;
    const QByteArray bytes = m_process ? m_process->readAll() : QByteArray();
    // A tick always hands on at least one chunk, empty when nothing arrived meanwhile.
    if (!bytes.isEmpty() || !ended) {
        handOn(bytes);
        if (!alive)
            return;
    }
    if (ended) {
        // The end of the output reads as an empty chunk, as a failed read did.
        emit DataOutput(QString(), m_fileSize);
        if (!alive)
            return;
        emit Converting();
        if (!alive)
            return;
        endRun();
        return;
    }
    m_inTick = false;
}

void AVC::handOn(const QByteArray &bytes)
{
    QString text = m_decoder.decode(bytes);
    text.remove(QChar(0));
    m_tail += text;
    if (m_tail.size() > TailLength)
        m_tail = m_tail.right(TailLength);

    const QPointer<AVC> alive(this);
    qsizetype pos = 0;
    do {
        qsizetype length = std::min<qsizetype>(ChunkSize, text.size() - pos);
        // Keep a surrogate pair in one chunk.
        if (length == ChunkSize && text.at(pos + length - 1).isHighSurrogate())
            --length;
        emit DataOutput(text.mid(pos, length), m_fileSize);
        if (!alive)
            return;
        emit Converting();
        if (!alive)
            return;
        pos += length;
    } while (pos < text.size());
}

QString AVC::failureReason() const
{
    if (!m_process)
        return QStringLiteral("the encoder did not run");
    if (m_process->error() == QProcess::FailedToStart)
        return QStringLiteral("the encoder could not be started (%1)").arg(m_process->errorString());
    // Killed from outside: whatever it printed last was cut short, and the signal is the reason.
    if (m_process->exitStatus() == QProcess::CrashExit)
        return FailureReason::killedBy(m_process->exitCode());
    const QString line = FailureReason::tellingLine(m_tail);
    if (!line.isEmpty())
        return line;
    return QStringLiteral("the encoder exited with code %1").arg(m_process->exitCode());
}

void AVC::endRun()
{
    const bool success = m_process && m_process->error() != QProcess::FailedToStart
        && m_process->exitStatus() == QProcess::NormalExit && m_process->exitCode() == 0;
    const bool cancelled = !success && m_cancelRequested;
    const QPointer<AVC> alive(this);
    if (!success && !cancelled) {
        emit ErrorEvent(QLatin1String("Conversion failed: ") + failureReason());
        if (!alive)
            return;
    }
    if (m_timer)
        m_timer->stop();
    dropProcess();
    m_settings.clear();
    m_sourceFile.clear();
    m_destFile.clear();
    m_span.reset();
    m_state = State::Idle;
    m_inTick = false;
    if (success)
        emit Complete();
    else if (cancelled)
        emit Cancelled();
    else
        emit Failed();
}
