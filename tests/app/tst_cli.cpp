#include "FakeEncoder.h"
#include "FileContent.h"
#include "ProcessTree.h"
#include "RunProgram.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSettings>
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
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString &pair : environment)
        env.insert(pair.section(u'=', 0, 0), pair.section(u'=', 1));
    const ProgramRun run = ::runProgram(
        folder.program(), arguments,
        {.environment = env, .folder = folder.path(), .errorsApart = true, .inputOpen = true, .limitMs = 60000});
    return {run.exitCode, QString::fromUtf8(run.output), QString::fromUtf8(run.errors)};
}

} // namespace

class TestCli : public QObject {
    Q_OBJECT
private slots:
    // The options are the job's, before the adapter translates them.
    void listPresets_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("fifth");
        QTest::addColumn<QString>("wave");
        QTest::newRow("names") << QStringList{"--list-presets"} << "iPOD Video (320x240) MPEG4" << "WAVE Sound (WAV)";
        QTest::newRow("in detail") << QStringList{"--list-presets", "--verbose"}
            << "iPOD Video (320x240) MPEG4\t.mp4\t-b 512 -s 320x240 -vcodec mpeg4 -aspect 4:3 -acodec aac -ab 64 -ar 44100 -ac 2"
            << "WAVE Sound (WAV)\t.wav\t-f wav -acodec pcm_s16le -ab 128 -ar 41000 -ac 2";
        QTest::newRow("as JSON") << QStringList{"--list-presets", "--json"}
            << R"j({"extension":".mp4","name":"iPOD Video (320x240) MPEG4","options":"-b 512 -s 320x240 -vcodec mpeg4 -aspect 4:3 -acodec aac -ab 64 -ar 44100 -ac 2"})j"
            << R"j({"extension":".wav","name":"WAVE Sound (WAV)","options":"-f wav -acodec pcm_s16le -ab 128 -ar 41000 -ac 2"})j";
    }
    void listPresets()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, fifth);
        QFETCH(QString, wave);
        FakeProgramFolder folder(true);
        QVERIFY(folder.isValid());
        const Run run = runProgram(folder, arguments);
        QCOMPARE(run.exitCode, 0);
        const QStringList lines = run.out.split(u'\n', Qt::SkipEmptyParts);
        // The 27 classic presets come first, in the window's order.
        QVERIFY(lines.size() >= 27);
        QCOMPARE(lines.at(4), fifth);
        QCOMPARE(lines.at(26), wave);
    }

    // --json: stdout holds only the events; a failure carries the reason a person would read, and
    // -n skips an existing destination without failing.
    void jsonOutcomes()
    {
        FakeProgramFolder folder(true);
        QVERIFY(folder.isValid());
        folder.makeSource(QStringLiteral("in.avi"), 1000);
        folder.makeSource(QStringLiteral("empty.avi"), 0);
        folder.makeSource(QStringLiteral("second.avi"), 1000);
        folder.makeSource(QStringLiteral("second.wav"), 10);
        const Run run = runProgram(folder, {"--json", "-n", "--preset", "WAVE Sound (WAV)", "in.avi", "empty.avi", "second.avi"},
                                   {"FAKE_EXIT=1", "FAKE_LAST_LINE=in.avi: Invalid data"});
        QCOMPARE(run.exitCode, 1);
        QStringList events;
        for (const QString &line : run.out.split(u'\n', Qt::SkipEmptyParts)) {
            QJsonParseError error{};
            const QJsonObject event = QJsonDocument::fromJson(line.toUtf8(), &error).object();
            QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(line));
            if (event.value("event") != QLatin1String("progress"))
                events << event.value("event").toString() + u' ' + event.value("source").toString() + u' '
                        + event.value("reason").toString() + event.value("destination").toString();
        }
        QCOMPARE(events, (QStringList{"start in.avi in.wav", "failed in.avi Conversion failed: in.avi: Invalid data",
                                      "start empty.avi empty.wav", "failed empty.avi The source video file is empty.",
                                      "skipped second.avi second.wav"}));
        QVERIFY2(run.err.contains(QLatin1String("vidomar: empty.avi: The source video file is empty.")), qPrintable(run.err));
    }

    // The user's own presets follow the program's; an entry that takes a program's name is
    // reported once and skipped.
    void listUserPresets()
    {
        FakeProgramFolder folder(true);
        QVERIFY(folder.isValid());
        const QString presets = folder.file(QStringLiteral("config/Zorvik/vidomar-presets.json"));
        QVERIFY(QDir().mkpath(QFileInfo(presets).path()));
        QFile file(presets);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("{\"presets\": [{\"name\": \"Mine\", \"extension\": \".mkv\", \"arguments\": []},\n"
                   "             {\"name\": \"Opus audio\", \"extension\": \".ogg\", \"arguments\": []}]}");
        file.close();
        const Run run = runProgram(folder, {QStringLiteral("--list-presets")},
                                   {QStringLiteral("XDG_CONFIG_HOME=") + folder.file(QStringLiteral("config"))});
        QCOMPARE(run.exitCode, 0);
        const QStringList lines = run.out.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 27 + 9 + 1);
        QCOMPARE(lines.at(4), QStringLiteral("iPOD Video (320x240) MPEG4"));
        QCOMPARE(lines.at(26), QStringLiteral("WAVE Sound (WAV)"));
        QCOMPARE(lines.at(27), QStringLiteral("MP4 H.264 1080p (phones, tablets, web)"));
        QCOMPARE(lines.last(), QStringLiteral("Mine"));
        QCOMPARE(run.err, QStringLiteral("vidomar: %1, entry 2 (\"Opus audio\"): the name belongs to a preset of the "
                                         "program; the entry is skipped.\n").arg(presets));
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
                                              << 0 << "converting in.avi to my out.WAV" << QStringList{"my out.WAV"};
        QTest::newRow("several sources") << QStringList{"--preset", wav, "in.avi", "second.avi"} << QStringList{} << 0
                                         << "second.wav (WAVE Sound (WAV))" << QStringList{"in.wav", "second.wav"};
        QTest::newRow("encoder fails")
            << QStringList{"--preset", wav, "in.avi"} << QStringList{"FAKE_EXIT=1", "FAKE_LAST_LINE=in.avi: Invalid data"}
            << 1 << "vidomar: in.avi: Conversion failed: in.avi: Invalid data" << QStringList{};
        QTest::newRow("missing source") << QStringList{"--preset", wav, "nothing.avi"} << QStringList{} << 1
                                        << "vidomar: nothing.avi: The Source video file is not found!" << QStringList{};
        QTest::newRow("empty source, then a good one")
            << QStringList{"--preset", wav, "empty.avi", "in.avi", "second.avi"} << QStringList{} << 1
            << "The source video file is empty." << QStringList{"in.wav", "second.wav"};
        QTest::newRow("derived destination would be the source")
            << QStringList{"--preset", "Sony PSP (Normal)", "in.avi"} << QStringList{} << 0 << "vidomar: finished"
            << QStringList{"in (converted).avi"};
        QTest::newRow("destination is the source")
            << QStringList{"--preset", "Sony PSP (Normal)", "-o", "in.avi", "in.avi"} << QStringList{} << 1
            << "in.avi: The destination file is the source file itself" << QStringList{};
        QTest::newRow("an existing destination by position")
            << QStringList{"--preset", "Sony PSP (Normal)", "in.avi", "second.avi"} << QStringList{} << 2
            << "second.avi exists and is not taken as the destination by position" << QStringList{};
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
        // Said once: a missing source, for one, is one message however much the encoder printed.
        QVERIFY2(run.err.count(stderrHas) == 1, qPrintable(run.err));
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
        QVERIFY2(run.err.contains(QLatin1String("vidomar: in.avi: Unable to locate avformat.dll")), qPrintable(run.err));
    }

    // The progress lines: the time left once the encoder has said how far it is, and only then.
    void progressLines_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("line");
        QTest::newRow("the encoder's time") << QByteArray("  Duration: 00:00:10.00, start: 0.0\nframe= 9 time=00:00:05.00 x\r")
                                            << " 50% elapsed \\d:\\d\\d, about \\d:\\d\\d left";
        QTest::newRow("text only") << QByteArray(5000, 'x') << "\\d+% elapsed \\d:\\d\\d, time left unknown";
    }
    void progressLines()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, line);
        FakeProgramFolder folder(true);
        QVERIFY(folder.isValid());
        folder.makeSource(QStringLiteral("in.avi"), 1000000);
        const Run run = runProgram(folder, {"--preset", "MP3 Sound (MP3)", "in.avi"},
                                   {QStringLiteral("FAKE_TEXT=") + QString::fromLatin1(text), "FAKE_SILENT_MS=300"});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.err.contains(QRegularExpression(line)), qPrintable(run.err));
    }

    // Ctrl-C stops the conversion's own encoder and exits once it is gone.
    void interrupt()
    {
        FakeProgramFolder folder(true);
        QVERIFY(folder.isValid());
        folder.makeSource(QStringLiteral("in.avi"), 1000);
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("FAKE_SILENT_MS"), QStringLiteral("60000"));
        env.insert(QStringLiteral("FAKE_TERM_MS"), QStringLiteral("300"));
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(folder.path());
        process.start(folder.program(), {QStringLiteral("--preset"), QStringLiteral("MP3 Sound (MP3)"), QStringLiteral("in.avi")});
        QVERIFY(process.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(ProcessTree::firstChild(pid_t(process.processId())) > 0, 10000);
        const pid_t encoder = ProcessTree::firstChild(pid_t(process.processId()));
        ::kill(pid_t(process.processId()), SIGINT);
        QVERIFY(process.waitForFinished(10000));
        QCOMPARE(process.exitCode(), 130);
        QCOMPARE(::kill(encoder, 0), -1);
        QVERIFY(QString::fromUtf8(process.readAllStandardError()).contains(QLatin1String("conversion cancelled")));
    }

    // Ctrl-Z pauses the encoder with the program and says so in --json; fg resumes both, and the
    // stopped span counts neither as the conversion's time nor in the time left.
    void suspendAndContinue()
    {
        FakeProgramFolder folder(true);
        QVERIFY(folder.isValid());
        folder.makeSource(QStringLiteral("in.avi"), 1000);
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("FAKE_REPEAT"), QStringLiteral("30"));
        env.insert(QStringLiteral("FAKE_DELAY_MS"), QStringLiteral("100"));
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(folder.path());
        QElapsedTimer wall;
        wall.start();
        process.start(folder.program(), {QStringLiteral("--json"), QStringLiteral("--preset"), QStringLiteral("MP3 Sound (MP3)"),
                                         QStringLiteral("in.avi")});
        QVERIFY(process.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(ProcessTree::firstChild(pid_t(process.processId())) > 0, 10000);
        const pid_t encoder = ProcessTree::firstChild(pid_t(process.processId()));
        const auto state = [](qint64 pid) { return ProcessTree::usage(pid_t(pid)).state; };
        QByteArray out;
        ::kill(pid_t(process.processId()), SIGTSTP);
        QTRY_VERIFY_WITH_TIMEOUT((out += process.readAllStandardOutput()).contains(R"("event":"paused")"), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(state(process.processId()), 'T', 5000);
        // The stop is sent to the encoder first, but a loaded machine may run the program's own
        // stop sooner.
        QTRY_COMPARE_WITH_TIMEOUT(state(encoder), 'T', 5000);
        QTest::qWait(1500);
        QCOMPARE(state(encoder), 'T');
        ::kill(pid_t(process.processId()), SIGCONT);
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitCode(), 0);
        out += process.readAllStandardOutput();
        const qsizetype paused = out.indexOf(R"("event":"paused")");
        QVERIFY2(paused >= 0 && out.indexOf(R"("event":"resumed")") > paused, out.constData());
        const QJsonObject done = QJsonDocument::fromJson(out.trimmed().split('\n').last()).object();
        QCOMPARE(done.value("event").toString(), QStringLiteral("done"));
        QVERIFY2(done.value("seconds").toDouble() < double(wall.elapsed()) / 1000.0 - 1.0, out.constData());
    }

    // The window ends on SIGINT, SIGTERM and SIGHUP as on a close, with the signal in its exit
    // status; a SIGHUP ignored when it started (nohup) stays ignored.
    void windowStopSignals_data()
    {
        QTest::addColumn<int>("signal");
        QTest::addColumn<bool>("underNohup");
        QTest::addColumn<int>("exitCode"); // -1: keeps running
        QTest::newRow("SIGINT") << int(SIGINT) << false << 130;
        QTest::newRow("SIGTERM") << int(SIGTERM) << false << 143;
        QTest::newRow("SIGHUP") << int(SIGHUP) << false << 129;
        QTest::newRow("SIGHUP under nohup") << int(SIGHUP) << true << -1;
    }
    void windowStopSignals()
    {
        QFETCH(int, signal);
        QFETCH(bool, underNohup);
        QFETCH(int, exitCode);
        FakeProgramFolder folder(true);
        QVERIFY(folder.isValid());
        // Not the first start: no product page opens.
        QSettings settings(folder.file(QStringLiteral("config/Zorvik/Zorvik.conf")), QSettings::IniFormat);
        settings.setValue(QStringLiteral("First Run/Zorvik Vidomar"), QStringLiteral("No"));
        settings.sync();
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), folder.file(QStringLiteral("config")));
        env.insert(QStringLiteral("VIDOMAR_UPDATE_HOST"), QStringLiteral("127.0.0.1:9"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(folder.path());
        if (underNohup)
            process.start(QStringLiteral("nohup"), {folder.program()});
        else
            process.start(folder.program(), QStringList{});
        QVERIFY(process.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(ProcessTree::catches(pid_t(process.processId()), SIGTERM), 20000);
        QCOMPARE(ProcessTree::catches(pid_t(process.processId()), SIGHUP), !underNohup);
        ::kill(pid_t(process.processId()), signal);
        if (exitCode < 0) {
            QVERIFY(!process.waitForFinished(500));
            ::kill(pid_t(process.processId()), SIGTERM);
            exitCode = 128 + SIGTERM;
        }
        QVERIFY(process.waitForFinished(10000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), exitCode);
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
