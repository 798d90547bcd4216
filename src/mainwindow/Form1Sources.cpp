#include "mainwindow/Form1.h"

#include "mainwindow/FormatBox.h"
#include "mainwindow/WindowHelpers.h"
#include "mainwindow/WindowQueue.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>

// Form1's part for choosing sources: typed, picked in the open dialog, or dropped on the window.

void Form1::txtSource_EditingFinished()
{
    if (!m_txtSource->text().isEmpty() && m_txtSource->text() != m_lastSourcePath)
        cboFormat_Click();
}

void Form1::useSource(const QString &path)
{
    if (queueMode() && !m_queue->runner().running())
        m_queue->list().replaceAll({});
    m_txtSource->setText(path);
    m_sourceExtension = PathExtension(path);
    cboFormat_Click();
}

void Form1::cmdSource_Click()
{
    // Any video the encoder reads comes first; "*" also lists names without a dot.
    const QString filter = QStringLiteral("Video Files") + QChar(0)
        + QStringLiteral("*.avi;*.mp4;*.m4v;*.mkv;*.mov;*.webm;*.wmv;*.mpg;*.mpeg;*.flv;*.3gp;*.ts;*.vob;*.ogv") + QChar(0)
        + QStringLiteral("AVI Video Files (*.avi)") + QChar(0) + QStringLiteral("*.avi") + QChar(0)
        + QStringLiteral("All Files (*)") + QChar(0) + QStringLiteral("*");
    const QString initialDir = m_txtSource->text().isEmpty() ? videosFolder() : m_txtSource->text();
    const QStringList chosenFiles = ShowOpenDialogMany(QStringLiteral("Select a Video File to Convert"), filter, initialDir, this);
    // Several files, or one more for a queue that runs, go into the queue.
    if (chosenFiles.size() > 1 || (!chosenFiles.isEmpty() && m_queue->runner().running())) {
        useSources(chosenFiles);
        return;
    }
    const QString chosen = chosenFiles.value(0);
    if (chosen.isEmpty())
        cboFormat_Click();
    else
        useSource(chosen);
}

void Form1::dragEnterEvent(QDragEnterEvent *event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!urls.isEmpty() && urls.first().isLocalFile())
        event->acceptProposedAction();
}

void Form1::dropEvent(QDropEvent *event)
{
    QStringList paths;
    for (const QUrl &url : event->mimeData()->urls()) {
        if (url.isLocalFile())
            paths << url.toLocalFile();
    }
    if (paths.isEmpty())
        return;
    useSources(paths);
    event->acceptProposedAction();
}
