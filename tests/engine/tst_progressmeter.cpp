#include "engine/PausableClock.h"
#include "engine/ProgressMeter.h"

#include <QFile>
#include <QtTest>

namespace {

// One recorded conversion: what each read of the encoder's output brought, and when.
struct Recording {
    qint64 fileSize = 0;
    int ratio = 0;
    QList<QPair<qint64, QByteArray>> reads; // milliseconds since the start, bytes
};

// The format record-encoder-output writes: comment lines, "size N ratio R", then for each read
// "<ms> <count>", a newline, the bytes and a newline.
Recording loadRecording(const QString &path)
{
    Recording recording;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return recording;
    const QByteArray data = file.readAll();
    qsizetype at = 0;
    const auto line = [&] {
        const qsizetype end = data.indexOf('\n', at);
        const QByteArray text = data.mid(at, (end < 0 ? data.size() : end) - at);
        at = end < 0 ? data.size() : end + 1;
        return text;
    };
    while (at < data.size()) {
        const QList<QByteArray> fields = line().split(' ');
        if (fields.value(0).startsWith('#'))
            continue;
        if (fields.value(0) == "size") {
            recording.fileSize = fields.value(1).toLongLong();
            recording.ratio = fields.value(3).toInt();
            continue;
        }
        const qsizetype count = fields.value(1).toLongLong();
        recording.reads.append({fields.value(0).toLongLong(), data.mid(at, count)});
        at += count + 1;
    }
    return recording;
}

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
        for (int i = 0; i < chunks; ++i)
            meter.feed(QString(length, QLatin1Char('x')), fileSize);
        QCOMPARE(meter.estimate(), percent);
    }

    // The figure shown after each chunk: nothing for the start-up text before "Duration:", the
    // encoder's time once it is known, the estimate for an encoder that never says; never back.
    void shown_data()
    {
        QTest::addColumn<QStringList>("chunks");
        QTest::addColumn<QList<int>>("values");
        // 60,000,000 bytes at ratio 2: every 256 characters are worth 1.75 % of the estimate.
        const QString block(256, QLatin1Char('x'));
        const QString duration = QStringLiteral("  Duration: 00:00:10.00, start: 0.0\n");
        QTest::newRow("start-up text counts for nothing") << QStringList{block, block, block} << QList<int>{0, 0, 0};
        QStringList sixteen;
        QList<int> estimated;
        for (int i = 0; i < 16; ++i) {
            sixteen << block;
            estimated << (i < 15 ? 0 : 27);
        }
        QTest::newRow("4 KiB without a duration: the estimate from the first character") << sixteen << estimated;
        QTest::newRow("the time against the duration")
            << QStringList{block, duration, "frame= 9 time=00:00:02.50 bitrate=1k\r", "frame= 19 time=00:00:07.69 x\r"}
            << QList<int>{0, 0, 25, 76};
        QTest::newRow("a time that goes back leaves the figure")
            << QStringList{duration, "time=00:00:05.00 x\r", "time=00:00:02.00 x\r"} << QList<int>{0, 50, 50};
        QTest::newRow("capped at 99 until the end")
            << QStringList{duration, "time=00:00:10.00 x\r", "time=00:00:12.00 x\r"} << QList<int>{0, 99, 99};
        QTest::newRow("an input of unknown length: the estimate at once")
            << QStringList{QStringLiteral("  Duration: N/A, start: 0.0\n"), block, "time=00:00:05.00 x\r"}
            << QList<int>{0, 1, 2};
        QTest::newRow("a duration after the estimate took over: its time, never less than shown")
            << (sixteen + QStringList{duration, "time=00:00:01.00 x\r", "time=00:00:05.00 x\r"})
            << (estimated + QList<int>{27, 27, 50});
    }
    void shown()
    {
        QFETCH(QStringList, chunks);
        QFETCH(QList<int>, values);
        ProgressMeter meter;
        meter.reset(2);
        QList<int> seen;
        for (const QString &chunk : chunks)
            seen << meter.feed(chunk, qint64(60) * 1000 * 1000);
        QCOMPARE(seen, values);
        QCOMPARE(meter.value(), values.last());
    }

    void timeLeft_data()
    {
        QTest::addColumn<QStringList>("chunks");
        QTest::addColumn<qint64>("elapsedMs");
        QTest::addColumn<qint64>("leftMs"); // -1: not known
        const QString duration = QStringLiteral("  Duration: 00:01:40.00, start: 0.0\n");
        QTest::newRow("before the encoder's time") << QStringList{duration} << qint64(3000) << qint64(-1);
        QTest::newRow("a quarter in 5 s") << QStringList{duration, "time=00:00:25.00 x\r"} << qint64(5000)
                                          << qint64(15000);
        QTest::newRow("at its time 0") << QStringList{duration, "time=00:00:00.00 x\r"} << qint64(500) << qint64(-1);
        QTest::newRow("past the duration") << QStringList{duration, "time=00:01:50.00 x\r"} << qint64(9000)
                                           << qint64(0);
        QTest::newRow("the estimate gives no time")
            << QStringList{QStringLiteral("  Duration: N/A\n"), "time=00:00:25.00 x\r"} << qint64(5000) << qint64(-1);
        QTest::newRow("a first report of a microsecond of 100 s")
            << QStringList{duration, "time=00:00:00.000001 x\r"} << qint64(1000) << qint64(-1);
        // A 3 s clip's first report after a second of start-up said "6:19 left".
        QTest::newRow("a first report of 1 % after the start-up")
            << QStringList{QStringLiteral("  Duration: 00:00:03.00, start: 0.0\n"), "time=00:00:00.03 x\r"} << qint64(1000)
            << qint64(-1);
    }
    void timeLeft()
    {
        QFETCH(QStringList, chunks);
        QFETCH(qint64, elapsedMs);
        QFETCH(qint64, leftMs);
        ProgressMeter meter;
        meter.reset(2);
        for (const QString &chunk : chunks)
            meter.feed(chunk, 1000000);
        QCOMPARE(meter.timeLeftMs(elapsedMs).value_or(-1), leftMs);
    }

    // The system's encoder through the adapter, recorded read by read and replayed as the job hands
    // it on: the figure never goes back, says nothing before the encoder's duration, keeps within
    // 20 points of the share of the run's wall time from the first second on, and so does the time
    // left (within a fifth of the run); it ends at the cap.
    void replay_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("5 s clip") << "psp-avc-5s.rec";
        QTest::newRow("60 s clip") << "psp-avc-60s.rec";
    }
    void replay()
    {
        QFETCH(QString, file);
        const Recording recording = loadRecording(QFINDTESTDATA(QStringLiteral("data/") + file));
        QVERIFY(!recording.reads.isEmpty());
        QVERIFY(recording.fileSize > 0);
        const double totalMs = double(recording.reads.last().first);
        ProgressMeter meter;
        meter.reset(recording.ratio);
        int last = 0;
        int checked = 0;
        for (const auto &[ms, bytes] : recording.reads) {
            const QString text = QString::fromUtf8(bytes);
            for (qsizetype at = 0; at < text.size(); at += 256) {
                const int value = meter.feed(text.mid(at, 256), recording.fileSize);
                QVERIFY2(value >= last, qPrintable(QStringLiteral("%1 after %2 at %3 ms").arg(value).arg(last).arg(ms)));
                QVERIFY(meter.duration() || value == 0);
                last = value;
            }
            if (ms < 1000)
                continue;
            ++checked;
            const double share = ms / totalMs * 100;
            QVERIFY2(std::abs(last - share) <= 20, qPrintable(QStringLiteral("%1 % at %2 % of the run").arg(last).arg(share)));
            const std::optional<qint64> left = meter.timeLeftMs(ms);
            QVERIFY(left);
            QVERIFY2(std::abs(double(*left) - (totalMs - ms)) <= totalMs / 5,
                     qPrintable(QStringLiteral("%1 ms left at %2 of %3 ms").arg(*left).arg(ms).arg(totalMs)));
        }
        QCOMPARE(last, ProgressMeter::Cap);
        qInfo("%d reads of %lld checked against the wall time", checked, qint64(recording.reads.size()));
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


    // The run's clock without its pauses: steps are "start", "pause" and "resume" at a time in ms.
    void pausedSpansNotCounted_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<qint64>("at");
        QTest::addColumn<qint64>("elapsed");
        QTest::newRow("never paused") << QStringList{"start@1000"} << qint64(5000) << qint64(4000);
        QTest::newRow("while paused, stands still") << QStringList{"start@0", "pause@2000"} << qint64(9000) << qint64(2000);
        QTest::newRow("after a resume") << QStringList{"start@0", "pause@2000", "resume@7000"} << qint64(8000) << qint64(3000);
        QTest::newRow("two pauses") << QStringList{"start@0", "pause@1000", "resume@2000", "pause@3000", "resume@5000"}
                                    << qint64(6000) << qint64(3000);
        QTest::newRow("a second pause keeps the first's start")
            << QStringList{"start@0", "pause@1000", "pause@4000", "resume@5000"} << qint64(5000) << qint64(1000);
        QTest::newRow("resume without pause changes nothing") << QStringList{"start@0", "resume@3000"} << qint64(4000) << qint64(4000);
        QTest::newRow("a new start forgets the pauses") << QStringList{"start@0", "pause@1000", "start@2000"} << qint64(3000) << qint64(1000);
        QTest::newRow("not started") << QStringList{"pause@1000"} << qint64(3000) << qint64(0);
    }
    void pausedSpansNotCounted()
    {
        QFETCH(QStringList, steps);
        QFETCH(qint64, at);
        QFETCH(qint64, elapsed);
        PausableClock clock;
        for (const QString &step : steps) {
            const QStringList parts = step.split(u'@');
            const qint64 ms = parts.at(1).toLongLong();
            if (parts.at(0) == QLatin1String("start"))
                clock.start(ms);
            else if (parts.at(0) == QLatin1String("pause"))
                clock.pause(ms);
            else
                clock.resume(ms);
        }
        QCOMPARE(clock.elapsed(at), elapsed);
        // The time left follows the clock: half done after 'elapsed' leaves as much again.
        ProgressMeter meter;
        meter.reset(1);
        meter.feed(QStringLiteral("Duration: 00:00:10.00\ntime=00:00:05.00\r"), 1000000);
        if (elapsed > 0)
            QCOMPARE(meter.timeLeftMs(clock.elapsed(at)).value_or(-1), elapsed);
    }
};

QTEST_APPLESS_MAIN(TestProgressMeter)
#include "tst_progressmeter.moc"
