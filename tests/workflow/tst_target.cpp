// The sizes and scores a user types for --target-size and --target-quality.

#include "workflow/Target.h"
#include "workflow/TargetPlanner.h"

#include <QtTest>

class TestTarget : public QObject {
    Q_OBJECT
private slots:
    void sizes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qlonglong>("bytes"); // 0: refused
        QTest::newRow("M") << "25M" << 25000000LL;
        QTest::newRow("MB") << "700MB" << 700000000LL;
        QTest::newRow("a fraction of G") << "1.4G" << 1400000000LL;
        QTest::newRow("small k") << "900k" << 900000LL;
        QTest::newRow("bytes") << "123456" << 123456LL;
        QTest::newRow("blank before the unit") << "25 M" << 25000000LL;
        QTest::newRow("a binary unit is not taken") << "25MiB" << 0LL;
        QTest::newRow("negative") << "-5M" << 0LL;
        QTest::newRow("zero") << "0" << 0LL;
        QTest::newRow("no number") << "M" << 0LL;
        QTest::newRow("an unknown unit") << "3T" << 0LL;
        QTest::newRow("beyond any file") << "9999999G" << 0LL;
    }
    void sizes()
    {
        QFETCH(QString, text);
        QFETCH(qlonglong, bytes);
        const auto parsed = Target::parseSize(text);
        if (bytes == 0) {
            QVERIFY(std::holds_alternative<QString>(parsed));
            QVERIFY(std::get<QString>(parsed).contains(text));
            return;
        }
        QCOMPARE(std::get<Target>(parsed).bytes, bytes);
        QCOMPARE(Target::fromText(std::get<Target>(parsed).text()), std::get<Target>(parsed));
    }

    void qualities_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("taken");
        QTest::newRow("ssim") << "ssim:0.985" << true;
        QTest::newRow("ssim in dB") << "ssim-db:19" << true;
        QTest::newRow("psnr") << "PSNR:42" << true;
        QTest::newRow("ssim of 1 is never reached") << "ssim:1" << false;
        QTest::newRow("ssim given in dB") << "ssim:19" << false;
        QTest::newRow("psnr out of reach") << "psnr:400" << false;
        QTest::newRow("no measure") << "0.985" << false;
        QTest::newRow("an unknown measure") << "vmaf:95" << false;
        QTest::newRow("not a number") << "ssim:high" << false;
    }
    void qualities()
    {
        QFETCH(QString, text);
        QFETCH(bool, taken);
        const auto parsed = Target::parseQuality(text);
        QCOMPARE(std::holds_alternative<Target>(parsed), taken);
        if (taken)
            QCOMPARE(Target::fromText(std::get<Target>(parsed).text()), std::get<Target>(parsed));
    }

    // A trimmed conversion is sampled and sized within its part, not over the whole source.
    void spanOfTarget_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<double>("from");
        QTest::addColumn<double>("to");
        QTest::newRow("whole") << QStringList{} << 0.0 << -1.0;
        QTest::newRow("start and end") << QStringList{"start", "1:30", "end", "2:00"} << 90.0 << 120.0;
        QTest::newRow("start and length") << QStringList{"start", "10", "length", "30.5"} << 10.0 << 40.5;
    }
    void spanOfTarget()
    {
        QFETCH(QStringList, options);
        QFETCH(double, from);
        QFETCH(double, to);
        ConversionOptions given;
        for (qsizetype i = 0; i + 1 < options.size(); i += 2)
            QVERIFY(!given.set(options.at(i), options.at(i + 1)));
        const TargetPlanner::Request request = TargetPlanner::request(QStringLiteral("MP4 H.264 720p"), QStringLiteral("/v/a.mkv"),
                                                                      std::get<Target>(Target::parseSize(u"25M")), given);
        QCOMPARE(request.from, from);
        QCOMPARE(request.to, to);
    }
};

QTEST_GUILESS_MAIN(TestTarget)
#include "tst_target.moc"
