#include "FileContent.h"
#include "TemporaryFile.h"

#include <QtTest>

#include <sys/stat.h>
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

}

class TestTemporaryFile : public QObject {
    Q_OBJECT
private slots:
    void nameRule_data()
    {
        QTest::addColumn<QString>("destination");
        QTest::addColumn<QString>("temporary");
        QTest::newRow("folder and extension") << "/d/clip.mp4" << "/d/.clip.avformat-box-4242.mp4";
        QTest::newRow("no folder") << "clip.mp4" << ".clip.avformat-box-4242.mp4";
        QTest::newRow("no extension") << "/d/clip" << "/d/.clip.avformat-box-4242";
        QTest::newRow("two dots") << "/d/a.b.3gp" << "/d/.a.b.avformat-box-4242.3gp";
        QTest::newRow("dot in the folder only") << "/d.x/clip" << "/d.x/.clip.avformat-box-4242";
        QTest::newRow("capital extension kept") << "/d/Clip.MP4" << "/d/.Clip.avformat-box-4242.MP4";
        QTest::newRow("blanks") << "/d e/a b.wav" << "/d e/.a b.avformat-box-4242.wav";
        QTest::newRow("the marker in the extension") << "/d/o.avformat-rm" << "/d/.o.avformat-box-4242.avformat-rm";
    }
    void nameRule()
    {
        QFETCH(QString, destination);
        QFETCH(QString, temporary);
        const std::string path = TemporaryFile::pathFor(destination.toStdString(), "box", 4242);
        QCOMPARE(QString::fromStdString(path), temporary);
        const auto owner = TemporaryFile::ownerOf(path.substr(path.rfind('/') + 1));
        QVERIFY(owner);
        QCOMPARE(owner->host, std::string("box"));
        QCOMPARE(owner->pid, 4242);
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
        const std::string host(64, 'h');
        // ".mpeg" leaves an odd number of bytes for the stem, so a two-byte character is cut.
        const std::string destination = "/d/" + stem.toStdString() + ".mpeg";
        const std::string path = TemporaryFile::pathFor(destination, host, 2147483647);
        const std::string name = path.substr(3);
        QVERIFY(name.size() <= 255);
        QVERIFY(name.ends_with(".avformat-" + host + "-2147483647.mpeg"));
        QCOMPARE(QString::fromUtf8(name).toUtf8().toStdString(), name);
        QCOMPARE(TemporaryFile::ownerOf(name).value_or(TemporaryFile::Owner()).pid, 2147483647);
    }

    // The host name as it goes into the name: nothing that would end the stem or the host.
    void hostName()
    {
        const std::string host = TemporaryFile::hostName();
        QVERIFY(!host.empty() && host.size() <= 64);
        QVERIFY(host.find_first_of("./") == std::string::npos);
        QCOMPARE(TemporaryFile::ownerOf(".x.avformat-" + host + "-12.mp4").value_or(TemporaryFile::Owner()).host, host);
    }

    void notOurs_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("the destination") << "clip.mp4";
        QTest::newRow("no host") << ".clip.avformat-12.mp4";
        QTest::newRow("no digits") << ".clip.avformat-box-.mp4";
        QTest::newRow("letters") << ".clip.avformat-box-12x.mp4";
        QTest::newRow("leading zero") << ".clip.avformat-box-0123.mp4";
        QTest::newRow("too many digits") << ".clip.avformat-box-12345678901.mp4";
        QTest::newRow("two extensions") << ".clip.avformat-box-12.mp4.part";
        QTest::newRow("no hiding dot") << "clip.avformat-box-12.mp4";
    }
    void notOurs()
    {
        QFETCH(QString, name);
        QVERIFY(!TemporaryFile::ownerOf(name.toStdString()));
    }

    // Every name is a file now, protocols and pipes included; a folder name has none.
    void appliesTo_data()
    {
        QTest::addColumn<QString>("destination");
        QTest::addColumn<bool>("applies");
        QTest::newRow("file") << "out.mp4" << true;
        QTest::newRow("path") << "/d/out.mp4" << true;
        QTest::newRow("pipe") << "pipe:1.wav" << true;
        QTest::newRow("protocol") << "udp://127.0.0.1:1234" << true;
        QTest::newRow("folder") << "/d/" << false;
        QTest::newRow("empty") << "" << false;
    }
    void appliesTo()
    {
        QFETCH(QString, destination);
        QFETCH(bool, applies);
        QCOMPARE(TemporaryFile::appliesTo(destination.toStdString()), applies);
    }

    // Leftovers of this host whose process is gone go, whatever their destination; a live
    // process's file, another host's and anything that is not a file stay.
    void removeStale()
    {
        QTemporaryDir dir;
        const QString d = dir.path() + '/';
        const QString host = QString::fromStdString(TemporaryFile::hostName());
        const QString dead = QString::number(deadPid());
        const QString alive = QString::number(getppid());
        touch(d + ".clip.avformat-" + host + "-" + dead + ".mp4");
        touch(d + ".other.avformat-" + host + "-" + dead + ".avi");
        touch(d + ".clip.avformat-" + host + "-" + alive + ".mp4");
        touch(d + ".clip.avformat-elsewhere-" + dead + ".mp4");
        QVERIFY(QDir().mkdir(d + ".clip.avformat-" + host + "-" + QString::number(deadPid()) + ".mp4"));
        touch(d + "clip.mp4", "old");

        TemporaryFile::removeStale(d.toStdString(), host.toStdString());

        QStringList left = QDir(d).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        QCOMPARE(left.size(), 4);
        QVERIFY(!left.contains(".clip.avformat-" + host + "-" + dead + ".mp4"));
        QVERIFY(!left.contains(".other.avformat-" + host + "-" + dead + ".avi"));
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

    // The file that replaces another gets its permission bits exactly, whatever the umask, and
    // its owner and group where this user may give them (root may).
    void natureOfTheReplacedFile_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("otherOwner");
        QTest::newRow("private 0600") << 0600 << false;
        QTest::newRow("0666 past a umask of 077") << 0666 << false;
        QTest::newRow("executable 0750") << 0750 << false;
        QTest::newRow("owned by nobody") << 0640 << true;
    }
    void natureOfTheReplacedFile()
    {
        QFETCH(int, mode);
        QFETCH(bool, otherOwner);
        if (otherOwner && geteuid() != 0)
            QSKIP("only root may give a file to another user");
        QTemporaryDir dir;
        const QByteArray destination = QFile::encodeName(dir.filePath("out.mp4"));
        touch(dir.filePath("out.mp4"), "old");
        QCOMPARE(chmod(destination.constData(), mode_t(mode)), 0);
        if (otherOwner)
            QCOMPARE(chown(destination.constData(), 65534, 65534), 0);
        struct stat replaced;
        QCOMPARE(stat(destination.constData(), &replaced), 0);

        const mode_t previousMask = umask(077);
        TemporaryFile file(destination.toStdString());
        const bool created = file.create(&replaced);
        umask(previousMask);
        QVERIFY(created);
        struct stat info;
        QCOMPARE(stat(file.path().c_str(), &info), 0);
        QCOMPARE(int(info.st_mode & 07777), mode);
        QCOMPARE(info.st_uid, replaced.st_uid);
        QCOMPARE(info.st_gid, replaced.st_gid);
        file.discard();
    }
};

QTEST_MAIN(TestTemporaryFile)
#include "tst_temporaryfile.moc"
