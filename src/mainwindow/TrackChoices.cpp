#include "mainwindow/TrackChoices.h"

#include "workflow/LanguageCodes.h"

#include <QFileInfo>

namespace TrackChoices {

namespace {

using Tracks = ConversionOptions::Tracks;
using Kind = Tracks::Kind;
using Type = SourceInfo::Stream::Type;

Tracks of(Kind kind)
{
    return {kind, 0, QString()};
}

bool known(const QString &language)
{
    return !language.isEmpty() && language != QLatin1String("und");
}

QList<Choice> fixedChoices(List list)
{
    switch (list) {
    case List::Sound:
        return {{QStringLiteral("The preset's choice"), of(Kind::Preset)}, {QStringLiteral("The first track"), of(Kind::First)}};
    case List::Subtitles:
        return {{QStringLiteral("The preset's choice"), of(Kind::Preset)},
                {QStringLiteral("None"), of(Kind::None)},
                {QStringLiteral("Keep all"), of(Kind::Keep)},
                {QStringLiteral("Forced only"), of(Kind::Forced)}};
    case List::Burn:
        return {{QStringLiteral("Nothing burned in"), of(Kind::Preset)}};
    }
    return {};
}

} // namespace

QString describe(const SourceInfo::Stream &stream)
{
    QStringList parts;
    parts << (known(stream.language) ? stream.language : QStringLiteral("language unknown"));
    if (!stream.title.isEmpty())
        parts << stream.title;
    if (stream.type == Type::Audio && stream.channels > 0)
        parts << (stream.channels == 1 ? QStringLiteral("1 channel") : QStringLiteral("%1 channels").arg(stream.channels));
    if (stream.type == Type::Subtitle)
        parts << (stream.isText() ? QStringLiteral("text") : QStringLiteral("pictures"));
    if (stream.forced)
        parts << QStringLiteral("forced");
    if (stream.isDefault)
        parts << QStringLiteral("default");
    return parts.join(QStringLiteral(" · "));
}

QString textFor(const Tracks &tracks, List list)
{
    for (const Choice &choice : fixedChoices(list)) {
        if (choice.tracks == tracks)
            return choice.text;
    }
    switch (tracks.kind) {
    case Kind::Number:
        return QStringLiteral("Track %1 (not in these files)").arg(tracks.number);
    case Kind::Language:
        return QStringLiteral("Language %1 (not in these files)").arg(tracks.language);
    case Kind::All:
        return QStringLiteral("All tracks");
    default:
        return tracks.text();
    }
}

QList<Choice> choices(List list, const QList<SourceInfo> &sources)
{
    QList<Choice> result = fixedChoices(list);
    const Type type = list == List::Sound ? Type::Audio : Type::Subtitle;
    const bool several = sources.size() > 1;
    // Tracks by number: as many as the file with most of them holds.
    for (int number = 1;; ++number) {
        const SourceInfo *holder = nullptr;
        for (const SourceInfo &source : sources) {
            if (source.ofType(type).size() >= number) {
                holder = &source;
                break;
            }
        }
        if (!holder)
            break;
        const QString what = describe(holder->ofType(type).at(number - 1));
        const QString text = several ? QStringLiteral("Track %1 of each file (%2: %3)")
                                           .arg(number)
                                           .arg(QFileInfo(holder->path).fileName(), what)
                                     : QStringLiteral("Track %1: %2").arg(number).arg(what);
        result << Choice{text, {Kind::Number, number, QString()}};
    }
    QStringList languages;
    for (const SourceInfo &source : sources) {
        for (const SourceInfo::Stream &stream : source.ofType(type)) {
            const QString language = stream.language.toLower();
            if (!known(language) || LanguageCodes::equivalents(language).isEmpty())
                continue;
            const bool seen = std::any_of(languages.cbegin(), languages.cend(),
                                          [&](const QString &code) { return LanguageCodes::matches(code, language); });
            if (!seen)
                languages << language;
        }
    }
    for (const QString &language : std::as_const(languages))
        result << Choice{(several ? QStringLiteral("Language %1, in each file") : QStringLiteral("Language %1")).arg(language),
                         {Kind::Language, 0, language}};
    if (list == List::Sound)
        result << Choice{QStringLiteral("All tracks"), of(Kind::All)};
    return result;
}

} // namespace TrackChoices
