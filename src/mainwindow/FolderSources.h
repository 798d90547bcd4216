#pragma once

#include "workflow/FolderScan.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>

class QThread;
class QWidget;
class WindowQueue;

// Folders dropped on the window, typed as its source or opened: their media files go into the
// queue as the command line's -r takes them (probed, hidden files and links out of the tree left
// out, files still being written passed over), after one question for them all: into a folder of
// the user's choice, with the tree below each folder mirrored there (names that meet get " (2)"), or each result beside
// its source. The scan probes every file, so it runs on a thread of its own; the window goes on.
class FolderSources : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(FolderSources)

public:
    FolderSources(QWidget &window, WindowQueue &queue);
    ~FolderSources() override;

    // Whether the paths hold a folder; if so they are all taken here (files beside folders go into
    // the output folder by their names), and false otherwise.
    bool take(const QStringList &paths, const QString &preset);
    // Asks for a folder and takes it.
    void browse(const QString &preset);
    // The folder dialog; empty when cancelled. Tests answer it as the file dialogs.
    static QString chooseFolder(QWidget *owner, const QString &title, const QString &start);
    // A scan is going on.
    bool scanning() const { return !m_threads.isEmpty(); }

signals:
    // A scan has ended: how many files it queued.
    void queued(int count);

private:
    struct Scan {
        QString folder; // empty for the loose files given beside folders
        FolderScanResult result;
    };
    void ask(const QStringList &folders, const QStringList &files, const QString &preset);
    void scanned(const QList<Scan> &scans, const QString &outputFolder, const QString &preset);

    QWidget &m_window;
    WindowQueue &m_queue;
    QList<QThread *> m_threads;
};
