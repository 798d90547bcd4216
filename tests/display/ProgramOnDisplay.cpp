#include "ProgramOnDisplay.h"

#include "ProcessTree.h"
#include "Xdo.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QtTest>

#include <csignal>
#include <sys/prctl.h>

ProgramOnDisplay::~ProgramOnDisplay()
{
    stop();
}

QString ProgramOnDisplay::mainWindowName()
{
    return QStringLiteral("^Zorvik Vidomar 1\\.0$");
}

quint64 ProgramOnDisplay::start(const QString &program, const QStringList &arguments, const QString &display,
                                const Xdo &xdo, const QString &caseFolder, const QProcessEnvironment &settings)
{
    const QString home = caseFolder + QStringLiteral("/home");
    const QString runtime = caseFolder + QStringLiteral("/runtime");
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    // Not a first run: the product page stays closed.
    QSettings firstRun(home + QStringLiteral("/.config/Zorvik/Zorvik.conf"), QSettings::IniFormat);
    firstRun.setValue(QStringLiteral("First Run/Zorvik Vidomar"), QStringLiteral("No"));
    firstRun.sync();

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), display);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.insert(QStringLiteral("HOME"), home);
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/.cache"));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
    environment.insert(QStringLiteral("XDG_STATE_HOME"), home + QStringLiteral("/.local/state"));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("unix:path=") + runtime + QStringLiteral("/no-bus"));
    environment.remove(QStringLiteral("VIDOMAR_FFMPEG"));
    environment.insert(settings);

    stop();
    m_process = std::make_unique<QProcess>();
    m_process->setProcessEnvironment(environment);
    m_process->setProcessChannelMode(QProcess::MergedChannels);
    m_process->setStandardInputFile(QProcess::nullDevice());
    m_process->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    m_process->start(program, arguments);
    if (!m_process->waitForStarted(10000)) {
        m_error = QStringLiteral("the program did not start: ") + m_process->errorString();
        return 0;
    }
    QList<quint64> windows;
    const bool shown = QTest::qWaitFor(
        [&] {
            windows = xdo.visibleWindows(mainWindowName());
            return !windows.isEmpty() || m_process->state() == QProcess::NotRunning;
        },
        60000);
    if (!shown || windows.size() != 1) {
        m_error = QStringLiteral("%1 main windows").arg(windows.size());
        return 0;
    }
    return windows.first();
}

bool ProgramOnDisplay::close(const Xdo &xdo, QPoint closeButton)
{
    const QList<quint64> windows = xdo.visibleWindows(mainWindowName());
    if (windows.size() != 1 || !xdo.click(windows.first(), closeButton)) {
        m_error = QStringLiteral("no window to close: ") + xdo.error();
        return false;
    }
    if (!m_process->waitForFinished(30000)) {
        m_error = QStringLiteral("the program did not end");
        return false;
    }
    const QByteArray output = m_process->readAll();
    if (m_process->exitStatus() != QProcess::NormalExit || m_process->exitCode() != 0) {
        m_error = QStringLiteral("exit %1:\n%2").arg(m_process->exitCode()).arg(QString::fromLocal8Bit(output));
        return false;
    }
    return true;
}

void ProgramOnDisplay::stop()
{
    if (!m_process)
        return;
    if (m_process->state() != QProcess::NotRunning) {
        ProcessTree::killWithDescendants(pid());
        m_process->waitForFinished(10000);
    }
    if (QTest::currentTestFailed())
        qWarning("program output:\n%s", m_process->readAll().constData());
    m_process.reset();
}

QList<pid_t> ProgramOnDisplay::running(const QStringList &names) const
{
    QList<pid_t> found;
    for (const ProcessTree::Process &process : ProcessTree::descendants(pid()))
        if (names.contains(process.name))
            found << process.pid;
    return found;
}
