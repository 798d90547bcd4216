#include "mainwindow/FolderSources.h"

#include "common/MessageBoxes.h"
#include "mainwindow/WindowHelpers.h"
#include "mainwindow/WindowQueue.h"
#include "workflow/DestinationName.h"
#include "workflow/FolderMaker.h"
#include "workflow/PathText.h"
#include "workflow/Presets.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QThread>

#include <memory>

namespace {

// How many names a box lists before "and N more".
constexpr int Named = 5;

QString nameOf(const QString &path)
{
    return PathText::shown(QFileInfo(path).fileName());
}

} // namespace

FolderSources::FolderSources(QWidget &window, WindowQueue &queue)
    : QObject(&window), m_window(window), m_queue(queue)
{
}

FolderSources::~FolderSources()
{
    // A scan ends within its probes; its results are then dropped.
    for (QThread *thread : std::as_const(m_threads)) {
        thread->disconnect(this);
        thread->wait();
        delete thread;
    }
}

QString FolderSources::chooseFolder(QWidget *owner, const QString &title, const QString &start)
{
    FileDialogs::Request request{false, title, QString(), start, QString()};
    request.folder = true;
    if (const FileDialogs::Handler answer = FileDialogs::current())
        return answer(request);
    return QFileDialog::getExistingDirectory(owner, title, start);
}

void FolderSources::browse(const QString &preset)
{
    const QString folder = chooseFolder(&m_window, QStringLiteral("Select a Folder of Videos to Convert"), QDir::homePath());
    if (!folder.isEmpty())
        take({folder}, preset);
}

bool FolderSources::take(const QStringList &paths, const QString &preset)
{
    QStringList folders;
    QStringList files;
    for (const QString &path : paths)
        (QFileInfo(path).isDir() ? folders : files) << QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    if (folders.isEmpty())
        return false;
    // Asked once the drop (or the field's edit) is over, so that the program that dragged the
    // folder is not kept waiting on the question.
    QMetaObject::invokeMethod(this, [this, folders, files, preset] { ask(folders, files, preset); }, Qt::QueuedConnection);
    return true;
}

void FolderSources::ask(const QStringList &folders, const QStringList &files, const QString &preset)
{
    if (!Presets::find(preset)) {
        MessageBoxes::show(QStringLiteral("Please choose a format for the files of the folder first."), MessageBoxes::Exclamation);
        return;
    }
    const QString what = folders.size() == 1 ? nameOf(folders.first()) : QStringLiteral("%1 folders").arg(folders.size());
    const int answer = MessageBoxes::show(
        QStringLiteral("Where should the converted files of %1 go?\n\nInto a folder: the folders below it are made there as "
                       "they are here. Beside the sources: each result next to its source.")
            .arg(what),
        MessageBoxes::FolderOrBeside + MessageBoxes::Question);
    if (answer == MessageBoxes::Cancel)
        return;
    QString outputFolder;
    if (answer == MessageBoxes::Yes) {
        outputFolder = chooseFolder(&m_window, QStringLiteral("Select the Folder for the Converted Files"),
                                    QFileInfo(folders.first()).absolutePath());
        if (outputFolder.isEmpty())
            return;
        outputFolder = QDir::cleanPath(QFileInfo(outputFolder).absoluteFilePath());
    }
    auto scans = std::make_shared<QList<Scan>>();
    QThread *thread = QThread::create([scans, folders, files, outputFolder] {
        FolderScan::Options options;
        // Results written into a folder inside a scanned one are not sources.
        if (!outputFolder.isEmpty())
            options.excluded = {outputFolder};
        for (const QString &folder : folders)
            scans->append({folder, FolderScan::scan(folder, options)});
        Scan loose;
        for (const QString &file : files)
            loose.result.media.append(FolderFile{file, QString()});
        if (!files.isEmpty())
            scans->append(loose);
    });
    m_threads << thread;
    connect(thread, &QThread::finished, this, [this, thread, scans, outputFolder, preset] {
        m_threads.removeOne(thread);
        thread->deleteLater();
        scanned(*scans, outputFolder, preset);
    });
    thread->start();
}

void FolderSources::scanned(const QList<Scan> &scans, const QString &outputFolder, const QString &preset)
{
    const QString extension = FormatExtension(preset);
    // Kept apart from every source and destination the queue holds, and from one another.
    QStringList taken;
    for (const QueueItem &item : m_queue.list().items())
        taken << pathKey(item.source) << pathKey(item.destination);
    QStringList growing;
    QStringList unmade;
    int count = 0;
    for (const Scan &scan : scans) {
        growing << scan.result.growing;
        for (const FolderFile &file : scan.result.media) {
            QueueItem item;
            item.source = file.path;
            item.preset = preset;
            item.options = m_queue.options();
            item.destination = uniqueDestination(FolderScan::mirrored(file.path, file.relative, outputFolder, extension), taken);
            const QString folder = item.destination.left(item.destination.lastIndexOf(QLatin1Char('/')));
            if (const std::optional<QString> reason = makeFolders(folder)) {
                unmade << PathText::shown(folder) + QLatin1String(": ") + *reason;
                continue;
            }
            taken << pathKey(item.source) << pathKey(item.destination);
            m_queue.list().add(item);
            ++count;
        }
    }
    QStringList said;
    if (count == 0 && unmade.isEmpty())
        said << QStringLiteral("No video or sound files were found there.");
    if (!growing.isEmpty()) {
        QStringList names;
        for (const QString &path : std::as_const(growing))
            names << nameOf(path);
        said << QStringLiteral("Still being written, so left out: %1.").arg(PathText::firstOf(names, Named, QStringLiteral(", ")));
    }
    if (!unmade.isEmpty())
        said << QStringLiteral("Cannot create %1.").arg(PathText::firstOf(unmade, Named, QStringLiteral("; ")));
    if (!said.isEmpty())
        MessageBoxes::show(said.join(QLatin1Char('\n')), MessageBoxes::Exclamation);
    emit queued(count);
}
