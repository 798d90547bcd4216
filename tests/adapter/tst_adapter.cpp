// The adapter as a process, with a shell script standing in for ffmpeg: what it is given, how its
// end becomes the adapter's, and what happens to the destination.

#include "FileContent.h"
#include "ProcessTree.h"
#include "RunProgram.h"
#include "TemporaryFile.h"
#include "TemporaryName.h"

#include <QtTest>

#include <csignal>
#include <cstring>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

namespace {

const char FakeFfmpeg[] = R"(#!/bin/sh
if [ "$1" = -hide_banner ]; then
    printf '%s\n' "$@" > "$FAKE_DIR/query"
    if [ -n "$FAKE_SLOW_QUERY" ]; then
        echo $$ > "$FAKE_DIR/pid"
        trap 'exit 255' TERM INT
        touch "$FAKE_DIR/ready"
        while :; do sleep 0.05; done
    fi
    printf 'Encoders:\n ------\n A..... %s  test\n' "$FAKE_ENCODERS"
    exit 0
fi
printf '%s\n' "$@" > "$FAKE_DIR/args"
cat > "$FAKE_DIR/stdin"
echo $$ > "$FAKE_DIR/pid"
echo $PPID > "$FAKE_DIR/ppid"
for out; do :; done
case "$FAKE_MODE" in
ok)
    printf 'frame=  1\rframe=  2\r' >&2
    echo 'on stdout'
    printf converted > "$out"
    exit 0 ;;
fail)
    printf partial > "$out"
    echo 'in.avi: Invalid data found when processing input' >&2
    exit 1 ;;
crash)
    printf partial > "$out"
    kill -SEGV $$ ;;
wait)
    printf partial > "$out"
    trap 'echo stopped > "$FAKE_DIR/signal"; exit 255' TERM INT
    touch "$FAKE_DIR/ready"
    while :; do sleep 0.05; done ;;
lines)
    printf partial > "$out"
    printf '%s\n' "$FAKE_LINES" | sed "s|OUT|$out|g" >&2
    exit "$FAKE_EXIT" ;;
until)
    printf partial > "$out"
    touch "$FAKE_DIR/ready"
    while [ ! -e "$FAKE_DIR/go" ]; do sleep 0.05; done
    printf converted > "$out"
    exit 0 ;;
stubborn)
    printf partial > "$out"
    trap '' TERM INT
    touch "$FAKE_DIR/ready"
    exec sleep 30 ;;
esac
)";

// ffprobe beside the fake ffmpeg: what it writes is taken for a finished file of one second of
// picture and sound, unless FAKE_PROBE says otherwise.
const char FakeFfprobe[] = R"(#!/bin/sh
if [ -n "$FAKE_PROBE" ]; then printf '%b' "$FAKE_PROBE"; exit 0; fi
printf '[STREAM]\nindex=0\ncodec_type=video\nduration=1.0\nnb_read_packets=25\n[/STREAM]\n'
printf '[STREAM]\nindex=1\ncodec_type=audio\nduration=1.0\nnb_read_packets=40\n[/STREAM]\n'
printf '[FORMAT]\nduration=1.0\n[/FORMAT]\n'
)";

const QString NotFound = QStringLiteral("avformat.dll: ffmpeg was not found; install the ffmpeg package\n");

}

class TestAdapter : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(m_fakeDir.isValid());
        m_fake = m_fakeDir.filePath(QStringLiteral("ffmpeg"));
        QFile script(m_fake);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write(FakeFfmpeg);
        script.close();
        QVERIFY(script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QFile probe(m_fakeDir.filePath(QStringLiteral("ffprobe")));
        QVERIFY(probe.open(QIODevice::WriteOnly));
        probe.write(FakeFfprobe);
        probe.close();
        QVERIFY(probe.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        m_adapter = qEnvironmentVariable("VIDOMAR_BIN_DIR") + QStringLiteral("/avformat.dll");
        QVERIFY2(QFileInfo(m_adapter).isExecutable(), qPrintable(m_adapter));
    }

    void init()
    {
        m_work.reset(new QTemporaryDir);
        QVERIFY(m_work->isValid());
        m_destination = m_work->filePath(QStringLiteral("out.avi"));
        QFile old(m_destination);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old");
    }

    // ffmpeg succeeded; what ffprobe finds in its file decides whether it replaces the
    // destination. The program may say how long the converted part lasts ("--span").
    void verifiedCommit_data()
    {
        QTest::addColumn<QStringList>("flags");
        QTest::addColumn<QString>("probe"); // what the fake ffprobe writes; "" for a good file
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("destination");
        QTest::addColumn<QString>("said");
        const QString stream = QStringLiteral("[STREAM]\\nindex=0\\ncodec_type=%1\\nduration=%2\\nnb_read_packets=%3\\n[/STREAM]\\n");
        const QString format = QStringLiteral("[FORMAT]\\nduration=1.0\\n[/FORMAT]\\n");
        QTest::newRow("a good file replaces") << QStringList() << QString() << 0 << QByteArray("converted") << QString();
        QTest::newRow("a file that does not open")
            << QStringList() << QStringLiteral("nothing") << 1 << QByteArray("old")
            << QStringLiteral("avformat.dll: the finished file does not open as a video or sound file; /");
        QTest::newRow("a file without streams") << QStringList() << format << 1 << QByteArray("old")
                                                << QStringLiteral("the finished file holds no picture and no sound");
        QTest::newRow("a stream without packets") << QStringList() << stream.arg("audio", "1.0", "0") + format << 1
                                                  << QByteArray("old") << QStringLiteral("holds no picture and no sound");
        QTest::newRow("shorter than the span the program gave")
            << QStringList{"--span", "5"} << QString() << 0 << QByteArray("converted")
            << QStringLiteral("avformat.dll: the source ended early, at 0:01.00 of 0:05.00\n");
        QTest::newRow("as long as the span, within two frames")
            << QStringList{"--span", "1.05"} << QString() << 0 << QByteArray("converted") << QString();
    }
    void verifiedCommit()
    {
        QFETCH(QStringList, flags);
        QFETCH(QString, probe);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, destination);
        QFETCH(QString, said);
        QProcessEnvironment env = environment(QStringLiteral("ok"));
        if (!probe.isEmpty())
            env.insert(QStringLiteral("FAKE_PROBE"), probe);
        const ProgramRun result = run(flags + QStringList{"-i", "in.avi", "-y", m_destination}, QString(), env);
        QCOMPARE(result.exitCode, exitCode);
        QCOMPARE(contentOf(m_destination), destination);
        QCOMPARE(hiddenFiles(), QStringList());
        const QString output = QString::fromUtf8(result.output);
        QVERIFY2(said.isEmpty() ? !output.contains(QLatin1String("avformat.dll: ")) : output.contains(said), qPrintable(output));
    }

    void endOfFfmpeg_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("destination");
        QTest::newRow("success replaces") << "ok" << 0 << QByteArray("converted");
        QTest::newRow("failure keeps") << "fail" << 1 << QByteArray("old");
        QTest::newRow("crash keeps") << "crash" << 128 + SIGSEGV << QByteArray("old");
    }
    void endOfFfmpeg()
    {
        QFETCH(QString, mode);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, destination);
        const QString source = m_work->filePath(QStringLiteral("a b \"c\" \\d $e.avi"));
        const ProgramRun result = run({"-i", source, "-y", "-b", "512", m_destination}, mode);
        QCOMPARE(result.exitCode, exitCode);
        QCOMPARE(contentOf(m_destination), destination);
        QCOMPARE(hiddenFiles(), QStringList());

        const QStringList args = recordedArguments();
        QCOMPARE(args.size(), 8);
        QCOMPARE(args.mid(0, 7), QStringList({"-nostdin", "-y", "-i", source, "-y", "-b:v", "512k"}));
        const QString written = args.last();
        QCOMPARE(QFileInfo(written).absolutePath(), m_work->path());
        QVERIFY(TemporaryFile::isTemporaryName(QFileInfo(written).fileName().toStdString()));
        if (mode == QLatin1String("fail"))
            QVERIFY(result.output.endsWith("in.avi: Invalid data found when processing input\n"));
    }

    // A line in today's syntax, marked by the job, reaches ffmpeg as written: no translation and
    // no completion, only the adapter's own -nostdin, -y and file names around it.
    void asWritten()
    {
        const QString destination = m_work->filePath(QStringLiteral("out.mp4"));
        const ProgramRun result = run({"--as-written", "-i", "in.avi", "-y", "-crf", "18", "-maxrate", "900", "-bufsize",
                                   "900", destination},
                                  QStringLiteral("ok"));
        QCOMPARE(result.exitCode, 0);
        const QStringList args = recordedArguments();
        QCOMPARE(args.mid(0, args.size() - 1), QStringList({"-nostdin", "-y", "-i", "./in.avi", "-y", "-crf", "18",
                                                            "-maxrate", "900", "-bufsize", "900"}));
        QVERIFY(!result.output.contains("avformat.dll"));
        QCOMPARE(contentOf(destination), QByteArray("converted"));
    }

    // A name its folder's file system cannot hold is refused before ffmpeg runs.
    void nameTooLong()
    {
        const QString destination = m_work->filePath(QString(252, 'a') + QStringLiteral(".avi"));
        const ProgramRun result = run({"-i", "in.avi", "-y", destination}, QStringLiteral("ok"));
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(QString::fromUtf8(result.output),
                 destination + ": the name is too long for its folder (256 bytes; the file system there takes at most 255)\n");
        QVERIFY(!QFile::exists(m_work->filePath(QStringLiteral("args"))));
        QCOMPARE(hiddenFiles(), QStringList());
    }

    void outputAndInput()
    {
        const ProgramRun result = run({"-i", "in.avi", "-y", m_destination}, QStringLiteral("ok"));
        QCOMPARE(result.exitCode, 0);
        QVERIFY(result.output.contains("frame=  1\rframe=  2\r"));
        QVERIFY(result.output.contains("on stdout\n"));
        // The fake copied its standard input; an inherited open pipe would have hung it.
        QCOMPARE(contentOf(m_work->filePath(QStringLiteral("stdin"))), QByteArray());
    }

    void notFound_data()
    {
        QTest::addColumn<QString>("override");
        QTest::addColumn<QString>("path");
        QTest::newRow("VIDOMAR_FFMPEG missing") << "/nonexistent/ffmpeg" << qEnvironmentVariable("PATH");
        QTest::newRow("not on PATH") << "" << "/nonexistent";
    }
    void notFound()
    {
        QFETCH(QString, override);
        QFETCH(QString, path);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("VIDOMAR_FFMPEG"), override);
        env.insert(QStringLiteral("PATH"), path);
        const ProgramRun result = run({"-i", "in.avi", "-y", m_destination}, QStringLiteral("ok"), env);
        QCOMPARE(result.exitCode, 127);
        QCOMPARE(QString::fromUtf8(result.output), NotFound);
        QCOMPARE(contentOf(m_destination), QByteArray("old"));
        QCOMPARE(hiddenFiles(), QStringList());
    }

    // Without -y (or with -n) an existing destination is ffmpeg's to refuse: no temporary file.
    void existingDestinationNotReplaced_data()
    {
        QTest::addColumn<QString>("option");
        QTest::newRow("no -y") << "";
        QTest::newRow("-n") << "-n";
    }
    void existingDestinationNotReplaced()
    {
        QFETCH(QString, option);
        QStringList args{"-i", "in.avi"};
        if (!option.isEmpty())
            args << option;
        run(args << m_destination, QStringLiteral("fail"));
        QCOMPARE(recordedArguments().last(), m_destination);
        QVERIFY(!recordedArguments().contains(QStringLiteral("-y")));
    }

    void amrEncoderQuery_data()
    {
        QTest::addColumn<QString>("codec");
        QTest::addColumn<QString>("encoders");
        QTest::addColumn<QString>("used");
        QTest::addColumn<bool>("asked");
        QTest::newRow("available") << "amr_nb" << "libopencore_amrnb" << "libopencore_amrnb" << true;
        QTest::newRow("missing") << "amr_nb" << "aac" << "aac" << true;
        QTest::newRow("not wanted") << "aac" << "libopencore_amrnb" << "aac" << false;
    }
    void amrEncoderQuery()
    {
        QFETCH(QString, codec);
        QFETCH(QString, encoders);
        QFETCH(QString, used);
        QFETCH(bool, asked);
        QProcessEnvironment env = environment(QStringLiteral("ok"));
        env.insert(QStringLiteral("FAKE_ENCODERS"), encoders);
        const QString destination = m_work->filePath(QStringLiteral("out.3gp"));
        const ProgramRun result = run({"-i", "in.avi", "-y", "-acodec", codec, destination}, QString(), env);
        QCOMPARE(result.exitCode, 0);
        const QStringList args = recordedArguments();
        QCOMPARE(args.at(args.indexOf(QStringLiteral("-acodec")) + 1), used);
        QCOMPARE(QFile::exists(m_work->filePath(QStringLiteral("query"))), asked);
        QCOMPARE(result.output.contains("avformat.dll: amr_nb is not available here; using aac\n"),
                 encoders == QLatin1String("aac"));
    }

    void folderMissing()
    {
        const QString destination = m_work->filePath(QStringLiteral("nope/out.avi"));
        const ProgramRun result = run({"-i", "in.avi", "-y", destination}, QStringLiteral("ok"));
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(QString::fromUtf8(result.output),
                 "avformat.dll: cannot write beside " + destination + ": No such file or directory\n");
        QVERIFY(!QFile::exists(m_work->filePath(QStringLiteral("args"))));
    }

    void destinationIsAFolder()
    {
        const QString destination = m_work->filePath(QStringLiteral("folder"));
        QVERIFY(QDir().mkdir(destination));
        const ProgramRun result = run({"-i", "in.avi", "-y", destination}, QStringLiteral("ok"));
        QCOMPARE(result.exitCode, 1);
        QVERIFY(result.output.contains("avformat.dll: cannot replace the destination: "));
        QVERIFY(QFileInfo(destination).isDir());
        QCOMPARE(hiddenFiles(), QStringList());
    }

    // A stop signal reaches ffmpeg; one that ignores it is killed; the adapter ends either way
    // with 128 + n, leaves no partial file and no process behind.
    void stopSignal_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<int>("signal");
        QTest::addColumn<bool>("duringQuery");
        QTest::newRow("SIGTERM") << "wait" << SIGTERM << false;
        QTest::newRow("SIGINT") << "wait" << SIGINT << false;
        QTest::newRow("SIGTERM ignored by ffmpeg") << "stubborn" << SIGTERM << false;
        QTest::newRow("SIGTERM during the encoder query") << "ok" << SIGTERM << true;
    }
    void stopSignal()
    {
        QFETCH(QString, mode);
        QFETCH(int, signal);
        QFETCH(bool, duringQuery);
        QProcessEnvironment env = environment(mode);
        QStringList args{"-i", "in.avi", "-y", m_destination};
        if (duringQuery) {
            env.insert(QStringLiteral("FAKE_SLOW_QUERY"), QStringLiteral("1"));
            args = QStringList{"-i", "in.avi", "-y", "-acodec", "amr_nb", m_destination};
        }
        QProcess adapter;
        start(adapter, args, env);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(m_work->filePath(QStringLiteral("ready"))), 10000);
        const pid_t ffmpeg = fakePid();
        QCOMPARE(hiddenFiles().size(), duringQuery ? 0 : 1);

        kill(pid_t(adapter.processId()), signal);
        QVERIFY(adapter.waitForFinished(5000));
        QCOMPARE(adapter.exitStatus(), QProcess::NormalExit);
        QCOMPARE(adapter.exitCode(), 128 + signal);
        QVERIFY(adapter.readAll().endsWith("avformat.dll: stopped by signal " + QByteArray::number(signal) + " ("
                                           + strsignal(signal) + ")\n"));
        QVERIFY(ProcessTree::isGone(ffmpeg));
        QCOMPARE(QFile::exists(m_work->filePath(QStringLiteral("signal"))), mode == QLatin1String("wait"));
        QCOMPARE(contentOf(m_destination), QByteArray("old"));
        QCOMPARE(hiddenFiles(), QStringList());
    }

    // Killing the adapter outright takes ffmpeg with it; the file left behind is removed by the
    // next run into the same folder once it has rested for a minute, whatever its destination.
    void killedAdapter()
    {
        QProcess adapter;
        start(adapter, {"-i", "in.avi", "-y", m_destination}, environment(QStringLiteral("stubborn")));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(m_work->filePath(QStringLiteral("ready"))), 10000);
        const pid_t ffmpeg = fakePid();
        adapter.kill();
        QVERIFY(adapter.waitForFinished(5000));
        QTRY_VERIFY_WITH_TIMEOUT(ProcessTree::isGone(ffmpeg), 5000);
        QCOMPARE(hiddenFiles().size(), 1);
        age(m_work->filePath(hiddenFiles().constFirst()), 61);

        const QString other = m_work->filePath(QStringLiteral("other.mp4"));
        QCOMPARE(run({"-i", "in.avi", "-y", "-vcodec", "mpeg4", other}, QStringLiteral("ok")).exitCode, 0);
        QCOMPARE(hiddenFiles(), QStringList());
        QCOMPARE(contentOf(other), QByteArray("converted"));
        QCOMPARE(contentOf(m_destination), QByteArray("old"));
    }

    // A running conversion's file stays when another run sweeps the folder, even when its name
    // reads as a process this machine does not have (a run in another PID namespace, or on
    // another machine of the same name) and it has not changed for long.
    void liveRunKept()
    {
        QProcess adapter;
        start(adapter, {"-i", "in.avi", "-y", m_destination}, environment(QStringLiteral("wait")));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(m_work->filePath(QStringLiteral("ready"))), 10000);
        const auto stop = qScopeGuard([&] { kill(pid_t(adapter.processId()), SIGTERM); adapter.waitForFinished(5000); });
        QCOMPARE(hiddenFiles().size(), 1);
        const QString running = m_work->filePath(hiddenFiles().constFirst());
        const QString elsewhere = m_work->filePath(".out.avformat-" + QString::fromStdString(TemporaryName::hostName())
                                                   + "-2147483646-k3x9q2m7.avi");
        QVERIFY(QFile::rename(running, elsewhere));
        age(elsewhere, 3600);

        const QString other = m_work->filePath(QStringLiteral("other.avi"));
        QCOMPARE(run({"-i", "in.avi", "-y", other}, QStringLiteral("ok")).exitCode, 0);
        QCOMPARE(contentOf(elsewhere), QByteArray("partial"));
        QVERIFY(QFile::rename(elsewhere, running));
    }

    // The destination's folder renamed while ffmpeg writes: nothing lands under a name the user
    // did not give, and the hidden file goes with the run, wherever its folder went.
    void folderRenamedMidRun()
    {
        QVERIFY(QDir(m_work->path()).mkdir(QStringLiteral("sub")));
        QProcess adapter;
        start(adapter, {"-i", "in.avi", "-y", m_work->filePath(QStringLiteral("sub/out.avi"))}, environment(QStringLiteral("until")));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(m_work->filePath(QStringLiteral("ready"))), 10000);
        QVERIFY(QDir(m_work->path()).rename(QStringLiteral("sub"), QStringLiteral("renamed")));
        QFile go(m_work->filePath(QStringLiteral("go")));
        QVERIFY(go.open(QIODevice::WriteOnly));
        go.close();
        QVERIFY(adapter.waitForFinished(20000));
        QCOMPARE(adapter.exitCode(), 1);
        QVERIFY2(adapter.readAll().contains("was moved or renamed during the run"), "no reason");
        QCOMPARE(QDir(m_work->filePath(QStringLiteral("renamed"))).entryList(QDir::Files | QDir::Hidden), QStringList());
    }

    // kill -9 of the program that started the adapter: the adapter stops ffmpeg, removes its
    // file and leaves the destination as it was, with nobody left to report a result.
    void parentKilled()
    {
        QProcess parent;
        parent.setProcessEnvironment(environment(QStringLiteral("wait")));
        parent.start(QStringLiteral("/bin/sh"), {"-c", "\"$0\" \"$@\"; :", m_adapter, "-i", "in.avi", "-y", m_destination});
        QVERIFY(parent.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(m_work->filePath(QStringLiteral("ready"))), 10000);
        const pid_t ffmpeg = fakePid();
        const pid_t adapter = pid_t(contentOf(m_work->filePath(QStringLiteral("ppid"))).trimmed().toInt());
        // A failing check must not leave them running.
        const auto cleanup = qScopeGuard([adapter] { kill(adapter, SIGKILL); });
        QCOMPARE(hiddenFiles().size(), 1);

        kill(pid_t(parent.processId()), SIGKILL);
        QVERIFY(parent.waitForFinished(5000));
        QTRY_VERIFY_WITH_TIMEOUT(ProcessTree::isGone(adapter) && ProcessTree::isGone(ffmpeg), 5000);
        QVERIFY(QFile::exists(m_work->filePath(QStringLiteral("signal"))));
        QCOMPARE(hiddenFiles(), QStringList());
        QCOMPARE(contentOf(m_destination), QByteArray("old"));
    }

    // What ffmpeg's lines tell: a write failure is a failure even when ffmpeg exits with 0, and
    // a failed run ends with the line that says why. The hidden file's name never shows.
    void toldByTheOutput_data()
    {
        QTest::addColumn<QString>("lines");
        QTest::addColumn<int>("ffmpegExit");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("lastLine"); // OUT: the destination
        const QString input = QStringLiteral("Input #0, avi, from 'in.avi':\n  Duration: 00:00:01.00\n");
        const QString output = QStringLiteral("Output #0, mp3, to 'OUT':\n  Stream #0:0: Audio: mp3\n");
        QTest::newRow("full disk at the trailer, exit 0")
            << "Error writing trailer of OUT: No space left on device\nvideo:1kB audio:2kB\n"
               "Error closing file OUT: No space left on device\n[aac @ 0x5] Qavg: 609.788"
            << 0 << 1 << "OUT: No space left on device";
        QTest::newRow("packet not written, exit 0") << "av_interleaved_write_frame(): Input/output error" << 0 << 1
                                                    << "OUT: Input/output error";
        QTest::newRow("full disk, ffmpeg fails too")
            << "av_interleaved_write_frame(): No space left on device\nConversion failed!" << 1 << 1
            << "OUT: No space left on device";
        QTest::newRow("a silent video for a sound-only format")
            << input + "  Stream #0:0: Video: mpeg4, yuv420p, 64x48\n" + output
                   + "Output file #0 does not contain any stream"
            << 1 << 1 << "the source has no sound track";
        QTest::newRow("neither picture nor sound")
            << input + "  Stream #0:0: Subtitle: ass\n" + output + "Output file #0 does not contain any stream" << 1
            << 1 << "the source has no picture and no sound";
        QTest::newRow("sound there, ffmpeg's own reason stays")
            << input + "  Stream #0:1(eng): Audio: pcm_s16le\n" + output + "Output file #0 does not contain any stream"
            << 1 << 1 << "Output file #0 does not contain any stream";
        QTest::newRow("written") << output + "size=  24kB time=00:00:01.00" << 0 << 0 << "size=  24kB time=00:00:01.00";
    }
    void toldByTheOutput()
    {
        QFETCH(QString, lines);
        QFETCH(int, ffmpegExit);
        QFETCH(int, exitCode);
        QFETCH(QString, lastLine);
        QProcessEnvironment env = environment(QStringLiteral("lines"));
        env.insert(QStringLiteral("FAKE_LINES"), lines);
        env.insert(QStringLiteral("FAKE_EXIT"), QString::number(ffmpegExit));
        const ProgramRun result = run({"-i", "in.avi", "-y", m_destination}, QString(), env);
        QCOMPARE(result.exitCode, exitCode);
        QCOMPARE(contentOf(m_destination), QByteArray(exitCode == 0 ? "partial" : "old"));
        QCOMPARE(hiddenFiles(), QStringList());
        const QString text = QString::fromUtf8(result.output);
        QVERIFY2(!text.contains(QLatin1String(".avformat-")), qPrintable(text));
        QCOMPARE(text.split('\n', Qt::SkipEmptyParts).last(), QString(lastLine).replace("OUT", m_destination));
    }

    // The result keeps what the destination was: its permission bits, and a link stays a link
    // with the result in its target.
    void destinationKeepsItsNature()
    {
        QVERIFY(QFile::setPermissions(m_destination, QFile::ReadOwner | QFile::WriteOwner));
        QCOMPARE(run({"-i", "in.avi", "-y", m_destination}, QStringLiteral("ok")).exitCode, 0);
        QCOMPARE(contentOf(m_destination), QByteArray("converted"));
        QCOMPARE(QFile::permissions(m_destination), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);

        QVERIFY(QDir(m_work->path()).mkdir(QStringLiteral("real")));
        const QString target = m_work->filePath(QStringLiteral("real/target.avi"));
        const QString link = m_work->filePath(QStringLiteral("link.avi"));
        QVERIFY(QFile::link(QStringLiteral("real/target.avi"), link));
        QCOMPARE(run({"-i", "in.avi", "-y", link}, QStringLiteral("ok")).exitCode, 0);
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(contentOf(target), QByteArray("converted"));
        QVERIFY(QDir(m_work->filePath(QStringLiteral("real"))).entryList(QDir::Hidden | QDir::Files).size() == 1);
        QCOMPARE(hiddenFiles(), QStringList());
    }

    // A normal user's write-protected file is refused before ffmpeg runs; root may write anything,
    // so the adapter runs as nobody here. The writable row shows the setting works.
    void writeProtected_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("refused");
        QTest::newRow("0444") << 0444 << true;
        QTest::newRow("0644") << 0644 << false;
    }
    void writeProtected()
    {
        QFETCH(int, mode);
        QFETCH(bool, refused);
        const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
        if (geteuid() != 0 || setpriv.isEmpty())
            QSKIP("needs root and setpriv to act as another user");
        const QByteArray destination = QFile::encodeName(m_destination);
        for (const QString &path : {m_work->path(), m_destination})
            QCOMPARE(chown(QFile::encodeName(path).constData(), 65534, 65534), 0);
        for (const QString &path : {m_fakeDir.path(), m_fake, m_fakeDir.filePath(QStringLiteral("ffprobe"))})
            QCOMPARE(chmod(QFile::encodeName(path).constData(), 0755), 0);
        QCOMPARE(chmod(destination.constData(), mode_t(mode)), 0);

        const ProgramRun adapter = runProgram(setpriv, {"--reuid=65534", "--regid=65534", "--clear-groups", m_adapter, "-i",
                                                        "in.avi", "-y", m_destination},
                                              {.environment = environment(QStringLiteral("ok")), .inputOpen = true, .limitMs = 30000});
        const QString output = QString::fromUtf8(adapter.output);
        QCOMPARE(adapter.exitCode, refused ? 1 : 0);
        QCOMPARE(contentOf(m_destination), QByteArray(refused ? "old" : "converted"));
        QCOMPARE(QFile::exists(m_work->filePath(QStringLiteral("args"))), !refused);
        if (refused)
            QCOMPARE(output, m_destination + QStringLiteral(": Permission denied\n"));
        QCOMPARE(hiddenFiles(), QStringList());
    }

private:
    QProcessEnvironment environment(const QString &mode) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("VIDOMAR_FFMPEG"), m_fake);
        env.insert(QStringLiteral("FAKE_MODE"), mode);
        env.insert(QStringLiteral("FAKE_DIR"), m_work->path());
        return env;
    }

    void start(QProcess &process, const QStringList &args, const QProcessEnvironment &env) const
    {
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(m_adapter, args);
        QVERIFY(process.waitForStarted());
    }

    ProgramRun run(const QStringList &args, const QString &mode, QProcessEnvironment env = {}) const
    {
        return runProgram(m_adapter, args, {.environment = env.isEmpty() ? environment(mode) : env, .inputOpen = true, .limitMs = 30000});
    }

    QStringList recordedArguments() const
    {
        return QString::fromUtf8(contentOf(m_work->filePath(QStringLiteral("args")))).split('\n', Qt::SkipEmptyParts);
    }

    pid_t fakePid() const
    {
        return pid_t(contentOf(m_work->filePath(QStringLiteral("pid"))).trimmed().toInt());
    }

    static void age(const QString &path, int seconds)
    {
        const timeval times[2] = {{time(nullptr) - seconds, 0}, {time(nullptr) - seconds, 0}};
        QCOMPARE(utimes(QFile::encodeName(path).constData(), times), 0);
    }

    QStringList hiddenFiles() const
    {
        return QDir(m_work->path()).entryList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot)
            .filter(QRegularExpression(QStringLiteral("^\\.")));
    }

    QTemporaryDir m_fakeDir;
    QString m_fake;
    QString m_adapter;
    std::unique_ptr<QTemporaryDir> m_work;
    QString m_destination;
};

QTEST_MAIN(TestAdapter)
#include "tst_adapter.moc"
