// Sources that are not plain readable files, through the command line with the real adapter and
// ffmpeg: each ends in its own words, or converts. Every case is a shell line, so that names can
// be bytes that are not UTF-8 and pipes can have a writer.

#include "Clip.h"
#include "RunProgram.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

class TestSources : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        m_program = builtProgram(QStringLiteral("vidomar"));
        QVERIFY(QFileInfo(m_program).isExecutable());
        QVERIFY(m_dir.isValid());
        // Two seconds of 320x240 video and sound; Matroska, which a pipe can carry.
        const QString problem = makeClip(m_dir.filePath(QStringLiteral("clip.mkv")), {.seconds = 2, .size = QStringLiteral("320x240")});
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }

    void sources_data()
    {
        QTest::addColumn<QString>("script");    // $V is the program; runs in a fresh folder with clip.mkv
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("event");     // the last JSON event; "" for none
        QTest::addColumn<QString>("field");     // "key=pattern" of that event, or ""
        QTest::addColumn<QString>("messages");  // a pattern stderr must hold, or ""
        const QString wav = QStringLiteral("--preset 'WAVE Sound (WAV)'");
        // The result holds sound.
        const QString audio = QStringLiteral(" && ffprobe -v error -show_entries stream=codec_type -of csv=p=0 %1 | grep -qx audio");

        QTest::newRow("a named pipe")
            << QStringLiteral("mkfifo p && { cat clip.mkv > p & } && \"$V\" --json %1 -o out.wav p").arg(wav) + audio.arg("out.wav")
            << 0 << "done" << "destination=^out\\.wav$" << "";
        QTest::newRow("/dev/stdin")
            << QStringLiteral("\"$V\" --json %1 -o out.wav /dev/stdin < clip.mkv").arg(wav) + audio.arg("out.wav")
            << 0 << "done" << "" << "";
        QTest::newRow("a Latin-1 name")
            << QStringLiteral("n=$(printf 'caf\\351'); trap 'rm -f \"$n\".*' EXIT; cp clip.mkv \"$n.mkv\" && \"$V\" --json %1 \"$n.mkv\"").arg(wav)
                   + audio.arg("\"$n.wav\"")
            << 0 << "done" << "source_bytes=^caf\\\\xe9\\.mkv$" << "";
        QTest::newRow("a Latin-1 name, shown")
            << QStringLiteral("n=$(printf 'caf\\351'); trap 'rm -f \"$n\".*' EXIT; cp clip.mkv \"$n.mkv\" && \"$V\" --json %1 \"$n.mkv\"").arg(wav)
            << 0 << "done" << "destination=^caf\\x{fffd}\\.wav$" << "";
        QTest::newRow("empty") << QStringLiteral(": > empty.mkv && \"$V\" --json %1 empty.mkv").arg(wav) << 1 << "failed"
                               << "reason=^The source video file is empty\\.$" << "";
        QTest::newRow("a folder") << QStringLiteral("mkdir dir.mkv && \"$V\" --json %1 dir.mkv").arg(wav) << 1
                                  << "failed" << "reason=^The source video file is a folder\\.$" << "";
        if (::geteuid() != 0) {
            QTest::newRow("unreadable")
                << QStringLiteral("cp clip.mkv locked.mkv && chmod 0 locked.mkv && \"$V\" --json %1 locked.mkv").arg(wav)
                << 1 << "failed" << "reason=^The source video file cannot be read: Permission denied\\.$" << "";
        }
        // Cut in half, the file still states its whole duration.
        const QString half = QStringLiteral("head -c $(( $(stat -c %s clip.mkv) / 2 )) clip.mkv > half.mkv && ");
        QTest::newRow("ended early")
            << half + QStringLiteral("\"$V\" --json %1 half.mkv").arg(wav) + audio.arg("half.wav") << 0 << "done"
            << "warning=^the source ended early, at 0:0[01]\\.\\d\\d of 0:02\\.\\d\\d$" << "";
        QTest::newRow("ended early, said to a person")
            << half + QStringLiteral("\"$V\" %1 half.mkv").arg(wav) << 0 << ""
            << "" << "vidomar: half\\.mkv: the source ended early, at 0:0[01]\\.\\d\\d of 0:02\\.\\d\\d\\n";
        QTest::newRow("-d under a file")
            << QStringLiteral("\"$V\" %1 -d clip.mkv/out clip.mkv").arg(wav) << 1 << "" << ""
            << "^vidomar: cannot create the folder clip\\.mkv/out: Not a directory\\n$";
        QTest::newRow("the window without a display")
            << QStringLiteral("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \"$V\" clip.mkv") << 2 << "" << ""
            << "^vidomar: no display: to convert from the command line, use --preset NAME SOURCE\u2026\\n$";
    }
    void sources()
    {
        QFETCH(QString, script);
        QFETCH(int, exitCode);
        QFETCH(QString, event);
        QFETCH(QString, field);
        QFETCH(QString, messages);
        QTemporaryDir dir;
        QVERIFY(QFile::copy(m_dir.filePath(QStringLiteral("clip.mkv")), dir.filePath(QStringLiteral("clip.mkv"))));
        RunSetup setup{.folder = dir.path(), .errorsApart = true, .limitMs = 120000};
        setup.environment.insert(QStringLiteral("V"), m_program);
        const ProgramRun shell = runProgram(QStringLiteral("sh"), {QStringLiteral("-c"), script}, setup);
        const QByteArray &out = shell.output;
        const QByteArray &err = shell.errors;
        QVERIFY2(shell.exitCode == exitCode, err.constData());

        QJsonObject last;
        for (const QByteArray &line : out.split('\n')) {
            if (!line.isEmpty())
                last = QJsonDocument::fromJson(line).object();
        }
        QCOMPARE(last.value(QLatin1String("event")).toString(), event);
        if (!field.isEmpty()) {
            const QString key = field.section(QLatin1Char('='), 0, 0);
            const QString value = last.value(key).toString();
            QVERIFY2(QRegularExpression(field.section(QLatin1Char('='), 1)).match(value).hasMatch(),
                     qPrintable(key + QLatin1String(": ") + value));
        }
        if (!messages.isEmpty()) {
            const QRegularExpression pattern(messages, QRegularExpression::MultilineOption);
            QVERIFY2(pattern.match(QString::fromUtf8(err)).hasMatch(), err.constData());
        }
    }

private:
    QString m_program;
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestSources)
#include "tst_sources.moc"
