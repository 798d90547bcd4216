#include "common/MessageBoxes.h"
#include "controls/button/TavloClick.h"
#include "controls/progressbar/TavloProBar.h"
#include "engine/AVC.h"
#include "mainwindow/DesktopNotifier.h"
#include "mainwindow/Form1.h"
#include "mainwindow/WindowHelpers.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QMimeData>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Answers the window's message boxes and dialogs, and records them.
class Desk : public QObject {
    Q_OBJECT
public:
    Desk()
    {
        m_boxes = MessageBoxes::install([this](const QString &text, int style, const QString &title) {
            boxes << QStringLiteral("%1|%2|%3").arg(text).arg(style).arg(title);
            return int(MessageBoxes::Ok);
        });
        m_dialogs = FileDialogs::install([this](const FileDialogs::Request &request) {
            dialogs << request;
            return dialogAnswer;
        });
        m_notifier = DesktopNotifier::install([this](const QString &summary, const QString &) { notes << summary; });
        for (const char *scheme : {"http", "https"})
            QDesktopServices::setUrlHandler(QLatin1String(scheme), this, "open");
    }
    ~Desk() override
    {
        MessageBoxes::install(m_boxes);
        FileDialogs::install(m_dialogs);
        DesktopNotifier::install(m_notifier);
        for (const char *scheme : {"http", "https"})
            QDesktopServices::unsetUrlHandler(QLatin1String(scheme));
    }

    QStringList boxes;
    QList<FileDialogs::Request> dialogs;
    QString dialogAnswer;
    QStringList notes;
    QStringList opened;

public slots:
    void open(const QUrl &url) { opened << url.toString(); }

private:
    MessageBoxes::Handler m_boxes;
    FileDialogs::Handler m_dialogs;
    DesktopNotifier::Handler m_notifier;
};

QString screenshotFolder()
{
    const QString folder = qEnvironmentVariable("VIDOMAR_BIN_DIR") + QLatin1String("/../screenshots");
    QDir().mkpath(folder);
    return folder;
}

} // namespace

class TestForm1 : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(m_settings.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
        qputenv("VIDOMAR_UPDATE_HOST", "127.0.0.1:9");
    }

    void layout()
    {
        Desk desk;
        Form1 form;
        QCOMPARE(form.size(), QSize(550, 400));
        QCOMPARE(form.windowTitle(), QStringLiteral("Zorvik Vidomar 1.0"));
        QVERIFY(form.windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(form.cmdMin()->geometry(), QRect(491, 1, 30, 22));
        QCOMPARE(form.cmdClose()->geometry(), QRect(519, 1, 30, 22));
        QCOMPARE(form.cmdClose()->geometry().right(), form.width() - 2);
        QCOMPARE(form.cmdConvert()->geometry(), QRect(414, 313, 120, 65));
        QCOMPARE(form.ProBar()->geometry(), QRect(18, 329, 386, 32));
        QCOMPARE(form.txtSource()->geometry(), QRect(18, 150, 405, 24));
        QCOMPARE(form.cboFormat()->count(), 27);
        QCOMPARE(form.ProBar()->BlockStyle(), 3);
        QCOMPARE(form.ProBar()->BlockColor1(), 33023);
        QCOMPARE(form.Timer1().interval(), 0);
        QVERIFY(form.tmrCheck().isActive());
        QCOMPARE(form.tmrAutoUpdate().interval(), 30000);
        // Showing the window selects the default preset.
        form.show();
        QCOMPARE(form.cboFormat()->currentText(), QString::fromLatin1(Form1::DefaultPreset));
        form.grab().save(screenshotFolder() + QLatin1String("/window-idle.png"));
    }

    // The destination follows the source and the preset.
    void destination_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<bool>("fromDialog");
        QTest::addColumn<QStringList>("presets");
        QTest::addColumn<QString>("dest");
        QTest::newRow("party.avi to mp4") << "/clips/party.avi" << true << QStringList{"iPOD Video (320x240) MPEG4"}
                                          << "/clips/party.mp4";
        QTest::newRow("then wav") << "/clips/party.avi" << true
                                  << QStringList{"iPOD Video (320x240) MPEG4", "WAVE Sound (WAV)"} << "/clips/party.wav";
        QTest::newRow("every occurrence") << "/clips/my.avi.files/clip.avi" << true
                                          << QStringList{"iPOD Video (320x240) MPEG4"} << "/clips/my.mp4.files/clip.mp4";
        QTest::newRow("mixed-case extension") << "/clips/party.Avi" << true << QStringList{"WAVE Sound (WAV)"}
                                              << "/clips/party.Avi";
        QTest::newRow("typed path") << "/clips/typed.avi" << false << QStringList{"WAVE Sound (WAV)"}
                                    << "/clips/typed.avi";
        QTest::newRow("same extension") << "/clips/party.avi" << true << QStringList{"Sony PSP (Normal)"}
                                        << "/clips/party.avi";
    }
    void destination()
    {
        QFETCH(QString, source);
        QFETCH(bool, fromDialog);
        QFETCH(QStringList, presets);
        QFETCH(QString, dest);
        Desk desk;
        Form1 form;
        form.show();
        if (fromDialog) {
            desk.dialogAnswer = source;
            form.cmdSource_Click();
            QCOMPARE(desk.dialogs.size(), 1);
            QCOMPARE(desk.dialogs.at(0).title, QStringLiteral("Select a AVI Video File to Convert"));
            QCOMPARE(desk.dialogs.at(0).filter,
                     QStringLiteral("Video Files (*.avi *.mp4 *.m4v *.mkv *.mov *.webm *.wmv *.mpg *.mpeg *.flv *.3gp "
                                    "*.ts *.vob *.ogv);;AVI Video Files (*.avi);;All Files (*)"));
            QVERIFY(!desk.dialogs.at(0).save);
        } else {
            QTest::keyClicks(form.txtSource(), source);
        }
        for (const QString &preset : presets)
            form.cboFormat()->setCurrentText(preset);
        QCOMPARE(form.txtDest()->text(), dest);
    }

    void saveDialog()
    {
        Desk desk;
        Form1 form;
        form.show();
        form.cmdDest_Click();
        QCOMPARE(desk.boxes, QStringList{"Please select a Source AVI Video File First|0|Zorvik Vidomar"});
        QVERIFY(desk.dialogs.isEmpty());

        desk.dialogAnswer = QStringLiteral("/clips/party.avi");
        form.cmdSource_Click();
        desk.dialogAnswer = QStringLiteral("/elsewhere/mine.mp4");
        form.cmdDest_Click();
        const FileDialogs::Request &request = desk.dialogs.last();
        QVERIFY(request.save);
        QCOMPARE(request.title, QStringLiteral("Select The Target Video File to Save."));
        QCOMPARE(request.filter, QStringLiteral("iPOD Video (320x240) MPEG4 (*.mp4);;All Files (*)"));
        QCOMPARE(request.defaultName, QStringLiteral("/clips/party.mp4"));
        QCOMPARE(form.txtDest()->text(), QStringLiteral("/elsewhere/mine.mp4"));
    }

    void convertRefusals()
    {
        Desk desk;
        Form1 form;
        form.show();
        form.cmdConvert_Click();
        QCOMPARE(desk.boxes, QStringList{"Select AVI Video file to convert|64|Select File"});

        // An empty destination: the job's message, then the bar's caption all the same.
        desk.boxes.clear();
        form.txtSource()->setText(QStringLiteral("/clips/party.avi"));
        form.txtDest()->clear();
        form.cmdConvert_Click();
        QCOMPARE(desk.boxes, QStringList{"No destination filename defined|0|Zorvik Vidomar"});
        QCOMPARE(form.ProBar()->Caption(), QStringLiteral("Converting Video File. Please wait..."));
        QCOMPARE(form.ProBar()->ProValue().toInt(), 0);
        QVERIFY(form.ProBar()->ShowValue());
    }

    // The bar's figure from the job's text: the estimate, measured time, the cap, the end.
    void progress_data()
    {
        QTest::addColumn<QString>("preset");
        QTest::addColumn<QStringList>("chunks");
        QTest::addColumn<qint64>("fileSize");
        QTest::addColumn<QList<int>>("values");
        const QString block(256, QLatin1Char('x'));
        QTest::newRow("estimate and cap") << "iPOD Video (320x240) MPEG4" << QStringList{block, block} << qint64(1500000)
                                          << QList<int>{69, 99};
        QStringList many;
        QList<int> values;
        for (int i = 0; i < 11; ++i) {
            many << block;
            values << (i == 10 ? 1 : 0);
        }
        QTest::newRow("large source, ratio 9") << "RM (RealONE/RealPlayer)" << many << qint64(240000000) << values;
        QTest::newRow("measured")
            << "iPOD Video (320x240) MPEG4"
            << QStringList{"  Duration: 00:00:10.00, start: 0.0\n", "frame= 50 size= 256KiB time=00:00:04.9",
                           "0 bitrate=1.0kbits/s\r", "frame= 250 size=N/A time=00:00:10.00 bitrate=N/A\r"}
            << qint64(50000000) << QList<int>{0, 0, 49, 99};
    }
    void progress()
    {
        QFETCH(QString, preset);
        QFETCH(QStringList, chunks);
        QFETCH(qint64, fileSize);
        QFETCH(QList<int>, values);
        Desk desk;
        QTemporaryDir empty;
        Form1 form;
        form.show();
        form.AVC1()->setProgramFolder(empty.path());
        form.cboFormat()->setCurrentText(preset);
        form.txtSource()->setText(QStringLiteral("/clips/party.avi"));
        form.txtDest()->setText(QStringLiteral("/clips/out.x"));
        form.cmdConvert_Click();
        for (qsizetype i = 0; i < chunks.size(); ++i) {
            form.AVC1_DataOutput(chunks.at(i), fileSize);
            QCOMPARE(form.ProBar()->ProValue().toInt(), values.at(i));
            if (values.at(i) == 49)
                form.grab().save(screenshotFolder() + QLatin1String("/window-converting.png"));
        }
        form.AVC1_Complete();
        QCOMPARE(form.ProBar()->ProValue().toInt(), 100);
        QCOMPARE(form.ProBar()->Caption(), QStringLiteral("Conversion Finished !"));
    }

    void failureAndMissingSource()
    {
        Desk desk;
        Form1 form;
        form.show();
        form.AVC1_Failed();
        QCOMPARE(form.ProBar()->ProValue().toInt(), 0);
        QVERIFY(!form.ProBar()->ShowValue());
        QCOMPARE(form.ProBar()->Caption(), QStringLiteral("Conversion Failed !"));
        // Not the active window: the user hears of it on the desktop.
        QCOMPARE(desk.notes, QStringList{"Conversion Failed !"});

        form.ProBar()->setCaption(QStringLiteral("Converting Video File. Please wait..."));
        form.ProBar()->setShowValue(true);
        form.AVC1_DataOutput(QStringLiteral("Input #0"), 0);
        QCOMPARE(desk.boxes, QStringList{"The Source video file is not found!|0|Zorvik Vidomar"});
        QCOMPARE(form.ProBar()->Caption(), QString());
        QVERIFY(!form.ProBar()->ShowValue());
    }

    // A real click on a button runs its handler once.
    void realClicks()
    {
        Desk desk;
        Form1 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTest::mouseClick(form.cmdConvert(), Qt::LeftButton, {}, QPoint(60, 32));
        QCOMPARE(desk.boxes, QStringList{"Select AVI Video file to convert|64|Select File"});
        desk.dialogAnswer = QStringLiteral("/clips/clicked.avi");
        QTest::mouseClick(form.cmdSource(), Qt::LeftButton, {}, QPoint(40, 17));
        QCOMPARE(desk.dialogs.size(), 1);
        QCOMPARE(form.txtSource()->text(), QStringLiteral("/clips/clicked.avi"));
    }

    void chrome()
    {
        Desk desk;
        Form1 form;
        form.show();
        form.cmdLogo_Click();
        QCOMPARE(desk.opened.size(), 1);
        form.cmdMin_Click();
        QVERIFY(form.isMinimized());
    }

    void dropSetsTheSource()
    {
        Desk desk;
        Form1 form;
        form.show();
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(QStringLiteral("/clips/dropped.avi"))});
        QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&form, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&form, &drop);
        QCOMPARE(form.txtSource()->text(), QStringLiteral("/clips/dropped.avi"));
        QCOMPARE(form.SourceExtension(), QStringLiteral(".avi"));
        QCOMPARE(form.txtDest()->text(), QStringLiteral("/clips/dropped.mp4"));
    }

    // The whole way: the window, a real clip, the real adapter and encoder.
    void convertsARealClip()
    {
        const QString bin = qEnvironmentVariable("VIDOMAR_BIN_DIR");
        if (!QFileInfo::exists(bin + QLatin1String("/avformat.dll")))
            QSKIP("the encoder adapter is not built");
        QTemporaryDir work;
        const QString source = work.filePath(QStringLiteral("clip one.avi"));
        QProcess ffmpeg;
        ffmpeg.start(QStringLiteral("ffmpeg"),
                     {"-v", "error", "-nostdin", "-y", "-f", "lavfi", "-i", "testsrc2=size=640x480:rate=25:duration=3",
                      "-f", "lavfi", "-i", "sine=frequency=440:duration=3", "-ac", "2", "-c:v", "mpeg4", "-c:a",
                      "pcm_s16le", source});
        QVERIFY(ffmpeg.waitForFinished(60000));
        QCOMPARE(ffmpeg.exitCode(), 0);

        Desk desk;
        Form1 form;
        form.show();
        form.useSource(source);
        QCOMPARE(form.txtDest()->text(), work.filePath(QStringLiteral("clip one.mp4")));
        QSignalSpy values(form.ProBar(), &TavloProBar::propertyChanged);
        QMetaObject::invokeMethod(form.cmdConvert(), "Click");
        QTRY_VERIFY_WITH_TIMEOUT(form.ProBar()->ProValue().toInt() > 0, 60000);
        QTRY_COMPARE_WITH_TIMEOUT(form.ProBar()->Caption(), QStringLiteral("Conversion Finished !"), 120000);
        form.grab().save(screenshotFolder() + QLatin1String("/window-finished.png"));
        QVERIFY2(desk.boxes.isEmpty(), qPrintable(desk.boxes.join(u'\n')));

        QProcess probe;
        probe.start(QStringLiteral("ffprobe"), {"-v", "error", "-show_entries", "stream=codec_name,width,height",
                                                "-of", "csv=p=0", work.filePath(QStringLiteral("clip one.mp4"))});
        QVERIFY(probe.waitForFinished(30000));
        const QString streams = QString::fromUtf8(probe.readAllStandardOutput());
        QVERIFY2(streams.contains(QLatin1String("mpeg4,320,240")), qPrintable(streams));
        QVERIFY2(streams.contains(QLatin1String("aac")), qPrintable(streams));

        // A source that is no video: the encoder's reason, and the failure on the bar.
        const QString bogus = work.filePath(QStringLiteral("bogus.avi"));
        QFile file(bogus);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(4096, 'z'));
        file.close();
        form.useSource(bogus);
        QMetaObject::invokeMethod(form.cmdConvert(), "Click");
        QTRY_COMPARE_WITH_TIMEOUT(form.ProBar()->Caption(), QStringLiteral("Conversion Failed !"), 60000);
        QCOMPARE(desk.boxes.size(), 1);
        QVERIFY2(desk.boxes.at(0).startsWith(QLatin1String("Conversion failed: ")), qPrintable(desk.boxes.at(0)));
        form.grab().save(screenshotFolder() + QLatin1String("/window-failed.png"));
    }

private:
    QTemporaryDir m_settings;
};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
