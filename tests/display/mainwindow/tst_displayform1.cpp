// The real program on a real X server (Xvfb, the xcb platform), driven by real pointer and key
// events, checked by screenshots and by the files it writes. Offscreen tests deliver events in
// an order no display keeps; these see what a user sees.

#include "AccessibilityBus.h"
#include "Clip.h"
#include "Probe.h"
#include "ProcessTree.h"
#include "ProgramChecks.h"
#include "ProgramOnDisplay.h"
#include "XServer.h"
#include "Xdo.h"

#include <QtTest>

#include <csignal>
#include <memory>
#include <optional>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int ClipSeconds = 8;
// The title every message box of the program carries.
const char *const BoxName = "^Zorvik Vidomar$";
// The keyboard's stops, top to bottom, then minimise and close.
const char *const FocusStops[] = {"txtSource", "cmdSource", "cboFormat", "txtDest",
                                  "cmdDest",   "cmdConvert", "cmdMin",   "cmdClose"};

// After Convert, with a source in hand: the panel area's tabs and the Options page's eight
// controls that take the focus (the custom rectangle is off).
constexpr int PanelStops = 9;

enum class Outcome { Completes, Stopped, StoppedAndClosed };

} // namespace

Q_DECLARE_METATYPE(Outcome)

class TestForm1Display : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        for (const char *tool : {"Xvfb", "xdotool", "import", "ffmpeg", "ffprobe"})
            QVERIFY2(!QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty(),
                     qPrintable(QLatin1String(tool) + QLatin1String(" is not installed (scripts/install-deps)")));
        m_vidomar = builtProgram(QStringLiteral("vidomar"));
        QVERIFY2(QFileInfo(m_vidomar).isExecutable(), qPrintable(m_vidomar));
        QVERIFY2(QFileInfo(builtProgram(QStringLiteral("avformat.dll"))).isExecutable(), "the encoder adapter is not built");
        QVERIFY(controlRect(QStringLiteral("cmdConvert")).isValid());

        const QString noDisplay = openDisplay(m_mainServer, m_mainXdo);
        QVERIFY2(noDisplay.isEmpty(), qPrintable(noDisplay));
        m_server = m_mainServer.get();
        m_xdo = m_mainXdo.get();

        QVERIFY(m_dir.isValid());
        m_clip = m_dir.filePath(QStringLiteral("clip.avi"));
        const QString problem = makeClip(m_clip, {.seconds = ClipSeconds, .size = QStringLiteral("320x240")});
        QVERIFY2(problem.isEmpty(), qPrintable(problem));

        // The system's ffmpeg reading its input at the clip's own pace, so that a conversion runs
        // for the clip's length: long enough to be asked about, whatever the machine's speed.
        m_pacedFfmpeg = writePacedFfmpeg(m_dir.path());
        QVERIFY(!m_pacedFfmpeg.isEmpty());

        // The update check goes to a loopback port that is held but never listened on.
        m_closedPort = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        QVERIFY(m_closedPort >= 0 && ::bind(m_closedPort, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0);
        QVERIFY(::getsockname(m_closedPort, reinterpret_cast<sockaddr *>(&address), &length) == 0);
        m_updateHost = QStringLiteral("127.0.0.1:%1").arg(ntohs(address.sin_port));
    }

    void cleanupTestCase()
    {
        if (m_closedPort >= 0)
            ::close(m_closedPort);
        m_mainXdo.reset();
        m_mainServer.reset();
    }

    void init()
    {
        m_case = std::make_unique<QTemporaryDir>();
        QVERIFY(m_case->isValid());
        QVERIFY(QDir(m_case->path()).mkpath(QStringLiteral("videos")));
        m_source = m_case->filePath(QStringLiteral("videos/clip.avi"));
        QVERIFY(QFile::copy(m_clip, m_source));
        m_destination = m_case->filePath(QStringLiteral("videos/clip.mp4"));
    }

    // A program a failed test left behind ends here, with every process it started.
    void cleanup()
    {
        m_program.stop();
        m_case.reset();
        m_bus.reset();
        m_server = m_mainServer.get();
        m_xdo = m_mainXdo.get();
        m_scale = 1;
    }

    // Open the window with a source (as "Open With" does), move the pointer onto Convert and click
    // at once: that first click converts.
    void firstClickConverts()
    {
        const quint64 window = startProgram(m_source, false);
        QVERIFY2(window, qPrintable(m_failure));
        const QRect bar = onScreen(window, QStringLiteral("ProBar"));
        const double before = blockShare(m_xdo->screenshot(QStringLiteral("first-click-opened")), bar);
        QVERIFY2(before >= 0 && before < 0.02, qPrintable(QString::number(before)));

        QVERIFY2(m_xdo->click(window, controlRect(QStringLiteral("cmdConvert")).center()), qPrintable(m_xdo->error()));
        QVERIFY2(QTest::qWaitFor([&] { return QFileInfo::exists(m_destination); }, 60000), "no finished destination");
        const Probe result = probe(m_destination);
        QVERIFY2(result.error.isEmpty(), qPrintable(result.error));
        QCOMPARE(result.videoCodec(), QStringLiteral("mpeg4"));
        QCOMPARE(result.size(), QSize(320, 240));
        QCOMPARE(result.audioCodec(), QStringLiteral("aac"));
        QVERIFY2(qAbs(result.seconds() - ClipSeconds) < 0.5, qPrintable(QString::number(result.seconds())));

        // The bar fills with blocks at the end.
        const auto barFull
            = [&] { return blockShare(m_xdo->screenshot(QStringLiteral("first-click-finished")), bar) > 0.3; };
        QVERIFY2(QTest::qWaitFor(barFull, 20000), "the bar does not show the end");
        QVERIFY2(closeProgram(), qPrintable(m_failure));
    }

    // That first click, made the moment the pointer arrives on Convert, leaves the button as a slow
    // hover leaves it: no frame of the hover effect stays behind.
    void firstClickSettlesAsASlowHover()
    {
        const quint64 window = startProgram(m_source, false);
        QVERIFY2(window, qPrintable(m_failure));
        const QRect convert = onScreen(window, QStringLiteral("cmdConvert"));
        // Low on the button: the tooltip, which opens below the pointer, then covers none of it.
        const QPoint centre(controlRect(QStringLiteral("cmdConvert")).center().x(),
                            controlRect(QStringLiteral("cmdConvert")).bottom() - 8);
        // A spot of the window that no control covers.
        const QPoint away(300, 100);
        const auto face = [&](const QString &name) {
            QTest::qWait(1500); // the fade and the hover effect take a fraction of this
            return m_xdo->screenshot(QStringLiteral("settle-") + name).copy(convert);
        };
        QVERIFY2(m_xdo->move(window, away), qPrintable(m_xdo->error()));
        const QImage normal = face(QStringLiteral("normal"));

        QVERIFY2(m_xdo->click(window, centre), qPrintable(m_xdo->error()));
        // Convert wears Stop while the run lasts; the pointer rests on it until the run is over.
        QVERIFY2(QTest::qWaitFor([&] { return QFileInfo::exists(m_destination) && encoders().isEmpty(); }, 60000),
                 "the conversion did not finish");
        const QImage clicked = face(QStringLiteral("clicked"));
        QVERIFY2(m_xdo->move(window, away), qPrintable(m_xdo->error()));
        QTest::qWait(1000);
        QVERIFY2(m_xdo->move(window, centre), qPrintable(m_xdo->error()));
        const QImage hovered = face(QStringLiteral("hovered"));
        QVERIFY(!normal.isNull() && hovered != normal);
        QVERIFY2(clicked == hovered, "the clicked button shows another face than a hovered one (see settle-*.png)");
        QVERIFY2(closeProgram(), qPrintable(m_failure));
    }

    // Convert and close during a conversion ask first. No leaves the conversion running to a
    // good file; Yes stops it with nothing written (and closes, when closing asked).
    void askDuringConversion_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<Outcome>("outcome");
        QTest::newRow("Convert, No") << QStringLiteral("cmdConvert") << QStringLiteral("n") << Outcome::Completes;
        QTest::newRow("Convert, Yes") << QStringLiteral("cmdConvert") << QStringLiteral("y") << Outcome::Stopped;
        QTest::newRow("close, No") << QStringLiteral("cmdClose") << QStringLiteral("n") << Outcome::Completes;
        QTest::newRow("close, Yes") << QStringLiteral("cmdClose") << QStringLiteral("y") << Outcome::StoppedAndClosed;
    }
    void askDuringConversion()
    {
        QFETCH(QString, button);
        QFETCH(QString, answer);
        QFETCH(Outcome, outcome);
        const quint64 window = startProgram(m_source, true);
        QVERIFY2(window, qPrintable(m_failure));
        QVERIFY2(m_xdo->click(window, controlRect(QStringLiteral("cmdConvert")).center()), qPrintable(m_xdo->error()));
        QVERIFY2(QTest::qWaitFor([&] { return !encoders().isEmpty(); }, 20000), "no encoder started");
        // ffprobe comes and goes: the adapter asks it about the source and the finished file.
        QList<ProcessTree::Process> running = ProcessTree::descendants(m_program.pid());
        running.removeIf([](const ProcessTree::Process &process) { return process.name == QLatin1String("ffprobe"); });

        QVERIFY2(m_xdo->click(window, controlRect(button).center()), qPrintable(m_xdo->error()));
        const quint64 box = waitForBox(20000);
        QVERIFY2(box, "no question");
        m_xdo->screenshot(
            QStringLiteral("ask-")
            + QString::fromLatin1(QTest::currentDataTag()).replace(QLatin1String(", "), QLatin1String("-")));
        QVERIFY2(m_xdo->key(box, answer), qPrintable(m_xdo->error()));
        QVERIFY2(QTest::qWaitFor([&] { return !isBox(box); }, 10000), "the answer left the box open");

        if (outcome == Outcome::Completes) {
            QVERIFY(m_xdo->visibleWindows(ProgramOnDisplay::mainWindowName()).contains(window));
            for (const ProcessTree::Process &process : running)
                QVERIFY2(ProcessTree::isRunning(process.pid), qPrintable(process.name));
            QVERIFY(!QFileInfo::exists(m_destination));
            QVERIFY2(QTest::qWaitFor([&] { return QFileInfo::exists(m_destination); }, 60000),
                     "no finished destination");
            const Probe result = probe(m_destination);
            QVERIFY2(result.error.isEmpty(), qPrintable(result.error));
            QVERIFY2(qAbs(result.seconds() - ClipSeconds) < 0.5, qPrintable(QString::number(result.seconds())));
            QVERIFY2(QTest::qWaitFor([&] { return encoders().isEmpty(); }, 20000), "an encoder stayed");
            QVERIFY2(closeProgram(), qPrintable(m_failure));
            return;
        }

        for (const ProcessTree::Process &process : running)
            QVERIFY2(QTest::qWaitFor([&] { return !ProcessTree::isRunning(process.pid); }, 20000),
                     qPrintable(process.name));
        if (outcome == Outcome::StoppedAndClosed) {
            QVERIFY2(m_program.process()->waitForFinished(20000), "the window stayed");
            QCOMPARE(m_program.process()->exitStatus(), QProcess::NormalExit);
            QCOMPARE(m_program.process()->exitCode(), 0);
        } else {
            // Stopped as cancelling stops: no message, no new conversion, an empty bar.
            QCOMPARE(waitForBox(1500), quint64(0));
            QVERIFY(encoders().isEmpty());
            QVERIFY(m_xdo->visibleWindows(ProgramOnDisplay::mainWindowName()).contains(window));
            const QRect bar = onScreen(window, QStringLiteral("ProBar"));
            const double blocks = blockShare(m_xdo->screenshot(QStringLiteral("stopped")), bar);
            QVERIFY2(blocks >= 0 && blocks < 0.02, qPrintable(QString::number(blocks)));
            QVERIFY2(closeProgram(), qPrintable(m_failure));
        }
        QCOMPARE(QDir(m_case->filePath(QStringLiteral("videos"))).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("clip.avi")});
    }

    // A source that does not exist gives one message box, before any encoder starts.
    void missingSourceGivesOneBox()
    {
        QVERIFY(QFile::remove(m_source));
        const quint64 window = startProgram(m_source, false);
        QVERIFY2(window, qPrintable(m_failure));
        QVERIFY2(m_xdo->click(window, controlRect(QStringLiteral("cmdConvert")).center()), qPrintable(m_xdo->error()));
        quint64 box = waitForBox(20000);
        QVERIFY2(box, "no message");
        m_xdo->screenshot(QStringLiteral("missing-source"));
        QVERIFY2(encoders().isEmpty(), "the run started before the box"); // no Stop, no Pause
        int boxes = 0;
        while (box && boxes < 20) {
            ++boxes;
            QVERIFY2(m_xdo->key(box, QStringLiteral("Return")), qPrintable(m_xdo->error()));
            QVERIFY2(QTest::qWaitFor([&] { return !isBox(box); }, 10000), "the answer left the box open");
            box = waitForBox(3000);
        }
        QCOMPARE(boxes, 1);
        QVERIFY2(QTest::qWaitFor([&] { return encoders().isEmpty(); }, 10000), "an encoder stayed");
        QVERIFY2(closeProgram(), qPrintable(m_failure));
    }

    // Keys only: type the source's path, Tab to Convert, Space: the clip converts.
    void keyboardOnlyRun()
    {
        const quint64 window = startProgram(QString(), false);
        QVERIFY2(window, qPrintable(m_failure));
        QVERIFY2(m_xdo->type(window, m_source), qPrintable(m_xdo->error()));
        for (int stop = 0; stop < 5; ++stop)
            QVERIFY2(m_xdo->key(window, QStringLiteral("Tab")), qPrintable(m_xdo->error()));
        m_xdo->screenshot(QStringLiteral("keyboard-on-convert"));
        QVERIFY2(m_xdo->key(window, QStringLiteral("space")), qPrintable(m_xdo->error()));
        QVERIFY2(QTest::qWaitFor([&] { return QFileInfo::exists(m_destination) && encoders().isEmpty(); }, 60000),
                 "no finished destination");
        const Probe result = probe(m_destination);
        QVERIFY2(result.error.isEmpty(), qPrintable(result.error));
        QCOMPARE(result.videoCodec(), QStringLiteral("mpeg4"));
        QVERIFY2(closeProgram(), qPrintable(m_failure));
    }

    // Every focus stop shows itself: the control looks different with the focus than without.
    void focusIsSeen()
    {
        const quint64 window = startProgram(m_source, false);
        QVERIFY2(window, qPrintable(m_failure));
        // The pointer rests where no control is, so that no hover face changes the pictures.
        QVERIFY2(m_xdo->move(window, QPoint(300, 100)), qPrintable(m_xdo->error()));
        const QPoint origin = m_xdo->geometry(window).topLeft();
        const auto shot = [&](const QString &name) {
            QTest::qWait(1500); // fades and the caret's blink settle within this
            return m_xdo->screenshot(QStringLiteral("focus-") + name);
        };
        // The first stop has the focus at start; the last one's Tab brings it back there.
        QImage before = shot(QStringLiteral("start"));
        QList<QImage> shots{before};
        for (qsizetype i = 0; i < qsizetype(std::size(FocusStops)); ++i) {
            // The source in hand opens the panel area: its tabs and page come after Convert.
            const int tabs = QLatin1String(FocusStops[i]) == QLatin1String("cmdConvert") ? 1 + PanelStops : 1;
            for (int tab = 0; tab < tabs; ++tab)
                QVERIFY2(m_xdo->key(window, QStringLiteral("Tab")), qPrintable(m_xdo->error()));
            shots << shot(QString::number(shots.size()));
        }
        // Shot k has the focus on stop k; shot 0 is the window before it took the keyboard, so the
        // first stop is seen on the last shot, after the round.
        const qsizetype stops = std::size(FocusStops);
        QStringList unseen;
        for (qsizetype i = 0; i < stops; ++i) {
            const QString name = QLatin1String(FocusStops[i]);
            const QRect place = controlRect(name).adjusted(-3, -3, 3, 3).translated(origin);
            const QImage focused = shots.at(i == 0 ? stops : i).copy(place);
            const QImage unfocused = shots.at(i == 0 ? stops - 1 : i - 1).copy(place);
            if (focused == unfocused)
                unseen << name;
        }
        QVERIFY2(unseen.isEmpty(), qPrintable(unseen.join(u' ') + QStringLiteral(" show no focus (focus-*.png)")));
        QVERIFY2(closeProgram(), qPrintable(m_failure));
    }

    // A screen reader's view over AT-SPI: named push buttons and fields, a progress bar whose
    // value rises during a run, and Convert's press action starting that run.
    void screenReader()
    {
        m_bus = std::make_unique<AccessibilityBus>(m_server->display());
        QVERIFY2(!m_bus->address().isEmpty(), qPrintable(m_bus->error()));
        const quint64 window = startProgram(
            m_source, true,
            {QStringLiteral("DBUS_SESSION_BUS_ADDRESS=") + m_bus->address(), "QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1"});
        QVERIFY2(window, qPrintable(m_failure));
        QString tree;
        QVERIFY2(QTest::qWaitFor(
                     [&] {
                         tree = probeAccess({"tree"}).value_or(QString());
                         return tree.contains(QLatin1String("progress bar"));
                     },
                     30000),
                 qPrintable(m_failure + tree));
        // Each object a line: role, name, the name of its label.
        for (const char *expected :
             {"push button\tBrowse for the source video\t", "push button\tChoose where to save\t",
              "push button\tConvert\t", "push button\tMinimise\t", "push button\tClose\t",
              "push button\tZorvik home page\t", "(text|entry)\tSource video\tSource video",
              "combo box\t[^\t]*\tConvert to", "(text|entry)\tSave as\tSave as",
              "progress bar\tConversion progress\t"}) {
            const QRegularExpression line(QLatin1Char('^') + QLatin1String(expected) + QLatin1Char('$'),
                                          QRegularExpression::MultilineOption);
            QVERIFY2(line.match(tree).hasMatch(), qPrintable(QLatin1String(expected) + QLatin1String(" in:\n") + tree));
        }

        QVERIFY2(probeAccess({"press", "Convert"}), qPrintable(m_failure));
        QVERIFY2(QTest::qWaitFor([&] { return !encoders().isEmpty(); }, 20000), "the press action converted nothing");
        QList<double> values;
        QVERIFY2(QTest::qWaitFor(
                     [&] {
                         const QString value = probeAccess({"value"}).value_or(QString());
                         values << value.section(QLatin1Char(' '), 0, 0).toDouble();
                         QTest::qWait(500);
                         return values.size() >= 2 && values.last() > values.first() && values.last() < 100;
                     },
                     30000),
                 qPrintable(QStringLiteral("the value does not rise: ") + m_failure));
        QVERIFY2(QTest::qWaitFor([&] { return QFileInfo::exists(m_destination) && encoders().isEmpty(); }, 60000),
                 "no finished destination");
        QVERIFY2(closeProgram(), qPrintable(m_failure));
    }

    // A window larger than the screen opens drawn smaller, wholly on it, and converts.
    void smallScreen()
    {
        XServer small(QStringLiteral("1024x600x24"));
        QVERIFY2(!small.display().isEmpty(), qPrintable(small.error()));
        Xdo xdo(small.display());
        m_server = &small;
        m_xdo = &xdo;
        const quint64 window = startProgram(m_source, false, {"QT_SCALE_FACTOR=2"});
        QVERIFY2(window, qPrintable(m_failure));
        const QRect drawn = m_xdo->geometry(window);
        QVERIFY2(QRect(0, 0, 1024, 600).contains(drawn), qPrintable(QStringLiteral("%1,%2 %3x%4").arg(drawn.x()).arg(drawn.y()).arg(drawn.width()).arg(drawn.height())));
        // The form keeps its proportions (550 x 400), the panel area below it at its least (100).
        const int form = drawn.width() * 400 / 550;
        QVERIFY2(drawn.height() >= form + 2 * 100 - 4, qPrintable(QString::number(drawn.height())));
        m_scale = drawn.width() / 550.0;
        QTest::qWait(1000);
        m_xdo->screenshot(QStringLiteral("small-screen"));
        QVERIFY2(m_xdo->click(window, at(QStringLiteral("cmdConvert"))), qPrintable(m_xdo->error()));
        QVERIFY2(QTest::qWaitFor([&] { return QFileInfo::exists(m_destination) && encoders().isEmpty(); }, 60000),
                 "no finished destination");
        QVERIFY2(closeProgram(), qPrintable(m_failure));
        m_program.stop();
    }

private:
    // Starts the program on the test display with a home of its own and waits for its window.
    quint64 startProgram(const QString &source, bool paced, const QStringList &extraEnvironment = {})
    {
        QProcessEnvironment settings;
        settings.insert(QStringLiteral("VIDOMAR_UPDATE_HOST"), m_updateHost);
        if (paced)
            settings.insert(QStringLiteral("VIDOMAR_FFMPEG"), m_pacedFfmpeg);
        for (const QString &setting : extraEnvironment)
            settings.insert(setting.section(QLatin1Char('='), 0, 0), setting.section(QLatin1Char('='), 1));
        const quint64 window = m_program.start(m_vidomar, source.isEmpty() ? QStringList{} : QStringList{source},
                                               m_server->display(), *m_xdo, m_case->path(), settings);
        m_failure = m_program.error();
        return window;
    }

    // A message box that shows within the time.
    quint64 waitForBox(int milliseconds)
    {
        QList<quint64> boxes;
        const bool shown = QTest::qWaitFor(
            [&] {
                boxes = m_xdo->visibleWindows(QLatin1String(BoxName));
                return !boxes.isEmpty();
            },
            milliseconds);
        return shown ? boxes.first() : 0;
    }

    bool isBox(quint64 window) const { return m_xdo->visibleWindows(QLatin1String(BoxName)).contains(window); }

    // The encoders this program runs.
    QList<pid_t> encoders() const { return m_program.running({QStringLiteral("avformat.dll")}); }

    // A control's centre in the window as drawn (smaller on a small screen).
    QPoint at(const QString &control) const
    {
        const QPointF centre = QRectF(controlRect(control)).center() * m_scale;
        return centre.toPoint();
    }

    // Runs the accessibility probe against the program: its output, or nothing with m_failure set.
    std::optional<QString> probeAccess(const QStringList &arguments)
    {
        return m_bus->probe(m_server->display(), arguments, &m_failure);
    }

    QRect onScreen(quint64 window, const QString &control) const
    {
        return controlRect(control).translated(m_xdo->geometry(window).topLeft());
    }

    // Closes the window with its close button; the program ends cleanly (a sanitizer's report
    // would make the exit fail).
    bool closeProgram()
    {
        const bool closed = m_program.close(*m_xdo, at(QStringLiteral("cmdClose")));
        m_failure = m_program.error();
        return closed;
    }

    // The display the case runs on: the suite's own, or a case's smaller one.
    XServer *m_server = nullptr;
    Xdo *m_xdo = nullptr;
    double m_scale = 1; // the window as drawn against its stored size
    std::unique_ptr<XServer> m_mainServer;
    std::unique_ptr<Xdo> m_mainXdo;
    std::unique_ptr<AccessibilityBus> m_bus;
    QTemporaryDir m_dir;
    QString m_vidomar;
    QString m_clip;
    QString m_pacedFfmpeg;
    int m_closedPort = -1;
    QString m_updateHost;
    std::unique_ptr<QTemporaryDir> m_case;
    QString m_source;
    QString m_destination;
    ProgramOnDisplay m_program;
    QString m_failure;
};

QTEST_GUILESS_MAIN(TestForm1Display)
#include "tst_displayform1.moc"
