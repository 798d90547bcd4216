#include "mainwindow/SourcePicker.h"

#include "common/MessageBoxes.h"
#include "mainwindow/FolderSources.h"
#include "common/StepGuard.h"
#include "controls/progressbar/TavloProBar.h"
#include "mainwindow/Announcer.h"
#include "mainwindow/FormControls.h"
#include "mainwindow/FormatBox.h"
#include "mainwindow/WindowHelpers.h"
#include "mainwindow/WindowQueue.h"
#include "workflow/DestinationName.h"
#include "workflow/Presets.h"

#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QMimeData>
#include <QStandardPaths>

SourcePicker::SourcePicker(QWidget &window, FormControls &controls, WindowQueue &queue)
    : QObject(&window), m_window(window), m_controls(controls), m_queue(queue), m_folders(new FolderSources(window, queue))
{
}

QString SourcePicker::videosFolder()
{
    const QString own = QCoreApplication::applicationDirPath() + QLatin1String("/Videos/");
    if (QFileInfo(own).isDir())
        return own;
    return QStandardPaths::writableLocation(QStandardPaths::MoviesLocation);
}

void SourcePicker::formatChanged()
{
    const QString preset = m_controls.cboFormat->currentText();
    if (m_queue.holdsQueue()) {
        m_queue.setPreset(preset);
        return;
    }
    const QString source = m_controls.txtSource->text();
    // Text typed on the way to a preset's name leaves the destination as it is.
    if (source.isEmpty() || !m_controls.cboFormat->isPreset(preset))
        return;
    const QString extension = FormatExtension(preset);
    // A source typed or pasted since the last update is taken as a chosen one would be.
    if (source != m_lastSourcePath)
        m_sourceExtension = PathExtension(source);
    // A name set apart from the source is derived afresh, so that it does not keep " (converted)"
    // once the preset's extension differs from the source's.
    const QString destination = m_controls.txtDest->text();
    const bool fromSource = destination.isEmpty() || source != m_lastSourcePath || destination == m_setApartDest;
    const QString base = fromSource ? source : destination;
    const QString proposed = destinationRenamed(source, base, extension);
    m_setApartDest = proposed == withExtension(base, extension) ? QString() : proposed;
    m_controls.txtDest->setText(proposed);
    m_lastSourcePath = source;
}

void SourcePicker::sourceEdited()
{
    const QString source = m_controls.txtSource->text();
    if (source.isEmpty() || source == m_lastSourcePath)
        return;
    if (QFileInfo(source).isDir()) {
        m_controls.txtSource->clear();
        m_folders->take({source}, m_controls.cboFormat->currentText());
        return;
    }
    formatChanged();
}

void SourcePicker::useSource(const QString &path)
{
    if (m_queue.holdsQueue() && !m_queue.runner().running())
        m_queue.list().replaceAll({});
    m_controls.txtSource->setText(path);
    m_sourceExtension = PathExtension(path);
    formatChanged();
}

void SourcePicker::useSources(const QStringList &paths)
{
    // The file that converts alone keeps the fields it was started from.
    if (paths.isEmpty() || m_queue.isSingle())
        return;
    if (m_folders->take(paths, m_controls.cboFormat->currentText()))
        return;
    if (paths.size() == 1 && !m_queue.holdsQueue()) {
        useSource(paths.first());
        return;
    }
    // Files join a queue that is there, idle or running; nothing the user put there goes unasked.
    const bool joins = m_queue.holdsQueue();
    m_queue.addSources(paths, m_controls.cboFormat->currentText(), false);
    if (joins) {
        const QString added = paths.size() == 1 ? QStringLiteral("1 file added to the queue")
                                                : QStringLiteral("%1 files added to the queue").arg(paths.size());
        if (!m_queue.runner().running())
            StepGuard("progress bar").run([&] { m_controls.proBar->setCaption(added); });
        if (auto *announcer = m_window.findChild<Announcer *>())
            announcer->announce(added);
    }
}

void SourcePicker::browseSource()
{
    // Any video the encoder reads comes first; "*" also lists names without a dot.
    const QString filter = QStringLiteral("Video Files") + QChar(0)
        + QStringLiteral("*.avi;*.mp4;*.m4v;*.mkv;*.mov;*.webm;*.wmv;*.mpg;*.mpeg;*.flv;*.3gp;*.ts;*.vob;*.ogv") + QChar(0)
        + QStringLiteral("AVI Video Files (*.avi)") + QChar(0) + QStringLiteral("*.avi") + QChar(0)
        + QStringLiteral("All Files (*)") + QChar(0) + QStringLiteral("*");
    // With a queue the field sums the files up ("3 files: …"): the dialog opens in the first
    // file's folder with no name in it.
    const QString source = m_queue.holdsQueue() ? queueFolder(false) : m_controls.txtSource->text();
    const QString initialDir = source.isEmpty() ? videosFolder() : source;
    const QStringList chosen = ShowOpenDialogMany(QStringLiteral("Select a Video File to Convert"), filter, initialDir, &m_window);
    // Several files, or one more for a queue that is there, go into the queue.
    if (chosen.size() > 1 || (!chosen.isEmpty() && m_queue.holdsQueue())) {
        useSources(chosen);
        return;
    }
    if (chosen.isEmpty())
        formatChanged();
    else
        useSource(chosen.first());
}

QString SourcePicker::queueFolder(bool destinations) const
{
    // The first file still to convert, else the first of all.
    const QueueItems &items = m_queue.list().items();
    const auto waiting = std::find_if(items.begin(), items.end(), [](const QueueItem &item) { return !item.finished(); });
    if (items.isEmpty())
        return videosFolder();
    const QueueItem &item = waiting != items.end() ? *waiting : items.first();
    const QString folder = QFileInfo(destinations ? item.destination : item.source).absolutePath();
    return QFileInfo(folder).isDir() ? folder : videosFolder();
}

void SourcePicker::browseDestination()
{
    // For several files Save as is a folder: the waiting ones are converted into it.
    if (m_queue.holdsQueue()) {
        const QString folder = FolderSources::chooseFolder(&m_window, QStringLiteral("Select the Folder for the Converted Files"),
                                                           queueFolder(true));
        m_queue.setOutputFolder(folder);
        return;
    }
    const QString source = m_controls.txtSource->text();
    if (source.isEmpty()) {
        MessageBoxes::show(QStringLiteral("Please select a source video file first"));
        return;
    }
    const QString preset = m_controls.cboFormat->currentText();
    const QString extension = FormatExtension(preset);
    const QString filter = preset + QLatin1String(" (*") + extension + QLatin1String(") ") + QChar(0) + QLatin1Char('*')
        + extension + QLatin1Char(' ') + QChar(0) + QStringLiteral("All Files (*)") + QChar(0) + QStringLiteral("*");
    const QString base = m_controls.txtDest->text().isEmpty() ? source : m_controls.txtDest->text();
    const QString chosen = ShowSaveDialog(QStringLiteral("Select The Target Video File to Save."), filter, videosFolder(),
                                          &m_window, destinationRenamed(source, base, extension));
    if (!chosen.isEmpty())
        m_controls.txtDest->setText(chosen);
}

void SourcePicker::dragEnter(QDragEnterEvent *event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!urls.isEmpty() && urls.first().isLocalFile())
        event->acceptProposedAction();
}

void SourcePicker::drop(QDropEvent *event)
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
