// The preview on a real X server with the real encoder, driven from the keyboard alone: Alt+V
// opens it on the clip named on the command line; another preset changes the picture after the
// preset and leaves the source's as it was; another time changes both. The pictures are found as
// a screen reader finds them (their names and places on the accessibility bus) and compared on
// screenshots of the screen.

#include "AccessibilityBus.h"
#include "Clip.h"
#include "ProgramOnDisplay.h"
#include "RunProgram.h"
#include "XServer.h"
#include "Xdo.h"

#include <QtTest>

#include <memory>

namespace {

constexpr int ToolMs = 120000;

struct Shown {
    QString sourceName;
    QString resultName;
    QString resultDescription;
    QRect source;
    QRect result;
};

// The two pictures as the probe lists them, or nothing while either is missing.
std::optional<Shown> shownOf(const QString &listing)
{
    Shown shown;
    for (const QString &line : listing.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QStringList fields = line.split(QLatin1Char('\t'));
        if (fields.size() != 3)
            continue;
        const QStringList box = fields.at(2).split(QLatin1Char(' '));
        const QRect place(box.value(0).toInt(), box.value(1).toInt(), box.value(2).toInt(), box.value(3).toInt());
        if (fields.at(0).startsWith(QLatin1String("Source at "))) {
            shown.sourceName = fields.at(0);
            shown.source = place;
        } else if (fields.at(0).startsWith(QLatin1String("After the preset at "))) {
            shown.resultName = fields.at(0);
            shown.resultDescription = fields.at(1);
            shown.result = place;
        }
    }
    if (shown.source.isEmpty() || shown.result.isEmpty())
        return std::nullopt;
    return shown;
}

// The share of the pixels of two pictures of one place that differ by more than a few levels.
double changedShare(const QImage &a, const QImage &b)
{
    if (a.size() != b.size() || a.isNull())
        return 1;
    qint64 changed = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            if (std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q)) > 24)
                ++changed;
        }
    return double(changed) / (qint64(a.width()) * a.height());
}

} // namespace

class TestPreviewDisplay : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        m_vidomar = builtProgram(QStringLiteral("vidomar"));
        QVERIFY2(QFileInfo(m_vidomar).isExecutable(), qPrintable(m_vidomar));
        const QString noDisplay = openDisplay(m_server, m_xdo);
        QVERIFY2(noDisplay.isEmpty(), qPrintable(noDisplay));
        QVERIFY(m_case.isValid());
        m_clip = m_case.filePath(QStringLiteral("clip.avi"));
        const QString problem = makeClip(m_clip, {.seconds = 8, .size = QStringLiteral("640x360")});
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }

    void cleanup()
    {
        m_program.stop();
        m_bus.reset();
    }

    void presetAndTimeChangeThePictures()
    {
        m_bus = std::make_unique<AccessibilityBus>(m_server->display());
        QVERIFY2(!m_bus->address().isEmpty(), qPrintable(m_bus->error()));
        QProcessEnvironment settings;
        settings.insert(QStringLiteral("VIDOMAR_UPDATE_HOST"), QStringLiteral("127.0.0.1:9"));
        settings.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_bus->address());
        settings.insert(QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"), QStringLiteral("1"));
        // Where the pictures and samples are made, to see that nothing is left there.
        const QString temporary = m_case.filePath(QStringLiteral("tmp"));
        QVERIFY(QDir().mkpath(temporary));
        settings.insert(QStringLiteral("TMPDIR"), temporary);
        const quint64 window = m_program.start(m_vidomar, {m_clip}, m_server->display(), *m_xdo, m_case.path(), settings);
        QVERIFY2(window, qPrintable(m_program.error()));
        QVERIFY2(QTest::qWaitFor([&] { return probe({"tree"}).contains(QLatin1String("page tab\tPreview")); }, 30000),
                 qPrintable(m_failure));

        // Alt+V: the source and the default preset's result, a third into the 8 s clip.
        QVERIFY2(m_xdo->key(window, QStringLiteral("alt+v")), qPrintable(m_xdo->error()));
        const Shown first = waitForPictures(QStringLiteral("0:02"), QStringLiteral("iPOD Video (320x240) MPEG4"));
        QVERIFY2(!first.source.isEmpty(), qPrintable(m_failure));
        const QImage before = m_xdo->screenshot(QStringLiteral("preview-ipod"));

        // Convert to (Alt+T), the eighth preset from the end: today's 720p keeps the clip's shape,
        // which the classic preset had squeezed to 4:3.
        for (const char *key : {"alt+t", "End", "Up", "Up", "Up", "Up", "Up", "Up", "Up"})
            QVERIFY2(m_xdo->key(window, QLatin1String(key)), qPrintable(m_xdo->error()));
        const Shown second = waitForPictures(QStringLiteral("0:02"), QStringLiteral("MP4 H.264 720p"));
        QVERIFY2(!second.source.isEmpty(), qPrintable(m_failure));
        const QImage after = m_xdo->screenshot(QStringLiteral("preview-720p"));
        QCOMPARE(second.source, first.source);
        QCOMPARE(changedShare(before.copy(first.source), after.copy(second.source)), 0.0);
        const double resultChanged = changedShare(before.copy(first.result), after.copy(second.result));
        QVERIFY2(resultChanged > 0.1, qPrintable(QString::number(resultChanged)));

        // Tab to the position, a second on: both pictures show the new time.
        QVERIFY2(QTest::qWaitFor([&] {
            if (probe({"focused"}) == QLatin1String("slider\tPosition\n"))
                return true;
            m_xdo->key(window, QStringLiteral("Tab"));
            return false;
        }, 20000), "the position never took the focus");
        QVERIFY2(m_xdo->key(window, QStringLiteral("Right")), qPrintable(m_xdo->error()));
        const Shown third = waitForPictures(QStringLiteral("0:03"), QStringLiteral("MP4 H.264 720p"));
        QVERIFY2(!third.source.isEmpty(), qPrintable(m_failure));
        const QImage later = m_xdo->screenshot(QStringLiteral("preview-720p-later"));
        const double sourceChanged = changedShare(after.copy(second.source), later.copy(third.source));
        const double laterChanged = changedShare(after.copy(second.result), later.copy(third.result));
        QVERIFY2(sourceChanged > 0.01 && laterChanged > 0.01,
                 qPrintable(QStringLiteral("%1 %2").arg(sourceChanged).arg(laterChanged)));

        // Closed while the estimate may still run: it ends cleanly and leaves no samples behind.
        QVERIFY2(m_program.close(*m_xdo, QPoint(534, 12)), qPrintable(m_program.error()));
        QCOMPARE(QDir(temporary).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
    }

private:
    // Both pictures at the time, the result made with the preset.
    Shown waitForPictures(const QString &time, const QString &preset)
    {
        std::optional<Shown> shown;
        const bool ready = QTest::qWaitFor([&] {
            shown = shownOf(probe({"images"}));
            return shown && shown->sourceName == QStringLiteral("Source at ") + time
                && shown->resultName == QStringLiteral("After the preset at ") + time
                && shown->resultDescription.contains(QLatin1Char('"') + preset + QLatin1Char('"'));
        }, ToolMs);
        if (!ready) {
            m_failure = QStringLiteral("the pictures at %1 with %2 did not show: %3").arg(time, preset, probe({"images"}));
            return {};
        }
        // Drawn once the names are set.
        QTest::qWait(500);
        return *shown;
    }

    QString probe(const QStringList &arguments)
    {
        return m_bus->probe(m_server->display(), arguments, &m_failure).value_or(QString());
    }

    std::unique_ptr<XServer> m_server;
    std::unique_ptr<Xdo> m_xdo;
    std::unique_ptr<AccessibilityBus> m_bus;
    QTemporaryDir m_case;
    QString m_vidomar;
    QString m_clip;
    ProgramOnDisplay m_program;
    QString m_failure;
};

QTEST_GUILESS_MAIN(TestPreviewDisplay)
#include "tst_displaypreview.moc"
