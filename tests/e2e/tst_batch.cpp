// The command-line mode on several sources with the real adapter and ffmpeg: side by side with
// --json, event by event; -n over an existing destination; a cancelled parallel run.

#include "Clip.h"
#include "FileContent.h"
#include "JsonLines.h"
#include "ProcessTree.h"
#include "RunProgram.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QtTest>

#include <csignal>

namespace {

QString field(const QJsonObject &event, const char *name)
{
    return event.value(QLatin1String(name)).toString();
}

// Files in a folder, hidden ones (the adapter's temporary files) included.
QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

} // namespace

class TestBatch : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        m_program = builtProgram(QStringLiteral("vidomar"));
        QVERIFY(QFileInfo(m_program).isExecutable());
        qunsetenv("VIDOMAR_FFMPEG");
        QVERIFY(m_dir.isValid());
        // Long enough for several polls, so that each source reports progress more than once.
        const QString clip = m_dir.filePath(QStringLiteral("clip.avi"));
        const QString problem = makeClip(clip, {.seconds = 60, .size = QStringLiteral("320x240")});
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        for (const char *name : {"a.avi", "b.avi", "c.avi"})
            QVERIFY(QFile::link(clip, m_dir.filePath(QLatin1String(name))));
    }

    // Two at once: the first two start together, the third once one of them is done; each
    // source's progress only rises, and its done event names the file written.
    void sideBySideAsJson()
    {
        const ProgramRun run = runProgram(m_program, {"--preset", "iPOD Video (320x240) MPEG4", "-j", "2", "--json", "-d", "json",
                                               "a.avi", "b.avi", "c.avi"},
                                          {.folder = m_dir.path(), .errorsApart = true, .inputOpen = true});
        QVERIFY2(run.exitCode == 0, run.errors.constData());
        const QList<QJsonObject> list = jsonLines(run.output);
        QVERIFY(!list.isEmpty());

        QCOMPARE(field(list.at(0), "event"), QStringLiteral("start"));
        QCOMPARE(field(list.at(1), "event"), QStringLiteral("start"));
        QHash<QString, QString> state; // source: its latest event
        QHash<QString, int> percent;
        QHash<QString, double> elapsed;
        int running = 0;
        for (const QJsonObject &event : list) {
            const QString kind = field(event, "event");
            const QString source = field(event, "source");
            const QString previous = state.value(source);
            if (kind == QLatin1String("start")) {
                QVERIFY2(previous.isEmpty(), qPrintable(source));
                QCOMPARE(field(event, "destination"), QStringLiteral("json/") + source.left(1) + QStringLiteral(".mp4"));
                QCOMPARE(field(event, "preset"), QStringLiteral("iPOD Video (320x240) MPEG4"));
                QVERIFY(++running <= 2);
            } else if (kind == QLatin1String("progress")) {
                QVERIFY2(previous == QLatin1String("start") || previous == QLatin1String("progress"), qPrintable(source));
                const int p = event.value("percent").toInt(-1);
                QVERIFY2(p > percent.value(source) && p <= 99, qPrintable(QString::number(p)));
                percent[source] = p;
                const double e = event.value("elapsed").toDouble(-1);
                QVERIFY(e >= elapsed.value(source));
                elapsed[source] = e;
                QVERIFY(event.value("left").isNull() || event.value("left").toDouble(-1) >= 0);
            } else {
                QCOMPARE(kind, QStringLiteral("done"));
                QVERIFY2(previous == QLatin1String("start") || previous == QLatin1String("progress"), qPrintable(source));
                const QString destination = field(event, "destination");
                const qint64 size = QFileInfo(m_dir.filePath(destination)).size();
                QVERIFY(size > 0);
                QCOMPARE(event.value("bytes").toInteger(), size);
                QVERIFY(event.value("seconds").toDouble() > 0);
                --running;
            }
            state[source] = kind;
        }
        QCOMPARE(state, (QHash<QString, QString>{{"a.avi", "done"}, {"b.avi", "done"}, {"c.avi", "done"}}));
        QCOMPARE(percent.size(), 3);
        QCOMPARE(filesIn(m_dir.filePath(QStringLiteral("json"))), (QStringList{"a.mp4", "b.mp4", "c.mp4"}));
    }

    // An interrupted batch run again with -n: the file already there is not touched, the rest
    // converts, and a skip is no failure.
    void noOverwrite()
    {
        const QString folder = m_dir.filePath(QStringLiteral("kept"));
        QVERIFY(QDir().mkpath(folder));
        const QByteArray earlier = contentOf(m_dir.filePath(QStringLiteral("a.avi"))).left(5000);
        QFile existing(folder + QStringLiteral("/a.mp3"));
        QVERIFY(existing.open(QIODevice::WriteOnly));
        existing.write(earlier);
        existing.close();

        const ProgramRun run = runProgram(m_program, {"--preset", "MP3 Sound (MP3)", "-n", "--json", "-d", "kept", "a.avi", "b.avi"},
                                          {.folder = m_dir.path(), .errorsApart = true, .inputOpen = true});
        QVERIFY2(run.exitCode == 0, run.errors.constData());
        const QList<QJsonObject> list = jsonLines(run.output);
        QVERIFY(!list.isEmpty());
        QCOMPARE(field(list.first(), "event"), QStringLiteral("skipped"));
        QCOMPARE(field(list.first(), "source"), QStringLiteral("a.avi"));
        QCOMPARE(field(list.first(), "destination"), QStringLiteral("kept/a.mp3"));
        QCOMPARE(field(list.last(), "event"), QStringLiteral("done"));
        QCOMPARE(field(list.last(), "source"), QStringLiteral("b.avi"));
        QCOMPARE(contentOf(folder + QStringLiteral("/a.mp3")), earlier);
        QCOMPARE(filesIn(folder), (QStringList{"a.mp3", "b.mp3"}));
    }

    // Ctrl-C with two conversions at work and one waiting: both stop, nothing of theirs stays (no
    // temporary file, no unfinished destination, no encoder), and the waiting one never starts.
    void cancelledSideBySide()
    {
        const QString clip = m_dir.filePath(QStringLiteral("long.avi"));
        const QString problem = makeClip(clip, {.seconds = 180, .size = QStringLiteral("320x240")});
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        for (const char *name : {"long1.avi", "long2.avi", "long3.avi"})
            QVERIFY(QFile::link(clip, m_dir.filePath(QLatin1String(name))));
        const QString folder = m_dir.filePath(QStringLiteral("cancelled"));

        QProcess program;
        program.setWorkingDirectory(m_dir.path());
        program.start(m_program, {"--preset", "Sony PSP (PSP AVC)", "-j", "2", "--json", "-d", "cancelled", "long1.avi",
                                  "long2.avi", "long3.avi"});
        QVERIFY(program.waitForStarted());
        // Both encoders are at work once both temporary files have content.
        const auto writing = [&] {
            const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden);
            return files.size() == 2 && files.at(0).size() > 0 && files.at(1).size() > 0;
        };
        QTRY_VERIFY_WITH_TIMEOUT(writing(), 60000);
        const QList<pid_t> encoders = ProcessTree::below(pid_t(program.processId()));
        QCOMPARE(encoders.size(), 4); // two adapters, each with its ffmpeg

        ::kill(pid_t(program.processId()), SIGINT);
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 130);
        for (pid_t pid : encoders)
            QVERIFY2(ProcessTree::isGone(pid), qPrintable(QString::number(pid)));
        QCOMPARE(ProcessTree::below(ProcessTree::self()), QList<pid_t>());
        QCOMPARE(filesIn(folder), QStringList());

        QStringList seen;
        for (const QJsonObject &event : jsonLines(program.readAllStandardOutput())) {
            if (field(event, "event") != QLatin1String("progress"))
                seen << field(event, "event") + u' ' + field(event, "source");
        }
        seen.sort();
        QCOMPARE(seen, (QStringList{"cancelled long1.avi", "cancelled long2.avi", "start long1.avi", "start long2.avi"}));
    }

private:
    QTemporaryDir m_dir;
    QString m_program;
};

QTEST_GUILESS_MAIN(TestBatch)
#include "tst_batch.moc"
