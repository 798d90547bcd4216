#include "workflow/MediaProbe.h"

#include "workflow/FileNameBytes.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <fcntl.h>
#include <unistd.h>

namespace {

// Formats that hold a still picture or text, whatever streams ffprobe makes of them.
bool stillOrText(const QByteArray &format)
{
    return format == "image2" || format.endsWith("_pipe") || format == "tty" || format == "gif";
}

QString ffprobeProgram()
{
    // Beside the ffmpeg the adapter was told to use, else from the PATH.
    const QString ffmpeg = qEnvironmentVariable("VIDOMAR_FFMPEG");
    if (!ffmpeg.isEmpty()) {
        const QString beside = ffmpeg.left(ffmpeg.lastIndexOf(QLatin1Char('/')) + 1) + QStringLiteral("ffprobe");
        if (QFileInfo::exists(beside))
            return beside;
    }
    return QStandardPaths::findExecutable(QStringLiteral("ffprobe"));
}

} // namespace

bool isMediaFile(const QString &path, int limitMs)
{
    static const QString program = ffprobeProgram();
    if (program.isEmpty())
        return false;
    // A name that is not text reaches ffprobe as the open file, which the child inherits.
    int fd = -1;
    QString name = path;
    if (!FileNameBytes::isText(path)) {
        fd = ::open(FileNameBytes::encode(path).constData(), O_RDONLY);
        if (fd < 0)
            return false;
        name = QStringLiteral("/proc/self/fd/%1").arg(fd);
    }
    const struct Closer {
        int fd;
        ~Closer()
        {
            if (fd >= 0)
                ::close(fd);
        }
    } closer{fd};
    QProcess probe;
    probe.setProcessChannelMode(QProcess::SeparateChannels);
    probe.setStandardInputFile(QProcess::nullDevice());
    probe.setStandardErrorFile(QProcess::nullDevice());
    // "file:" keeps a name with a colon from being read as a protocol.
    probe.start(program, {QStringLiteral("-v"), QStringLiteral("quiet"), QStringLiteral("-probesize"), QStringLiteral("5000000"),
                          QStringLiteral("-show_entries"),
                          QStringLiteral("format=format_name:stream=codec_type:stream_disposition=attached_pic"),
                          QStringLiteral("-of"), QStringLiteral("default=nw=1"),
                          QLatin1String("file:") + name});
    if (!probe.waitForFinished(limitMs)) {
        probe.kill();
        probe.waitForFinished(1000);
        return false;
    }
    if (probe.exitStatus() != QProcess::NormalExit || probe.exitCode() != 0)
        return false;
    bool media = false;
    bool attached = false;
    QByteArray format;
    // Streams come first, each its type then its disposition.
    QByteArray type;
    const auto endStream = [&] {
        if ((type == "audio" || type == "video") && !(type == "video" && attached))
            media = true;
        type.clear();
        attached = false;
    };
    for (const QByteArray &line : probe.readAllStandardOutput().split('\n')) {
        if (line.startsWith("codec_type=")) {
            endStream();
            type = line.mid(11).trimmed();
        } else if (line.startsWith("DISPOSITION:attached_pic=")) {
            attached = line.mid(25).trimmed() == "1";
        } else if (line.startsWith("format_name=")) {
            format = line.mid(12).trimmed();
        }
    }
    endStream();
    return media && !stillOrText(format);
}
