// Real conversions: the program's command-line mode, the encoder adapter and the system's ffmpeg,
// on a generated clip; every output is probed with ffprobe and decoded once.

#include "Clip.h"
#include "FileContent.h"
#include "Probe.h"
#include "ProcessTree.h"
#include "RunProgram.h"

#include <QtTest>

#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr double ClipSeconds = 3;

// What a preset asks for. Empty or 0: not set by the preset (ffmpeg's choice or the source's).
struct Expected {
    const char *name;
    const char *extension;
    const char *container;  // ffprobe's format name; "mov/<brand>" for the QuickTime family
    const char *videoCodec; // empty: no video stream
    const char *videoTag;
    int width;
    int height;
    const char *frameRate;
    int videoKbps;
    const char *aspect;
    const char *audioCodec;
    int sampleRate;
    int channels;
    int audioKbps;
};

// The source clip: 640x480, 25 fps, stereo at 44100 Hz.
constexpr Expected ExpectedPresets[] = {
    {"AVI (MPEG4-DivX-Compatible)", ".avi", "avi", "mpeg4", "", 320, 240, "30000/1001", 360, "", "", 22050, 2, 48},
    {"AVI (MPEG4-DivX-Best Quality)", ".avi", "avi", "mpeg4", "", 320, 240, "30000/1001", 360, "", "", 44100, 2, 0},
    {"AVI (MPEG4-XviD-Compatible)", ".avi", "avi", "mpeg4", "xvid", 320, 240, "30000/1001", 360, "", "", 22050, 2, 48},
    {"AVI (MPEG4-XviD-Best Quality)", ".avi", "avi", "mpeg4", "xvid", 320, 240, "30000/1001", 360, "", "", 44100, 2, 0},
    {"iPOD Video (320x240) MPEG4", ".mp4", "mov/isom", "mpeg4", "", 320, 240, "25/1", 512, "4:3", "aac", 44100, 2, 64},
    {"iPOD Video2 (640x480) MPEG4", ".mp4", "mov/isom", "mpeg4", "", 640, 480, "25/1", 1200, "4:3", "aac", 44100, 2, 80},
    {"iPhone Video", ".mp4", "mov/isom", "mpeg4", "", 480, 320, "25/1", 1200, "3:2", "aac", 44100, 2, 80},
    {"iPOD Nano (MP3)", ".mp3", "mp3", "", "", 0, 0, "", 0, "", "mp3", 44100, 2, 0},
    {"iPOD Mini (MP3)", ".mp3", "mp3", "", "", 0, 0, "", 0, "", "mp3", 44100, 2, 0},
    {"iPOD Shuffle (MP3)", ".mp3", "mp3", "", "", 0, 0, "", 0, "", "mp3", 44100, 2, 0},
    {"MPEG (Max Compatible)", ".mpg", "mpeg", "mpeg1video", "", 640, 480, "30000/1001", 0, "", "", 44100, 2, 0},
    {"MPEG (Best Quality)", ".mpg", "mpeg", "mpeg1video", "", 640, 480, "30000/1001", 0, "", "", 44100, 2, 0},
    {"WMV(WindowsMedia-Compatible)", ".wmv", "asf", "wmv2", "", 640, 480, "25/1", 0, "", "", 44100, 2, 0},
    {"WMV(WindowsMedia-Best Quality)", ".wmv", "asf", "wmv2", "", 640, 480, "25/1", 0, "", "", 44100, 2, 0},
    {"RM (RealONE/RealPlayer)", ".rm", "rm", "rv20", "", 640, 480, "25/1", 0, "", "", 44100, 2, 0},
    {"QuickTime MOV", ".mov", "mov/qt  ", "mpeg4", "", 320, 240, "30000/1001", 360, "", "aac", 44100, 2, 48},
    {"Sony PSP (Normal)", ".avi", "avi", "mpeg4", "xvid", 368, 208, "30000/1001", 512, "", "aac", 24000, 2, 64},
    {"Sony PSP (Excellent Quality)", ".avi", "avi", "mpeg4", "xvid", 368, 208, "30000/1001", 768, "", "aac", 24000, 2, 64},
    {"Sony PSP (Minimal Size)", ".avi", "avi", "mpeg4", "xvid", 160, 112, "30000/1001", 216, "", "aac", 24000, 2, 64},
    {"Sony PSP (PSP AVC)", ".avi", "avi", "h264", "", 368, 208, "30000/1001", 400, "", "aac", 48000, 2, 128},
    {"Zune MPEG-4 Video", ".avi", "avi", "mpeg4", "", 320, 240, "30000/1001", 1500, "", "aac", 48000, 2, 128},
    {"Zune MPEG-4 AVC", ".avi", "avi", "h264", "", 320, 240, "30000/1001", 1500, "", "aac", 48000, 2, 64},
    {"Zune WMV", ".wmv", "asf", "wmv2", "", 320, 240, "30000/1001", 1500, "", "mp3", 48000, 2, 128},
    // amr_nb: AAC where the installed ffmpeg has no AMR-NB encoder (checked in the test).
    {"3GP (for Mobile)", ".3gp", "mov/3gp4", "h263", "", 176, 144, "11/1", 120, "", "amr_nb", 8000, 1, 48},
    {"3G2 (for Mobile)", ".3g2", "mov/3g2a", "mpeg4", "", 176, 144, "11/1", 120, "", "amr_nb", 8000, 1, 48},
    {"MP3 Sound (MP3)", ".mp3", "mp3", "", "", 0, 0, "", 0, "", "mp3", 44100, 2, 128},
    {"WAVE Sound (WAV)", ".wav", "wav", "", "", 0, 0, "", 0, "", "pcm_s16le", 41000, 2, 0},
};

QStringList hiddenFiles(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden).filter(QRegularExpression(QStringLiteral("^\\.")));
}

}

class TestEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        m_vidomar = builtProgram(QStringLiteral("vidomar"));
        m_adapter = builtProgram(QStringLiteral("avformat.dll"));
        QVERIFY2(QFileInfo(m_vidomar).isExecutable(), qPrintable(m_vidomar));
        QVERIFY2(QFileInfo(m_adapter).isExecutable(), qPrintable(m_adapter));
        QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("ffprobe")).isEmpty(), "ffprobe is not installed");
        QVERIFY(m_dir.isValid());
        m_clip = m_dir.filePath(QStringLiteral("clip.avi"));
        const QString problem = makeClip(m_clip, {.seconds = int(ClipSeconds)});
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        const ProgramRun encoders = runProgram(QStringLiteral("ffmpeg"), {"-hide_banner", "-encoders"});
        m_amrEncoder = encoders.output.contains(" libopencore_amrnb ");
    }

    void presets_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < int(std::size(ExpectedPresets)); ++i)
            QTest::newRow(ExpectedPresets[i].name) << i;
    }
    void presets()
    {
        QFETCH(int, index);
        const Expected &e = ExpectedPresets[index];
        const QString out = m_dir.filePath(QStringLiteral("out%1%2").arg(index).arg(QLatin1String(e.extension)));
        const ProgramRun conversion = runProgram(m_vidomar, {"--preset", e.name, m_clip, out}, {.environment = userEnvironment(m_dir.filePath(QStringLiteral("config")))});
        QVERIFY2(conversion.exitCode == 0, conversion.output.constData());
        QVERIFY(hiddenFiles(m_dir.path()).isEmpty());

        const Probe found = probe(out, true);
        QVERIFY2(found.error.isEmpty(), qPrintable(found.error));
        QCOMPARE(found.container(), QLatin1String(e.container));
        const QJsonObject &video = found.video;
        const QJsonObject &audio = found.audio;
        QCOMPARE(found.videoStreams, *e.videoCodec ? 1 : 0);
        QCOMPARE(found.audioStreams, 1);

        // Bits per stream from the packets, as containers differ in what they declare.
        qint64 bytes[2] = {0, 0};
        for (const QJsonValue &value : found.packets) {
            const QJsonObject packet = value.toObject();
            const bool isVideo = packet.value(QStringLiteral("stream_index")).toInt() == video.value(QStringLiteral("index")).toInt(-1);
            bytes[isVideo ? 0 : 1] += packet.value(QStringLiteral("size")).toString().toLongLong();
        }
        const auto kbps = [](qint64 byteCount) { return byteCount * 8 / ClipSeconds / 1000; };

        if (*e.videoCodec) {
            QCOMPARE(video.value(QStringLiteral("codec_name")).toString(), QLatin1String(e.videoCodec));
            if (*e.videoTag)
                QCOMPARE(video.value(QStringLiteral("codec_tag_string")).toString(), QLatin1String(e.videoTag));
            QCOMPARE(video.value(QStringLiteral("width")).toInt(), e.width);
            QCOMPARE(video.value(QStringLiteral("height")).toInt(), e.height);
            QCOMPARE(video.value(QStringLiteral("r_frame_rate")).toString(), QLatin1String(e.frameRate));
            if (*e.aspect)
                QCOMPARE(video.value(QStringLiteral("display_aspect_ratio")).toString(), QLatin1String(e.aspect));
            if (e.videoKbps) {
                const double measured = kbps(bytes[0]);
                QVERIFY2(measured >= e.videoKbps / 3.0 && measured <= e.videoKbps * 3.0,
                         qPrintable(QStringLiteral("video %1 kbit/s").arg(measured)));
            }
        }

        const bool amr = QLatin1String(e.audioCodec) == QLatin1String("amr_nb");
        const QString audioCodec = amr && !m_amrEncoder ? QStringLiteral("aac") : QString::fromLatin1(e.audioCodec);
        if (!audioCodec.isEmpty())
            QCOMPARE(audio.value(QStringLiteral("codec_name")).toString(), audioCodec);
        QCOMPARE(audio.value(QStringLiteral("sample_rate")).toString().toInt(), e.sampleRate);
        QCOMPARE(audio.value(QStringLiteral("channels")).toInt(), e.channels);
        // AMR-NB has fixed modes far below the preset's 48 kbit/s.
        if (e.audioKbps && !(amr && m_amrEncoder)) {
            const double measured = kbps(bytes[1]);
            QVERIFY2(measured >= e.audioKbps / 3.0 && measured <= e.audioKbps * 3.0,
                     qPrintable(QStringLiteral("audio %1 kbit/s").arg(measured)));
        }

        const ProgramRun decode = runProgram(QStringLiteral("ffmpeg"), {"-v", "error", "-nostdin", "-i", out, "-f", "null", "-"});
        QCOMPARE(decode.exitCode, 0);
        QCOMPARE(decode.output, QByteArray());
    }

    // The encoder's reason reaches the program's message; the earlier destination stays as it was.
    void sourceNotAVideo()
    {
        const QString source = m_dir.filePath(QStringLiteral("notes.avi"));
        QFile text(source);
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("This is not a video.\n");
        text.close();
        const QString out = m_dir.filePath(QStringLiteral("earlier.mp4"));
        QVERIFY(QFile::copy(m_clip, out));
        const QByteArray before = contentOf(out);

        const ProgramRun conversion = runProgram(m_vidomar, {"--preset", "iPOD Video (320x240) MPEG4", source, "-o", out}, {.environment = userEnvironment(m_dir.filePath(QStringLiteral("config")))});
        QVERIFY(conversion.exitCode > 0);
        QVERIFY2(conversion.output.contains("Conversion failed: " + source.toUtf8()
                                            + ": Invalid data found when processing input"),
                 conversion.output.constData());
        QCOMPARE(contentOf(out), before);
        QVERIFY(hiddenFiles(m_dir.path()).isEmpty());
    }

    void ffmpegMissing()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("VIDOMAR_FFMPEG"), m_dir.filePath(QStringLiteral("no/ffmpeg")));
        const QString out = m_dir.filePath(QStringLiteral("missing.mp4"));
        const ProgramRun conversion = runProgram(m_vidomar, {"--preset", "iPOD Video (320x240) MPEG4", m_clip, out}, {.environment = env});
        QVERIFY(conversion.exitCode > 0);
        QVERIFY2(conversion.output.contains(
                     "Conversion failed: avformat.dll: ffmpeg was not found; install the ffmpeg package"),
                 conversion.output.constData());
        QVERIFY(!QFile::exists(out));
    }

    // SIGTERM while ffmpeg is busy on a source that stalls halfway: the adapter ends at once, with
    // no partial file and no ffmpeg left, and the earlier destination as it was.
    void interrupted()
    {
        const QString fifo = m_dir.filePath(QStringLiteral("stalling.avi"));
        QVERIFY(mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
        const int writeEnd = open(QFile::encodeName(fifo).constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
        QVERIFY(writeEnd >= 0);
        const QByteArray half = contentOf(m_clip).left(QFileInfo(m_clip).size() / 2);
        const QString out = m_dir.filePath(QStringLiteral("interrupted.avi"));
        QVERIFY(QFile::copy(m_clip, out));

        QProcess adapter;
        adapter.setProcessEnvironment(userEnvironment(m_dir.filePath(QStringLiteral("config"))));
        adapter.setProcessChannelMode(QProcess::MergedChannels);
        adapter.start(m_adapter, {"-i", fifo, "-y", "-b", "512", "-vcodec", "mpeg4", out});
        QVERIFY(adapter.waitForStarted());
        QByteArray output;
        qsizetype sent = 0;
        QElapsedTimer clock;
        clock.start();
        while (!output.contains("frame=") && clock.elapsed() < 20000 && adapter.state() == QProcess::Running) {
            const ssize_t n = write(writeEnd, half.constData() + sent, size_t(half.size() - sent));
            sent += n > 0 ? n : 0;
            adapter.waitForReadyRead(20);
            output += adapter.readAll();
        }
        QVERIFY2(output.contains("frame="), output.constData());
        const pid_t ffmpeg = ProcessTree::firstChild(pid_t(adapter.processId()));
        QVERIFY(ffmpeg > 0);
        QCOMPARE(hiddenFiles(m_dir.path()).size(), 1);

        kill(pid_t(adapter.processId()), SIGTERM);
        QVERIFY(adapter.waitForFinished(5000));
        close(writeEnd);
        QCOMPARE(adapter.exitCode(), 128 + SIGTERM);
        QVERIFY(ProcessTree::isGone(ffmpeg));
        QVERIFY(hiddenFiles(m_dir.path()).isEmpty());
        QCOMPARE(contentOf(out), contentOf(m_clip));
    }

    // Ctrl-C in the program's command-line mode cancels through the adapter: the encoder
    // processes end, no partial file stays, the earlier destination is as it was.
    void cancelledByTheProgram()
    {
        const QString longClip = m_dir.filePath(QStringLiteral("long.avi"));
        const QString problem = makeClip(longClip, {.seconds = 20});
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        const QString out = m_dir.filePath(QStringLiteral("cancelled.avi"));
        QVERIFY(QFile::copy(m_clip, out));

        QProcess program;
        program.setProcessEnvironment(userEnvironment(m_dir.filePath(QStringLiteral("config"))));
        program.setProcessChannelMode(QProcess::MergedChannels);
        program.start(m_vidomar, {"--preset", "Sony PSP (PSP AVC)", longClip, "-o", out});
        QVERIFY(program.waitForStarted());
        const auto temporarySize = [&] {
            const QStringList hidden = hiddenFiles(m_dir.path());
            return hidden.isEmpty() ? qint64(0) : QFileInfo(m_dir.filePath(hidden.first())).size();
        };
        QTRY_VERIFY_WITH_TIMEOUT(temporarySize() > 0, 20000);
        const pid_t adapter = ProcessTree::firstChild(pid_t(program.processId()));
        const pid_t ffmpeg = ProcessTree::firstChild(adapter);
        QVERIFY(adapter > 0 && ffmpeg > 0);

        kill(pid_t(program.processId()), SIGINT);
        QVERIFY(program.waitForFinished(10000));
        QVERIFY(program.exitCode() != 0);
        QVERIFY(ProcessTree::isGone(adapter));
        QVERIFY(ProcessTree::isGone(ffmpeg));
        QVERIFY(hiddenFiles(m_dir.path()).isEmpty());
        QCOMPARE(contentOf(out), contentOf(m_clip));
    }

private:
    QTemporaryDir m_dir;
    QString m_vidomar;
    QString m_adapter;
    QString m_clip;
    bool m_amrEncoder = false;
};

QTEST_MAIN(TestEndToEnd)
#include "tst_presets.moc"
