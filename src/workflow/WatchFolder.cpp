#include "workflow/WatchFolder.h"

#include "workflow/MediaProbe.h"

#include <QFileSystemWatcher>
#include "workflow/FileNameBytes.h"

#include <QSet>

#include <algorithm>
#include <sys/stat.h>

namespace {

// Looked at while the folder is missing, to find it again soon.
constexpr int MissingRescanMs = 2000;

} // namespace

WatchFolder::WatchFolder(const QString &folder, QObject *parent)
    : QObject(parent), m_folder(folder)
{
    m_soonTimer.setSingleShot(true);
    m_soonTimer.setInterval(200);
    m_settleTimer.setSingleShot(true);
    connect(&m_rescanTimer, &QTimer::timeout, this, &WatchFolder::rescan);
    connect(&m_soonTimer, &QTimer::timeout, this, &WatchFolder::rescan);
    connect(&m_settleTimer, &QTimer::timeout, this, &WatchFolder::checkSettling);
}

WatchFolder::~WatchFolder() = default;

void WatchFolder::start()
{
    if (!m_options.isMedia)
        m_options.isMedia = [](const QString &path) { return isMediaFile(path); };
    m_watcher = new QFileSystemWatcher(this);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, [this] { m_soonTimer.start(); });
    m_rescanTimer.start(m_rescanMs);
    QMetaObject::invokeMethod(this, &WatchFolder::rescan, Qt::QueuedConnection);
}

void WatchFolder::stop()
{
    m_rescanTimer.stop();
    m_soonTimer.stop();
    m_settleTimer.stop();
    delete m_watcher;
    m_watcher = nullptr;
}

void WatchFolder::rescan()
{
    if (!m_watcher)
        return;
    struct stat info {};
    const bool present = ::stat(FileNameBytes::encode(m_folder).constData(), &info) == 0 && S_ISDIR(info.st_mode);
    if (present == m_missing) {
        m_missing = !present;
        m_rescanTimer.start(m_missing ? std::min(m_rescanMs, MissingRescanMs) : m_rescanMs);
        if (m_missing)
            emit folderMissing();
        else
            emit folderBack();
    }
    QStringList folders;
    const QList<FolderFile> files = present ? FolderScan::list(m_folder, m_options, nullptr, &folders) : QList<FolderFile>();
    // Every folder of the tree watched; the gone ones the watcher has dropped itself.
    if (!folders.isEmpty()) {
        const QStringList watched = m_watcher->directories();
        QStringList added;
        for (const QString &folder : std::as_const(folders)) {
            if (!watched.contains(folder))
                added << folder;
        }
        if (!added.isEmpty())
            m_watcher->addPaths(added);
    }
    QSet<QString> seen;
    for (const FolderFile &file : files) {
        seen.insert(file.path);
        if (m_passedOver && m_passedOver(file))
            continue;
        auto known = m_known.find(file.path);
        if (known == m_known.end()) {
            known = m_known.insert(file.path, Known{file, {}, false});
            known->unchanged.start();
        } else if (!known->file.sameState(file)) {
            known->file = file;
            known->offered = false;
            known->unchanged.start();
        }
    }
    for (auto it = m_known.begin(); it != m_known.end();) {
        if (seen.contains(it.key()))
            ++it;
        else
            it = m_known.erase(it);
    }
    checkSettling();
    if (!m_scannedOnce) {
        m_scannedOnce = true;
        emit scanned();
    }
}

void WatchFolder::checkSettling()
{
    // Looked at again when the first settling file's time is up: any write in between has changed
    // its size or time.
    qint64 next = -1;
    QList<FolderFile> settled;
    for (auto it = m_known.begin(); it != m_known.end();) {
        Known &known = *it;
        if (known.offered) {
            ++it;
            continue;
        }
        FolderFile now = known.file;
        if (!FolderScan::restat(now)) {
            it = m_known.erase(it);
            continue;
        }
        if (!now.sameState(known.file)) {
            known.file = now;
            known.unchanged.start();
        }
        if (const qint64 left = m_settleMs - known.unchanged.elapsed(); left <= 0) {
            known.offered = true;
            settled << known.file;
        } else if (next < 0 || left < next) {
            next = left;
        }
        ++it;
    }
    if (next >= 0)
        m_settleTimer.start(int(std::clamp<qint64>(next, 10, m_settleMs)));
    else
        m_settleTimer.stop();
    // Signalled last: a handler may forget a file, or stop the watch.
    for (const FolderFile &file : std::as_const(settled)) {
        if (m_options.isMedia(file.path))
            emit ready(file);
        else
            emit notMedia(file);
    }
}
