// Pausing a conversion with the real adapter and ffmpeg: the encoder's processes stop (state T)
// and use no processor time; resumed, the conversion finishes a file that decodes; stopped while
// paused, it leaves nothing behind.

#include "Clip.h"
#include "FileContent.h"
#include "ProcessTree.h"
#include "RunProgram.h"
#include "workflow/ConversionRun.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

} // namespace

class TestPause : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        m_bin = qEnvironmentVariable("VIDOMAR_BIN_DIR");
        QVERIFY2(QFileInfo(builtProgram(QStringLiteral("avformat.dll"))).isExecutable(), qPrintable(m_bin));
        QCoreApplication::setApplicationName(QStringLiteral("vidomar"));
        QVERIFY(m_dir.isValid());
        m_clip = m_dir.filePath(QStringLiteral("clip.avi"));
        const QString problem = makeClip(m_clip, Clip{.seconds = 60});
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }

    void pausedEncoderRestsThenEnds_data()
    {
        QTest::addColumn<bool>("stopWhilePaused");
        QTest::newRow("resumed, finishes") << false;
        QTest::newRow("stopped while paused, leaves nothing") << true;
    }
    void pausedEncoderRestsThenEnds()
    {
        QFETCH(bool, stopWhilePaused);
        const QString folder = m_dir.filePath(QLatin1String(stopWhilePaused ? "stopped" : "resumed"));
        QVERIFY(QDir().mkpath(folder));
        const QString destination = folder + QStringLiteral("/converted.mp4");

        ConversionRun slot;
        QSignalSpy ended(&slot, &ConversionRun::ended);
        int percent = 0;
        connect(&slot, &ConversionRun::progressed, this, [&percent](int p) { percent = p; });
        QVERIFY(slot.start(QStringLiteral("iPOD Video (320x240) MPEG4"), m_clip, destination));
        QTRY_VERIFY_WITH_TIMEOUT(percent >= 3 || !ended.isEmpty(), 60000);
        QVERIFY2(ended.isEmpty(), "the clip converted before it could be paused");

        QVERIFY(slot.pause());
        QVERIFY(slot.paused());
        QVERIFY(!slot.pause());
        QList<pid_t> encoder;
        for (const ProcessTree::Process &process : ProcessTree::descendants(ProcessTree::self()))
            encoder << process.pid;
        QCOMPARE(encoder.size(), 2); // the adapter and its ffmpeg
        const auto allStopped = [&encoder] {
            return std::all_of(encoder.begin(), encoder.end(), [](pid_t pid) { return ProcessTree::usage(pid).state == 'T'; });
        };
        QTRY_VERIFY_WITH_TIMEOUT(allStopped(), 5000);
        QList<qint64> ticks;
        for (pid_t pid : encoder)
            ticks << ProcessTree::usage(pid).ticks;
        const qint64 elapsed = slot.elapsedMs();
        QTest::qWait(2000);
        for (qsizetype i = 0; i < encoder.size(); ++i)
            QCOMPARE(ProcessTree::usage(encoder.at(i)).ticks, ticks.at(i));
        QCOMPARE(slot.elapsedMs(), elapsed);
        QVERIFY(ended.isEmpty());

        if (stopWhilePaused)
            slot.cancel();
        else
            QVERIFY(slot.resume());
        QTRY_VERIFY_WITH_TIMEOUT(!ended.isEmpty(), 180000);
        QTRY_COMPARE(ProcessTree::below(ProcessTree::self()), QList<pid_t>());
        const QStringList left = QDir(folder).entryList(QDir::Files | QDir::Hidden);
        if (stopWhilePaused) {
            QCOMPARE(ended.first().first().value<ConversionRun::Outcome>(), ConversionRun::Outcome::Cancelled);
            QCOMPARE(left, QStringList());
            return;
        }
        QCOMPARE(ended.first().first().value<ConversionRun::Outcome>(), ConversionRun::Outcome::Done);
        QCOMPARE(left, QStringList{"converted.mp4"});
        const ProgramRun decode = runProgram(QStringLiteral("ffmpeg"), {"-v", "error", "-nostdin", "-i", destination, "-f", "null", "-"});
        QCOMPARE(decode.exitCode, 0);
        QCOMPARE(decode.output, QByteArray());
    }

private:
    QTemporaryDir m_dir;
    QString m_bin;
    QString m_clip;
};

QTEST_GUILESS_MAIN(TestPause)
#include "tst_pause.moc"
