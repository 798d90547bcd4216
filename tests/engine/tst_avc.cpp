#include "FakeEncoder.h"
#include "engine/AVC.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <cerrno>
#include <csignal>
#include <memory>

namespace {

// Every event of one job, in order: "D:<text>" (with the file size), "C", "Complete", "Failed",
// "Cancelled", "E:<message>".
struct EventLog {
    explicit EventLog(AVC &job)
    {
        QObject::connect(&job, &AVC::DataOutput, [this](const QString &text, qint64 size) {
            events << QStringLiteral("D:") + text;
            sizes << size;
        });
        QObject::connect(&job, &AVC::Converting, [this] { events << QStringLiteral("C"); });
        QObject::connect(&job, &AVC::Complete, [this] { events << QStringLiteral("Complete"); });
        QObject::connect(&job, &AVC::Failed, [this] { events << QStringLiteral("Failed"); });
        QObject::connect(&job, &AVC::Cancelled, [this] { events << QStringLiteral("Cancelled"); });
        QObject::connect(&job, &AVC::ErrorEvent, [this](const QString &m) { events << QStringLiteral("E:") + m; });
    }
    bool ended() const
    {
        return events.contains(QStringLiteral("Complete")) || events.contains(QStringLiteral("Failed"))
            || events.contains(QStringLiteral("Cancelled"));
    }
    QString text() const
    {
        QString all;
        for (const QString &e : events) {
            if (e.startsWith(QLatin1String("D:")))
                all += e.mid(2);
        }
        return all;
    }

    QStringList events;
    QList<qint64> sizes;
};

// A job bound to its own poll timer, set to convert a source of the given size in the folder.
struct JobRun {
    JobRun(const FakeProgramFolder &folder, qint64 sourceSize, int ratio = 1)
        : job(&timer1), log(job)
    {
        job.setProgramFolder(folder.path());
        job.setSizeRatio(ratio);
        job.setSourceFile(folder.makeSource(QStringLiteral("in.avi"), sourceSize));
        job.setDestFile(folder.file(QStringLiteral("out.avi")));
    }
    QTimer timer1;
    AVC job;
    EventLog log;
};

QString optionsOf(const QString &line)
{
    const qsizetype start = line.indexOf(QLatin1String("\" ")) + 2;
    const qsizetype end = line.lastIndexOf(QLatin1String("\"/dest"));
    return line.mid(start, end - start);
}

} // namespace

class TestAVC : public QObject {
    Q_OBJECT
private slots:
    void commandLine_data()
    {
        QTest::addColumn<QStringList>("writes"); // setting=value, or a flag name
        QTest::addColumn<bool>("overWrite");
        QTest::addColumn<QString>("options");
        QTest::newRow("nothing set") << QStringList{} << false << "";
        QTest::newRow("overwrite only") << QStringList{} << true << "-y ";
        QTest::newRow("the documented example")
            << QStringList{"VideoBitrate=512", "VideoSize=320x240", "VideoCodec=mpeg4", "VideoAspectRatio=4:3",
                           "AudioCodec=aac", "AudioBitrate=64", "AudioSamples=44100", "AudioChannels=2"}
            << true << "-y -b 512 -s 320x240 -vcodec mpeg4 -aspect 4:3 -acodec aac -ab 64 -ar 44100 -ac 2 ";
        QTest::newRow("flags after video, before audio, whatever the write order")
            << QStringList{"AudioChannels=1", "SameQuality", "DeInterlace", "MaxVideoBitrate=900", "VideoBitrate=300"}
            << false << "-b 300 -maxrate 900 -deinterlace -sameq -ac 1 ";
        QTest::newRow("every option in order")
            << QStringList{"AudioChannels=1", "AudioSamples=8000", "AudioBitrate=8", "AudioFourCCTag=at",
                           "AudioCodec=ac", "SameQuality", "DeInterlace", "MaxVideoBitrate=9", "VideoQuantiserScale=8",
                           "GroupOfPictureSize=7", "RateControlBuffer=6", "TargetFormat=vcd", "ForceFormat=avi",
                           "VideoBitrateTolerance=5", "VideoAspectRatio=4:3", "VideoFourCCTag=XVID", "VideoCodec=vc",
                           "VideoSize=1x2", "VideoFrameRate=25", "VideoBitrate=1"}
            << true
            << "-y -b 1 -r 25 -s 1x2 -vcodec vc -vtag XVID -aspect 4:3 -bt 5 -f avi -target vcd -bufsize 6 -g 7 "
               "-qscale 8 -maxrate 9 -deinterlace -sameq -acodec ac -atag at -ab 8 -ar 8000 -ac 1 ";
        QTest::newRow("a value with blanks goes on unquoted") << QStringList{"VideoSize=320 x 240"} << false
                                                              << "-s 320 x 240 ";
        QTest::newRow("the last write wins") << QStringList{"VideoCodec=a", "VideoCodec=b", "VideoCodec="} << false
                                             << "";
    }
    void commandLine()
    {
        QFETCH(QStringList, writes);
        QFETCH(bool, overWrite);
        QFETCH(QString, options);
        QTemporaryDir empty;
        AVC job(nullptr);
        job.setProgramFolder(empty.path());
        for (const QString &write : writes) {
            const QString name = write.section(u'=', 0, 0);
            const auto info = std::find_if(SettingTable.begin(), SettingTable.end(),
                                           [&](const SettingInfo &i) { return name == QLatin1String(i.name); });
            QVERIFY(info != SettingTable.end());
            if (info->flag)
                job.setFlag(info->setting, true);
            else
                job.setSetting(info->setting, write.section(u'=', 1));
        }
        job.setSourceFile(QStringLiteral("/src/clip one.avi"));
        job.setDestFile(QStringLiteral("/dest/clip one.mp4"));
        job.ConvertMedia(overWrite);
        QCOMPARE(job.commandLine(), empty.path() + QLatin1String("/avformat.dll -i \"/src/clip one.avi\" ") + options
                                        + QLatin1String("\"/dest/clip one.mp4\""));
        QCOMPARE(optionsOf(job.commandLine()), options);
    }

    void encoderPathWithBlankIsQuoted()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("Program Files"));
        QVERIFY(QDir().mkpath(folder));
        AVC job(nullptr);
        job.setProgramFolder(folder);
        job.setSourceFile(QStringLiteral("/a.avi"));
        job.setDestFile(QStringLiteral("/b.wav"));
        job.ConvertMedia(false);
        QCOMPARE(job.commandLine(), QLatin1Char('"') + folder + QLatin1String("/avformat.dll\" -i \"/a.avi\" \"/b.wav\""));
    }

    // Checks that stop before the launch: message, no launch, settings kept, FileSize as stated.
    void refusals_data()
    {
        QTest::addColumn<QString>("source"); // relative to the program folder; "" empty
        QTest::addColumn<QString>("dest");
        QTest::addColumn<bool>("withEncoder");
        QTest::addColumn<QString>("message");
        QTest::addColumn<qint64>("fileSize");
        QTest::newRow("both empty: only the source is reported") << "" << "" << true << "No source filename defined"
                                                                 << qint64(0);
        QTest::newRow("no destination") << "in.avi" << "" << true << "No destination filename defined" << qint64(0);
        QTest::newRow("missing encoder still measures the source")
            << "in.avi" << "out.mp4" << false << "Unable to locate avformat.dll" << qint64(1234);
        QTest::newRow("destination is the source") << "in.avi" << "in.avi" << true
                                                   << "The destination file is the source file itself; choose another destination"
                                                   << qint64(0);
        QTest::newRow("destination is the source by another path")
            << "in.avi" << "sub/../in.avi" << true
            << "The destination file is the source file itself; choose another destination" << qint64(0);
        QTest::newRow("destination is a link to the source")
            << "in.avi" << "link.avi" << true
            << "The destination file is the source file itself; choose another destination" << qint64(0);
    }
    void refusals()
    {
        QFETCH(QString, source);
        QFETCH(QString, dest);
        QFETCH(bool, withEncoder);
        QFETCH(QString, message);
        QFETCH(qint64, fileSize);
        FakeProgramFolder folder;
        QVERIFY(folder.isValid());
        if (!withEncoder)
            QVERIFY(QFile::remove(folder.encoder()));
        folder.makeSource(QStringLiteral("in.avi"), 1234);
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("sub")));
        QVERIFY(QFile::link(folder.file(QStringLiteral("in.avi")), folder.file(QStringLiteral("link.avi"))));

        QTimer timer1;
        AVC job(&timer1);
        job.setProgramFolder(folder.path());
        job.setVideoCodec(QStringLiteral("mpeg4"));
        job.setSourceFile(source.isEmpty() ? QString() : folder.file(source));
        job.setDestFile(dest.isEmpty() ? QString() : folder.file(dest));
        EventLog log(job);
        job.ConvertMedia(true);
        QCOMPARE(log.events, QStringList{QStringLiteral("E:") + message});
        QVERIFY(!job.encoderRunning());
        QVERIFY(!timer1.isActive());
        QCOMPARE(job.state(), AVC::State::Idle);
        QCOMPARE(job.FileSize(), fileSize);
        QCOMPARE(job.settings().value(Setting::VideoCodec), QStringLiteral("mpeg4"));
        QCOMPARE(QFileInfo(folder.file(QStringLiteral("in.avi"))).size(), qint64(1234));
    }

    // A normal run: every chunk is a DataOutput/Converting pair of at most 256 characters, the
    // text arrives whole and without NULs, and the end is an empty chunk, Converting, Complete.
    void runEventsInOrder()
    {
        FakeProgramFolder folder;
        QVERIFY(folder.isValid());
        const QString source = folder.makeSource(QStringLiteral("in.avi"), 5000);
        Env env{{"FAKE_TEXT", "0123456789abcdefghijklmnopqrstuvwxyz\r"},
                {"FAKE_REPEAT", "40"},
                {"FAKE_NULS", "2"},
                {"FAKE_DELAY_MS", "10"}};
        QTimer timer1;
        AVC job(&timer1);
        job.setProgramFolder(folder.path());
        job.setSizeRatio(1);
        job.setAudioCodec(QStringLiteral("mp3"));
        job.setSourceFile(source);
        job.setDestFile(folder.file(QStringLiteral("out.mp3")));
        EventLog log(job);
        job.ConvertMedia(true);
        QCOMPARE(job.FileSize(), qint64(5000));
        QCOMPARE(timer1.interval(), 300);
        QVERIFY(timer1.isActive());
        QTRY_VERIFY_WITH_TIMEOUT(log.ended(), 20000);

        const QString expected = QStringLiteral("0123456789abcdefghijklmnopqrstuvwxyz\r").repeated(40);
        QCOMPARE(log.text().size(), expected.size());
        QCOMPARE(log.text(), expected);
        for (qsizetype i = 0; i < log.events.size() - 1; i += 2) {
            QVERIFY2(log.events[i].startsWith(QLatin1String("D:")), qPrintable(log.events[i]));
            QVERIFY(log.events[i].size() - 2 <= AVC::ChunkSize);
            QCOMPARE(log.events[i + 1], QStringLiteral("C"));
        }
        QCOMPARE(log.events.mid(log.events.size() - 3), (QStringList{"D:", "C", "Complete"}));
        QVERIFY(std::all_of(log.sizes.begin(), log.sizes.end(), [](qint64 s) { return s == 5000; }));

        // Completion clears every setting, keeps the ratio and size, and stops the poll.
        QVERIFY(!timer1.isActive());
        QCOMPARE(job.state(), AVC::State::Idle);
        QCOMPARE(job.settings().options(false), QString());
        QCOMPARE(job.sourceFile(), QString());
        QCOMPARE(job.destFile(), QString());
        QCOMPARE(job.SizeRatio(), 1);
        QCOMPARE(job.FileSize(), qint64(5000));
    }

    // The encoder gets exactly the argument list, whatever the paths hold.
    void argumentsReachTheEncoder()
    {
        FakeProgramFolder folder;
        QVERIFY(folder.isValid());
        const QString source = folder.makeSource(QStringLiteral("my \"best\" clip\\.avi"), 10);
        const QString dest = folder.file(QStringLiteral("out 'x' é\\"));
        const QString argsFile = folder.file(QStringLiteral("args"));
        Env env{{"FAKE_ARGS_FILE", argsFile.toLocal8Bit()}};
        QTimer timer1;
        AVC job(&timer1);
        job.setProgramFolder(folder.path());
        job.setSizeRatio(1);
        job.setVideoSize(QStringLiteral("320 x 240"));
        job.setSourceFile(source);
        job.setDestFile(dest);
        EventLog log(job);
        job.ConvertMedia(true);
        QTRY_VERIFY_WITH_TIMEOUT(log.ended(), 10000);
        QFile file(argsFile);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QStringList received = QString::fromUtf8(file.readAll()).split(QChar(0));
        received.removeLast();
        QCOMPARE(received, (QStringList{"-i", source, "-y", "-s", "320", "x", "240", dest}));
    }

    void failures_data()
    {
        QTest::addColumn<QByteArray>("exitCode");
        QTest::addColumn<QByteArray>("killSelf");
        QTest::addColumn<QByteArray>("lastLine");
        QTest::addColumn<QString>("message");
        QTest::newRow("non-zero exit") << QByteArray("1") << QByteArray("0")
                                       << QByteArray("in.avi: Invalid data found when processing input")
                                       << "Conversion failed: in.avi: Invalid data found when processing input";
        QTest::newRow("crash") << QByteArray("0") << QByteArray("1") << QByteArray("Segmentation fault ahead")
                               << "Conversion failed: Segmentation fault ahead";
        // A progress line never names the reason.
        QTest::newRow("silent failure") << QByteArray("3") << QByteArray("0") << QByteArray()
                                        << "Conversion failed: the encoder exited with code 3";
    }
    void failures()
    {
        QFETCH(QByteArray, exitCode);
        QFETCH(QByteArray, killSelf);
        QFETCH(QByteArray, lastLine);
        QFETCH(QString, message);
        FakeProgramFolder folder;
        QVERIFY(folder.isValid());
        Env env{{"FAKE_EXIT", exitCode}, {"FAKE_KILL_SELF", killSelf}, {"FAKE_LAST_LINE", lastLine}};
        JobRun run(folder, 100);
        AVC &job = run.job;
        EventLog &log = run.log;
        job.setVideoCodec(QStringLiteral("mpeg4"));
        job.ConvertMedia(true);
        QTRY_VERIFY_WITH_TIMEOUT(log.ended(), 10000);
        QCOMPARE(log.events.mid(log.events.size() - 4),
                 (QStringList{"D:", "C", QStringLiteral("E:") + message, "Failed"}));
        QVERIFY(!log.events.contains(QStringLiteral("Complete")));
        QCOMPARE(job.settings().value(Setting::VideoCodec), QString());
        QCOMPARE(job.state(), AVC::State::Idle);
    }

    void encoderThatCannotStart()
    {
        FakeProgramFolder folder;
        QVERIFY(folder.isValid());
        QVERIFY(QFile::setPermissions(folder.encoder(), QFile::ReadOwner | QFile::WriteOwner));
        JobRun run(folder, 100);
        AVC &job = run.job;
        EventLog &log = run.log;
        job.ConvertMedia(true);
        QTRY_VERIFY_WITH_TIMEOUT(log.ended(), 10000);
        QCOMPARE(log.events.last(), QStringLiteral("Failed"));
        QVERIFY(log.events.at(log.events.size() - 2).startsWith(
            QLatin1String("E:Conversion failed: the encoder could not be started")));
    }

    // A source of 0 bytes: the first tick hands on one read of at most 256 characters with FileSize
    // 0, however much the encoder wrote, then the poll stops and nothing more follows.
    void emptySourceStopsThePoll()
    {
        FakeProgramFolder folder;
        QVERIFY(folder.isValid());
        const QString line = QStringLiteral("Input #0: something to say about the source\n");
        Env env{{"FAKE_TEXT", line.toLatin1()}, {"FAKE_REPEAT", "40"}};
        JobRun run(folder, 0);
        AVC &job = run.job;
        EventLog &log = run.log;
        job.setAudioCodec(QStringLiteral("mp3"));
        job.ConvertMedia(true);
        QCOMPARE(job.FileSize(), qint64(0));
        QTRY_VERIFY_WITH_TIMEOUT(!log.events.isEmpty(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(job.state(), AVC::State::Stopped, 5000);
        QVERIFY(!run.timer1.isActive());
        QTest::qWait(800);
        QCOMPARE(log.events.size(), 2);
        QVERIFY(log.events.at(0).size() - 2 <= AVC::ChunkSize);
        QVERIFY(line.repeated(40).startsWith(log.events.at(0).mid(2)));
        QCOMPARE(log.events.at(1), QStringLiteral("C"));
        QCOMPARE(log.sizes, QList<qint64>{0});
        QCOMPARE(job.settings().value(Setting::AudioCodec), QStringLiteral("mp3"));
    }

    void ratioZeroNeverPolls()
    {
        FakeProgramFolder folder;
        QVERIFY(folder.isValid());
        JobRun run(folder, 10, 0);
        run.job.ConvertMedia(true);
        QVERIFY(!run.timer1.isActive());
        QTest::qWait(500);
        QVERIFY(run.log.events.isEmpty());
    }

    // While the encoder is silent the event loop keeps running.
    void silentEncoderDoesNotStallTheLoop()
    {
        FakeProgramFolder folder;
        QVERIFY(folder.isValid());
        Env env{{"FAKE_SILENT_MS", "1500"}};
        JobRun run(folder, 10);
        AVC &job = run.job;
        EventLog &log = run.log;

        QElapsedTimer clock;
        qint64 last = 0;
        qint64 maxGap = 0;
        QTimer probe;
        probe.setInterval(10);
        connect(&probe, &QTimer::timeout, [&] {
            maxGap = std::max(maxGap, clock.elapsed() - last);
            last = clock.elapsed();
        });
        clock.start();
        probe.start();
        job.ConvertMedia(true);
        QTRY_VERIFY_WITH_TIMEOUT(log.ended(), 10000);
        // A read that waited for output would stall for the whole silence (1.5 s); a loaded
        // machine may hold back a tick for a few hundred milliseconds.
        QVERIFY2(maxGap < 750, qPrintable(QStringLiteral("largest gap %1 ms").arg(maxGap)));
        QVERIFY(log.events.contains(QStringLiteral("Complete")));
    }

    void secondStartWhileRunningIsRefused()
    {
        FakeProgramFolder folder;
        QVERIFY(folder.isValid());
        Env env{{"FAKE_SILENT_MS", "1000"}};
        JobRun run(folder, 10);
        AVC &job = run.job;
        EventLog &log = run.log;
        job.ConvertMedia(true);
        job.setSourceFile(folder.makeSource(QStringLiteral("other.avi"), 10));
        job.ConvertMedia(true);
        QCOMPARE(log.events, QStringList{QStringLiteral("E:A conversion is already running")});
        QCOMPARE(job.FileSize(), qint64(10));
        QTRY_VERIFY_WITH_TIMEOUT(log.events.contains(QStringLiteral("Complete")), 10000);
    }

    // Cancelling stops this job's encoder and nothing else: a job beside it goes on to its end.
    // CancelConvert does not wait: an encoder that takes its time to clean up is still there when
    // it returns, and one that ignores the request is killed after the grace period. The run ends
    // as cancelled, with no failure message.
    void cancelStopsOnlyThisJob_data()
    {
        QTest::addColumn<QByteArray>("termMs");
        QTest::newRow("stops at once") << QByteArray("0");
        QTest::newRow("takes its time to clean up") << QByteArray("800");
        QTest::newRow("ignores the request") << QByteArray("-1");
    }
    void cancelStopsOnlyThisJob()
    {
        QFETCH(QByteArray, termMs);
        FakeProgramFolder folder;
        QVERIFY(folder.isValid());
        JobRun beside(folder, 10);
        JobRun run(folder, 10);
        {
            Env env{{"FAKE_SILENT_MS", "1500"}};
            beside.job.ConvertMedia(true);
        }
        {
            Env env{{"FAKE_SILENT_MS", "60000"}, {"FAKE_TERM_MS", termMs}};
            run.job.ConvertMedia(true);
        }
        const pid_t pid = pid_t(run.job.encoderProcessId());
        QVERIFY(pid > 0);
        QVERIFY(run.job.encoderRunning() && beside.job.encoderRunning());

        run.job.CancelConvert();
        if (termMs != "0")
            QVERIFY(run.job.encoderRunning());
        QVERIFY(beside.job.encoderRunning());
        QTRY_VERIFY_WITH_TIMEOUT(run.log.ended(), 10000);
        QCOMPARE(run.log.events.last(), QStringLiteral("Cancelled"));
        QVERIFY2(run.log.events.filter(QRegularExpression(QStringLiteral("^(E:|Failed|Complete)"))).isEmpty(),
                 qPrintable(run.log.events.join(u' ')));
        QCOMPARE(::kill(pid, 0), -1);
        QTRY_VERIFY_WITH_TIMEOUT(beside.log.ended(), 10000);
        QVERIFY2(beside.log.events.last() == QLatin1String("Complete"), qPrintable(beside.log.events.join(u' ')));
    }

    // Destroying a job does not wait for its encoder: one that takes its time to clean up, or
    // ignores the request until it is killed, is still there when the job has gone, and is reaped
    // (no zombie left) once it ends.
    void destroyingDoesNotWait_data()
    {
        QTest::addColumn<QByteArray>("termMs");
        QTest::newRow("takes its time to clean up") << QByteArray("800");
        QTest::newRow("ignores the request") << QByteArray("-1");
    }
    void destroyingDoesNotWait()
    {
        QFETCH(QByteArray, termMs);
        FakeProgramFolder folder;
        QVERIFY(folder.isValid());
        auto run = std::make_unique<JobRun>(folder, 10);
        {
            Env env{{"FAKE_REPEAT", "2"}, {"FAKE_DELAY_MS", "60000"}, {"FAKE_TERM_MS", termMs}};
            run->job.ConvertMedia(true);
        }
        const pid_t pid = pid_t(run->job.encoderProcessId());
        QVERIFY(pid > 0);
        // Its first output says it is ready for the request.
        QTRY_VERIFY_WITH_TIMEOUT(!run->log.text().isEmpty(), 10000);
        run.reset();
        QCOMPARE(::kill(pid, 0), 0);
        QTRY_VERIFY_WITH_TIMEOUT(::kill(pid, 0) == -1 && errno == ESRCH, 10000);
    }

    void cancelWithNothingRunning()
    {
        AVC job(nullptr);
        EventLog log(job);
        job.CancelConvert();
        QVERIFY(log.events.isEmpty());
        QCOMPARE(job.state(), AVC::State::Idle);
    }
};

QTEST_GUILESS_MAIN(TestAVC)
#include "tst_avc.moc"
