#include "FakeEncoder.h"
#include "engine/ProcessKiller.h"

#include <QProcess>
#include <QtTest>

#include <csignal>

namespace {

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

Run runProgram(const FakeProgramFolder &folder, const QStringList &arguments,
               const QStringList &environment = {})
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString &pair : environment)
        env.insert(pair.section(u'=', 0, 0), pair.section(u'=', 1));
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(folder.path());
    process.start(folder.program(), arguments);
    Run run;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

} // namespace

class TestCli : public QObject {
    Q_OBJECT
private slots:
    void listPresets()
    {
        FakeProgramFolder folder(true);
        QVERIFY(folder.isValid());
        const Run run = runProgram(folder, {QStringLiteral("--list-presets")});
        QCOMPARE(run.exitCode, 0);
        const QStringList lines = run.out.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 27);
        QCOMPARE(lines.at(4), QStringLiteral("iPOD Video (320x240) MPEG4"));
        QCOMPARE(lines.last(), QStringLiteral("WAVE Sound (WAV)"));
    }

    // Exit status and messages; "in.avi" and "second.avi" exist (1000 bytes), "empty.avi" is empty.
    void conversions_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("environment");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("stderrHas");
        QTest::addColumn<QStringList>("printed"); // destinations on stdout
        const QString wav = QStringLiteral("WAVE Sound (WAV)");
        QTest::newRow("derived destination") << QStringList{"--preset", wav, "in.avi"} << QStringList{} << 0
                                             << "vidomar: finished" << QStringList{"in.wav"};
        QTest::newRow("explicit destination") << QStringList{"--preset", wav, "in.avi", "my out.WAV"} << QStringList{}
                                              << 0 << "100%" << QStringList{"my out.WAV"};
        QTest::newRow("several sources") << QStringList{"--preset", wav, "in.avi", "second.avi"} << QStringList{} << 0
                                         << "second.wav" << QStringList{"in.wav", "second.wav"};
        QTest::newRow("encoder fails")
            << QStringList{"--preset", wav, "in.avi"} << QStringList{"FAKE_EXIT=1", "FAKE_LAST_LINE=in.avi: Invalid data"}
            << 1 << "vidomar: Conversion failed: in.avi: Invalid data" << QStringList{};
        QTest::newRow("missing source") << QStringList{"--preset", wav, "nothing.avi"} << QStringList{} << 1
                                        << "vidomar: The Source video file is not found!" << QStringList{};
        QTest::newRow("empty source, then a good one")
            << QStringList{"--preset", wav, "empty.avi", "in.avi", "second.avi"} << QStringList{} << 1
            << "The Source video file is not found!" << QStringList{"in.wav", "second.wav"};
        QTest::newRow("destination would be the source")
            << QStringList{"--preset", "Sony PSP (Normal)", "in.avi"} << QStringList{} << 1
            << "the source file itself" << QStringList{};
        QTest::newRow("unknown preset") << QStringList{"--preset", "wave sound (wav)", "in.avi"} << QStringList{} << 2
                                        << "Not Supported: Error: wave sound (wav) is not defined." << QStringList{};
        QTest::newRow("no source") << QStringList{"--preset", wav} << QStringList{} << 2 << "no source file given"
                                   << QStringList{};
        QTest::newRow("unknown option") << QStringList{"--frobnicate"} << QStringList{} << 2 << "unknown option"
                                        << QStringList{};
    }
    void conversions()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, environment);
        QFETCH(int, exitCode);
        QFETCH(QString, stderrHas);
        QFETCH(QStringList, printed);
        FakeProgramFolder folder(true);
        QVERIFY(folder.isValid());
        folder.makeSource(QStringLiteral("in.avi"), 1000);
        folder.makeSource(QStringLiteral("second.avi"), 1000);
        folder.makeSource(QStringLiteral("empty.avi"), 0);
        const Run run = runProgram(folder, arguments, environment);
        QVERIFY2(run.err.contains(stderrHas), qPrintable(run.err));
        QCOMPARE(run.exitCode, exitCode);
        QStringList expected;
        for (const QString &name : printed)
            expected << folder.file(name);
        QCOMPARE(run.out.split(u'\n', Qt::SkipEmptyParts), expected);
    }

    void missingEncoder()
    {
        FakeProgramFolder folder(true);
        QVERIFY(folder.isValid());
        QVERIFY(QFile::remove(folder.encoder()));
        folder.makeSource(QStringLiteral("in.avi"), 1000);
        const Run run = runProgram(folder, {QStringLiteral("--preset"), QStringLiteral("MP3 Sound (MP3)"), QStringLiteral("in.avi")});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(QLatin1String("vidomar: Unable to locate avformat.dll")), qPrintable(run.err));
    }

    // Ctrl-C stops the running encoder and exits non-zero once it is gone.
    void interrupt()
    {
        FakeProgramFolder folder(true);
        QVERIFY(folder.isValid());
        folder.makeSource(QStringLiteral("in.avi"), 1000);
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("FAKE_SILENT_MS"), QStringLiteral("60000"));
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(folder.path());
        process.start(folder.program(), {QStringLiteral("--preset"), QStringLiteral("MP3 Sound (MP3)"), QStringLiteral("in.avi")});
        QVERIFY(process.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(!ProcessKiller::findByName(QStringLiteral("avformat.dll")).isEmpty(), 10000);
        ::kill(pid_t(process.processId()), SIGINT);
        QVERIFY(process.waitForFinished(10000));
        QCOMPARE(process.exitCode(), 130);
        QVERIFY(ProcessKiller::findByName(QStringLiteral("avformat.dll")).isEmpty());
        QVERIFY(QString::fromUtf8(process.readAllStandardError()).contains(QLatin1String("conversion cancelled")));
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
