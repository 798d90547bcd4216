#include "BoxRecorder.h"
#include "Translator.h"
#include "common/MessageBoxes.h"
#include "engine/AVC.h"
#include "engine/CommandLine.h"
#include "workflow/Conversion.h"
#include "workflow/PresetFile.h"
#include "workflow/Presets.h"

#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

namespace {

// The option part of the job's command line between the quoted source and destination.
QString optionsOf(const AVC &job)
{
    const QString line = job.commandLine();
    const QString afterSource = QStringLiteral("\"/v/in.avi\" ");
    const qsizetype start = line.indexOf(afterSource) + afterSource.size();
    return line.mid(start, line.lastIndexOf(QLatin1String("\"/v/out")) - start);
}

// The job's command line for a preset, built without an encoder to run.
QStringList argumentsOf(const QString &preset, const QString &destination)
{
    QTemporaryDir empty;
    AVC job(nullptr);
    job.setProgramFolder(empty.path());
    ConvertAVI(job, preset, QStringLiteral("/v/in.avi"), destination);
    return CommandLine::splitCommandLine(job.commandLine()).mid(1);
}

// The user's file of the test: one good entry whose arguments need quoting, and broken ones.
const char UserFile[] =
    "{\"presets\": [\n"
    "  {\"name\": \"Small MP4\", \"extension\": \".mp4\", \"arguments\": [\"-c:v\", \"libx264\", \"-metadata\",\n"
    "   \"title=A \\\"quoted\\\" title\\\\\", \"-metadata\", \"comment=\", \"-vf\", \"scale=320:-2\"],\n"
    "   \"options\": {\"audio\": \"all\", \"start\": \"1:00\", \"keep-date\": false}},\n"
    "  {\"name\": \"FLAC lossless audio\", \"extension\": \".flac\", \"arguments\": []},\n"
    "  {\"name\": \"No extension\", \"arguments\": []}\n"
    "]}\n";


} // namespace

class TestPresets : public QObject {
    Q_OBJECT
private slots:
    // The user's presets are read once, on the first use of the list: the file is in place first.
    void initTestCase()
    {
        QVERIFY(m_config.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_config.path());
        m_userFile = PresetFile::userFilePath();
        QCOMPARE(m_userFile, m_config.filePath(QStringLiteral("Zorvik/vidomar-presets.json")));
        QVERIFY(QDir().mkpath(QFileInfo(m_userFile).path()));
        QFile file(m_userFile);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(UserFile);
    }

    // Each preset on a fresh job, from the published tables.
    void options_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<int>("ratio");
        QTest::addColumn<QString>("options");
        const auto row = [](int pos, const char *name, const char *ext, int ratio, const char *options) {
            QTest::newRow(name) << pos << name << ext << ratio << options;
        };
        row(0, "AVI (MPEG4-DivX-Compatible)", ".avi", 2,
            "-y -b 360 -r 29.97 -s 320x240 -vcodec mpeg4 -deinterlace -sameq -ab 48 -ar 22050 -ac 2 ");
        row(1, "AVI (MPEG4-DivX-Best Quality)", ".avi", 2,
            "-y -b 360 -r 29.97 -s 320x240 -vcodec mpeg4 -deinterlace -sameq -ac 2 ");
        row(2, "AVI (MPEG4-XviD-Compatible)", ".avi", 2,
            "-y -b 360 -r 29.97 -s 320x240 -vcodec xvid -deinterlace -sameq -ab 48 -ar 22050 -ac 2 ");
        row(3, "AVI (MPEG4-XviD-Best Quality)", ".avi", 2,
            "-y -b 360 -r 29.97 -s 320x240 -vcodec xvid -deinterlace -sameq -ac 2 ");
        row(4, "iPOD Video (320x240) MPEG4", ".mp4", 2,
            "-y -b 512 -s 320x240 -vcodec mpeg4 -aspect 4:3 -acodec aac -ab 64 -ar 44100 -ac 2 ");
        row(5, "iPOD Video2 (640x480) MPEG4", ".mp4", 4,
            "-y -b 1200 -s 640x480 -vcodec mpeg4 -aspect 4:3 -acodec aac -ab 80 -ar 44100 -ac 2 ");
        row(6, "iPhone Video", ".mp4", 2,
            "-y -b 1200 -s 480x320 -vcodec mpeg4 -aspect 3:2 -acodec aac -ab 80 -ar 44100 -ac 2 ");
        row(7, "iPOD Nano (MP3)", ".mp3", 1, "-y -acodec mp3 ");
        row(8, "iPOD Mini (MP3)", ".mp3", 1, "-y -acodec mp3 ");
        row(9, "iPOD Shuffle (MP3)", ".mp3", 1, "-y -acodec mp3 ");
        row(10, "MPEG (Max Compatible)", ".mpg", 2,
            "-y -r 29.97 -vcodec mpeg1video -deinterlace -sameq -ar 44100 -ac 2 ");
        row(11, "MPEG (Best Quality)", ".mpg", 2, "-y -r 29.97 -vcodec mpeg1video -deinterlace -sameq -ac 2 ");
        row(12, "WMV(WindowsMedia-Compatible)", ".wmv", 2, "-y -vcodec wmv2 -deinterlace -sameq -ar 44100 -ac 2 ");
        row(13, "WMV(WindowsMedia-Best Quality)", ".wmv", 2, "-y -vcodec wmv2 -deinterlace -sameq -ac 2 ");
        row(14, "RM (RealONE/RealPlayer)", ".rm", 9, "-y -vcodec rv20 -deinterlace -sameq -ar 44100 -ac 2 ");
        row(15, "QuickTime MOV", ".mov", 2,
            "-y -b 360 -r 29.97 -s 320x240 -deinterlace -sameq -acodec aac -ab 48 -ar 44100 -ac 2 ");
        row(16, "Sony PSP (Normal)", ".avi", 3,
            "-y -b 512 -r 29.97 -s 368x208 -vcodec xvid -acodec aac -ab 64 -ar 24000 -ac 2 ");
        row(17, "Sony PSP (Excellent Quality)", ".avi", 3,
            "-y -b 768 -r 29.97 -s 368x208 -vcodec xvid -acodec aac -ab 64 -ar 24000 -ac 2 ");
        row(18, "Sony PSP (Minimal Size)", ".avi", 2,
            "-y -b 216 -r 29.97 -s 160x112 -vcodec xvid -acodec aac -ab 64 -ar 24000 -ac 2 ");
        row(19, "Sony PSP (PSP AVC)", ".avi", 7,
            "-y -b 400 -r 29.97 -s 368x208 -vcodec h264 -bufsize 128 -g 250 -qscale 25 -maxrate 1500 "
            "-acodec aac -ab 128 -ar 48000 -ac 2 ");
        row(20, "Zune MPEG-4 Video", ".avi", 3,
            "-y -b 1500 -r 29.97 -s 320x240 -vcodec mpeg4 -acodec aac -ab 128 -ar 48000 -ac 2 ");
        row(21, "Zune MPEG-4 AVC", ".avi", 6,
            "-y -b 1500 -r 29.97 -s 320x240 -vcodec h264 -bufsize 128 -g 250 -qscale 25 -maxrate 1500 "
            "-acodec aac -ab 64 -ar 48000 -ac 2 ");
        row(22, "Zune WMV", ".wmv", 3,
            "-y -b 1500 -r 29.97 -s 320x240 -vcodec wmv2 -acodec mp3 -ab 128 -ar 48000 -ac 2 ");
        row(23, "3GP (for Mobile)", ".3gp", 2,
            "-y -b 120 -r 11 -s 176x144 -vcodec h263 -bt 60 -acodec amr_nb -ab 48 -ar 8000 -ac 1 ");
        row(24, "3G2 (for Mobile)", ".3g2", 2,
            "-y -b 120 -r 11 -s 176x144 -vcodec mpeg4 -bt 60 -acodec amr_nb -ab 48 -ar 8000 -ac 1 ");
        row(25, "MP3 Sound (MP3)", ".mp3", 2, "-y -f mp3 -acodec mp3 -ab 128 -ar 44100 -ac 2 ");
        row(26, "WAVE Sound (WAV)", ".wav", 1, "-y -f wav -acodec pcm_s16le -ab 128 -ar 41000 -ac 2 ");
    }
    void options()
    {
        QFETCH(int, position);
        QFETCH(QString, name);
        QFETCH(QString, extension);
        QFETCH(int, ratio);
        QFETCH(QString, options);
        QCOMPARE(Presets::names().at(position), name);
        QCOMPARE(Presets::all()[position].group, PresetGroup::Classic);
        QCOMPARE(FormatExtension(name), extension);

        QTemporaryDir empty; // no encoder: the line is built, nothing runs
        AVC job(nullptr);
        job.setProgramFolder(empty.path());
        int ratioField = -1;
        QSignalSpy errors(&job, &AVC::ErrorEvent);
        ConvertAVI(job, name, QStringLiteral("/v/in.avi"), QStringLiteral("/v/out") + extension, &ratioField);
        QCOMPARE(optionsOf(job), options);
        QCOMPARE(ratioField, ratio);
        QCOMPARE(job.SizeRatio(), ratio);
        QCOMPARE(errors.size(), 1);
        QCOMPARE(errors.at(0).at(0).toString(), QStringLiteral("Unable to locate avformat.dll"));

        // A conversion with no option set runs the very same line, whatever the source holds.
        const QString line = job.commandLine();
        BoxRecorder recorder;
        Conversion conversion(job);
        QVERIFY(!conversion.start(name, QStringLiteral("/v/in.avi"), QStringLiteral("/v/out") + extension, {}));
        QCOMPARE(job.commandLine(), line);
    }

    // The user's preset starts from its own options; a flag given overrides one of them.
    void userPresetOptions()
    {
        const Preset *preset = Presets::find(QStringLiteral("Small MP4"));
        QVERIFY(preset);
        QCOMPARE(preset->options.summary(), QStringLiteral("sound all · from 1:00 · new date"));
        ConversionOptions flags;
        QVERIFY(!flags.set(QStringLiteral("audio"), QStringLiteral("deu")));
        QCOMPARE(preset->options.overriddenBy(flags).summary(), QStringLiteral("sound deu · from 1:00 · new date"));
    }

    void unknownNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("other capitals") << "ipod video (320x240) mpeg4";
        QTest::newRow("trailing blank") << "WAVE Sound (WAV) ";
        QTest::newRow("empty") << "";
    }
    void unknownNames()
    {
        QFETCH(QString, name);
        BoxRecorder recorder;
        AVC job(nullptr);
        QSignalSpy errors(&job, &AVC::ErrorEvent);
        job.setSizeRatio(5);
        ConvertAVI(job, name, QStringLiteral("/v/in.avi"), QStringLiteral("/v/out.mp4"));
        QCOMPARE(recorder.boxes, QStringList{QStringLiteral("Error: %1 is not defined.|48|Not Supported").arg(name)});
        QCOMPARE(errors.size(), 0);
        QCOMPARE(job.SizeRatio(), 5);
        QCOMPARE(job.sourceFile(), QString());
        QCOMPARE(job.commandLine(), QString());
        QCOMPARE(FormatExtension(name), QString());
    }

    // An attempt that stops before the launch leaves its settings for the next preset.
    void leftoverSettings()
    {
        QTemporaryDir empty;
        AVC job(nullptr);
        job.setProgramFolder(empty.path());
        ConvertAVI(job, QStringLiteral("Sony PSP (PSP AVC)"), QStringLiteral("/v/in.avi"), QString());
        ConvertAVI(job, QStringLiteral("MP3 Sound (MP3)"), QStringLiteral("/v/in.avi"), QStringLiteral("/v/out.mp3"));
        QCOMPARE(optionsOf(job), QStringLiteral("-y -b 400 -r 29.97 -s 368x208 -vcodec h264 -f mp3 -bufsize 128 -g 250 "
                                                "-qscale 25 -maxrate 1500 -acodec mp3 -ab 128 -ar 44100 -ac 2 "));
    }

    // After the 27: today's group, in this order, then the user's good entries. What is wrong with
    // the user's file is listed, naming the file and the entries.
    void listOrder()
    {
        QStringList groups;
        for (const Preset &preset : Presets::all())
            groups << QString::number(int(preset.group));
        QCOMPARE(groups.join(QString()), QString(27, u'0') + QString(9, u'1') + QStringLiteral("2"));
        QCOMPARE(Presets::names().mid(27), QStringList({"MP4 H.264 1080p (phones, tablets, web)", "MP4 H.264 720p",
                                                        "MP4 H.265 1080p (HEVC)", "WebM VP9 1080p", "WebM AV1 1080p",
                                                        "MKV (copy every stream, no re-encoding)", "M4A AAC audio",
                                                        "Opus audio", "FLAC lossless audio", "Small MP4"}));
        QCOMPARE(Presets::problems(),
                 QStringList({QStringLiteral("%1, entry 2 (\"FLAC lossless audio\"): the name belongs to a preset of the "
                                             "program; the entry is skipped.").arg(m_userFile),
                              QStringLiteral("%1, entry 3 (\"No extension\"): \"extension\" must be a dot and up to 15 "
                                             "letters or digits, as \".mp4\"; the entry is skipped.").arg(m_userFile)}));
        // Listing shows nothing itself: the front end that loads the list reports them.
        QVERIFY(m_recorder.boxes.isEmpty());
    }

    // Every preset of the data groups: its extension, and a line that the adapter passes on as it is.
    void dataPresets_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("extension");
        const char *const rows[][2] = {
            {"MP4 H.264 1080p (phones, tablets, web)", ".mp4"}, {"MP4 H.264 720p", ".mp4"},
            {"MP4 H.265 1080p (HEVC)", ".mp4"}, {"WebM VP9 1080p", ".webm"}, {"WebM AV1 1080p", ".webm"},
            {"MKV (copy every stream, no re-encoding)", ".mkv"}, {"M4A AAC audio", ".m4a"},
            {"Opus audio", ".opus"}, {"FLAC lossless audio", ".flac"}, {"Small MP4", ".mp4"}};
        for (const auto &row : rows)
            QTest::newRow(row[0]) << row[0] << row[1];
    }
    void dataPresets()
    {
        QFETCH(QString, name);
        QFETCH(QString, extension);
        QCOMPARE(FormatExtension(name), extension);
        const Preset *preset = Presets::find(name);
        QVERIFY(preset);
        QCOMPARE(preset->sizeRatio(), 1);
        const QStringList line = argumentsOf(name, QStringLiteral("/v/out") + extension);
        QCOMPARE(line, QStringList({"--as-written", "-i", "/v/in.avi", "-y"}) + preset->arguments
                           + QStringList{"/v/out" + extension});

        // Even without the mark the classic translation would leave the line alone.
        std::vector<std::string> arguments;
        for (const QString &argument : line.mid(1))
            arguments.push_back(argument.toStdString());
        const Translation translation = Translator(nullptr).translate(arguments);
        QCOMPARE(translation.arguments, arguments);
        QCOMPARE(translation.notes, std::vector<std::string>());
    }

    // A classic preset clears what a data preset left; a data preset clears everything, also
    // the leftovers of an attempt that stopped before its launch.
    void extraOptionsLifecycle_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("classic after today's")
            << "Small MP4" << "iPOD Nano (MP3)" << QStringList{"-y", "-acodec", "mp3"};
        QTest::newRow("today's after classic")
            << "Sony PSP (PSP AVC)" << "Small MP4" << QStringList{"-y"} + Presets::find("Small MP4")->arguments;
    }
    void extraOptionsLifecycle()
    {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(QStringList, expected);
        QTemporaryDir empty;
        AVC job(nullptr);
        job.setProgramFolder(empty.path());
        ConvertAVI(job, first, QStringLiteral("/v/in.avi"), QString());
        QVERIFY(!job.settings().options(false).isEmpty());
        ConvertAVI(job, second, QStringLiteral("/v/in.avi"), QStringLiteral("/v/out"));
        const QStringList line = CommandLine::splitCommandLine(job.commandLine());
        QCOMPARE(line.mid(line.indexOf(QStringLiteral("-i")) + 2, expected.size() + 1), expected + QStringList{"/v/out"});
        // Only today's line is marked to be passed on as written.
        QCOMPARE(line.at(1) == QLatin1String(Protocol::AsWritten), second == QLatin1String("Small MP4"));
    }

    // What is wrong with a preset file, one line per problem: the file, the entry, what.
    void loaderProblems_data()
    {
        QTest::addColumn<QByteArray>("content"); // "<folder>", "<fifo>": one stands there; null: no file
        QTest::addColumn<QStringList>("loaded");
        QTest::addColumn<QString>("problem");    // %1 is the file; "" for none
        const QString skipped = QStringLiteral("%1, entry %2: %3; the entry is skipped.");
        const QString none = QStringLiteral("%1: %2; none of its presets is loaded.");
        const auto entry = [](const char *fields) {
            return QByteArray("{\"presets\": [{\"name\": \"A\", \"extension\": \".a\", \"arguments\": []}, {")
                + fields + "}]}";
        };
        QTest::newRow("no file") << QByteArray() << QStringList() << QString();
        QTest::newRow("a folder") << QByteArray("<folder>") << QStringList()
                                  << none.arg("%1", "it is a folder");
        QTest::newRow("a named pipe") << QByteArray("<fifo>") << QStringList()
                                      << none.arg("%1", "it is not a regular file");
        QTest::newRow("over 4 MiB") << QByteArray(PresetFile::MaxSize + 1, ' ') << QStringList()
                                    << none.arg("%1", "it is larger than 4 MiB");
        QTest::newRow("not JSON") << QByteArray("{\"presets\": [\n  {\"name\": \"A\",]}") << QStringList()
                                  << none.arg("%1", "it is not valid JSON (unterminated object at line 2, column 17)");
        QTest::newRow("a list at the top") << QByteArray("[]") << QStringList()
                                           << none.arg("%1", "it must hold an object with a \"presets\" list");
        QTest::newRow("presets not a list") << QByteArray("{\"presets\": {}}") << QStringList()
                                            << none.arg("%1", "it must hold an object with a \"presets\" list");
        QTest::newRow("entry not an object") << QByteArray("{\"presets\": [3]}") << QStringList()
                                             << skipped.arg("%1", "1", "it is not an object");
        QTest::newRow("name missing") << entry("\"extension\": \".b\", \"arguments\": []") << QStringList{"A"}
                                      << skipped.arg("%1", "2", "\"name\" must be a text");
        QTest::newRow("name a number") << entry("\"name\": 7, \"extension\": \".b\", \"arguments\": []")
                                       << QStringList{"A"} << skipped.arg("%1", "2", "\"name\" must be a text");
        QTest::newRow("name empty") << entry("\"name\": \"\", \"extension\": \".b\", \"arguments\": []")
                                    << QStringList{"A"} << skipped.arg("%1", "2", "\"name\" is empty");
        QTest::newRow("name with a blank at the end")
            << entry("\"name\": \"B \", \"extension\": \".b\", \"arguments\": []") << QStringList{"A"}
            << skipped.arg("%1", "2", "\"name\" must be one line without blanks at either end");
        QTest::newRow("name on two lines")
            << entry("\"name\": \"B\\nC\", \"extension\": \".b\", \"arguments\": []") << QStringList{"A"}
            << skipped.arg("%1", "2", "\"name\" must be one line without blanks at either end");
        QTest::newRow("the program's name")
            << entry("\"name\": \"Taken\", \"extension\": \".b\", \"arguments\": []") << QStringList{"A"}
            << skipped.arg("%1", "2 (\"Taken\")", "the name belongs to a preset of the program");
        QTest::newRow("a name twice") << entry("\"name\": \"A\", \"extension\": \".b\", \"arguments\": []")
                                      << QStringList{"A"}
                                      << skipped.arg("%1", "2 (\"A\")", "an earlier entry has the same name");
        const QString badExtension = QStringLiteral("\"extension\" must be a dot and up to 15 letters or digits, as \".mp4\"");
        QTest::newRow("extension missing") << entry("\"name\": \"B\", \"arguments\": []") << QStringList{"A"}
                                           << skipped.arg("%1", "2 (\"B\")", badExtension);
        QTest::newRow("extension without its dot")
            << entry("\"name\": \"B\", \"extension\": \"mp4\", \"arguments\": []") << QStringList{"A"}
            << skipped.arg("%1", "2 (\"B\")", badExtension);
        QTest::newRow("extension with a folder")
            << entry("\"name\": \"B\", \"extension\": \".mp4/x\", \"arguments\": []") << QStringList{"A"}
            << skipped.arg("%1", "2 (\"B\")", badExtension);
        QTest::newRow("extension too long")
            << entry("\"name\": \"B\", \"extension\": \".abcdefghijklmnop\", \"arguments\": []")
            << QStringList{"A"} << skipped.arg("%1", "2 (\"B\")", badExtension);
        const QString badArguments = QStringLiteral("\"arguments\" must be a list of texts, as [\"-c:v\", \"libx264\"]");
        QTest::newRow("options not an object")
            << entry("\"name\": \"B\", \"extension\": \".b\", \"arguments\": [], \"options\": \"all\"")
            << QStringList{"A"} << skipped.arg("%1", "2 (\"B\")", "\"options\" must be an object, as {\"audio\": \"all\"}");
        QTest::newRow("options that do not parse")
            << entry("\"name\": \"B\", \"extension\": \".b\", \"arguments\": [], \"options\": {\"crop\": \"big\"}")
            << QStringList{"A"}
            << skipped.arg("%1", "2 (\"B\")", "\"options\": --crop takes auto, none or W:H:X:Y (\"1920:800:0:140\", "
                                                  "at least 2x2); got \"big\"");
        QTest::newRow("arguments missing") << entry("\"name\": \"B\", \"extension\": \".b\"") << QStringList{"A"}
                                           << skipped.arg("%1", "2 (\"B\")", badArguments);
        QTest::newRow("arguments in one text")
            << entry("\"name\": \"B\", \"extension\": \".b\", \"arguments\": \"-c copy\"") << QStringList{"A"}
            << skipped.arg("%1", "2 (\"B\")", badArguments);
        QTest::newRow("an argument not a text")
            << entry("\"name\": \"B\", \"extension\": \".b\", \"arguments\": [\"-crf\", 20]") << QStringList{"A"}
            << skipped.arg("%1", "2 (\"B\")", "\"arguments\" item 2 is not a text");
        const QString replacing = QStringLiteral("\"arguments\" item 2 is \"%1\": the program decides about "
                                                 "replacing the destination");
        QTest::newRow("-n in the arguments")
            << entry("\"name\": \"B\", \"extension\": \".b\", \"arguments\": [\"-c\", \"-n\"]") << QStringList{"A"}
            << skipped.arg("%1", "2 (\"B\")", replacing.arg("-n"));
        QTest::newRow("-y in the arguments")
            << entry("\"name\": \"B\", \"extension\": \".b\", \"arguments\": [\"-c\", \"-y\"]") << QStringList{"A"}
            << skipped.arg("%1", "2 (\"B\")", replacing.arg("-y"));
        QTest::newRow("an empty argument")
            << entry("\"name\": \"B\", \"extension\": \".b\", \"arguments\": [\"-crf\", \"\"]") << QStringList{"A"}
            << skipped.arg("%1", "2 (\"B\")", "\"arguments\" item 2 is empty");
        QTest::newRow("an argument holding NUL")
            << entry("\"name\": \"B\", \"extension\": \".b\", \"arguments\": [\"-crf\", \"2\\u00001\"]") << QStringList{"A"}
            << skipped.arg("%1", "2 (\"B\")", "\"arguments\" item 2 holds a NUL character, which no argument can carry");
        QTest::newRow("a second output file")
            << entry("\"name\": \"B\", \"extension\": \".b\", \"arguments\": [\"-c\", \"copy\", \"-an\", \"other.mp4\"]")
            << QStringList{"A"}
            << skipped.arg("%1", "2 (\"B\")", "\"arguments\" item 4 (\"other.mp4\") would be a second output file; a "
                                               "preset writes only the destination");
        QTest::newRow("values after flags are not files")
            << entry("\"name\": \"B\", \"extension\": \".b\", \"arguments\": [\"-an\", \"-vf\", \"hflip\", \"-map\", \"-0:d\"]")
            << QStringList{"A", "B"} << QString();
        QTest::newRow("other keys are left alone")
            << entry("\"name\": \"B\", \"extension\": \".b\", \"arguments\": [], \"note\": 1")
            << QStringList{"A", "B"} << QString();
    }
    void loaderProblems()
    {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, loaded);
        QFETCH(QString, problem);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("presets.json"));
        if (content == "<folder>") {
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("presets.json")));
        } else if (content == "<fifo>") {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else if (!content.isNull()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        const PresetFile::Contents contents = PresetFile::read(path, {QStringLiteral("Taken")});
        QStringList names;
        for (const PresetFile::Entry &entry : contents.entries)
            names << entry.name;
        QCOMPARE(names, loaded);
        QCOMPARE(contents.problems, problem.isEmpty() ? QStringList() : QStringList{problem.arg(path)});
    }

private:
    QTemporaryDir m_config;
    QString m_userFile;
    BoxRecorder m_recorder;
};

QTEST_GUILESS_MAIN(TestPresets)
#include "tst_presets.moc"
