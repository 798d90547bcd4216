#include "AccessibilityBus.h"

#include <QDeadlineTimer>
#include <QProcessEnvironment>
#include <QThread>

#include <csignal>
#include <sys/prctl.h>

namespace {

void stop(QProcess &process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished(5000);
    }
}

} // namespace

AccessibilityBus::AccessibilityBus(const QString &display)
{
    // Neither bus outlives a suite that dies.
    const auto diesWithUs = [] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); };
    m_session.setChildProcessModifier(diesWithUs);
    m_session.setStandardInputFile(QProcess::nullDevice());
    m_session.start(QStringLiteral("dbus-daemon"), {"--session", "--nofork", "--print-address=1"});
    QByteArray line;
    const QDeadlineTimer deadline(20000);
    while (!line.contains('\n') && !deadline.hasExpired() && m_session.state() != QProcess::NotRunning) {
        m_session.waitForReadyRead(200);
        line += m_session.readAllStandardOutput();
    }
    if (!line.contains('\n')) {
        m_error = QStringLiteral("dbus-daemon gave no address: ") + QString::fromLocal8Bit(m_session.readAllStandardError());
        return;
    }
    const QString address = QString::fromLocal8Bit(line.left(line.indexOf('\n'))).trimmed();

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address);
    environment.insert(QStringLiteral("DISPLAY"), display);
    m_launcher.setProcessEnvironment(environment);
    m_launcher.setChildProcessModifier(diesWithUs);
    m_launcher.setStandardInputFile(QProcess::nullDevice());
    m_launcher.start(QStringLiteral("/usr/libexec/at-spi-bus-launcher"), {"--launch-immediately"});
    // Ready once the launcher answers where the accessibility bus is.
    QProcess ask;
    ask.setProcessEnvironment(environment);
    const QStringList question{"--session", "--print-reply", "--dest=org.a11y.Bus", "/org/a11y/bus",
                               "org.a11y.Bus.GetAddress"};
    while (!deadline.hasExpired() && m_launcher.state() != QProcess::NotRunning) {
        ask.start(QStringLiteral("dbus-send"), question);
        if (ask.waitForFinished(5000) && ask.exitCode() == 0) {
            m_address = address;
            return;
        }
        QThread::msleep(100);
    }
    m_error = QStringLiteral("the accessibility bus did not start: ") + QString::fromLocal8Bit(m_launcher.readAllStandardError());
}

AccessibilityBus::~AccessibilityBus()
{
    stop(m_launcher);
    stop(m_session);
}

std::optional<QString> AccessibilityBus::probe(const QString &display, const QStringList &arguments, QString *failure,
                                               int milliseconds) const
{
    QProcess probe;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_address);
    environment.insert(QStringLiteral("DISPLAY"), display);
    probe.setProcessEnvironment(environment);
    // Debian's own interpreter, where python3-pyatspi lives.
    probe.start(QStringLiteral("/usr/bin/python3"),
                QStringList{QStringLiteral(VIDOMAR_ACCESS_PROBE), QStringLiteral("Zorvik Vidomar")} + arguments);
    if (!probe.waitForFinished(milliseconds) || probe.exitCode() != 0) {
        *failure = arguments.join(QLatin1Char(' ')) + QStringLiteral(": ") + QString::fromLocal8Bit(probe.readAllStandardError());
        probe.kill();
        probe.waitForFinished(5000);
        return std::nullopt;
    }
    return QString::fromUtf8(probe.readAllStandardOutput());
}
