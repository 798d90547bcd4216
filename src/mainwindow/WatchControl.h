#pragma once

#include "workflow/FolderScan.h"

#include <QHash>
#include <QList>
#include <QObject>

#include <functional>
#include <memory>

class QLabel;
class QPushButton;
class QWidget;
class WatchFolder;
class WatchState;
class WindowQueue;

// "Watch a folder" in the queue panel: while the window is open, each media file that settles
// below the watched folder joins the queue, its destination at its place below the output folder,
// and the queue converts it. The watch's state file (the command line's, for the same two
// folders) keeps a file from being converted twice, across starts too. The button starts and
// stops the watch; it and the line beside it say what is watched, for screen readers too.
class WatchControl : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(WatchControl)

public:
    WatchControl(QWidget &window, WindowQueue &queue, const std::function<QString()> &preset);
    ~WatchControl() override;

    // Asks for the folder to watch and the output folder, and watches; false when it did not start.
    bool start();
    // Starts without asking (the folders chosen already); false with a box said when it cannot.
    bool watch(const QString &folder, const QString &outputFolder);
    void stop();
    bool watching() const { return m_watch != nullptr; }
    // How long a file must stay unchanged; before watch().
    void setSettleMs(int ms) { m_settleMs = ms; }

    // The button and the line for the panel; made on the first call, parented by the caller.
    QPushButton *button(QWidget *parent);
    QLabel *line(QWidget *parent);

signals:
    // The watch started or stopped.
    void watchingChanged(bool watching);

private:
    void settled(const FolderFile &file);
    void flush();
    void itemStateChanged(qsizetype index);
    void show();

    QWidget &m_window;
    WindowQueue &m_queue;
    std::function<QString()> m_preset;
    std::unique_ptr<WatchFolder> m_watch;
    std::unique_ptr<WatchState> m_state;
    QString m_outputFolder;
    QString m_watchPreset; // the preset when the watch started
    int m_settleMs = 5000;
    QList<FolderFile> m_pending;        // settled while the fields' one file converts
    QHash<quint64, FolderFile> m_files; // the queue's item of each file the watch added
    QPushButton *m_button = nullptr;
    QLabel *m_line = nullptr;
};
