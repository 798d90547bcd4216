// The command line read into a plan, against a table of files that exist: every form users ran
// into among the rows.

#include "app/CommandLinePlan.h"

#include <QDir>
#include <QFileInfo>
#include <QtTest>

namespace {

QString key(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

// Names in the table exist; one ending in '/' is a folder, and its scan finds the files below it
// (".txt" ones are not media); "LIST=a|b" is a list file naming a and b.
FileProbe probeOver(const QStringList &existing)
{
    auto files = std::make_shared<QStringList>();
    auto folders = std::make_shared<QStringList>();
    auto lists = std::make_shared<QHash<QString, QByteArray>>();
    for (const QString &name : existing) {
        if (name.contains(u'='))
            lists->insert(name.section(u'=', 0, 0), name.section(u'=', 1).replace(u'|', u'\n').toUtf8());
        else
            (name.endsWith(u'/') ? *folders : *files) << key(name);
    }
    return {
        [=](const QString &path) { return files->contains(key(path)) || folders->contains(key(path)); },
        [=](const QString &path) { return folders->contains(key(path)); },
        [=](const QString &a, const QString &b) { return files->contains(key(a)) && key(a) == key(b); },
        [=](const QString &folder, bool, const QStringList &) {
            FolderScanResult found;
            const QString below = key(folder) + u'/';
            QStringList names = *files;
            names.sort();
            for (const QString &name : std::as_const(names)) {
                if (!name.startsWith(below))
                    continue;
                const QString path = folder + u'/' + name.mid(below.size());
                if (name.endsWith(QLatin1String(".txt")))
                    found.notMedia << path;
                else
                    found.media.append({path, name.mid(below.size())});
            }
            return found;
        },
        [=](const QString &file) { return lists->contains(file) ? std::optional(lists->value(file)) : std::nullopt; },
        {}, // identity: by the clean path
    };
}

// The plan in one line: action, options, then "source > destination" for each item.
QString describe(const ParsedCommandLine &parsed)
{
    if (const UsageError *error = std::get_if<UsageError>(&parsed))
        return QStringLiteral("error: ") + error->message;
    const CommandLinePlan &plan = std::get<CommandLinePlan>(parsed);
    switch (plan.action) {
    case CommandLinePlan::Action::Help:
        return QStringLiteral("help");
    case CommandLinePlan::Action::Version:
        return QStringLiteral("version");
    case CommandLinePlan::Action::ListPresets:
        return QStringLiteral("list") + (plan.verbose ? QStringLiteral(" verbose") : QString())
            + (plan.json ? QStringLiteral(" json") : QString());
    case CommandLinePlan::Action::Probe:
        return QStringLiteral("probe ") + plan.probeSource + (plan.json ? QStringLiteral(" json") : QString());
    case CommandLinePlan::Action::Convert:
        break;
    case CommandLinePlan::Action::Watch:
        return QStringLiteral("watch %1; dir %2").arg(plan.watchFolder, plan.outputFolder);
    }
    QStringList parts{QStringLiteral("j%1").arg(plan.jobs)};
    if (!plan.options.isEmpty())
        parts << QStringLiteral("options ") + plan.options.summary();
    if (plan.noOverwrite)
        parts << QStringLiteral("n");
    if (plan.json)
        parts << QStringLiteral("json");
    if (!plan.outputFolder.isEmpty())
        parts << QStringLiteral("dir ") + plan.outputFolder;
    if (plan.estimate)
        parts << QStringLiteral("estimate");
    if (plan.target.kind != Target::Kind::None)
        parts << QStringLiteral("target ") + plan.target.text();
    for (qsizetype i = 0; i < plan.items.size(); ++i) {
        const ConversionItem &item = plan.items.at(i);
        parts << (plan.indices.isEmpty() ? QString() : QStringLiteral("#%1 ").arg(plan.indices.at(i))) + item.source
                + QStringLiteral(" > ") + item.destination;
    }
    return parts.join(QStringLiteral("; "));
}

const QString Mp3 = QStringLiteral("MP3 Sound (MP3)");
const QString Ipod = QStringLiteral("iPOD Video (320x240) MPEG4");
const QString Psp = QStringLiteral("Sony PSP (Normal)");
const QString PspAvc = QStringLiteral("Sony PSP (PSP AVC)");
const QString H264 = QStringLiteral("MP4 H.264 720p");

} // namespace

class TestCommandLinePlan : public QObject {
    Q_OBJECT
private slots:
    void parse_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QString>("plan"); // as describe() puts it; an error by its start

        // What users ran into.
        QTest::newRow("two .avi sources with an .avi preset") << QStringList{"--preset", Psp, "a.avi", "b.avi"}
            << QStringList{"a.avi", "b.avi"}
            << "error: b.avi exists and is not taken as the destination by position: to replace it use -o b.avi; "
               "to convert both files use -d FOLDER";
        QTest::newRow("*.mp4 with an .mp4 preset") << QStringList{"--preset", Ipod, "one.mp4", "two.mp4"}
            << QStringList{"one.mp4", "two.mp4"} << "error: two.mp4 exists and is not taken";
        QTest::newRow("a destination of another container, by position") << QStringList{"--preset", PspAvc, "in.avi", "out.mp4"}
            << QStringList{"in.avi"} << "error: out.mp4 is not found; to write the conversion there use -o out.mp4";
        QTest::newRow("a destination of another container, with -o") << QStringList{"--preset", PspAvc, "in.avi", "-o", "out.mp4"}
            << QStringList{"in.avi"} << "j1; in.avi > out.mp4";
        QTest::newRow("a folder of files, side by side") << QStringList{"--preset", Mp3, "-j", "0", "-d", "out", "a.avi", "b.avi", "c.avi"}
            << QStringList{"a.avi", "b.avi", "c.avi"} << "j0; dir out; a.avi > out/a.mp3; b.avi > out/b.mp3; c.avi > out/c.mp3";
        QTest::newRow("progress for a script") << QStringList{"--json", "--preset=" + Mp3, "a.avi"} << QStringList{"a.avi"}
                                               << "j1; json; a.avi > a.mp3";

        // The older forms that stay.
        QTest::newRow("a new destination with the preset's extension") << QStringList{"--preset", Psp, "in.avi", "out.avi"}
            << QStringList{"in.avi"} << "j1; in.avi > out.avi";
        QTest::newRow("the extension in capitals") << QStringList{"--preset", Mp3, "in.avi", "my out.MP3"}
            << QStringList{"in.avi"} << "j1; in.avi > my out.MP3";
        QTest::newRow("two sources") << QStringList{"--preset", Mp3, "in.avi", "second.avi"}
            << QStringList{"in.avi", "second.avi"} << "j1; in.avi > in.mp3; second.avi > second.mp3";
        QTest::newRow("three sources, one missing") << QStringList{"--preset", Mp3, "a.avi", "gone.avi", "c.avi"}
            << QStringList{"a.avi", "c.avi"} << "j1; a.avi > a.mp3; gone.avi > gone.mp3; c.avi > c.mp3";

        // Default names.
        QTest::newRow("only the last extension") << QStringList{"--preset", Mp3, "dir.v1/clip.take2.avi"}
            << QStringList{} << "j1; dir.v1/clip.take2.avi > dir.v1/clip.take2.mp3";
        QTest::newRow("no extension") << QStringList{"--preset", Mp3, "dir.v1/clip"} << QStringList{}
                                      << "j1; dir.v1/clip > dir.v1/clip.mp3";
        QTest::newRow("a hidden name") << QStringList{"--preset", Mp3, ".clip"} << QStringList{} << "j1; .clip > .clip.mp3";
        QTest::newRow("the name would be the source") << QStringList{"--preset", Psp, "in.avi"} << QStringList{"in.avi"}
                                                      << "j1; in.avi > in (converted).avi";
        QTest::newRow("in the sources' own folder") << QStringList{"--preset", Psp, "-d", ".", "in.avi"}
            << QStringList{"in.avi", "./"} << "j1; dir .; in.avi > ./in (converted).avi";
        QTest::newRow("-d takes every argument as a source") << QStringList{"--preset", Ipod, "-d", "out", "one.mp4", "two.mp4"}
            << QStringList{"one.mp4", "two.mp4", "out/"} << "j1; dir out; one.mp4 > out/one.mp4; two.mp4 > out/two.mp4";
        QTest::newRow("-o keeps any name") << QStringList{"--preset", Ipod, "--output=film.mkv", "in.avi"}
                                           << QStringList{"in.avi"} << "j1; in.avi > film.mkv";
        QTest::newRow("-- ends the options") << QStringList{"--preset", Mp3, "--", "-n.avi"} << QStringList{}
                                             << "j1; -n.avi > -n.mp3";

        // Refused before anything runs.
        QTest::newRow("two sources, one destination") << QStringList{"--preset", Mp3, "-d", "out", "x/a.avi", "y/a.avi"}
            << QStringList{"x/a.avi", "y/a.avi"} << "error: x/a.avi and y/a.avi would both be converted to out/a.mp3";
        QTest::newRow("one stem, two extensions") << QStringList{"--preset", Mp3, "a.avi", "a.mov"}
            << QStringList{"a.avi", "a.mov"} << "error: a.avi and a.mov would both be converted to a.mp3";
        QTest::newRow("a destination that is another source") << QStringList{"--preset", Mp3, "-d", ".", "a.wav", "a.mp3"}
            << QStringList{"a.wav", "a.mp3", "./"} << "error: a.wav would be converted to ./a.mp3, which is also a source";
        QTest::newRow("-o with two sources") << QStringList{"--preset", Mp3, "-o", "x.mp3", "a.avi", "b.avi"}
                                             << QStringList{} << "error: -o names the destination of one source";
        QTest::newRow("-o and -d") << QStringList{"--preset", Mp3, "-o", "x.mp3", "-d", "out", "a.avi"} << QStringList{}
                                   << "error: -o names one destination and -d a folder";
        QTest::newRow("-o naming a folder") << QStringList{"--preset", Mp3, "-o", "my out", "a.avi"}
            << QStringList{"my out/"} << "error: my out is a folder; to write into it use -d 'my out'";
        QTest::newRow("-d naming a file") << QStringList{"--preset", Mp3, "-d", "notes", "a.avi"} << QStringList{"notes"}
                                          << "error: notes is not a folder";
        QTest::newRow("unknown preset") << QStringList{"--preset", "wave sound (wav)", "in.avi"} << QStringList{}
            << "error: Not Supported: Error: wave sound (wav) is not defined.";
        QTest::newRow("no preset") << QStringList{"in.avi", "-n"} << QStringList{} << "error: no preset given";
        QTest::newRow("no source") << QStringList{"--preset", Mp3} << QStringList{} << "error: no source file given";
        QTest::newRow("unknown option") << QStringList{"--frobnicate", "--help"} << QStringList{} << "error: unknown option --frobnicate";
        QTest::newRow("unknown short option") << QStringList{"-nx"} << QStringList{} << "error: unknown option -x";
        QTest::newRow("a value for a flag") << QStringList{"--json=yes"} << QStringList{} << "error: --json takes no value";
        QTest::newRow("a missing value") << QStringList{"--preset", Mp3, "a.avi", "-j"} << QStringList{} << "error: --jobs needs a value";
        QTest::newRow("negative jobs") << QStringList{"--preset", Mp3, "-j", "-1", "a.avi"} << QStringList{}
                                       << "error: --jobs needs a whole number";
        QTest::newRow("jobs in words") << QStringList{"--preset", Mp3, "--jobs=two", "a.avi"} << QStringList{}
                                       << "error: --jobs needs a whole number";

        // Folders, lists and shards: the whole list named first, then partitioned.
        const QStringList tree{"in/", "in/sub/", "in/b.avi", "in/a.mov", "in/sub/a.avi", "in/notes.txt", "in/a.avi"};
        QTest::newRow("a folder mirrored") << QStringList{"--preset", Mp3, "-r", "-d", "out", "in"} << tree
            << "j1; dir out; in/a.avi > out/a.mp3; in/a.mov > out/a (2).mp3; in/b.avi > out/b.mp3; in/sub/a.avi > out/sub/a.mp3";
        QTest::newRow("a folder beside its sources") << QStringList{"--preset", Mp3, "-r", "in/sub"} << tree
                                                     << "j1; in/sub/a.avi > in/sub/a.mp3";
        QTest::newRow("a folder without -r") << QStringList{"--preset", Mp3, "in"} << tree << "j1; in > in.mp3";
        QTest::newRow("a shard of the sorted list") << QStringList{"--preset", Mp3, "--files-from", "list", "--shard", "1/3", "-d", "out"}
            << QStringList{"list=e.avi|d.avi|c.avi||b.avi|a.avi|c.avi"} << "j1; dir out; #1 b.avi > out/b.mp3; #4 e.avi > out/e.mp3";
        QTest::newRow("a clash decided over the whole list") << QStringList{"--preset", Mp3, "--files-from=list", "--shard=1/2", "-dout"}
            << QStringList{"list=y/a.avi|x/a.avi"} << "j1; dir out; #1 y/a.avi > out/a (2).mp3";
        QTest::newRow("more shards than files") << QStringList{"--preset", Mp3, "--files-from", "list", "--shard", "2/3"}
                                                << QStringList{"list=a.avi"} << "j1";
        QTest::newRow("a list that cannot be read") << QStringList{"--preset", Mp3, "--files-from", "gone"} << QStringList{}
                                                    << "error: cannot read the list gone";
        QTest::newRow("a shard out of range") << QStringList{"--preset", Mp3, "--shard", "3/3", "a.avi"} << QStringList{}
                                              << "error: --shard needs I/N";
        QTest::newRow("-o with a folder") << QStringList{"--preset", Mp3, "-r", "-o", "x.mp3", "in"} << tree
                                          << "error: -o names the destination of one source";
        QTest::newRow("a watch folder") << QStringList{"--preset", Mp3, "--watch", "in", "-d", "out"} << tree << "watch in; dir out";
        QTest::newRow("a watch folder without -d") << QStringList{"--preset", Mp3, "--watch", "in"} << tree
                                                   << "error: --watch needs -d FOLDER";
        QTest::newRow("a watch folder into itself") << QStringList{"--preset", Mp3, "--watch", "in", "-d", "in/."} << tree
                                                    << "error: the watched folder cannot be the output folder too";
        QTest::newRow("a watch folder with sources") << QStringList{"--preset", Mp3, "--watch", "in", "-d", "out", "a.avi"} << tree
                                                     << "error: --watch takes its sources from the folder alone";

        // Options in their forms.
        QTest::newRow("bundled short options") << QStringList{"--preset", Mp3, "-nj4", "a.avi"} << QStringList{}
                                               << "j4; n; a.avi > a.mp3";
        QTest::newRow("an attached value") << QStringList{"--preset", Mp3, "-dout", "--jobs", "3", "a.avi"} << QStringList{}
                                           << "j3; dir out; a.avi > out/a.mp3";
        QTest::newRow("help first") << QStringList{"--help", "--frobnicate"} << QStringList{} << "help";
        QTest::newRow("version") << QStringList{"--version"} << QStringList{} << "version";
        QTest::newRow("presets in detail") << QStringList{"--list-presets", "--verbose"} << QStringList{} << "list verbose";
        QTest::newRow("presets as JSON") << QStringList{"--json", "--list-presets"} << QStringList{} << "list json";

        // The conversion's options, and their bad values named by their flag.
        QTest::newRow("tracks, a span, the date") << QStringList{"--preset", Mp3, "--audio", "deu", "--start=1:30", "--end", "2:00",
                                                              "--no-keep-date", "a.avi"}
                                                << QStringList{} << "j1; options sound deu · 1:30–2:00 · new date; a.avi > a.mp3";
        QTest::newRow("subtitles, a burn, a crop") << QStringList{"--preset", Ipod, "--subtitles=forced", "--burn", "2", "--crop",
                                                                  "auto", "--no-metadata", "a.avi"}
                                                   << QStringList{} << "j1; options subtitles forced · burn 2 · crop auto · no metadata; a.avi > a.mp4";
        QTest::newRow("a length") << QStringList{"--preset", Mp3, "--length", "90.5", "a.avi"} << QStringList{}
                                  << "j1; options 1:30.5 from 0:00; a.avi > a.mp3";
        QTest::newRow("a language that is none") << QStringList{"--preset", Mp3, "--audio", "klingon", "a.avi"} << QStringList{}
                                                 << "error: --audio takes first|all, a track number or a language code";
        QTest::newRow("an end before the start") << QStringList{"--preset", Mp3, "--start", "10", "--end", "5", "a.avi"}
                                                 << QStringList{} << "error: --end 0:05 is not after --start 0:10";
        QTest::newRow("end and length") << QStringList{"--preset", Mp3, "--end", "10", "--length", "5", "a.avi"} << QStringList{}
                                        << "error: --end and --length both set";
        QTest::newRow("a crop in words") << QStringList{"--preset", Mp3, "--crop", "wide", "a.avi"} << QStringList{}
                                         << "error: --crop takes auto, none or W:H:X:Y";
        QTest::newRow("a time in words") << QStringList{"--preset", Mp3, "--start", "soon", "a.avi"} << QStringList{}
                                         << "error: --start takes a time as [[h:]m:]s[.ms]";
        QTest::newRow("a switch with a value") << QStringList{"--no-metadata=yes"} << QStringList{}
                                               << "error: --no-metadata takes no value";
        QTest::newRow("a missing time") << QStringList{"--preset", Mp3, "a.avi", "--start"} << QStringList{}
                                        << "error: --start needs a value";
        QTest::newRow("a probe") << QStringList{"--probe", "a.mkv", "--json"} << QStringList{} << "probe a.mkv json";
        // Samples: an estimate, a size, a quality.
        QTest::newRow("an estimate") << QStringList{"--preset", H264, "a.mkv", "--estimate"} << QStringList{"a.mkv"}
                                     << "j1; estimate; a.mkv > a.mp4";
        QTest::newRow("a size") << QStringList{"--preset", H264, "--target-size", "1.4G", "a.mkv"} << QStringList{}
                                << "j1; target size:1400000000; a.mkv > a.mp4";
        QTest::newRow("a quality") << QStringList{"--preset", H264, "--target-quality=ssim:0.985", "a.mkv"} << QStringList{}
                                   << "j1; target ssim:0.985; a.mkv > a.mp4";
        QTest::newRow("a size that is none") << QStringList{"--preset", H264, "--target-size", "big", "a.mkv"} << QStringList{}
                                             << "error: --target-size: \"big\" is not a size";
        QTest::newRow("a size and a quality") << QStringList{"--preset", H264, "--target-size", "2M", "--target-quality",
                                                             "psnr:40", "a.mkv"}
                                              << QStringList{} << "error: a conversion aims at a size or at a quality";
        QTest::newRow("a size for a classic preset") << QStringList{"--preset", Ipod, "--target-size", "2M", "a.mkv"}
                                                     << QStringList{} << "error: --target-size works with the presets for today's";
        QTest::newRow("a quality for a copy") << QStringList{"--preset", "MKV (copy every stream, no re-encoding)",
                                                             "--target-quality", "ssim:0.98", "a.avi"}
                                              << QStringList{} << "error: --target-quality works with";
    }
    void parse()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, existing);
        QFETCH(QString, plan);
        arguments.prepend(QStringLiteral("vidomar"));
        const QString got = describe(parseCommandLine(arguments, probeOver(existing)));
        if (plan.startsWith(QLatin1String("error: ")))
            QVERIFY2(got.startsWith(plan), qPrintable(got));
        else
            QCOMPARE(got, plan);
    }
};

QTEST_GUILESS_MAIN(TestCommandLinePlan)
#include "tst_commandlineplan.moc"
