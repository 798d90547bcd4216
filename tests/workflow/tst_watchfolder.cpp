// The watch folder on a real folder with a stand-in for ffprobe (".avi" is media): what it offers,
// once, and what it never offers.

#include "workflow/WatchFolder.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

void put(const QString &path)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("x");
}

QStringList offered(const QSignalSpy &spy)
{
    QStringList names;
    for (const QList<QVariant> &arguments : spy)
        names << arguments.at(0).value<FolderFile>().relative;
    names.sort();
    return names;
}

} // namespace

Q_DECLARE_METATYPE(FolderFile)

class TestWatchFolder : public QObject {
    Q_OBJECT
private slots:
    // The folder emptied and made anew, an output folder inside it, hidden and non-media files, a
    // file passed over by its owner: each media file offered once.
    void offersEachFileOnce()
    {
        QTemporaryDir dir;
        const QString in = dir.filePath(QStringLiteral("in"));
        put(in + QStringLiteral("/a.avi"));
        put(in + QStringLiteral("/out/result.avi"));
        put(in + QStringLiteral("/.partial.avi"));
        put(in + QStringLiteral("/notes.txt"));
        put(in + QStringLiteral("/taken.avi"));
        WatchFolder watch(in);
        watch.setExcluded({in + QStringLiteral("/out")});
        watch.setSettleMs(300);
        watch.setRescanMs(500);
        watch.setIsMedia([](const QString &path) { return path.endsWith(QLatin1String(".avi")); });
        watch.setPassedOver([](const FolderFile &file) { return file.relative == QLatin1String("taken.avi"); });
        QSignalSpy ready(&watch, &WatchFolder::ready);
        QSignalSpy notMedia(&watch, &WatchFolder::notMedia);
        QSignalSpy missing(&watch, &WatchFolder::folderMissing);
        QSignalSpy back(&watch, &WatchFolder::folderBack);
        watch.start();
        QTRY_COMPARE(offered(ready), QStringList{"a.avi"});
        QCOMPARE(notMedia.size(), 1);

        QVERIFY(QDir(in).removeRecursively());
        QTRY_COMPARE_WITH_TIMEOUT(missing.size(), 1, 10000);
        put(in + QStringLiteral("/sub/b.avi"));
        QTRY_COMPARE_WITH_TIMEOUT(back.size(), 1, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(offered(ready), (QStringList{"a.avi", "sub/b.avi"}), 10000);
        // Rescans later: nothing again.
        QTest::qWait(1500);
        QCOMPARE(ready.size(), 2);
    }
};

QTEST_GUILESS_MAIN(TestWatchFolder)
#include "tst_watchfolder.moc"
