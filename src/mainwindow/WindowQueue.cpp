#include "mainwindow/WindowQueue.h"

#include "common/MessageBoxes.h"
#include "common/UserSettings.h"
#include "workflow/ClockText.h"
#include "workflow/DestinationName.h"
#include "workflow/PathText.h"
#include "workflow/Presets.h"
#include "workflow/TargetPlanner.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <utility>

namespace {

constexpr const char *AtOnceKey = "Queue/At once";
// How many unfinished files the recovery question names.
constexpr int RecoveryNames = 3;

QStringList namesOf(const QStringList &paths)
{
    QStringList names;
    for (const QString &path : paths)
        names << QFileInfo(path).fileName();
    return names;
}

} // namespace

WindowQueue::WindowQueue(QObject *parent)
    : QObject(parent), m_runner(m_list), m_left(m_file.load())
{
    m_runner.setAtOnce(std::max(0, userSettings().value(AtOnceKey, 1).toInt()));
    // Every change of an item or a state is on disk at once, so that a crash loses none.
    connect(&m_list, &QueueList::changed, this, [this] {
        if (!m_single)
            m_file.save(m_list.items());
        emit changed();
    });
    connect(&m_list, &QueueList::progressed, this, &WindowQueue::changed);
    connect(&m_runner, &QueueRunner::progressed, this, &WindowQueue::changed);
    connect(&m_runner, &QueueRunner::finished, this, &WindowQueue::finished);
}

void WindowQueue::setAtOnce(int atOnce)
{
    m_runner.setAtOnce(std::max(0, atOnce));
    userSettings().setValue(AtOnceKey, m_runner.atOnce());
}

QString WindowQueue::derivedDestination(const QString &source, const QString &preset)
{
    return destinationFor(source, FormatExtension(preset));
}

void WindowQueue::addSources(const QStringList &sources, const QString &preset, bool replaceWaiting)
{
    if (replaceWaiting && !m_runner.running()) {
        QueueItems kept;
        for (const QueueItem &item : m_list.items()) {
            if (item.state != QueueItem::State::Waiting && item.state != QueueItem::State::Cancelled)
                kept << item;
        }
        m_list.replaceAll(kept);
    }
    for (const QString &source : sources) {
        QueueItem item;
        item.source = QFileInfo(source).absoluteFilePath();
        item.preset = preset;
        item.options = m_options;
        item.target = targetFor(preset);
        item.destination = derivedDestination(item.source, preset);
        m_list.add(item);
    }
}

void WindowQueue::setPreset(const QString &preset)
{
    if (m_runner.running() || !Presets::find(preset))
        return;
    QueueItems items = m_list.items();
    const auto follows = [&preset](const QueueItem &item) { return item.state == QueueItem::State::Waiting && item.preset != preset; };
    if (std::none_of(items.begin(), items.end(), follows))
        return;
    // The new destinations are kept apart from every source and from one another.
    QStringList taken;
    for (const QueueItem &item : std::as_const(items)) {
        taken << pathKey(item.source);
        if (!follows(item))
            taken << pathKey(item.destination);
    }
    for (QueueItem &item : items) {
        if (!follows(item))
            continue;
        item.preset = preset;
        item.target = targetFor(preset);
        item.destination = uniqueDestination(derivedDestination(item.source, preset), taken);
        taken << pathKey(item.destination);
    }
    m_list.replaceAll(items);
}

void WindowQueue::setOptions(const ConversionOptions &options)
{
    m_options = options;
    if (m_runner.running())
        return;
    QueueItems items = m_list.items();
    bool changed = false;
    for (QueueItem &item : items) {
        if (item.state == QueueItem::State::Waiting && !(item.options == options)) {
            item.options = options;
            changed = true;
        }
    }
    if (changed)
        m_list.replaceAll(items);
}

Target WindowQueue::targetFor(const QString &preset) const
{
    return TargetPlanner::refusal(preset, m_target) ? Target() : m_target;
}

void WindowQueue::setTarget(const Target &target)
{
    m_target = target;
    if (m_runner.running())
        return;
    QueueItems items = m_list.items();
    bool changed = false;
    for (QueueItem &item : items) {
        if (item.state != QueueItem::State::Waiting || item.target == targetFor(item.preset))
            continue;
        item.target = targetFor(item.preset);
        changed = true;
    }
    if (changed)
        m_list.replaceAll(items);
}

void WindowQueue::setOutputFolder(const QString &folder)
{
    if (m_runner.running() || folder.isEmpty())
        return;
    QueueItems items = m_list.items();
    const auto moves = [](const QueueItem &item) { return item.state == QueueItem::State::Waiting; };
    QStringList taken;
    for (const QueueItem &item : std::as_const(items)) {
        taken << pathKey(item.source);
        if (!moves(item))
            taken << pathKey(item.destination);
    }
    for (QueueItem &item : items) {
        if (!moves(item))
            continue;
        item.destination = uniqueDestination(destinationFor(item.source, FormatExtension(item.preset), folder), taken);
        taken << pathKey(item.destination);
    }
    m_list.replaceAll(items);
}

bool WindowQueue::askAboutExistingDestinations()
{
    QList<qsizetype> existing;
    for (qsizetype i = 0; i < m_list.size(); ++i) {
        const QueueItem &item = m_list.at(i);
        if ((item.state == QueueItem::State::Waiting || item.state == QueueItem::State::Cancelled)
            && QFileInfo::exists(item.destination))
            existing << i;
    }
    if (existing.isEmpty())
        return true;
    int answer = MessageBoxes::No;
    if (existing.size() == 1) {
        answer = MessageBoxes::Cancel;
    } else {
        QStringList names;
        for (qsizetype i : existing)
            names << m_list.at(i).destination;
        const QString question = QStringLiteral("%1 destinations already exist: %2. Replace them all, keep them all, or ask for each?")
                                     .arg(existing.size())
                                     .arg(summaryOf(names).section(QStringLiteral(": "), 1));
        answer = MessageBoxes::show(question, MessageBoxes::ReplaceKeepAsk + MessageBoxes::Question);
    }
    for (qsizetype i : std::as_const(existing)) {
        bool replace = answer == MessageBoxes::Yes;
        if (answer == MessageBoxes::Cancel) {
            const QString question = QFileInfo(m_list.at(i).destination).fileName() + QLatin1String(" already exists. Replace it?");
            replace = MessageBoxes::show(question, MessageBoxes::YesNoQuestion + MessageBoxes::DefaultButton2)
                == MessageBoxes::Yes;
        }
        if (!replace) {
            if (m_list.at(i).state == QueueItem::State::Cancelled)
                m_list.setState(i, QueueItem::State::Waiting);
            m_list.setState(i, QueueItem::State::Skipped, QStringLiteral("the destination exists"));
        }
    }
    return true;
}

bool WindowQueue::convert()
{
    if (m_runner.running())
        return false;
    offerFailedAgain();
    askAboutExistingDestinations();
    m_runner.setShowsMessages(false);
    return m_runner.start();
}

// Every row has ended and some failed: Convert offers them again rather than doing nothing.
void WindowQueue::offerFailedAgain()
{
    const qsizetype failed = m_list.count(QueueItem::State::Failed);
    if (failed == 0 || m_list.count(QueueItem::State::Waiting) > 0 || m_list.count(QueueItem::State::Cancelled) > 0)
        return;
    const QString question = failed == 1 ? QStringLiteral("1 conversion failed. Convert it again?")
                                         : QStringLiteral("%1 conversions failed. Convert them again?").arg(failed);
    if (MessageBoxes::show(question, MessageBoxes::YesNoQuestion) != MessageBoxes::Yes)
        return;
    for (qsizetype i = 0; i < m_list.size(); ++i)
        m_list.retry(i);
}

void WindowQueue::closeNormally()
{
    // What is left of a queue the user closed is not a crash's to offer at the next start.
    if (!m_single && !isEmpty())
        m_file.save({});
}

bool WindowQueue::convertOne(const QString &preset, const QString &source, const QString &destination)
{
    if (m_runner.running() || !isEmpty())
        return false;
    QueueItem item;
    item.source = source;
    item.preset = preset;
    item.options = m_options;
    item.target = targetFor(preset);
    item.destination = destination;
    m_single = true;
    // As given: the job itself refuses a destination that is the source.
    m_list.replaceAll({item});
    m_runner.setShowsMessages(true);
    return m_runner.start() && m_runner.running();
}

void WindowQueue::endSingle()
{
    if (!m_single)
        return;
    m_list.replaceAll({});
    m_single = false;
}

void WindowQueue::offerRecovery()
{
    if (m_offered)
        return;
    m_offered = true;
    const RecoveryFile::Loaded loaded = std::exchange(m_left, RecoveryFile::Loaded());
    if (!loaded.problem.isEmpty()) {
        QString text = QStringLiteral("The saved queue could not be used: ") + loaded.problem + QLatin1Char('.');
        if (!loaded.setAsideTo.isEmpty())
            text += QStringLiteral(" It was set aside as ") + loaded.setAsideTo + QLatin1Char('.');
        MessageBoxes::show(text, MessageBoxes::Exclamation);
        return;
    }
    QueueList left;
    left.replaceAll(loaded.items);
    const qsizetype unfinished = left.unfinishedCount();
    if (unfinished == 0)
        return;
    QStringList names;
    for (const QueueItem &item : left.items()) {
        if (!item.finished())
            names << PathText::shown(QFileInfo(item.source).fileName());
    }
    const QString named = PathText::firstOf(names, RecoveryNames, QStringLiteral(", "));
    const QString question = unfinished == 1
        ? QStringLiteral("1 conversion was not finished: %1. Continue it?").arg(named)
        : QStringLiteral("%1 conversions were not finished: %2. Continue them?").arg(unfinished).arg(named);
    if (MessageBoxes::show(question, MessageBoxes::YesNoQuestion) != MessageBoxes::Yes) {
        m_file.save(m_list.items());
        return;
    }
    left.prepareToContinue();
    const bool sameOptions = std::all_of(left.items().begin(), left.items().end(), [&](const QueueItem &item) {
        return item.options == left.items().first().options;
    });
    if (sameOptions)
        emit optionsRecovered(left.items().first().options);
    for (const QueueItem &item : left.items())
        m_list.add(item);
    if (!m_runner.running())
        convert();
}

QString WindowQueue::summaryOf(const QStringList &paths)
{
    const QStringList names = namesOf(paths);
    if (names.size() == 1)
        return paths.first();
    QString text = QStringLiteral("%1 files: ").arg(names.size()) + names.mid(0, 2).join(QStringLiteral(", "));
    if (names.size() > 2)
        text += QStringLiteral(", …");
    return text;
}

QString WindowQueue::sourceSummary() const
{
    QStringList sources;
    for (const QueueItem &item : m_list.items())
        sources << item.source;
    return sources.isEmpty() ? QString() : summaryOf(sources);
}

QString WindowQueue::destinationSummary() const
{
    QStringList destinations;
    for (const QueueItem &item : m_list.items())
        destinations << item.destination;
    return destinations.isEmpty() ? QString() : summaryOf(destinations);
}

QString WindowQueue::caption() const
{
    if (m_runner.paused())
        return QStringLiteral("Paused");
    // Counted as the list stands: a file removed or added while the run goes counts at once.
    const int converting = int(m_list.count(QueueItem::State::Converting));
    const int total = m_runner.endedCount() + converting + int(m_list.count(QueueItem::State::Waiting));
    // The last file, between its end and the run's.
    const int first = std::min(m_runner.endedCount() + 1, std::max(total, 1));
    QString text = converting > 1 ? QStringLiteral("Files %1–%2 of %3 · Converting…").arg(first).arg(first + converting - 1).arg(total)
                                  : QStringLiteral("File %1 of %2 · Converting…").arg(first).arg(std::max(first, total));
    if (const std::optional<qint64> left = m_runner.currentTimeLeftMs())
        text += QLatin1Char(' ') + clockText(*left) + QLatin1String(" left");
    return text;
}
