#include "workflow/Presets.h"

#include "common/MessageBoxes.h"
#include "common/Rounding.h"
#include "engine/AVC.h"
#include "engine/CommandLine.h"
#include "workflow/PresetFile.h"

#include <QFile>
#include <QHash>

#include <array>
#include <deque>

namespace {

using S = Setting;

// Pos order is the window's list order.
const std::array<Preset, 27> Table{{
    {"AVI (MPEG4-DivX-Compatible)", ".avi", 1.73, 0,
     {{S::VideoSize, "320x240"}, {S::VideoFrameRate, "29.97"}, {S::VideoBitrate, "360"}, {S::VideoCodec, "mpeg4"},
      {S::AudioBitrate, "48"}, {S::AudioSamples, "22050"}, {S::AudioChannels, "2"}},
     true, true},
    {"AVI (MPEG4-DivX-Best Quality)", ".avi", 1.73, 0,
     {{S::VideoSize, "320x240"}, {S::VideoFrameRate, "29.97"}, {S::VideoBitrate, "360"}, {S::VideoCodec, "mpeg4"},
      {S::AudioChannels, "2"}},
     true, true},
    {"AVI (MPEG4-XviD-Compatible)", ".avi", 1.92, 0,
     {{S::VideoSize, "320x240"}, {S::VideoFrameRate, "29.97"}, {S::VideoBitrate, "360"}, {S::VideoCodec, "xvid"},
      {S::AudioBitrate, "48"}, {S::AudioSamples, "22050"}, {S::AudioChannels, "2"}},
     true, true},
    {"AVI (MPEG4-XviD-Best Quality)", ".avi", 1.92, 0,
     {{S::VideoSize, "320x240"}, {S::VideoFrameRate, "29.97"}, {S::VideoBitrate, "360"}, {S::VideoCodec, "xvid"},
      {S::AudioChannels, "2"}},
     true, true},
    {"iPOD Video (320x240) MPEG4", ".mp4", 2.38, 0,
     {{S::VideoSize, "320x240"}, {S::VideoBitrate, "512"}, {S::VideoCodec, "mpeg4"}, {S::VideoAspectRatio, "4:3"},
      {S::AudioCodec, "aac"}, {S::AudioBitrate, "64"}, {S::AudioSamples, "44100"}, {S::AudioChannels, "2"}},
     false, false},
    {"iPOD Video2 (640x480) MPEG4", ".mp4", 4.13, 0,
     {{S::VideoSize, "640x480"}, {S::VideoBitrate, "1200"}, {S::VideoCodec, "mpeg4"}, {S::VideoAspectRatio, "4:3"},
      {S::AudioCodec, "aac"}, {S::AudioBitrate, "80"}, {S::AudioSamples, "44100"}, {S::AudioChannels, "2"}},
     false, false},
    {"iPhone Video", ".mp4", 2.38, 0,
     {{S::VideoSize, "480x320"}, {S::VideoBitrate, "1200"}, {S::VideoCodec, "mpeg4"}, {S::VideoAspectRatio, "3:2"},
      {S::AudioCodec, "aac"}, {S::AudioBitrate, "80"}, {S::AudioSamples, "44100"}, {S::AudioChannels, "2"}},
     false, false},
    {"iPOD Nano (MP3)", ".mp3", 1.2, 0, {{S::AudioCodec, "mp3"}}, false, false},
    {"iPOD Mini (MP3)", ".mp3", 1.2, 0, {{S::AudioCodec, "mp3"}}, false, false},
    {"iPOD Shuffle (MP3)", ".mp3", 1.2, 0, {{S::AudioCodec, "mp3"}}, false, false},
    {"MPEG (Max Compatible)", ".mpg", 1.83, 0,
     {{S::VideoFrameRate, "29.97"}, {S::VideoCodec, "mpeg1video"}, {S::AudioSamples, "44100"}, {S::AudioChannels, "2"}},
     true, true},
    {"MPEG (Best Quality)", ".mpg", 1.74, 0,
     {{S::VideoFrameRate, "29.97"}, {S::VideoCodec, "mpeg1video"}, {S::AudioChannels, "2"}}, true, true},
    {"WMV(WindowsMedia-Compatible)", ".wmv", 2.47, 0,
     {{S::VideoCodec, "wmv2"}, {S::AudioSamples, "44100"}, {S::AudioChannels, "2"}}, true, true},
    {"WMV(WindowsMedia-Best Quality)", ".wmv", 2.1, 0, {{S::VideoCodec, "wmv2"}, {S::AudioChannels, "2"}}, true, true},
    {"RM (RealONE/RealPlayer)", ".rm", 9.39, 0,
     {{S::VideoCodec, "rv20"}, {S::AudioSamples, "44100"}, {S::AudioChannels, "2"}}, true, true},
    {"QuickTime MOV", ".mov", 2.47, 0,
     {{S::VideoSize, "320x240"}, {S::VideoFrameRate, "29.97"}, {S::VideoBitrate, "360"}, {S::AudioCodec, "aac"},
      {S::AudioBitrate, "48"}, {S::AudioSamples, "44100"}, {S::AudioChannels, "2"}},
     true, true},
    {"Sony PSP (Normal)", ".avi", 2.65, 0,
     {{S::VideoSize, "368x208"}, {S::VideoFrameRate, "29.97"}, {S::VideoBitrate, "512"}, {S::VideoCodec, "xvid"},
      {S::AudioCodec, "aac"}, {S::AudioBitrate, "64"}, {S::AudioSamples, "24000"}, {S::AudioChannels, "2"}},
     false, false},
    {"Sony PSP (Excellent Quality)", ".avi", 2.75, 0,
     {{S::VideoSize, "368x208"}, {S::VideoFrameRate, "29.97"}, {S::VideoBitrate, "768"}, {S::VideoCodec, "xvid"},
      {S::AudioCodec, "aac"}, {S::AudioBitrate, "64"}, {S::AudioSamples, "24000"}, {S::AudioChannels, "2"}},
     false, false},
    {"Sony PSP (Minimal Size)", ".avi", 2.1, 0,
     {{S::VideoSize, "160x112"}, {S::VideoFrameRate, "29.97"}, {S::VideoBitrate, "216"}, {S::VideoCodec, "xvid"},
      {S::AudioCodec, "aac"}, {S::AudioBitrate, "64"}, {S::AudioSamples, "24000"}, {S::AudioChannels, "2"}},
     false, false},
    {"Sony PSP (PSP AVC)", ".avi", 6.95, 0,
     {{S::VideoSize, "368x208"}, {S::VideoFrameRate, "29.97"}, {S::VideoBitrate, "400"}, {S::VideoCodec, "h264"},
      {S::GroupOfPictureSize, "250"}, {S::VideoQuantiserScale, "25"}, {S::MaxVideoBitrate, "1500"},
      {S::RateControlBuffer, "128"}, {S::AudioCodec, "aac"}, {S::AudioBitrate, "128"}, {S::AudioSamples, "48000"},
      {S::AudioChannels, "2"}},
     false, false},
    {"Zune MPEG-4 Video", ".avi", 2.66, 0,
     {{S::VideoSize, "320x240"}, {S::VideoFrameRate, "29.97"}, {S::VideoBitrate, "1500"}, {S::VideoCodec, "mpeg4"},
      {S::AudioCodec, "aac"}, {S::AudioBitrate, "128"}, {S::AudioSamples, "48000"}, {S::AudioChannels, "2"}},
     false, false},
    {"Zune MPEG-4 AVC", ".avi", 6.47, 0,
     {{S::VideoSize, "320x240"}, {S::VideoFrameRate, "29.97"}, {S::VideoBitrate, "1500"}, {S::VideoCodec, "h264"},
      {S::GroupOfPictureSize, "250"}, {S::VideoQuantiserScale, "25"}, {S::MaxVideoBitrate, "1500"},
      {S::RateControlBuffer, "128"}, {S::AudioCodec, "aac"}, {S::AudioBitrate, "64"}, {S::AudioSamples, "48000"},
      {S::AudioChannels, "2"}},
     false, false},
    {"Zune WMV", ".wmv", 2.66, 0,
     {{S::VideoSize, "320x240"}, {S::VideoFrameRate, "29.97"}, {S::VideoBitrate, "1500"}, {S::VideoCodec, "wmv2"},
      {S::AudioCodec, "mp3"}, {S::AudioBitrate, "128"}, {S::AudioSamples, "48000"}, {S::AudioChannels, "2"}},
     false, false},
    {"3GP (for Mobile)", ".3gp", 1.55, 0,
     {{S::VideoSize, "176x144"}, {S::VideoFrameRate, "11"}, {S::VideoBitrate, "120"}, {S::VideoCodec, "h263"},
      {S::VideoBitrateTolerance, "60"}, {S::AudioCodec, "amr_nb"}, {S::AudioBitrate, "48"}, {S::AudioSamples, "8000"},
      {S::AudioChannels, "1"}},
     false, false},
    {"3G2 (for Mobile)", ".3g2", 1.55, 0,
     {{S::VideoSize, "176x144"}, {S::VideoFrameRate, "11"}, {S::VideoBitrate, "120"}, {S::VideoCodec, "mpeg4"},
      {S::VideoBitrateTolerance, "60"}, {S::AudioCodec, "amr_nb"}, {S::AudioBitrate, "48"}, {S::AudioSamples, "8000"},
      {S::AudioChannels, "1"}},
     false, false},
    {"MP3 Sound (MP3)", ".mp3", 1.54, 0,
     {{S::ForceFormat, "mp3"}, {S::AudioCodec, "mp3"}, {S::AudioBitrate, "128"}, {S::AudioSamples, "44100"},
      {S::AudioChannels, "2"}},
     false, false},
    {"WAVE Sound (WAV)", ".wav", 0, 1,
     {{S::ForceFormat, "wav"}, {S::AudioCodec, "pcm_s16le"}, {S::AudioBitrate, "128"}, {S::AudioSamples, "41000"},
      {S::AudioChannels, "2"}},
     false, false},
}};

// The presets for today's devices, in the list order.
constexpr char ModernGroup[] = ":/presets/modern.json";

// The data groups' presets all poll the encoder every 300 ms; their progress follows the
// encoder's time report.
constexpr int DataRatio = 1;

struct Registry {
    std::vector<Preset> presets;
    std::deque<QByteArray> texts; // the data groups' names and extensions, which the rows point into
    QHash<QString, qsizetype> index; // name -> row, for lookups in a long list
    QStringList problems;

    void add(const PresetFile::Contents &contents, PresetGroup group)
    {
        for (const PresetFile::Entry &entry : contents.entries) {
            texts.push_back(entry.name.toUtf8());
            const char *name = texts.back().constData();
            texts.push_back(entry.extension.toUtf8());
            presets.push_back(
                {name, texts.back().constData(), 0, DataRatio, {}, false, false, group, entry.arguments, entry.options});
        }
    }

    QStringList names() const
    {
        QStringList list;
        for (const Preset &preset : presets)
            list << QString::fromUtf8(preset.name);
        return list;
    }
};

bool g_loaded = false;

Registry load()
{
    Registry registry;
    registry.presets.assign(Table.begin(), Table.end());

    // The program's own group is part of the program: without it whole, nothing is listed.
    QFile modern{QString::fromLatin1(ModernGroup)};
    if (!modern.open(QIODevice::ReadOnly))
        qFatal("The program's presets %s are missing: %s", ModernGroup, qPrintable(modern.errorString()));
    const PresetFile::Contents ours = PresetFile::parse(modern.readAll(), modern.fileName(), registry.names());
    if (!ours.problems.isEmpty() || ours.entries.isEmpty())
        qFatal("The program's presets are damaged: %s",
               qPrintable(ours.problems.isEmpty() ? QStringLiteral("no preset in %1").arg(modern.fileName())
                                                  : ours.problems.join(QLatin1Char('\n'))));
    registry.add(ours, PresetGroup::Modern);

    const PresetFile::Contents users = PresetFile::read(PresetFile::userFilePath(), registry.names());
    registry.add(users, PresetGroup::User);
    registry.problems = users.problems;
    for (qsizetype row = 0; row < qsizetype(registry.presets.size()); ++row)
        registry.index.insert(QString::fromUtf8(registry.presets[size_t(row)].name), row);
    g_loaded = true;
    return registry;
}

Registry &registry()
{
    static Registry registry = load();
    return registry;
}

} // namespace

int Preset::sizeRatio() const
{
    return weight > 0 ? Rounding::toLong(weight) : fixedRatio;
}

namespace Presets {

std::span<const Preset> all() { return registry().presets; }

QStringList names() { return registry().names(); }

QStringList problems() { return registry().problems; }

bool loaded() { return g_loaded; }

const Preset *find(const QString &name)
{
    const Registry &presets = registry();
    const auto row = presets.index.constFind(name);
    return row == presets.index.constEnd() ? nullptr : &presets.presets[size_t(*row)];
}

} // namespace Presets

QString FormatExtension(const QString &presetName)
{
    const Preset *preset = Presets::find(presetName);
    return preset ? QString::fromUtf8(preset->extension) : QString();
}

bool applyPreset(AVC &job, const QString &FormatType, int *ratioField, const QStringList &optionArguments,
                 const QStringList *arguments)
{
    const Preset *preset = Presets::find(FormatType);
    if (!preset) {
        MessageBoxes::show(QLatin1String("Error: ") + FormatType + QLatin1String(" is not defined."),
                           MessageBoxes::Exclamation, QStringLiteral("Not Supported"));
        return false;
    }
    if (preset->group == PresetGroup::Classic) {
        // Nothing of a data preset stays; the classic settings left by an earlier attempt do.
        job.setExtraOptions(QString());
        job.setAsWritten(false);
        for (const auto &[setting, value] : preset->values)
            job.setSetting(setting, QString::fromLatin1(value));
        if (preset->deInterlace)
            job.setDeInterlace(true);
        if (preset->sameQuality)
            job.setSameQuality(true);
    } else {
        // Today's arguments alone: nothing a classic preset left may reach their command line.
        job.clearSettings();
        job.setExtraOptions(CommandLine::joinCommandLine(arguments ? *arguments : preset->arguments));
        job.setAsWritten(true);
    }
    // Set on every run: a classic preset keeps the job's other settings, never an earlier block.
    job.setOptionArguments(optionArguments);
    const int ratio = preset->sizeRatio();
    if (ratioField)
        *ratioField = ratio;
    job.setSizeRatio(ratio);
    return true;
}

void ConvertAVI(AVC &job, const QString &FormatType, const QString &SrcPath, const QString &DestPath, int *ratioField,
                const QStringList &optionArguments, const QStringList *arguments)
{
    if (!applyPreset(job, FormatType, ratioField, optionArguments, arguments))
        return;
    job.setSourceFile(SrcPath);
    job.setDestFile(DestPath);
    job.ConvertMedia(true);
}

QString presetOptions(const QString &name)
{
    AVC job(nullptr);
    if (!applyPreset(job, name))
        return QString();
    return job.settings().options(false).trimmed();
}
