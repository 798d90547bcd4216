#include "BoxRecorder.h"
#include "common/MessageBoxes.h"
#include "common/RuntimeError.h"
#include "controls/button/SoundFiles.h"

#include <QDataStream>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

// The button's sounds: written out of the resources into a private folder, and played silently.
class TestSoundFiles : public QObject {
    Q_OBJECT
private slots:
    void saveResourceToFile()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QFile resource(QStringLiteral(":/CUSTOM/101"));
        QVERIFY(resource.open(QIODevice::ReadOnly));
        const QByteArray bytes = resource.readAll();
        QVERIFY(!bytes.isEmpty());

        const QString fresh = dir.filePath(QStringLiteral("fresh.wav"));
        SaveResourceToFile(101, fresh);
        QFile written(fresh);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), bytes);
        written.close();

        // An existing longer file keeps its tail: the bytes overwrite it from the start.
        const QString existing = dir.filePath(QStringLiteral("existing.wav"));
        QFile old(existing);
        QVERIFY(old.open(QIODevice::WriteOnly));
        const QByteArray longer(bytes.size() + 7, 'x');
        old.write(longer);
        old.close();
        SaveResourceToFile(101, existing);
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), bytes + QByteArray(7, 'x'));
    }

    void saveResourceToFileFailures_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("code");
        QTest::newRow("missing resource") << 999 << "out.wav" << 326;
        QTest::newRow("unwritable file") << 101 << "no/such/folder/out.wav" << 75;
    }
    void saveResourceToFileFailures()
    {
        QFETCH(int, id);
        QFETCH(QString, file);
        QFETCH(int, code);
        QTemporaryDir dir;
        try {
            SaveResourceToFile(int16_t(id), dir.filePath(file));
            QFAIL("no error");
        } catch (const RuntimeError &e) {
            QCOMPARE(e.code(), code);
        }
        QVERIFY(!QFile::exists(dir.filePath(file)) || code != 326);
    }

    // A link planted at the name is not written through: the file it points to stays as it was.
    void saveResourceToFileRefusesALink()
    {
        QTemporaryDir dir;
        const QString victim = dir.filePath(QStringLiteral("victim"));
        QFile file(victim);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("precious");
        file.close();
        const QString planted = dir.filePath(QStringLiteral("soundClick.wav"));
        QVERIFY(QFile::link(victim, planted));
        try {
            SaveResourceToFile(101, planted);
            QFAIL("no error");
        } catch (const RuntimeError &e) {
            QCOMPARE(e.code(), 75);
        }
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("precious"));
    }

    // Where the sounds are written out: a folder of this user's that no one else may enter.
    void privateSoundFolder_data()
    {
        QTest::addColumn<QString>("runtime"); // XDG_RUNTIME_DIR: "" unset, "dir" a folder, "link" a planted link
        QTest::addColumn<bool>("inRuntime");
        QTest::newRow("runtime folder") << "dir" << true;
        QTest::newRow("no runtime folder") << "" << false;
        QTest::newRow("a link planted as the runtime folder's") << "link" << false;
    }
    void privateSoundFolder()
    {
        QFETCH(QString, runtime);
        QFETCH(bool, inRuntime);
        QTemporaryDir temp;
        QTemporaryDir runtimeDir;
        if (runtime == QLatin1String("link"))
            QVERIFY(QFile::link(temp.path(), runtimeDir.filePath(QStringLiteral("vidomar"))));
        const QByteArray previous = qgetenv("XDG_RUNTIME_DIR");
        if (runtime.isEmpty())
            qunsetenv("XDG_RUNTIME_DIR");
        else
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeDir.path()));
        const QString folder = ::privateSoundFolder(temp.path());
        const QString again = ::privateSoundFolder(temp.path());
        qputenv("XDG_RUNTIME_DIR", previous);

        QCOMPARE(again, folder);
        const QFileInfo info(folder);
        QVERIFY(info.isDir() && !info.isSymLink());
        QCOMPARE(info.absolutePath(), inRuntime ? runtimeDir.path() : temp.path());
        QVERIFY(info.fileName().startsWith(QLatin1String("vidomar")));
        struct stat mode {};
        QCOMPARE(::stat(QFile::encodeName(folder).constData(), &mode), 0);
        QCOMPARE(mode.st_mode & 0777, 0700u);
    }

    // Playback never reports anything, whatever the file, and returns to the caller.
    void playSoundFileIsSilent()
    {
        const BoxRecorder boxes;
        QTemporaryDir dir;
        const QString wav = dir.filePath(QStringLiteral("tone.wav"));
        QFile file(wav);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(waveFile());
        file.close();
        const QString garbage = dir.filePath(QStringLiteral("garbage.wav"));
        const QString truncated = dir.filePath(QStringLiteral("truncated.wav"));
        for (const auto &[name, bytes] : {std::pair{garbage, QByteArray("not a sound")},
                                          std::pair{truncated, waveFile().left(200)}}) {
            QFile junk(name);
            QVERIFY(junk.open(QIODevice::WriteOnly));
            junk.write(bytes);
        }

        // Files the player could not finish loading come between good ones: none may block.
        const QStringList names = {wav, dir.filePath(QStringLiteral("missing.wav")), QString(), garbage, wav,
                                   truncated, wav, wav};
        for (const QString &name : names) {
            PlaySoundFile(name);
            QTest::qWait(50);
        }
        QTest::qWait(200);
        QVERIFY(boxes.texts.isEmpty());
    }

private:
    // A short 8-bit mono wave file.
    static QByteArray waveFile()
    {
        const QByteArray samples(4000, char(0x80));
        QByteArray data;
        QDataStream out(&data, QIODevice::WriteOnly);
        out.setByteOrder(QDataStream::LittleEndian);
        out.writeRawData("RIFF", 4);
        out << quint32(36 + samples.size());
        out.writeRawData("WAVEfmt ", 8);
        out << quint32(16) << quint16(1) << quint16(1) << quint32(8000) << quint32(8000) << quint16(1) << quint16(8);
        out.writeRawData("data", 4);
        out << quint32(samples.size());
        out.writeRawData(samples.constData(), int(samples.size()));
        return data;
    }
};

QTEST_MAIN(TestSoundFiles)
#include "tst_soundfiles.moc"
