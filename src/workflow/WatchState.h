#pragma once

#include "workflow/FolderScan.h"

#include <QSet>
#include <QString>

// What a watch folder has done, kept in a small file so that no file is converted twice, across
// restarts too: each file it took (by its place below the folder, its size and its time, so that
// a file replaced by another is new) and each result it wrote. One JSON object a line, appended
// and flushed as each file ends; a line cut short by a crash is passed over when read.
class WatchState {
public:
    // The file for a watched folder and its output folder: under $XDG_STATE_HOME/Zorvik/
    // (~/.local/state/Zorvik/ without it).
    static QString fileFor(const QString &folder, const QString &outputFolder);

    explicit WatchState(const QString &file);

    // Reads what an earlier run recorded; the reason when the file cannot be made or read.
    std::optional<QString> load();
    const QString &file() const { return m_file; }

    // Whether the file, as it is now, was taken before.
    bool contains(const FolderFile &file) const;
    // Whether the path is a result written by the watch.
    bool isResult(const QString &path) const;
    // outcome: "done", "failed", "skipped" or "not media"; destination empty when none.
    std::optional<QString> record(const FolderFile &file, const QString &outcome, const QString &destination);

    // A path by its place, clean and absolute (names kept as bytes): what the file stores.
    static QString pathKey(const QString &path);

private:
    static QString key(const FolderFile &file);

    QString m_file;
    QSet<QString> m_taken;
    QSet<QString> m_results;
};
