// The Options panel driven from the keyboard on sources read by a stand-in for ffprobe: each row
// is what a user presses and the options the conversion then gets.
#include "mainwindow/OptionsPanel.h"

#include <QApplication>
#include <QComboBox>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTest>

namespace {

// A one-minute film in two languages with two subtitle tracks (the French one forced), and a
// half-minute one with a French sound track only.
const char Film[] = R"({"streams": [
  {"index": 0, "codec_type": "video", "codec_name": "h264", "width": 1920, "height": 1080},
  {"index": 1, "codec_type": "audio", "codec_name": "aac", "channels": 2, "disposition": {"default": 1}, "tags": {"language": "eng", "title": "Main"}},
  {"index": 2, "codec_type": "audio", "codec_name": "aac", "channels": 2, "tags": {"language": "ger", "title": "Commentary"}},
  {"index": 3, "codec_type": "subtitle", "codec_name": "subrip", "tags": {"language": "eng"}},
  {"index": 4, "codec_type": "subtitle", "codec_name": "subrip", "disposition": {"forced": 1}, "tags": {"language": "fra", "title": "Forced French"}}],
 "format": {"format_name": "matroska,webm", "duration": "60.0"}})";
const char Short[] = R"({"streams": [
  {"index": 0, "codec_type": "video", "codec_name": "h264", "width": 1280, "height": 720},
  {"index": 1, "codec_type": "audio", "codec_name": "aac", "channels": 2, "tags": {"language": "fra"}}],
 "format": {"format_name": "matroska,webm", "duration": "30.0"}})";

SourceInfo readStandIn(const QString &path)
{
    if (path.endsWith(QLatin1String("film.mkv")))
        return SourceInfo::parse(Film, path);
    if (path.endsWith(QLatin1String("short.mkv")))
        return SourceInfo::parse(Short, path);
    SourceInfo missing;
    missing.path = path;
    missing.error = QStringLiteral("missing.mkv cannot be read: No such file or directory");
    return missing;
}

CropDetect::Found letterbox(const SourceInfo &)
{
    return {QRect(0, 140, 1920, 800), QString()};
}

} // namespace

class TestOptionsPanel : public QObject {
    Q_OBJECT

private slots:
    void keyboard_data()
    {
        QTest::addColumn<QStringList>("sources");
        QTest::addColumn<QStringList>("keys"); // key sequences; "=text" types text; "wait" for the black bars
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("problem");
        const QStringList film{"film.mkv"};
        const QStringList both{"film.mkv", "short.mkv"};
        // Sound: preset, first, track 1, track 2, eng, ger, (fra,) all.
        QTest::newRow("sound by language") << film << QStringList{"Alt+K", "End", "Up"} << R"({"audio":"ger"})" << "";
        QTest::newRow("every sound track") << film << QStringList{"Alt+K", "End"} << R"({"audio":"all"})" << "";
        QTest::newRow("a language only the second file holds") << both << QStringList{"Alt+K", "End", "Up"} << R"({"audio":"fra"})" << "";
        // Subtitles: preset, none, keep, forced, tracks, languages. Burn: nothing, tracks, languages.
        QTest::newRow("forced subtitles") << film << QStringList{"Alt+B", "Down", "Down", "Down"} << R"({"subtitles":"forced"})" << "";
        QTest::newRow("burn the second track") << film << QStringList{"Alt+I", "Down", "Down"} << R"({"burn":"2"})" << "";
        QTest::newRow("a part") << film << QStringList{"Alt+F", "=0:20", "Alt+E", "=30.5"}
                                << R"({"start":"0:20","end":"0:30.5"})" << "";
        QTest::newRow("a malformed start") << film << QStringList{"Alt+F", "=1:7x"} << "{}" << "\"1:7x\" is not a time";
        QTest::newRow("an end before the start") << film << QStringList{"Alt+F", "=20", "Alt+E", "=10"}
                                                 << R"({"start":"0:20","end":"0:10"})" << "must come after the start (0:20)";
        QTest::newRow("a start past the shorter file") << both << QStringList{"Alt+F", "=45"} << R"({"start":"0:45"})"
                                                       << "lies past the end of short.mkv (0:30)";
        QTest::newRow("the found black bars") << film << QStringList{"Alt+M", "Down", "Down", "wait"} << R"({"crop":"auto"})" << "";
        QTest::newRow("the found rectangle, as a custom one") << film << QStringList{"Alt+M", "Down", "Down", "wait", "Down"}
                                                              << R"({"crop":"1920:800:0:140"})" << "";
        QTest::newRow("a typed rectangle") << film << QStringList{"Alt+M", "End", "Alt+G", "=1280:720:8:0"}
                                           << R"({"crop":"1280:720:8:0"})" << "";
        QTest::newRow("a rectangle outside the picture") << film << QStringList{"Alt+M", "End", "Alt+G", "=1920:1080:0:10"}
                                                         << R"({"crop":"1920:1080:0:10"})" << "outside the picture of film.mkv (1920x1080)";
        QTest::newRow("metadata and date left behind") << film << QStringList{"Alt+H", "Alt+D"}
                                                       << R"({"metadata":false,"keep-date":false})" << "";
        // Sound, subtitles, burn, start, end, crop (the rectangle is off), chapters, date.
        QTest::newRow("Tab reaches the date box") << film << QStringList{"Alt+K", "Tab", "Tab", "Tab", "Tab", "Tab", "Tab", "Tab", "Space"}
                                                  << R"({"keep-date":false})" << "";
    }
    void keyboard()
    {
        QFETCH(QStringList, sources);
        QFETCH(QStringList, keys);
        QFETCH(QString, expected);
        QFETCH(QString, problem);
        OptionsPanel panel;
        panel.setTools(&readStandIn, &letterbox);
        panel.show();
        panel.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&panel));
        QSignalSpy read(&panel, &OptionsPanel::sourcesRead);
        QSignalSpy crop(&panel, &OptionsPanel::cropFound);
        panel.setSources(sources);
        QTRY_COMPARE(read.count(), 1);
        for (const QString &key : std::as_const(keys)) {
            if (key == QLatin1String("wait")) {
                QTRY_COMPARE(crop.count(), 1);
                const QList<QLabel *> labels = panel.findChildren<QLabel *>();
                QVERIFY(std::any_of(labels.begin(), labels.end(),
                                    [](const QLabel *label) { return label->text() == QLatin1String("Found: 1920:800:0:140"); }));
                continue;
            }
            QWidget *focus = QApplication::focusWidget();
            QVERIFY2(focus, qPrintable(key));
            if (key.startsWith(QLatin1Char('='))) {
                QTest::keyClicks(focus, key.mid(1));
            } else {
                const QKeyCombination combination = QKeySequence::fromString(key)[0];
                QTest::keyClick(focus, combination.key(), combination.keyboardModifiers());
            }
        }
        // A check box's access key clicks it a moment later, as a pressed button shows.
        QTRY_COMPARE(QJsonDocument(panel.options().toJson()).toJson(QJsonDocument::Compact),
                 QJsonDocument::fromJson(expected.toUtf8()).toJson(QJsonDocument::Compact));
        QVERIFY2(problem.isEmpty() ? panel.problem().isEmpty() : panel.problem().contains(problem), qPrintable(panel.problem()));
        // The field at fault says it to a screen reader.
        const QList<QLineEdit *> fields = panel.findChildren<QLineEdit *>();
        QCOMPARE(std::any_of(fields.begin(), fields.end(),
                             [&](const QLineEdit *field) {
                                 return !panel.problem().isEmpty() && field->accessibleDescription().contains(panel.problem());
                             }),
                 !problem.isEmpty());
    }

    // Options set by the window (from a preset or a queue item) come back as they went in, also
    // a track the files do not hold.
    void keepsWhatIsSet_data()
    {
        QTest::addColumn<QString>("json");
        QTest::newRow("a language by another code") << R"({"audio":"deu","subtitles":"keep","burn":"fra"})";
        QTest::newRow("tracks the files lack") << R"({"audio":"5","subtitles":"spa"})";
        QTest::newRow("a length and kept metadata") << R"({"start":"0:10","length":"0:20","metadata":true,"crop":"none"})";
    }
    void keepsWhatIsSet()
    {
        QFETCH(QString, json);
        const auto options = std::get<ConversionOptions>(ConversionOptions::fromJson(QJsonDocument::fromJson(json.toUtf8()).object()));
        OptionsPanel panel;
        panel.setTools(&readStandIn, &letterbox);
        panel.setOptions(options);
        QSignalSpy read(&panel, &OptionsPanel::sourcesRead);
        panel.setSources({"film.mkv"});
        QTRY_COMPARE(read.count(), 1);
        QCOMPARE(panel.options(), options);
    }

    // The files are read aside: the window goes on while the reader works, says so, and then
    // names the file it could not read.
    void readsAside()
    {
        QSemaphore going;
        OptionsPanel panel;
        panel.setTools(
            [&going](const QString &path) {
                going.tryAcquire(1, 10000);
                return readStandIn(path);
            },
            &letterbox);
        QSignalSpy read(&panel, &OptionsPanel::sourcesRead);
        panel.setSources({"film.mkv", "missing.mkv"});
        QVERIFY(panel.reading());
        const auto status = [&panel] {
            QStringList texts;
            for (const QLabel *label : panel.findChildren<QLabel *>())
                texts << label->text();
            return texts.join(QLatin1Char('|'));
        };
        QVERIFY2(status().contains(QStringLiteral("Reading the 2 sources…")), qPrintable(status()));
        going.release(2);
        QTRY_COMPARE(read.count(), 1);
        QVERIFY2(status().contains(QStringLiteral("missing.mkv cannot be read: No such file or directory")), qPrintable(status()));
        auto *sound = panel.findChild<QComboBox *>();
        QVERIFY(sound);
        QVERIFY(sound->findText(QStringLiteral("Track 2: ger · Commentary · 2 channels")) >= 0);
    }
};

QTEST_MAIN(TestOptionsPanel)
#include "tst_optionspanel.moc"
