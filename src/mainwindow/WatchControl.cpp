#include "mainwindow/WatchControl.h"

#include "common/MessageBoxes.h"
#include "mainwindow/FolderSources.h"
#include "mainwindow/WindowQueue.h"
#include "workflow/DestinationName.h"
#include "workflow/FolderMaker.h"
#include "workflow/PathText.h"
#include "workflow/Presets.h"
#include "workflow/WatchFolder.h"
#include "workflow/WatchState.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>

WatchControl::WatchControl(QWidget &window, WindowQueue &queue, const std::function<QString()> &preset)
    : QObject(&window), m_window(window), m_queue(queue), m_preset(preset)
{
    connect(&m_queue.list(), &QueueList::stateChanged, this, &WatchControl::itemStateChanged);
    // Files that settled while the fields' one file converted join the queue once it has ended.
    connect(&m_queue, &WindowQueue::finished, this, [this] { QMetaObject::invokeMethod(this, &WatchControl::flush, Qt::QueuedConnection); });
}

WatchControl::~WatchControl() = default;

bool WatchControl::start()
{
    const QString folder = FolderSources::chooseFolder(&m_window, QStringLiteral("Select the Folder to Watch"), QDir::homePath());
    if (folder.isEmpty())
        return false;
    const QString output = FolderSources::chooseFolder(&m_window, QStringLiteral("Select the Folder for the Converted Files"),
                                                       QFileInfo(folder).absolutePath());
    if (output.isEmpty())
        return false;
    return watch(folder, output);
}

bool WatchControl::watch(const QString &folder, const QString &outputFolder)
{
    stop();
    const QString preset = m_preset();
    if (!Presets::find(preset)) {
        MessageBoxes::show(QStringLiteral("Please choose a format for the watched files first."), MessageBoxes::Exclamation);
        return false;
    }
    const QString in = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    const QString out = QDir::cleanPath(QFileInfo(outputFolder).absoluteFilePath());
    if (pathKey(in) == pathKey(out)) {
        MessageBoxes::show(QStringLiteral("The converted files need a folder other than the watched one."), MessageBoxes::Exclamation);
        return false;
    }
    auto state = std::make_unique<WatchState>(WatchState::fileFor(in, out));
    if (const std::optional<QString> reason = state->load()) {
        MessageBoxes::show(QStringLiteral("Cannot use the watch's state file %1: %2").arg(PathText::shown(state->file()), *reason),
                           MessageBoxes::Exclamation);
        return false;
    }
    if (const std::optional<QString> reason = makeFolders(out)) {
        MessageBoxes::show(QStringLiteral("Cannot create the folder %1: %2").arg(PathText::shown(out), *reason), MessageBoxes::Exclamation);
        return false;
    }
    m_state = std::move(state);
    m_outputFolder = out;
    m_watchPreset = preset;
    m_watch = std::make_unique<WatchFolder>(in);
    m_watch->setSettleMs(m_settleMs);
    m_watch->setExcluded({out});
    const QString outKey = pathKey(out) + QLatin1Char('/');
    m_watch->setPassedOver([this, outKey](const FolderFile &file) {
        // Taken before, a result of the watch, or already in the queue.
        if (m_state->contains(file) || m_state->isResult(file.path) || pathKey(file.path).startsWith(outKey))
            return true;
        for (const FolderFile &known : std::as_const(m_files)) {
            if (known.path == file.path && known.sameState(file))
                return true;
        }
        return false;
    });
    connect(m_watch.get(), &WatchFolder::ready, this, &WatchControl::settled);
    connect(m_watch.get(), &WatchFolder::notMedia, this, [this](const FolderFile &file) {
        m_state->record(file, QStringLiteral("not media"), QString());
    });
    connect(m_watch.get(), &WatchFolder::folderMissing, this, &WatchControl::show);
    connect(m_watch.get(), &WatchFolder::folderBack, this, &WatchControl::show);
    m_watch->start();
    show();
    emit watchingChanged(true);
    return true;
}

void WatchControl::stop()
{
    if (!m_watch)
        return;
    // What the watch queued stays in the queue; what settled meanwhile is taken at the next start.
    m_watch.reset();
    m_pending.clear();
    show();
    emit watchingChanged(false);
}

void WatchControl::settled(const FolderFile &file)
{
    m_pending << file;
    flush();
}

void WatchControl::flush()
{
    if (!m_watch || m_pending.isEmpty() || m_queue.isSingle())
        return;
    const QString extension = FormatExtension(m_watchPreset);
    QStringList taken;
    for (const QueueItem &item : m_queue.list().items())
        taken << pathKey(item.source) << pathKey(item.destination);
    for (const FolderFile &file : std::exchange(m_pending, {})) {
        QueueItem item;
        item.source = file.path;
        item.preset = m_watchPreset;
        item.options = m_queue.options();
        item.destination = uniqueDestination(FolderScan::mirrored(file.path, file.relative, m_outputFolder, extension), taken);
        makeFolders(item.destination.left(item.destination.lastIndexOf(QLatin1Char('/'))));
        taken << pathKey(item.source) << pathKey(item.destination);
        const qsizetype index = m_queue.list().add(item);
        m_files.insert(m_queue.list().at(index).id, file);
    }
    QueueRunner &runner = m_queue.runner();
    if (!runner.running()) {
        runner.setShowsMessages(false);
        runner.start();
    }
}

void WatchControl::itemStateChanged(qsizetype index)
{
    if (index < 0 || index >= m_queue.list().size() || !m_state)
        return;
    const QueueItem &item = m_queue.list().at(index);
    const auto found = m_files.constFind(item.id);
    if (found == m_files.constEnd() || !item.finished())
        return;
    const QString outcome = item.state == QueueItem::State::Done ? QStringLiteral("done")
        : item.state == QueueItem::State::Failed                 ? QStringLiteral("failed")
                                                                 : QStringLiteral("skipped");
    m_state->record(*found, outcome, item.state == QueueItem::State::Failed ? QString() : item.destination);
}

QPushButton *WatchControl::button(QWidget *parent)
{
    if (!m_button) {
        m_button = new QPushButton(parent);
        connect(m_button, &QPushButton::clicked, this, [this] {
            if (watching())
                stop();
            else
                start();
        });
        show();
    }
    return m_button;
}

QLabel *WatchControl::line(QWidget *parent)
{
    if (!m_line) {
        m_line = new QLabel(parent);
        m_line->setTextFormat(Qt::PlainText);
        show();
    }
    return m_line;
}

void WatchControl::show()
{
    const QString in = m_watch ? PathText::shown(m_watch->folder()) : QString();
    if (m_button) {
        m_button->setText(m_watch ? QStringLiteral("Stop &watching") : QStringLiteral("&Watch a folder…"));
        m_button->setAccessibleName(m_watch ? QStringLiteral("Stop watching %1").arg(in) : QStringLiteral("Watch this folder"));
        m_button->setToolTip(m_watch ? QStringLiteral("Stop adding the files that arrive in %1").arg(in)
                                     : QStringLiteral("Convert each video that arrives in a folder while the window is open"));
    }
    if (m_line) {
        const QString text = m_watch ? QStringLiteral("Watching %1 → %2").arg(in, PathText::shown(m_outputFolder)) : QString();
        m_line->setText(text);
        m_line->setToolTip(text);
        m_line->setAccessibleName(m_watch ? QStringLiteral("Watching %1, converted into %2").arg(in, PathText::shown(m_outputFolder))
                                          : QStringLiteral("Not watching a folder"));
        m_line->setVisible(m_watch != nullptr);
    }
}
