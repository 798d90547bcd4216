#include "Clip.h"
#include "Desk.h"
#include "FakeEncoder.h"
#include "Probe.h"
#include "common/MessageBoxes.h"
#include "controls/button/TavloClick.h"
#include "controls/progressbar/TavloProBar.h"
#include "engine/AVC.h"
#include "workflow/ConversionRun.h"
#include "mainwindow/DesktopNotifier.h"
#include "mainwindow/Form1.h"
#include "mainwindow/OptionsPanel.h"
#include "mainwindow/FormatBox.h"
#include "mainwindow/MessageBoxPresenter.h"
#include "mainwindow/WindowHelpers.h"
#include "mainwindow/WindowQueue.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QMessageBox>
#include <QDesktopServices>
#include <QDir>
#include <QMimeData>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <functional>

namespace {

const QString Converting = QStringLiteral("Converting Video File. Please wait...");
const QString Question = QStringLiteral("|36|Zorvik Vidomar"); // Yes and No, the question icon
const QString ReplaceQuestion = QStringLiteral("|292|Zorvik Vidomar"); // the same, No by default

// The window set to convert a source in a program folder of its own, with the fake encoder.
struct FakeConversion {
    // sourceSize < 0: the source does not exist.
    FakeConversion(Form1 &form, qint64 sourceSize = 1000)
    {
        form.queue()->runner().setProgramFolder(folder.path());
        source = sourceSize < 0 ? folder.file(QStringLiteral("in.avi")) : folder.makeSource(QStringLiteral("in.avi"), sourceSize);
        form.useSource(source);
    }
    FakeProgramFolder folder;
    QString source;
};

bool isGone(qint64 pid)
{
    return pid > 0 && ::kill(pid_t(pid), 0) == -1;
}

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
        // The user's own presets, read when the first window lists them.
        QVERIFY(QDir(m_settings.path()).mkpath(QStringLiteral("Zorvik")));
        QFile presets(m_settings.filePath(QStringLiteral("Zorvik/vidomar-presets.json")));
        QVERIFY(presets.open(QIODevice::WriteOnly));
        presets.write("{\"presets\": [{\"name\": \"Phone small\", \"extension\": \".mp4\", \"arguments\": [\"-c\", \"copy\"]}]}");
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
        // The 27, today's group and the user's own, a separator between the groups.
        QCOMPARE(form.cboFormat()->count(), 27 + 1 + 9 + 1 + 1);
        QCOMPARE(form.cboFormat()->itemText(26), QStringLiteral("WAVE Sound (WAV)"));
        QCOMPARE(form.cboFormat()->itemText(28), QStringLiteral("MP4 H.264 1080p (phones, tablets, web)"));
        QCOMPARE(form.cboFormat()->itemText(36), QStringLiteral("FLAC lossless audio"));
        QCOMPARE(form.cboFormat()->itemText(38), QStringLiteral("Phone small"));
        QCOMPARE(form.ProBar()->BlockStyle(), 3);
        QCOMPARE(form.ProBar()->BlockColor1(), 33023);
        QVERIFY(!form.converting());
        QVERIFY(form.tmrCheck().isActive());
        QCOMPARE(form.tmrAutoUpdate().interval(), 30000);
        // Nothing has run: the bar shows no figure.
        QVERIFY(!form.ProBar()->ShowValue());
        // Showing the window selects the default preset, and the list opens on it.
        form.show();
        QCOMPARE(form.cboFormat()->currentText(), QString::fromLatin1(Form1::DefaultPreset));
        QCOMPARE(form.cboFormat()->currentIndex(), form.cboFormat()->findText(QString::fromLatin1(Form1::DefaultPreset)));
        // A separator has room of its own, not the height of an underline.
        form.cboFormat()->showPopup();
        QAbstractItemView *list = form.cboFormat()->view();
        QVERIFY(list->visualRect(list->model()->index(27, 0)).height() >= 9);
        list->scrollTo(list->model()->index(38, 0));
        form.cboFormat()->view()->window()->grab().save(screenshotFolder() + QLatin1String("/window-format-list.png"));
        form.cboFormat()->hidePopup();
        form.grab().save(screenshotFolder() + QLatin1String("/window-idle.png"));

        // The keys step over a separator onto the next group.
        for (const int index : {26, 36}) {
            form.cboFormat()->setCurrentIndex(index);
            QTest::keyClick(form.cboFormat(), Qt::Key_Down);
            QCOMPARE(form.cboFormat()->currentIndex(), index + 2);
        }
    }

    // The destination follows the source and the preset.
    void destination_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("entry"); // "dialog", or typed and then "" nothing, "Return", "Tab"
        QTest::addColumn<QStringList>("presets");
        QTest::addColumn<QString>("dest");
        const QString dialog = QStringLiteral("dialog");
        QTest::newRow("party.avi to mp4") << "/clips/party.avi" << dialog << QStringList{"iPOD Video (320x240) MPEG4"}
                                          << "/clips/party.mp4";
        QTest::newRow("then wav") << "/clips/party.avi" << dialog
                                  << QStringList{"iPOD Video (320x240) MPEG4", "WAVE Sound (WAV)"} << "/clips/party.wav";
        // Only the file name's last extension changes, in any case; folder names stay.
        QTest::newRow("folder names untouched") << "/clips/my.avi.files/clip.avi" << dialog
                                                << QStringList{"iPOD Video (320x240) MPEG4"} << "/clips/my.avi.files/clip.mp4";
        QTest::newRow("mixed-case extension") << "/clips/party.Avi" << dialog << QStringList{"WAVE Sound (WAV)"}
                                              << "/clips/party.wav";
        QTest::newRow("typed mixed case") << "/clips/party.Avi" << "Return" << QStringList{"WAVE Sound (WAV)"}
                                          << "/clips/party.wav";
        // Where the rules would name the source itself, the destination is set apart from it.
        QTest::newRow("same extension") << "/clips/party.avi" << dialog << QStringList{"Sony PSP (Normal)"}
                                        << "/clips/party (converted).avi";
        QTest::newRow("set apart, then another extension")
            << "/clips/party.avi" << dialog << QStringList{"Sony PSP (Normal)", "iPOD Video (320x240) MPEG4"}
            << "/clips/party.mp4";
        QTest::newRow("a name with dots") << "/clips/v1.2/party.final.avi" << dialog << QStringList{"Zune MPEG-4 Video"}
                                          << "/clips/v1.2/party.final (converted).avi";
        // A typed source is taken as a chosen one, on Return, on leaving the field, or at a preset.
        QTest::newRow("typed, then a preset") << "/clips/typed.avi" << "" << QStringList{"WAVE Sound (WAV)"}
                                              << "/clips/typed.wav";
        QTest::newRow("typed, Return") << "/clips/typed.avi" << "Return" << QStringList{} << "/clips/typed.mp4";
        QTest::newRow("typed, leaves the field") << "/clips/typed.avi" << "Tab" << QStringList{} << "/clips/typed.mp4";
        // Only a preset's name moves the destination; text on the way to one leaves it whole.
        QTest::newRow("text on the way to a preset")
            << "/clips/party.avi" << dialog << QStringList{"WAV", "WAVE Sound"} << "/clips/party.mp4";
        QTest::newRow("a preset's name typed in full")
            << "/clips/party.avi" << dialog << QStringList{"W", "WAVE Sound (WAV)"} << "/clips/party.wav";
    }
    void destination()
    {
        QFETCH(QString, source);
        QFETCH(QString, entry);
        QFETCH(QStringList, presets);
        QFETCH(QString, dest);
        Desk desk;
        Form1 form;
        form.show();
        if (entry == QLatin1String("dialog")) {
            desk.dialogAnswer = source;
            form.cmdSource_Click();
            QCOMPARE(desk.dialogs.size(), 1);
            QCOMPARE(desk.dialogs.at(0).title, QStringLiteral("Select a Video File to Convert"));
            QCOMPARE(desk.dialogs.at(0).filter,
                     QStringLiteral("Video Files (*.avi *.mp4 *.m4v *.mkv *.mov *.webm *.wmv *.mpg *.mpeg *.flv *.3gp "
                                    "*.ts *.vob *.ogv);;AVI Video Files (*.avi);;All Files (*)"));
            QVERIFY(!desk.dialogs.at(0).save);
        } else {
            form.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&form));
            form.txtSource()->setFocus();
            QTest::keyClicks(form.txtSource(), source);
            if (entry == QLatin1String("Return"))
                QTest::keyClick(form.txtSource(), Qt::Key_Return);
            else if (entry == QLatin1String("Tab"))
                QTest::keyClick(form.txtSource(), Qt::Key_Tab);
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
        QCOMPARE(desk.boxes, QStringList{"Please select a source video file first|0|Zorvik Vidomar"});
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

    void convertWithoutSource()
    {
        Desk desk;
        Form1 form;
        form.show();
        form.ProBar()->setShowValue(true);
        form.ProBar()->setCaption(QStringLiteral("Conversion Finished !"));
        form.cmdConvert_Click();
        QCOMPARE(desk.boxes, QStringList{"Select a video file to convert|64|Select File"});
        QVERIFY(!form.ProBar()->ShowValue());
        QCOMPARE(form.ProBar()->Caption(), QString());
    }

    // A Convert refused before any encoder starts: the reason, and a bar that says nothing runs.
    void refusedConvert_data()
    {
        QTest::addColumn<QString>("preset");
        QTest::addColumn<QString>("destination"); // "" empty, "=" the source, else a name in the folder
        QTest::addColumn<bool>("withEncoder");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("start"); // typed into the Options page
        const QString preset = QString::fromLatin1(Form1::DefaultPreset);
        QTest::newRow("no destination") << preset << "" << true << "No destination filename defined|16|Zorvik Vidomar" << "";
        QTest::newRow("destination is the source")
            << preset << "=" << true
            << "The destination file is the source file itself; choose another destination|16|Zorvik Vidomar" << "";
        QTest::newRow("encoder missing") << preset << "out.mp4" << false
                                         << "Unable to locate avformat.dll|16|Zorvik Vidomar" << "";
        // %1 is the program folder; in.avi is a file, so no folder can be made below it.
        QTest::newRow("folder cannot be made") << preset << "in.avi/videos/out.mp4" << true
                                               << "Cannot write to %1/in.avi/videos: Not a directory|16|Zorvik Vidomar" << "";
        // Said before anything runs, with the focus on the field at fault.
        QTest::newRow("a start that is no time")
            << preset << "out.mp4" << true
            << "The options cannot be used: Start: \"1:7x\" is not a time; write [[h:]m:]s[.ms], for example 90, "
               "1:30 or 1:02:03.5|48|Zorvik Vidomar"
            << "1:7x";
        // ffmpeg writes by the extension: one it does not know would run and then fail.
        QTest::newRow("unknown extension")
            << preset << "out.xyz" << true
            << "Cannot write out.xyz: ffmpeg knows no kind of file ending in .xyz. Choose a name ending in .mp4.|16|Zorvik Vidomar" << "";
        QTest::newRow("no extension")
            << preset << "out" << true
            << "Cannot write out: ffmpeg cannot tell what kind of file to write without an extension. Choose a name ending in .mp4.|16|Zorvik Vidomar" << "";
    }
    // A name that is no preset cannot be chosen: the format box is a list, and typed letters only
    // search it.
    void unknownPresetCannotBeChosen()
    {
        Desk desk;
        Form1 form;
        form.show();
        form.cboFormat()->setCurrentText(QStringLiteral("ipod video"));
        QTest::keyClicks(form.cboFormat(), QStringLiteral("My phone y"));
        QVERIFY2(form.formatBox()->isPreset(form.cboFormat()->currentText()), qPrintable(form.cboFormat()->currentText()));
        QVERIFY(!form.cboFormat()->isEditable());
    }

    void refusedConvert()
    {
        QFETCH(QString, preset);
        QFETCH(QString, destination);
        QFETCH(bool, withEncoder);
        QFETCH(QString, box);
        QFETCH(QString, start);
        Desk desk;
        Form1 form;
        form.show();
        FakeConversion run(form);
        auto *startField = form.optionsPanel()->findChild<QLineEdit *>(QStringLiteral("start"));
        QTest::keyClicks(startField, start);
        if (!withEncoder)
            QVERIFY(QFile::remove(run.folder.encoder()));
        form.cboFormat()->setCurrentText(preset);
        if (destination == QLatin1String("="))
            form.txtDest()->setText(run.source);
        else
            form.txtDest()->setText(destination.isEmpty() ? QString() : run.folder.file(destination));
        form.ProBar()->setProValue(100);
        form.ProBar()->setShowValue(true);
        form.ProBar()->setCaption(QStringLiteral("Conversion Finished !"));
        form.cmdConvert_Click();
        QCOMPARE(desk.boxes, QStringList{box.arg(run.folder.path())});
        if (!start.isEmpty())
            QCOMPARE(form.focusWidget(), startField);
        QVERIFY(!form.converting());
        QCOMPARE(form.ProBar()->ProValue().toInt(), 0);
        QVERIFY(!form.ProBar()->ShowValue());
        QCOMPARE(form.ProBar()->Caption(), QString());
    }

    // The bar's figure and caption from the job's text: nothing for the encoder's start-up, its
    // time once it says it, the time left in the caption, 100 at the end, and a source that ended
    // well before its stated duration said so.
    void progress_data()
    {
        QTest::addColumn<QStringList>("chunks");
        QTest::addColumn<qint64>("fileSize");
        QTest::addColumn<QList<int>>("values");
        QTest::addColumn<QList<bool>>("timeLeft"); // whether the caption shows it
        QTest::addColumn<QString>("finished");
        const QString block(256, QLatin1Char('x'));
        const QString finished = QStringLiteral("Conversion Finished !");
        QTest::newRow("start-up text") << QStringList{block, block} << qint64(1500000) << QList<int>{0, 0}
                                       << QList<bool>{false, false} << finished;
        QTest::newRow("measured")
            << QStringList{"  Duration: 00:00:10.00, start: 0.0\n", "frame= 50 size= 256KiB time=00:00:04.9",
                           "0 bitrate=1.0kbits/s\r", "frame= 250 size=N/A time=00:00:10.00 bitrate=N/A\r"}
            << qint64(50000000) << QList<int>{0, 0, 49, 99} << QList<bool>{false, false, true, true} << finished;
        QTest::newRow("ended early")
            << QStringList{"  Duration: 00:00:02.00, start: 0.0\n", "frame= 4 size= 1KiB time=00:00:00.16 bitrate=N/A\r",
                           "avformat.dll: the source ended early, at 0:00.16 of 0:02.00\n"}
            << qint64(50000) << QList<int>{0, 8, 8} << QList<bool>{false, true, true}
            << finished + QLatin1String(" (the source ended early, at 0:00.16 of 0:02.00)");
    }
    void progress()
    {
        QFETCH(QStringList, chunks);
        QFETCH(qint64, fileSize);
        QFETCH(QList<int>, values);
        QFETCH(QList<bool>, timeLeft);
        QFETCH(QString, finished);
        Desk desk;
        Form1 form;
        form.show();
        FakeConversion run(form);
        Env env{{"FAKE_SILENT_MS", "60000"}};
        form.cmdConvert_Click();
        QVERIFY(form.converting());
        QCOMPARE(form.ProBar()->Caption(), Converting);
        // While it runs, what names the run stays as it is, and Convert is Stop.
        const int preset = form.cboFormat()->currentIndex();
        QVERIFY(form.txtSource()->isReadOnly() && form.txtDest()->isReadOnly() && form.formatBox()->isReadOnly());
        QTest::keyClick(form.cboFormat(), Qt::Key_Down);
        QCOMPARE(form.cboFormat()->currentIndex(), preset);
        QCOMPARE(form.cmdConvert()->accessibleName(), QStringLiteral("Stop"));
        QVERIFY(form.cmdConvert()->toolTip().startsWith(QLatin1String("Stop")));
        const QRegularExpression withTimeLeft(QRegularExpression::escape(Converting) + QStringLiteral(" \\d+:\\d\\d left"));
        for (qsizetype i = 0; i < chunks.size(); ++i) {
            emit form.run()->job().DataOutput(chunks.at(i), fileSize);
            QCOMPARE(form.ProBar()->ProValue().toInt(), values.at(i));
            const QString caption = form.ProBar()->Caption();
            QVERIFY2(timeLeft.at(i) ? withTimeLeft.match(caption).hasMatch() : caption == Converting, qPrintable(caption));
            if (values.at(i) == 49)
                form.grab().save(screenshotFolder() + QLatin1String("/window-converting.png"));
        }
        emit form.run()->job().Complete();
        QCOMPARE(form.ProBar()->ProValue().toInt(), 100);
        QCOMPARE(form.ProBar()->Caption(), finished);
        QVERIFY(desk.boxes.isEmpty());
    }

    // How a run ends, as the window shows it: a missing or an empty source its own box, naming
    // it, before anything runs; a failure the encoder's reason; success no box.
    void endOfRun_data()
    {
        QTest::addColumn<qint64>("sourceSize");
        QTest::addColumn<QByteArray>("exitCode");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("showValue");
        QTest::addColumn<QString>("caption");
        // %1 is the program folder. A source that cannot be used is refused before anything runs.
        const QStringList missing{"The source video file is not found:\n%1/in.avi|16|Zorvik Vidomar"};
        QTest::newRow("missing source") << qint64(-1) << QByteArray("1") << missing << 0 << false << "";
        QTest::newRow("empty source") << qint64(0) << QByteArray("0")
                                      << QStringList{"The source video file is empty.\n%1/in.avi|16|Zorvik Vidomar"} << 0 << false << "";
        QTest::newRow("failure") << qint64(1000) << QByteArray("1")
                                 << QStringList{"Conversion failed: in.avi: Invalid data|16|Zorvik Vidomar"} << 0 << false
                                 << "Conversion Failed !";
        QTest::newRow("success") << qint64(1000) << QByteArray("0") << QStringList{} << 100 << true
                                 << "Conversion Finished !";
    }
    void endOfRun()
    {
        QFETCH(qint64, sourceSize);
        QFETCH(QByteArray, exitCode);
        QFETCH(QStringList, boxes);
        QFETCH(int, value);
        QFETCH(bool, showValue);
        QFETCH(QString, caption);
        Desk desk;
        Form1 form;
        form.show();
        FakeConversion run(form, sourceSize);
        Env env{{"FAKE_TEXT", "[in.avi] a line of the encoder's about the source\n"},
                {"FAKE_REPEAT", "30"},
                {"FAKE_EXIT", exitCode},
                {"FAKE_LAST_LINE", "in.avi: Invalid data"}};
        form.cmdConvert_Click();
        // Refused: told before Stop and Pause ever show.
        QVERIFY(!caption.isEmpty() || (!form.converting() && form.cmdPause()->isHidden()));
        QTRY_VERIFY_WITH_TIMEOUT(!form.converting(), 10000);
        QTest::qWait(500);
        for (QString &box : boxes)
            box.replace(QLatin1String("%1"), run.folder.path());
        QCOMPARE(desk.boxes, boxes);
        QCOMPARE(form.ProBar()->ProValue().toInt(), value);
        QCOMPARE(form.ProBar()->ShowValue(), showValue);
        QCOMPARE(form.ProBar()->Caption(), caption);
        QVERIFY(!form.txtSource()->isReadOnly() && !form.txtDest()->isReadOnly() && !form.formatBox()->isReadOnly());
        QCOMPARE(form.cmdConvert()->accessibleName(), QStringLiteral("Convert"));
        // Unless the window is the active one, the user hears of the end on the desktop.
        if (!caption.isEmpty())
            QCOMPARE(desk.notes, form.isActiveWindow() ? QStringList{} : QStringList{caption});
    }

    // Convert during a conversion, or Esc, asks; Yes stops the encoder, No leaves the conversion
    // and its meter alone, and an answer after the conversion ended changes nothing.
    void stopAsks_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("endsWhileAsked");
        QTest::newRow("Convert, Yes") << false << int(MessageBoxes::Yes) << false;
        QTest::newRow("Esc, Yes") << true << int(MessageBoxes::Yes) << false;
        QTest::newRow("Convert, No") << false << int(MessageBoxes::No) << false;
        QTest::newRow("Esc, No") << true << int(MessageBoxes::No) << false;
        QTest::newRow("ended while asked, Yes") << false << int(MessageBoxes::Yes) << true;
    }
    void stopAsks()
    {
        QFETCH(bool, escape);
        QFETCH(int, answer);
        QFETCH(bool, endsWhileAsked);
        Desk desk;
        Form1 form;
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        FakeConversion run(form);
        // The run that ends reaches the source's stated duration.
        Env env{{"FAKE_SILENT_MS", endsWhileAsked ? "300" : "60000"}, {"FAKE_TEXT", "frame= 250 time=00:00:10.00 bitrate=1k\r"}};
        form.cmdConvert_Click();
        const qint64 pid = form.run()->job().encoderProcessId();
        emit form.run()->job().DataOutput(QStringLiteral("  Duration: 00:00:10.00, start: 0.0\n"), 1000);
        emit form.run()->job().DataOutput(QStringLiteral("frame= 9 time=00:00:05.00 bitrate=1k\r"), 1000);
        QCOMPARE(form.ProBar()->ProValue().toInt(), 50);
        desk.answer = [&] {
            if (endsWhileAsked && !QTest::qWaitFor([&] { return !form.converting(); }, 10000))
                qWarning("the conversion did not end while asked");
            return answer;
        };
        if (escape)
            QTest::keyClick(form.txtSource(), Qt::Key_Escape);
        else
            form.cmdConvert_Click();
        QCOMPARE(desk.boxes, QStringList{"A conversion is running. Stop it?" + Question});
        if (answer == MessageBoxes::No) {
            QVERIFY(form.converting());
            emit form.run()->job().DataOutput(QStringLiteral("frame= 19 time=00:00:06.00 bitrate=1k\r"), 1000);
            QCOMPARE(form.ProBar()->ProValue().toInt(), 60);
            QVERIFY(form.ProBar()->Caption().startsWith(Converting));
            return;
        }
        const QString end = endsWhileAsked ? QStringLiteral("Conversion Finished !") : QStringLiteral("Conversion Cancelled !");
        QTRY_COMPARE_WITH_TIMEOUT(form.ProBar()->Caption(), end, 10000);
        QCOMPARE(form.ProBar()->ProValue().toInt(), endsWhileAsked ? 100 : 0);
        QCOMPARE(form.ProBar()->ShowValue(), endsWhileAsked);
        QVERIFY(isGone(pid));
        QCOMPARE(desk.boxes.size(), 1);
    }

    // Convert over an existing file asks first; No starts nothing and leaves the bar as it was.
    void replaceAsks_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("Yes") << int(MessageBoxes::Yes);
        QTest::newRow("No") << int(MessageBoxes::No);
    }
    void replaceAsks()
    {
        QFETCH(int, answer);
        Desk desk;
        Form1 form;
        form.show();
        FakeConversion run(form);
        QFile older(form.txtDest()->text());
        QVERIFY(older.open(QIODevice::WriteOnly));
        older.write("an older video of the same name");
        older.close();
        desk.answer = [answer] { return answer; };
        const QString caption = form.ProBar()->Caption();
        Env env{{"FAKE_SILENT_MS", "60000"}};
        form.cmdConvert_Click();
        QCOMPARE(desk.boxes, QStringList{"in.mp4 already exists. Replace it?" + ReplaceQuestion});
        QCOMPARE(form.converting(), answer == MessageBoxes::Yes);
        QCOMPARE(form.ProBar()->Caption(), answer == MessageBoxes::Yes ? Converting : caption);
    }

    // A real click on a button runs its handler once.
    void realClicks()
    {
        Desk desk;
        Form1 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTest::mouseClick(form.cmdConvert(), Qt::LeftButton, {}, QPoint(60, 32));
        QCOMPARE(desk.boxes, QStringList{"Select a video file to convert|64|Select File"});
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
        const QString problem = makeClip(source);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));

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

        const Probe converted = probe(work.filePath(QStringLiteral("clip one.mp4")));
        QVERIFY2(converted.error.isEmpty(), qPrintable(converted.error));
        QCOMPARE(converted.videoCodec(), QStringLiteral("mpeg4"));
        QCOMPARE(converted.size(), QSize(320, 240));
        QCOMPARE(converted.audioCodec(), QStringLiteral("aac"));

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

    // Closing during a conversion asks; Yes stops the encoder and then closes, No keeps both; a
    // stop signal closes the same way without asking. Last: closing ends the application's loop.
    void closeAsks_data()
    {
        QTest::addColumn<bool>("signal");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("endsWhileAsked");
        QTest::newRow("No keeps the window and the conversion") << false << int(MessageBoxes::No) << false;
        QTest::newRow("Yes stops it, then closes") << false << int(MessageBoxes::Yes) << false;
        QTest::newRow("Yes after it ended closes") << false << int(MessageBoxes::Yes) << true;
        QTest::newRow("a stop signal does not ask") << true << int(MessageBoxes::No) << false;
    }
    void closeAsks()
    {
        QFETCH(bool, signal);
        QFETCH(int, answer);
        QFETCH(bool, endsWhileAsked);
        Desk desk;
        Form1 form;
        form.show();
        FakeConversion run(form);
        Env env{{"FAKE_SILENT_MS", endsWhileAsked ? "300" : "60000"}, {"FAKE_TERM_MS", "200"}};
        form.cmdConvert_Click();
        const qint64 pid = form.run()->job().encoderProcessId();
        desk.answer = [&] {
            if (endsWhileAsked && !QTest::qWaitFor([&] { return !form.converting(); }, 10000))
                qWarning("the conversion did not end while asked");
            return answer;
        };
        if (signal)
            form.stopAndClose();
        else
            QTest::mouseClick(form.cmdClose(), Qt::LeftButton, {}, QPoint(15, 11));
        QCOMPARE(desk.boxes, signal ? QStringList{} : QStringList{"A conversion is running. Stop it and close?" + Question});
        if (answer == MessageBoxes::No && !signal) {
            QTest::qWait(300);
            QVERIFY(form.isVisible());
            QVERIFY(form.converting());
            return;
        }
        // The window waits for the encoder to clean up.
        QCOMPARE(form.isVisible(), !endsWhileAsked);
        QTRY_VERIFY_WITH_TIMEOUT(!form.isVisible(), 10000);
        QVERIFY(!form.converting());
        QVERIFY(isGone(pid));
    }

    // A stop or close question still open when the run ends on its own goes away unanswered.
    void questionGoesWhenTheRunEnds_data()
    {
        QTest::addColumn<bool>("closing");
        QTest::addColumn<QByteArray>("exitCode");
        QTest::addColumn<QString>("caption");
        QTest::newRow("stop, finished") << false << QByteArray("0") << "Conversion Finished !";
        QTest::newRow("close, finished") << true << QByteArray("0") << "Conversion Finished !";
        QTest::newRow("stop, failed") << false << QByteArray("1") << "Conversion Failed !";
    }
    void questionGoesWhenTheRunEnds()
    {
        QFETCH(bool, closing);
        QFETCH(QByteArray, exitCode);
        QFETCH(QString, caption);
        Desk desk;
        const MessageBoxes::Handler recorder = MessageBoxes::install(MessageBoxPresenter::present);
        Form1 form;
        form.show();
        FakeConversion run(form);
        Env env{{"FAKE_SILENT_MS", "500"}, {"FAKE_EXIT", exitCode}, {"FAKE_LAST_LINE", "in.avi: Invalid data"}};
        form.cmdConvert_Click();
        QVERIFY(form.converting());
        // The failure's message is read (OK) once it shows, and the boxes on show then are kept;
        // only a box that never goes would still be there after the last round.
        QStringList seen;
        QTimer reader;
        int rounds = 0;
        connect(&reader, &QTimer::timeout, [&] {
            const bool last = ++rounds > 400;
            for (QWidget *widget : QApplication::topLevelWidgets()) {
                auto *box = qobject_cast<QMessageBox *>(widget);
                if (!box || !box->isVisible())
                    continue;
                if (box->button(QMessageBox::Ok)) {
                    for (QWidget *open : QApplication::topLevelWidgets())
                        if (qobject_cast<QMessageBox *>(open) && open->isVisible())
                            seen << qobject_cast<QMessageBox *>(open)->text();
                    box->button(QMessageBox::Ok)->click();
                } else if (last) {
                    box->reject();
                }
            }
        });
        reader.start(50);
        if (closing)
            form.close();
        else
            form.cmdConvert_Click();
        MessageBoxes::install(recorder);
        QTRY_COMPARE_WITH_TIMEOUT(form.ProBar()->Caption(), caption, 10000);
        QVERIFY(form.isVisible());
        // A failure's message stands alone: the question went before it showed.
        QCOMPARE(seen, exitCode == "0" ? QStringList{} : QStringList{"Conversion failed: in.avi: Invalid data"});
    }

    // A missing destination folder is made, as the command line makes it.
    void missingFolderIsMade()
    {
        Desk desk;
        Form1 form;
        form.show();
        FakeConversion run(form);
        Env env{{"FAKE_SILENT_MS", "60000"}};
        form.txtDest()->setText(run.folder.file(QStringLiteral("new/deeper/out.mp4")));
        form.cmdConvert_Click();
        QVERIFY2(desk.boxes.isEmpty(), qPrintable(desk.boxes.join(u'\n')));
        QVERIFY(form.converting());
        QVERIFY(QFileInfo(run.folder.file(QStringLiteral("new/deeper"))).isDir());
    }


private:
    QTemporaryDir m_settings;
};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
