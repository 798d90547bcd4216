// The window's queue on a real X server with the real encoder: three files named on the command
// line convert with one click on Convert; Pause stops the encoder's processor use and Resume
// finishes the file; a program killed in the middle of the second file offers, at its next start,
// to continue, and converts the rest with nothing left over.

#include "AccessibilityBus.h"
#include "Clip.h"
#include "FileContent.h"
#include "ProcessTree.h"
#include "ProgramChecks.h"
#include "ProgramOnDisplay.h"
#include "RunProgram.h"
#include "XServer.h"
#include "Xdo.h"

#include <QtTest>

#include <csignal>
#include <memory>

namespace {

constexpr int ClipSeconds = 6;
const char *const BoxName = "^Zorvik Vidomar$";
// Where the stored form puts Convert and the window puts Pause.
const QPoint ConvertCentre(474, 345);
const QPoint PauseCentre(469, 218);

// A file that ffmpeg decodes to its end without a word.
bool decodes(const QString &path)
{
    const ProgramRun decode = runProgram(QStringLiteral("ffmpeg"), {"-v", "error", "-nostdin", "-i", path, "-f", "null", "-"});
    return decode.exitCode == 0 && decode.output.isEmpty();
}

} // namespace

class TestQueueDisplay : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        m_vidomar = builtProgram(QStringLiteral("vidomar"));
        QVERIFY2(QFileInfo(m_vidomar).isExecutable(), qPrintable(m_vidomar));
        const QString noDisplay = openDisplay(m_server, m_xdo);
        QVERIFY2(noDisplay.isEmpty(), qPrintable(noDisplay));
        QVERIFY(m_dir.isValid());
        m_clip = m_dir.filePath(QStringLiteral("clip.avi"));
        const QString problem = makeClip(m_clip, Clip{.seconds = ClipSeconds, .size = QStringLiteral("320x240")});
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        // ffmpeg reading at the clip's own pace, so that each conversion lasts long enough to act on.
        m_paced = writePacedFfmpeg(m_dir.path());
        QVERIFY(!m_paced.isEmpty());
    }

    void init()
    {
        m_case = std::make_unique<QTemporaryDir>();
        QVERIFY(m_case->isValid());
        QVERIFY(QDir(m_case->path()).mkpath(QStringLiteral("videos")));
        m_sources.clear();
        for (const char *name : {"a.avi", "b.avi", "c.avi"}) {
            m_sources << m_case->filePath(QStringLiteral("videos/") + QLatin1String(name));
            QVERIFY(QFile::copy(m_clip, m_sources.last()));
        }
    }

    void cleanup()
    {
        m_program.stop();
        m_case.reset();
        m_bus.reset();
    }

    // A screen reader in Save as during a queue run hears nothing over and over: in 10 s each
    // object sends at most a few text or name events (a text set again is two).
    void quietDuringQueueRun()
    {
        const quint64 window = startWithBus(m_sources);
        QVERIFY2(window, qPrintable(m_failure));
        QVERIFY2(m_xdo->click(window, controlRect(QStringLiteral("txtDest")).center()), qPrintable(m_xdo->error()));
        QVERIFY2(m_xdo->key(window, QStringLiteral("alt+c")), qPrintable(m_xdo->error()));
        QVERIFY2(QTest::qWaitFor([&] { return !encoders().isEmpty(); }, 30000), "no encoder started");
        const std::optional<QString> events = m_bus->probe(m_server->display(), {"events", "10"}, &m_failure, 60000);
        QVERIFY2(events, qPrintable(m_failure));
        for (const QString &line : events->split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            QVERIFY2(line.section(QLatin1Char('\t'), 0, 0).toInt() <= 4, qPrintable(*events));
        QVERIFY2(probe({"focused"}).endsWith(QLatin1String("\tSave as\n")), qPrintable(m_failure));
        QVERIFY(!encoders().isEmpty()); // heard while it ran
    }

    // A run that ends while Pause has the focus hands it to Convert, not to Minimise.
    void endWithPauseFocused()
    {
        const quint64 window = startWithBus({m_sources.first()});
        QVERIFY2(window, qPrintable(m_failure));
        QVERIFY2(m_xdo->click(window, ConvertCentre), qPrintable(m_xdo->error()));
        QVERIFY2(QTest::qWaitFor([&] { return !encoders().isEmpty(); }, 30000), "no encoder started");
        QVERIFY2(QTest::qWaitFor([&] {
            if (probe({"focused"}) == QLatin1String("push button\tPause\n"))
                return true;
            m_xdo->key(window, QStringLiteral("Tab"));
            return false;
        }, 20000), "Pause never took the focus");
        QVERIFY2(QTest::qWaitFor([&] { return encoders().isEmpty(); }, 60000), "the run did not end");
        QTRY_COMPARE_WITH_TIMEOUT(probe({"focused"}), QStringLiteral("push button\tConvert\n"), 10000);
    }

    // At 1024 x 600 drawn twice as large, form and queue fit the screen together.
    void smallScreenShowsTheQueue()
    {
        XServer small(QStringLiteral("1024x600x24"));
        QVERIFY2(!small.display().isEmpty(), qPrintable(small.error()));
        Xdo xdo(small.display());
        QProcessEnvironment settings;
        settings.insert(QStringLiteral("VIDOMAR_UPDATE_HOST"), QStringLiteral("127.0.0.1:9"));
        settings.insert(QStringLiteral("QT_SCALE_FACTOR"), QStringLiteral("2"));
        const quint64 window = m_program.start(m_vidomar, m_sources, small.display(), xdo, m_case->path(), settings);
        QVERIFY2(window, qPrintable(m_program.error()));
        QTest::qWait(1000);
        const QRect drawn = xdo.geometry(window);
        const QString place = QStringLiteral("%1,%2 %3x%4").arg(drawn.x()).arg(drawn.y()).arg(drawn.width()).arg(drawn.height());
        xdo.screenshot(QStringLiteral("queue-small-screen"));
        QVERIFY2(QRect(0, 0, 1024, 600).contains(drawn), qPrintable(place));
        // Below the form (550 x 400 as stored), the panel area at its least height of 100.
        const int form = drawn.width() * 400 / 550;
        QVERIFY2(drawn.height() >= form + 2 * 100 - 4, qPrintable(place));
        m_program.stop();
    }

    // vidomar a.avi b.avi c.avi, one Convert: three files that decode, no box, the queue ends.
    void threeSourcesOneConvert()
    {
        const quint64 window = startProgram(m_sources, false);
        QVERIFY2(window, qPrintable(m_failure));
        QVERIFY2(m_xdo->click(window, ConvertCentre), qPrintable(m_xdo->error()));
        const auto allThere = [&] {
            for (const QString &source : std::as_const(m_sources))
                if (!QFileInfo::exists(QString(source).replace(QLatin1String(".avi"), QLatin1String(".mp4"))))
                    return false;
            return encoders().isEmpty();
        };
        QVERIFY2(QTest::qWaitFor(allThere, 180000), "the three files were not converted");
        m_xdo->screenshot(QStringLiteral("queue-finished"));
        for (const QString &source : std::as_const(m_sources))
            QVERIFY2(decodes(QString(source).replace(QLatin1String(".avi"), QLatin1String(".mp4"))), qPrintable(source));
        QCOMPARE(waitForBox(1500), quint64(0));
        QCOMPARE(videos().size(), 6);
        QVERIFY2(closeProgram(), qPrintable(m_failure));
    }

    // Pause: the encoder's processes stop and take no processor time; Resume finishes a good file.
    void pauseStopsTheEncoder()
    {
        const quint64 window = startProgram({m_sources.first()}, true);
        QVERIFY2(window, qPrintable(m_failure));
        QVERIFY2(m_xdo->click(window, ConvertCentre), qPrintable(m_xdo->error()));
        QVERIFY2(QTest::qWaitFor([&] { return encoderProcesses().size() == 2; }, 30000), "no encoder started");
        QTest::qWait(1000);
        QVERIFY2(m_xdo->click(window, PauseCentre), qPrintable(m_xdo->error()));
        const QList<pid_t> encoder = encoderProcesses();
        const auto stopped = [&] {
            return std::all_of(encoder.begin(), encoder.end(), [](pid_t pid) { return ProcessTree::usage(pid).state == 'T'; });
        };
        QVERIFY2(QTest::qWaitFor(stopped, 10000), "the encoder did not stop");
        m_xdo->screenshot(QStringLiteral("queue-paused"));
        QList<qint64> ticks;
        for (pid_t pid : encoder)
            ticks << ProcessTree::usage(pid).ticks;
        QTest::qWait(2000);
        for (qsizetype i = 0; i < encoder.size(); ++i)
            QCOMPARE(ProcessTree::usage(encoder.at(i)).ticks, ticks.at(i));
        QVERIFY2(m_xdo->click(window, PauseCentre), qPrintable(m_xdo->error()));
        const QString destination = QString(m_sources.first()).replace(QLatin1String(".avi"), QLatin1String(".mp4"));
        QVERIFY2(QTest::qWaitFor([&] { return QFileInfo::exists(destination) && encoders().isEmpty(); }, 60000),
                 "the resumed conversion did not finish");
        QVERIFY(decodes(destination));
        QVERIFY2(closeProgram(), qPrintable(m_failure));
    }

    // Killed in the middle of the second file; started again, it offers to continue, and Yes
    // converts what was left, with no temporary file anywhere.
    void killedQueueContinues()
    {
        quint64 window = startProgram(m_sources, true);
        QVERIFY2(window, qPrintable(m_failure));
        QVERIFY2(m_xdo->click(window, ConvertCentre), qPrintable(m_xdo->error()));
        const QString first = QString(m_sources.at(0)).replace(QLatin1String(".avi"), QLatin1String(".mp4"));
        QVERIFY2(QTest::qWaitFor([&] { return QFileInfo::exists(first) && !encoders().isEmpty(); }, 120000),
                 "the second file did not start");
        QTest::qWait(1500);
        const QList<ProcessTree::Process> below = ProcessTree::descendants(m_program.pid());
        ::kill(m_program.pid(), SIGKILL);
        QVERIFY(m_program.process()->waitForFinished(10000));
        for (const ProcessTree::Process &process : below)
            QVERIFY2(QTest::qWaitFor([&] { return !ProcessTree::isRunning(process.pid); }, 20000), qPrintable(process.name));
        const QByteArray firstContent = contentOf(first);

        window = startProgram({}, false);
        QVERIFY2(window, qPrintable(m_failure));
        const quint64 box = waitForBox(20000);
        QVERIFY2(box, "nothing was offered");
        m_xdo->screenshot(QStringLiteral("queue-offered"));
        QVERIFY2(m_xdo->key(box, QStringLiteral("y")), qPrintable(m_xdo->error()));
        const auto allThere = [&] {
            return videos().size() == 6 && encoders().isEmpty();
        };
        QVERIFY2(QTest::qWaitFor(allThere, 180000), qPrintable(videos().join(u' ')));
        QCOMPARE(contentOf(first), firstContent); // never converted twice
        for (const QString &source : std::as_const(m_sources))
            QVERIFY2(decodes(QString(source).replace(QLatin1String(".avi"), QLatin1String(".mp4"))), qPrintable(source));
        QVERIFY2(closeProgram(), qPrintable(m_failure));
    }

    // A folder dragged from another program onto the window: one question (into a folder), the
    // folder typed into the dialog, one Convert; the media files' results lie in the mirrored tree
    // and decode, and nothing else is written.
    void droppedFolderConvertsIntoMirroredTree()
    {
        const QString tree = m_case->filePath(QStringLiteral("tree"));
        const QString out = m_case->filePath(QStringLiteral("out"));
        QVERIFY(QDir().mkpath(tree + QStringLiteral("/sub")) && QDir().mkpath(out));
        for (const char *name : {"/a.avi", "/sub/b.avi"})
            QCOMPARE(makeClip(tree + QLatin1String(name), Clip{.seconds = 1, .size = QStringLiteral("160x120")}), QString());
        QFile notes(tree + QStringLiteral("/notes.txt"));
        QVERIFY(notes.open(QIODevice::WriteOnly) && notes.write("not a video\n") > 0);
        notes.close();

        const quint64 window = startProgram({}, false);
        QVERIFY2(window, qPrintable(m_failure));
        QProcess source;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), m_server->display());
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        source.setProcessEnvironment(environment);
        source.start(builtProgram(QStringLiteral("drag_source")), {tree});
        QList<quint64> sources;
        QVERIFY2(QTest::qWaitFor([&] { return !(sources = m_xdo->visibleWindows(QStringLiteral("^drag source$"))).isEmpty(); }, 20000),
                 "the drag source did not show");
        QVERIFY2(m_xdo->drag(sources.first(), QPoint(60, 40), window, QPoint(500, 50)), qPrintable(m_xdo->error()));
        const quint64 box = waitForBox(20000);
        QVERIFY2(box, "no question where the results go");
        m_xdo->screenshot(QStringLiteral("folder-question"));
        QVERIFY2(m_xdo->key(box, QStringLiteral("Return")), qPrintable(m_xdo->error())); // Into a folder…
        QList<quint64> dialogs;
        QVERIFY2(QTest::qWaitFor([&] {
            return !(dialogs = m_xdo->visibleWindows(QStringLiteral("^Select the Folder for the Converted Files$"))).isEmpty();
        }, 20000), "no folder dialog");
        QVERIFY2(m_xdo->type(dialogs.first(), out), qPrintable(m_xdo->error()));
        QVERIFY2(m_xdo->key(dialogs.first(), QStringLiteral("Return")), qPrintable(m_xdo->error()));
        // The mirrored folders are made as the files join the queue.
        QVERIFY2(QTest::qWaitFor([&] { return QFileInfo(out + QStringLiteral("/sub")).isDir(); }, 30000), "nothing was queued");
        QTest::qWait(500);
        QVERIFY2(m_xdo->click(window, ConvertCentre), qPrintable(m_xdo->error()));
        const QStringList expected{QStringLiteral("a.mp4"), QStringLiteral("sub/b.mp4")};
        const auto written = [&] {
            QStringList files;
            QDirIterator it(out, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
            while (it.hasNext())
                files << QDir(out).relativeFilePath(it.next());
            files.sort();
            return files;
        };
        QVERIFY2(QTest::qWaitFor([&] { return written() == expected && encoders().isEmpty(); }, 120000),
                 qPrintable(written().join(u' ')));
        m_xdo->screenshot(QStringLiteral("folder-converted"));
        for (const QString &name : expected)
            QVERIFY2(decodes(out + QLatin1Char('/') + name), qPrintable(name));
        QCOMPARE(waitForBox(1500), quint64(0));
        QVERIFY2(closeProgram(), qPrintable(m_failure));
        source.waitForFinished(5000);
    }

private:
    quint64 startWithBus(const QStringList &arguments)
    {
        m_bus = std::make_unique<AccessibilityBus>(m_server->display());
        if (m_bus->address().isEmpty()) {
            m_failure = m_bus->error();
            return 0;
        }
        QProcessEnvironment settings;
        settings.insert(QStringLiteral("VIDOMAR_UPDATE_HOST"), QStringLiteral("127.0.0.1:9"));
        settings.insert(QStringLiteral("VIDOMAR_FFMPEG"), m_paced);
        settings.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_bus->address());
        settings.insert(QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"), QStringLiteral("1"));
        const quint64 window = m_program.start(m_vidomar, arguments, m_server->display(), *m_xdo, m_case->path(), settings);
        m_failure = m_program.error();
        // Once the program is on the accessibility bus.
        if (window && !QTest::qWaitFor([&] { return probe({"tree"}).contains(QLatin1String("progress bar")); }, 30000))
            return 0;
        return window;
    }

    QString probe(const QStringList &arguments)
    {
        return m_bus->probe(m_server->display(), arguments, &m_failure).value_or(QString());
    }

    QStringList videos() const
    {
        return QDir(m_case->filePath(QStringLiteral("videos"))).entryList(QDir::Files | QDir::Hidden);
    }

    quint64 startProgram(const QStringList &arguments, bool paced)
    {
        QProcessEnvironment settings;
        settings.insert(QStringLiteral("VIDOMAR_UPDATE_HOST"), QStringLiteral("127.0.0.1:9"));
        if (paced)
            settings.insert(QStringLiteral("VIDOMAR_FFMPEG"), m_paced);
        const quint64 window = m_program.start(m_vidomar, arguments, m_server->display(), *m_xdo, m_case->path(), settings);
        m_failure = m_program.error();
        return window;
    }

    quint64 waitForBox(int milliseconds)
    {
        QList<quint64> boxes;
        [[maybe_unused]] const bool done = QTest::qWaitFor([&] {
            boxes = m_xdo->visibleWindows(QLatin1String(BoxName));
            return !boxes.isEmpty();
        }, milliseconds);
        return boxes.isEmpty() ? 0 : boxes.first();
    }

    QList<pid_t> encoderProcesses() const { return m_program.running({QStringLiteral("avformat.dll"), QStringLiteral("ffmpeg")}); }

    QList<pid_t> encoders() const { return m_program.running({QStringLiteral("avformat.dll")}); }

    bool closeProgram()
    {
        const bool closed = m_program.close(*m_xdo, QPoint(534, 12));
        m_failure = m_program.error();
        return closed;
    }

    std::unique_ptr<XServer> m_server;
    std::unique_ptr<Xdo> m_xdo;
    std::unique_ptr<AccessibilityBus> m_bus;
    QTemporaryDir m_dir;
    QString m_vidomar;
    QString m_clip;
    QString m_paced;
    std::unique_ptr<QTemporaryDir> m_case;
    QStringList m_sources;
    ProgramOnDisplay m_program;
    QString m_failure;
};

QTEST_GUILESS_MAIN(TestQueueDisplay)
#include "tst_displayqueue.moc"
