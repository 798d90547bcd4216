#include "ProcessTree.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHash>

#include <csignal>

namespace ProcessTree {

namespace {

struct Stat {
    pid_t parent = 0;
    char state = 0;
    qint64 ticks = 0;
    QString name;

    bool zombie() const { return state == 'Z'; }
};

// /proc/<pid>/stat: "pid (name) state ppid ..."; the name may hold blanks and parentheses.
bool readStat(pid_t pid, Stat *stat)
{
    QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = file.readAll();
    const qsizetype open = text.indexOf('(');
    const qsizetype close = text.lastIndexOf(')');
    if (open < 0 || close < open || close + 4 > text.size())
        return false;
    const QList<QByteArray> fields = text.mid(close + 2).split(' ');
    if (fields.size() < 2 || fields.at(0).isEmpty())
        return false;
    // After the name: the state is the first field, user and system time the 12th and 13th.
    stat->ticks = fields.size() >= 13 ? fields.at(11).toLongLong() + fields.at(12).toLongLong() : -1;
    stat->name = QString::fromLocal8Bit(text.mid(open + 1, close - open - 1));
    stat->state = fields.at(0).at(0);
    stat->parent = pid_t(fields.at(1).toInt());
    return true;
}

QHash<pid_t, Stat> allProcesses()
{
    QHash<pid_t, Stat> all;
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool ok = false;
        const pid_t pid = pid_t(entry.toInt(&ok));
        Stat stat;
        if (ok && readStat(pid, &stat))
            all.insert(pid, stat);
    }
    return all;
}

// Breadth first; a zombie has no children of its own, so skipping zombies loses nothing below.
QList<Process> walk(pid_t root, bool withZombies)
{
    const QHash<pid_t, Stat> all = allProcesses();
    QList<Process> found;
    QList<pid_t> parents{root};
    while (!parents.isEmpty()) {
        const pid_t parent = parents.takeFirst();
        for (auto it = all.cbegin(); it != all.cend(); ++it) {
            if (it.value().parent == parent && (withZombies || !it.value().zombie())) {
                found.append({it.key(), it.value().name});
                parents.append(it.key());
            }
        }
    }
    return found;
}

} // namespace

pid_t self()
{
    return pid_t(QCoreApplication::applicationPid());
}

QList<pid_t> children(pid_t parent)
{
    QList<pid_t> found;
    const QHash<pid_t, Stat> all = allProcesses();
    for (auto it = all.cbegin(); it != all.cend(); ++it) {
        if (it.value().parent == parent && !it.value().zombie())
            found << it.key();
    }
    return found;
}

QList<Process> descendants(pid_t root)
{
    return walk(root, false);
}

QList<pid_t> below(pid_t root)
{
    QList<pid_t> pids;
    for (const Process &process : walk(root, true))
        pids << process.pid;
    return pids;
}

bool isRunning(pid_t pid)
{
    Stat stat;
    return readStat(pid, &stat) && !stat.zombie();
}

QList<pid_t> processesNamed(const QByteArray &name)
{
    QList<pid_t> found;
    const QHash<pid_t, Stat> all = allProcesses();
    for (auto it = all.cbegin(); it != all.cend(); ++it) {
        if (it.value().name == QString::fromLocal8Bit(name) && !it.value().zombie())
            found << it.key();
    }
    return found;
}

pid_t firstChild(pid_t parent)
{
    const QList<pid_t> found = children(parent);
    return found.isEmpty() ? 0 : found.first();
}

bool catches(pid_t pid, int signal)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("SigCgt:"))
            return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (signal - 1)) & 1;
    }
    return false;
}

Usage usage(pid_t pid)
{
    Stat stat;
    if (!readStat(pid, &stat))
        return {};
    return {stat.state, stat.ticks};
}

void killWithDescendants(pid_t root)
{
    const QList<Process> below = descendants(root);
    ::kill(root, SIGKILL);
    for (const Process &process : below)
        ::kill(process.pid, SIGKILL);
}

} // namespace ProcessTree
