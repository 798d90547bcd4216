// Samples through the whole program, the adapter and the system's ffmpeg: a conversion aimed at a
// size lands on it, an estimate writes nothing, and what cannot be done is refused in words.

#include "Clip.h"
#include "Film.h"
#include "Probe.h"
#include "RunProgram.h"
#include "workflow/Samples.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The JSON events of a run's output, by their "event".
QHash<QString, QJsonObject> eventsOf(const QByteArray &output)
{
    QHash<QString, QJsonObject> events;
    for (const QByteArray &line : output.split('\n')) {
        const QJsonObject event = QJsonDocument::fromJson(line).object();
        if (!event.isEmpty())
            events.insert(event.value(QLatin1String("event")).toString(), event);
    }
    return events;
}

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

class TestTargets : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        m_program = builtProgram(QStringLiteral("vidomar"));
        QVERIFY(QFileInfo(m_program).isExecutable());
        QVERIFY(m_dir.isValid());
        // Twenty seconds of a small picture and sound: long enough for three samples and for a
        // size to be met, quick to encode twice.
        const QString problem = makeClip(m_dir.filePath(QStringLiteral("clip.mkv")), {.seconds = 20, .size = QStringLiteral("320x240")});
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        const QString film = Film::make(m_dir.filePath(QStringLiteral("film.mkv")));
        QVERIFY2(film.isEmpty(), qPrintable(film));
        // Black bars above and below: the picture is 640 x 272 of 640 x 360.
        const ProgramRun letterbox = runProgram(
            QStringLiteral("ffmpeg"), {"-v", "error", "-nostdin", "-y", "-f", "lavfi", "-i",
                                       "testsrc2=size=640x272:rate=25:duration=10,pad=640:360:0:44:black", "-c:v",
                                       "libx264", "-preset", "ultrafast", m_dir.filePath(QStringLiteral("letterbox.mkv"))});
        QVERIFY2(letterbox.exitCode == 0, letterbox.output.constData());
    }

    // Within 3 % of the target and never more than 3 % above it: x264 by two passes, VP9 by
    // corrections when its bit rate mode misses.
    void targetSize_data()
    {
        QTest::addColumn<QString>("preset");
        QTest::addColumn<QString>("extension");
        QTest::newRow("x264, two passes") << "MP4 H.264 720p" << ".mp4";
        QTest::newRow("VP9, corrected") << "WebM VP9 1080p" << ".webm";
    }
    void targetSize()
    {
        QFETCH(QString, preset);
        QFETCH(QString, extension);
        QTemporaryDir dir;
        const QString out = dir.filePath(QStringLiteral("out") + extension);
        const ProgramRun run = runProgram(m_program, {"--json", "--preset", preset, "--target-size", "1.2M", "-o", out,
                                                      m_dir.filePath(QStringLiteral("clip.mkv"))},
                                          {.errorsApart = true, .limitMs = 240000});
        QVERIFY2(run.exitCode == 0, run.errors.constData());
        const qint64 bytes = QFileInfo(out).size();
        QVERIFY2(bytes >= 1164000 && bytes <= 1236000, qPrintable(QString::number(bytes)));
        const QHash<QString, QJsonObject> events = eventsOf(run.output);
        QVERIFY(events.value(QStringLiteral("target")).value(QLatin1String("setting")).toString().endsWith(QLatin1String("kb/s")));
        QCOMPARE(entries(dir.path()), QStringList{QFileInfo(out).fileName()});
    }

    // The estimate encodes only into a private folder, removed when it is done.
    void estimateWritesNothing()
    {
        QTemporaryDir dir;
        QTemporaryDir temporary;
        QVERIFY(QFile::copy(m_dir.filePath(QStringLiteral("clip.mkv")), dir.filePath(QStringLiteral("clip.mkv"))));
        RunSetup setup{.folder = dir.path(), .errorsApart = true, .limitMs = 120000};
        setup.environment.insert(QStringLiteral("TMPDIR"), temporary.path());
        const ProgramRun run = runProgram(m_program, {"--json", "--preset", "MP4 H.264 720p", "--estimate", "clip.mkv"}, setup);
        QVERIFY2(run.exitCode == 0, run.errors.constData());
        const QJsonObject estimate = eventsOf(run.output).value(QStringLiteral("estimate"));
        QVERIFY2(estimate.value(QLatin1String("bytes")).toInteger() > 100000, run.output.constData());
        QVERIFY(estimate.value(QLatin1String("ssim")).toDouble() > 0.9);
        QCOMPARE(estimate.value(QLatin1String("samples")).toInt(), 3);
        QCOMPARE(entries(dir.path()), QStringList{"clip.mkv"});
        QCOMPARE(entries(temporary.path()), QStringList());
    }

    // The options are in the samples: every sound track kept is more to write, and black bars cut
    // away are neither written nor counted as lost quality. Each estimate lies within 15 % of what
    // the conversion with the same options writes.
    void estimateWithOptions_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QStringList>("fewer"); // options whose estimate is clearly smaller; none: not compared
        QTest::newRow("the first sound track") << "film.mkv" << QStringList{"--audio", "first"} << QStringList();
        QTest::newRow("every sound track") << "film.mkv" << QStringList{"--audio", "all"} << QStringList{"--audio", "first"};
        QTest::newRow("black bars cropped") << "letterbox.mkv" << QStringList{"--crop", "auto"} << QStringList();
    }
    void estimateWithOptions()
    {
        QFETCH(QString, source);
        QFETCH(QStringList, options);
        QFETCH(QStringList, fewer);
        const QJsonObject estimate = estimateOf(source, options);
        const qint64 predicted = estimate.value(QLatin1String("bytes")).toInteger();
        QVERIFY2(estimate.value(QLatin1String("ssim")).toDouble() > 0.9, qPrintable(QJsonDocument(estimate).toJson()));
        if (!fewer.isEmpty()) {
            const qint64 smaller = estimateOf(source, fewer).value(QLatin1String("bytes")).toInteger();
            QVERIFY2(predicted > smaller * 1.1, qPrintable(QStringLiteral("%1 against %2").arg(predicted).arg(smaller)));
        }
        QTemporaryDir dir;
        const QString out = dir.filePath(QStringLiteral("out.mp4"));
        const ProgramRun run = runProgram(m_program, QStringList{"--preset", Preset} + options + QStringList{"-o", out, m_dir.filePath(source)},
                                          {.errorsApart = true, .limitMs = 240000});
        QVERIFY2(run.exitCode == 0, run.errors.constData());
        const double actual = double(QFileInfo(out).size());
        QVERIFY2(std::abs(double(predicted) - actual) <= 0.15 * actual,
                 qPrintable(QStringLiteral("estimated %1, written %2").arg(predicted).arg(actual)));
    }

    // The preview's two pictures: the source's, and the same moment as the line makes it.
    void pictures_data()
    {
        QTest::addColumn<QStringList>("line");
        QTest::addColumn<QSize>("size");
        QTest::newRow("as the source") << QStringList{"-c:v", "libx264", "-an"} << QSize(320, 240);
        QTest::newRow("made smaller") << QStringList{"-c:v", "libx264", "-vf", "scale=160:120", "-an"} << QSize(160, 120);
    }
    void pictures()
    {
        QFETCH(QStringList, line);
        QFETCH(QSize, size);
        Samples samples;
        samples.setProgramFolder(qEnvironmentVariable("VIDOMAR_BIN_DIR"));
        QSignalSpy ready(&samples, &Samples::ready);
        QSignalSpy pictured(&samples, &Samples::pictured);
        QSignalSpy failed(&samples, &Samples::failed);
        samples.open(m_dir.filePath(QStringLiteral("clip.mkv")));
        QVERIFY(ready.wait(60000));
        samples.picture(10, line, QStringLiteral(".mp4"));
        QVERIFY2(pictured.wait(60000), failed.isEmpty() ? "" : qPrintable(failed.first().first().toString()));
        QCOMPARE(probe(pictured.first().at(0).toString()).size(), QSize(320, 240));
        QCOMPARE(probe(pictured.first().at(1).toString()).size(), size);
    }

    void refused_data()
    {
        QTest::addColumn<QString>("script"); // $V is the program, in a folder holding clip.mkv
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::newRow("a size below the sound alone")
            << "\"$V\" --preset 'MP4 H.264 720p' --target-size 100k clip.mkv" << 1
            << "100k is too small for 20.0 s of this source: the sound alone takes 160 kb/s; the smallest reasonable size "
               "is 4[0-9]{2}k \\(--target-size 4[0-9]{2}k\\)";
        QTest::newRow("a classic preset") << "\"$V\" --preset 'iPOD Video (320x240) MPEG4' --target-size 2M clip.mkv" << 2
                                          << "--target-size works with the presets for today's video devices";
        QTest::newRow("an estimate with an option the source does not fit")
            << "\"$V\" --preset 'MP4 H.264 720p' --estimate --burn fra clip.mkv" << 1
            << "--burn fra: clip.mkv has no subtitle track in fra";
        QTest::newRow("an estimate of a pipe") << "cat clip.mkv | \"$V\" --preset 'MP4 H.264 720p' --estimate /dev/stdin" << 1
                                               << "/dev/stdin is not a file that can be read twice";
    }
    void refused()
    {
        QFETCH(QString, script);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        QTemporaryDir dir;
        QVERIFY(QFile::copy(m_dir.filePath(QStringLiteral("clip.mkv")), dir.filePath(QStringLiteral("clip.mkv"))));
        RunSetup setup{.folder = dir.path(), .errorsApart = true, .limitMs = 120000};
        setup.environment.insert(QStringLiteral("V"), m_program);
        const ProgramRun run = runProgram(QStringLiteral("sh"), {QStringLiteral("-c"), script}, setup);
        QVERIFY2(run.exitCode == exitCode, run.errors.constData());
        QVERIFY2(QRegularExpression(message).match(QString::fromUtf8(run.errors)).hasMatch(), run.errors.constData());
        QCOMPARE(entries(dir.path()), QStringList{"clip.mkv"});
    }

private:
    static constexpr const char *Preset = "MP4 H.264 720p";

    QJsonObject estimateOf(const QString &source, const QStringList &options) const
    {
        const ProgramRun run = runProgram(m_program, QStringList{"--json", "--preset", Preset, "--estimate"} + options
                                                         + QStringList{m_dir.filePath(source)},
                                          {.errorsApart = true, .limitMs = 120000});
        const QJsonObject estimate = eventsOf(run.output).value(QStringLiteral("estimate"));
        if (run.exitCode != 0 || estimate.isEmpty())
            qWarning("%s", run.errors.constData());
        return estimate;
    }

    QString m_program;
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestTargets)
#include "tst_targets.moc"
