// A conversion aimed at a size, as the adapter runs it: the flags it takes, the passes it makes,
// the correction of a result that missed, and progress that reads as one run.

#include "TwoPass.h"

#include <QtTest>

namespace {

std::vector<std::string> toStd(const QStringList &list)
{
    std::vector<std::string> result;
    for (const QString &s : list)
        result.push_back(s.toStdString());
    return result;
}

QStringList toQt(const std::vector<std::string> &list)
{
    QStringList result;
    for (const std::string &s : list)
        result << QString::fromStdString(s);
    return result;
}

} // namespace

class TestTwoPass : public QObject {
    Q_OBJECT
private slots:
    void passes_data()
    {
        QTest::addColumn<QStringList>("line");
        QTest::addColumn<QStringList>("first");
        QTest::addColumn<QStringList>("second");
        QTest::newRow("x264") << QStringList{"-i", "in", "--two-pass", "-c:v", "libx264", "-b:v", "900000", "out.mp4"}
                              << QStringList{"-i", "in", "-c:v", "libx264", "-b:v", "900000", "-pass", "1", "-passlogfile",
                                             "/p/pass", "-an", "-sn", "-f", "null", "/dev/null"}
                              << QStringList{"-i", "in", "-c:v", "libx264", "-b:v", "900000", "-pass", "2", "-passlogfile",
                                             "/p/pass", "out.mp4"};
        // x265 takes its passes among its own parameters, beside the preset's.
        QTest::newRow("x265")
            << QStringList{"-i", "in", "-c:v", "libx265", "-x265-params", "log-level=error", "--two-pass", "o.mp4"}
            << QStringList{"-i", "in", "-c:v", "libx265", "-x265-params", "log-level=error:pass=1:stats=/p/pass.log", "-an",
                           "-sn", "-f", "null", "/dev/null"}
            << QStringList{"-i", "in", "-c:v", "libx265", "-x265-params", "log-level=error:pass=2:stats=/p/pass.log", "o.mp4"};
    }
    void passes()
    {
        QFETCH(QStringList, line);
        QFETCH(QStringList, first);
        QFETCH(QStringList, second);
        std::vector<std::string> arguments = toStd(line);
        const std::optional<TwoPass::Plan> plan = TwoPass::take(arguments);
        QVERIFY(plan && plan->twoPasses);
        QCOMPARE(toQt(TwoPass::firstPass(arguments, "/p")), first);
        QCOMPARE(toQt(TwoPass::secondPass(arguments, "/p")), second);
    }

    // A malformed size is left for ffmpeg to refuse rather than taken as some other size.
    void fitSize_data()
    {
        QTest::addColumn<QString>("flag");
        QTest::addColumn<qlonglong>("target"); // 0: not taken
        QTest::addColumn<qlonglong>("sound");
        QTest::newRow("size and sound") << "--fit-size=25000000:1200000" << 25000000LL << 1200000LL;
        QTest::newRow("no sound") << "--fit-size=1000:0" << 1000LL << 0LL;
        QTest::newRow("sound is all of it") << "--fit-size=1000:1000" << 0LL << 0LL;
        QTest::newRow("no sound given") << "--fit-size=1000" << 0LL << 0LL;
        QTest::newRow("trailing text") << "--fit-size=1000:0x" << 0LL << 0LL;
        QTest::newRow("negative") << "--fit-size=-5:0" << 0LL << 0LL;
    }
    void fitSize()
    {
        QFETCH(QString, flag);
        QFETCH(qlonglong, target);
        QFETCH(qlonglong, sound);
        std::vector<std::string> arguments{"-i", "in", flag.toStdString(), "out.webm"};
        const std::optional<TwoPass::Plan> plan = TwoPass::take(arguments);
        QCOMPARE(plan.has_value(), target > 0);
        QCOMPARE(qsizetype(arguments.size()), target > 0 ? 3 : 4);
        if (plan) {
            QCOMPARE(plan->fitBytes, target);
            QCOMPARE(plan->soundBytes, sound);
            QVERIFY(!plan->twoPasses);
        }
    }

    // A result off by more than 3 % is encoded again at a bit rate that brings the video to the
    // aim; the sound, which does not change, is left out of the ratio.
    void correction_data()
    {
        QTest::addColumn<qlonglong>("got");
        QTest::addColumn<double>("factor"); // 0: none
        QTest::newRow("on target") << 1000000LL << 0.0;
        QTest::newRow("2.9 % above") << 1029000LL << 0.0;
        QTest::newRow("2.9 % under") << 971000LL << 0.0;
        QTest::newRow("10 % above") << 1100000LL << (985000.0 - 200000) / (1100000 - 200000);
        QTest::newRow("20 % under") << 800000LL << (985000.0 - 200000) / (800000 - 200000);
    }
    void correction()
    {
        QFETCH(qlonglong, got);
        QFETCH(double, factor);
        const TwoPass::Plan plan{false, 1000000, 200000};
        const std::optional<double> corrected = TwoPass::correction(plan, got);
        QCOMPARE(corrected.has_value(), factor > 0);
        if (corrected)
            QVERIFY(qAbs(*corrected - factor) < 1e-9);
        const std::vector<std::string> line{"-i", "in", "-b:v", "900k", "out.mp4"};
        QCOMPARE(toQt(TwoPass::withScaledBitrate(line, 0.5)), QStringList({"-i", "in", "-b:v", "450000", "out.mp4"}));
    }

    // The program's meter never goes back: two passes over a 10 s source read 0..4 s, then 4..10 s.
    void progress()
    {
        TwoPass::Progress progress;
        progress.rewrite("  Duration: 00:00:10.00, start: 0.000000, bitrate: 1 kb/s\n");
        progress.setStage(0, 0.4);
        QCOMPARE(progress.rewrite("frame= 250 time=00:00:10.00 bitrate=N/A\r"), "frame= 250 time=00:00:04.00 bitrate=N/A\r");
        progress.setStage(0.4, 0.6);
        QCOMPARE(progress.rewrite("time=00:00:05.00 x\rtime=N/A\r"), "time=00:00:07.00 x\rtime=N/A\r");
    }
};

QTEST_MAIN(TestTwoPass)
#include "tst_twopass.moc"
