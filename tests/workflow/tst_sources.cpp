// A source before its run: the check's words for what cannot be converted, the name the encoder
// opens, and names carried as the bytes the system gave.

#include "workflow/FileNameBytes.h"
#include "workflow/SourceCheck.h"

#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

class TestSources : public QObject {
    Q_OBJECT
private slots:
    void check_data()
    {
        QTest::addColumn<QString>("kind"); // what stands at the name
        QTest::addColumn<QString>("problem");
        QTest::newRow("a video") << "file" << "";
        QTest::newRow("nothing") << "missing" << ""; // the run reports it, as it always has
        QTest::newRow("empty") << "empty" << "The source video file is empty.";
        QTest::newRow("a folder") << "folder" << "The source video file is a folder.";
        QTest::newRow("a named pipe") << "fifo" << "";
        QTest::newRow("a link to a folder") << "link to folder" << "The source video file is a folder.";
        QTest::newRow("unreadable") << "unreadable" << "The source video file cannot be read: Permission denied.";
        QTest::newRow("a Latin-1 name") << "latin-1" << "";
    }
    void check()
    {
        QFETCH(QString, kind);
        QFETCH(QString, problem);
        if (kind == QLatin1String("unreadable") && ::geteuid() == 0)
            QSKIP("root reads every file");
        QTemporaryDir dir;
        QString path = dir.filePath(QStringLiteral("source.avi"));
        const QByteArray bytes = QFile::encodeName(path);
        if (kind == QLatin1String("file") || kind == QLatin1String("unreadable")) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("RIFF");
            file.close();
            if (kind == QLatin1String("unreadable"))
                QVERIFY(file.setPermissions({}));
        } else if (kind == QLatin1String("empty")) {
            QVERIFY(QFile(path).open(QIODevice::WriteOnly));
        } else if (kind == QLatin1String("folder")) {
            QVERIFY(QDir().mkdir(path));
        } else if (kind == QLatin1String("fifo")) {
            QCOMPARE(::mkfifo(bytes.constData(), 0600), 0);
        } else if (kind == QLatin1String("link to folder")) {
            QCOMPARE(::symlink(QFile::encodeName(dir.path()).constData(), bytes.constData()), 0);
        }
        // QTemporaryDir cannot remove a name that is not text.
        const QByteArray latin1 = QFile::encodeName(dir.path()) + "/caf\xe9.avi";
        const auto removal = qScopeGuard([&latin1] { ::unlink(latin1.constData()); });
        if (kind == QLatin1String("latin-1")) {
            const QByteArray &name = latin1;
            QFile file;
            QVERIFY(file.open(::open(name.constData(), O_WRONLY | O_CREAT, 0600), QIODevice::WriteOnly,
                              QFileDevice::AutoCloseHandle));
            file.write("RIFF");
            path = FileNameBytes::decode(name);
        }
        QCOMPARE(SourceCheck::problem(path).value_or(QString()), problem);
    }

    void encoderName_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("opened"); // %1 is this process
        QTest::newRow("a file") << "/v/clip.avi" << "/v/clip.avi";
        QTest::newRow("standard input") << "/dev/stdin" << "/proc/%1/fd/0";
        QTest::newRow("a descriptor") << "/dev/fd/7" << "/proc/%1/fd/7";
        QTest::newRow("our own descriptor") << "/proc/self/fd/3" << "/proc/%1/fd/3";
        QTest::newRow("another process's") << "/proc/1/fd/0" << "/proc/1/fd/0";
    }
    void encoderName()
    {
        QFETCH(QString, source);
        QFETCH(QString, opened);
        QCOMPARE(SourceCheck::forEncoder(source), opened.contains(QLatin1String("%1")) ? opened.arg(::getpid()) : opened);
    }

    void bytes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("text");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("escaped");
        QTest::newRow("UTF-8") << QByteArray("caf\xc3\xa9 \xf0\x9f\x8e\xac.avi") << true << "café 🎬.avi" << "café 🎬.avi";
        QTest::newRow("Latin-1") << QByteArray("caf\xe9.avi") << false << "caf\uFFFD.avi" << "caf\\xe9.avi";
        QTest::newRow("a backslash beside a byte") << QByteArray("a\\\xff") << false << "a\\\uFFFD" << "a\\\\\\xff";
        QTest::newRow("an encoded surrogate") << QByteArray("\xed\xb3\xa9") << false << "\uFFFD\uFFFD\uFFFD"
                                              << "\\xed\\xb3\\xa9";
        QTest::newRow("overlong slash") << QByteArray("\xc0\xaf") << false << "\uFFFD\uFFFD" << "\\xc0\\xaf";
        QTest::newRow("cut short") << QByteArray("x\xe2\x82") << false << "x\uFFFD\uFFFD" << "x\\xe2\\x82";
    }
    void bytes()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, text);
        QFETCH(QString, shown);
        QFETCH(QString, escaped);
        const QString name = FileNameBytes::decode(bytes);
        QCOMPARE(FileNameBytes::encode(name), bytes);
        QCOMPARE(FileNameBytes::isText(name), text);
        QCOMPARE(FileNameBytes::shown(name), shown);
        QCOMPARE(FileNameBytes::escaped(name), escaped);
    }
};

QTEST_GUILESS_MAIN(TestSources)
#include "tst_sources.moc"
