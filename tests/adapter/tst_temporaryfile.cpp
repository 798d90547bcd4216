#include "FileContent.h"
#include "TemporaryFile.h"
#include "TemporaryName.h"

#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/time.h>
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
        QTest::newRow("folder and extension") << "/d/clip.mp4" << "/d/.clip.avformat-box-4242-k3x9q2m7.mp4";
        QTest::newRow("no folder") << "clip.mp4" << ".clip.avformat-box-4242-k3x9q2m7.mp4";
        QTest::newRow("no extension") << "/d/clip" << "/d/.clip.avformat-box-4242-k3x9q2m7";
        QTest::newRow("two dots") << "/d/a.b.3gp" << "/d/.a.b.avformat-box-4242-k3x9q2m7.3gp";
        QTest::newRow("dot in the folder only") << "/d.x/clip" << "/d.x/.clip.avformat-box-4242-k3x9q2m7";
        QTest::newRow("capital extension kept") << "/d/Clip.MP4" << "/d/.Clip.avformat-box-4242-k3x9q2m7.MP4";
        QTest::newRow("blanks") << "/d e/a b.wav" << "/d e/.a b.avformat-box-4242-k3x9q2m7.wav";
        QTest::newRow("the marker in the extension") << "/d/o.avformat-rm" << "/d/.o.avformat-box-4242-k3x9q2m7.avformat-rm";
    }
    void nameRule()
    {
        QFETCH(QString, destination);
        QFETCH(QString, temporary);
        const std::string path = TemporaryName::pathFor(destination.toStdString(), "box", 4242, "k3x9q2m7");
        QCOMPARE(QString::fromStdString(path), temporary);
        QVERIFY(TemporaryFile::isTemporaryName(path.substr(path.rfind('/') + 1)));
    }

    // A name at the length limit is shortened at a character boundary, keeps the extension and
    // is still recognised as a temporary name.
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
        const std::string path = TemporaryName::pathFor(destination, host, 2147483647, TemporaryName::randomPart());
        const std::string name = path.substr(3);
        QVERIFY(name.size() <= 255);
        QVERIFY(name.starts_with(".") && name.ends_with(".mpeg"));
        QVERIFY(name.find(".avformat-" + host + "-2147483647-") != std::string::npos);
        QCOMPARE(QString::fromUtf8(name).toUtf8().toStdString(), name);
        QVERIFY(TemporaryFile::isTemporaryName(name));
    }

    // The host name as it goes into the name: nothing that would end the stem or the host.
    void hostName()
    {
        const std::string host = TemporaryName::hostName();
        QVERIFY(!host.empty() && host.size() <= 64);
        QVERIFY(host.find_first_of("./") == std::string::npos);
        QVERIFY(TemporaryFile::isTemporaryName(".x.avformat-" + host + "-12-" + TemporaryName::randomPart() + ".mp4"));
    }

    void notOurs_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("the destination") << "clip.mp4";
        QTest::newRow("no host") << ".clip.avformat-12-k3x9q2m7.mp4";
        QTest::newRow("no digits") << ".clip.avformat-box--k3x9q2m7.mp4";
        QTest::newRow("letters") << ".clip.avformat-box-12x-k3x9q2m7.mp4";
        QTest::newRow("leading zero") << ".clip.avformat-box-0123-k3x9q2m7.mp4";
        QTest::newRow("too many digits") << ".clip.avformat-box-12345678901-k3x9q2m7.mp4";
        QTest::newRow("two extensions") << ".clip.avformat-box-12-k3x9q2m7.mp4.part";
        QTest::newRow("no hiding dot") << "clip.avformat-box-12-k3x9q2m7.mp4";
        QTest::newRow("no random part (an older adapter's)") << ".clip.avformat-box-12.mp4";
        // What a preset writes beside its file, named after it: HLS segments, a playlist's draft.
        QTest::newRow("a segment named after it") << ".clip.avformat-box-12-k3x9q2m70.ts";
        QTest::newRow("a segment, three digits") << ".clip.avformat-box-12-k3x9q2m7012.ts";
        QTest::newRow("capitals in the random part") << ".clip.avformat-box-12-K3X9Q2M7.mp4";
    }
    void notOurs()
    {
        QFETCH(QString, name);
        QVERIFY(!TemporaryFile::isTemporaryName(name.toStdString()));
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

    // A leftover of this machine goes when nobody holds its lock and it has rested for a minute,
    // whatever process its name names; another machine's only after a day, since its lock may
    // not show here. A file a run holds stays however its name reads (a run in another PID
    // namespace with the same host name), and so do fresh files and non-files.
    void removeStale_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("age");
        QTest::addColumn<bool>("held");
        QTest::addColumn<bool>("removed");
        const QString host = QString::fromStdString(TemporaryName::hostName());
        const QString gone = ".clip.avformat-" + host + "-" + QString::number(deadPid()) + "-k3x9q2m7.mp4";
        QTest::newRow("a killed run's") << gone << 61 << false << true;
        QTest::newRow("another machine's, paused for two minutes") << ".other.avformat-elsewhere-12-k3x9q2m7.avi" << 120
                                                                   << false << false;
        QTest::newRow("another machine's, a day old") << ".other.avformat-elsewhere-12-k3x9q2m7.avi" << 86401 << false
                                                      << true;
        QTest::newRow("held, its process id not alive here") << gone << 120 << true << false;
        QTest::newRow("held by a live process")
            << ".clip.avformat-" + host + "-" + QString::number(getpid()) + "-k3x9q2m7.mp4" << 3600 << true << false;
        QTest::newRow("an HLS segment named after a killed run's file")
            << ".clip.avformat-" + host + "-" + QString::number(deadPid()) + "-k3x9q2m70.ts" << 3600 << false << false;
        QTest::newRow("not held, resting for less than a minute") << gone << 10 << false << false;
        QTest::newRow("not a temporary name") << "clip.mp4" << 3600 << false << false;
    }
    void removeStale()
    {
        QFETCH(QString, name);
        QFETCH(int, age);
        QFETCH(bool, held);
        QFETCH(bool, removed);
        QTemporaryDir dir;
        const QByteArray path = QFile::encodeName(dir.filePath(name));
        touch(dir.filePath(name));
        const timeval times[2] = {{time(nullptr) - age, 0}, {time(nullptr) - age, 0}};
        QCOMPARE(utimes(path.constData(), times), 0);
        const int fd = open(path.constData(), O_RDWR | O_CLOEXEC);
        QVERIFY(fd >= 0);
        const auto closeIt = qScopeGuard([fd] { close(fd); });
        struct flock lock {};
        lock.l_type = F_WRLCK;
        QVERIFY(!held || fcntl(fd, F_OFD_SETLK, &lock) == 0);
        // Something else with a temporary name is never touched.
        const QString folder = dir.filePath(".clip.avformat-" + QString::fromStdString(TemporaryName::hostName()) + "-"
                                            + QString::number(deadPid()) + "-k3x9q2m7.mp4");
        QVERIFY(QDir().mkdir(folder));

        TemporaryFile::removeStale(dir.path().toStdString() + "/");

        QCOMPARE(QFile::exists(dir.filePath(name)), !removed);
        QVERIFY(QFileInfo(folder).isDir());
    }

    void createCommitDiscard()
    {
        QTemporaryDir dir;
        const std::string destination = dir.filePath("out.mp4").toStdString();
        touch(dir.filePath("out.mp4"), "old");

        TemporaryFile first(destination);
        QVERIFY(first.create());
        QVERIFY(QFile::exists(QString::fromStdString(first.path())));
        // A second run of the same process id (a retry in a new PID namespace) gets a name of its own.
        TemporaryFile second(destination);
        QVERIFY(second.create());
        QVERIFY(second.path() != first.path());
        second.discard();

        touch(QString::fromStdString(first.path()), "new");
        QVERIFY(first.commit());
        QCOMPARE(contentOf(dir.filePath("out.mp4")), QByteArray("new"));
        QVERIFY(!QFile::exists(QString::fromStdString(first.path())));

        TemporaryFile third(destination);
        QVERIFY(third.create());
        third.discard();
        QVERIFY(!QFile::exists(QString::fromStdString(third.path())));
        QCOMPARE(contentOf(dir.filePath("out.mp4")), QByteArray("new"));

        // An owner that ends without committing takes its file along.
        std::string left;
        {
            TemporaryFile fourth(destination);
            QVERIFY(fourth.create());
            left = fourth.path();
        }
        QVERIFY(!QFile::exists(QString::fromStdString(left)));
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
