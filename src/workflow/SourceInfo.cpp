#include "workflow/SourceInfo.h"

#include "workflow/ClockText.h"
#include "workflow/FileNameBytes.h"
#include "workflow/ToolProcess.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

#include <array>
#include <cmath>

namespace {

constexpr std::array<std::pair<SourceInfo::Stream::Type, const char *>, 5> TypeNames{{
    {SourceInfo::Stream::Type::Video, "video"},
    {SourceInfo::Stream::Type::Audio, "audio"},
    {SourceInfo::Stream::Type::Subtitle, "subtitle"},
    {SourceInfo::Stream::Type::Data, "data"},
    {SourceInfo::Stream::Type::Attachment, "attachment"},
}};

// Text subtitle codecs ffmpeg can read and turn into another text format.
const QStringList TextCodecs{"subrip", "srt", "ass", "ssa", "webvtt", "mov_text", "text", "microdvd", "subviewer",
                             "subviewer1", "sami", "realtext", "jacosub", "pjs", "vplayer", "mpl2", "stl", "ttml",
                             "eia_608"};

std::optional<double> number(const QJsonValue &value)
{
    bool ok = false;
    const double n = value.isString() ? value.toString().toDouble(&ok) : value.toDouble();
    if (value.isDouble())
        ok = true;
    if (!ok || !std::isfinite(n))
        return std::nullopt;
    return n;
}

double rate(const QString &fraction)
{
    const QStringList parts = fraction.split(QLatin1Char('/'));
    if (parts.size() != 2)
        return fraction.toDouble();
    const double denominator = parts.at(1).toDouble();
    return denominator > 0 ? parts.at(0).toDouble() / denominator : 0;
}

// The display matrix's turn, or the older "rotate" tag.
int rotationOf(const QJsonObject &stream)
{
    for (const QJsonValue &side : stream.value(QLatin1String("side_data_list")).toArray()) {
        const QJsonValue turn = side.toObject().value(QLatin1String("rotation"));
        if (!turn.isUndefined())
            return int(std::lround(turn.toDouble())) % 360;
    }
    return stream.value(QLatin1String("tags")).toObject().value(QLatin1String("rotate")).toString().toInt() % 360;
}

QString tag(const QJsonObject &tags, const char *name)
{
    // Matroska's tags come in capitals, MP4's in lower case.
    for (auto it = tags.begin(); it != tags.end(); ++it) {
        if (it.key().compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return it.value().toString();
    }
    return QString();
}

} // namespace

QString SourceInfo::Stream::typeName(Type type)
{
    for (const auto &[t, name] : TypeNames) {
        if (t == type)
            return QLatin1String(name);
    }
    return QStringLiteral("other");
}

bool SourceInfo::Stream::isText() const
{
    return type == Type::Subtitle && TextCodecs.contains(codec);
}

QList<SourceInfo::Stream> SourceInfo::ofType(Stream::Type type) const
{
    QList<SourceInfo::Stream> found;
    for (const SourceInfo::Stream &stream : streams) {
        if (stream.type == type)
            found << stream;
    }
    return found;
}

std::optional<SourceInfo::Stream> SourceInfo::picture() const
{
    for (const SourceInfo::Stream &stream : streams) {
        if (stream.isPicture())
            return stream;
    }
    return std::nullopt;
}

SourceInfo SourceInfo::read(const QString &path)
{
    SourceInfo info;
    info.path = path;
    const QString shown = QFileInfo(FileNameBytes::shown(path)).fileName();
    // "file:" so that no name is taken for a protocol or an option.
    const QString given = QStringLiteral("file:") + QFileInfo(path).absoluteFilePath();
    const ToolProcess::Result run = ToolProcess::run(
        ToolProcess::ffprobe(), {"-v", "error", "-show_format", "-show_streams", "-show_chapters", "-of", "json", "-i", given},
        {.timeoutMs = 30000, .maxOutput = 4 * 1024 * 1024});
    if (!run.ok()) {
        // ffprobe names the file as it was given; the message names it once, as the user does.
        const QString why = run.problem(QStringLiteral("ffprobe")).remove(given + QStringLiteral(": "));
        info.error = QStringLiteral("%1 cannot be read: %2").arg(shown, why);
        return info;
    }
    info = parse(run.output, path);
    if (!info.ok())
        info.error = QStringLiteral("%1 cannot be read: %2").arg(shown, info.error);
    return info;
}

SourceInfo SourceInfo::parse(const QByteArray &json, const QString &path)
{
    SourceInfo info;
    info.path = path;
    QJsonParseError error;
    const QJsonObject root = QJsonDocument::fromJson(json, &error).object();
    if (error.error != QJsonParseError::NoError || root.isEmpty()) {
        info.error = QStringLiteral("ffprobe's answer is not readable");
        return info;
    }
    const QJsonObject format = root.value(QLatin1String("format")).toObject();
    info.formatName = format.value(QLatin1String("format_name")).toString();
    if (const std::optional<double> d = number(format.value(QLatin1String("duration"))); d && *d > 0)
        info.duration = d;
    const QJsonObject tags = format.value(QLatin1String("tags")).toObject();
    for (auto it = tags.begin(); it != tags.end(); ++it)
        info.tags.insert(it.key(), it.value().toString());

    for (const QJsonValue &value : root.value(QLatin1String("streams")).toArray()) {
        const QJsonObject object = value.toObject();
        SourceInfo::Stream stream;
        stream.index = object.value(QLatin1String("index")).toInt();
        const QString type = object.value(QLatin1String("codec_type")).toString();
        for (const auto &[t, name] : TypeNames) {
            if (type == QLatin1String(name))
                stream.type = t;
        }
        stream.codec = object.value(QLatin1String("codec_name")).toString();
        const QJsonObject streamTags = object.value(QLatin1String("tags")).toObject();
        stream.language = tag(streamTags, "language");
        stream.title = tag(streamTags, "title");
        if (stream.title.isEmpty() && !tag(streamTags, "handler_name").endsWith(QLatin1String("Handler")))
            stream.title = tag(streamTags, "handler_name");
        const QJsonObject disposition = object.value(QLatin1String("disposition")).toObject();
        stream.isDefault = disposition.value(QLatin1String("default")).toInt() != 0;
        stream.forced = disposition.value(QLatin1String("forced")).toInt() != 0;
        stream.attachedPicture = disposition.value(QLatin1String("attached_pic")).toInt() != 0;
        stream.channels = object.value(QLatin1String("channels")).toInt();
        stream.width = object.value(QLatin1String("width")).toInt();
        stream.height = object.value(QLatin1String("height")).toInt();
        stream.frameRate = rate(object.value(QLatin1String("avg_frame_rate")).toString());
        if (stream.frameRate <= 0)
            stream.frameRate = rate(object.value(QLatin1String("r_frame_rate")).toString());
        stream.rotation = rotationOf(object);
        info.streams << stream;
    }
    for (const QJsonValue &value : root.value(QLatin1String("chapters")).toArray()) {
        const QJsonObject object = value.toObject();
        info.chapters << SourceInfo::Chapter{number(object.value(QLatin1String("start_time"))).value_or(0),
                                       number(object.value(QLatin1String("end_time"))).value_or(0),
                                       tag(object.value(QLatin1String("tags")).toObject(), "title")};
    }
    if (info.streams.isEmpty())
        info.error = QStringLiteral("ffprobe found no streams in it");
    return info;
}

QString SourceInfo::describe(const QString &cropSuggestion) const
{
    QStringList lines;
    lines << QStringLiteral("%1: %2, %3")
                 .arg(FileNameBytes::shown(path), formatName,
                      duration ? clockText(qint64(std::llround(*duration * 1000))) : QStringLiteral("duration unknown"));
    QMap<SourceInfo::Stream::Type, int> numbers;
    for (const SourceInfo::Stream &stream : streams) {
        const int number = ++numbers[stream.type];
        QStringList facts{stream.codec};
        if (stream.type == SourceInfo::Stream::Type::Video)
            facts << QStringLiteral("%1x%2").arg(stream.width).arg(stream.height)
                  << QStringLiteral("%1 fps").arg(stream.frameRate, 0, 'g', 5);
        if (stream.rotation != 0)
            facts << QStringLiteral("turned %1°").arg(stream.rotation);
        if (stream.channels > 0)
            facts << (stream.channels == 1 ? QStringLiteral("1 channel") : QStringLiteral("%1 channels").arg(stream.channels));
        if (!stream.language.isEmpty() && stream.language != QLatin1String("und"))
            facts << stream.language;
        if (!stream.title.isEmpty())
            facts << QLatin1Char('"') + stream.title + QLatin1Char('"');
        if (stream.type == SourceInfo::Stream::Type::Subtitle)
            facts << (stream.isText() ? QStringLiteral("text") : QStringLiteral("pictures"));
        if (stream.attachedPicture)
            facts << QStringLiteral("cover art");
        if (stream.isDefault)
            facts << QStringLiteral("default");
        if (stream.forced)
            facts << QStringLiteral("forced");
        lines << QStringLiteral("  %1 %2 (stream %3): %4")
                     .arg(Stream::typeName(stream.type))
                     .arg(number)
                     .arg(stream.index)
                     .arg(facts.join(QStringLiteral(", ")));
    }
    for (const SourceInfo::Chapter &chapter : chapters)
        lines << QStringLiteral("  chapter at %1: %2").arg(clockText(qint64(std::llround(chapter.start * 1000))), chapter.title);
    for (auto it = tags.begin(); it != tags.end(); ++it)
        lines << QStringLiteral("  %1: %2").arg(it.key().toLower(), it.value());
    if (!cropSuggestion.isEmpty())
        lines << QStringLiteral("  crop: %1").arg(cropSuggestion);
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QJsonObject SourceInfo::toJson() const
{
    QJsonArray streamList;
    for (const SourceInfo::Stream &stream : streams) {
        QJsonObject object{{"index", stream.index}, {"type", Stream::typeName(stream.type)}, {"codec", stream.codec},
                           {"default", stream.isDefault}, {"forced", stream.forced}};
        if (!stream.language.isEmpty())
            object.insert("language", stream.language);
        if (!stream.title.isEmpty())
            object.insert("title", stream.title);
        if (stream.type == SourceInfo::Stream::Type::Video) {
            object.insert("width", stream.width);
            object.insert("height", stream.height);
            object.insert("frame_rate", stream.frameRate);
            object.insert("rotation", stream.rotation);
            object.insert("cover_art", stream.attachedPicture);
        }
        if (stream.type == SourceInfo::Stream::Type::Audio)
            object.insert("channels", stream.channels);
        if (stream.type == SourceInfo::Stream::Type::Subtitle)
            object.insert("text", stream.isText());
        streamList.append(object);
    }
    QJsonArray chapterList;
    for (const SourceInfo::Chapter &chapter : chapters)
        chapterList.append(QJsonObject{{"start", chapter.start}, {"end", chapter.end}, {"title", chapter.title}});
    QJsonObject tagObject;
    for (auto it = tags.begin(); it != tags.end(); ++it)
        tagObject.insert(it.key(), it.value());
    return QJsonObject{{"source", FileNameBytes::shown(path)},
                       {"format", formatName},
                       {"duration", duration ? QJsonValue(*duration) : QJsonValue()},
                       {"streams", streamList},
                       {"chapters", chapterList},
                       {"tags", tagObject}};
}
