// The options of a conversion: what each value of the command line means, how the options meet
// one source and one preset (which tracks, which span, which rectangle, or why they are refused),
// and when black bars are cut.

#include "workflow/ConversionOptions.h"
#include "workflow/CropDetect.h"
#include "workflow/OptionPlan.h"
#include "workflow/Presets.h"
#include "workflow/SourceInfo.h"
#include "workflow/ToolProcess.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// ffprobe's view of a one-minute film: a picture, two sound tracks, two text subtitles (the
// French one forced) and a picture subtitle.
const char Film[] = R"({
  "streams": [
    {"index": 0, "codec_type": "video", "codec_name": "h264", "width": 1920, "height": 1080, "avg_frame_rate": "25/1",
     "disposition": {"default": 1}},
    {"index": 1, "codec_type": "audio", "codec_name": "aac", "channels": 2, "disposition": {"default": 1},
     "tags": {"language": "eng", "title": "Main"}},
    {"index": 2, "codec_type": "audio", "codec_name": "aac", "channels": 2, "disposition": {"default": 0},
     "tags": {"language": "ger", "handler_name": "Commentary"}},
    {"index": 3, "codec_type": "subtitle", "codec_name": "subrip", "tags": {"language": "eng"}},
    {"index": 4, "codec_type": "subtitle", "codec_name": "mov_text", "disposition": {"forced": 1},
     "tags": {"language": "fra", "handler_name": "SubtitleHandler"}},
    {"index": 5, "codec_type": "subtitle", "codec_name": "hdmv_pgs_subtitle", "tags": {"language": "spa"}},
    {"index": 6, "codec_type": "video", "codec_name": "mjpeg", "width": 600, "height": 600,
     "disposition": {"attached_pic": 1}}
  ],
  "chapters": [{"start_time": "0.000000", "end_time": "30.000000", "tags": {"title": "One"}}],
  "format": {"format_name": "matroska,webm", "duration": "60.000000", "tags": {"title": "A Film"}}
})";

const QString Mp4 = QStringLiteral("MP4 H.264 720p");
const QString Copy = QStringLiteral("MKV (copy every stream, no re-encoding)");
const QString Mp3 = QStringLiteral("MP3 Sound (MP3)");
const QString Ipod = QStringLiteral("iPOD Video (320x240) MPEG4");

// Options from the command line's words, "audio=deu start=10".
ConversionOptions optionsOf(const QString &words)
{
    ConversionOptions options;
    for (const QString &word : words.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const qsizetype equals = word.indexOf(QLatin1Char('='));
        if (const std::optional<QString> error = options.set(word.left(equals), word.mid(equals + 1)))
            qFatal("%s", qPrintable(*error));
    }
    return options;
}

CropDetect::Found letterbox(const SourceInfo &) { return {QRect(0, 140, 1920, 800), QString()}; }
CropDetect::Found unsure(const SourceInfo &) { return {std::nullopt, QStringLiteral("the black bars differ along the file; not cropped")}; }

} // namespace

class TestOptions : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // No user file: the program's presets alone.
        QVERIFY(m_config.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_config.path());
    }

    // Each step sets one option as the command line would; the last error, and the queue row's
    // words for what was set.
    void values_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QString>("summary");
        const auto row = [](const char *name, const QStringList &steps, const char *error, const char *summary) {
            QTest::newRow(name) << steps << error << summary;
        };
        row("first sound track", {"audio=first"}, "", "sound first");
        row("every sound track", {"audio=all"}, "", "sound all");
        row("a track by number", {"audio=2"}, "", "sound 2");
        row("tracks count from 1", {"audio=0"}, "--audio counts tracks from 1", "");
        row("ISO 639-1, any case", {"audio=EN"}, "", "sound en");
        row("ISO 639-2/B", {"subtitles=ger"}, "", "subtitles ger");
        row("an unknown two-letter code", {"audio=xx"}, "--audio takes first|all", "");
        row("forced subtitles", {"subtitles=forced"}, "", "subtitles forced");
        row("burn takes no word", {"burn=keep"}, "--burn takes", "");
        row("a span", {"start=1:02:03.5", "end=1:10:00"}, "", "1:02:03.5–1:10:00");
        row("a length", {"start=90", "length=30"}, "", "0:30 from 1:30");
        row("seconds below a minute", {"start=1:60"}, "--start takes a time", "");
        row("no negative time", {"end=-3"}, "--end takes a time", "");
        row("an end before the start", {"start=20", "end=10"}, "--end 0:10 is not after --start 0:20", "");
        row("end and length", {"end=20", "length=5"}, "--end and --length both set", "");
        row("a zero length", {"length=0"}, "--length must be longer than 0", "");
        row("a rectangle", {"crop=1920:800:0:140"}, "", "crop 1920:800:0:140");
        row("a rectangle too small", {"crop=1:1:0:0"}, "--crop takes auto, none or W:H:X:Y", "");
        row("no metadata, new date", {"metadata=false", "keep-date=false"}, "", "no metadata · new date");
    }
    void values()
    {
        QFETCH(QStringList, steps);
        QFETCH(QString, error);
        QFETCH(QString, summary);
        ConversionOptions options;
        QString last;
        for (const QString &step : steps) {
            const qsizetype equals = step.indexOf(QLatin1Char('='));
            last = options.set(step.left(equals), step.mid(equals + 1)).value_or(QString());
        }
        QVERIFY2(error.isEmpty() ? last.isEmpty() : last.startsWith(error), qPrintable(last));
        if (!error.isEmpty())
            return;
        QCOMPARE(options.summary(), summary);
        // The recovery file and the preset file keep them in these words.
        const auto back = ConversionOptions::fromJson(options.toJson());
        QVERIFY(std::holds_alternative<ConversionOptions>(back));
        QCOMPARE(std::get<ConversionOptions>(back), options);
    }

    // The flags given on the command line win over the preset's; a span given replaces the
    // preset's whole span.
    void flagsOverPresetDefaults()
    {
        const ConversionOptions preset = optionsOf(QStringLiteral("audio=all start=10 end=20 subtitles=keep"));
        const ConversionOptions flags = optionsOf(QStringLiteral("audio=deu length=5"));
        QCOMPARE(preset.overriddenBy(flags), optionsOf(QStringLiteral("audio=deu length=5 subtitles=keep")));
    }

    void plans_data()
    {
        QTest::addColumn<QString>("preset");
        QTest::addColumn<QString>("options");
        QTest::addColumn<QString>("block");   // the arguments, blank-separated; empty with a refusal
        QTest::addColumn<QString>("refusal"); // the start of it
        QTest::addColumn<double>("span");     // -1: the source's whole length
        const auto row = [](const char *name, const QString &preset, const char *options, const char *block,
                            const char *refusal = "", double span = -1) {
            QTest::newRow(name) << preset << options << block << refusal << span;
        };
        row("nothing set", Mp4, "", "");
        row("sound by language, handler name in MP4", Mp4, "audio=deu",
            "-map 0:0 -map 0:2 -disposition:a:0 default -metadata:s:a:0 handler_name=Commentary");
        row("ISO 639-1 matches a 639-2/B tag", Mp4, "audio=de",
            "-map 0:0 -map 0:2 -disposition:a:0 default -metadata:s:a:0 handler_name=Commentary");
        row("no such language: the default track", Ipod, "audio=ita",
            "-map 0:0 -map 0:1 -disposition:a:0 default -metadata:s:a:0 handler_name=Main "
            "--note no\\ sound\\ track\\ in\\ ita;\\ writing\\ the\\ default\\ one\\ (eng)");
        row("every sound track, flags kept", Mp4, "audio=all",
            "-map 0:0 -map 0:1 -map 0:2 -disposition:a:0 default -metadata:s:a:0 handler_name=Main "
            "-disposition:a:1 0 -metadata:s:a:1 handler_name=Commentary");
        row("one track only in an MP3", Mp3, "audio=all",
            "-map 0:1 -disposition:a:0 default --note a\\ .mp3\\ file\\ holds\\ one\\ sound\\ track;\\ writing\\ the\\ first");
        row("a sound track past the last", Mp4, "audio=3", "", "--audio 3: film.mkv has 2 sound tracks");
        row("text subtitles become mov_text; pictures are left out, said", Mp4, "subtitles=keep",
            "-map 0:0 -map 0:1 -map 0:3 -map 0:4 -c:s:0 mov_text -c:s:1 mov_text -disposition:a:0 default "
            "-metadata:s:a:0 handler_name=Main -disposition:s:0 0 -disposition:s:1 forced "
            "--note a\\ .mp4\\ file\\ cannot\\ hold\\ picture\\ subtitles;\\ leaving\\ out\\ subtitle\\ stream\\ 5");
        row("Matroska holds them all; the copy keeps every sound track", Copy, "subtitles=forced",
            "-map 0:v? -map 0:t? -map 0:1 -map 0:2 -map 0:4 -c:s:0 srt -disposition:a:0 default -disposition:a:1 0 "
            "-disposition:s:0 forced");
        row("a subtitle track past the last", Mp4, "subtitles=4", "", "--subtitles 4: film.mkv has 3 subtitle tracks");
        row("text burned by language", Mp4, "burn=fr", "--burn-subtitles 1");
        row("pictures burned over the video", Mp4, "burn=3",
            "--burn-overlay 0:5 -map 0:1 -disposition:a:0 default -metadata:s:a:0 handler_name=Main");
        row("no such subtitle to burn", Mp4, "burn=ita", "", "--burn ita: film.mkv has no subtitle track in ita");
        row("a copy cannot burn", Copy, "burn=1", "", "--burn 1: the preset copies the picture");
        row("a span", Mp4, "start=10 end=20", "-ss 10.000 -t 10.000", "", 10);
        row("a length past the end stops there", Mp4, "start=50 length=30", "-ss 50.000 -t 10.000", "", 10);
        row("a start alone", Mp4, "start=0:45", "-ss 45.000", "", 15);
        row("a start past the end", Mp4, "start=1:30", "", "--start 1:30: film.mkv lasts only 1:00");
        row("the copy starts at a keyframe, said", Copy, "start=10 end=20",
            "-ss 10.000 -t 10.000 --note the\\ copy\\ starts\\ at\\ the\\ keyframe\\ at\\ or\\ before\\ 0:10,\\ so\\ it\\ may\\ begin\\ a\\ little\\ early",
            "", 10);
        row("a rectangle", Ipod, "crop=1920:800:0:140", "-vf crop=1920:800:0:140");
        row("a rectangle outside the picture", Mp4, "crop=1920:900:0:200", "",
            "--crop 1920:900:0:200: the rectangle lies outside film.mkv's picture of 1920x1080");
        row("black bars found", Mp4, "crop=auto", "-vf crop=1920:800:0:140");
        row("no crop for a sound file", Mp3, "crop=auto", "", "--crop auto: the preset writes no picture");
        row("no metadata", Copy, "metadata=false", "-map_metadata -1 -map_chapters -1");
        row("the date alone changes no line", Mp4, "keep-date=false", "");
    }
    void plans()
    {
        QFETCH(QString, preset);
        QFETCH(QString, options);
        QFETCH(QString, block);
        QFETCH(QString, refusal);
        QFETCH(double, span);
        SourceInfo film = SourceInfo::parse(Film, QStringLiteral("/v/film.mkv"));
        QVERIFY(film.ok());
        const Preset *chosen = Presets::find(preset);
        QVERIFY(chosen);
        const OptionPlan plan = OptionPlan::make(optionsOf(options), film, OptionPlan::PresetFacts::of(*chosen), letterbox);
        QCOMPARE(plan.refusal.left(refusal.size()), refusal);
        QStringList escaped;
        for (QString argument : plan.arguments)
            escaped << argument.replace(QLatin1Char(' '), QLatin1String("\\ "));
        QCOMPARE(escaped.join(QLatin1Char(' ')), block);
        if (refusal.isEmpty())
            QCOMPARE(plan.spanSeconds.value_or(-1), span < 0 ? 60.0 : span);
    }

    // Automatic crop keeps the whole picture when the samples disagree, and says why.
    void cropNotFound()
    {
        const SourceInfo film = SourceInfo::parse(Film, QStringLiteral("/v/film.mkv"));
        const OptionPlan plan = OptionPlan::make(optionsOf(QStringLiteral("crop=auto")), film,
                                                 OptionPlan::PresetFacts::of(*Presets::find(Mp4)), unsure);
        QCOMPARE(plan.arguments, QStringList({"--note", "the black bars differ along the file; not cropped"}));
    }

    void cropDecision_data()
    {
        QTest::addColumn<QList<QRect>>("samples");
        QTest::addColumn<QRect>("crop"); // null: the whole picture
        QTest::addColumn<QString>("note");
        const QRect bars(0, 140, 1920, 800);
        const QRect black(1920, 1080, -1918, -1078);
        QTest::newRow("bars everywhere") << QList<QRect>{bars, bars, bars} << bars << "";
        QTest::newRow("a black scene does not count") << QList<QRect>{bars, black, bars} << bars << "";
        QTest::newRow("a full frame is not cropped") << QList<QRect>{QRect(0, 0, 1920, 1080)} << QRect() << "";
        QTest::newRow("the samples disagree") << QList<QRect>{bars, QRect(0, 100, 1920, 880)} << QRect() << "differ";
        QTest::newRow("black all through") << QList<QRect>{black, black} << QRect() << "no picture";
    }
    void cropDecision()
    {
        QFETCH(QList<QRect>, samples);
        QFETCH(QRect, crop);
        QFETCH(QString, note);
        const CropDetect::Found found = CropDetect::decide(samples, QSize(1920, 1080));
        QCOMPARE(found.crop.value_or(QRect()), crop);
        QVERIFY2(note.isEmpty() ? found.note.isEmpty() : found.note.contains(note), qPrintable(found.note));
    }

    void cropdetectOutput()
    {
        const QByteArray output = "[Parsed_cropdetect_0 @ 0x5] x1:0 x2:1919 y1:140 y2:939 w:1920 h:800 x:0 y:140 pts:1 "
                                  "t:0.04 crop=1920:800:0:140\n[Parsed_cropdetect_0 @ 0x5] x1:320 x2:1 y1:240 y2:1 "
                                  "w:-318 h:-238 x:320 y:240 pts:2 t:0.08 crop=-318:-238:320:240\n";
        QCOMPARE(CropDetect::lastReported(output), QRect(320, 240, -318, -238));
        QCOMPARE(CropDetect::lastReported("nothing"), std::nullopt);
    }

    // A tool that hangs or floods its output is stopped, and the reason says which.
    void toolBounds()
    {
        const ToolProcess::Result slow = ToolProcess::run(QStringLiteral("sleep"), {"30"}, {.timeoutMs = 300});
        QVERIFY(slow.timedOut);
        QCOMPARE(slow.problem(QStringLiteral("ffprobe")), QStringLiteral("ffprobe took too long to read it"));
        const ToolProcess::Result flood = ToolProcess::run(QStringLiteral("yes"), {}, {.maxOutput = 64 * 1024});
        QVERIFY(flood.tooLarge);
        QVERIFY(!ToolProcess::run(QStringLiteral("/nonexistent/ffprobe"), {}).started);
    }

    // A file ffprobe cannot read is named with the reason.
    void unreadableSource()
    {
        QTemporaryDir dir;
        QFile junk(dir.filePath(QStringLiteral("junk.mkv")));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write(QByteArray(4096, 'x'));
        junk.close();
        const SourceInfo info = SourceInfo::read(junk.fileName());
        QVERIFY(!info.ok());
        QVERIFY2(info.error.startsWith(QStringLiteral("junk.mkv cannot be read: ")), qPrintable(info.error));
        QVERIFY2(!info.error.contains(QStringLiteral("file:")), qPrintable(info.error));
        const OptionPlan plan = OptionPlan::make(optionsOf(QStringLiteral("audio=2")), info,
                                                 OptionPlan::PresetFacts::of(*Presets::find(Mp4)));
        QCOMPARE(plan.refusal, info.error);
    }

private:
    QTemporaryDir m_config;
};

QTEST_GUILESS_MAIN(TestOptions)
#include "tst_options.moc"
