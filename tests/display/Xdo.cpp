#include "Xdo.h"

#include "RunProgram.h"
#include "XServer.h"

#include <QDir>
#include <QThread>

Xdo::Xdo(QString display, QString screenshotFolder)
    : m_display(std::move(display))
    , m_screenshots(std::move(screenshotFolder))
{
    QDir().mkpath(m_screenshots);
}

// The command line is the program followed by its arguments.
bool Xdo::run(const QStringList &command, QByteArray *output) const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), m_display);
    // A look-up or a key press takes milliseconds; a command that hangs is a failure, not a wait.
    const ProgramRun ran = runProgram(command.first(), command.mid(1),
                                      {.environment = environment, .errorsApart = true, .limitMs = 20000});
    if (output)
        *output = ran.output;
    if (ran.exitCode != 0) {
        m_error = command.join(QLatin1Char(' '))
            + (ran.exitCode < 0 ? QStringLiteral(": no answer or a crash: ") : QStringLiteral(": "))
            + QString::fromLocal8Bit(ran.errors);
        return false;
    }
    return true;
}

QList<quint64> Xdo::visibleWindows(const QString &namePattern) const
{
    QByteArray output;
    QList<quint64> windows;
    // xdotool exits with 1 when nothing matches: that is an empty list.
    run({QStringLiteral("xdotool"), QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
         namePattern},
        &output);
    for (const QByteArray &line : output.split('\n')) {
        bool ok = false;
        const quint64 window = line.trimmed().toULongLong(&ok);
        if (ok)
            windows << window;
    }
    return windows;
}

QRect Xdo::geometry(quint64 window) const
{
    QByteArray output;
    if (!run({QStringLiteral("xdotool"), QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"),
              QString::number(window)},
             &output))
        return {};
    QRect rect;
    for (const QByteArray &line : output.split('\n')) {
        const QList<QByteArray> pair = line.split('=');
        if (pair.size() != 2)
            continue;
        const int value = pair.at(1).toInt();
        if (pair.at(0) == "X")
            rect.moveLeft(value);
        else if (pair.at(0) == "Y")
            rect.moveTop(value);
        else if (pair.at(0) == "WIDTH")
            rect.setWidth(value);
        else if (pair.at(0) == "HEIGHT")
            rect.setHeight(value);
    }
    return rect;
}

bool Xdo::move(quint64 window, QPoint point) const
{
    return run({QStringLiteral("xdotool"), QStringLiteral("mousemove"), QStringLiteral("--window"),
                QString::number(window), QString::number(point.x()), QString::number(point.y())});
}

bool Xdo::drag(quint64 from, QPoint start, quint64 to, QPoint end) const
{
    const QRect target = geometry(to);
    if (target.isEmpty() || !move(from, start)
        || !run({QStringLiteral("xdotool"), QStringLiteral("mousedown"), QStringLiteral("1")}))
        return false;
    // The drag starts on the press; the target learns of it as the pointer moves over it.
    QThread::msleep(300);
    for (int step = 1; step <= 5; ++step) {
        const QPoint at = target.topLeft() + end * step / 5;
        if (!run({QStringLiteral("xdotool"), QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y())}))
            return false;
        QThread::msleep(150);
    }
    return run({QStringLiteral("xdotool"), QStringLiteral("mouseup"), QStringLiteral("1")});
}

bool Xdo::click(quint64 window, QPoint point) const
{
    return run({QStringLiteral("xdotool"), QStringLiteral("mousemove"), QStringLiteral("--window"),
                QString::number(window), QString::number(point.x()), QString::number(point.y()),
                QStringLiteral("click"), QStringLiteral("1")});
}

bool Xdo::key(quint64 window, const QString &keys) const
{
    return run({QStringLiteral("xdotool"), QStringLiteral("windowfocus"), QStringLiteral("--sync"),
                QString::number(window), QStringLiteral("key"), keys});
}

bool Xdo::type(quint64 window, const QString &text) const
{
    return run({QStringLiteral("xdotool"), QStringLiteral("windowfocus"), QStringLiteral("--sync"),
                QString::number(window), QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("20"), text});
}

QImage Xdo::screenshot(const QString &name) const
{
    const QString path = QDir(m_screenshots).filePath(name + QStringLiteral(".png"));
    if (!run({QStringLiteral("import"), QStringLiteral("-display"), m_display, QStringLiteral("-window"),
              QStringLiteral("root"), path}))
        return {};
    return QImage(path);
}

QString openDisplay(std::unique_ptr<XServer> &server, std::unique_ptr<Xdo> &xdo)
{
    server = std::make_unique<XServer>();
    if (server->display().isEmpty())
        return server->error();
    xdo = std::make_unique<Xdo>(server->display());
    return QString();
}
