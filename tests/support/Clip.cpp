#include "Clip.h"

#include "RunProgram.h"

QString makeClip(const QString &path, const Clip &clip)
{
    const QString duration = QString::number(clip.seconds);
    QString picture = QStringLiteral("testsrc2=size=%1:rate=%2:duration=%3").arg(clip.size, clip.rate, duration);
    if (!clip.sampleAspect.isEmpty())
        picture += QStringLiteral(",setsar=") + clip.sampleAspect;
    QStringList arguments{"-v", "error", "-nostdin", "-y", "-f", "lavfi", "-i", picture};
    if (clip.sound)
        arguments << "-f" << "lavfi" << "-i" << "sine=frequency=440:sample_rate=44100:duration=" + duration << "-ac"
                  << "2" << "-c:a" << "pcm_s16le";
    arguments << "-c:v" << "mpeg4" << "-q:v" << QString::number(clip.quality) << path;
    const ProgramRun made = runProgram(QStringLiteral("ffmpeg"), arguments);
    if (made.exitCode != 0)
        return QStringLiteral("ffmpeg could not make the clip: ") + QString::fromLocal8Bit(made.output);
    return QString();
}
