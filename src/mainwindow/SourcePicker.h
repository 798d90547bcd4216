#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QDragEnterEvent;
class QDropEvent;
class FolderSources;
class QWidget;
class WindowQueue;
struct FormControls;

// Choosing what to convert and where to: the open and save dialogs, a typed or pasted source,
// files dropped on the window, and the destination that follows the source and the preset (by
// the workflow's one naming rule). One file fills the fields; several go into the queue.
class SourcePicker : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(SourcePicker)

public:
    SourcePicker(QWidget &window, FormControls &controls, WindowQueue &queue);

    // Where the dialogs start: the program folder's "Videos" folder, else the user's videos.
    static QString videosFolder();

    // Takes a file as the open dialog does: source, its extension, the destination update.
    void useSource(const QString &path);
    // One file as useSource; several go into the queue.
    void useSources(const QStringList &paths);

    // The format box shows another preset (or text on the way to one).
    void formatChanged();
    // A typed or pasted source, once Return is pressed or the field left.
    void sourceEdited();
    void browseSource();
    void browseDestination();
    void dragEnter(QDragEnterEvent *event);
    void drop(QDropEvent *event);

    QString sourceExtension() const { return m_sourceExtension; }
    // Folders given as sources.
    FolderSources &folders() const { return *m_folders; }

private:
    // Where the dialogs open with a queue: the folder of its first file still to convert (of its
    // destination, or its source).
    QString queueFolder(bool destinations) const;

    QWidget &m_window;
    FormControls &m_controls;
    WindowQueue &m_queue;
    FolderSources *m_folders = nullptr;
    QString m_lastSourcePath;
    QString m_sourceExtension;
    QString m_setApartDest; // the destination last set apart from the source, while it stands
};
