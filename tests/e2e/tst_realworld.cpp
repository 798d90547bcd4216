// Files as phones, cameras and music collections make them, and user presets as written: the
// program's command-line mode, the encoder adapter and the system's ffmpeg on small generated
// sources. Each case checks the streams of the result or the exact reason of the failure.

#include "FileContent.h"
#include "RunProgram.h"

#include <QtTest>

namespace {

// The sources: how ffmpeg makes each one (inputs and encoding; the file name follows).
struct Source {
    const char *name;
    QStringList arguments;
};

const QString Subtitles = QStringLiteral("1\n00:00:00,000 --> 00:00:01,000\nhello\n");

QList<Source> sources(const QString &subtitleFile)
{
    const QString video = QStringLiteral("testsrc=size=320x240:rate=25:duration=2");
    const QString sound = QStringLiteral("sine=duration=2");
    return {
        {"plain.avi", {"-f", "lavfi", "-i", video, "-f", "lavfi", "-i", sound, "-c:v", "mpeg4", "-c:a", "pcm_s16le"}},
        // A phone's MP4: text subtitles and a timecode track.
        {"phone.mov", {"-f", "lavfi", "-i", video, "-f", "lavfi", "-i", sound, "-i", subtitleFile, "-map", "0", "-map", "1",
                       "-map", "2", "-c:v", "libx264", "-preset", "ultrafast", "-c:a", "aac", "-c:s", "mov_text",
                       "-timecode", "00:00:00:00"}},
        {"music.mp3", {"-f", "lavfi", "-i", sound, "-f", "lavfi", "-i", "color=red:size=64x64:duration=0.04", "-map", "0",
                       "-map", "1", "-c:a", "libmp3lame", "-c:v", "mjpeg", "-disposition:v", "attached_pic"}},
        // Moving fields woven into frames flagged interlaced, as a camera records them.
        {"interlaced.mp4", {"-f", "lavfi", "-i", "testsrc2=size=320x240:rate=50:duration=2", "-vf",
                            "tinterlace=mode=interleave_top,setfield=tff", "-flags", "+ildct+ilme", "-c:v", "libx264",
                            "-preset", "ultrafast", "-field_order", "tt"}},
        // 20 frames in 2 s: ten at 30 fps, then one in five.
        {"vfr.mkv", {"-f", "lavfi", "-i", "testsrc=size=320x240:rate=30:duration=2", "-vf",
                     "select='lt(n,10)+not(mod(n,5))'", "-fps_mode", "vfr", "-c:v", "libx264", "-preset", "ultrafast"}},
        {"tiny.mkv", {"-f", "lavfi", "-i", "testsrc=size=8x8:rate=25:duration=1", "-c:v", "ffv1"}},
        {"two-languages.mkv", {"-f", "lavfi", "-i", video, "-f", "lavfi", "-i", sound, "-f", "lavfi", "-i",
                               "sine=frequency=880:duration=2", "-map", "0", "-map", "1", "-map", "2", "-c:v", "mpeg4",
                               "-c:a", "pcm_s16le"}},
    };
}

// The user's presets of the test.
const char UserPresets[] = R"({"presets": [
    {"name": "Quality MP4", "extension": ".mp4", "arguments": ["-crf", "18", "-maxrate", "900", "-bufsize", "900"]},
    {"name": "WMV in MP4", "extension": ".mp4", "arguments": ["-c:v", "wmv2"]},
    {"name": "Plain MP4", "extension": ".mp4", "arguments": []}
]})";

} // namespace

class TestRealWorld : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        m_vidomar = builtProgram(QStringLiteral("vidomar"));
        QVERIFY2(QFileInfo(m_vidomar).isExecutable(), qPrintable(m_vidomar));
        QVERIFY(m_dir.isValid());
        const QString subtitles = m_dir.filePath(QStringLiteral("subtitles.srt"));
        write(subtitles, Subtitles.toUtf8());
        for (const Source &source : sources(subtitles)) {
            const ProgramRun made = runProgram(QStringLiteral("ffmpeg"), QStringList{"-v", "error", "-nostdin"} + source.arguments
                                                                         + QStringList{m_dir.filePath(QLatin1String(source.name))});
            QVERIFY2(made.exitCode == 0, made.output.constData());
        }
        write(m_dir.filePath(QStringLiteral("config/Zorvik/vidomar-presets.json")), UserPresets);
        // ffmpeg as the adapter starts it, each argument on a line of its own.
        const QString wrapper = m_dir.filePath(QStringLiteral("ffmpeg"));
        write(wrapper, "#!/bin/sh\nprintf '%s\\n' \"$@\" >> \"$ARGUMENTS_LOG\"\nexec ffmpeg \"$@\"\n");
        QVERIFY(QFile::setPermissions(wrapper, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        m_env = userEnvironment(m_dir.filePath(QStringLiteral("config")));
        m_env.insert(QStringLiteral("VIDOMAR_FFMPEG"), wrapper);
    }

    // check: "frames N" (the video keeps N frames), "progressive" (idet finds the frames
    // progressive), "arguments A B ..." (they reach ffmpeg as one run of arguments).
    void convert_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("preset");
        QTest::addColumn<QString>("destination");
        QTest::addColumn<QString>("streams"); // empty: the conversion fails
        QTest::addColumn<QString>("reason");  // %1: the work folder
        QTest::addColumn<QString>("check");
        const QString h264 = QStringLiteral("MP4 H.264 720p");
        const QString mkv = QStringLiteral("MKV (copy every stream, no re-encoding)");
        QTest::newRow("user preset as written") << "plain.avi" << "Quality MP4" << "quality.mp4"
                                                << "video h264, audio aac" << QString()
                                                << "arguments -crf 18 -maxrate 900 -bufsize 900";
        QTest::newRow("user preset without arguments") << "plain.avi" << "Plain MP4" << "plain.mp4"
                                                       << "video h264, audio aac" << QString() << QString();
        QTest::newRow("MKV copy of a phone's MP4") << "phone.mov" << mkv << "phone.mkv"
                                                   << "video h264, audio aac, subtitle subrip" << QString() << QString();
        QTest::newRow("MKV copy keeps every audio track") << "two-languages.mkv" << mkv << "both.mkv"
                                                          << "video mpeg4, audio pcm_s16le, audio pcm_s16le" << QString()
                                                          << QString();
        QTest::newRow("video preset takes the first audio track") << "two-languages.mkv" << h264 << "first.mp4"
                                                                  << "video h264, audio aac" << QString() << QString();
        QTest::newRow("interlaced camera file") << "interlaced.mp4" << h264 << "camera.mp4" << "video h264" << QString()
                                                << "progressive";
        QTest::newRow("variable frame rate") << "vfr.mkv" << h264 << "vfr.mp4" << "video h264" << QString() << "frames 20";
        QTest::newRow("cover art is not video") << "music.mp3" << h264 << "music.mp4" << QString()
                                                << "the source has no video; use an audio preset" << QString();
        QTest::newRow("H.265 on a tiny picture") << "tiny.mkv" << "MP4 H.265 1080p (HEVC)" << "tiny.mp4" << QString()
                                                 << "the picture (8x8) is too small for H.265; use an H.264 preset"
                                                 << QString();
        QTest::newRow("no extension") << "plain.avi" << "Quality MP4" << "noext" << QString()
                                      << "%1/noext: the destination name has no extension ffmpeg knows" << QString();
        QTest::newRow("codec the container cannot hold") << "plain.avi" << "WMV in MP4" << "wmv.mp4" << QString()
                                                         << "this container cannot hold that codec (wmv2)" << QString();
        const QString longName = QString(300, u'a') + QStringLiteral(".mp4");
        QTest::newRow("name too long") << "plain.avi" << h264 << longName << QString()
                                       << "%1/" + longName + ": the name is too long for its folder (304 bytes; the "
                                                             "file system there takes at most 255)"
                                       << "arguments";
    }
    void convert()
    {
        QFETCH(QString, source);
        QFETCH(QString, preset);
        QFETCH(QString, destination);
        QFETCH(QString, streams);
        QFETCH(QString, reason);
        QFETCH(QString, check);
        QTemporaryDir work;
        const QString out = work.filePath(destination);
        const QString log = work.filePath(QStringLiteral("arguments.log"));
        QProcessEnvironment env = m_env;
        env.insert(QStringLiteral("ARGUMENTS_LOG"), log);
        const ProgramRun conversion = runProgram(m_vidomar, {"--json", "--preset", preset, "-o", out, m_dir.filePath(source)},
                                                 {.environment = env, .errorsApart = true});

        QJsonObject end;
        for (const QByteArray &line : conversion.output.split('\n')) {
            const QJsonObject event = QJsonDocument::fromJson(line).object();
            const QString kind = event.value(QLatin1String("event")).toString();
            if (!kind.isEmpty() && kind != QLatin1String("start") && kind != QLatin1String("progress"))
                end = event;
        }
        if (streams.isEmpty()) {
            QCOMPARE(conversion.exitCode, 1);
            QCOMPARE(end.value(QLatin1String("reason")).toString(), QLatin1String("Conversion failed: ") + reason.arg(work.path()));
            QCOMPARE(QDir(work.path()).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral(".avformat-")),
                     QStringList());
        } else {
            QVERIFY2(conversion.exitCode == 0, conversion.output.constData());
            QCOMPARE(end.value(QLatin1String("event")).toString(), QStringLiteral("done"));
            const ProgramRun probe = runProgram(QStringLiteral("ffprobe"), {"-v", "error", "-show_entries", "stream=codec_type,codec_name",
                                                              "-of", "csv=p=0", out});
            QStringList found;
            for (const QByteArray &line : probe.output.trimmed().split('\n')) {
                const QList<QByteArray> fields = line.split(',');
                if (fields.size() == 2)
                    found << QString::fromUtf8(fields.at(1) + ' ' + fields.at(0));
            }
            QCOMPARE(found.join(QStringLiteral(", ")), streams);
        }

        const QStringList words = check.split(u' ');
        if (words.first() == QLatin1String("frames")) {
            const ProgramRun count = runProgram(QStringLiteral("ffprobe"), {"-v", "error", "-count_frames", "-select_streams", "v:0",
                                                              "-show_entries", "stream=nb_read_frames", "-of", "csv=p=0", out});
            QCOMPARE(count.output.trimmed(), words.at(1).toUtf8());
        } else if (words.first() == QLatin1String("progressive")) {
            // "Multi frame detection: TFF: 4 BFF: 0 Progressive: 46 Undetermined: 0"
            const ProgramRun idet = runProgram(QStringLiteral("ffmpeg"), {"-nostdin", "-i", out, "-vf", "idet", "-f", "null", "-"});
            const QRegularExpressionMatch counts = QRegularExpression(QStringLiteral(
                "Multi frame detection: TFF:\\s*(\\d+) BFF:\\s*(\\d+) Progressive:\\s*(\\d+)")).match(QString::fromUtf8(idet.output));
            QVERIFY2(counts.hasMatch(), idet.output.constData());
            QVERIFY2(counts.captured(3).toInt() > 4 * (counts.captured(1).toInt() + counts.captured(2).toInt()),
                     qPrintable(counts.captured(0)));
        } else if (words.first() == QLatin1String("arguments")) {
            // Nothing at all ran when the words are missing: the case was refused before encoding.
            const QStringList given = QFile::exists(log) ? QString::fromUtf8(contentOf(log)).split(u'\n', Qt::SkipEmptyParts)
                                                         : QStringList();
            const QStringList expected = words.mid(1);
            QVERIFY2(expected.isEmpty() ? given.isEmpty() : QString(u'\n' + given.join(u'\n') + u'\n').contains(
                         u'\n' + expected.join(u'\n') + u'\n'),
                     qPrintable(given.join(u' ')));
        }
    }

private:
    static void write(const QString &path, const QByteArray &content)
    {
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    QTemporaryDir m_dir;
    QString m_vidomar;
    QProcessEnvironment m_env;
};

QTEST_GUILESS_MAIN(TestRealWorld)
#include "tst_realworld.moc"
