// Cancelling conversions mid-run (CancelConvert) with the real adapter and ffmpeg, at several
// points of the encoder's work: the adapter and its ffmpeg end, no partial file stays, and the
// earlier destination is as it was. bench/cancel repeats this 50 times.

#include "CancelledConversion.h"

#include <QtTest>

class TestCancel : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        m_bin = qEnvironmentVariable("VIDOMAR_BIN_DIR");
        QVERIFY2(QFileInfo(m_bin + QStringLiteral("/avformat.dll")).isExecutable(), qPrintable(m_bin));
        qunsetenv("VIDOMAR_FFMPEG");
        QVERIFY(m_dir.isValid());
        m_clip = m_dir.filePath(QStringLiteral("clip.avi"));
        // Long enough that even a fast machine is still converting at the job's later polls.
        const QString problem = CancelledConversion::makeClip(m_clip, 60);
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
        QCOMPARE(CancelledConversion::descendants(), QList<pid_t>());
        QCOMPARE(outcome.strayFiles, QStringList());
        QVERIFY(outcome.destinationIntact);
    }

private:
    QTemporaryDir m_dir;
    QString m_bin;
    QString m_clip;
};

QTEST_GUILESS_MAIN(TestCancel)
#include "tst_cancel.moc"
