#include "engine/ProcessKiller.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

namespace ProcessKiller {

namespace {

QString readFirstLine(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLocal8Bit(file.readLine()).trimmed();
}

// Both the kernel's short name and the executable's file name, since the short name is cut at
// fifteen characters.
QStringList namesOf(const QString &procDir)
{
    QStringList names{readFirstLine(procDir + QLatin1String("/comm"))};
    const QString exe = QFile::symLinkTarget(procDir + QLatin1String("/exe"));
    if (!exe.isEmpty())
        names << QFileInfo(exe.section(QLatin1String(" (deleted)"), 0, 0)).fileName();
    return names;
}

bool isGone(pid_t pid)
{
    // A zombie has ended; its parent only has not collected it yet.
    const QString stat = readFirstLine(QStringLiteral("/proc/%1/stat").arg(pid));
    if (stat.isEmpty())
        return true;
    const qsizetype close = stat.lastIndexOf(QLatin1Char(')'));
    return close >= 0 && stat.mid(close + 2, 1) == QLatin1String("Z");
}

} // namespace

QList<pid_t> findByName(const QString &name)
{
    QList<pid_t> found;
    const QString target = name.toLower();
    const uid_t me = getuid();
    const pid_t self = getpid();
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        bool ok = false;
        const pid_t pid = entry.toInt(&ok);
        if (!ok || pid == self)
            continue;
        const QString dir = QLatin1String("/proc/") + entry;
        struct stat info {};
        if (::stat(dir.toLocal8Bit().constData(), &info) != 0 || info.st_uid != me)
            continue;
        const QStringList names = namesOf(dir);
        const bool match = std::any_of(names.begin(), names.end(), [&](const QString &n) {
            return !n.isEmpty() && n.toLower().endsWith(target);
        });
        if (match && !isGone(pid))
            found << pid;
    }
    return found;
}

int killByName(const QString &name, int graceMs)
{
    const QList<pid_t> found = findByName(name);
    for (pid_t pid : found)
        ::kill(pid, SIGTERM);
    QElapsedTimer clock;
    clock.start();
    QList<pid_t> left = found;
    while (!left.isEmpty() && clock.elapsed() < graceMs) {
        left.removeIf(isGone);
        if (!left.isEmpty())
            QThread::msleep(5);
    }
    for (pid_t pid : left)
        ::kill(pid, SIGKILL);
    return int(found.size());
}

} // namespace ProcessKiller
