// Today's presets converted for real: the program's command-line mode, the encoder adapter and
// the system's ffmpeg on tiny generated sources; every output is probed with ffprobe, its index
// looked up in the file, and decoded once.

#include <QtEndian>
#include "Clip.h"
#include "Probe.h"
#include "RunProgram.h"

#include <QtTest>

#include <cmath>

namespace {

// The sources, 1 s each with stereo sound at 44100 Hz. "wide" is stored 1440 x 1080 with 4:3
// pixels, so it shows 1920 x 1080; "ntsc" shows 853.3 x 480, which no even size matches exactly.
struct Source {
    const char *name;
    int width;
    int height;
    int sampleAspect[2];
    const char *frameRate;
};
constexpr Source Sources[] = {
    {"wide", 1440, 1080, {4, 3}, "12/1"},
    {"ntsc", 720, 480, {32, 27}, "30000/1001"},
    {"4:3", 640, 480, {1, 1}, "30000/1001"},
    {"portrait", 1080, 1920, {1, 1}, "12/1"},
};

struct Expected {
    const char *preset;
    const char *extension;
    const char *container;  // "mp4", "m4a", "webm", "matroska", "ogg" or "flac"
    const char *videoCodec; // empty: no video stream
    const char *videoTag;
    const char *audioCodec;
    int sampleRate;         // 0: the source's
    bool indexFirst;
};
constexpr Expected Presets[] = {
    {"MP4 H.264 1080p (phones, tablets, web)", ".mp4", "mp4", "h264", "avc1", "aac", 48000, true},
    {"MP4 H.264 720p", ".mp4", "mp4", "h264", "avc1", "aac", 48000, true},
    {"MP4 H.265 1080p (HEVC)", ".mp4", "mp4", "hevc", "hvc1", "aac", 48000, true},
    {"WebM VP9 1080p", ".webm", "webm", "vp9", "", "opus", 48000, false},
    {"WebM AV1 1080p", ".webm", "webm", "av1", "", "opus", 48000, false},
    {"MKV (copy every stream, no re-encoding)", ".mkv", "matroska", "mpeg4", "", "pcm_s16le", 0, false},
    {"M4A AAC audio", ".m4a", "m4a", "", "", "aac", 0, true},
    {"Opus audio", ".opus", "ogg", "", "", "opus", 48000, false},
    {"FLAC lossless audio", ".flac", "flac", "", "", "flac", 0, false},
};

// The picture each re-encoding preset makes of each source: the box by the source's orientation,
// never larger than the source shows, square pixels, even sizes.
struct Fit {
    const char *preset;
    const char *source;
    int width;
    int height;
};
constexpr Fit Fits[] = {
    {"MP4 H.264 1080p (phones, tablets, web)", "wide", 1920, 1080},
    {"MP4 H.264 1080p (phones, tablets, web)", "ntsc", 852, 480},
    {"MP4 H.264 1080p (phones, tablets, web)", "4:3", 640, 480},
    {"MP4 H.264 1080p (phones, tablets, web)", "portrait", 1080, 1920},
    {"MP4 H.264 720p", "wide", 1280, 720},
    {"MP4 H.264 720p", "ntsc", 852, 480},
    {"MP4 H.264 720p", "4:3", 640, 480},
    {"MP4 H.264 720p", "portrait", 720, 1280},
    {"MP4 H.265 1080p (HEVC)", "wide", 1920, 1080},
    {"MP4 H.265 1080p (HEVC)", "ntsc", 852, 480},
    {"MP4 H.265 1080p (HEVC)", "4:3", 640, 480},
    {"MP4 H.265 1080p (HEVC)", "portrait", 1080, 1920},
    {"WebM VP9 1080p", "wide", 1920, 1080},
    {"WebM VP9 1080p", "ntsc", 852, 480},
    {"WebM VP9 1080p", "4:3", 640, 480},
    {"WebM VP9 1080p", "portrait", 1080, 1920},
    {"WebM AV1 1080p", "wide", 1920, 1080},
    {"WebM AV1 1080p", "ntsc", 852, 480},
    {"WebM AV1 1080p", "4:3", 640, 480},
    {"WebM AV1 1080p", "portrait", 1080, 1920},
    // Copied: the stream as stored.
    {"MKV (copy every stream, no re-encoding)", "wide", 1440, 1080},
    {"MKV (copy every stream, no re-encoding)", "4:3", 640, 480},
    {"M4A AAC audio", "4:3", 0, 0},
    {"Opus audio", "4:3", 0, 0},
    {"FLAC lossless audio", "4:3", 0, 0},
};

const Expected &expectedFor(const QString &preset)
{
    for (const Expected &e : Presets) {
        if (preset == QLatin1String(e.preset))
            return e;
    }
    qFatal("no expectations for %s", qPrintable(preset));
}

// The order of the top-level boxes of an MP4 file: "moov" must come before "mdat" for a player to
// start before the whole file has arrived.
QStringList topLevelBoxes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList boxes;
    while (!file.atEnd()) {
        const QByteArray header = file.read(16);
        if (header.size() < 8)
            break;
        quint64 size = qFromBigEndian<quint32>(header.constData());
        if (size == 1 && header.size() == 16)
            size = qFromBigEndian<quint64>(header.constData() + 8);
        boxes << QString::fromLatin1(header.mid(4, 4));
        if (size < 8 || !file.seek(file.pos() - header.size() + qint64(size)))
            break;
    }
    return boxes;
}

QString containerOf(const QString &path, const QJsonObject &format)
{
    const QString name = format.value(QStringLiteral("format_name")).toString();
    if (name.startsWith(QLatin1String("mov,"))) {
        const QString brand = format.value(QStringLiteral("tags")).toObject().value(QStringLiteral("major_brand")).toString();
        return brand == QLatin1String("M4A ") ? QStringLiteral("m4a") : brand == QLatin1String("isom") ? QStringLiteral("mp4") : brand;
    }
    if (name == QLatin1String("matroska,webm")) {
        // The EBML header names the document type.
        QFile file(path);
        const QByteArray head = file.open(QIODevice::ReadOnly) ? file.read(64) : QByteArray();
        return head.contains("webm") ? QStringLiteral("webm") : head.contains("matroska") ? QStringLiteral("matroska") : name;
    }
    return name;
}

} // namespace

class TestModernPresets : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        m_vidomar = builtProgram(QStringLiteral("vidomar"));
        QVERIFY2(QFileInfo(m_vidomar).isExecutable(), qPrintable(m_vidomar));
        QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("ffprobe")).isEmpty(), "ffprobe is not installed");
        QVERIFY(m_dir.isValid());
        // No user presets of the machine's user.
        m_env = userEnvironment(m_dir.filePath(QStringLiteral("config")));
        for (const Source &source : Sources) {
            const QString problem = makeClip(sourcePath(source.name),
                                             {.seconds = 1,
                                              .size = QStringLiteral("%1x%2").arg(source.width).arg(source.height),
                                              .rate = QLatin1String(source.frameRate),
                                              .sampleAspect = QStringLiteral("%1/%2").arg(source.sampleAspect[0]).arg(source.sampleAspect[1]),
                                              .quality = 3});
            QVERIFY2(problem.isEmpty(), qPrintable(problem));
        }
    }

    void convert_data()
    {
        QTest::addColumn<QString>("preset");
        QTest::addColumn<QString>("source");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        for (const Fit &fit : Fits)
            QTest::addRow("%s, %s", fit.preset, fit.source) << fit.preset << fit.source << fit.width << fit.height;
    }
    void convert()
    {
        QFETCH(QString, preset);
        QFETCH(QString, source);
        QFETCH(int, width);
        QFETCH(int, height);
        const Expected &e = expectedFor(preset);
        const QString out = m_dir.filePath(QStringLiteral("out%1%2").arg(m_count++).arg(QLatin1String(e.extension)));
        const ProgramRun conversion = runProgram(m_vidomar, {"--preset", preset, sourcePath(source), out}, {.environment = m_env});
        QVERIFY2(conversion.exitCode == 0, conversion.output.constData());

        const Probe found = probe(out);
        QVERIFY2(found.error.isEmpty(), qPrintable(found.error));
        const QJsonObject &format = found.format;
        QCOMPARE(containerOf(out, format), QLatin1String(e.container));
        QVERIFY2(std::abs(found.seconds() - 1.0) < 0.2, qPrintable(format.value(QStringLiteral("duration")).toString()));

        const QJsonObject &video = found.video;
        const QJsonObject &audio = found.audio;
        QCOMPARE(found.streams, *e.videoCodec ? 2 : 1);

        QCOMPARE(audio.value(QStringLiteral("codec_name")).toString(), QLatin1String(e.audioCodec));
        QCOMPARE(audio.value(QStringLiteral("channels")).toInt(), 2);
        QCOMPARE(audio.value(QStringLiteral("sample_rate")).toString().toInt(), e.sampleRate ? e.sampleRate : 44100);

        if (*e.videoCodec) {
            QCOMPARE(video.value(QStringLiteral("codec_name")).toString(), QLatin1String(e.videoCodec));
            if (*e.videoTag)
                QCOMPARE(video.value(QStringLiteral("codec_tag_string")).toString(), QLatin1String(e.videoTag));
            QCOMPARE(video.value(QStringLiteral("width")).toInt(), width);
            QCOMPARE(video.value(QStringLiteral("height")).toInt(), height);
            const Source &from = *std::find_if(std::begin(Sources), std::end(Sources),
                                               [&](const Source &s) { return source == QLatin1String(s.name); });
            QCOMPARE(video.value(QStringLiteral("r_frame_rate")).toString(), QLatin1String(from.frameRate));
            if (QLatin1String(e.videoCodec) != QLatin1String("mpeg4")) {
                QCOMPARE(video.value(QStringLiteral("sample_aspect_ratio")).toString(), QStringLiteral("1:1"));
                QCOMPARE(video.value(QStringLiteral("pix_fmt")).toString(), QStringLiteral("yuv420p"));
                // The source's shape, within one pixel of the height.
                const double shownHeight = double(width) * from.height * from.sampleAspect[1]
                    / (double(from.width) * from.sampleAspect[0]);
                QVERIFY2(std::abs(height - shownHeight) <= 1, qPrintable(QString::number(shownHeight)));
            }
        }

        if (e.indexFirst) {
            const QStringList boxes = topLevelBoxes(out);
            QVERIFY2(boxes.contains(QLatin1String("mdat")) && boxes.indexOf(QLatin1String("moov")) >= 0
                         && boxes.indexOf(QLatin1String("moov")) < boxes.indexOf(QLatin1String("mdat")),
                     qPrintable(boxes.join(u' ')));
        }

        const ProgramRun decode = runProgram(QStringLiteral("ffmpeg"), {"-v", "error", "-nostdin", "-i", out, "-f", "null", "-"});
        QCOMPARE(decode.exitCode, 0);
        QCOMPARE(decode.output, QByteArray());
    }

    // A user's preset: its arguments reach ffmpeg exactly, blanks, quotes and backslashes included.
    void userPresetArguments()
    {
        const QString title = QStringLiteral("A \"quoted\" title, two  blanks and a \\ at the end\\");
        QJsonObject preset{{"name", "Tagged copy"}, {"extension", ".mka"},
                           {"arguments", QJsonArray{"-vn", "-c:a", "copy", "-metadata", "title=" + title}}};
        const QString file = m_dir.filePath(QStringLiteral("config/Zorvik/vidomar-presets.json"));
        QVERIFY(QDir().mkpath(QFileInfo(file).path()));
        QFile presets(file);
        QVERIFY(presets.open(QIODevice::WriteOnly));
        presets.write(QJsonDocument(QJsonObject{{"presets", QJsonArray{preset}}}).toJson());
        presets.close();

        const QString out = m_dir.filePath(QStringLiteral("tagged.mka"));
        const ProgramRun conversion = runProgram(m_vidomar, {"--preset", "Tagged copy", sourcePath(QStringLiteral("4:3")), out}, {.environment = m_env});
        QVERIFY(QFile::remove(file));
        QVERIFY2(conversion.exitCode == 0, conversion.output.constData());
        const ProgramRun tags = runProgram(QStringLiteral("ffprobe"), {"-v", "error", "-show_entries", "format_tags=title", "-of",
                                                          "default=noprint_wrappers=1:nokey=1", out});
        QCOMPARE(QString::fromUtf8(tags.output), title + u'\n');
    }

private:
    QString sourcePath(const QString &name) const
    {
        return m_dir.filePath(QString(name).replace(u':', u'x') + QStringLiteral(".avi"));
    }

    QTemporaryDir m_dir;
    QString m_vidomar;
    QProcessEnvironment m_env;
    int m_count = 0;
};

QTEST_GUILESS_MAIN(TestModernPresets)
#include "tst_modernpresets.moc"
