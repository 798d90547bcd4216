// The Options page on a real X server with the real encoder, from the keyboard only: a film with
// two sound tracks opens in the window, Alt+O shows its options, a one-second part and the second
// sound track are chosen, Alt+C converts, and ffprobe reads what was written.

#include "Film.h"
#include "Probe.h"
#include "ProgramOnDisplay.h"
#include "XServer.h"
#include "Xdo.h"

#include <QtTest>

#include <memory>

namespace {

const char *const BoxName = "^Zorvik Vidomar$";

} // namespace

class TestOptionsDisplay : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        m_vidomar = builtProgram(QStringLiteral("vidomar"));
        QVERIFY2(QFileInfo(m_vidomar).isExecutable(), qPrintable(m_vidomar));
        const QString noDisplay = openDisplay(m_server, m_xdo);
        QVERIFY2(noDisplay.isEmpty(), qPrintable(noDisplay));
        QVERIFY(m_dir.isValid());
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("videos")));
        m_film = m_dir.filePath(QStringLiteral("videos/film.mkv"));
        const QString problem = Film::make(m_film);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }

    void cleanup() { m_program.stop(); }

    // Start 0:05, end 0:06, the second sound track ("deu"): a file of one second with that one
    // track, and no box on the way.
    void partAndTrackByKeyboard()
    {
        QProcessEnvironment settings;
        settings.insert(QStringLiteral("VIDOMAR_UPDATE_HOST"), QStringLiteral("127.0.0.1:9"));
        const quint64 window = m_program.start(m_vidomar, {m_film}, m_server->display(), *m_xdo, m_dir.path(), settings);
        QVERIFY2(window, qPrintable(m_program.error()));
        // The film is read for its tracks as the window opens.
        QTest::qWait(2000);
        const QStringList keys{"alt+o", "alt+f", "=5", "alt+e", "=6", "alt+k", "Home", "Down", "Down", "Down"};
        for (const QString &key : keys) {
            const bool sent = key.startsWith(QLatin1Char('=')) ? m_xdo->type(window, key.mid(1)) : m_xdo->key(window, key);
            QVERIFY2(sent, qPrintable(m_xdo->error()));
        }
        QTest::qWait(300);
        m_xdo->screenshot(QStringLiteral("options-chosen"));
        QVERIFY2(m_xdo->key(window, QStringLiteral("alt+c")), qPrintable(m_xdo->error()));
        const QString result = m_dir.filePath(QStringLiteral("videos/film.mp4"));
        const auto converted = [&] {
            return QFileInfo::exists(result) && m_program.running({QStringLiteral("avformat.dll")}).isEmpty();
        };
        QVERIFY2(QTest::qWaitFor(converted, 120000), "nothing was converted");
        m_xdo->screenshot(QStringLiteral("options-converted"));
        QVERIFY(m_xdo->visibleWindows(QLatin1String(BoxName)).isEmpty());
        const Probe written = probe(result);
        QVERIFY2(written.error.isEmpty(), qPrintable(written.error));
        QVERIFY2(qAbs(written.seconds() - 1.0) <= 0.1, qPrintable(QString::number(written.seconds())));
        QCOMPARE(written.audioStreams, 1);
        QCOMPARE(written.audio.value(QLatin1String("tags")).toObject().value(QLatin1String("language")).toString(),
                 QStringLiteral("deu"));
        QVERIFY2(m_program.close(*m_xdo, QPoint(534, 12)), qPrintable(m_program.error()));
    }

private:
    std::unique_ptr<XServer> m_server;
    std::unique_ptr<Xdo> m_xdo;
    QTemporaryDir m_dir;
    QString m_vidomar;
    QString m_film;
    ProgramOnDisplay m_program;
};

QTEST_GUILESS_MAIN(TestOptionsDisplay)
#include "tst_displayoptions.moc"
