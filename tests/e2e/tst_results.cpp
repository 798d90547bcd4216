// What a finished run leaves and says, through the command line, the adapter and the system's
// ffmpeg: nothing replaced by a file that is not a good result, links and companions left alone,
// retries after a crash, names kept as bytes and reasons in words. Every case is a shell line in
// a fresh folder holding the sources, so that names can be bytes and links can be made.

#include "RunProgram.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

namespace {

// How ffmpeg makes each source (the file name follows).
const QList<QPair<QString, QStringList>> Sources{
    {"clip.mkv", {"-f", "lavfi", "-i", "testsrc=size=320x240:rate=25:duration=2", "-f", "lavfi", "-i", "sine=duration=2",
                  "-c:v", "mpeg4", "-c:a", "pcm_s16le"}},
    // Seven samples: shorter than one frame of any sound encoder.
    {"short.wav", {"-f", "lavfi", "-i", "sine=sample_rate=44100", "-af", "atrim=end_sample=7", "-c:a", "pcm_s16le"}},
    // Packed B-frames, as DivX and XviD wrote them.
    {"bframes.avi", {"-f", "lavfi", "-i", "testsrc=size=320x240:rate=25:duration=2", "-f", "lavfi", "-i",
                     "sine=duration=2", "-c:v", "mpeg4", "-bf", "2", "-vtag", "XVID", "-c:a", "libmp3lame"}},
    // A DVD-authored program stream: its sound ends a second before its picture.
    {"dvd.mpg", {"-f", "lavfi", "-i", "testsrc=size=320x240:rate=25:duration=3", "-f", "lavfi", "-i",
                 "sine=duration=2", "-c:v", "mpeg2video", "-c:a", "mp2", "-f", "vob"}},
    // A DVD-sized MPEG-1 logo of 25 frames: x264 reports 0.88 s of it written.
    {"logo.mpg", {"-f", "lavfi", "-i", "testsrc=size=720x576:rate=25:duration=1", "-c:v", "mpeg1video", "-f", "mpeg"}},
    {"song.mp3", {"-f", "lavfi", "-i", "sine=duration=2", "-f", "lavfi", "-i", "color=red:size=64x64:duration=0.04",
                  "-map", "0", "-map", "1", "-c:a", "libmp3lame", "-c:v", "mjpeg", "-disposition:v", "attached_pic"}},
};

const char UserPresets[] = R"({"presets": [
    {"name": "Null", "extension": ".mp4", "arguments": ["-f", "null"]},
    {"name": "HLS", "extension": ".m3u8", "arguments": ["-c:v", "libx264", "-preset", "ultrafast", "-c:a", "aac",
                                                        "-f", "hls", "-hls_time", "1"]},
    {"name": "Crop", "extension": ".mp4", "arguments": ["-vf", "crop=4000:4000", "-c:v", "libx264", "-c:a", "aac"]},
    {"name": "Segments", "extension": ".mp4", "arguments": ["-c:v", "libx264", "-c:a", "aac", "-f", "segment"]}
]})";

// Each line runs with these: v runs the program and keeps its exit status in ./status.
const char Prelude[] = R"(
v() { "$V" "$@"; echo $? > status; }
streams() { ffprobe -v error -show_entries stream=codec_type -of default=nw=1:nk=1 "$1"; }
)";

} // namespace

class TestResults : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        m_vidomar = builtProgram(QStringLiteral("vidomar"));
        m_adapter = builtProgram(QStringLiteral("avformat.dll"));
        QVERIFY(QFileInfo(m_vidomar).isExecutable() && QFileInfo(m_adapter).isExecutable());
        QVERIFY(m_sources.isValid() && m_config.isValid());
        for (const auto &[name, arguments] : Sources) {
            const ProgramRun made = runProgram(QStringLiteral("ffmpeg"), QStringList{"-v", "error", "-nostdin"} + arguments
                                                                         + QStringList{m_sources.filePath(name)});
            QVERIFY2(made.exitCode == 0, made.output.constData());
        }
        QDir().mkpath(m_config.filePath(QStringLiteral("Zorvik")));
        QFile presets(m_config.filePath(QStringLiteral("Zorvik/vidomar-presets.json")));
        QVERIFY(presets.open(QIODevice::WriteOnly));
        presets.write(UserPresets);
    }

    void results_data()
    {
        QTest::addColumn<QString>("script"); // its own checks decide its exit status, which must be 0
        QTest::addColumn<int>("status");     // the program's
        QTest::addColumn<QString>("said");   // a pattern stderr must hold, or ""
        QTest::addColumn<QString>("unsaid"); // a pattern stderr must not hold, or ""
        const QString ipod = QStringLiteral("--preset 'iPOD Video (320x240) MPEG4' ");
        const QString wav = QStringLiteral("--preset 'WAVE Sound (WAV)' ");
        const QString mkv = QStringLiteral("--preset 'MKV (copy every stream, no re-encoding)' ");

        // A run that wrote nothing, or nothing a player can play, replaces nothing.
        QTest::newRow("a format that writes no file")
            << "echo old > keep.mp4; v --preset Null -o keep.mp4 clip.mkv; [ \"$(cat keep.mp4)\" = old ]" << 1
            << "the format null writes no file" << "";
        QTest::newRow("seven samples through the iPod preset")
            << "v " + ipod + "short.wav && streams short.mp4 | grep -qx audio"
                   " && [ \"$(ffprobe -v error -count_frames -show_entries stream=nb_read_frames -of csv=p=0 short.mp4)\" -gt 0 ]"
            << 0 << "" << "";
        QTest::newRow("seven samples through the MP3 preset")
            << QStringLiteral("v --preset 'iPOD Nano (MP3)' short.wav && [ -z \"$(ffmpeg -v warning -i short.mp3 -f null - 2>&1)\" ]")
            << 0 << "" << "";

        // A destination that is a link to another source of the batch is that source.
        QTest::newRow("a destination linked to another source")
            << "cp clip.mkv a.avi && cp clip.mkv b.mp4 && ln -s b.mp4 a.mp4 && v " + ipod + "a.avi b.mp4 -d .; cmp b.mp4 clip.mkv"
            << 2 << "a\\.avi would be converted to \\./a\\.mp4, which is also a source" << "";

        // The segments of an HLS preset are named after its temporary file; a later run's sweep
        // leaves them, however old.
        QTest::newRow("HLS segments survive the next sweep")
            << "v --preset HLS -o d11.m3u8 clip.mkv && [ \"$(cat status)\" = 0 ] && touch -d '-2 minutes' .d11* && v " + wav
                   + "-o x.wav clip.mkv && grep -v '^#' d11.m3u8 > segments && [ -s segments ]"
                   " && while read -r s; do [ -e \"$s\" ] || exit 1; done < segments"
            << 0 << "" << "";

        QTest::newRow("MKV copy of an AVI with B-frames")
            << "v " + mkv + "bframes.avi && streams bframes.mkv | grep -qx video" << 0 << "" << "";
        QTest::newRow("MKV copy of an MPEG-2 program stream")
            << "v " + mkv + "dvd.mpg && streams dvd.mkv | grep -qx video" << 0 << "" << "";

        // Measured on the stream converted, with a frame or two of slack.
        QTest::newRow("the sound of a DVD-authored file") << QStringLiteral("v --preset 'M4A AAC audio' dvd.mpg") << 0
                                                          << "" << "ended early";
        QTest::newRow("H.264 of a whole one-second MPEG-1 clip")
            << QStringLiteral("v --preset 'MP4 H.264 720p' logo.mpg") << 0 << "" << "ended early";

        // Killed while writing, in a PID namespace of its own; the retry in a new one has the
        // same process id and host name, and the dead run's fresh file is still there.
        if (::geteuid() == 0) {
            QTest::newRow("a retry after a crash in a new PID namespace")
                << "unshare -p -f --mount-proc sh -c '\"$A\" -re -i clip.mkv -y out.mp4 & sleep 1; kill -9 $!; wait' ;"
                   " [ \"$(ls -A | grep -c avformat)\" = 1 ]"
                   " && unshare -p -f --mount-proc sh -c '\"$A\" -i clip.mkv -y out.mp4; echo $? > status'"
                   " && streams out.mp4 | grep -qx video"
                << 0 << "" << "";
        }

        // Names that are not UTF-8: their bytes on stdout, the user's name in a failure, and no
        // folder of links left by a run that was killed.
        QTest::newRow("stdout keeps the bytes")
            << "n=$(printf 'x\\200\\377'); trap 'rm -f \"$n\".*' EXIT; cp clip.mkv \"$n.mkv\" && v " + wav
                   + "\"$n.mkv\" > out.txt && printf '%s/%s.wav\\n' \"$(pwd -P)\" \"$n\" | cmp - out.txt"
            << 0 << "" << "";
        QTest::newRow("a failure names the user's file")
            << "n=$(printf 'y\\200\\377'); trap 'rm -f \"$n\".*' EXIT; head -c 3000 /dev/zero > \"$n.avi\"; v " + wav + "\"$n.avi\"" << 1
            << "Invalid data found" << "vidomar-names";
        QTest::newRow("a killed run leaves no folder of links")
            << "export TMPDIR=$PWD/tmp; mkdir tmp; n=$(printf 'z\\200'); w=$(printf 'w\\200');"
               " trap 'rm -rf \"$n\".* \"$w\".* tmp' EXIT; mkfifo \"$n.mkv\"; \"$V\" " + wav
                   + "\"$n.mkv\" & p=$!; sleep 2; kill -9 $p; wait $p; ls tmp | grep -q vidomar-names || exit 3;"
                     " sleep 1; cp clip.mkv \"$w.mkv\" && v "
                   + wav + "\"$w.mkv\" && [ -z \"$(ls tmp)\" ]"
            << 0 << "" << "";

        // Refused when the file is read, with the others.
        QTest::newRow("a NUL and a second output file in user presets")
            << "mkdir -p cfg/Zorvik && printf '%s' '{\"presets\": [{\"name\": \"N\", \"extension\": \".mp4\", \"arguments\": "
               "[\"-crf\", \"1\\u00008\"]}, {\"name\": \"O\", \"extension\": \".mp4\", \"arguments\": [\"-an\", \"o.mp4\"]}]}'"
               " > cfg/Zorvik/vidomar-presets.json && XDG_CONFIG_HOME=$PWD/cfg v --list-presets > /dev/null"
            << 0 << "item 2 holds a NUL character(.|\\n)*item 2 \\(\"o\\.mp4\"\\) would be a second output file" << "";

        // Reasons in words.
        QTest::newRow("a link loop") << "ln -s l1 l2 && ln -s l2 l1 && v " + wav + "l1" << 1
                                     << "l1: The source video file cannot be read: Too many levels of symbolic links" << "";
        QTest::newRow("a failing filter") << QStringLiteral("v --preset Crop clip.mkv") << 1
                                          << "the filter crop failed: Invalid too big" << "frames left in the queue";
        QTest::newRow("a segment preset") << QStringLiteral("v --preset Segments clip.mkv") << 1
                                          << "the segment format writes numbered files" << "Error initializing";
        QTest::newRow("an MP3 with a cover through the iPod preset")
            << "v " + ipod + "song.mp3 && [ \"$(streams song.mp4)\" = audio ]" << 0 << "" << "";
        QTest::newRow("-o into a missing folder")
            << "v " + wav + "-o new/sub/x.wav clip.mkv && streams new/sub/x.wav | grep -qx audio" << 0 << "" << "";
    }
    void results()
    {
        QFETCH(QString, script);
        QFETCH(int, status);
        QFETCH(QString, said);
        QFETCH(QString, unsaid);
        QTemporaryDir dir;
        for (const auto &source : Sources)
            QVERIFY(QFile::copy(m_sources.filePath(source.first), dir.filePath(source.first)));
        RunSetup setup{.environment = userEnvironment(m_config.path()), .folder = dir.path(), .errorsApart = true, .limitMs = 180000};
        setup.environment.insert(QStringLiteral("V"), m_vidomar);
        setup.environment.insert(QStringLiteral("A"), m_adapter);
        const ProgramRun shell = runProgram(QStringLiteral("sh"), {QStringLiteral("-c"), QLatin1String(Prelude) + script}, setup);
        const QString errors = QString::fromUtf8(shell.errors);
        QVERIFY2(shell.exitCode == 0, qPrintable(QStringLiteral("checks failed (%1): %2").arg(shell.exitCode).arg(errors)));
        QFile recorded(dir.filePath(QStringLiteral("status")));
        QVERIFY(recorded.open(QIODevice::ReadOnly));
        QCOMPARE(recorded.readAll().trimmed().toInt(), status);
        if (!said.isEmpty())
            QVERIFY2(QRegularExpression(said).match(errors).hasMatch(), qPrintable(errors));
        if (!unsaid.isEmpty())
            QVERIFY2(!QRegularExpression(unsaid).match(errors).hasMatch(), qPrintable(errors));
    }

private:
    QString m_vidomar;
    QString m_adapter;
    QTemporaryDir m_sources;
    QTemporaryDir m_config;
};

QTEST_GUILESS_MAIN(TestResults)
#include "tst_results.moc"
