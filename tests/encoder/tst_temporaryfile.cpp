#include "TemporaryFile.h"

#include <QtTest>

#include <sys/wait.h>
#include <unistd.h>

namespace {

// A process id that is certainly not running: a child that has ended and been reaped.
pid_t deadPid()
{
    const pid_t pid = fork();
    if (pid == 0)
        _exit(0);
    waitpid(pid, nullptr, 0);
    return pid;
}

void touch(const QString &path, const QByteArray &content = "x")
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

}

class TestTemporaryFile : public QObject {
    Q_OBJECT
private slots:
    void nameRule_data()
    {
        QTest::addColumn<QString>("destination");
        QTest::addColumn<QString>("temporary");
        QTest::newRow("folder and extension") << "/d/clip.mp4" << "/d/.clip.avformat-4242.mp4";
        QTest::newRow("no folder") << "clip.mp4" << ".clip.avformat-4242.mp4";
        QTest::newRow("no extension") << "/d/clip" << "/d/.clip.avformat-4242";
        QTest::newRow("two dots") << "/d/a.b.3gp" << "/d/.a.b.avformat-4242.3gp";
        QTest::newRow("dot in the folder only") << "/d.x/clip" << "/d.x/.clip.avformat-4242";
        QTest::newRow("capital extension kept") << "/d/Clip.MP4" << "/d/.Clip.avformat-4242.MP4";
        QTest::newRow("blanks") << "/d e/a b.wav" << "/d e/.a b.avformat-4242.wav";
    }
    void nameRule()
    {
        QFETCH(QString, destination);
        QFETCH(QString, temporary);
        const std::string path = TemporaryFile::pathFor(destination.toStdString(), 4242);
        QCOMPARE(QString::fromStdString(path), temporary);
        const std::string name = path.substr(path.rfind('/') + 1);
        QCOMPARE(TemporaryFile::ownerOf(name, destination.toStdString()).value_or(-1), 4242);
    }

    // A name at the length limit is shortened at a character boundary, keeps the extension and
    // is still recognised as ours.
    void longNames_data()
    {
        QTest::addColumn<QString>("stem");
        QTest::newRow("ascii") << QString(251, 'a');
        QTest::newRow("two-byte characters") << QString(125, QChar(0xe9));
    }
    void longNames()
    {
        QFETCH(QString, stem);
        // ".mpeg" leaves an odd number of bytes for the stem, so a two-byte character is cut.
        const std::string destination = "/d/" + stem.toStdString() + ".mpeg";
        const std::string path = TemporaryFile::pathFor(destination, 2147483647);
        const std::string name = path.substr(3);
        QVERIFY(name.size() <= 255);
        QVERIFY(name.ends_with(".avformat-2147483647.mpeg"));
        QCOMPARE(QString::fromUtf8(name).toUtf8().toStdString(), name);
        QCOMPARE(TemporaryFile::ownerOf(name, destination).value_or(-1), 2147483647);
    }

    void notOurs_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("the destination") << "clip.mp4";
        QTest::newRow("no digits") << ".clip.avformat-.mp4";
        QTest::newRow("letters") << ".clip.avformat-12x.mp4";
        QTest::newRow("leading zero") << ".clip.avformat-0123.mp4";
        QTest::newRow("too many digits") << ".clip.avformat-12345678901.mp4";
        QTest::newRow("other stem") << ".other.avformat-12.mp4";
        QTest::newRow("other extension") << ".clip.avformat-12.avi";
        QTest::newRow("no hiding dot") << "clip.avformat-12.mp4";
    }
    void notOurs()
    {
        QFETCH(QString, name);
        QVERIFY(!TemporaryFile::ownerOf(name.toStdString(), "/d/clip.mp4"));
    }

    void appliesTo_data()
    {
        QTest::addColumn<QString>("destination");
        QTest::addColumn<bool>("applies");
        QTest::newRow("file") << "out.mp4" << true;
        QTest::newRow("path") << "/d/out.mp4" << true;
        QTest::newRow("standard output") << "-" << false;
        QTest::newRow("pipe") << "pipe:1" << false;
        QTest::newRow("protocol") << "udp://127.0.0.1:1234" << false;
        QTest::newRow("folder") << "/d/" << false;
    }
    void appliesTo()
    {
        QFETCH(QString, destination);
        QFETCH(bool, applies);
        QCOMPARE(TemporaryFile::appliesTo(destination.toStdString()), applies);
    }

    // Only this destination's files of processes that are gone are removed.
    void removeStale()
    {
        QTemporaryDir dir;
        const QString d = dir.path() + '/';
        const QString dead = QString::number(deadPid());
        const QString alive = QString::number(getppid());
        touch(d + ".clip.avformat-" + dead + ".mp4");
        touch(d + ".clip.avformat-" + alive + ".mp4");
        touch(d + ".other.avformat-" + dead + ".mp4");
        touch(d + ".clip.avformat-" + dead + ".avi");
        QVERIFY(QDir().mkdir(d + ".clip.avformat-" + QString::number(deadPid()) + ".mp4"));
        touch(d + "clip.mp4", "old");

        TemporaryFile(dir.filePath("clip.mp4").toStdString()).removeStale();

        QStringList left = QDir(d).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        QCOMPARE(left.size(), 5);
        QVERIFY(!left.contains(".clip.avformat-" + dead + ".mp4"));
        QCOMPARE(contentOf(d + "clip.mp4"), QByteArray("old"));
    }

    void createCommitDiscard()
    {
        QTemporaryDir dir;
        const std::string destination = dir.filePath("out.mp4").toStdString();
        touch(dir.filePath("out.mp4"), "old");

        TemporaryFile first(destination);
        QVERIFY(first.create());
        QVERIFY(QFile::exists(QString::fromStdString(first.path())));
        TemporaryFile second(destination);
        QVERIFY(!second.create());
        QCOMPARE(errno, EEXIST);

        touch(QString::fromStdString(first.path()), "new");
        QVERIFY(first.commit());
        QCOMPARE(contentOf(dir.filePath("out.mp4")), QByteArray("new"));
        QVERIFY(!QFile::exists(QString::fromStdString(first.path())));

        TemporaryFile third(destination);
        QVERIFY(third.create());
        third.discard();
        QVERIFY(!QFile::exists(QString::fromStdString(third.path())));
        QCOMPARE(contentOf(dir.filePath("out.mp4")), QByteArray("new"));
    }
};

QTEST_MAIN(TestTemporaryFile)
#include "tst_temporaryfile.moc"
