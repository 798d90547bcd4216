#include "workflow/DestinationName.h"

#include <QtTest>

// The one naming rule every front end uses.
class TestDestinationName : public QObject {
    Q_OBJECT
private slots:
    void destinationFor_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("destination");
        QTest::newRow("plain") << "/clips/party.avi" << ".mp4" << "" << "/clips/party.mp4";
        QTest::newRow("folder names untouched") << "/clips/my.avi.files/clip.avi" << ".mp4" << ""
                                                << "/clips/my.avi.files/clip.mp4";
        QTest::newRow("extension in any case") << "/clips/party.Avi" << ".wav" << "" << "/clips/party.wav";
        QTest::newRow("upper case") << "/clips/PARTY.AVI" << ".mp3" << "" << "/clips/PARTY.mp3";
        QTest::newRow("only the last extension") << "/clips/clip.take2.avi" << ".mp3" << "" << "/clips/clip.take2.mp3";
        QTest::newRow("the source itself") << "/clips/party.avi" << ".avi" << "" << "/clips/party (converted).avi";
        QTest::newRow("the source itself, by another case") << "/clips/party.AVI" << ".AVI" << ""
                                                            << "/clips/party (converted).AVI";
        QTest::newRow("no extension") << "/clips/party" << ".mp4" << "" << "/clips/party.mp4";
        QTest::newRow("hidden name") << "/clips/.party" << ".mp4" << "" << "/clips/.party.mp4";
        QTest::newRow("dot in the folder only") << "/clips/v1.2/party" << ".mp4" << "" << "/clips/v1.2/party.mp4";
        QTest::newRow("into a folder") << "/clips/my.avi.files/clip.avi" << ".mp3" << "/out.d"
                                       << "/out.d/clip.mp3";
        QTest::newRow("into its own folder") << "/clips/party.avi" << ".avi" << "/clips" << "/clips/party (converted).avi";
    }
    void destinationFor()
    {
        QFETCH(QString, source);
        QFETCH(QString, extension);
        QFETCH(QString, folder);
        QFETCH(QString, destination);
        QCOMPARE(::destinationFor(source, extension, folder), destination);
    }

    // A second item wanting a taken name gets the next free number, before its extension.
    void uniqueDestination_data()
    {
        QTest::addColumn<QString>("wanted");
        QTest::addColumn<QStringList>("taken");
        QTest::addColumn<QString>("destination");
        QTest::newRow("free") << "/c/a.mp4" << QStringList{"/c/b.mp4"} << "/c/a.mp4";
        QTest::newRow("taken") << "/c/a.mp4" << QStringList{"/c/a.mp4"} << "/c/a (2).mp4";
        QTest::newRow("taken twice") << "/c/a.mp4" << QStringList{"/c/a.mp4", "/c/a (2).mp4"} << "/c/a (3).mp4";
        QTest::newRow("spelled otherwise") << "/c/./x/../a.mp4" << QStringList{"/c/a.mp4"} << "/c/./x/../a (2).mp4";
        QTest::newRow("folder with a dot") << "/c/v1.2/a" << QStringList{"/c/v1.2/a"} << "/c/v1.2/a (2)";
    }
    void uniqueDestination()
    {
        QFETCH(QString, wanted);
        QFETCH(QStringList, taken);
        QFETCH(QString, destination);
        QStringList keys;
        for (const QString &path : std::as_const(taken))
            keys << pathKey(path);
        QCOMPARE(::uniqueDestination(wanted, keys), destination);
    }
};

QTEST_MAIN(TestDestinationName)
#include "tst_destinationname.moc"
