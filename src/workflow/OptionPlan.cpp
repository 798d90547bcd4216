#include "workflow/OptionPlan.h"

#include "workflow/FileNameBytes.h"
#include "workflow/LanguageCodes.h"
#include "workflow/Presets.h"

#include <QFileInfo>

#include <cmath>

namespace {

using Type = SourceInfo::Stream::Type;
using Kind = ConversionOptions::Tracks::Kind;

const QStringList AudioExtensions{".mp3", ".wav", ".flac", ".opus", ".ogg", ".oga", ".aac", ".wma", ".m4a", ".mka"};
const QStringList Mp4Family{".mp4", ".m4v", ".mov", ".3gp", ".3g2", ".m4a"};
const QStringList Matroska{".mkv", ".mka"};
// Picture subtitles Matroska holds as they are.
const QStringList MatroskaPictures{"dvd_subtitle", "dvb_subtitle", "hdmv_pgs_subtitle"};
// Containers that hold one sound track and no other.
const QStringList OneSoundTrack{".mp3", ".wav", ".flac", ".opus", ".ogg", ".oga", ".aac", ".wma", ".rm", ".flv"};

// How a container holds subtitles: the codec text becomes, and whether pictures fit.
struct SubtitleRoom {
    QString textCodec; // empty: no text subtitles
    bool pictures = false;
};

SubtitleRoom subtitleRoom(const QString &extension, bool writesVideo)
{
    if (!writesVideo)
        return {};
    if (Mp4Family.contains(extension))
        return {QStringLiteral("mov_text"), false};
    if (Matroska.contains(extension))
        return {QStringLiteral("srt"), true};
    if (extension == QLatin1String(".webm"))
        return {QStringLiteral("webvtt"), false};
    return {};
}

QString seconds(double value)
{
    return QString::number(value, 'f', 3);
}

QString dispositionOf(const SourceInfo::Stream &stream)
{
    QStringList flags;
    if (stream.isDefault)
        flags << QStringLiteral("default");
    if (stream.forced)
        flags << QStringLiteral("forced");
    return flags.isEmpty() ? QStringLiteral("0") : flags.join(QLatin1Char('+'));
}

class Planner {
public:
    Planner(const ConversionOptions &options, const SourceInfo &source, const OptionPlan::PresetFacts &preset,
            const OptionPlan::CropFinder &findCrop)
        : m_options(options), m_source(source), m_preset(preset), m_findCrop(findCrop),
          m_file(source.name.isEmpty() ? QFileInfo(FileNameBytes::shown(source.path)).fileName() : source.name)
    {
    }

    OptionPlan make()
    {
        if (!m_source.ok()) {
            m_plan.refusal = m_source.error;
            return m_plan;
        }
        if (!trim() || !pictureOptions() || !tracks())
            return m_plan;
        if (!m_options.keepsMetadata()) {
            add(QStringLiteral("-map_metadata"), QStringLiteral("-1"));
            add(QStringLiteral("-map_chapters"), QStringLiteral("-1"));
        }
        for (const QString &note : std::as_const(m_plan.notes))
            add(QStringLiteral("--note"), note);
        return m_plan;
    }

private:
    void add(const QString &option, const QString &value) { m_plan.arguments << option << value; }

    bool refuse(const QString &option, const QString &value, const QString &why)
    {
        m_plan.refusal = QStringLiteral("--%1 %2: %3").arg(option, value, why);
        m_plan.arguments.clear();
        return false;
    }

    // The reports name the source with each note.
    void note(const QString &text) { m_plan.notes << text; }

    // The start is sought before the input (to the frame when the picture is encoded, to the
    // keyframe before it when it is copied); the length is the output's, so that chapters past
    // the end are cut with it.
    bool trim()
    {
        const std::optional<double> duration = m_source.duration;
        m_plan.spanSeconds = duration;
        if (!m_options.trims())
            return true;
        const double start = double(m_options.startMs.value_or(0)) / 1000;
        if (duration && start >= *duration)
            return refuse(QStringLiteral("start"), ConversionOptions::timeText(*m_options.startMs),
                          QStringLiteral("%1 lasts only %2").arg(m_file, ConversionOptions::timeText(qint64(*duration * 1000))));
        std::optional<double> end;
        if (m_options.endMs)
            end = double(*m_options.endMs) / 1000;
        else if (m_options.lengthMs)
            end = start + double(*m_options.lengthMs) / 1000;
        if (end && *end <= start)
            return refuse(QStringLiteral("end"), ConversionOptions::timeText(*m_options.endMs),
                          QStringLiteral("it is not after the start"));
        if (end && duration && *end > *duration)
            end = duration;
        if (start > 0)
            add(QStringLiteral("-ss"), seconds(start));
        if (end)
            add(QStringLiteral("-t"), seconds(*end - start));
        if (end)
            m_plan.spanSeconds = *end - start;
        else if (duration)
            m_plan.spanSeconds = *duration - start;
        if (start > 0 && m_preset.copies)
            note(QStringLiteral("the copy starts at the keyframe at or before %1, so it may begin a little early")
                     .arg(ConversionOptions::timeText(*m_options.startMs)));
        return true;
    }

    // The picture's own size as shown, turned as the player turns it.
    QSize shownSize() const
    {
        const SourceInfo::Stream picture = *m_source.picture();
        return picture.rotation % 180 != 0 ? QSize(picture.height, picture.width) : QSize(picture.width, picture.height);
    }

    bool pictureOptions()
    {
        const ConversionOptions::Crop &crop = m_options.crop;
        const bool cropping = crop.mode == ConversionOptions::Crop::Mode::Auto || crop.mode == ConversionOptions::Crop::Mode::Rectangle;
        if (!cropping && !m_options.burn.isSet())
            return true;
        const QString option = cropping ? QStringLiteral("crop") : QStringLiteral("burn");
        const QString value = cropping ? crop.text() : m_options.burn.text();
        if (!m_preset.writesVideo)
            return refuse(option, value, QStringLiteral("the preset writes no picture"));
        if (m_preset.copies)
            return refuse(option, value, QStringLiteral("the preset copies the picture as it is; choose one that encodes it"));
        if (!m_source.picture())
            return refuse(option, value, QStringLiteral("%1 has no picture").arg(m_file));
        if (crop.mode == ConversionOptions::Crop::Mode::Rectangle) {
            const QSize shown = shownSize();
            const QRect rectangle(crop.x, crop.y, crop.width, crop.height);
            if (!QRect(QPoint(0, 0), shown).contains(rectangle))
                return refuse(option, value,
                              QStringLiteral("the rectangle lies outside %1's picture of %2x%3")
                                  .arg(m_file)
                                  .arg(shown.width())
                                  .arg(shown.height()));
            add(QStringLiteral("-vf"), QStringLiteral("crop=") + crop.text());
        } else if (crop.mode == ConversionOptions::Crop::Mode::Auto) {
            const CropDetect::Found found = m_findCrop(m_source);
            if (found.crop)
                add(QStringLiteral("-vf"), QStringLiteral("crop=") + CropDetect::text(*found.crop));
            else if (!found.note.isEmpty())
                note(found.note);
        }
        return burn();
    }

    bool burn()
    {
        const ConversionOptions::Tracks &burn = m_options.burn;
        if (!burn.isSet())
            return true;
        const QList<SourceInfo::Stream> subtitles = m_source.ofType(Type::Subtitle);
        std::optional<qsizetype> chosen;
        if (burn.kind == Kind::Number && burn.number <= subtitles.size())
            chosen = burn.number - 1;
        for (qsizetype i = 0; burn.kind == Kind::Language && !chosen && i < subtitles.size(); ++i) {
            if (LanguageCodes::matches(burn.language, subtitles.at(i).language))
                chosen = i;
        }
        if (!chosen)
            return refuse(QStringLiteral("burn"), burn.text(), tracksWanting(QStringLiteral("subtitle"), subtitles.size(), burn));
        const SourceInfo::Stream &stream = subtitles.at(*chosen);
        if (stream.isText())
            add(QStringLiteral("--burn-subtitles"), QString::number(*chosen));
        else
            add(QStringLiteral("--burn-overlay"), QStringLiteral("%1:%2").arg(m_source.picture()->index).arg(stream.index));
        m_burnsPictures = !stream.isText();
        return true;
    }

    // "clip.mkv has 2 sound tracks", "clip.mkv has no fra subtitle track".
    QString tracksWanting(const QString &kind, qsizetype count, const ConversionOptions::Tracks &choice) const
    {
        if (choice.kind == Kind::Language)
            return QStringLiteral("%1 has no %2 track in %3").arg(m_file, kind, choice.language);
        if (count == 0)
            return QStringLiteral("%1 has no %2 track").arg(m_file, kind);
        return QStringLiteral("%1 has %2 %3 track%4").arg(m_file).arg(count).arg(kind).arg(count == 1 ? "" : "s");
    }

    QList<SourceInfo::Stream> chosenAudio()
    {
        const ConversionOptions::Tracks &audio = m_options.audio;
        const QList<SourceInfo::Stream> tracks = m_source.ofType(Type::Audio);
        if (tracks.isEmpty())
            return {};
        switch (audio.kind) {
        case Kind::Preset:
            return m_preset.mapsEverything ? tracks : tracks.mid(0, 1);
        case Kind::All:
            if (OneSoundTrack.contains(m_preset.extension)) {
                note(QStringLiteral("a %1 file holds one sound track; writing the first").arg(m_preset.extension));
                return tracks.mid(0, 1);
            }
            return tracks;
        case Kind::Number:
            return {tracks.at(audio.number - 1)};
        case Kind::Language: {
            for (const SourceInfo::Stream &track : tracks) {
                if (LanguageCodes::matches(audio.language, track.language))
                    return {track};
            }
            SourceInfo::Stream fallback = tracks.first();
            for (const SourceInfo::Stream &track : tracks) {
                if (track.isDefault) {
                    fallback = track;
                    break;
                }
            }
            note(QStringLiteral("no sound track in %1; writing the default one%2")
                     .arg(audio.language,
                          fallback.language.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(fallback.language)));
            return {fallback};
        }
        default:
            return tracks.mid(0, 1);
        }
    }

    QList<SourceInfo::Stream> chosenSubtitles()
    {
        const ConversionOptions::Tracks &choice = m_options.subtitles;
        const QList<SourceInfo::Stream> tracks = m_source.ofType(Type::Subtitle);
        QList<SourceInfo::Stream> chosen;
        switch (choice.kind) {
        case Kind::Preset:
            if (m_preset.mapsEverything)
                chosen = tracks;
            break;
        case Kind::Keep:
            chosen = tracks;
            break;
        case Kind::Forced:
            for (const SourceInfo::Stream &track : tracks) {
                if (track.forced)
                    chosen << track;
            }
            if (chosen.isEmpty() && !tracks.isEmpty())
                note(QStringLiteral("no subtitle track is marked forced; none written"));
            break;
        case Kind::Number:
            chosen << tracks.at(choice.number - 1);
            break;
        case Kind::Language:
            for (const SourceInfo::Stream &track : tracks) {
                if (LanguageCodes::matches(choice.language, track.language)) {
                    chosen << track;
                    break;
                }
            }
            if (chosen.isEmpty())
                note(QStringLiteral("no subtitle track in %1; none written").arg(choice.language));
            break;
        default:
            break;
        }
        // Only what the container holds.
        const SubtitleRoom room = subtitleRoom(m_preset.extension, m_preset.writesVideo);
        QList<SourceInfo::Stream> fitting;
        for (const SourceInfo::Stream &track : std::as_const(chosen)) {
            const bool fits = track.isText() ? !room.textCodec.isEmpty() : room.pictures && MatroskaPictures.contains(track.codec);
            if (fits)
                fitting << track;
            else if (choice.isSet() && m_preset.writesVideo)
                note(QStringLiteral("a %1 file cannot hold %2 subtitles; leaving out subtitle stream %3")
                         .arg(m_preset.extension, track.isText() ? QStringLiteral("text") : QStringLiteral("picture"))
                         .arg(track.index));
        }
        return fitting;
    }

    QString subtitleCodec(const SourceInfo::Stream &track) const
    {
        const SubtitleRoom room = subtitleRoom(m_preset.extension, m_preset.writesVideo);
        if (!track.isText())
            return QStringLiteral("copy");
        if (Matroska.contains(m_preset.extension)) {
            if (track.codec == QLatin1String("ass") || track.codec == QLatin1String("ssa"))
                return QStringLiteral("ass");
            if (track.codec == QLatin1String("webvtt"))
                return QStringLiteral("webvtt");
        }
        return room.textCodec;
    }

    // A track option, or a burned picture subtitle, replaces the preset's choice of tracks.
    bool tracks()
    {
        const ConversionOptions::Tracks &audio = m_options.audio;
        const ConversionOptions::Tracks &subtitles = m_options.subtitles;
        const qsizetype audioCount = m_source.ofType(Type::Audio).size();
        const qsizetype subtitleCount = m_source.ofType(Type::Subtitle).size();
        if (audio.kind == Kind::Number && audio.number > audioCount)
            return refuse(QStringLiteral("audio"), audio.text(), tracksWanting(QStringLiteral("sound"), audioCount, audio));
        if (subtitles.kind == Kind::Number && subtitles.number > subtitleCount)
            return refuse(QStringLiteral("subtitles"), subtitles.text(),
                          tracksWanting(QStringLiteral("subtitle"), subtitleCount, subtitles));
        if (!audio.isSet() && !subtitles.isSet() && !m_burnsPictures)
            return true;
        if (!m_preset.writesVideo && subtitles.isSet() && subtitles.kind != Kind::None && subtitleCount > 0)
            note(QStringLiteral("a %1 file holds no subtitles").arg(m_preset.extension));

        // The picture: the burned one is the adapter's to map, from its overlay.
        if (m_preset.mapsEverything) {
            add(QStringLiteral("-map"), QStringLiteral("0:v?"));
            if (Matroska.contains(m_preset.extension))
                add(QStringLiteral("-map"), QStringLiteral("0:t?"));
        } else if (m_preset.writesVideo && !m_burnsPictures) {
            // Without a picture the map fails as the preset's own would, saying the source has none.
            add(QStringLiteral("-map"), m_source.picture() ? QStringLiteral("0:%1").arg(m_source.picture()->index)
                                                           : QStringLiteral("0:V:0"));
        }
        const QList<SourceInfo::Stream> sound = chosenAudio();
        for (const SourceInfo::Stream &track : sound)
            add(QStringLiteral("-map"), QStringLiteral("0:%1").arg(track.index));
        const QList<SourceInfo::Stream> texts = chosenSubtitles();
        for (const SourceInfo::Stream &track : texts)
            add(QStringLiteral("-map"), QStringLiteral("0:%1").arg(track.index));
        for (qsizetype k = 0; k < texts.size(); ++k)
            add(QStringLiteral("-c:s:%1").arg(k), subtitleCodec(texts.at(k)));
        if (!m_options.keepsMetadata())
            return true;
        // Languages and titles follow their tracks; MP4 keeps a track's name only as its handler.
        const bool handlerNames = Mp4Family.contains(m_preset.extension);
        for (qsizetype k = 0; k < sound.size(); ++k) {
            add(QStringLiteral("-disposition:a:%1").arg(k), sound.size() == 1 ? QStringLiteral("default") : dispositionOf(sound.at(k)));
            if (handlerNames && !sound.at(k).title.isEmpty())
                add(QStringLiteral("-metadata:s:a:%1").arg(k), QStringLiteral("handler_name=") + sound.at(k).title);
        }
        for (qsizetype k = 0; k < texts.size(); ++k) {
            add(QStringLiteral("-disposition:s:%1").arg(k), dispositionOf(texts.at(k)));
            if (handlerNames && !texts.at(k).title.isEmpty())
                add(QStringLiteral("-metadata:s:s:%1").arg(k), QStringLiteral("handler_name=") + texts.at(k).title);
        }
        return true;
    }

    const ConversionOptions &m_options;
    const SourceInfo &m_source;
    const OptionPlan::PresetFacts &m_preset;
    const OptionPlan::CropFinder &m_findCrop;
    const QString m_file;
    OptionPlan m_plan;
    bool m_burnsPictures = false;
};

} // namespace

OptionPlan::PresetFacts OptionPlan::PresetFacts::of(const Preset &preset)
{
    PresetFacts facts;
    facts.extension = QString::fromUtf8(preset.extension).toLower();
    const QStringList &arguments = preset.arguments;
    facts.writesVideo = !AudioExtensions.contains(facts.extension) && !arguments.contains(QLatin1String("-vn"));
    for (qsizetype i = 0; i + 1 < arguments.size(); ++i) {
        const QString &option = arguments.at(i);
        const QString &value = arguments.at(i + 1);
        if (value == QLatin1String("copy")
            && (option == QLatin1String("-c") || option == QLatin1String("-c:v") || option == QLatin1String("-codec")
                || option == QLatin1String("-vcodec") || option == QLatin1String("-codec:v")))
            facts.copies = true;
        if (option == QLatin1String("-map") && value == QLatin1String("0"))
            facts.mapsEverything = true;
    }
    return facts;
}

OptionPlan OptionPlan::make(const ConversionOptions &options, const SourceInfo &source, const PresetFacts &preset,
                            const CropFinder &findCrop)
{
    return Planner(options, source, preset, findCrop).make();
}
