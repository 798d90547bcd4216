#pragma once

#include "workflow/FolderScan.h"

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QTimer>

#include <functional>

class QFileSystemWatcher;

// Offers each media file that appears below a folder once it has stopped growing: its size and
// time the same for the settle time. The system's notifications say when to look; a rescan now
// and then is the safety net (and finds the folder again once it was removed and made anew).
// While nothing is settling, it only waits. QtCore only: the window and the command line use it
// alike, and say themselves what it signals.
class WatchFolder : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(WatchFolder)

public:
    explicit WatchFolder(const QString &folder, QObject *parent = nullptr);
    ~WatchFolder() override;

    // Before start(): folders never entered, how long a file must stay unchanged, what is media
    // (ffprobe unless set), how often the whole tree is looked at again, and which files are
    // passed over (taken before, results of the watch).
    void setExcluded(const QStringList &folders) { m_options.excluded = folders; }
    void setSettleMs(int ms) { m_settleMs = ms; }
    void setIsMedia(std::function<bool(const QString &)> isMedia) { m_options.isMedia = std::move(isMedia); }
    void setRescanMs(int ms) { m_rescanMs = ms; }
    void setPassedOver(std::function<bool(const FolderFile &)> passedOver) { m_passedOver = std::move(passedOver); }

    void start();
    void stop();
    const QString &folder() const { return m_folder; }
    // Offers the file again once it is seen settled (a conversion that may mend on a retry).
    void forget(const QString &path) { m_known.remove(path); }

signals:
    // A media file has settled; offered once while it stays as it is.
    void ready(const FolderFile &file);
    void notMedia(const FolderFile &file);
    // The folder has gone, and is back.
    void folderMissing();
    void folderBack();
    // The first look at the folder is over.
    void scanned();

private:
    struct Known {
        FolderFile file;
        QElapsedTimer unchanged; // since the size or time last changed
        bool offered = false;
    };

    void rescan();
    void checkSettling();

    QString m_folder;
    FolderScan::Options m_options;
    int m_settleMs = 5000;
    int m_rescanMs = 30000;
    std::function<bool(const FolderFile &)> m_passedOver;
    QFileSystemWatcher *m_watcher = nullptr;
    QTimer m_rescanTimer;
    QTimer m_soonTimer;   // a notification's rescan, a moment later so that a burst makes one
    QTimer m_settleTimer; // set for the first settling file's time; off while none is
    QHash<QString, Known> m_known;
    bool m_missing = false;
    bool m_scannedOnce = false;
};
