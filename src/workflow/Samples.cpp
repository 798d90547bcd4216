#include "workflow/Samples.h"

#include "engine/AVC.h"
#include "protocol/Protocol.h"
#include "workflow/FileNameBytes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>

#include <cmath>
#include <sys/stat.h>

namespace {

// Analysis runs are short; one that takes longer is stuck.
constexpr int AnalysisLimitMs = 120'000;
// A two-second sample of a slow preset on a large source still ends well within this.
constexpr int EncodeLimitMs = 600'000;
constexpr int StopGraceMs = 3000;
// A psnr of identical pictures is infinite; it counts as this.
constexpr double IdenticalPsnr = 100;

QString ffmpegProgram()
{
    const QString chosen = qEnvironmentVariable("VIDOMAR_FFMPEG");
    return chosen.isEmpty() ? QStringLiteral("ffmpeg") : chosen;
}

QString seconds(double value)
{
    return QString::number(value, 'f', 3);
}

// The last line a tool wrote, which says why it failed.
QString lastLine(const QByteArray &output)
{
    const QList<QByteArray> lines = output.trimmed().split('\n');
    const QString line = lines.isEmpty() ? QString() : QString::fromLocal8Bit(lines.last().trimmed());
    return line.section(QLatin1Char('\r'), -1).trimmed();
}

double rateOf(const QString &fraction)
{
    const double numerator = fraction.section(u'/', 0, 0).toDouble();
    const double denominator = fraction.contains(u'/') ? fraction.section(u'/', 1, 1).toDouble() : 1;
    return denominator > 0 ? numerator / denominator : 0;
}

} // namespace

Samples::Samples(QObject *parent)
    : QObject(parent)
{
    qRegisterMetaType<Samples::Measure>();
}

Samples::~Samples()
{
    if (m_process) {
        m_process->disconnect(this);
        m_process->kill();
        m_process->waitForFinished(StopGraceMs);
    }
}

QList<Samples::Span> Samples::layOut(double from, double duration)
{
    if (duration <= SampleSeconds)
        return {{from, duration}};
    // A sample for every two samples' length, so that a short span is not sampled over and over.
    const int count = std::clamp(int(duration / (2 * SampleSeconds)), 1, MostSamples);
    QList<Span> spans;
    for (int i = 0; i < count; ++i) {
        const double middle = from + duration * (i + 0.5) / count;
        spans.append({std::max(from, middle - SampleSeconds / 2), SampleSeconds});
    }
    return spans;
}

QString Samples::encoderPath() const
{
    const QString folder = m_programFolder.isEmpty() ? QCoreApplication::applicationDirPath() : m_programFolder;
    return folder + QLatin1Char('/') + QLatin1String(AVC::EncoderName);
}

void Samples::open(const QString &source, double from, double to)
{
    cancel();
    m_sourcePath = QFileInfo(source).absoluteFilePath();
    m_source = Source();
    m_spans.clear();
    m_blocks = {};
    m_work = Work::Opening;
    struct stat info {};
    if (::stat(FileNameBytes::encode(source).constData(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size == 0) {
        const QString reason = ::stat(FileNameBytes::encode(source).constData(), &info) != 0
            ? QStringLiteral("%1 is not found").arg(source)
            : QStringLiteral("%1 is not a file that can be read twice (a pipe, a device, /dev/stdin or an empty file); "
                             "samples need to seek in the source")
                  .arg(source);
        QTimer::singleShot(0, this, [this, reason] { fail(reason); });
        return;
    }
    m_folder = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/vidomar-samples-XXXXXX"));
    if (!m_folder->isValid()) {
        const QString reason = QStringLiteral("cannot make a folder for the samples: ") + m_folder->errorString();
        QTimer::singleShot(0, this, [this, reason] { fail(reason); });
        return;
    }
    m_steps = {{QStringLiteral("looking at the source"), QStringLiteral("ffprobe"),
                [this] {
                    return QStringList{"-v", "error", "-of", "json", "-show_format", "-show_streams", m_sourcePath};
                },
                true, AnalysisLimitMs,
                [this, from, to](const QByteArray &output, int exitCode) -> std::optional<QString> {
                    const QJsonObject root = QJsonDocument::fromJson(output).object();
                    if (exitCode != 0 || root.isEmpty())
                        return QStringLiteral("ffprobe cannot read the source");
                    const double duration = root.value("format").toObject().value("duration").toString().toDouble();
                    for (const QJsonValue &value : root.value("streams").toArray()) {
                        const QJsonObject stream = value.toObject();
                        const QString type = stream.value("codec_type").toString();
                        const bool cover = stream.value("disposition").toObject().value("attached_pic").toInt() == 1;
                        if (type == QLatin1String("video") && !cover && m_source.size.isEmpty()) {
                            m_source.size = QSize(stream.value("width").toInt(), stream.value("height").toInt());
                            m_source.frameRate = rateOf(stream.value("avg_frame_rate").toString());
                            if (m_source.frameRate <= 0)
                                m_source.frameRate = rateOf(stream.value("r_frame_rate").toString());
                        } else if (type == QLatin1String("audio") && !m_source.sound) {
                            m_source.sound = true;
                            m_source.soundBitrate = stream.value("bit_rate").toString().toLongLong();
                        }
                    }
                    const double end = to < 0 ? duration : std::min(to, duration);
                    if (!(duration > 0) || end - from <= 0)
                        return QStringLiteral("the source states no duration the samples could be spread over");
                    m_source.duration = end - from;
                    m_source.fileDuration = duration;
                    m_source.fileBytes = root.value("format").toObject().value("size").toString().toLongLong();
                    m_spans = layOut(from, m_source.duration);
                    return std::nullopt;
                }}};
    m_stepCount = int(m_steps.size());
    m_stepsDone = 0;
    runNext();
}

void Samples::measure(const QStringList &arguments, const QString &extension, bool asWritten, bool score, bool timed)
{
    Q_ASSERT(!m_spans.isEmpty());
    m_measure = Measure();
    m_measure.arguments = arguments;
    m_ssimWeight = 0;
    m_work = Work::Measuring;
    ++m_run;
    m_steps.clear();
    const int count = int(m_spans.size());
    Q_ASSERT(m_blocks.isEmpty() || m_blocks.samples.size() == m_spans.size());
    const auto encoderLine = [=, this](const Span &span, const QStringList &block, const QString &file) {
        QStringList line;
        if (asWritten)
            line << QLatin1String(Protocol::AsWritten);
        if (block.isEmpty())
            line << "-ss" << seconds(span.start) << "-t" << seconds(span.seconds);
        else
            line << QLatin1String(Protocol::Options) << QString::number(block.size()) << block;
        line << "-i" << m_sourcePath << "-y" << arguments << file;
        return line;
    };
    if (timed) {
        const QString file = m_folder->filePath(QStringLiteral("start-%1%2").arg(m_run).arg(extension));
        const Span first{m_spans.first().start, StartSeconds};
        m_steps.append({QStringLiteral("timing the encoder"), encoderPath(), [=, this] { return encoderLine(first, m_blocks.timing, file); }, false,
                        EncodeLimitMs, [this](const QByteArray &output, int exitCode) -> std::optional<QString> {
                            m_measure.startSeconds = m_clock.elapsed() / 1000.0;
                            if (exitCode != 0)
                                return QStringLiteral("the encoder failed: %1").arg(lastLine(output));
                            return std::nullopt;
                        }});
    }
    for (int i = 0; i < count; ++i) {
        const Span span = m_spans.at(i);
        const QString file = m_folder->filePath(QStringLiteral("sample-%1-%2%3").arg(m_run).arg(i + 1).arg(extension));
        const QString what = QStringLiteral(" sample %1 of %2").arg(i + 1).arg(count);
        m_steps.append({QStringLiteral("encoding") + what, encoderPath(),
                        [=, this] { return encoderLine(span, m_blocks.samples.value(i), file); },
                        false, EncodeLimitMs,
                        [=, this](const QByteArray &output, int exitCode) -> std::optional<QString> {
                            m_measure.encodeSeconds += m_clock.elapsed() / 1000.0;
                            m_measure.seconds += span.seconds;
                            m_measure.fileBytes += QFileInfo(file).size();
                            if (exitCode != 0 || !QFileInfo(file).isFile())
                                return QStringLiteral("the sample at %1 s failed: %2").arg(span.start).arg(lastLine(output));
                            return std::nullopt;
                        }});
        m_steps.append({QStringLiteral("measuring") + what, QStringLiteral("ffprobe"),
                        [=] {
                            return QStringList{"-v", "error", "-of", "json", "-show_entries",
                                               "stream=index,codec_type,width,height:packet=stream_index,size,flags", file};
                        },
                        true, AnalysisLimitMs,
                        [this](const QByteArray &output, int exitCode) -> std::optional<QString> {
                            const QJsonObject root = QJsonDocument::fromJson(output).object();
                            if (exitCode != 0 || root.isEmpty())
                                return QStringLiteral("ffprobe cannot read a sample");
                            QHash<int, QString> types;
                            for (const QJsonValue &value : root.value("streams").toArray()) {
                                const QJsonObject stream = value.toObject();
                                types.insert(stream.value("index").toInt(), stream.value("codec_type").toString());
                                if (stream.value("codec_type").toString() == QLatin1String("video"))
                                    m_measure.outputSize = QSize(stream.value("width").toInt(), stream.value("height").toInt());
                            }
                            bool first = true;
                            for (const QJsonValue &value : root.value("packets").toArray()) {
                                const QJsonObject packet = value.toObject();
                                const qint64 size = packet.value("size").toString().toLongLong();
                                const QString type = types.value(packet.value("stream_index").toInt());
                                if (type == QLatin1String("audio")) {
                                    m_measure.soundBytes += size;
                                } else if (type == QLatin1String("video")) {
                                    ++m_measure.videoFrames;
                                    (first ? m_measure.firstKeyBytes : m_measure.otherVideoBytes) += size;
                                    first = false;
                                }
                            }
                            return std::nullopt;
                        }});
        if (!score)
            continue;
        m_steps.append({QStringLiteral("scoring") + what, ffmpegProgram(),
                        [=, this] {
                            const QSize size = m_measure.outputSize;
                            // Both as 8-bit 4:2:0, the source cropped as the output is and scaled to
                            // its size: bars cut away are no loss. Burned-in subtitles are not in the
                            // source, so they count against the score where they stand.
                            const QString crop = m_blocks.crop.isEmpty() ? QString() : QStringLiteral("crop=%1,").arg(m_blocks.crop);
                            const QString graph =
                                QStringLiteral("[0:v]setpts=PTS-STARTPTS,format=yuv420p,split[a][b];"
                                               "[1:v]%3setpts=PTS-STARTPTS,scale=%1:%2:flags=bicubic,format=yuv420p,split[c][d];"
                                               "[a][c]ssim;[b][d]psnr")
                                    .arg(size.width())
                                    .arg(size.height())
                                    .arg(crop);
                            return QStringList{"-nostdin", "-hide_banner", "-i", file, "-ss", seconds(span.start), "-t",
                                               seconds(span.seconds), "-i", m_sourcePath, "-lavfi", graph, "-f", "null", "-"};
                        },
                        false, AnalysisLimitMs,
                        [=, this](const QByteArray &output, int exitCode) -> std::optional<QString> {
                            if (m_measure.outputSize.isEmpty())
                                return std::nullopt;
                            static const QRegularExpression ssim(QStringLiteral("SSIM .* All:([0-9.]+)"));
                            static const QRegularExpression psnr(QStringLiteral("PSNR .* average:([0-9.]+|inf)"));
                            const QString text = QString::fromLocal8Bit(output);
                            const QRegularExpressionMatch s = ssim.match(text);
                            const QRegularExpressionMatch p = psnr.match(text);
                            if (exitCode != 0 || !s.hasMatch() || !p.hasMatch())
                                return QStringLiteral("the sample at %1 s could not be scored: %2").arg(span.start).arg(lastLine(output));
                            const double psnrValue =
                                p.captured(1) == QLatin1String("inf") ? IdenticalPsnr : std::min(IdenticalPsnr, p.captured(1).toDouble());
                            // Weighted by length, so that a short last sample counts for what it is.
                            const double weight = span.seconds;
                            const double total = m_ssimWeight + weight;
                            m_measure.ssim = (m_measure.ssim.value_or(0) * m_ssimWeight + s.captured(1).toDouble() * weight) / total;
                            m_measure.psnr = (m_measure.psnr.value_or(0) * m_ssimWeight + psnrValue * weight) / total;
                            m_ssimWeight = total;
                            return std::nullopt;
                        }});
    }
    m_stepCount = int(m_steps.size());
    m_stepsDone = 0;
    runNext();
}

void Samples::picture(double at, const QStringList &arguments, const QString &extension, bool asWritten,
                      const QStringList &optionBlock)
{
    Q_ASSERT(m_folder);
    m_work = Work::Picturing;
    ++m_run;
    const QString encoded = m_folder->filePath(QStringLiteral("picture-%1%2").arg(m_run).arg(extension));
    m_pictures[0] = m_folder->filePath(QStringLiteral("picture-%1-source.png").arg(m_run));
    m_pictures[1] = m_folder->filePath(QStringLiteral("picture-%1-output.png").arg(m_run));
    const auto checked = [](const QString &file, const QString &what) {
        return [=](const QByteArray &output, int exitCode) -> std::optional<QString> {
            if (exitCode != 0 || !QFileInfo(file).isFile())
                return QStringLiteral("%1 failed: %2").arg(what, lastLine(output));
            return std::nullopt;
        };
    };
    const QString length = seconds(PictureSeconds);
    // Pictures of pixels that are not square are drawn as they are shown.
    const QString shown = QStringLiteral("scale=trunc(iw*sar/2)*2:ih,setsar=1");
    m_steps = {{QStringLiteral("encoding the picture"), encoderPath(),
                [=, this] {
                    QStringList line;
                    if (asWritten)
                        line << QLatin1String(Protocol::AsWritten);
                    if (optionBlock.isEmpty())
                        line << "-ss" << seconds(at) << "-t" << length;
                    else
                        line << QLatin1String(Protocol::Options) << QString::number(optionBlock.size()) << optionBlock;
                    return line << "-i" << m_sourcePath << "-y" << arguments << encoded;
                },
                false, EncodeLimitMs, checked(encoded, QStringLiteral("encoding the picture"))},
               {QStringLiteral("reading the picture"), ffmpegProgram(),
                [=, this] {
                    return QStringList{"-nostdin", "-v", "error", "-i", encoded, "-vf", shown, "-frames:v", "1", "-y", m_pictures[1]};
                },
                false,
                AnalysisLimitMs, checked(m_pictures[1], QStringLiteral("reading the encoded picture"))},
               {QStringLiteral("reading the source"), ffmpegProgram(),
                [=, this] {
                    return QStringList{"-nostdin", "-v", "error", "-ss", seconds(at), "-i", m_sourcePath, "-vf", shown,
                                       "-frames:v", "1", "-y", m_pictures[0]};
                },
                false, AnalysisLimitMs, checked(m_pictures[0], QStringLiteral("reading the source's picture"))}};
    // A line that writes no picture: the source's alone.
    if (arguments.isEmpty()) {
        m_steps.remove(0, 2);
        m_pictures[1].clear();
    }
    m_stepCount = int(m_steps.size());
    m_stepsDone = 0;
    runNext();
}

void Samples::runNext()
{
    if (m_steps.isEmpty()) {
        switch (m_work) {
        case Work::Opening:
            emit ready();
            break;
        case Work::Measuring:
            emit measured(m_measure);
            break;
        case Work::Picturing:
            emit pictured(m_pictures[0], m_pictures[1]);
            break;
        }
        return;
    }
    const Step step = m_steps.takeFirst();
    emit progressed(m_stepCount > 0 ? 100 * m_stepsDone / m_stepCount : 0, step.text);
    auto *process = new QProcess(this);
    m_process = process;
    process->setProcessChannelMode(step.outputOnly ? QProcess::SeparateChannels : QProcess::MergedChannels);
    process->setStandardInputFile(QProcess::nullDevice());
    if (step.outputOnly)
        process->setStandardErrorFile(QProcess::nullDevice());
    auto *limit = new QTimer(process);
    limit->setSingleShot(true);
    connect(limit, &QTimer::timeout, process, [this, process, step] {
        process->disconnect(this);
        process->kill();
        connect(process, &QProcess::finished, process, &QObject::deleteLater);
        m_process = nullptr;
        fail(QStringLiteral("%1 took longer than %2 s").arg(step.text).arg(step.limitMs / 1000));
    });
    auto output = std::make_shared<QByteArray>();
    connect(process, &QProcess::readyRead, this, [process, output] { output->append(process->readAll()); });
    connect(process, &QProcess::finished, this, [this, process, step, output](int exitCode, QProcess::ExitStatus status) {
        output->append(process->readAll());
        process->deleteLater();
        m_process = nullptr;
        const std::optional<QString> problem = step.done(*output, status == QProcess::NormalExit ? exitCode : -1);
        if (problem) {
            fail(*problem);
            return;
        }
        ++m_stepsDone;
        runNext();
    });
    connect(process, &QProcess::errorOccurred, this, [this, process, step](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        process->deleteLater();
        m_process = nullptr;
        fail(QStringLiteral("cannot start %1: %2").arg(process->program(), process->errorString()));
    });
    m_clock.start();
    limit->start(step.limitMs);
    process->start(step.program, step.arguments());
}

void Samples::fail(const QString &reason)
{
    m_steps.clear();
    emit failed(reason);
}

void Samples::cancel()
{
    const bool wasBusy = busy();
    m_steps.clear();
    if (QProcess *process = m_process) {
        m_process = nullptr;
        process->disconnect(this);
        // The adapter removes its temporary file on the polite stop; the folder goes anyway.
        process->terminate();
        connect(process, &QProcess::finished, process, &QObject::deleteLater);
        QTimer::singleShot(StopGraceMs, process, [process] { process->kill(); });
    }
    if (wasBusy)
        QTimer::singleShot(0, this, &Samples::cancelled);
}
