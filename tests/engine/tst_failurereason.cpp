#include "engine/FailureReason.h"

#include <QtTest>

#include <csignal>

class TestFailureReason : public QObject {
    Q_OBJECT
private slots:
    // Tails of real ffmpeg and adapter output, and the line a failed conversion names.
    void tellingLine_data()
    {
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("line");
        const QString progress = QStringLiteral("frame=  998 fps=283 q=2.0 size=    1024kB time=00:00:39.92 "
                                                "bitrate= 210.1kbits/s speed=11.3x    \r");
        const QString listing = QStringLiteral("Output #0, mp4, to '/d/out.mp4':\n  Stream #0:0: Video: mpeg4\n"
                                               "Press [q] to stop, [?] for help\n");
        QTest::newRow("ffmpeg's own error") << "in.avi: Invalid data found when processing input\n"
                                            << "in.avi: Invalid data found when processing input";
        const QString fullDisk = listing + progress
            + "Error writing trailer of /d/out.mp4: No space left on device\n"
              "frame= 1000 fps=283 q=2.0 Lsize=       0kB time=00:00:40.00 bitrate=   0.1kbits/s speed=11.3x    \n"
              "video:118kB audio:26kB subtitle:0kB other streams:0kB global headers:0kB muxing overhead: unknown\n"
              "Error closing file /d/out.mp4: No space left on device\n"
              "[libx264 @ 0x55c37b96b4c0] kb/s:44.90\n[aac @ 0x557eb5337cc0] Qavg: 609.788\nConversion failed!\n";
        QTest::newRow("full disk, ffmpeg alone") << fullDisk << "Error closing file /d/out.mp4: No space left on device";
        QTest::newRow("full disk, the adapter's closing line")
            << fullDisk + "/d/out.mp4: No space left on device\n" << "/d/out.mp4: No space left on device";
        QTest::newRow("audio progress") << "Output #0, mp3, to 'o.mp3':\nsize=      24kB time=00:00:01.50 bitrate= 128.0kbits/s\r"
                                        << QString();
        QTest::newRow("killed encoder") << listing + progress + "\nffmpeg ended by signal 9 (Killed)\n"
                                        << "ffmpeg ended by signal 9 (Killed)";
        QTest::newRow("stopped encoder") << listing + progress + "Exiting normally, received signal 15.\n" << QString();
        QTest::newRow("no sound track") << listing + "Output file #0 does not contain any stream\n"
                                           "the source has no sound track\n"
                                        << "the source has no sound track";
        QTest::newRow("x264 statistics") << "[libx264 @ 0x5] frame I:1     Avg QP:12.00  size:  3264\n"
                                            "[libx264 @ 0x5] mb I  I16..4: 79.1%  8.0% 12.9%\n"
                                            "[libx264 @ 0x5] ref P L0: 72.8%  5.8% 18.5%  2.9%\n"
                                         << QString();
        QTest::newRow("only progress") << progress + progress << QString();
        // A known cause wins over the consequences and chatter ffmpeg prints below it.
        QTest::newRow("no extension") << "[NULL @ 0x5590650e5a80] Unable to find a suitable output format for 'noext'\n"
                                         "noext: Invalid argument\n"
                                      << "noext: the destination name has no extension ffmpeg knows";
        QTest::newRow("codec the container cannot hold")
            << "[mp4 @ 0x56308fe16a80] Could not find tag for codec wmv2 in stream #0, codec not currently supported "
               "in container\nCould not write header for output file #0 (incorrect codec parameters ?): Invalid "
               "argument\nError initializing output stream 0:0 -- \nConversion failed!\n"
            << "this container cannot hold that codec (wmv2)";
        QTest::newRow("subtitles Matroska cannot hold")
            << "[matroska @ 0x55efe4fe1980] Subtitle codec 94213 is not supported.\nCould not write header for output "
               "file #0 (incorrect codec parameters ?): Function not implemented\nError initializing output stream "
               "0:3 -- \nStream mapping:\n  Stream #0:0 -> #0:0 (copy)\n    Last message repeated 1 times\n"
            << "this container cannot hold that codec";
        QTest::newRow("cover art only") << "Stream map '0:V:0' matches no streams.\nTo ignore this, add a trailing '?' "
                                           "to the map.\n"
                                        << "the source has no video; use an audio preset";
        QTest::newRow("no sound for an audio preset") << "Stream map '0:a:0' matches no streams.\n"
                                                      << "the source has no sound track";
        QTest::newRow("no extension, older wording") << "Unable to find a suitable output format for 'o.xyz'\n"
                                                        "o.xyz: Invalid argument\n"
                                                     << "o.xyz: the destination name has no extension ffmpeg knows";
        QTest::newRow("unknown encoder") << "Unknown encoder 'libfoo'\n" << "this ffmpeg has no encoder named libfoo";
        QTest::newRow("unknown option") << "Unrecognized option 'crff'.\nError splitting the argument list: Option not "
                                           "found\n"
                                        << "ffmpeg does not know the option -crff";
        QTest::newRow("no stream for a map") << "Stream map '0:s:1' matches no streams.\n"
                                             << "the source has no stream that -map 0:s:1 asks for";
        QTest::newRow("too small for H.265")
            << "[libx265 @ 0x563690883f80] Image size is too small (2x2).\nError initializing output stream 0:0 -- "
               "Error while opening encoder for output stream #0:0 - maybe incorrect parameters such as bit_rate, "
               "rate, width or height\nConversion failed!\n"
            << "the picture (2x2) is too small for H.265; use an H.264 preset";
        QTest::newRow("cut short in the metadata") << listing + "    Metadata:\n      encoder         : Lavc59.37.100 aac\n"
                                                   << QString();
        QTest::newRow("the adapter's notes") << "avformat.dll: -b counts kbit/s; using 512k\n" << QString();
        QTest::newRow("nothing") << QString() << QString();
    }
    void tellingLine()
    {
        QFETCH(QString, output);
        QFETCH(QString, line);
        QCOMPARE(FailureReason::tellingLine(output), line);
    }

    void killedBy()
    {
        QCOMPARE(FailureReason::killedBy(SIGKILL), QStringLiteral("the encoder was killed by signal 9 (Killed)"));
        QCOMPARE(FailureReason::killedBy(SIGSEGV), QStringLiteral("the encoder was killed by signal 11 (Segmentation fault)"));
    }
};

QTEST_GUILESS_MAIN(TestFailureReason)
#include "tst_failurereason.moc"
