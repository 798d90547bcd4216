// The queue of the window, without widgets: which state changes are allowed, destinations of their own,
// what a restart continues, and the checks of the recovery file against damaged or hostile content.

#include "workflow/QueueList.h"
#include "workflow/RecoveryFile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using State = QueueItem::State;

namespace {

std::optional<QString> testPresets(const QString &name)
{
    if (name == QLatin1String("MP4"))
        return QStringLiteral(".mp4");
    if (name == QLatin1String("WAV"))
        return QStringLiteral(".wav");
    return std::nullopt;
}

QueueItem item(const QString &source, const QString &destination, State state = State::Waiting)
{
    QueueItem made;
    made.source = source;
    made.preset = QStringLiteral("MP4");
    made.destination = destination;
    made.state = state;
    return made;
}

// An item of a queue file, and a queue file around such items.
QJsonObject entry(const QString &source, const QString &destination, const QString &preset = QStringLiteral("MP4"),
                  const QString &state = QStringLiteral("waiting"))
{
    return {{"source", source}, {"preset", preset}, {"destination", destination}, {"state", state}};
}

QByteArray fileWith(const QJsonArray &items, int version = 1)
{
    return QJsonDocument(QJsonObject{{"format", "vidomar-queue"}, {"version", version}, {"items", items}}).toJson();
}

} // namespace

class TestQueue : public QObject {
    Q_OBJECT
private slots:
    void stateChanges_data()
    {
        QTest::addColumn<State>("from");
        QTest::addColumn<State>("to");
        QTest::addColumn<bool>("allowed");
        QTest::newRow("waiting starts") << State::Waiting << State::Converting << true;
        QTest::newRow("waiting skipped (destination kept)") << State::Waiting << State::Skipped << true;
        QTest::newRow("waiting fails to start") << State::Waiting << State::Failed << true;
        QTest::newRow("waiting cancelled by Stop") << State::Waiting << State::Cancelled << true;
        QTest::newRow("waiting cannot be done unconverted") << State::Waiting << State::Done << false;
        QTest::newRow("converting done") << State::Converting << State::Done << true;
        QTest::newRow("converting failed") << State::Converting << State::Failed << true;
        QTest::newRow("converting cancelled") << State::Converting << State::Cancelled << true;
        QTest::newRow("converting starts again after a crash") << State::Converting << State::Waiting << true;
        QTest::newRow("converting cannot be skipped") << State::Converting << State::Skipped << false;
        QTest::newRow("cancelled continues") << State::Cancelled << State::Waiting << true;
        QTest::newRow("cancelled cannot be done") << State::Cancelled << State::Done << false;
        QTest::newRow("done is never converted twice") << State::Done << State::Waiting << false;
        QTest::newRow("done cannot start") << State::Done << State::Converting << false;
        QTest::newRow("failed is final") << State::Failed << State::Waiting << false;
        QTest::newRow("skipped is final") << State::Skipped << State::Converting << false;
        QTest::newRow("no change is no change") << State::Converting << State::Converting << false;
    }
    void stateChanges()
    {
        QFETCH(State, from);
        QFETCH(State, to);
        QFETCH(bool, allowed);
        QCOMPARE(QueueList::allowed(from, to), allowed);
        QueueList queue;
        queue.replaceAll({item(QStringLiteral("/v/a.avi"), QStringLiteral("/v/a.mp4"), from)});
        QSignalSpy changed(&queue, &QueueList::changed);
        QCOMPARE(queue.setState(0, to, QStringLiteral("why")), allowed);
        QCOMPARE(queue.at(0).state, allowed ? to : from);
        QCOMPARE(changed.size(), allowed ? 1 : 0);
    }

    // Never two items onto one file, nor onto the source of another.
    void destinationsOfTheirOwn_data()
    {
        QTest::addColumn<QStringList>("sources");
        QTest::addColumn<QStringList>("wanted");
        QTest::addColumn<QStringList>("given");
        QTest::newRow("apart") << QStringList{"/v/a.avi", "/v/b.avi"} << QStringList{"/v/a.mp4", "/v/b.mp4"}
                               << QStringList{"/v/a.mp4", "/v/b.mp4"};
        QTest::newRow("two sources, one name") << QStringList{"/v/a.avi", "/v/a.mkv", "/v/a.mov"}
                                               << QStringList{"/v/a.mp4", "/v/a.mp4", "/v/a.mp4"}
                                               << QStringList{"/v/a.mp4", "/v/a (2).mp4", "/v/a (3).mp4"};
        QTest::newRow("onto the source of another item") << QStringList{"/v/a.mp4", "/v/a.avi"}
                                                    << QStringList{"/v/a (converted).mp4", "/v/a.mp4"}
                                                    << QStringList{"/v/a (converted).mp4", "/v/a (2).mp4"};
        QTest::newRow("a hidden name without extension") << QStringList{"/v/x.avi", "/v/y.avi"}
                                                         << QStringList{"/v/.clip", "/v/.clip"}
                                                         << QStringList{"/v/.clip", "/v/.clip (2)"};
    }
    void destinationsOfTheirOwn()
    {
        QFETCH(QStringList, sources);
        QFETCH(QStringList, wanted);
        QFETCH(QStringList, given);
        QueueList queue;
        for (qsizetype i = 0; i < sources.size(); ++i)
            queue.add(item(sources.at(i), wanted.at(i)));
        QStringList destinations;
        for (const QueueItem &i : queue.items())
            destinations << i.destination;
        QCOMPARE(destinations, given);
    }

    // Closed with Stop, killed or crashed: what was not finished is offered, from its beginning.
    void continueAfterRestart()
    {
        QueueList queue;
        queue.replaceAll({item("/v/1.avi", "/v/1.mp4", State::Done), item("/v/2.avi", "/v/2.mp4", State::Converting),
                          item("/v/3.avi", "/v/3.mp4", State::Failed), item("/v/4.avi", "/v/4.mp4", State::Cancelled),
                          item("/v/5.avi", "/v/5.mp4", State::Waiting), item("/v/6.avi", "/v/6.mp4", State::Skipped)});
        QCOMPARE(queue.unfinishedCount(), 3);
        queue.prepareToContinue();
        QStringList left;
        for (const QueueItem &i : queue.items()) {
            QCOMPARE(i.state, State::Waiting);
            left << i.source;
        }
        QCOMPARE(left, (QStringList{"/v/2.avi", "/v/4.avi", "/v/5.avi"}));
    }

    void editing()
    {
        QueueList queue;
        queue.replaceAll({item("/v/1.avi", "/v/1.mp4", State::Converting), item("/v/2.avi", "/v/2.mp4", State::Done),
                          item("/v/3.avi", "/v/3.mp4")});
        QVERIFY(!queue.remove(0)); // converting stays
        QVERIFY(queue.move(2, -1));
        QCOMPARE(queue.at(1).source, QStringLiteral("/v/3.avi"));
        QVERIFY(!queue.move(0, -1));
        QVERIFY(!queue.move(2, 1));
        QCOMPARE(queue.clearFinished(), 1);
        QCOMPARE(queue.size(), 2);
        QCOMPARE(queue.nextWaiting(), 1);
    }

    void recoveryChecks_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("problem"); // empty: accepted
        const QJsonObject good = entry("/v/a.avi", "/v/a.mp4", "MP4", "converting");
        QJsonObject missing = good;
        missing.remove("destination");
        QJsonObject number = good;
        number.insert("source", 7);
        QJsonObject withOptions = good;
        withOptions.insert("options", QJsonObject{{"audio", "deu"}, {"start", "1:20"}, {"keep-date", false}});
        QJsonObject badOptions = good;
        badOptions.insert("options", QJsonObject{{"crop", "-5:0:0:0"}});
        QTest::newRow("a good item") << fileWith({good}) << QString();
        QTest::newRow("a good item with options") << fileWith({withOptions}) << QString();
        QTest::newRow("options that do not parse") << fileWith({badOptions}) << "bad options: --crop";
        QTest::newRow("not JSON") << QByteArray("{\"format\": ") << "not valid JSON";
        QTest::newRow("another format") << QJsonDocument(QJsonObject{{"format", "other"}, {"version", 1}, {"items", QJsonArray()}}).toJson()
                                        << "not a queue";
        QTest::newRow("a later version") << fileWith({}, 2) << "not a queue";
        QTest::newRow("items not a list") << QJsonDocument(QJsonObject{{"format", "vidomar-queue"}, {"version", 1}, {"items", good}}).toJson()
                                          << "no list";
        QTest::newRow("a missing field") << fileWith({missing}) << "no destination";
        QTest::newRow("a number for a path") << fileWith({number}) << "no source";
        QTest::newRow("an unknown state") << fileWith({entry("/v/a.avi", "/v/a.mp4", "MP4", "odd")}) << "unknown state";
        QTest::newRow("an unknown preset") << fileWith({entry("/v/a.avi", "/v/a.mp4", "X")}) << "unknown preset";
        QJsonObject aimed = good;
        aimed.insert("target", "ssim:0.985");
        QTest::newRow("a target") << fileWith({aimed}) << QString();
        aimed.insert("target", "size:-1");
        QTest::newRow("an unknown target") << fileWith({aimed}) << "unknown target";
        QTest::newRow("a relative path") << fileWith({entry("a.avi", "/v/a.mp4")}) << "not a plain absolute";
        QTest::newRow("climbing out") << fileWith({entry("/v/a.avi", "/v/../etc/a.mp4")}) << "not a plain absolute";
        QTest::newRow("a control character") << fileWith({entry("/v/a\a.avi", "/v/a.mp4")}) << "control character";
        QTest::newRow("over another kind of file") << fileWith({entry("/v/a.avi", "/home/u/.bashrc")}) << "extension";
        QTest::newRow("over its own source") << fileWith({entry("/v/a.mp4", "/v/a.mp4")}) << "its source";
        QTest::newRow("two onto one") << fileWith({good, entry("/v/b.avi", "/v/a.mp4")}) << "another item";
        QTest::newRow("onto the source of another") << fileWith({good, entry("/v/a.mp4", "/v/b.wav", "WAV")}) << "source of another";
        QJsonArray many;
        for (int i = 0; i <= RecoveryFile::MaxItems; ++i)
            many.append(entry("/v/a.avi", QStringLiteral("/v/%1.mp4").arg(i)));
        QTest::newRow("too many items") << fileWith(many) << "more than";
        QTest::newRow("too large") << QByteArray(RecoveryFile::MaxBytes + 1, ' ') << "larger than";
    }
    void recoveryChecks()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, problem);
        const auto parsed = RecoveryFile::parse(text, testPresets);
        if (problem.isEmpty()) {
            QVERIFY(std::holds_alternative<QueueItems>(parsed));
            QCOMPARE(std::get<QueueItems>(parsed).size(), 1);
            return;
        }
        QVERIFY(std::holds_alternative<QString>(parsed));
        QVERIFY2(std::get<QString>(parsed).contains(problem), qPrintable(std::get<QString>(parsed)));
    }

    // Written and read back; a refused file is reported once and set aside; nothing left to do
    // leaves no file.
    void recoveryFileOnDisk()
    {
        QTemporaryDir dir;
        const RecoveryFile file(dir.filePath(QStringLiteral("state/Zorvik/queue.json")));
        QueueItems items{item("/v/1.avi", "/v/1.mp4", State::Done), item("/v/2.avi", "/v/2.mp4", State::Converting),
                         item("/v/3.avi", "/v/3.mp4")};
        QVERIFY(!items[1].options.set(QStringLiteral("subtitles"), QStringLiteral("forced")));
        QVERIFY(!items[1].options.set(QStringLiteral("length"), QStringLiteral("0:30.5")));
        items[1].options.keepDate = false;
        // A conversion aimed at a size or a quality keeps its aim across a restart.
        items[1].target = std::get<Target>(Target::parseSize(u"25M"));
        items[2].target = std::get<Target>(Target::parseQuality(u"psnr:42.5"));
        QVERIFY(file.save(items));
        QCOMPARE(QFileInfo(file.path()).permissions() & (QFileDevice::ReadOther | QFileDevice::ReadGroup), QFileDevice::Permissions());
        RecoveryFile::Loaded loaded = file.load(testPresets);
        QCOMPARE(loaded.problem, QString());
        QCOMPARE(loaded.items, items);

        QFile damaged(file.path());
        QVERIFY(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
        damaged.write(fileWith({entry("/v/a.avi", "/etc/passwd")}));
        damaged.close();
        loaded = file.load(testPresets);
        QVERIFY(!loaded.problem.isEmpty());
        QVERIFY(loaded.items.isEmpty());
        QVERIFY(QFileInfo::exists(loaded.setAsideTo));
        QVERIFY(!QFileInfo::exists(file.path()));
        QCOMPARE(file.load(testPresets).problem, QString()); // once

        QVERIFY(file.save({item("/v/1.avi", "/v/1.mp4", State::Done)}));
        QVERIFY(!QFileInfo::exists(file.path()));
    }
};

QTEST_GUILESS_MAIN(TestQueue)
#include "tst_queuelist.moc"
