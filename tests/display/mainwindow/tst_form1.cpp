// The real program on a real X server (Xvfb, the xcb platform), driven by real pointer and key
// events, checked by screenshots and by the files it writes. Offscreen tests deliver events in
// an order no display keeps; these see what a user sees.

#include "Clip.h"
#include "Probe.h"
#include "ProcessTree.h"
#include "XServer.h"
#include "Xdo.h"

#include <QtTest>

#include <csignal>
#include <memory>
#include <netinet/in.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int ClipSeconds = 8;
// The window's caption, and the title every message box of the program carries.
const char *const MainWindowName = "^Zorvik Vidomar 1\\.0$";
const char *const BoxName = "^Zorvik Vidomar$";

enum class Outcome { Completes, Stopped, StoppedAndClosed };

// Where the stored form puts a control, in pixels of the window (twips / 15).
QRect controlRect(const QString &name)
{
    QFile file(QStringLiteral(VIDOMAR_FORM_FILE));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QJsonArray controls
        = QJsonDocument::fromJson(file.readAll()).object().value(QStringLiteral("controls")).toArray();
    for (const QJsonValue &value : controls) {
        const QJsonObject control = value.toObject();
        if (control.value(QStringLiteral("name")).toString() == name)
            return {control.value(QStringLiteral("Left")).toInt() / 15,
                    control.value(QStringLiteral("Top")).toInt() / 15,
                    control.value(QStringLiteral("Width")).toInt() / 15,
                    control.value(QStringLiteral("Height")).toInt() / 15};
    }
    return {};
}

// The share of the bar's pixels that its orange blocks cover.
double blockShare(const QImage &screen, const QRect &bar)
{
    if (screen.isNull() || bar.isEmpty())
        return -1;
    int orange = 0;
    for (int y = bar.top(); y <= bar.bottom(); ++y) {
        for (int x = bar.left(); x <= bar.right(); ++x) {
            const QRgb pixel = screen.pixel(x, y);
            const int red = qRed(pixel);
            const int green = qGreen(pixel);
            orange += red >= 140 && qBlue(pixel) <= 100 && green * 10 >= red * 3 && green * 10 <= red * 8;
        }
    }
    return double(orange) / (bar.width() * bar.height());
}

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
        const QString bin = qEnvironmentVariable("VIDOMAR_BIN_DIR");
        m_vidomar = bin + QStringLiteral("/vidomar");
        QVERIFY2(QFileInfo(m_vidomar).isExecutable(), qPrintable(m_vidomar));
        QVERIFY2(QFileInfo(bin + QStringLiteral("/avformat.dll")).isExecutable(), "the encoder adapter is not built");
        QVERIFY(controlRect(QStringLiteral("cmdConvert")).isValid());

        m_server = std::make_unique<XServer>();
        QVERIFY2(!m_server->display().isEmpty(), qPrintable(m_server->error()));
        m_xdo = std::make_unique<Xdo>(m_server->display(), bin + QStringLiteral("/../screenshots/display"));

        QVERIFY(m_dir.isValid());
        m_clip = m_dir.filePath(QStringLiteral("clip.avi"));
        const QString problem = makeClip(m_clip, {.seconds = ClipSeconds, .size = QStringLiteral("320x240")});
        QVERIFY2(problem.isEmpty(), qPrintable(problem));

        // The system's ffmpeg reading its input at the clip's own pace, so that a conversion runs
        // for the clip's length: long enough to be asked about, whatever the machine's speed.
        m_pacedFfmpeg = m_dir.filePath(QStringLiteral("paced-ffmpeg"));
        QFile paced(m_pacedFfmpeg);
        QVERIFY(paced.open(QIODevice::WriteOnly));
        paced.write("#!/bin/sh\ncase \" $* \" in *\" -i \"*) exec ffmpeg -re \"$@\" ;; esac\nexec ffmpeg \"$@\"\n");
        paced.close();
        QVERIFY(paced.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));

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
        m_xdo.reset();
        m_server.reset();
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
        if (m_program && m_program->state() != QProcess::NotRunning) {
            const QList<ProcessTree::Process> below = ProcessTree::descendants(pid_t(m_program->processId()));
            m_program->kill();
            m_program->waitForFinished(10000);
            for (const ProcessTree::Process &process : below)
                ::kill(process.pid, SIGKILL);
        }
        if (QTest::currentTestFailed() && m_program)
            qWarning("program output:\n%s", m_program->readAll().constData());
        m_program.reset();
        m_case.reset();
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
        const QPoint centre = controlRect(QStringLiteral("cmdConvert")).center();
        // A spot of the window that no control covers.
        const QPoint away(300, 100);
        const auto face = [&](const QString &name) {
            QTest::qWait(1500); // the fade and the hover effect take a fraction of this
            return m_xdo->screenshot(QStringLiteral("settle-") + name).copy(convert);
        };
        QVERIFY2(m_xdo->move(window, away), qPrintable(m_xdo->error()));
        const QImage normal = face(QStringLiteral("normal"));

        QVERIFY2(m_xdo->click(window, centre), qPrintable(m_xdo->error()));
        const QImage clicked = face(QStringLiteral("clicked"));
        QVERIFY2(m_xdo->move(window, away), qPrintable(m_xdo->error()));
        QTest::qWait(1000);
        QVERIFY2(m_xdo->move(window, centre), qPrintable(m_xdo->error()));
        const QImage hovered = face(QStringLiteral("hovered"));
        QVERIFY(!normal.isNull() && hovered != normal);
        QVERIFY2(clicked == hovered, "the clicked button shows another face than a hovered one (see settle-*.png)");

        QVERIFY2(QTest::qWaitFor([&] { return QFileInfo::exists(m_destination) && encoders().isEmpty(); }, 60000),
                 "the conversion did not finish");
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
        const QList<ProcessTree::Process> running = ProcessTree::descendants(pid_t(m_program->processId()));

        QVERIFY2(m_xdo->click(window, controlRect(button).center()), qPrintable(m_xdo->error()));
        const quint64 box = waitForBox(20000);
        QVERIFY2(box, "no question");
        m_xdo->screenshot(
            QStringLiteral("ask-")
            + QString::fromLatin1(QTest::currentDataTag()).replace(QLatin1String(", "), QLatin1String("-")));
        QVERIFY2(m_xdo->key(box, answer), qPrintable(m_xdo->error()));
        QVERIFY2(QTest::qWaitFor([&] { return !isBox(box); }, 10000), "the answer left the box open");

        if (outcome == Outcome::Completes) {
            QVERIFY(m_xdo->visibleWindows(QLatin1String(MainWindowName)).contains(window));
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
            QVERIFY2(m_program->waitForFinished(20000), "the window stayed");
            QCOMPARE(m_program->exitStatus(), QProcess::NormalExit);
            QCOMPARE(m_program->exitCode(), 0);
        } else {
            // Stopped as cancelling stops: no message, no new conversion, an empty bar.
            QCOMPARE(waitForBox(1500), quint64(0));
            QVERIFY(encoders().isEmpty());
            QVERIFY(m_xdo->visibleWindows(QLatin1String(MainWindowName)).contains(window));
            const QRect bar = onScreen(window, QStringLiteral("ProBar"));
            const double blocks = blockShare(m_xdo->screenshot(QStringLiteral("stopped")), bar);
            QVERIFY2(blocks >= 0 && blocks < 0.02, qPrintable(QString::number(blocks)));
            QVERIFY2(closeProgram(), qPrintable(m_failure));
        }
        QCOMPARE(QDir(m_case->filePath(QStringLiteral("videos"))).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("clip.avi")});
    }

    // A source that does not exist gives one message box, not one per chunk of encoder output.
    void missingSourceGivesOneBox()
    {
        QVERIFY(QFile::remove(m_source));
        const quint64 window = startProgram(m_source, false);
        QVERIFY2(window, qPrintable(m_failure));
        QVERIFY2(m_xdo->click(window, controlRect(QStringLiteral("cmdConvert")).center()), qPrintable(m_xdo->error()));
        quint64 box = waitForBox(20000);
        QVERIFY2(box, "no message");
        m_xdo->screenshot(QStringLiteral("missing-source"));
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

private:
    // Starts the program on the test display with a home of its own and waits for its window.
    quint64 startProgram(const QString &source, bool paced)
    {
        const QString home = m_case->filePath(QStringLiteral("home"));
        const QString runtime = m_case->filePath(QStringLiteral("runtime"));
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        // Not a first run: the product page stays closed.
        QSettings settings(home + QStringLiteral("/.config/Zorvik/Zorvik.conf"), QSettings::IniFormat);
        settings.setValue(QStringLiteral("First Run/Zorvik Vidomar"), QStringLiteral("No"));
        settings.sync();

        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), m_server->display());
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        environment.insert(QStringLiteral("HOME"), home);
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
        environment.insert(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/.cache"));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        // No session bus: nothing reaches the desktop of whoever runs the tests.
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                           QStringLiteral("unix:path=") + runtime + QStringLiteral("/no-bus"));
        environment.insert(QStringLiteral("VIDOMAR_UPDATE_HOST"), m_updateHost);
        if (paced)
            environment.insert(QStringLiteral("VIDOMAR_FFMPEG"), m_pacedFfmpeg);
        else
            environment.remove(QStringLiteral("VIDOMAR_FFMPEG"));

        m_program = std::make_unique<QProcess>();
        m_program->setProcessEnvironment(environment);
        m_program->setProcessChannelMode(QProcess::MergedChannels);
        m_program->setStandardInputFile(QProcess::nullDevice());
        m_program->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
        m_program->start(m_vidomar, {source});
        if (!m_program->waitForStarted(10000)) {
            m_failure = QStringLiteral("vidomar did not start: ") + m_program->errorString();
            return 0;
        }
        QList<quint64> windows;
        const bool shown = QTest::qWaitFor(
            [&] {
                windows = m_xdo->visibleWindows(QLatin1String(MainWindowName));
                return !windows.isEmpty() || m_program->state() == QProcess::NotRunning;
            },
            60000);
        if (!shown || windows.size() != 1) {
            m_failure = QStringLiteral("%1 main windows").arg(windows.size());
            return 0;
        }
        return windows.first();
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
    QList<pid_t> encoders() const
    {
        QList<pid_t> found;
        for (const ProcessTree::Process &process : ProcessTree::descendants(pid_t(m_program->processId())))
            if (process.name == QLatin1String("avformat.dll"))
                found << process.pid;
        return found;
    }

    QRect onScreen(quint64 window, const QString &control) const
    {
        return controlRect(control).translated(m_xdo->geometry(window).topLeft());
    }

    // Closes the window with its close button; the program ends cleanly (a sanitizer's report
    // would make the exit fail).
    bool closeProgram()
    {
        const QList<quint64> windows = m_xdo->visibleWindows(QLatin1String(MainWindowName));
        if (windows.size() != 1 || !m_xdo->click(windows.first(), controlRect(QStringLiteral("cmdClose")).center())) {
            m_failure = QStringLiteral("no window to close: ") + m_xdo->error();
            return false;
        }
        if (!m_program->waitForFinished(30000)) {
            m_failure = QStringLiteral("the program did not end");
            return false;
        }
        const QByteArray output = m_program->readAll();
        if (m_program->exitStatus() != QProcess::NormalExit || m_program->exitCode() != 0) {
            m_failure = QStringLiteral("exit %1:\n%2").arg(m_program->exitCode()).arg(QString::fromLocal8Bit(output));
            return false;
        }
        return true;
    }

    std::unique_ptr<XServer> m_server;
    std::unique_ptr<Xdo> m_xdo;
    QTemporaryDir m_dir;
    QString m_vidomar;
    QString m_clip;
    QString m_pacedFfmpeg;
    int m_closedPort = -1;
    QString m_updateHost;
    std::unique_ptr<QTemporaryDir> m_case;
    QString m_source;
    QString m_destination;
    std::unique_ptr<QProcess> m_program;
    QString m_failure;
};

QTEST_GUILESS_MAIN(TestForm1Display)
#include "tst_form1.moc"
