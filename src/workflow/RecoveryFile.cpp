#include "workflow/RecoveryFile.h"

#include "engine/SameFile.h"
#include "workflow/FolderMaker.h"
#include "workflow/FileNameBytes.h"
#include "workflow/PathText.h"
#include "workflow/Presets.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QSet>

namespace {

const QLatin1String FormatName("vidomar-queue");
constexpr int Version = 1;

// Absolute, already clean (no "." or ".." steps), of a sane length and without control characters.
QString pathProblem(const QString &path)
{
    if (path.isEmpty())
        return QStringLiteral("an empty path");
    if (path.size() > RecoveryFile::MaxPathLength)
        return QStringLiteral("a path longer than %1 characters").arg(RecoveryFile::MaxPathLength);
    if (!path.startsWith(u'/') || QDir::cleanPath(path) != path || path.endsWith(u'/'))
        return QStringLiteral("a path that is not a plain absolute file name: ") + path;
    for (const QChar c : path) {
        if (c.category() == QChar::Other_Control)
            return QStringLiteral("a path with a control character");
    }
    if (const std::optional<QString> control = PathText::directionControl(path))
        return QStringLiteral("a path with a direction mark (%1): ").arg(*control) + PathText::shown(path);
    return QString();
}

} // namespace

RecoveryFile::RecoveryFile(const QString &path)
    : m_path(path)
{
}

QString RecoveryFile::defaultPath()
{
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    // A relative XDG_STATE_HOME is ignored, as for every XDG folder.
    if (!base.startsWith(u'/'))
        base = QDir::homePath() + QStringLiteral("/.local/state");
    return base + QStringLiteral("/Zorvik/queue.json");
}

RecoveryFile::PresetExtension RecoveryFile::knownPresets()
{
    return [](const QString &name) -> std::optional<QString> {
        if (!Presets::find(name))
            return std::nullopt;
        return FormatExtension(name);
    };
}

QByteArray RecoveryFile::serialise(const QueueItems &items)
{
    QJsonArray list;
    for (const QueueItem &item : items) {
        QJsonObject object{{"source", item.source},
                           {"preset", item.preset},
                           {"destination", item.destination},
                           {"state", QueueItem::stateName(item.state)}};
        if (!item.options.isEmpty())
            object.insert("options", item.options.toJson());
        if (item.target.kind != Target::Kind::None)
            object.insert(QLatin1String("target"), item.target.text());
        list.append(object);
    }
    return QJsonDocument(QJsonObject{{"format", FormatName}, {"version", Version}, {"items", list}}).toJson();
}

std::variant<QueueItems, QString> RecoveryFile::parse(const QByteArray &text, const PresetExtension &presets)
{
    if (text.size() > MaxBytes)
        return QStringLiteral("it is larger than %1 bytes").arg(MaxBytes);
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError)
        return QStringLiteral("it is not valid JSON (%1)").arg(error.errorString());
    const QJsonObject root = document.object();
    if (root.value("format").toString() != FormatName || root.value("version") != QJsonValue(Version))
        return QStringLiteral("it is not a queue of this version");
    if (!root.value("items").isArray())
        return QStringLiteral("it holds no list of items");
    const QJsonArray list = root.value("items").toArray();
    if (list.size() > MaxItems)
        return QStringLiteral("it holds more than %1 items").arg(MaxItems);

    QueueItems items;
    QSet<QByteArray> destinations;
    QSet<QByteArray> sources;
    for (qsizetype i = 0; i < list.size(); ++i) {
        const QString where = QStringLiteral("item %1 has ").arg(i + 1);
        const QJsonObject object = list.at(i).toObject();
        for (const char *key : {"source", "preset", "destination", "state"}) {
            if (!object.value(QLatin1String(key)).isString())
                return where + QStringLiteral("no %1").arg(QLatin1String(key));
        }
        QueueItem item;
        item.source = object.value("source").toString();
        item.preset = object.value("preset").toString();
        item.destination = object.value("destination").toString();
        const std::optional<QueueItem::State> state = QueueItem::stateNamed(object.value("state").toString());
        if (!state)
            return where + QStringLiteral("an unknown state");
        item.state = *state;
        if (const QJsonValue options = object.value("options"); !options.isUndefined()) {
            if (!options.isObject())
                return where + QStringLiteral("options that are not an object");
            auto parsed = ConversionOptions::fromJson(options.toObject());
            if (const QString *problem = std::get_if<QString>(&parsed))
                return where + QStringLiteral("bad options: ") + *problem;
            item.options = std::get<ConversionOptions>(parsed);
        }
        if (object.contains(QLatin1String("target"))) {
            const std::optional<Target> target = Target::fromText(object.value("target").toString());
            if (!target || !object.value("target").isString())
                return where + QStringLiteral("an unknown target");
            item.target = *target;
        }
        for (const QString &path : {item.source, item.destination}) {
            const QString problem = pathProblem(path);
            if (!problem.isEmpty())
                return where + problem;
        }
        const std::optional<QString> extension = presets(item.preset);
        if (!extension)
            return where + QStringLiteral("an unknown preset: ") + item.preset.left(200);
        // A queue only ever writes files of its preset's kind, never some other file of the user.
        if (!item.destination.endsWith(*extension, Qt::CaseInsensitive))
            return where + QStringLiteral("a destination without the preset's extension ") + *extension;
        // By the files the names reach: a destination may since have become a link to a source.
        const QByteArray destination = fileIdentity(FileNameBytes::encode(item.destination));
        if (destination == fileIdentity(FileNameBytes::encode(item.source)))
            return where + QStringLiteral("its source as its destination");
        if (destinations.contains(destination))
            return where + QStringLiteral("the destination of another item");
        destinations.insert(destination);
        sources.insert(fileIdentity(FileNameBytes::encode(item.source)));
        items.append(item);
    }
    for (const QByteArray &destination : std::as_const(destinations)) {
        if (sources.contains(destination))
            return QStringLiteral("a destination is the source of another item");
    }
    return items;
}

bool RecoveryFile::save(const QueueItems &items, QString *error) const
{
    const bool anythingLeft = std::any_of(items.begin(), items.end(), [](const QueueItem &item) { return !item.finished(); });
    if (!anythingLeft) {
        if (QFileInfo(m_path).isSymLink() || QFileInfo::exists(m_path))
            QFile::remove(m_path);
        return true;
    }
    const QString folder = QFileInfo(m_path).absolutePath();
    if (const std::optional<QString> reason = makeFolders(folder)) {
        if (error)
            *error = QStringLiteral("cannot create the folder ") + folder + QStringLiteral(": ") + *reason;
        return false;
    }
    // The file names the user's videos: for the user alone.
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    file.write(serialise(items));
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

RecoveryFile::Loaded RecoveryFile::load(const PresetExtension &presets) const
{
    Loaded loaded;
    const QFileInfo info(m_path);
    if (!info.exists() && !info.isSymLink())
        return loaded;
    QString problem;
    if (info.isSymLink() || !info.isFile()) {
        problem = QStringLiteral("it is not a plain file");
    } else if (info.size() > MaxBytes) {
        problem = QStringLiteral("it is larger than %1 bytes").arg(MaxBytes);
    } else {
        QFile file(m_path);
        if (!file.open(QIODevice::ReadOnly)) {
            problem = file.errorString();
        } else {
            auto parsed = parse(file.read(MaxBytes + 1), presets);
            if (auto *items = std::get_if<QueueItems>(&parsed))
                loaded.items = *items;
            else
                problem = std::get<QString>(parsed);
        }
    }
    if (problem.isEmpty())
        return loaded;
    loaded.problem = problem;
    loaded.setAsideTo = m_path + QStringLiteral(".damaged-")
        + QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    if (!QFile::rename(m_path, loaded.setAsideTo)) {
        // A file that cannot be set aside is removed, so that it is not reported at every start.
        QFile::remove(m_path);
        loaded.setAsideTo.clear();
    }
    return loaded;
}
