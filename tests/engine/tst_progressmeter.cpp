#include "engine/ProgressMeter.h"

#include <QtTest>

namespace {

// What the encoder prints for a 10 s input, progress lines ending in carriage returns.
const QString Recorded = QStringLiteral(
    "ffmpeg version 5.1 Copyright (c) 2000-2022 the FFmpeg developers\n"
    "Input #0, avi, from 'party.avi':\n"
    "  Metadata:\n"
    "    software        : Lavf59.27.100\n"
    "  Duration: 00:00:10.00, start: 0.000000, bitrate: 1944 kb/s\n"
    "  Stream #0:0: Video: mpeg4 (Simple Profile), yuv420p, 640x480, 25 fps\n"
    "Output #0, mp4, to 'party.mp4':\n"
    "    DURATION        : 00:01:00.000000000\n"
    "frame=    0 fps=0.0 q=0.0 size=       0kB time=N/A bitrate=N/A speed=N/A    \r"
    "frame=   50 fps=0.0 q=2.0 size=     256KiB time=00:00:02.00 bitrate=1048.6kbits/s speed=3.9x    \r"
    "frame=  130 fps=127 q=2.0 size=     768kB time=00:00:05.20 bitrate=1209.9kbits/s speed=5.1x    \r"
    "frame=  190 fps=125 q=2.0 size=N/A time=00:00:07.60 bitrate=N/A speed=5x    \r"
    "frame=  250 fps=124 q=2.0 Lsize=    1410kB time=00:00:10.00 bitrate=1155.1kbits/s speed=4.9x    \n"
    "video:1200kB audio:160kB subtitle:0kB other streams:0kB global headers:0kB muxing overhead: 1.2%\n");

} // namespace

class TestProgressMeter : public QObject {
    Q_OBJECT
private slots:
    // The estimate after a number of equal chunks: whole percents, fractions carried over.
    void estimate_data()
    {
        QTest::addColumn<qsizetype>("length");
        QTest::addColumn<int>("chunks");
        QTest::addColumn<qint64>("fileSize");
        QTest::addColumn<int>("ratio");
        QTest::addColumn<int>("percent");
        // 256 / (3,000,000 / 8200) * 100 = 69.97
        QTest::newRow("window example") << qsizetype(256) << 1 << qint64(1500000) << 2 << 69;
        QTest::newRow("capped at 99") << qsizetype(256) << 2 << qint64(1500000) << 2 << 99;
        QTest::newRow("empty chunks") << qsizetype(0) << 50 << qint64(1500000) << 2 << 0;
        // 240,000,000 x 9 overflows 32 bits; in 64 bits each chunk is worth 0.097 %, and the
        // fractions add up: 11 chunks make 1 %.
        QTest::newRow("large source, one chunk") << qsizetype(256) << 1 << qint64(240000000) << 9 << 0;
        QTest::newRow("large source, 11 chunks") << qsizetype(256) << 11 << qint64(240000000) << 9 << 1;
        QTest::newRow("6 GB source") << qsizetype(256) << 1000 << qint64(6) * 1000 * 1000 * 1000 << 2 << 17;
        QTest::newRow("tiny source") << qsizetype(256) << 1 << qint64(10) << 1 << 99;
        QTest::newRow("no size") << qsizetype(256) << 5 << qint64(0) << 2 << 0;
    }
    void estimate()
    {
        QFETCH(qsizetype, length);
        QFETCH(int, chunks);
        QFETCH(qint64, fileSize);
        QFETCH(int, ratio);
        QFETCH(int, percent);
        ProgressMeter meter;
        meter.reset(ratio);
        int value = 0;
        for (int i = 0; i < chunks; ++i)
            value = meter.feed(QString(length, QLatin1Char('x')), fileSize);
        QCOMPARE(value, percent);
        QCOMPARE(meter.estimate(), percent);
    }

    void clock_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("seconds"); // negative: not a clock
        QTest::newRow("plain") << "00:00:10.00" << 10.0;
        QTest::newRow("hours") << "01:02:03.50" << 3723.5;
        QTest::newRow("N/A") << "N/A" << -1.0;
        QTest::newRow("negative start") << "-00:00:00.02" << -1.0;
        QTest::newRow("two fields") << "00:10" << -1.0;
        QTest::newRow("garbage") << "aa:bb:cc" << -1.0;
        QTest::newRow("nan seconds") << "00:00:nan" << -1.0;
        QTest::newRow("inf seconds") << "00:00:inf" << -1.0;
        QTest::newRow("seconds beyond a double") << "00:00:1e999" << -1.0;
    }
    void clock()
    {
        QFETCH(QString, text);
        QFETCH(double, seconds);
        const auto parsed = ProgressMeter::parseClock(text);
        if (seconds < 0)
            QVERIFY(!parsed);
        else
            QCOMPARE(parsed.value_or(-1), seconds);
    }

    // However the text is cut into chunks, the reading is the same: 10 s input, last time 10 s.
    void recordedOutputInAnyChunking_data()
    {
        QTest::addColumn<int>("chunk");
        for (int chunk : {1, 7, 64, 255, 256, 100000})
            QTest::addRow("chunks of %d", chunk) << chunk;
    }
    void recordedOutputInAnyChunking()
    {
        QFETCH(int, chunk);
        ProgressMeter meter;
        meter.reset(2);
        int last = 0;
        for (qsizetype at = 0; at < Recorded.size(); at += chunk) {
            const int value = meter.feed(Recorded.mid(at, chunk), qint64(50) * 1000 * 1000);
            QVERIFY2(value >= last, "progress went back");
            last = value;
        }
        QCOMPARE(meter.duration().value_or(-1), 10.0);
        QCOMPARE(meter.time().value_or(-1), 10.0);
        QCOMPARE(last, 99);
    }

    void measuredSteps()
    {
        ProgressMeter meter;
        meter.reset(2);
        const qint64 size = qint64(50) * 1000 * 1000;
        QCOMPARE(meter.feed(QStringLiteral("  Duration: 00:00:10.00, start: 0.0\n"), size), 0);
        QCOMPARE(meter.feed(QStringLiteral("frame= 1 size=N/A time=N/A bitrate=N/A\r"), size), 0);
        QCOMPARE(meter.feed(QStringLiteral("frame= 50 size= 256KiB time=00:00:02.5"), size), 0);
        // The line is complete only once its carriage return arrives.
        QCOMPARE(meter.feed(QStringLiteral("0 bitrate=1.0kbits/s\r"), size), 25);
        QCOMPARE(meter.feed(QStringLiteral("frame= 190 size=N/A time=00:00:07.60 bitrate=N/A\r"), size), 76);
        // A time of N/A keeps the last reading, and so does one that is not a number.
        QCOMPARE(meter.feed(QStringLiteral("frame= 191 size=N/A time=N/A bitrate=N/A\r"), size), 76);
        QCOMPARE(meter.feed(QStringLiteral("frame= 192 size=N/A time=00:00:nan bitrate=N/A\r"), size), 76);
        QCOMPARE(meter.feed(QStringLiteral("frame= 193 size=N/A time=00:00:inf bitrate=N/A\r"), size), 76);
    }

    void estimateWithoutDuration()
    {
        ProgressMeter meter;
        meter.reset(2);
        const QString chunk(256, QLatin1Char('x'));
        QCOMPARE(meter.feed(chunk, 1500000), 69);
        QCOMPARE(meter.feed(chunk, 1500000), 99);
        QCOMPARE(meter.feed(chunk, 1500000), 99);
        // An input of unknown length leaves the estimate in charge.
        QCOMPARE(meter.feed(QStringLiteral("Duration: N/A, start\ntime=00:00:01.00\r"), 1500000), 99);
        QVERIFY(!meter.duration());
    }
};

QTEST_APPLESS_MAIN(TestProgressMeter)
#include "tst_progressmeter.moc"
