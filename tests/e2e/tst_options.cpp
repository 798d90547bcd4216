// A conversion's options for real: the program's command-line mode, the encoder adapter and the
// system's ffmpeg on a film made once for the suite (two sound tracks, two subtitle tracks, three
// chapters, a title, a date), and ffprobe's view of what was written.

#include "Film.h"
#include "Probe.h"
#include "RunProgram.h"

#include <QtTest>

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>

namespace {

const QString Mp4 = QStringLiteral("MP4 H.264 720p");
const QString Hd = QStringLiteral("MP4 H.264 1080p (phones, tablets, web)");
const QString Copy = QStringLiteral("MKV (copy every stream, no re-encoding)");
const QString WebM = QStringLiteral("WebM VP9 1080p");
const QString Ipod = QStringLiteral("iPOD Video (320x240) MPEG4");

// What ffprobe shows of the tracks, chapters, date and title: "video | audio deu Commentary default
// | subtitle mov_text fra forced | chapters 3 | date 2019-06-30 | title Test Film". A track's title
// is its handler name where the container keeps it there (MP4), unless that is the muxer's own
// "...Handler".
QString facts(const QString &path)
{
    const ProgramRun run = runProgram(QStringLiteral("ffprobe"), {"-v", "error", "-show_streams", "-show_chapters",
                                                                 "-show_format", "-of", "json", path},
                                      {.errorsApart = true});
    const QJsonObject json = QJsonDocument::fromJson(run.output).object();
    QStringList parts;
    for (const QJsonValue &value : json.value("streams").toArray()) {
        const QJsonObject stream = value.toObject();
        const QString type = stream.value("codec_type").toString();
        if (type == QLatin1String("data"))
            continue; // MP4's chapter track
        const QJsonObject tags = stream.value("tags").toObject();
        const QJsonObject disposition = stream.value("disposition").toObject();
        QStringList words{type};
        if (type == QLatin1String("subtitle"))
            words << stream.value("codec_name").toString();
        const QString language = tags.value("language").toString();
        if (type != QLatin1String("video") && !language.isEmpty() && language != QLatin1String("und"))
            words << language;
        QString title = tags.value("title").toString();
        if (title.isEmpty() && !tags.value("handler_name").toString().endsWith(QLatin1String("Handler")))
            title = tags.value("handler_name").toString();
        if (!title.isEmpty())
            words << title;
        if (type != QLatin1String("video") && disposition.value("default").toInt())
            words << "default";
        if (disposition.value("forced").toInt())
            words << "forced";
        parts << words.join(' ');
    }
    parts << QStringLiteral("chapters %1").arg(json.value("chapters").toArray().size());
    const QJsonObject format = json.value("format").toObject().value("tags").toObject();
    for (auto it = format.begin(); it != format.end(); ++it) {
        for (const char *name : {"title", "date"}) {
            if (it.key().compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
                parts << QLatin1String(name) + QLatin1Char(' ') + it.value().toString();
        }
    }
    return parts.join(QStringLiteral(" | "));
}

// ffmpeg's own comparison of two pictures.
double compared(const QString &filter, const QString &a, const QString &b)
{
    const ProgramRun run = runProgram(QStringLiteral("ffmpeg"), {"-hide_banner", "-nostdin", "-i", a, "-i", b, "-lavfi",
                                                                filter, "-f", "null", "-"});
    const QRegularExpression all(filter == QLatin1String("ssim") ? QStringLiteral("All:([0-9.]+)")
                                                                 : QStringLiteral("average:([0-9.inf]+)"));
    const QRegularExpressionMatch match = all.match(QString::fromLocal8Bit(run.output));
    return match.hasMatch() ? (match.captured(1) == QLatin1String("inf") ? 1000 : match.captured(1).toDouble()) : -1;
}

} // namespace

class TestOptions : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        m_vidomar = qEnvironmentVariable("VIDOMAR_BIN_DIR") + QStringLiteral("/vidomar");
        QVERIFY2(QFileInfo(m_vidomar).isExecutable(), qPrintable(m_vidomar));
        QVERIFY(m_dir.isValid());
        m_env = QProcessEnvironment::systemEnvironment();
        m_env.remove(QStringLiteral("VIDOMAR_FFMPEG"));
        m_env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.filePath(QStringLiteral("config")));

        const QString film = Film::make(path("film.mkv"));
        QVERIFY2(film.isEmpty(), qPrintable(film));
        // Black bars above and below: the picture is 1920 x 800 of 1920 x 1080.
        const ProgramRun letterbox = runProgram(
            QStringLiteral("ffmpeg"), {"-v", "error", "-nostdin", "-y", "-f", "lavfi", "-i",
                                       "testsrc2=size=1920x800:rate=25:duration=1,pad=1920:1080:0:140:black", "-c:v",
                                       "libx264", "-preset", "ultrafast", path("letterbox.mkv")});
        QVERIFY2(letterbox.exitCode == 0, letterbox.output.constData());
    }

    // Each option gives what ffprobe then shows, through today's presets and a classic one.
    void tracks_data()
    {
        QTest::addColumn<QString>("preset");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("facts");
        QTest::addColumn<bool>("keepsDate");
        const auto row = [](const char *name, const QString &preset, const QStringList &options, const char *extension,
                            const char *facts, bool keepsDate = true) {
            QTest::newRow(name) << preset << options << extension << facts << keepsDate;
        };
        row("the preset alone", Mp4, {}, ".mp4", "video | audio eng default | chapters 3 | date 2019-06-30 | title Test Film");
        row("the commentary, its name kept as MP4's handler", Mp4, {"--audio", "deu"}, ".mp4",
            "video | audio deu Commentary default | chapters 3 | date 2019-06-30 | title Test Film");
        row("by ISO 639-1, through a classic preset", Ipod, {"--audio", "de"}, ".mp4",
            "video | audio deu Commentary default | chapters 3 | date 2019-06-30 | title Test Film");
        row("everything in MP4", Mp4, {"--audio", "all", "--subtitles", "keep"}, ".mp4",
            "video | audio eng Main default | audio deu Commentary | subtitle mov_text eng default | "
            "subtitle mov_text fra Forced French forced | chapters 3 | date 2019-06-30 | title Test Film");
        row("the copy with one track and the forced subtitles", Copy, {"--audio", "2", "--subtitles", "forced"}, ".mkv",
            "video | audio deu Commentary default | subtitle subrip fra Forced French forced | chapters 3 | date 2019-06-30 | title Test Film");
        row("WebVTT in WebM", WebM, {"--subtitles", "eng"}, ".webm",
            "video | audio eng Main default | subtitle webvtt eng | chapters 3 | date 2019-06-30 | title Test Film");
        row("no metadata, no date", Copy, {"--no-metadata", "--no-keep-date"}, ".mkv",
            "video | audio default | audio | subtitle subrip default | subtitle subrip forced | chapters 0", false);
    }
    void tracks()
    {
        QFETCH(QString, preset);
        QFETCH(QStringList, options);
        QFETCH(QString, extension);
        QFETCH(QString, facts);
        QFETCH(bool, keepsDate);
        const QString out = path(QStringLiteral("tracks-%1%2").arg(QTest::currentDataTag()).replace(' ', '-') + extension);
        const ProgramRun run = runProgram(m_vidomar, QStringList{"--preset", preset} + options + QStringList{"-o", out, path("film.mkv")},
                                          {.environment = m_env, .errorsApart = true});
        QVERIFY2(run.exitCode == 0, run.errors.constData());
        QCOMPARE(::facts(out), facts);
        QCOMPARE(QFileInfo(out).lastModified() == Film::Date, keepsDate);
    }

    // --start 10 --end 20: ten seconds, one frame either way, beginning with the frame at 10 s
    // (the closest of its neighbours), and progress measured against the part.
    void trim()
    {
        const QString out = path("part.mp4");
        const ProgramRun run = runProgram(m_vidomar, {"--preset", Mp4, "--json", "--start", "10", "--end", "20", "-o", out, path("film.mkv")},
                                          {.environment = m_env, .errorsApart = true});
        QVERIFY2(run.exitCode == 0, run.errors.constData());
        QVERIFY2(!run.output.contains("warning"), run.output.constData()); // not "ended early"
        const Probe written = probe(out);
        QVERIFY2(std::abs(written.seconds() - 10.0) <= 0.04 + 0.002, qPrintable(QString::number(written.seconds())));
        QCOMPARE(::facts(out), QStringLiteral("video | audio eng default | chapters 2 | date 2019-06-30 | title Test Film"));

        const auto frame = [](const QStringList &input, const QString &png) {
            return runProgram(QStringLiteral("ffmpeg"), QStringList{"-v", "error", "-nostdin", "-y"} + input
                                                            + QStringList{"-frames:v", "1", png}).exitCode == 0;
        };
        QVERIFY(frame({"-i", out}, path("first.png")));
        double best = -1;
        QString bestAt;
        for (const QString at : {"9.96", "10.00", "10.04"}) {
            QVERIFY(frame({"-ss", at, "-i", path("film.mkv")}, path("at.png")));
            const double psnr = compared(QStringLiteral("psnr"), path("first.png"), path("at.png"));
            if (psnr > best) {
                best = psnr;
                bestAt = at;
            }
        }
        QCOMPARE(bestAt, QStringLiteral("10.00"));
    }

    // The copy starts at the keyframe at or before the start, and says so.
    void trimCopy()
    {
        const QString out = path("part.mkv");
        const ProgramRun run = runProgram(m_vidomar, {"--preset", Copy, "--start", "10", "--length", "5", "-o", out, path("film.mkv")},
                                          {.environment = m_env, .errorsApart = true});
        QVERIFY2(run.exitCode == 0, run.errors.constData());
        QVERIFY2(run.errors.contains("keyframe"), run.errors.constData());
        QVERIFY2(probe(out).seconds() >= 5.0 && probe(out).seconds() <= 7.0, qPrintable(QString::number(probe(out).seconds())));
    }

    void crop_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("preset");
        QTest::addColumn<QString>("crop");
        QTest::addColumn<QSize>("size");
        QTest::newRow("black bars found") << "letterbox.mkv" << Hd << "auto" << QSize(1920, 800);
        QTest::newRow("a full frame stays whole") << "film.mkv" << Hd << "auto" << QSize(320, 240);
        QTest::newRow("a rectangle, then the classic preset's size") << "film.mkv" << Ipod << "160:120:0:0" << QSize(320, 240);
        QTest::newRow("a rectangle, the shape kept") << "film.mkv" << Mp4 << "200:100:10:10" << QSize(200, 100);
    }
    void crop()
    {
        QFETCH(QString, source);
        QFETCH(QString, preset);
        QFETCH(QString, crop);
        QFETCH(QSize, size);
        const QString out = path(QStringLiteral("crop-%1.mp4").arg(QTest::currentDataTag()).replace(' ', '-'));
        const ProgramRun run = runProgram(m_vidomar, {"--preset", preset, "--crop", crop, "--length", "1", "-o", out, path(source)},
                                          {.environment = m_env, .errorsApart = true});
        QVERIFY2(run.exitCode == 0, run.errors.constData());
        QCOMPARE(probe(out).size(), size);
    }

    void probeSuggestsCrop()
    {
        const ProgramRun run = runProgram(m_vidomar, {"--probe", path("letterbox.mkv")}, {.environment = m_env, .errorsApart = true});
        QVERIFY2(run.exitCode == 0, run.errors.constData());
        QVERIFY2(run.output.contains("crop: 1920:800:0:140"), run.output.constData());
        const ProgramRun json = runProgram(m_vidomar, {"--probe", path("film.mkv"), "--json"}, {.environment = m_env, .errorsApart = true});
        const QJsonObject found = QJsonDocument::fromJson(json.output).object();
        QCOMPARE(found.value("streams").toArray().size(), 5);
        QCOMPARE(found.value("chapters").toArray().size(), 3);
        QCOMPARE(found.value("crop"), QJsonValue());
    }

    // A burned subtitle changes the picture where its text stands.
    void burn()
    {
        const auto convert = [&](const QString &name, const QStringList &options) {
            const ProgramRun run = runProgram(m_vidomar, QStringList{"--preset", Mp4, "--start", "4", "--length", "2"} + options
                                                             + QStringList{"-o", path(name), path("film.mkv")},
                                              {.environment = m_env, .errorsApart = true});
            return run.exitCode == 0
                && runProgram(QStringLiteral("ffmpeg"), {"-v", "error", "-nostdin", "-y", "-ss", "1", "-i", path(name),
                                                         "-frames:v", "1", path(name + ".png")}).exitCode == 0;
        };
        QVERIFY(convert("plain.mp4", {}));
        QVERIFY(convert("burned.mp4", {"--burn", "fra"}));
        const double ssim = compared(QStringLiteral("ssim"), path("plain.mp4.png"), path("burned.mp4.png"));
        QVERIFY2(ssim > 0 && ssim < 0.99, qPrintable(QString::number(ssim)));
    }

    // Options that do not fit one source of a batch refuse that source only, naming the option and
    // the file.
    void refusedInABatch()
    {
        const ProgramRun run = runProgram(m_vidomar, {"--preset", Mp4, "--burn", "fra", "--length", "1", "-d", path("batch"),
                                                      path("film.mkv"), path("letterbox.mkv")},
                                          {.environment = m_env, .errorsApart = true});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.errors.contains("--burn fra: letterbox.mkv has no subtitle track in fra"), run.errors.constData());
        QVERIFY(QFileInfo::exists(path("batch/film.mp4")));
        QVERIFY(!QFileInfo::exists(path("batch/letterbox.mp4")));
    }

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
    QString m_vidomar;
    QProcessEnvironment m_env;
};

QTEST_GUILESS_MAIN(TestOptions)
#include "tst_options.moc"
