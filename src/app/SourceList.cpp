#include "app/SourceList.h"

#include "workflow/DestinationName.h"
#include "workflow/FileNameBytes.h"
#include "workflow/Presets.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <algorithm>

namespace SourceList {

namespace {

struct Source {
    QString path;
    QString relative; // its place below the folder it was found in; empty for a named file
};

// The names in a list file: one a line, or NUL-separated; empty ones mean nothing.
QStringList namesIn(const QByteArray &list, bool nullSeparated)
{
    QStringList names;
    for (QByteArray name : list.split(nullSeparated ? '\0' : '\n')) {
        if (!nullSeparated && name.endsWith('\r'))
            name.chop(1);
        if (!name.isEmpty())
            names << FileNameBytes::decode(name);
    }
    return names;
}

} // namespace

bool wanted(const CommandLinePlan &plan)
{
    return plan.recursive || !plan.filesFrom.isEmpty() || plan.shards > 1;
}

bool readShard(const QString &text, int &shard, int &shards)
{
    const qsizetype slash = text.indexOf(QLatin1Char('/'));
    bool okShard = false;
    bool okShards = false;
    const int i = text.left(slash).toInt(&okShard);
    const int n = text.mid(slash + 1).toInt(&okShards);
    if (slash < 0 || !okShard || !okShards || n < 1 || i < 0 || i >= n)
        return false;
    shard = i;
    shards = n;
    return true;
}

std::optional<UsageError> plan(CommandLinePlan &plan, const QStringList &arguments, const FileProbe &probe)
{
    QStringList names = arguments;
    if (names.isEmpty() && plan.filesFrom.isEmpty())
        return UsageError{QStringLiteral("no source file given")};
    if (!plan.filesFrom.isEmpty()) {
        const std::optional<QByteArray> list = probe.readList(plan.filesFrom);
        if (!list)
            return UsageError{QStringLiteral("cannot read the list %1").arg(plan.filesFrom), false};
        names << namesIn(*list, plan.nullSeparated);
    }
    QList<Source> sources;
    for (const QString &name : std::as_const(names)) {
        if (plan.recursive && probe.isFolder(name)) {
            const FolderScanResult found = probe.scanFolder(name, plan.followLinks,
                                                               plan.outputFolder.isEmpty() ? QStringList() : QStringList{plan.outputFolder});
            for (const FolderFile &file : found.media)
                sources.append({file.path, file.relative});
            plan.passedOver.notMedia << found.notMedia;
            plan.passedOver.linksOut << found.linksOut;
            plan.passedOver.growing << found.growing;
        } else {
            sources.append({name, QString()});
        }
    }
    // The same on every machine: the list sorted by the names' bytes, each file once.
    if (plan.shards > 1) {
        std::stable_sort(sources.begin(), sources.end(), [](const Source &a, const Source &b) {
            return FileNameBytes::encode(a.path) < FileNameBytes::encode(b.path);
        });
    }
    QSet<QString> seen;
    QStringList taken; // every source and every destination so far, by key
    QList<Source> unique;
    for (const Source &source : std::as_const(sources)) {
        const QString key = pathKey(source.path);
        if (seen.contains(key))
            continue;
        seen.insert(key);
        taken << key;
        unique.append(source);
    }
    const QString extension = FormatExtension(plan.preset);
    QList<ConversionItem> items;
    for (const Source &source : std::as_const(unique)) {
        const QString destination = uniqueDestination(
            FolderScan::mirrored(source.path, source.relative, plan.outputFolder, extension, probe.sameFile), taken);
        taken << pathKey(destination);
        items.append({source.path, destination});
    }
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (i % plan.shards != plan.shard)
            continue;
        plan.items.append(items.at(i));
        if (plan.shards > 1)
            plan.indices.append(i);
    }
    return std::nullopt;
}

} // namespace SourceList
