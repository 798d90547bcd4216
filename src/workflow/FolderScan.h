#pragma once

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include "workflow/DestinationName.h"

#include <functional>

// A file found below a folder: its path, its place below the folder ('/'-separated, for
// mirroring the tree elsewhere), and what its size and time were when it was seen.
struct FolderFile {
    QString path;
    QString relative;
    qint64 size = 0;
    qint64 modifiedNs = 0;

    bool sameState(const FolderFile &other) const { return size == other.size && modifiedNs == other.modifiedNs; }
};

// What a folder's scan found: the media files in a stable order (by their place's bytes, the
// same on every machine), and the files it passed over, by why.
struct FolderScanResult {
    QList<FolderFile> media;
    QStringList notMedia; // ffprobe finds no sound or moving pictures in them
    QStringList linksOut; // links that lead out of the folder (or nowhere), not followed
    QStringList growing;  // their size or time changed during the scan: still being written
};

// The files below a folder, for the command line, the window and the watch folder alike.
// Hidden names (a leading dot: the adapter's temporary files among them) are passed over, files
// and folders alike. A link is followed only while it stays inside the folder (a folder link not
// at all, so nothing is seen twice), unless links are to be followed: then every link is, each
// folder entered once. QtCore only; nothing is printed.
class FolderScan {
public:
    struct Options {
        bool followLinks = false;
        // Folders never entered (an output folder inside the scanned one), by path.
        QStringList excluded;
        // How long a file's size and time must stay the same to be taken as written.
        int settleMs = 1000;
        // Decides which files are media; ffprobe unless set.
        std::function<bool(const QString &path)> isMedia;
    };

    // Every file below the folder that is not hidden, in the stable order, without probing; the
    // folders entered (the folder itself first) into folders when given.
    static QList<FolderFile> list(const QString &folder, const Options &options, QStringList *linksOut = nullptr,
                                  QStringList *folders = nullptr);
    // The listing probed and checked for files still being written. It blocks (probes, and waits
    // out the short check): the window runs it away from its own thread.
    static FolderScanResult scan(const QString &folder, const Options &options);

    // The destination of a source found below a folder: at its place below the folder under the
    // output folder, or beside it without one; a source named by itself (no place) goes into the
    // output folder by its name. The preset's extension in place of the last one.
    static QString mirrored(const QString &source, const QString &relative, const QString &outputFolder,
                           const QString &extension, const SameFileTest &sameFile = SameFileTest());

    // The file's size and time now; false when it is gone.
    static bool restat(FolderFile &file);
};
