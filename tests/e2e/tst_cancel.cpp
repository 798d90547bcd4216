// Cancelling conversions mid-run (CancelConvert) with the real adapter and ffmpeg, at several
// points of the encoder's work: the adapter and its ffmpeg end, no partial file stays, and the
// earlier destination is as it was. bench/cancel repeats this 50 times. Programs side by side:
// cancelling one leaves the others alone.

#include "CancelledConversion.h"
#include "Clip.h"
#include "ProcessTree.h"
#include "RunProgram.h"

#include <QProcess>
#include <QtTest>

#include <csignal>

class TestCancel : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        m_bin = qEnvironmentVariable("VIDOMAR_BIN_DIR");
        QVERIFY2(QFileInfo(builtProgram(QStringLiteral("avformat.dll"))).isExecutable(), qPrintable(m_bin));
        qunsetenv("VIDOMAR_FFMPEG");
        QVERIFY(m_dir.isValid());
        m_clip = m_dir.filePath(QStringLiteral("clip.avi"));
        // Long enough that even a fast machine is still converting at the job's later polls.
        const QString problem = makeClip(m_clip, {.seconds = 60});
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("out")));
    }

    void cancelledMidRun_data()
    {
        QTest::addColumn<int>("percent");
        QTest::newRow("at the first poll") << 1;
        QTest::newRow("a tenth") << 10;
        QTest::newRow("a quarter") << 25;
    }
    void cancelledMidRun()
    {
        QFETCH(int, percent);
        const QString destination = m_dir.filePath(QStringLiteral("out/converted.avi"));
        QFile earlier(destination);
        QVERIFY(earlier.open(QIODevice::WriteOnly | QIODevice::Truncate));
        earlier.write("an earlier conversion, " + QByteArray::number(percent));
        earlier.close();

        CancelledConversion::Request request;
        request.programFolder = m_bin;
        request.preset = QStringLiteral("Sony PSP (PSP AVC)");
        request.source = m_clip;
        request.destination = destination;
        request.cancelAtPercent = percent;
        const CancelledConversion::Outcome outcome = CancelledConversion::run(request);

        QVERIFY2(outcome.error.isEmpty(), qPrintable(outcome.error));
        QVERIFY(outcome.midRun);
        QVERIFY(outcome.percentAtCancel >= percent);
        QCOMPARE(outcome.encoderProcesses.size(), 2); // the adapter and its ffmpeg
        QVERIFY(outcome.cancelReported);
        QCOMPARE(outcome.endMessage, QString());
        QCOMPARE(outcome.survivors, QList<pid_t>());
        QCOMPARE(ProcessTree::below(ProcessTree::self()), QList<pid_t>());
        QCOMPARE(outcome.strayFiles, QStringList());
        QVERIFY(outcome.destinationIntact);
    }

    // Two, then three programs converting side by side, each with its own encoder: Ctrl-C in the
    // first stops its conversion only; the others finish with files that decode.
    void programsSideBySide_data()
    {
        QTest::addColumn<int>("programs");
        QTest::newRow("two programs") << 2;
        QTest::newRow("three programs") << 3;
    }
    void programsSideBySide()
    {
        QFETCH(int, programs);
        std::vector<std::unique_ptr<QProcess>> running;
        QStringList folders;
        for (int i = 0; i < programs; ++i) {
            folders << m_dir.filePath(QStringLiteral("side%1-%2").arg(programs).arg(i));
            QVERIFY(QDir().mkpath(folders.last()));
            auto process = std::make_unique<QProcess>();
            process->setProcessChannelMode(QProcess::MergedChannels);
            process->start(m_bin + QStringLiteral("/vidomar"), {QStringLiteral("--preset"), QStringLiteral("iPOD Video (320x240) MPEG4"),
                                                                 m_clip, folders.last() + QStringLiteral("/converted.mp4")});
            QVERIFY(process->waitForStarted());
            running.push_back(std::move(process));
        }
        // The first one's encoder is at work once its temporary file has content.
        const auto writing = [&] {
            const QFileInfoList files = QDir(folders.first()).entryInfoList(QDir::Files | QDir::Hidden);
            return !files.isEmpty() && files.first().size() > 0;
        };
        QTRY_VERIFY_WITH_TIMEOUT(writing(), 30000);
        ::kill(pid_t(running.front()->processId()), SIGINT);

        for (int i = 0; i < programs; ++i) {
            QProcess &process = *running.at(size_t(i));
            QVERIFY(process.waitForFinished(120000));
            const QString output = QString::fromLocal8Bit(process.readAll());
            const QStringList left = QDir(folders.at(i)).entryList(QDir::Files | QDir::Hidden);
            if (i == 0) {
                QCOMPARE(process.exitCode(), 130);
                QCOMPARE(left, QStringList());
                continue;
            }
            QVERIFY2(process.exitCode() == 0, qPrintable(output));
            QCOMPARE(left, QStringList{"converted.mp4"});
            const ProgramRun decode = runProgram(QStringLiteral("ffmpeg"), {"-v", "error", "-nostdin", "-i",
                                                 folders.at(i) + QStringLiteral("/converted.mp4"), "-f", "null", "-"},
                                                 {.limitMs = 120000});
            QCOMPARE(decode.exitCode, 0);
            QCOMPARE(decode.output, QByteArray());
        }
        QCOMPARE(ProcessTree::below(ProcessTree::self()), QList<pid_t>());
    }

private:
    QTemporaryDir m_dir;
    QString m_bin;
    QString m_clip;
};

QTEST_GUILESS_MAIN(TestCancel)
#include "tst_cancel.moc"
