#include "Xdo.h"

#include "RunProgram.h"

#include <QDir>

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

QImage Xdo::screenshot(const QString &name) const
{
    const QString path = QDir(m_screenshots).filePath(name + QStringLiteral(".png"));
    if (!run({QStringLiteral("import"), QStringLiteral("-display"), m_display, QStringLiteral("-window"),
              QStringLiteral("root"), path}))
        return {};
    return QImage(path);
}
