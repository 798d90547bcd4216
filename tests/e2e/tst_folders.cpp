// Folders, shards and the watch folder with the real adapter and ffmpeg: a tree mirrored with what
// is not to be converted left out; every file in exactly one shard; the exit status that tells a
// retry from giving up; a watched folder that converts a slowly copied file once, after the copy,
// and nothing again after a restart.

#include "Clip.h"
#include "FileContent.h"
#include "JsonLines.h"
#include "Probe.h"
#include "ProcessTree.h"
#include "RunProgram.h"

#include <QDirIterator>
#include <QProcess>
#include <QtTest>

#include <csignal>

namespace {

// Every file below a folder, hidden ones included, by its place.
QStringList tree(const QString &folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(folder).relativeFilePath(it.next());
    files.sort();
    return files;
}

QStringList ofKind(const QList<QJsonObject> &events, const char *kind, const char *key)
{
    QStringList values;
    for (const QJsonObject &event : events) {
        if (event.value("event").toString() == QLatin1String(kind))
            values << event.value(QLatin1String(key)).toVariant().toString();
    }
    return values;
}

} // namespace

class TestFolders : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        m_program = builtProgram(QStringLiteral("vidomar"));
        QVERIFY(QFileInfo(m_program).isExecutable());
        qunsetenv("VIDOMAR_FFMPEG");
        QVERIFY(m_dir.isValid());
        const QString problem = makeClip(m_dir.filePath(QStringLiteral("clip.avi")), {.seconds = 1, .size = QStringLiteral("160x120")});
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        m_clip = contentOf(m_dir.filePath(QStringLiteral("clip.avi")));
    }

    // Three levels: media (whatever their extension), a text file, a hidden file, a link out of
    // the tree and a file still being written; the mirror holds the media files' results only.
    void mirroredTree()
    {
        for (const char *name : {"in/a.avi", "in/one/b.avi", "in/one/two/c.mkv", "in/one/.hidden.avi", "outside.avi"})
            put(QLatin1String(name), m_clip);
        put(QStringLiteral("in/one/notes.txt"), "not a video\n");
        QVERIFY(QFile::link(m_dir.filePath(QStringLiteral("outside.avi")), m_dir.filePath(QStringLiteral("in/one/two/out.avi"))));
        put(QStringLiteral("in/one/two/growing.avi"), m_clip.left(4096));
        QProcess writer;
        writer.setWorkingDirectory(m_dir.filePath(QStringLiteral("in/one/two")));
        writer.start(QStringLiteral("sh"), {"-c", "while :; do printf 0123456789 >> growing.avi; sleep 0.1; done"});
        QVERIFY(writer.waitForStarted());

        const ProgramRun run = runProgram(m_program, {"--preset", "MP3 Sound (MP3)", "-r", "-v", "-d", "out", "in"},
                                          {.folder = m_dir.path(), .errorsApart = true, .inputOpen = true});
        writer.kill();
        writer.waitForFinished();
        QVERIFY2(run.exitCode == 75, run.errors.constData()); // the growing file: a retry may take it
        for (const char *said : {"in/one/two/growing.avi: still being written; skipped", "in/one/notes.txt: not media; left out",
                                 "in/one/two/out.avi: a link out of the folder; not followed", "1 file is not media and was left out"})
            QVERIFY2(run.errors.contains(said), said);
        const QString out = m_dir.filePath(QStringLiteral("out"));
        QCOMPARE(tree(out), (QStringList{"a.mp3", "one/b.mp3", "one/two/c.mp3"}));
        for (const QString &file : tree(out))
            QCOMPARE(probe(out + u'/' + file).audioStreams, 1);
    }

    // Ten files over three shards from one NUL-separated list: each converted exactly once, its
    // index in the whole list given once.
    void shards()
    {
        QByteArray list;
        for (int i = 9; i >= 0; --i) {
            const QString name = QStringLiteral("shard/f%1.avi").arg(i);
            put(name, m_clip);
            list += name.toUtf8() + '\0';
        }
        put(QStringLiteral("list"), list);
        QStringList indices;
        QStringList destinations;
        for (int shard = 0; shard < 3; ++shard) {
            const ProgramRun run = runProgram(m_program, {"--preset", "MP3 Sound (MP3)", "--files-from", "list", "--null", "--shard",
                                                          QStringLiteral("%1/3").arg(shard), "-n", "--json", "-d", "sharded"},
                                              {.folder = m_dir.path(), .errorsApart = true, .inputOpen = true});
            QVERIFY2(run.exitCode == 0, run.errors.constData());
            const QList<QJsonObject> events = jsonLines(run.output);
            indices << ofKind(events, "done", "index");
            destinations << ofKind(events, "done", "destination");
            QVERIFY(!ofKind(events, "done", "host").first().isEmpty());
        }
        indices.sort();
        QCOMPARE(indices, (QStringList{"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"}));
        QCOMPARE(destinations.size(), 10);
        QCOMPARE(tree(m_dir.filePath(QStringLiteral("sharded"))).size(), 10);
    }

    // 75 when running again may mend it, 1 when it will fail again.
    void exitStatus_data()
    {
        // The process killed mid-run, "folder" for the destination's folder removed; none: a
        // corrupt source.
        QTest::addColumn<QByteArray>("killed");
        QTest::addColumn<int>("status");
        QTest::newRow("ffmpeg killed") << QByteArray("ffmpeg") << 75;
        QTest::newRow("the destination folder removed") << QByteArray("folder") << 75;
        QTest::newRow("the adapter killed") << QByteArray("avformat.dll") << 75;
        QTest::newRow("a corrupt source") << QByteArray() << 1;
    }
    void exitStatus()
    {
        QFETCH(QByteArray, killed);
        QFETCH(int, status);
        const QString source = m_dir.filePath(killed.isEmpty() ? QStringLiteral("corrupt.avi") : QStringLiteral("long.avi"));
        if (killed.isEmpty()) {
            put(QStringLiteral("corrupt.avi"), QByteArray("RIFF") + QByteArray(20000, '\x5a'));
        } else if (!QFileInfo::exists(source)) {
            const QString problem = makeClip(source, {.seconds = 120, .size = QStringLiteral("320x240")});
            QVERIFY2(problem.isEmpty(), qPrintable(problem));
        }
        const QString folder = m_dir.filePath(QStringLiteral("vanishing"));
        QProcess program;
        program.start(m_program, {"--preset", "Sony PSP (PSP AVC)", source, "-d", folder});
        QVERIFY(program.waitForStarted());
        if (killed == "folder") {
            QTRY_VERIFY_WITH_TIMEOUT(!QDir(folder).entryList(QDir::Files | QDir::Hidden).isEmpty(), 30000);
            QVERIFY(QDir(folder).removeRecursively());
        } else if (!killed.isEmpty()) {
            pid_t victim = 0;
            QTRY_VERIFY_WITH_TIMEOUT([&] {
                for (const ProcessTree::Process &p : ProcessTree::descendants(pid_t(program.processId()))) {
                    if (p.name == QString::fromLatin1(killed))
                        victim = p.pid;
                }
                return victim != 0;
            }(), 30000);
            QTest::qWait(500);
            ::kill(victim, SIGKILL);
        }
        QVERIFY(program.waitForFinished(120000));
        QVERIFY2(program.exitCode() == status, program.readAllStandardError().constData());
        QTRY_COMPARE(ProcessTree::below(ProcessTree::self()), QList<pid_t>());
    }

    // A file copied in three pieces two seconds apart is converted once, after the copy ended;
    // run again, the watch converts nothing.
    void watchFolder()
    {
        QVERIFY(QDir().mkpath(m_dir.filePath(QStringLiteral("watched/deep"))));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_STATE_HOME"), m_dir.filePath(QStringLiteral("state")));
        const QStringList arguments{"--preset", "MP3 Sound (MP3)", "--watch", "watched", "-d", "converted", "--json", "--settle", "3"};
        QProcess watch;
        watch.setProcessEnvironment(environment);
        watch.setWorkingDirectory(m_dir.path());
        watch.start(m_program, arguments);
        QVERIFY(watch.waitForStarted());
        QByteArray out;
        QByteArray errors;
        const auto read = [&] {
            out += watch.readAllStandardOutput();
            errors += watch.readAllStandardError();
        };
        QTRY_VERIFY_WITH_TIMEOUT((read(), errors.contains("watching")), 30000);

        QFile copy(m_dir.filePath(QStringLiteral("watched/deep/slow.avi")));
        QVERIFY(copy.open(QIODevice::WriteOnly));
        const qsizetype piece = m_clip.size() / 3 + 1;
        for (qsizetype at = 0; at < m_clip.size(); at += piece) {
            read();
            QVERIFY2(!out.contains("\"start\""), "converted before the copy ended");
            copy.write(m_clip.mid(at, piece));
            copy.flush();
            if (at + piece < m_clip.size())
                QTest::qWait(2000);
        }
        copy.close();
        QTRY_VERIFY_WITH_TIMEOUT((read(), out.contains("\"done\"")), 60000);
        const QString result = m_dir.filePath(QStringLiteral("converted/deep/slow.mp3"));
        QVERIFY(probe(result).seconds() > 0.9);
        ::kill(pid_t(watch.processId()), SIGTERM);
        QVERIFY(watch.waitForFinished(30000));
        read();
        QCOMPARE(watch.exitCode(), 0);
        QCOMPARE(ofKind(jsonLines(out), "start", "source"), QStringList{"watched/deep/slow.avi"});

        // Run again: its own result and the file it took are left alone.
        out.clear();
        errors.clear();
        watch.start(m_program, arguments);
        QVERIFY(watch.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT((read(), errors.contains("watching")), 30000);
        QTest::qWait(5000);
        ::kill(pid_t(watch.processId()), SIGTERM);
        QVERIFY(watch.waitForFinished(30000));
        read();
        QCOMPARE(watch.exitCode(), 0);
        QVERIFY2(!out.contains("\"start\""), out.constData());
        QCOMPARE(tree(m_dir.filePath(QStringLiteral("converted"))), QStringList{"deep/slow.mp3"});
    }

    // A stop signal with a conversion at hand: --on-stop says whether it finishes or is cancelled;
    // either way the watch ends with 0 and leaves no partial result.
    void watchStop_data()
    {
        QTest::addColumn<QString>("onStop");
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<QStringList>("results");
        QTest::newRow("finish") << "finish" << "done" << QStringList{"long.mp4"};
        QTest::newRow("cancel") << "cancel" << "cancelled" << QStringList{};
    }
    void watchStop()
    {
        QFETCH(QString, onStop);
        QFETCH(QString, outcome);
        QFETCH(QStringList, results);
        const QString in = m_dir.filePath(QStringLiteral("stop-") + onStop);
        QVERIFY(QDir().mkpath(in));
        const QString problem = makeClip(in + QStringLiteral("/long.avi"), {.seconds = 60, .size = QStringLiteral("320x240")});
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_STATE_HOME"), m_dir.filePath(QStringLiteral("state")));
        QProcess watch;
        watch.setProcessEnvironment(environment);
        const QString out = in + QStringLiteral("-out");
        watch.start(m_program, {"--preset", "iPOD Video (320x240) MPEG4", "--watch", in, "-d", out, "--json", "--settle", "1",
                                "--on-stop", onStop});
        QVERIFY(watch.waitForStarted());
        QByteArray events;
        QTRY_VERIFY_WITH_TIMEOUT((events += watch.readAllStandardOutput()).contains("\"start\""), 30000);
        ::kill(pid_t(watch.processId()), SIGTERM);
        QVERIFY(watch.waitForFinished(120000));
        events += watch.readAllStandardOutput();
        QCOMPARE(watch.exitCode(), 0);
        QCOMPARE(ofKind(jsonLines(events), outcome.toLatin1().constData(), "source").size(), 1);
        QCOMPARE(tree(out), results);
    }

private:
    void put(const QString &name, const QByteArray &content)
    {
        const QString path = m_dir.filePath(name);
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(content), content.size());
    }

    QTemporaryDir m_dir;
    QString m_program;
    QByteArray m_clip;
};

QTEST_GUILESS_MAIN(TestFolders)
#include "tst_folders.moc"
