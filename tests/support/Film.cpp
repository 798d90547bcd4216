#include "Film.h"

#include "RunProgram.h"

#include <QFile>
#include <QFileInfo>

namespace {

bool writeText(const QString &path, const QByteArray &text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

} // namespace

QString Film::make(const QString &path)
{
    const QString folder = QFileInfo(path).absolutePath() + QLatin1Char('/');
    const QByteArray cue = "1\n00:00:01,000 --> 00:00:19,000\n%1\n\n";
    if (!writeText(folder + "eng.srt", QByteArray(cue).replace("%1", "HELLO THERE, THIS IS ENGLISH"))
        || !writeText(folder + "fra.srt", QByteArray(cue).replace("%1", "BONJOUR, CECI EST DU FRANCAIS"))
        || !writeText(folder + "meta.txt", ";FFMETADATA1\ntitle=Test Film\ndate=2019-06-30\n"
                                           "[CHAPTER]\nTIMEBASE=1/1000\nSTART=0\nEND=8000\ntitle=One\n"
                                           "[CHAPTER]\nTIMEBASE=1/1000\nSTART=8000\nEND=16000\ntitle=Two\n"
                                           "[CHAPTER]\nTIMEBASE=1/1000\nSTART=16000\nEND=24000\ntitle=Three\n"))
        return QStringLiteral("the film's inputs could not be written in ") + folder;
    const ProgramRun film = runProgram(
        QStringLiteral("ffmpeg"),
        {"-v", "error", "-nostdin", "-y", "-f", "lavfi", "-i", "testsrc2=size=320x240:rate=25:duration=24", "-f",
         "lavfi", "-i", "sine=frequency=440:duration=24", "-f", "lavfi", "-i", "sine=frequency=880:duration=24", "-i",
         folder + "eng.srt", "-i", folder + "fra.srt", "-i", folder + "meta.txt", "-map", "0", "-map", "1", "-map", "2",
         "-map", "3", "-map", "4", "-map_metadata", "5", "-map_chapters", "5", "-c:v", "libx264", "-preset", "ultrafast",
         "-g", "25", "-c:a", "aac", "-c:s", "srt", "-metadata:s:a:0", "language=eng", "-metadata:s:a:0", "title=Main",
         "-metadata:s:a:1", "language=deu", "-metadata:s:a:1", "title=Commentary", "-metadata:s:s:0",
         "language=eng", "-metadata:s:s:1", "language=fra", "-metadata:s:s:1", "title=Forced French",
         "-disposition:a:0", "default", "-disposition:a:1", "0", "-disposition:s:0", "0", "-disposition:s:1",
         "forced", path});
    if (film.exitCode != 0)
        return QStringLiteral("ffmpeg could not make the film: ") + QString::fromLocal8Bit(film.output);
    QFile made(path);
    if (!made.open(QIODevice::ReadWrite) || !made.setFileTime(Date, QFileDevice::FileModificationTime))
        return QStringLiteral("the film's date could not be set");
    return QString();
}
