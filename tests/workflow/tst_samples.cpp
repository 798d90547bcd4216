// What the samples make of a preset's line: where they lie, the line aimed at a size or at a
// quality for each encoder, and the estimate of the whole file from the samples' bytes.

#include "protocol/Protocol.h"
#include "workflow/Estimate.h"
#include "workflow/RateControl.h"
#include "workflow/Samples.h"

#include <QtTest>

class TestSamples : public QObject {
    Q_OBJECT
private slots:
    void layOut_data()
    {
        QTest::addColumn<double>("from");
        QTest::addColumn<double>("duration");
        QTest::addColumn<QString>("spans"); // "start+length" each
        QTest::newRow("a long film: three, spread") << 0.0 << 600.0 << "99+2 299+2 499+2";
        QTest::newRow("a trimmed span") << 60.0 << 60.0 << "69+2 89+2 109+2";
        QTest::newRow("ten seconds: two") << 0.0 << 10.0 << "1.5+2 6.5+2";
        QTest::newRow("five seconds: one") << 0.0 << 5.0 << "1.5+2";
        QTest::newRow("shorter than a sample: all of it") << 0.0 << 1.2 << "0+1.2";
    }
    void layOut()
    {
        QFETCH(double, from);
        QFETCH(double, duration);
        QFETCH(QString, spans);
        QStringList got;
        for (const Samples::Span &span : Samples::layOut(from, duration))
            got << QString::number(span.start) + QLatin1Char('+') + QString::number(span.seconds);
        QCOMPARE(got.join(u' '), spans);
    }

    // The quality setting gives way to a bit rate; x264 and x265 run two passes, VP9 and SVT-AV1
    // are corrected once; every line tells the adapter the size it must fit.
    void forSize_data()
    {
        QTest::addColumn<QStringList>("line");
        QTest::addColumn<QStringList>("aimed");
        const QString fit = QLatin1String(Protocol::FitSizePrefix) + QStringLiteral("1000000:100000");
        QTest::newRow("x264") << QStringList{"-c:v", "libx264", "-crf", "21", "-c:a", "aac"}
                              << QStringList{"--two-pass", fit, "-c:v", "libx264", "-b:v", "300000", "-c:a", "aac"};
        QTest::newRow("x265") << QStringList{"-c:v", "libx265", "-crf", "24", "-x265-params", "log-level=error"}
                              << QStringList{"--two-pass", fit, "-c:v", "libx265", "-b:v", "300000", "-x265-params", "log-level=error"};
        QTest::newRow("VP9 in constant quality") << QStringList{"-c:v", "libvpx-vp9", "-crf", "32", "-b:v", "0", "-row-mt", "1"}
                                                 << QStringList{fit, "-c:v", "libvpx-vp9", "-b:v", "300000", "-row-mt", "1"};
        QTest::newRow("SVT-AV1") << QStringList{"-c:v", "libsvtav1", "-preset", "10", "-crf", "35"}
                                 << QStringList{fit, "-c:v", "libsvtav1", "-b:v", "300000", "-preset", "10"};
    }
    void forSize()
    {
        QFETCH(QStringList, line);
        QFETCH(QStringList, aimed);
        QCOMPARE(RateControl::forSize(line, 300000, 1000000, 100000), aimed);
    }

    void withQuality_data()
    {
        QTest::addColumn<QStringList>("line");
        QTest::addColumn<double>("crf");
        QTest::addColumn<QStringList>("set");
        QTest::newRow("x264 takes tenths") << QStringList{"-c:v", "libx264", "-crf", "21.5", "-c:a", "aac"} << 23.44
                                           << QStringList{"-c:v", "libx264", "-crf", "23.4", "-c:a", "aac"};
        QTest::newRow("a user's line with a bit rate") << QStringList{"-c:v", "libx265", "-b:v", "2M"} << 30.0
                                                       << QStringList{"-c:v", "libx265", "-crf", "30.0"};
        // VP9 needs its zero bit rate for constant quality, and whole numbers.
        QTest::newRow("VP9") << QStringList{"-c:v", "libvpx-vp9", "-crf", "32", "-b:v", "0"} << 40.6
                             << QStringList{"-c:v", "libvpx-vp9", "-crf", "41", "-b:v", "0"};
        QTest::newRow("VP9 without a bit rate") << QStringList{"-c:v", "libvpx-vp9"} << 30.0
                                                << QStringList{"-c:v", "libvpx-vp9", "-crf", "30", "-b:v", "0"};
    }
    void withQuality()
    {
        QFETCH(QStringList, line);
        QFETCH(double, crf);
        QFETCH(QStringList, set);
        QCOMPARE(RateControl::withQuality(line, crf), set);
        QCOMPARE(RateControl::quality(set), QString(set.at(set.indexOf("-crf") + 1)).toDouble());
    }

    void soundBitrate_data()
    {
        QTest::addColumn<QStringList>("line");
        QTest::addColumn<qlonglong>("bits"); // -1: unknown
        QTest::newRow("AAC at 160k") << QStringList{"-c:a", "aac", "-b:a", "160k"} << 160000LL;
        QTest::newRow("Opus at its default") << QStringList{"-c:a", "libopus"} << 96000LL;
        QTest::newRow("no sound") << QStringList{"-c:v", "libx264", "-an"} << 0LL;
        QTest::newRow("copied sound") << QStringList{"-c:a", "copy"} << -1LL;
    }
    void soundBitrate()
    {
        QFETCH(QStringList, line);
        QFETCH(qlonglong, bits);
        QCOMPARE(RateControl::soundBitrate(line).value_or(-1), bits);
    }

    // Three 2 s samples of x264 at 25 fps, each starting on a key frame of 20000 bytes, 100 bytes
    // for every other picture: the 60 s file has one key frame every 10 s, not one every 2 s.
    void estimate()
    {
        Samples::Source source;
        source.duration = 60;
        Samples::Measure measure;
        measure.seconds = 6;
        measure.videoFrames = 150;
        measure.firstKeyBytes = 3 * 20000;
        measure.otherVideoBytes = 147 * 100;
        measure.soundBytes = 6 * 16000;
        measure.fileBytes = measure.firstKeyBytes + measure.otherVideoBytes + measure.soundBytes + 600;
        measure.encodeSeconds = 3 * 1.5;
        measure.startSeconds = 0.5;
        const Estimate estimate = Estimate::from(source, 3, measure, RateControl::Encoder::X264);
        const double video = 20000.0 * 6 + 100.0 * (1500 - 6);
        QCOMPARE(estimate.bytes, qint64(video + 60 * 16000 + 6000));
        // The start once, then a second of encoding for every two of content.
        QCOMPARE(estimate.seconds, 0.5 + 30);
        // An encoder whose key frames are unknown is scaled by length alone.
        QCOMPARE(Estimate::from(source, 3, measure, RateControl::Encoder::Unknown).bytes, measure.fileBytes * 10);
    }
};

QTEST_GUILESS_MAIN(TestSamples)
#include "tst_samples.moc"
