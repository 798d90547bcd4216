#include "app/OptionFlags.h"

#include "workflow/CropDetect.h"
#include "workflow/FileNameBytes.h"
#include "workflow/SourceInfo.h"

#include <QJsonDocument>

namespace OptionFlags {

namespace {

const QStringList Valued{"audio", "subtitles", "burn", "start", "end", "length", "crop", "probe"};
const QStringList Switches{"no-metadata", "no-keep-date"};

} // namespace

bool knows(const QString &name)
{
    return Valued.contains(name) || Switches.contains(name);
}

bool takesValue(const QString &name)
{
    return Valued.contains(name);
}

std::optional<QString> take(const QString &name, const QString &value, ConversionOptions &options)
{
    if (name == QLatin1String("no-metadata")) {
        options.metadata = false;
        return std::nullopt;
    }
    if (name == QLatin1String("no-keep-date")) {
        options.keepDate = false;
        return std::nullopt;
    }
    return options.set(name, value);
}

QString usage()
{
    return QStringLiteral(
        "Options of the conversion (on top of the preset; each source's own tracks):\n"
        "      --audio first|all|N|LANG        sound tracks: the first, all, the N-th, or by language\n"
        "                                      (deu, en; the default track when none matches)\n"
        "      --subtitles none|keep|forced|N|LANG   subtitle tracks kept, in the container's format\n"
        "      --burn N|LANG                   draw a subtitle track into the picture\n"
        "      --start T, --end T, --length T  convert only a part; T is [[h:]m:]s[.ms] (1:30, 90.5)\n"
        "      --crop auto|none|W:H:X:Y        cut black bars (auto) or a rectangle, before scaling\n"
        "      --no-metadata                   leave out chapters, title, tags, track names and languages\n"
        "      --no-keep-date                  leave the destination's date as written, not the source's\n"
        "      --probe SOURCE                  what the source holds, with a crop suggestion (--json)\n"
        "  e.g. vidomar --preset \"MP4 H.264 720p\" --audio deu --subtitles keep --start 1:30 --end 2:10 film.mkv\n"
        "       vidomar --preset \"MP4 H.264 1080p (phones, tablets, web)\" --crop auto --burn en film.mkv\n");
}

int probe(const QString &source, bool json, std::FILE *out, std::FILE *messages)
{
    const SourceInfo info = SourceInfo::read(source);
    if (!info.ok()) {
        std::fprintf(messages, "vidomar: %s\n", FileNameBytes::encode(info.error).constData());
        return 1;
    }
    const CropDetect::Found found = CropDetect::find(info);
    QString crop;
    if (found.crop)
        crop = CropDetect::text(*found.crop);
    else
        crop = found.note.isEmpty() ? QStringLiteral("none (no black bars)") : QStringLiteral("none (%1)").arg(found.note);
    if (json) {
        QJsonObject object = info.toJson();
        object.insert("crop", found.crop ? QJsonValue(CropDetect::text(*found.crop)) : QJsonValue());
        std::fputs(QJsonDocument(object).toJson(QJsonDocument::Compact).append('\n').constData(), out);
    } else {
        std::fputs(info.describe(crop).toUtf8().constData(), out);
    }
    return 0;
}

} // namespace OptionFlags
