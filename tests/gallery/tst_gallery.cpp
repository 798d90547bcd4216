// The contact-sheet tool's command line: what it answers to arguments that name no folder.

#include "RunProgram.h"

#include <QtTest>

class TestGallery : public QObject {
    Q_OBJECT
private slots:
    // Nothing is written for any of these: the working folder stays empty.
    void argumentsThatNameNoFolder_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<bool>("usageOnStdout");
        QTest::newRow("--help") << QStringList{"--help"} << 0 << true;
        QTest::newRow("-h") << QStringList{"-h"} << 0 << true;
        QTest::newRow("an unknown option") << QStringList{"--sheets"} << 2 << false;
        QTest::newRow("nothing") << QStringList{} << 2 << false;
        QTest::newRow("two folders") << QStringList{"a", "b"} << 2 << false;
    }
    void argumentsThatNameNoFolder()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(bool, usageOnStdout);
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const ProgramRun gallery = runProgram(qEnvironmentVariable("VIDOMAR_BIN_DIR") + QStringLiteral("/gallery"), arguments,
                                              {.folder = folder.path(), .errorsApart = true, .limitMs = 60000});
        QCOMPARE(gallery.exitCode, exitCode);
        const QByteArray usage("usage: gallery <output folder>\n");
        QCOMPARE(gallery.output == usage, usageOnStdout);
        QCOMPARE(gallery.errors.endsWith(usage), !usageOnStdout);
        QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestGallery)
#include "tst_gallery.moc"
