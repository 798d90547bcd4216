// The Preview panel on a real clip, its pictures made by the real adapter and ffmpeg: what each
// picture shows and is called, the time chosen by the keyboard and offered as the start or the
// end, the options and the preset in the result, the estimate and the target it takes; and what
// the target fields make of what is typed.

#include "Clip.h"
#include "Desk.h"
#include "RunProgram.h"
#include "controls/button/TavloClick.h"
#include "controls/progressbar/TavloProBar.h"
#include "mainwindow/Form1.h"
#include "mainwindow/OptionsPanel.h"
#include "mainwindow/PanelArea.h"
#include "mainwindow/PreviewPanel.h"
#include "mainwindow/WindowQueue.h"
#include "mainwindow/TargetChoice.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QSignalSpy>
#include <QSlider>
#include <QtTest>

namespace {

constexpr int ToolMs = 120000;
const char *const Modern = "MP4 H.264 720p";

} // namespace

class TestPreviewPanel : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.filePath(QStringLiteral("settings")));
        qputenv("XDG_STATE_HOME", m_dir.filePath(QStringLiteral("state")).toUtf8());
        qputenv("VIDOMAR_UPDATE_HOST", "127.0.0.1:9");
        m_clip = m_dir.filePath(QStringLiteral("clip.avi"));
        const QString problem = makeClip(m_clip, {.seconds = 8, .size = QStringLiteral("640x360")});
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        m_programFolder = QFileInfo(builtProgram(QStringLiteral("avformat.dll"))).absolutePath();
    }

    // Keys on the time: the pictures follow (by name, as a screen reader hears them), Space shows
    // one picture at a time, and the time shown becomes the start or the end.
    void keyboard_data()
    {
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QString>("time");    // the pictures' time once made
        QTest::addColumn<QString>("showing"); // "both", "source" or "result"
        QTest::addColumn<QString>("chosen");  // "start 3000", "end 7000" or empty
        // An 8 s clip opens a third in, at 0:02.
        QTest::newRow("opens a third in") << QStringList() << "0:02" << "both" << "";
        QTest::newRow("a second on") << QStringList{"Right"} << "0:03" << "both" << "";
        QTest::newRow("ten seconds back stop at the start") << QStringList{"PgDown"} << "0:00" << "both" << "";
        QTest::newRow("Space: the result alone") << QStringList{"Space"} << "0:02" << "result" << "";
        QTest::newRow("Space again: the source alone") << QStringList{"Space", "Space"} << "0:02" << "source" << "";
        QTest::newRow("Start here") << QStringList{"Right", "Alt+H"} << "0:03" << "both" << "start 3000";
        QTest::newRow("End here at the last second: the file's end") << QStringList{"End", "Alt+E"} << "0:07" << "both" << "end 8000";
    }
    void keyboard()
    {
        QFETCH(QStringList, keys);
        QFETCH(QString, time);
        QFETCH(QString, showing);
        QFETCH(QString, chosen);
        PreviewPanel panel;
        panel.setProgramFolder(m_programFolder);
        QSignalSpy start(&panel, &PreviewPanel::startChosen);
        QSignalSpy end(&panel, &PreviewPanel::endChosen);
        panel.show();
        QVERIFY(QTest::qWaitForWindowActive(&panel));
        panel.setPreset(QLatin1String(Modern));
        panel.setSources({m_clip});
        QTRY_COMPARE_WITH_TIMEOUT(panel.sourcePicture()->accessibleName(), QStringLiteral("Source at 0:02"), ToolMs);
        auto *slider = panel.findChild<QSlider *>();
        slider->setFocus();
        for (const QString &key : std::as_const(keys))
            QTest::keySequence(QApplication::focusWidget(), QKeySequence(key));
        QTRY_COMPARE_WITH_TIMEOUT(panel.sourcePicture()->accessibleName(), QStringLiteral("Source at ") + time, ToolMs);
        QTRY_COMPARE_WITH_TIMEOUT(panel.resultPicture()->accessibleName(), QStringLiteral("After the preset at ") + time, ToolMs);
        QCOMPARE(panel.sourcePicture()->isVisible(), showing != QLatin1String("result"));
        QCOMPARE(panel.resultPicture()->isVisible(), showing != QLatin1String("source"));
        for (QLabel *picture : {panel.sourcePicture(), panel.resultPicture()})
            QVERIFY(!picture->isVisible() || !picture->pixmap().isNull());
        QString said;
        if (!start.isEmpty())
            said = QStringLiteral("start %1").arg(start.last().at(0).toLongLong());
        if (!end.isEmpty())
            said = QStringLiteral("end %1").arg(end.last().at(0).toLongLong());
        QCOMPARE(said, chosen);
    }

    // The result is what the preset and the options make of the picture: its size, or no picture.
    void result_data()
    {
        QTest::addColumn<QString>("preset");
        QTest::addColumn<QString>("crop");
        QTest::addColumn<QString>("described"); // the end of the result's description
        QTest::newRow("today's preset keeps the size") << Modern << "" << ": 640×360";
        QTest::newRow("the options' crop") << Modern << "320:180:0:0" << ": 320×180";
        QTest::newRow("a classic preset, translated") << "iPOD Video (320x240) MPEG4" << "" << ": 320×240";
        QTest::newRow("a preset that writes sound only") << "MP3 Sound (MP3)" << "" << "writes no picture";
    }
    void result()
    {
        QFETCH(QString, preset);
        QFETCH(QString, crop);
        QFETCH(QString, described);
        PreviewPanel panel;
        panel.setProgramFolder(m_programFolder);
        panel.show();
        panel.setPreset(preset);
        ConversionOptions options;
        if (!crop.isEmpty())
            QCOMPARE(options.set(QStringLiteral("crop"), crop), std::nullopt);
        panel.setOptions(options);
        panel.setSources({m_clip});
        QTRY_VERIFY_WITH_TIMEOUT(panel.resultPicture()->accessibleDescription().endsWith(described), ToolMs);
        QVERIFY2(panel.sourcePicture()->accessibleDescription().endsWith(QStringLiteral(": 640×360")),
                 qPrintable(panel.sourcePicture()->accessibleDescription()));
        QCOMPARE(panel.resultPicture()->pixmap().isNull(), described.startsWith(QLatin1String("writes")));
    }

    // The estimate under the pictures, from samples; a size to fit into is what it then gives, and
    // the result picture is made with the bit rate chosen for it.
    void estimate_data()
    {
        QTest::addColumn<QString>("preset");
        QTest::addColumn<QString>("fitInto");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("crop");
        QTest::newRow("the preset as it is") << Modern << ""
                                             << R"(^Estimate: about [0-9.]+ [kM]B \([0-9]+ kb/s\), [0-9:]+ to convert on this machine, SSIM 0\.9[0-9]+ \(from 2 samples\)\.$)" << "";
        QTest::newRow("fit into 1 MB") << Modern << "1 MB" << R"(^Estimate: about 1\.0 MB \([0-9]+ kb/s\), .*\nAim: [0-9]+ kb/s of video for 1\.0 MB)" << "";
        QTest::newRow("a classic preset takes no target") << "iPOD Video (320x240) MPEG4" << "1 MB"
                                                          << R"(^Estimate: about [0-9.]+ [kM]B [^\n]*$)" << "";
        QTest::newRow("a crop the picture does not hold") << Modern << "" << R"(^No estimate: --crop 1000:1000:0:0: .*outside)"
                                                          << "1000:1000:0:0";
    }
    void estimate()
    {
        QFETCH(QString, preset);
        QFETCH(QString, fitInto);
        QFETCH(QString, pattern);
        QFETCH(QString, crop);
        PreviewPanel panel;
        panel.setProgramFolder(m_programFolder);
        panel.show();
        panel.setPreset(preset);
        ConversionOptions options;
        if (!crop.isEmpty())
            QCOMPARE(options.set(QStringLiteral("crop"), crop), std::nullopt);
        panel.setOptions(options);
        panel.targetChoice()->sizeField()->setText(fitInto);
        QSignalSpy shown(&panel, &PreviewPanel::estimateShown);
        panel.setSources({m_clip});
        QVERIFY(shown.wait(ToolMs));
        const QString text = panel.estimateText()->text();
        QVERIFY2(QRegularExpression(pattern).match(text).hasMatch(), qPrintable(text));
        // The result is then shown as the setting chosen for the target makes it.
        if (text.contains(QLatin1String("\nAim: ")))
            QTRY_VERIFY_WITH_TIMEOUT(panel.resultPicture()->accessibleDescription().contains(QStringLiteral("\" at ")), ToolMs);
    }

    // What the fields make of what is typed: a target, or why not (and then none).
    void targetFields_data()
    {
        QTest::addColumn<QString>("preset");
        QTest::addColumn<QString>("size");
        QTest::addColumn<QString>("quality");
        QTest::addColumn<QString>("target"); // as stored, or the problem's start
        QTest::newRow("a size with a blank") << Modern << "25 MB" << "" << "size:25000000";
        QTest::newRow("a size in G") << Modern << "1.4G" << "" << "size:1400000000";
        QTest::newRow("a bare SSIM") << Modern << "" << "0.985" << "ssim:0.985";
        QTest::newRow("SSIM as shown") << Modern << "" << "SSIM 0.99" << "ssim:0.99";
        QTest::newRow("SSIM in dB") << Modern << "" << "ssim 19 dB" << "ssim-db:19";
        QTest::newRow("PSNR") << Modern << "" << "PSNR 42 dB" << "psnr:42";
        QTest::newRow("as the command line takes it") << Modern << "" << "psnr:40" << "psnr:40";
        QTest::newRow("a number that could be either") << Modern << "" << "42" << "\"42\" is not a score";
        QTest::newRow("an SSIM out of reach") << Modern << "" << "SSIM 1.5" << "SSIM 1.5 cannot be reached";
        QTest::newRow("not a size") << Modern << "big" << "" << "\"big\" is not a size";
        QTest::newRow("both") << Modern << "25 MB" << "0.985" << "Give a size or a quality, not both.";
        QTest::newRow("a classic preset chosen after: off, no target") << "iPOD Video (320x240) MPEG4" << "25 MB" << "" << "";
    }
    void targetFields()
    {
        QFETCH(QString, preset);
        QFETCH(QString, size);
        QFETCH(QString, quality);
        QFETCH(QString, target);
        TargetChoice choice;
        choice.setPreset(QLatin1String(Modern));
        QSignalSpy changed(&choice, &TargetChoice::targetChanged);
        QTest::keyClicks(choice.sizeField(), size);
        QTest::keyClicks(choice.qualityField(), quality);
        // Typed first, then the preset chosen.
        choice.setPreset(preset);
        const bool usable = choice.sizeField()->isEnabled();
        QCOMPARE(usable, !preset.startsWith(QLatin1String("iPOD")));
        const QString got = choice.problem().isEmpty() ? choice.target().text() : choice.problem();
        QVERIFY2(target.isEmpty() ? got.isEmpty() : got.startsWith(target), qPrintable(got));
        if (choice.target().kind != Target::Kind::None)
            QVERIFY(!changed.isEmpty());
        if (!choice.problem().isEmpty())
            QCOMPARE(choice.target().kind, Target::Kind::None);
    }

    // The window's conversion of the file in the fields aims at the size typed in Fit into.
    void windowFitsTheSize()
    {
        Desk desk;
        Form1 form;
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.queue()->runner().setProgramFolder(m_programFolder);
        form.cboFormat()->setCurrentIndex(form.cboFormat()->findText(QLatin1String(Modern)));
        form.useSource(m_clip);
        const QString destination = m_dir.filePath(QStringLiteral("clip.mp4"));
        QCOMPARE(form.txtDest()->text(), destination);
        // A size that does not read refuses Convert, naming why, with the focus in its field.
        form.previewPanel()->targetChoice()->sizeField()->setText(QStringLiteral("400 kilos"));
        QMetaObject::invokeMethod(form.cmdConvert(), "Click");
        QCOMPARE(desk.boxes.size(), 1);
        QVERIFY2(desk.boxes.first().startsWith(QStringLiteral("The target cannot be used: \"400 kilos\" is not a size")),
                 qPrintable(desk.boxes.first()));
        QCOMPARE(QApplication::focusWidget(), form.previewPanel()->targetChoice()->sizeField());
        QVERIFY(!form.queue()->runner().running());
        desk.boxes.clear();
        form.previewPanel()->targetChoice()->sizeField()->setText(QStringLiteral("400k"));
        QMetaObject::invokeMethod(form.cmdConvert(), "Click");
        QTRY_COMPARE_WITH_TIMEOUT(form.ProBar()->Caption(), QStringLiteral("Conversion Finished !"), ToolMs);
        QVERIFY2(desk.boxes.isEmpty(), qPrintable(desk.boxes.join(u'\n')));
        const qint64 bytes = QFileInfo(destination).size();
        QVERIFY2(bytes > 400000 * 0.97 && bytes <= 400000 * 1.03, qPrintable(QString::number(bytes)));
    }

    // In the window, the time shown becomes the start or the end of the part on the Options page.
    void timesBecomeThePart_data()
    {
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QString>("part"); // the options' start and end
        QTest::newRow("Start here") << QStringList{"Alt+H"} << "0:02–";
        QTest::newRow("End here, a second on") << QStringList{"Right", "Alt+E"} << "–0:03";
        QTest::newRow("both, quickly") << QStringList{"Alt+H", "Right", "Alt+E"} << "0:02–0:03";
    }
    void timesBecomeThePart()
    {
        QFETCH(QStringList, keys);
        QFETCH(QString, part);
        Desk desk;
        Form1 form;
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.cboFormat()->setCurrentIndex(form.cboFormat()->findText(QLatin1String(Modern)));
        form.useSource(m_clip);
        form.panelArea()->showPage(form.previewPanel());
        QTRY_COMPARE_WITH_TIMEOUT(form.previewPanel()->sourcePicture()->accessibleName(), QStringLiteral("Source at 0:02"), ToolMs);
        form.previewPanel()->findChild<QSlider *>(QStringLiteral("position"))->setFocus();
        for (const QString &key : std::as_const(keys))
            QTest::keySequence(QApplication::focusWidget(), QKeySequence(key));
        const auto shown = [](const std::optional<qint64> &ms) { return ms ? ConversionOptions::timeText(*ms) : QString(); };
        const auto partNow = [&] {
            const ConversionOptions options = form.optionsPanel()->options();
            return shown(options.startMs) + QStringLiteral("–") + shown(options.endMs);
        };
        // A button's access key clicks it a moment later, as it shows itself pressed.
        QTRY_COMPARE(partNow(), part);
        QCOMPARE(desk.boxes, QStringList());
    }

private:
    QTemporaryDir m_dir;
    QString m_clip;
    QString m_programFolder;
};

QTEST_MAIN(TestPreviewPanel)
#include "tst_previewpanel.moc"
