#include "workflow/QueueModel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QtTest>

// The queue's rows as a view sees them, checked by Qt's model tester through every kind of change.
class TestQueueModel : public QObject {
    Q_OBJECT
private slots:
    void followsTheList()
    {
        QueueList list;
        QueueModel model(list);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        for (const char *name : {"/v/a.avi", "/v/b.avi", "/v/c.avi"}) {
            QueueItem item;
            item.source = QLatin1String(name);
            item.preset = QStringLiteral("MP3 Sound (MP3)");
            item.destination = QString(QLatin1String(name)).replace(QLatin1String(".avi"), QLatin1String(".mp3"));
            list.add(item);
        }
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(model.index(0, QueueModel::Source).data().toString(), QStringLiteral("a.avi"));
        QCOMPARE(model.index(0, 0).data(Qt::AccessibleTextRole).toString(),
                 QStringLiteral("a.avi → a.mp3 · MP3 Sound (MP3) · Waiting"));

        // One tick changes one row, and only it.
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        QVERIFY(list.setState(1, QueueItem::State::Converting));
        list.setPercent(1, 42);
        QCOMPARE(changed.size(), 2);
        QCOMPARE(changed.last().at(0).toModelIndex().row(), 1);
        QCOMPARE(model.index(1, 0).data(QueueModel::PercentRole).toInt(), 42);
        QCOMPARE(model.index(1, QueueModel::State).data().toString(), QStringLiteral("Converting 42 %"));

        // Up and Down move one row, which a persistent index follows.
        const QPersistentModelIndex first(model.index(0, 0));
        QSignalSpy moved(&model, &QAbstractItemModel::rowsMoved);
        QVERIFY(list.move(0, 2));
        QCOMPARE(moved.size(), 1);
        QCOMPARE(first.row(), 2);
        QCOMPARE(first.data().toString(), QStringLiteral("a.avi"));
        QVERIFY(list.move(2, -1));
        QCOMPARE(first.row(), 1);

        QVERIFY(list.setState(0, QueueItem::State::Failed, QStringLiteral("gone")));
        QCOMPARE(model.index(0, 0).data(QueueModel::ReasonRole).toString(), QStringLiteral("gone"));
        QCOMPARE(model.index(0, 0).data(QueueModel::StateRole).toInt(), int(QueueItem::State::Failed));
        QCOMPARE(list.clearFinished(), 1);
        QVERIFY(list.remove(0));
        QCOMPARE(model.rowCount(), 1);
        list.replaceAll({});
        QCOMPARE(model.rowCount(), 0);
    }
};

QTEST_MAIN(TestQueueModel)
#include "tst_queuemodel.moc"
