#include "XServer.h"

#include <QDeadlineTimer>

#include <csignal>
#include <sys/prctl.h>

XServer::XServer(const QString &screen)
{
    // -displayfd 1: the server writes the display number it took to its standard output once it
    // accepts connections, which is the moment clients may start.
    m_process.setStandardInputFile(QProcess::nullDevice());
    // A suite that dies leaves no server behind.
    m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    m_process.start(QStringLiteral("Xvfb"),
                    QStringList{"-displayfd", "1", "-noreset", "-nolisten", "tcp", "-screen", "0", screen});
    if (!m_process.waitForStarted(10000)) {
        m_error = QStringLiteral("Xvfb did not start: ") + m_process.errorString();
        return;
    }
    QByteArray number;
    const QDeadlineTimer deadline(30000);
    while (!number.contains('\n') && !deadline.hasExpired() && m_process.state() == QProcess::Running) {
        m_process.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
        number += m_process.readAllStandardOutput();
    }
    bool ok = false;
    const int value = number.trimmed().toInt(&ok);
    if (!number.contains('\n') || !ok) {
        m_error = QStringLiteral("Xvfb gave no display: ") + QString::fromLocal8Bit(m_process.readAllStandardError());
        return;
    }
    m_display = QStringLiteral(":%1").arg(value);
}

XServer::~XServer()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(10000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}
