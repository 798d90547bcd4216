#pragma once

#include "common/ReplaceableHandler.h"

#include <QString>
#include <QStringList>

class QWidget;

// The window's helpers: path extension, the open and save dialogs, and the window icon.

// "." followed by the text after the last dot; a path without a dot gives "." and the whole path.
QString PathExtension(const QString &path);

// Filters are given as description/pattern pairs separated by NUL characters.
// Both return the chosen path, or an empty string when the user cancels.
QString ShowOpenDialog(const QString &title, const QString &filter, const QString &initialDir, QWidget *owner,
                       const QString &defaultName);
// The open dialog that takes several files: every path chosen, none when the user cancels.
QStringList ShowOpenDialogMany(const QString &title, const QString &filter, const QString &initialDir, QWidget *owner);
QString ShowSaveDialog(const QString &title, const QString &filter, const QString &initialDir, QWidget *owner,
                       const QString &defaultName);

// The NUL-separated pairs as the dialog's filter list ("Description (pattern)").
QString dialogFilter(const QString &filter);

// What the open and save dialogs are asked for.
struct FileDialogRequest {
    bool save = false;
    QString title;
    QString filter; // as the dialog gets it
    QString initialDir;
    QString defaultName;
    // Several files may be chosen; the answer then holds them separated by NUL characters.
    bool many = false;
    // A folder is chosen, not a file.
    bool folder = false;
};

// The dialogs behind ShowOpenDialog and ShowSaveDialog; an installed handler answers instead of
// them (for tests).
class FileDialogs : public ReplaceableHandler<FileDialogs, QString(const FileDialogRequest &)> {
public:
    using Request = FileDialogRequest;

    FileDialogs() = delete;
};

// Sets the window's icon (and the application's, when alsoOwner) from the icon group resource.
void SetIcon(QWidget *window, const QString &resourceName, bool alsoOwner);
