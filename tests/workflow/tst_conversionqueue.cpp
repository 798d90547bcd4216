// The queue on the fake encoder: items side by side up to the slot count, each ending once, a
// failure that does not stop the rest, and a cancel that ends the running ones and starts no more;
// a source read for its options aside, stopped while it is read, or unreadable.

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

    // Options that need the source have it read by ffprobe (here a script) before the encoder
    // starts, without holding up the event loop.
    void readsTheSourceAside_data()
    {
        QTest::addColumn<QByteArray>("ffprobe");
        QTest::addColumn<QString>("action"); // during the read
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>("reason");
        const QByteArray film = R"(echo '{"streams": [{"index": 0, "codec_type": "video", "codec_name": "h264", "width": 320, )"
                                R"("height": 240}], "format": {"format_name": "avi", "duration": "10.0"}}')";
        QTest::newRow("read, then converted") << film << "" << "done" << "";
        QTest::newRow("a source that cannot be read")
            << QByteArray("echo 'Invalid data found when processing input' >&2; exit 1") << "" << "refused"
            << "in.avi cannot be read: Invalid data found when processing input";
        QTest::newRow("stopped while it is read") << QByteArray("sleep 30") << "stop" << "cancelled" << "";
        QTest::newRow("paused while it is read: the encoder starts paused") << "sleep 1; " + film << "pause" << "done" << "";
    }
    void readsTheSourceAside()
    {
        QFETCH(QByteArray, ffprobe);
        QFETCH(QString, action);
        QFETCH(QString, end);
        QFETCH(QString, reason);
        FakeProgramFolder folder;
        QVERIFY(folder.isValid());
        QFile script(folder.file(QStringLiteral("ffprobe")));
        QVERIFY(script.open(QIODevice::WriteOnly) && script.write("#!/bin/sh\n" + ffprobe + "\n") > 0);
        script.close();
        QVERIFY(script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
        Env env{{"FAKE_SILENT_MS", "200"}, {"VIDOMAR_FFMPEG", folder.file(QStringLiteral("ffmpeg")).toLocal8Bit()}};

        ConversionQueue queue;
        queue.setProgramFolder(folder.path());
        ConversionOptions part;
        part.startMs = 1000;
        part.endMs = 3000;
        queue.add(folder.makeSource(QStringLiteral("in.avi"), 1000), QStringLiteral("MP4 H.264 720p"), folder.file("out.mp4"), part);
        QString ended;
        QString said;
        connect(&queue, &ConversionQueue::done, this, [&] { ended = QStringLiteral("done"); });
        connect(&queue, &ConversionQueue::failed, this, [&](qsizetype, const QString &why, bool refused) {
            ended = refused ? QStringLiteral("refused") : QStringLiteral("failed");
            said = why;
        });
        connect(&queue, &ConversionQueue::cancelled, this, [&] { ended = QStringLiteral("cancelled"); });
        QSignalSpy finished(&queue, &ConversionQueue::finished);
        queue.startNow();
        // Started and reading: the run is going, nothing has ended yet.
        QCOMPARE(queue.runningCount(), 1);
        QCOMPARE(ended, QString());
        if (action == QLatin1String("stop")) {
            QTest::qWait(300);
            queue.cancelAll();
        } else if (action == QLatin1String("pause")) {
            QVERIFY(queue.pause());
            // Read, started and held: a running encoder would have ended within its 200 ms.
            QTRY_COMPARE_WITH_TIMEOUT(queue.runOf(0)->job().state(), AVC::State::Polling, 10000);
            QTest::qWait(1000);
            QCOMPARE(ended, QString());
            QVERIFY(queue.runOf(0)->paused());
            QVERIFY(queue.resume());
        }
        // Well before the 30 s a stopped read would have taken.
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 10000);
        QCOMPARE(ended, end);
        QCOMPARE(said, reason);
    }
};

QTEST_GUILESS_MAIN(TestConversionQueue)
#include "tst_conversionqueue.moc"
