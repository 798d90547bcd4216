#include "workflow/ConversionOptions.h"

#include "workflow/LanguageCodes.h"

#include <QRegularExpression>

namespace {

using Kind = ConversionOptions::Tracks::Kind;

// Values a track option takes beside a number and a language code.
struct Word {
    const char *text;
    Kind kind;
};

std::optional<QString> parseTrack(const QString &option, const QString &value, std::initializer_list<Word> words,
                                  ConversionOptions::Tracks &choice)
{
    const QString lower = value.trimmed().toLower();
    for (const Word &word : words) {
        if (lower == QLatin1String(word.text)) {
            choice = {word.kind, 0, QString()};
            return std::nullopt;
        }
    }
    bool isNumber = false;
    const int number = lower.toInt(&isNumber);
    if (isNumber) {
        if (number < 1)
            return QStringLiteral("--%1 counts tracks from 1; got \"%2\"").arg(option, value);
        choice = {Kind::Number, number, QString()};
        return std::nullopt;
    }
    if (!LanguageCodes::equivalents(lower).isEmpty()) {
        choice = {Kind::Language, 0, lower};
        return std::nullopt;
    }
    QStringList wordList;
    for (const Word &word : words)
        wordList << QLatin1String(word.text);
    return QStringLiteral("--%1 takes %2, a track number or a language code (\"deu\", \"en\"); got \"%3\"")
        .arg(option, wordList.join(QLatin1Char('|')), value);
}

std::optional<QString> parseBool(const QString &option, const QString &value, std::optional<bool> &field)
{
    if (value == QLatin1String("true") || value == QLatin1String("yes") || value == QLatin1String("1"))
        field = true;
    else if (value == QLatin1String("false") || value == QLatin1String("no") || value == QLatin1String("0"))
        field = false;
    else
        return QStringLiteral("%1 takes true or false; got \"%2\"").arg(option, value);
    return std::nullopt;
}

QString clock(qint64 ms)
{
    return ConversionOptions::timeText(ms);
}

} // namespace

QString ConversionOptions::Tracks::text() const
{
    switch (kind) {
    case Kind::Preset:
        return QString();
    case Kind::First:
        return QStringLiteral("first");
    case Kind::All:
        return QStringLiteral("all");
    case Kind::None:
        return QStringLiteral("none");
    case Kind::Keep:
        return QStringLiteral("keep");
    case Kind::Forced:
        return QStringLiteral("forced");
    case Kind::Number:
        return QString::number(number);
    case Kind::Language:
        return language;
    }
    return QString();
}

QString ConversionOptions::Crop::text() const
{
    switch (mode) {
    case Mode::Preset:
        return QString();
    case Mode::None:
        return QStringLiteral("none");
    case Mode::Auto:
        return QStringLiteral("auto");
    case Mode::Rectangle:
        return QStringLiteral("%1:%2:%3:%4").arg(width).arg(height).arg(x).arg(y);
    }
    return QString();
}

bool ConversionOptions::changesLine() const
{
    ConversionOptions lineOnly = *this;
    lineOnly.keepDate.reset();
    if (lineOnly.metadata == true)
        lineOnly.metadata.reset();
    if (lineOnly.crop.mode == Crop::Mode::None)
        lineOnly.crop = {};
    return !lineOnly.isEmpty();
}

ConversionOptions ConversionOptions::overriddenBy(const ConversionOptions &o) const
{
    ConversionOptions result = *this;
    if (o.audio.isSet())
        result.audio = o.audio;
    if (o.subtitles.isSet())
        result.subtitles = o.subtitles;
    if (o.burn.isSet())
        result.burn = o.burn;
    // The span is one choice: a start or an end given anew replaces the preset's whole span.
    if (o.trims()) {
        result.startMs = o.startMs;
        result.endMs = o.endMs;
        result.lengthMs = o.lengthMs;
    }
    if (o.crop.isSet())
        result.crop = o.crop;
    if (o.metadata)
        result.metadata = o.metadata;
    if (o.keepDate)
        result.keepDate = o.keepDate;
    return result;
}

const QStringList &ConversionOptions::names()
{
    static const QStringList list{"audio", "subtitles", "burn", "start", "end", "length", "crop", "metadata", "keep-date"};
    return list;
}

std::optional<QString> ConversionOptions::set(const QString &name, const QString &value)
{
    if (name == QLatin1String("audio"))
        return parseTrack(name, value, {{"first", Kind::First}, {"all", Kind::All}}, audio);
    if (name == QLatin1String("subtitles"))
        return parseTrack(name, value, {{"none", Kind::None}, {"keep", Kind::Keep}, {"forced", Kind::Forced}}, subtitles);
    if (name == QLatin1String("burn"))
        return parseTrack(name, value, {}, burn);
    if (name == QLatin1String("start") || name == QLatin1String("end") || name == QLatin1String("length")) {
        const std::optional<qint64> ms = parseTime(value);
        if (!ms)
            return QStringLiteral("--%1 takes a time as [[h:]m:]s[.ms] (\"90\", \"1:30\", \"1:02:03.5\"); got \"%2\"")
                .arg(name, value);
        if (name == QLatin1String("length") && *ms == 0)
            return QStringLiteral("--length must be longer than 0");
        (name == QLatin1String("start") ? startMs : name == QLatin1String("end") ? endMs : lengthMs) = *ms;
        if (endMs && lengthMs)
            return QStringLiteral("--end and --length both set where the part ends; give one of them");
        if (startMs && endMs && *endMs <= *startMs)
            return QStringLiteral("--end %1 is not after --start %2").arg(clock(*endMs), clock(*startMs));
        return std::nullopt;
    }
    if (name == QLatin1String("crop")) {
        const QString lower = value.trimmed().toLower();
        if (lower == QLatin1String("none")) {
            crop = {Crop::Mode::None};
            return std::nullopt;
        }
        if (lower == QLatin1String("auto")) {
            crop = {Crop::Mode::Auto};
            return std::nullopt;
        }
        static const QRegularExpression rectangle(QStringLiteral("^(\\d{1,5}):(\\d{1,5}):(\\d{1,5}):(\\d{1,5})$"));
        const QRegularExpressionMatch match = rectangle.match(lower);
        if (!match.hasMatch() || match.captured(1).toInt() < 2 || match.captured(2).toInt() < 2)
            return QStringLiteral("--crop takes auto, none or W:H:X:Y (\"1920:800:0:140\", at least 2x2); got \"%1\"")
                .arg(value);
        crop = {Crop::Mode::Rectangle, match.captured(1).toInt(), match.captured(2).toInt(),
                match.captured(3).toInt(), match.captured(4).toInt()};
        return std::nullopt;
    }
    if (name == QLatin1String("metadata"))
        return parseBool(QStringLiteral("\"metadata\""), value, metadata);
    if (name == QLatin1String("keep-date"))
        return parseBool(QStringLiteral("\"keep-date\""), value, keepDate);
    return QStringLiteral("unknown option \"%1\"").arg(name);
}

QJsonObject ConversionOptions::toJson() const
{
    QJsonObject object;
    if (audio.isSet())
        object.insert("audio", audio.text());
    if (subtitles.isSet())
        object.insert("subtitles", subtitles.text());
    if (burn.isSet())
        object.insert("burn", burn.text());
    if (startMs)
        object.insert("start", timeText(*startMs));
    if (endMs)
        object.insert("end", timeText(*endMs));
    if (lengthMs)
        object.insert("length", timeText(*lengthMs));
    if (crop.isSet())
        object.insert("crop", crop.text());
    if (metadata)
        object.insert("metadata", *metadata);
    if (keepDate)
        object.insert("keep-date", *keepDate);
    return object;
}

std::variant<ConversionOptions, QString> ConversionOptions::fromJson(const QJsonObject &object)
{
    ConversionOptions options;
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (!names().contains(it.key()))
            return QStringLiteral("unknown option \"%1\"").arg(it.key().left(100));
        QString value;
        if (it.value().isBool())
            value = it.value().toBool() ? QStringLiteral("true") : QStringLiteral("false");
        else if (it.value().isString())
            value = it.value().toString();
        else if (it.value().isDouble())
            value = QString::number(it.value().toDouble(), 'g', 12);
        else
            return QStringLiteral("option \"%1\" must be a text").arg(it.key());
        const bool flag = it.key() == QLatin1String("metadata") || it.key() == QLatin1String("keep-date");
        if (flag != it.value().isBool())
            return flag ? QStringLiteral("option \"%1\" must be true or false").arg(it.key())
                        : QStringLiteral("option \"%1\" must be a text").arg(it.key());
        if (const std::optional<QString> error = options.set(it.key(), value))
            return *error;
    }
    return options;
}

QString ConversionOptions::summary() const
{
    QStringList parts;
    if (audio.isSet())
        parts << QStringLiteral("sound ") + audio.text();
    if (subtitles.isSet())
        parts << QStringLiteral("subtitles ") + subtitles.text();
    if (burn.isSet())
        parts << QStringLiteral("burn ") + burn.text();
    if (trims()) {
        const QString from = clock(startMs.value_or(0));
        if (endMs)
            parts << from + QStringLiteral("–") + clock(*endMs);
        else if (lengthMs)
            parts << QStringLiteral("%1 from %2").arg(clock(*lengthMs), from);
        else
            parts << QStringLiteral("from ") + from;
    }
    if (crop.isSet())
        parts << QStringLiteral("crop ") + crop.text();
    if (!keepsMetadata())
        parts << QStringLiteral("no metadata");
    if (!keepsDate())
        parts << QStringLiteral("new date");
    return parts.join(QStringLiteral(" · "));
}

std::optional<qint64> ConversionOptions::parseTime(const QString &text)
{
    static const QRegularExpression time(QStringLiteral("^(?:(?:(\\d{1,4}):)?(\\d{1,4}):)?(\\d{1,6})(?:\\.(\\d{1,3}))?$"));
    const QRegularExpressionMatch match = time.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    const bool hasHours = match.hasCaptured(1);
    const bool hasMinutes = match.hasCaptured(2);
    const qint64 hours = match.captured(1).toLongLong();
    const qint64 minutes = match.captured(2).toLongLong();
    const qint64 seconds = match.captured(3).toLongLong();
    // Below a larger unit, a unit stays under its sixty.
    if ((hasMinutes && seconds >= 60) || (hasHours && minutes >= 60))
        return std::nullopt;
    const QString fraction = match.captured(4);
    const qint64 ms = fraction.isEmpty() ? 0 : (fraction + QString(3 - fraction.size(), QLatin1Char('0'))).toLongLong();
    return ((hours * 60 + minutes) * 60 + seconds) * 1000 + ms;
}

QString ConversionOptions::timeText(qint64 ms)
{
    const qint64 seconds = ms / 1000;
    QString text;
    if (seconds >= 3600)
        text = QStringLiteral("%1:%2:%3")
                   .arg(seconds / 3600)
                   .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
                   .arg(seconds % 60, 2, 10, QLatin1Char('0'));
    else
        text = QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
    if (ms % 1000 != 0) {
        QString fraction = QStringLiteral("%1").arg(ms % 1000, 3, 10, QLatin1Char('0'));
        while (fraction.endsWith(QLatin1Char('0')))
            fraction.chop(1);
        text += QLatin1Char('.') + fraction;
    }
    return text;
}
