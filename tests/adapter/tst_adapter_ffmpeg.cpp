// The adapter with the system's ffmpeg: names ffmpeg would read as something else, a disk that
// fills up, and sources that lack what the output needs.

#include "Clip.h"
#include "FileContent.h"
#include "RunProgram.h"

#include <QtTest>

#include <sys/mount.h>
#include <unistd.h>

namespace {

// A run of the adapter or of ffmpeg's tools in a folder.
struct Result {
    int exitCode = -1;
    QString output;

    explicit Result(const ProgramRun &run) : exitCode(run.exitCode), output(QString::fromUtf8(run.output)) {}

    QString lastLine() const
    {
        const QStringList lines = output.split(QRegularExpression(QStringLiteral("[\r\n]")), Qt::SkipEmptyParts);
        return lines.isEmpty() ? QString() : lines.last();
    }
};

Result runIn(const QString &folder, const QString &program, const QStringList &args)
{
    return Result(runProgram(program, args, {.folder = folder, .inputOpen = true, .limitMs = 60000}));
}

QStringList entries(const QString &folder)
{
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

}

class TestAdapterWithFfmpeg : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("ffmpeg")).isEmpty())
            QSKIP("ffmpeg is not installed");
        QVERIFY(m_dir.isValid());
        m_adapter = qEnvironmentVariable("VIDOMAR_BIN_DIR") + QStringLiteral("/avformat.dll");
        QVERIFY2(QFileInfo(m_adapter).isExecutable(), qPrintable(m_adapter));
        for (const auto &[name, clip] : {std::pair<const char *, Clip>{"sound.avi", {.seconds = 1, .size = "64x48"}},
                                         {"silent.avi", {.seconds = 1, .size = "96x64", .sound = false}},
                                         // Large enough that no result fits on the small disk below.
                                         {"large.avi", {.seconds = 3, .size = "320x240", .quality = 2}}}) {
            const QString problem = makeClip(m_dir.filePath(QLatin1String(name)), clip);
            QVERIFY2(problem.isEmpty(), qPrintable(problem));
        }
        QFile subtitles(m_dir.filePath(QStringLiteral("subtitles.srt")));
        QVERIFY(subtitles.open(QIODevice::WriteOnly));
        subtitles.write("1\n00:00:00,000 --> 00:00:01,000\nhello\n");
        subtitles.close();
        const Result made = runIn(m_dir.path(), QStringLiteral("ffmpeg"),
                                  {"-v", "error", "-nostdin", "-i", "subtitles.srt", "subtitles.mkv"});
        QVERIFY2(made.exitCode == 0, qPrintable(made.output));
    }

    // Relative names as the command-line mode passes them: each one converts from the file of
    // that name into the file of that name, and nothing else appears.
    void namesAreOnlyFiles_data()
    {
        QTest::addColumn<QString>("copyOf");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("destination");
        QTest::addColumn<QString>("stream"); // what the result must hold
        const QStringList mp4{"-vcodec", "mpeg4", "-an"};
        QTest::newRow("a time") << "sound.avi" << "2024-05-01T12:30.avi" << mp4 << "2024-05-01T12:30.mp4" << "video 64";
        // ok.avi (64 wide) lies beside it; the source must be file:ok.avi itself (96 wide).
        QTest::newRow("a protocol in the source") << "silent.avi" << "file:ok.avi" << mp4 << "file:ok.mp4" << "video 96";
        QTest::newRow("a pipe as the destination") << "sound.avi" << "in.avi"
                                                   << QStringList{"-f", "wav", "-acodec", "pcm_s16le"} << "pipe:1.wav"
                                                   << "audio";
        QTest::newRow("an option") << "sound.avi" << "-y.avi" << mp4 << "-y.mp4" << "video 64";
    }
    void namesAreOnlyFiles()
    {
        QFETCH(QString, copyOf);
        QFETCH(QString, source);
        QFETCH(QStringList, options);
        QFETCH(QString, destination);
        QFETCH(QString, stream);
        QTemporaryDir work;
        QVERIFY(QFile::copy(m_dir.filePath(copyOf), work.filePath(source)));
        QVERIFY(QFile::copy(m_dir.filePath(QStringLiteral("sound.avi")), work.filePath(QStringLiteral("ok.avi"))));
        const QStringList before = entries(work.path());

        const Result result = runIn(work.path(), m_adapter, QStringList{"-i", source, "-y"} + options + QStringList{destination});
        QVERIFY2(result.exitCode == 0, qPrintable(result.output));
        QStringList expected = before;
        expected << destination;
        expected.sort();
        QCOMPARE(entries(work.path()), expected);
        QVERIFY(!result.output.contains(QLatin1String(".avformat-")));
        // Named as the user named them.
        QVERIFY2(result.output.contains("from '" + source + "'"), qPrintable(result.output));
        QVERIFY2(result.output.contains("to '" + destination + "'"), qPrintable(result.output));
        const Result probe = runIn(work.path(), QStringLiteral("ffprobe"),
                                   {"-v", "error", "-show_entries", "stream=codec_type,width", "-of", "csv=p=0",
                                    "./" + destination});
        QCOMPARE(probe.output.trimmed().replace(',', ' '), stream);
    }

    // A disk too small for the result: ffmpeg reports it at the trailer and exits with 0, yet the
    // conversion fails, says why, and the earlier file stays as it was.
    void fullDisk_data()
    {
        QTest::addColumn<QString>("destination");
        QTest::addColumn<QStringList>("options");
        QTest::newRow("MP4") << "out.mp4" << QStringList{"-vcodec", "mpeg4", "-acodec", "aac"};
        QTest::newRow("MP3") << "out.mp3" << QStringList{"-f", "mp3", "-acodec", "mp3", "-ab", "320"};
    }
    void fullDisk()
    {
        QFETCH(QString, destination);
        QFETCH(QStringList, options);
        QTemporaryDir disk;
        if (mount("tmpfs", QFile::encodeName(disk.path()).constData(), "tmpfs", 0, "size=12k") != 0)
            QSKIP("no small disk can be mounted here");
        const auto unmount = qScopeGuard([&] { umount2(QFile::encodeName(disk.path()).constData(), MNT_DETACH); });
        const QString out = disk.filePath(destination);
        QFile earlier(out);
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.write("an earlier result");
        earlier.close();

        const Result result = runIn(m_dir.path(), m_adapter, QStringList{"-i", "large.avi", "-y"} + options + QStringList{out});
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(result.lastLine(), out + QStringLiteral(": No space left on device"));
        QCOMPARE(contentOf(out), QByteArray("an earlier result"));
        QCOMPARE(entries(disk.path()), QStringList{destination});
    }

    // A sound-only format from a silent video, or any format from a source with neither picture
    // nor sound, ends with the reason in the user's words.
    void missingStreams_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("lastLine");
        const QStringList mp3{"-f", "mp3", "-acodec", "mp3", "out.mp3"};
        QTest::newRow("MP3 from a silent video") << "silent.avi" << mp3 << "the source has no sound track";
        QTest::newRow("WAV from a silent video") << "silent.avi" << QStringList{"-f", "wav", "-acodec", "pcm_s16le", "out.wav"}
                                                 << "the source has no sound track";
        QTest::newRow("MP3 from subtitles") << "subtitles.mkv" << mp3 << "the source has no picture and no sound";
        QTest::newRow("MP4 from subtitles") << "subtitles.mkv" << QStringList{"-vcodec", "mpeg4", "out.mp4"}
                                            << "the source has no picture and no sound";
    }
    void missingStreams()
    {
        QFETCH(QString, source);
        QFETCH(QStringList, options);
        QFETCH(QString, lastLine);
        QTemporaryDir work;
        const Result result = runIn(work.path(), m_adapter, QStringList{"-i", m_dir.filePath(source), "-y"} + options);
        QVERIFY(result.exitCode != 0);
        QCOMPARE(result.lastLine(), lastLine);
        QCOMPARE(entries(work.path()), QStringList());
    }

private:
    QTemporaryDir m_dir;
    QString m_adapter;
};

QTEST_GUILESS_MAIN(TestAdapterWithFfmpeg)
#include "tst_adapter_ffmpeg.moc"
