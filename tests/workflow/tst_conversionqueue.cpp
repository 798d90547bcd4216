// The queue on the fake encoder: items side by side up to the slot count, each ending once, a
// failure that does not stop the rest, and a cancel that ends the running ones and starts no more.

#include "FakeEncoder.h"
#include "workflow/ConversionQueue.h"

#include <QtTest>

class TestConversionQueue : public QObject {
    Q_OBJECT
private slots:
    void runsItsItems_data()
    {
        QTest::addColumn<QByteArray>("exitCode");
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<QStringList>("ends"); // by item
        QTest::newRow("all done") << QByteArray("0") << false << QStringList{"done", "done", "done"};
        QTest::newRow("all fail, the rest goes on") << QByteArray("1") << false << QStringList{"failed", "failed", "failed"};
        QTest::newRow("cancelled") << QByteArray("0") << true << QStringList{"cancelled", "cancelled", ""};
    }
    void runsItsItems()
    {
        QFETCH(QByteArray, exitCode);
        QFETCH(bool, cancel);
        QFETCH(QStringList, ends);
        FakeProgramFolder folder;
        QVERIFY(folder.isValid());
        Env env{{"FAKE_EXIT", exitCode}, {"FAKE_SILENT_MS", cancel ? "60000" : "200"}};

        ConversionQueue queue;
        queue.setSlotCount(2);
        queue.setProgramFolder(folder.path());
        // Each item with its own preset.
        const QStringList presets{"WAVE Sound (WAV)", "MP3 Sound (MP3)", "MP4 H.264 720p"};
        for (int i = 0; i < 3; ++i)
            queue.add(folder.makeSource(QStringLiteral("in%1.avi").arg(i), 1000), presets.at(i),
                      folder.file(QStringLiteral("out%1").arg(i)));
        QStringList ended(3);
        qsizetype mostAtOnce = 0;
        QStringList reasons;
        connect(&queue, &ConversionQueue::started, this, [&] { mostAtOnce = std::max(mostAtOnce, queue.runningCount() + 1); });
        connect(&queue, &ConversionQueue::done, this, [&](qsizetype item) { ended[item] += QStringLiteral("done"); });
        connect(&queue, &ConversionQueue::failed, this, [&](qsizetype item, const QString &reason) {
            ended[item] += QStringLiteral("failed");
            reasons << reason;
        });
        connect(&queue, &ConversionQueue::cancelled, this, [&](qsizetype item) { ended[item] += QStringLiteral("cancelled"); });
        QSignalSpy finished(&queue, &ConversionQueue::finished);

        queue.start();
        if (cancel) {
            QTRY_COMPARE(queue.runningCount(), 2);
            queue.cancelAll();
        }
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 20000);
        QCOMPARE(ended, ends);
        QCOMPARE(mostAtOnce, 2);
        QCOMPARE(queue.failures(), int(ends.count(QStringLiteral("failed"))));
        for (const QString &reason : reasons)
            QVERIFY2(reason.startsWith(QLatin1String("Conversion failed: ")), qPrintable(reason));
    }
};

QTEST_GUILESS_MAIN(TestConversionQueue)
#include "tst_conversionqueue.moc"
