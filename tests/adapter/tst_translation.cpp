#include "Ffmpeg.h"
#include "FileNames.h"
#include "MatroskaFit.h"
#include "OptionArguments.h"
#include "Translator.h"

#include <QtTest>

namespace {

std::vector<std::string> toStd(const QStringList &list)
{
    std::vector<std::string> result;
    for (const QString &s : list)
        result.push_back(s.toStdString());
    return result;
}

std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string> &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

QStringList toQt(const std::vector<std::string> &list)
{
    QStringList result;
    for (const std::string &s : list)
        result << QString::fromStdString(s);
    return result;
}

QString note(const char *text)
{
    return QLatin1String("avformat.dll: ") + QLatin1String(text);
}

}

class TestTranslation : public QObject {
    Q_OBJECT
private slots:
    // One row per row of the translation table, plus the edges of its value rules.
    void rows_data()
    {
        QTest::addColumn<QStringList>("old");
        QTest::addColumn<bool>("amrEncoder");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QStringList>("notes");

        const auto row = [](const char *name, const QString &old, const QString &expected,
                            const QStringList &notes = {}, bool amr = false) {
            QTest::newRow(name) << old.split(' ') << amr << expected.split(' ') << notes;
        };
        row("-b kbit/s", "-b 512 o.avi", "-b:v 512k o.avi", {note("-b counts kbit/s; using -b:v 512k")});
        row("-b decimal", "-b 1.5 o.avi", "-b:v 1.5k o.avi", {note("-b counts kbit/s; using -b:v 1.5k")});
        row("-b below bit/s", "-b 99999 o.avi", "-b:v 99999k o.avi", {note("-b counts kbit/s; using -b:v 99999k")});
        row("-b already bit/s", "-b 100000 o.avi", "-b:v 100000 o.avi", {note("-b counts kbit/s; using -b:v 100000")});
        row("-b with k", "-b 512k o.avi", "-b:v 512k o.avi", {note("-b counts kbit/s; using -b:v 512k")});
        row("-b with M", "-b 2M o.avi", "-b:v 2M o.avi", {note("-b counts kbit/s; using -b:v 2M")});
        row("-b not a number", "-b 5x12 o.avi", "-b:v 5x12 o.avi", {note("-b counts kbit/s; using -b:v 5x12")});
        row("-ab kbit/s", "-ab 64 o.avi", "-b:a 64k o.avi", {note("-ab counts kbit/s; using -b:a 64k")});
        row("-ab below bit/s", "-ab 9999 o.avi", "-b:a 9999k o.avi", {note("-ab counts kbit/s; using -b:a 9999k")});
        row("-ab already bit/s", "-ab 10000 o.avi", "-b:a 10000 o.avi", {note("-ab counts kbit/s; using -b:a 10000")});
        row("-ab with k", "-ab 128k o.avi", "-b:a 128k o.avi", {note("-ab counts kbit/s; using -b:a 128k")});
        row("-bt kbit/s", "-bt 60 o.avi", "-bt 60k o.avi", {note("-bt counts kbit/s; using 60k")});
        row("-bt already bit/s", "-bt 100000 o.avi", "-bt 100000 o.avi");
        row("-maxrate kbit/s", "-maxrate 1500 o.avi", "-maxrate 1500k o.avi", {note("-maxrate counts kbit/s; using 1500k")});
        row("-maxrate with M", "-maxrate 8M o.avi", "-maxrate 8M o.avi");
        row("-bufsize kilobytes", "-bufsize 128 o.avi", "-bufsize 1048576 o.avi", {note("-bufsize counts kilobytes; using 1048576")});
        row("-bufsize with k", "-bufsize 500k o.avi", "-bufsize 500k o.avi");
        row("-bufsize already bits", "-bufsize 1835008 o.avi", "-bufsize 1835008 o.avi");
        row("-r 29.97", "-r 29.97 o.avi", "-r 30000/1001 o.avi", {note("29.97 is the NTSC rate; using 30000/1001")});
        row("-r 23.976", "-r 23.976 o.avi", "-r 24000/1001 o.avi", {note("23.976 is the NTSC film rate; using 24000/1001")});
        row("-r 59.94", "-r 59.94 o.avi", "-r 60000/1001 o.avi", {note("59.94 is the NTSC field rate; using 60000/1001")});
        row("-r 11 kept", "-r 11 o.avi", "-r 11 o.avi");
        row("-vcodec xvid", "-vcodec xvid o.avi", "-vcodec libxvid o.avi", {note("xvid is now libxvid; using libxvid")});
        row("-vcodec h264", "-vcodec h264 o.avi", "-vcodec libx264 o.avi", {note("h264 is now libx264; using libx264")});
        row("-vcodec mpeg4 kept", "-vcodec mpeg4 o.avi", "-vcodec mpeg4 o.avi");
        row("-acodec mp3", "-acodec mp3 o.avi", "-acodec libmp3lame o.avi", {note("mp3 is now libmp3lame; using libmp3lame")});
        row("-acodec aac kept", "-acodec aac o.avi", "-acodec aac o.avi");
        row("-acodec amr_nb available", "-acodec amr_nb o.3gp", "-acodec libopencore_amrnb o.3gp",
            {note("amr_nb is now libopencore_amrnb; using libopencore_amrnb")}, true);
        row("-acodec amr_nb missing", "-acodec amr_nb o.3gp", "-acodec aac o.3gp",
            {note("amr_nb is not available here; using aac")});
        row("-qscale", "-vcodec mpeg4 -qscale 25 o.avi", "-vcodec mpeg4 -q:v 25 o.avi", {note("-qscale is now -q:v; using -q:v 25")});
        row("-qscale for h264", "-vcodec h264 -qscale 25 o.avi", "-vcodec libx264 o.avi",
            {note("h264 is now libx264; using libx264"), note("x264 takes no -qscale; dropping -qscale 25")});
        row("-qscale before libx264", "-qscale 25 -c:v libx264 o.avi", "-c:v libx264 o.avi",
            {note("x264 takes no -qscale; dropping -qscale 25")});
        row("-sameq with -b", "-b 360 -sameq o.avi", "-b:v 360k o.avi",
            {note("-b counts kbit/s; using -b:v 360k"), note("-sameq is gone and -b sets the rate; dropping -sameq")});
        row("-sameq alone", "-sameq o.avi", "-q:v 2 o.avi", {note("-sameq is gone; using -q:v 2")});
        row("-deinterlace", "-s 320x240 -deinterlace o.avi", "-s 320x240 -vf yadif o.avi",
            {note("-deinterlace is now a filter; using -vf yadif")});
        row("-deinterlace before other filters", "-vf hflip -deinterlace o.avi", "-vf yadif,hflip o.avi",
            {note("-deinterlace is now a filter; using -vf yadif")});
        row("-vtag", "-vtag XVID o.avi", "-tag:v XVID o.avi", {note("-vtag is now -tag:v; using -tag:v XVID")});
        row("-atag", "-atag 0x55 o.avi", "-tag:a 0x55 o.avi", {note("-atag is now -tag:a; using -tag:a 0x55")});
        row(".rm bounds the rate", "-vcodec rv20 o.rm", "-vcodec rv20 -bufsize 500k -maxrate 8M o.rm",
            {note("RealMedia needs small packets; adding -bufsize 500k -maxrate 8M")});
        row(".rm with a rate limit", "-bufsize 128 o.rm", "-bufsize 1048576 o.rm", {note("-bufsize counts kilobytes; using 1048576")});
        row(".mov without codec", "-b 360 o.mov", "-b:v 360k -c:v mpeg4 o.mov",
            {note("-b counts kbit/s; using -b:v 360k"), note("mpeg4 was the default video codec; adding -c:v mpeg4")});
        row(".MP4 in capitals", "o.MP4", "-c:v mpeg4 o.MP4", {note("mpeg4 was the default video codec; adding -c:v mpeg4")});
        row(".mp4 with codec", "-vcodec mpeg4 o.mp4", "-vcodec mpeg4 o.mp4");
        row(".mp3 takes no video", "-acodec aac o.mp3", "-acodec aac -vn o.mp3", {note("the format takes no video; adding -vn")});
        row("-f wav takes no video", "-f wav o.out", "-f wav -vn o.out", {note("the format takes no video; adding -vn")});
        row("-f avi into .mp3", "-f avi o.mp3", "-f avi o.mp3");
        row("input -f is not the output's", "-f lavfi -i sine o.mp3", "-f lavfi -i sine -vn o.mp3",
            {note("the format takes no video; adding -vn")});
        row("no extension", "-y out", "-y out");
        row("folder with a dot", "-y d.mp4/out", "-y d.mp4/out");
        row("unknown options pass", "-threads 2 -metadata title=x -y o.avi", "-threads 2 -metadata title=x -y o.avi");
        row("source named like an option", "-i -b -y o.avi", "-i -b -y o.avi");
        row("option value like an old option", "-metadata -sameq o.avi", "-metadata -sameq o.avi");
        row("value missing at the end", "-i in.avi -b", "-i in.avi -b");
        row("destination named like an option", "-i -y.avi -y -y.mp4", "-i -y.avi -y -c:v mpeg4 -y.mp4",
            {note("mpeg4 was the default video codec; adding -c:v mpeg4")});
        // A line that names its streams or codecs in today's syntax gets nothing added.
        row("-c copy into .mp4", "-i s.avi -c copy x.mp4", "-i s.avi -c copy x.mp4");
        row("-codec copy into .mov", "-codec copy x.mov", "-codec copy x.mov");
        row("-c:a into .mp4", "-c:a aac x.mp4", "-c:a aac x.mp4");
        row("-codec:a into .mp3", "-codec:a libmp3lame x.mp3", "-codec:a libmp3lame x.mp3");
        row("-c:v:0 into .mp4", "-c:v:0 libx264 x.mp4", "-c:v:0 libx264 x.mp4");
        row("-c:v into .rm", "-c:v rv20 x.rm", "-c:v rv20 x.rm");
        row("-vn into .m4a", "-vn -c:a aac x.m4a", "-vn -c:a aac x.m4a");
        row("-an into .mp4", "-an x.mp4", "-an x.mp4");
        row("-sn into .flac", "-sn x.flac", "-sn x.flac");
        row("-map into .mp4", "-map 0 x.mp4", "-map 0 x.mp4");
        row("old options still translated", "-c:a aac -ab 64 x.m4a", "-c:a aac -b:a 64k x.m4a",
            {note("-ab counts kbit/s; using -b:a 64k")});
    }
    void rows()
    {
        QFETCH(QStringList, old);
        QFETCH(bool, amrEncoder);
        QFETCH(QStringList, expected);
        QFETCH(QStringList, notes);
        const Translator translator([&](std::string_view encoder) {
            return amrEncoder && encoder == "libopencore_amrnb";
        });
        const Translation result = translator.translate(toStd(old));
        QCOMPARE(toQt(result.arguments), expected);
        QCOMPARE(toQt(result.notes), notes);
    }

    // The engine's full lines for two presets, as the program would pass them.
    void presetLines_data()
    {
        QTest::addColumn<QString>("old");
        QTest::addColumn<QString>("expected");
        QTest::newRow("Sony PSP (PSP AVC)")
            << "-i s.avi -y -b 400 -r 29.97 -s 368x208 -vcodec h264 -bufsize 128 -g 250 -qscale 25 -maxrate 1500 "
               "-acodec aac -ab 128 -ar 48000 -ac 2 d.avi"
            << "-i s.avi -y -b:v 400k -r 30000/1001 -s 368x208 -vcodec libx264 -bufsize 1048576 -g 250 -maxrate 1500k "
               "-acodec aac -b:a 128k -ar 48000 -ac 2 d.avi";
        QTest::newRow("QuickTime MOV")
            << "-i s.avi -y -b 360 -r 29.97 -s 320x240 -deinterlace -sameq -acodec aac -ab 48 -ar 44100 -ac 2 d.mov"
            << "-i s.avi -y -b:v 360k -r 30000/1001 -s 320x240 -vf yadif -acodec aac -b:a 48k -ar 44100 -ac 2 "
               "-c:v mpeg4 d.mov";
        QTest::newRow("RM (RealONE/RealPlayer)")
            << "-i s.avi -y -vcodec rv20 -deinterlace -sameq -ar 44100 -ac 2 d.rm"
            << "-i s.avi -y -vcodec rv20 -vf yadif -q:v 2 -ar 44100 -ac 2 -bufsize 500k -maxrate 8M d.rm";
        QTest::newRow("WAVE Sound (WAV)")
            << "-i s.avi -y -f wav -acodec pcm_s16le -ab 128 -ar 41000 -ac 2 d.wav"
            << "-i s.avi -y -f wav -acodec pcm_s16le -b:a 128k -ar 41000 -ac 2 -vn d.wav";
    }
    void presetLines()
    {
        QFETCH(QString, old);
        QFETCH(QString, expected);
        const Translation result = Translator(nullptr).translate(toStd(old.split(' ')));
        QCOMPARE(toQt(result.arguments).join(' '), expected);
        QVERIFY(result.destination);
        QCOMPARE(*result.destination, result.arguments.size() - 1);
    }

    // A conversion's options joined into a preset's line: the start before the input, the maps
    // in place of the preset's, the filters in its one chain after the deinterlacer, subtitles
    // kept past its -sn.
    void optionBlocks_data()
    {
        QTest::addColumn<QString>("given");    // the job's arguments after the adapter's name
        QTest::addColumn<QString>("expected"); // the input options, then the line
        QTest::addColumn<QStringList>("notes");
        QTest::newRow("a classic line: start, crop after its deinterlacer")
            << "--options 4 -ss 10.000 -vf crop=100:80:0:20 -i s.avi -y -b 360 -r 29.97 -s 320x240 -deinterlace "
               "-sameq -acodec aac -ab 48 -ar 44100 -ac 2 d.mov"
            << "-ss 10.000 -i s.avi -y -b:v 360k -r 30000/1001 -s 320x240 -acodec aac -b:a 48k -ar 44100 -ac 2 "
               "-c:v mpeg4 -vf yadif,crop=100:80:0:20 d.mov"
            << QStringList();
        QTest::newRow("today's line: tracks in place of its maps, subtitles past its -sn")
            << "--as-written --options 8 -map 0:0 -map 0:2 -c:s:0 mov_text -t 10.000 -i s.mkv -map 0:V:0 -map 0:a:0? "
               "-c:v libx264 -vf scale=w='max(2,iw)':h=-2 -sn -movflags +faststart d.mp4"
            << "-i s.mkv -c:v libx264 -vf scale=w='max(2,iw)':h=-2 -movflags +faststart -map 0:0 -map 0:2 "
               "-c:s:0 mov_text -t 10.000 d.mp4"
            << QStringList();
        QTest::newRow("text burned on the file's own clock, after the crop, before the scaling")
            << "--as-written --options 6 -ss 5.000 -vf crop=2:2:0:0 --burn-subtitles 1 -i we'ird:a,b.mkv "
               "-vf bwdif=mode=send_frame:deint=interlaced,scale=w='min(iw,2)':h=-2 d.mp4"
            << "-ss 5.000 -i we'ird:a,b.mkv -vf bwdif=mode=send_frame:deint=interlaced,crop=2:2:0:0,"
               "setpts=PTS+5.000/TB,subtitles=filename=./we\\\\\\'ird\\\\:a\\,b.mkv:si=1,setpts=PTS-5.000/TB,"
               "scale=w='min(iw,2)':h=-2 d.mp4"
            << QStringList();
        QTest::newRow("pictures laid over the video, the chain after them")
            << "--as-written --options 6 --burn-overlay 0:5 -map 0:1 --note hello -i s.mkv -map 0:V:0 -vf scale=2:2 d.mp4"
            << "-i s.mkv -filter_complex [0:0][0:5]overlay=eof_action=pass,scale=2:2[burned] -map [burned] -map 0:1 d.mp4"
            << QStringList{note("hello")};
        QTest::newRow("an empty block changes nothing")
            << "--options 0 -i s.avi -y -acodec mp3 d.mp3" << "-i s.avi -y -acodec libmp3lame -vn d.mp3" << QStringList();
    }
    void optionBlocks()
    {
        QFETCH(QString, given);
        QFETCH(QString, expected);
        QFETCH(QStringList, notes);
        std::vector<std::string> arguments = toStd(given.split(' '));
        std::string error;
        const std::optional<OptionArguments::Block> block = OptionArguments::take(arguments, error);
        QVERIFY(block);
        QCOMPARE(error, std::string());
        Translation translation = arguments.front() == "--as-written"
            ? Translator::asWritten({arguments.begin() + 1, arguments.end()})
            : Translator(nullptr).translate(arguments);
        const std::vector<std::string> input = OptionArguments::apply(translation, *block);
        QCOMPARE(toQt(input + translation.arguments).join(' '), expected);
        QCOMPARE(*translation.destination, translation.arguments.size() - 1);
        QCOMPARE(toQt(translation.notes).filter("hello"), notes);
    }

    // The program's flags ahead of the job's "-i" come in any order.
    void flagsInAnyOrder_data()
    {
        QTest::addColumn<QString>("given");
        QTest::newRow("span first") << "--span 5.000 --as-written --options 2 -ss 1.000 -i s.mkv d.mkv";
        QTest::newRow("block first") << "--options 2 -ss 1.000 --as-written --span 5.000 -i s.mkv d.mkv";
        QTest::newRow("marker first") << "--as-written --options 2 -ss 1.000 --span 5.000 -i s.mkv d.mkv";
    }
    void flagsInAnyOrder()
    {
        QFETCH(QString, given);
        std::vector<std::string> arguments = toStd(given.split(' '));
        std::string error;
        const std::optional<OptionArguments::Block> block = OptionArguments::take(arguments, error);
        QVERIFY(block);
        QCOMPARE(toQt(block->pairs), QStringList({"-ss", "1.000"}));
        QCOMPARE(OptionArguments::takeSpan(arguments), 5.0);
        QCOMPARE(toQt(arguments).join(' '), QStringLiteral("--as-written -i s.mkv d.mkv"));
    }

    void malformedOptionBlock_data()
    {
        QTest::addColumn<QString>("given");
        QTest::newRow("an odd count") << "--options 3 -map 0:1 x -i s d";
        QTest::newRow("past the end") << "--options 8 -map 0:1";
        QTest::newRow("no count") << "--options -i s d";
    }
    void malformedOptionBlock()
    {
        QFETCH(QString, given);
        std::vector<std::string> arguments = toStd(given.split(' '));
        std::string error;
        QVERIFY(!OptionArguments::take(arguments, error));
        QVERIFY(!error.empty());
    }

    // ffmpeg is asked for its encoders only when amr_nb is wanted, and then once.
    void encoderQueryOnlyForAmr_data()
    {
        QTest::addColumn<QString>("old");
        QTest::addColumn<int>("queries");
        QTest::newRow("no amr_nb") << "-acodec aac -ab 48 o.3gp" << 0;
        QTest::newRow("amr_nb") << "-acodec amr_nb o.3gp" << 1;
        QTest::newRow("amr_nb twice") << "-acodec amr_nb -acodec amr_nb o.3gp" << 1;
    }
    void encoderQueryOnlyForAmr()
    {
        QFETCH(QString, old);
        QFETCH(int, queries);
        int asked = 0;
        const Translator translator([&](std::string_view) {
            ++asked;
            return false;
        });
        translator.translate(toStd(old.split(' ')));
        QCOMPARE(asked, queries);
    }

    // The inputs and the destination reach ffmpeg as names that can only be files.
    void fileNames_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("expected");
        QTest::newRow("relative") << "-i in.avi -y out.avi" << "-i ./in.avi -y ./out.avi";
        QTest::newRow("absolute kept") << "-i /d/in.avi /d/out.avi" << "-i /d/in.avi /d/out.avi";
        QTest::newRow("already relative to here") << "-i ./in.avi ../out.avi" << "-i ./in.avi ../out.avi";
        QTest::newRow("protocol-like") << "-i file:ok.avi pipe:1.wav" << "-i ./file:ok.avi -vn ./pipe:1.wav";
        QTest::newRow("time-like") << "-i 2024-05-01T12:30.avi o.avi" << "-i ./2024-05-01T12:30.avi ./o.avi";
        QTest::newRow("option-like") << "-i -y.avi -y -y.avi" << "-i ./-y.avi -y ./-y.avi";
        QTest::newRow("standard output is a file too") << "-i in.avi -" << "-i ./in.avi ./-";
        QTest::newRow("an input format's own name") << "-f lavfi -i sine -i in.avi o.avi"
                                                    << "-f lavfi -i sine -i ./in.avi ./o.avi";
        QTest::newRow("values are not names") << "-i in.avi -metadata t=x -vf scale=2:2 o.avi"
                                              << "-i ./in.avi -metadata t=x -vf scale=2:2 ./o.avi";
        // A line in today's syntax: the job's own source and destination only; the rest is the user's.
        QTest::newRow("as written") << "--as-written -i in.avi -y -i logo.png -maxrate 900 o.mp4"
                                    << "-i ./in.avi -y -i logo.png -maxrate 900 ./o.mp4";
    }
    void fileNames()
    {
        QFETCH(QString, line);
        QFETCH(QString, expected);
        QStringList tokens = line.split(' ');
        const bool asWritten = tokens.first() == QLatin1String("--as-written");
        Translation translation = asWritten ? Translator::asWritten(toStd(tokens.mid(1)))
                                            : Translator(nullptr).translate(toStd(tokens));
        FileNames::makeFileNames(translation.arguments, translation.destination, translation.asWritten);
        QCOMPARE(toQt(translation.arguments).join(' '), expected);
    }

    void listsEncoder_data()
    {
        QTest::addColumn<QString>("listing");
        QTest::addColumn<bool>("listed");
        const QString header = QStringLiteral("Encoders:\n V..... = Video\n ------\n");
        QTest::newRow("listed") << header + " A..... libopencore_amrnb    OpenCORE AMR-NB (codec amr_nb)\n" << true;
        QTest::newRow("last line without end") << header + " A..... libopencore_amrnb OpenCORE" << true;
        QTest::newRow("absent") << header + " A..... aac                  AAC\n" << false;
        QTest::newRow("longer name") << header + " A..... libopencore_amrnbx  x\n" << false;
        QTest::newRow("only in a description") << header + " A..... amr  uses libopencore_amrnb\n" << false;
        QTest::newRow("empty") << QString() << false;
    }
    void listsEncoder()
    {
        QFETCH(QString, listing);
        QFETCH(bool, listed);
        QCOMPARE(Ffmpeg::listsEncoder(listing.toStdString(), "libopencore_amrnb"), listed);
    }

    // The streams ffmpeg lists for a source, and what the copy into Matroska adds for them.
    void matroskaFit_data()
    {
        QTest::addColumn<QString>("listing");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("notes");
        const QString input = QStringLiteral("Input #0, mov,mp4,m4a,3gp,3g2,mj2, from 'in.mov':\n  Duration: 00:00:01.02\n"
                                             "  Stream #0:0[0x1](und): Video: h264 (avc1 / 0x31637661), yuv420p\n"
                                             "    Metadata:\n      handler_name    : VideoHandler\n");
        const QString movText = QStringLiteral("  Stream #0:%1[0x3](eng): Subtitle: mov_text (tx3g / 0x67337874), 0 kb/s\n");
        const QString srt = QStringLiteral("  Stream #0:%1: Subtitle: subrip\n");
        QTest::newRow("video only") << input << QStringList() << QStringList();
        QTest::newRow("phone video with subtitles and a timecode")
            << input + movText.arg(1) + "  Stream #0:2[0x4](eng): Data: none (tmcd / 0x64636D74), 0 kb/s\n"
            << QStringList{"-c:s:0", "srt"}
            << QStringList{"avformat.dll: Matroska cannot hold mov_text subtitles; converting stream #0:1 (mov_text) to SRT",
                           "avformat.dll: Matroska holds no data streams; leaving out stream #0:2 (tmcd)"};
        QTest::newRow("the subtitle index counts only what is written")
            << input + srt.arg(1) + "  Stream #0:2: Subtitle: xsub\n" + movText.arg(3)
            << QStringList{"-map", "-0:2", "-c:s:1", "srt"}
            << QStringList{"avformat.dll: Matroska cannot hold xsub subtitles; leaving out stream #0:2 (xsub)",
                           "avformat.dll: Matroska cannot hold mov_text subtitles; converting stream #0:3 (mov_text) to SRT"};
        QTest::newRow("an output listing is not the source's")
            << input + "Output #0, matroska, to 'o.mkv':\n" + movText.arg(1) << QStringList() << QStringList();
    }
    void matroskaFit()
    {
        QFETCH(QString, listing);
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, notes);
        const MatroskaFit::Fit fit = MatroskaFit::fit(Ffmpeg::listedStreams(listing.toStdString()));
        QCOMPARE(toQt(fit.arguments), arguments);
        QCOMPARE(toQt(fit.notes), notes);
    }

    void findFfmpeg()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString folder = dir.path();
        const auto makeFile = [&](const QString &name, QFile::Permissions permissions) {
            QFile file(folder + '/' + name);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("#!/bin/sh\n");
            file.close();
            QVERIFY(file.setPermissions(permissions));
        };
        makeFile(QStringLiteral("ffmpeg"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        makeFile(QStringLiteral("plain"), QFile::ReadOwner | QFile::WriteOwner);
        QVERIFY(QDir(folder).mkdir(QStringLiteral("sub")));
        const std::string f = folder.toStdString();
        const std::string path = "/nonexistent:" + f + "/sub:" + f;

        QCOMPARE(Ffmpeg::find("", path.c_str()).value_or("none"), f + "/ffmpeg");
        QCOMPARE(Ffmpeg::find("", "/nonexistent").value_or("none"), std::string("none"));
        QCOMPARE(Ffmpeg::find(f + "/ffmpeg", "").value_or("none"), f + "/ffmpeg");
        QCOMPARE(Ffmpeg::find(f + "/missing", path.c_str()).value_or("none"), std::string("none"));
        QCOMPARE(Ffmpeg::find(f + "/plain", path.c_str()).value_or("none"), std::string("none"));
        QCOMPARE(Ffmpeg::find(f + "/sub", path.c_str()).value_or("none"), std::string("none"));
        QCOMPARE(Ffmpeg::find("plain", path.c_str()).value_or("none"), std::string("none"));
    }
};

QTEST_MAIN(TestTranslation)
#include "tst_translation.moc"
