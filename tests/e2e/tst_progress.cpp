// One live conversion of a 30 s clip with the real adapter and ffmpeg, through the job and the
// conversion that the window and the command line share: the percent shown never goes back and,
// from the first second on, keeps within 20 points of the share of the run's wall time. A poll
// hands on all it read in a row of chunks; what shows is the figure after the last of them. The
// clip is large enough (1920x1080) that the run lasts several of the preset's 2.1 s polls, so that
// the encoder's start-up and its half-second reports weigh little against the wall time.

#include "Clip.h"
#include "RunProgram.h"
#include "workflow/ConversionRun.h"

#include <QtTest>

class TestLiveProgress : public QObject {
    Q_OBJECT
private slots:
    void followsTheWork()
    {
        const QString bin = qEnvironmentVariable("VIDOMAR_BIN_DIR");
        QVERIFY2(QFileInfo(builtProgram(QStringLiteral("avformat.dll"))).isExecutable(), qPrintable(bin));
        qunsetenv("VIDOMAR_FFMPEG");
        QTemporaryDir dir;
        const QString clip = dir.filePath(QStringLiteral("clip.avi"));
        const QString problem = makeClip(clip, {.seconds = 30, .size = QStringLiteral("1920x1080")});
        QVERIFY2(problem.isEmpty(), qPrintable(problem));

        ConversionRun run;
        run.job().setProgramFolder(bin);
        Conversion &conversion = run.conversion();
        QElapsedTimer clock;
        QList<QPair<qint64, int>> shown;
        connect(&conversion, &Conversion::progressed, this, [&](int percent) { shown.append({clock.elapsed(), percent}); });
        bool finished = false;
        connect(&conversion, &Conversion::finished, this, [&] { finished = true; });

        clock.start();
        QVERIFY(conversion.start(QStringLiteral("Sony PSP (PSP AVC)"), clip, dir.filePath(QStringLiteral("out.avi"))));
        QTRY_VERIFY_WITH_TIMEOUT(!conversion.running(), 180000);
        QVERIFY(finished);
        const double totalMs = double(clock.elapsed());

        int last = 0;
        int checked = 0;
        QStringList trace;
        for (qsizetype i = 0; i < shown.size(); ++i) {
            const auto &[ms, percent] = shown.at(i);
            trace << QStringLiteral("%1@%2").arg(percent).arg(ms);
            QVERIFY2(percent >= last, qPrintable(trace.join(u' ')));
            last = percent;
            const bool samePoll = i + 1 < shown.size() && shown.at(i + 1).first - ms < 50;
            if (ms < 1000 || samePoll)
                continue;
            ++checked;
            QVERIFY2(std::abs(percent - ms / totalMs * 100) <= 20,
                     qPrintable(trace.join(u' ') + QStringLiteral(" of %1 ms").arg(totalMs)));
        }
        QVERIFY(checked > 0);
        qInfo("%s of %.0f ms", qPrintable(trace.join(u' ')), totalMs);
    }
};

QTEST_GUILESS_MAIN(TestLiveProgress)
#include "tst_progress.moc"
