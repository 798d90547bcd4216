// The window with several files, offscreen, with the fake encoder: one Convert converts them all,
// a failure is summed up once, Pause suspends the encoder, and a queue left unfinished is offered
// at the next start.

#include "BoxRecorder.h"
#include "Clip.h"
#include "FakeEncoder.h"
#include "ProcessTree.h"
#include "workflow/ConversionRun.h"
#include "common/MessageBoxes.h"
#include "controls/button/TavloClick.h"
#include "controls/progressbar/TavloProBar.h"
#include "engine/AVC.h"
#include "mainwindow/DesktopNotifier.h"
#include "mainwindow/Form1.h"
#include "mainwindow/FormatBox.h"
#include "mainwindow/WindowHelpers.h"
#include "mainwindow/OptionsPanel.h"
#include "mainwindow/PanelArea.h"
#include "mainwindow/PreviewPanel.h"
#include "mainwindow/TargetChoice.h"
#include "mainwindow/QueuePanel.h"
#include "mainwindow/QueueRowDelegate.h"
#include "mainwindow/WatchControl.h"
#include "mainwindow/WindowQueue.h"
#include "workflow/Conversion.h"
#include "workflow/QueueModel.h"
#include "workflow/RecoveryFile.h"

#include <QAbstractItemModelTester>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QPushButton>
#include <QSettings>
#include <QMimeData>
#include <QScreen>
#include <QtTest>

namespace {

// Records the boxes and notifications, answering every box with the given answer.
struct Recorder : BoxRecorder {
    Recorder()
    {
        answerAlways(MessageBoxes::Yes);
        notifier = DesktopNotifier::install([this](const QString &summary, const QString &) { notes << summary; });
    }
    ~Recorder() { DesktopNotifier::install(notifier); }
    QStringList &shown = texts;
    QStringList notes;
    DesktopNotifier::Handler notifier;
};

} // namespace

class TestWindowQueue : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_home.path());
        qputenv("XDG_STATE_HOME", m_home.filePath(QStringLiteral("state")).toUtf8());
        qputenv("VIDOMAR_UPDATE_HOST", "127.0.0.1:9");
        QVERIFY(m_folder.isValid());
    }

    // Three sources, one Convert: three items done, one notification at most, no box; with a
    // source missing, one box that names it and why.
    void severalSources_data()
    {
        QTest::addColumn<bool>("oneMissing");
        QTest::newRow("all converted") << false;
        QTest::newRow("one failed") << true;
    }
    void severalSources()
    {
        QFETCH(bool, oneMissing);
        Recorder recorder;
        Form1 form;
        form.show();
        form.queue()->runner().setProgramFolder(m_folder.path());
        QStringList sources{m_folder.makeSource(QStringLiteral("a.avi"), 1000), m_folder.makeSource(QStringLiteral("b.mkv"), 1000),
                            oneMissing ? m_folder.file(QStringLiteral("gone.avi")) : m_folder.makeSource(QStringLiteral("c.mp4"), 1000)};
        // The artwork above the fields stays as it was when the panel opens below it.
        const QRect artwork(0, 0, 550, 140);
        const QImage before = form.grab(artwork).toImage();
        form.useSources(sources);
        QCOMPARE(form.grab(artwork).toImage(), before);
        QCOMPARE(form.queue()->list().size(), 3);
        QVERIFY(form.queuePanel()->isVisible());
        // Form and panel area together fit the screen.
        QVERIFY(form.height() >= 400 + PanelArea::LeastHeight);
        QVERIFY(form.screen()->availableGeometry().contains(form.geometry()));
        QCOMPARE(form.txtSource()->text(), QStringLiteral("3 files: a.avi, b.mkv, …"));
        QVERIFY(form.txtSource()->isReadOnly());
        QCOMPARE(form.queuePanel()->model()->rowCount(), 3);
        QVERIFY(form.queuePanel()->model()->index(0, 0).data(Qt::AccessibleTextRole).toString().startsWith(
            QStringLiteral("a.avi → a.mp4 · iPOD")));

        form.cmdConvert_Click();
        QVERIFY(form.queue()->runner().running());
        QVERIFY(form.cmdPause()->isVisible());
        QCOMPARE(form.cmdConvert()->accessibleName(), QStringLiteral("Stop"));
        QVERIFY(form.ProBar()->Caption().startsWith(QStringLiteral("File 1 of 3 · Converting…")));
        QTRY_VERIFY_WITH_TIMEOUT(!form.queue()->runner().running(), 30000);
        QVERIFY(!form.cmdPause()->isVisible());
        QCOMPARE(form.cmdConvert()->accessibleName(), QStringLiteral("Convert"));
        QVERIFY(form.txtSource()->isReadOnly());
        const QueueRunner::Summary &summary = form.queue()->runner().summary();
        QCOMPARE(summary.done, oneMissing ? 2 : 3);
        QCOMPARE(summary.failed, oneMissing ? 1 : 0);
        QVERIFY(recorder.notes.size() <= 1);
        if (oneMissing) {
            QCOMPARE(recorder.shown, QStringList{"2 converted, 1 failed: gone.avi — The Source video file is not found!"});
        } else {
            QCOMPARE(recorder.shown, QStringList());
            QCOMPARE(form.ProBar()->Caption(), QStringLiteral("Conversion Finished !"));
        }
        // Files dropped on the idle queue join it, and the bar says so.
        QMimeData dropped;
        dropped.setUrls({QUrl::fromLocalFile(sources.first()), QUrl::fromLocalFile(sources.at(1))});
        QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&form, &enter);
        QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&form, &drop);
        QVERIFY(form.queuePanel()->isVisible());
        QCOMPARE(form.queue()->list().size(), 5);
        QCOMPARE(form.ProBar()->Caption(), QStringLiteral("2 files added to the queue"));
        // Nothing is left for the next window to offer.
        form.queue()->list().replaceAll({});
    }

    // The panel's list by keyboard: Alt+Down and Alt+Up move the chosen file and it stays chosen,
    // Delete removes it; the rows the model gives stay consistent throughout.
    void panelKeyboard()
    {
        Recorder recorder;
        Form1 form;
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QAbstractItemModelTester tester(form.queuePanel()->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        form.useSources({m_folder.file(QStringLiteral("k1.avi")), m_folder.file(QStringLiteral("k2.avi")),
                         m_folder.file(QStringLiteral("k3.avi"))});
        QListView *list = form.queuePanel()->itemList();
        const auto sourceAt = [&](int row) { return QFileInfo(form.queue()->list().at(row).source).fileName(); };
        list->setFocus();
        list->setCurrentIndex(list->model()->index(0, 0));
        QTest::keyClick(list, Qt::Key_Down, Qt::AltModifier);
        QCOMPARE(sourceAt(1), QStringLiteral("k1.avi"));
        QCOMPARE(list->currentIndex().row(), 1);
        QTest::keyClick(list, Qt::Key_Down, Qt::AltModifier);
        QTest::keyClick(list, Qt::Key_Up, Qt::AltModifier);
        QCOMPARE(sourceAt(1), QStringLiteral("k1.avi"));
        QCOMPARE(list->currentIndex().data(Qt::AccessibleTextRole).toString().left(6), QStringLiteral("k1.avi"));
        QTest::keyClick(list, Qt::Key_Delete);
        QCOMPARE(form.queue()->list().size(), 2);
        QCOMPARE(form.queuePanel()->model()->rowCount(), 2);
        QVERIFY(sourceAt(0) != QLatin1String("k1.avi") && sourceAt(1) != QLatin1String("k1.avi"));
        // Nothing is left for the next window to offer.
        form.queue()->list().replaceAll({});
    }

    // The Options page's choices reach every file: the queue's waiting items and its rows, a file
    // that joins later, and the file in the fields, which is then read for them aside (this one
    // cannot be, which a box says, naming it).
    void optionsReachTheConversions()
    {
        Recorder recorder;
        Form1 form;
        form.show();
        form.queue()->runner().setProgramFolder(m_folder.path());
        form.useSources({m_folder.makeSource(QStringLiteral("o1.avi"), 1000), m_folder.makeSource(QStringLiteral("o2.avi"), 1000)});
        QTest::keyClicks(form.optionsPanel()->findChild<QLineEdit *>(QStringLiteral("start")), QStringLiteral("1"));
        QTest::keyClicks(form.optionsPanel()->findChild<QLineEdit *>(QStringLiteral("end")), QStringLiteral("2"));
        form.useSources({m_folder.makeSource(QStringLiteral("o3.avi"), 1000)});
        QCOMPARE(form.queue()->list().size(), 3);
        for (const QueueItem &item : form.queue()->list().items()) {
            QCOMPARE(item.options.startMs, 1000);
            QCOMPARE(item.options.endMs, 2000);
        }
        const QString row = form.queuePanel()->model()->index(2, 0).data(Qt::AccessibleTextRole).toString();
        QVERIFY2(row.contains(QStringLiteral("(0:01–0:02)")), qPrintable(row));

        form.queue()->list().replaceAll({});
        form.useSource(m_folder.makeSource(QStringLiteral("o4.avi"), 1000));
        form.cmdConvert_Click();
        QVERIFY(form.converting()); // reading, the window free meanwhile
        QTRY_VERIFY_WITH_TIMEOUT(!form.converting(), 30000);
        QCOMPARE(recorder.shown.size(), 1);
        QVERIFY2(recorder.shown.first().startsWith(QStringLiteral("o4.avi cannot be read: ")), qPrintable(recorder.shown.first()));
        QCOMPARE(form.ProBar()->Caption(), QString());
        QVERIFY(form.queue()->list().size() == 0);
    }

    // A row that ended badly does not look done: an error mark, and the reason's beginning in the
    // error colour, cut before the row's right edge; the tip has all of it.
    void failedRowLook_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("marked");
        QTest::newRow("done") << int(QueueItem::State::Done) << false;
        QTest::newRow("failed") << int(QueueItem::State::Failed) << true;
        QTest::newRow("skipped") << int(QueueItem::State::Skipped) << true;
    }
    void failedRowLook()
    {
        QFETCH(int, state);
        QFETCH(bool, marked);
        const QString reason = QStringLiteral("Invalid data found when processing input, and more words than fit the row");
        QueueItem item{.source = QStringLiteral("/videos/a rather long source name.avi"),
                       .preset = QString::fromLatin1(Form1::DefaultPreset),
                       .destination = QStringLiteral("/videos/a rather long source name.mp4")};
        item.state = QueueItem::State(state);
        item.reason = marked ? reason : QString();
        QueueList list;
        list.replaceAll({item}); // as the saved queue comes back, states and all
        QueueModel model(list);
        QueueRowDelegate delegate;
        QStyleOptionViewItem option;
        option.rect = QRect(0, 0, 320, 24);
        option.state = QStyle::State_Enabled;
        option.fontMetrics = QFontMetrics(option.font);
        // Painted into a wider picture: whatever lands right of the row went past its edge.
        QImage picture(400, 24, QImage::Format_RGB32);
        picture.fill(Qt::blue);
        QPainter painter(&picture);
        delegate.paint(&painter, option, model.index(0, 0));
        painter.end();
        QDir().mkpath(qEnvironmentVariable("VIDOMAR_BIN_DIR") + QStringLiteral("/../screenshots"));
        picture.save(qEnvironmentVariable("VIDOMAR_BIN_DIR") + QStringLiteral("/../screenshots/queue-row-%1.png").arg(QLatin1String(QTest::currentDataTag())));
        const auto count = [&](int from, int to, const std::function<bool(QColor)> &what) {
            int found = 0;
            for (int y = 0; y < picture.height(); ++y)
                for (int x = from; x < to; ++x)
                    found += what(picture.pixelColor(x, y));
            return found;
        };
        const auto reddish = [](QColor c) { return c.red() > 200 && c.green() < 140 && c.blue() < 140; };
        QCOMPARE(count(0, 24, reddish) > 20, marked);               // the mark at the row's start
        QCOMPARE(count(160, 314, reddish) > 20, marked);            // the reason's words
        QCOMPARE(count(314, 400, [](QColor c) { return c != QColor(13, 14, 16) && c != QColor(Qt::blue); }), 0);
        QCOMPARE(model.index(0, 0).data(Qt::ToolTipRole).toString().endsWith(reason), marked);
        QCOMPARE(model.index(0, 0).data(Qt::AccessibleTextRole).toString().endsWith(reason), marked);
    }

    // Pause stops the encoder where it is; closing asks; Resume lets it finish; the caption says so.
    void pauseAndResume()
    {
        Recorder recorder;
        Env env{{"FAKE_REPEAT", "40"}, {"FAKE_DELAY_MS", "50"}};
        Form1 form;
        form.show();
        form.queue()->runner().setProgramFolder(m_folder.path());
        form.useSource(m_folder.makeSource(QStringLiteral("single.avi"), 1000));
        form.cmdConvert_Click();
        QVERIFY(form.cmdPause()->isVisible());
        QTRY_VERIFY(form.run()->job().encoderProcessId() > 0);
        const qint64 encoder = form.run()->job().encoderProcessId();
        form.cmdPause_Click();
        QCOMPARE(form.ProBar()->Caption(), QStringLiteral("Paused"));
        QCOMPARE(form.cmdPause()->accessibleName(), QStringLiteral("Resume"));
        QTRY_COMPARE(ProcessTree::usage(pid_t(encoder)).state, 'T');
        QTest::qWait(300);
        QVERIFY(form.converting());
        // The lines the encoder wrote before it stopped leave the caption as it is.
        QCOMPARE(form.ProBar()->Caption(), QStringLiteral("Paused"));
        // Closing while paused asks as closing while converting does.
        recorder.answerAlways(MessageBoxes::No);
        form.close();
        QCOMPARE(recorder.shown, QStringList{"A conversion is running. Stop it and close?"});
        QVERIFY(form.isVisible());
        recorder.shown.clear();
        form.cmdPause_Click();
        QCOMPARE(form.cmdPause()->accessibleName(), QStringLiteral("Pause"));
        QTRY_VERIFY_WITH_TIMEOUT(!form.converting(), 20000);
        QCOMPARE(form.ProBar()->Caption(), QStringLiteral("Conversion Finished !"));
        QCOMPARE(recorder.shown, QStringList());
    }

    // Destinations that exist: one question for the batch; Keep all skips them, Replace all
    // converts them.
    void existingDestinations_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("done");
        QTest::newRow("replace all") << int(MessageBoxes::Yes) << 2;
        QTest::newRow("keep all") << int(MessageBoxes::No) << 0;
    }
    void existingDestinations()
    {
        QFETCH(int, answer);
        QFETCH(int, done);
        Recorder recorder;
        recorder.answerAlways(answer);
        Form1 form;
        form.show();
        form.queue()->runner().setProgramFolder(m_folder.path());
        form.useSources({m_folder.makeSource(QStringLiteral("x.avi"), 1000), m_folder.makeSource(QStringLiteral("y.avi"), 1000)});
        for (const QueueItem &item : form.queue()->list().items())
            QVERIFY(QFile(item.destination).open(QIODevice::WriteOnly));
        form.cmdConvert_Click();
        QTRY_VERIFY_WITH_TIMEOUT(!form.queue()->runner().running(), 30000);
        QCOMPARE(recorder.shown.size(), 1);
        QVERIFY2(recorder.shown.first().startsWith(QStringLiteral("2 destinations already exist: x.mp4, y.mp4.")),
                 qPrintable(recorder.shown.first()));
        QCOMPARE(form.queue()->runner().summary().done, done);
        QCOMPARE(form.queue()->list().count(QueueItem::State::Skipped), 2 - done);
    }

    // What a killed run left is offered once; Yes converts what was not finished, and only that.
    void recoveryOffered_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("continued") << int(MessageBoxes::Yes);
        QTest::newRow("declined") << int(MessageBoxes::No);
    }
    void recoveryOffered()
    {
        QFETCH(int, answer);
        QueueItem done;
        done.source = m_folder.makeSource(QStringLiteral("r1.avi"), 1000);
        done.preset = QStringLiteral("MP3 Sound (MP3)");
        done.destination = m_folder.file(QStringLiteral("r1.mp3"));
        done.state = QueueItem::State::Done;
        QueueItem converting = done;
        converting.source = m_folder.makeSource(QStringLiteral("r2.avi"), 1000);
        converting.destination = m_folder.file(QStringLiteral("r2.mp3"));
        converting.state = QueueItem::State::Converting;
        QVERIFY(RecoveryFile().save({done, converting}));

        Recorder recorder;
        recorder.answerAlways(answer);
        Form1 form;
        form.queue()->runner().setProgramFolder(m_folder.path());
        form.show();
        QTRY_COMPARE(recorder.shown, QStringList{"1 conversion was not finished: r2.avi. Continue it?"});
        if (answer == MessageBoxes::Yes) {
            QCOMPARE(form.queue()->list().size(), 1);
            QCOMPARE(form.queue()->list().at(0).source, converting.source);
            QTRY_VERIFY_WITH_TIMEOUT(!form.queue()->runner().running(), 30000);
            QCOMPARE(form.queue()->runner().summary().done, 1);
        }
        QVERIFY(!QFileInfo::exists(RecoveryFile().path()));
    }

    // The part a recovered queue's files were to be cut to shows on the Options page, so that a
    // later change there starts from it rather than replacing it unseen.
    void recoveredOptionsShown()
    {
        QueueItem left;
        left.source = m_folder.makeSource(QStringLiteral("ro.avi"), 1000);
        left.preset = QStringLiteral("MP3 Sound (MP3)");
        left.destination = m_folder.file(QStringLiteral("ro.mp3"));
        left.state = QueueItem::State::Converting;
        left.options.startMs = 1500;
        QVERIFY(RecoveryFile().save({left}));
        Recorder recorder;
        Form1 form;
        form.queue()->runner().setProgramFolder(m_folder.path());
        form.show();
        QTRY_COMPARE(recorder.shown.value(0), QStringLiteral("1 conversion was not finished: ro.avi. Continue it?"));
        QCOMPARE(form.optionsPanel()->options().startMs, 1500);
        QCOMPARE(form.queue()->options().startMs, 1500);
        QTRY_VERIFY_WITH_TIMEOUT(!form.queue()->runner().running(), 30000);
        form.queue()->closeNormally();
    }

    // Files left in the queue by a normal Close are not offered as unfinished at the next start;
    // a close the system asked for (logout, SIGTERM) keeps them for it.
    void closeAndRecovery_data()
    {
        QTest::addColumn<bool>("bySignal");
        QTest::newRow("the user's Close") << false;
        QTest::newRow("a stop signal") << true;
    }
    void closeAndRecovery()
    {
        QFETCH(bool, bySignal);
        Recorder recorder;
        {
            Form1 form;
            form.show();
            form.useSources({m_folder.file(QStringLiteral("n1.avi")), m_folder.file(QStringLiteral("n2.avi"))});
            QVERIFY(QFileInfo::exists(RecoveryFile().path()));
            bySignal ? form.stopAndClose() : void(form.close());
            QVERIFY(!form.isVisible());
        }
        QCOMPARE(RecoveryFile().load().items.size(), bySignal ? 2 : 0);
        QVERIFY(recorder.shown.isEmpty());
        QFile::remove(RecoveryFile().path());
    }

    // Many failures make one box of a few lines: the first names and how many more, which the
    // queue's rows list.
    void manyFailuresBounded()
    {
        Recorder recorder;
        Form1 form;
        form.show();
        form.queue()->runner().setProgramFolder(m_folder.path());
        QStringList sources;
        for (int i = 0; i < 12; ++i)
            sources << m_folder.file(QStringLiteral("gone%1.avi").arg(i));
        form.useSources(sources);
        form.cmdConvert_Click();
        QTRY_VERIFY_WITH_TIMEOUT(!form.queue()->runner().running(), 30000);
        QCOMPARE(recorder.shown.size(), 1);
        const QString box = recorder.shown.first();
        QVERIFY2(box.startsWith(QStringLiteral("0 converted, 12 failed: gone0.avi — ")), qPrintable(box));
        QVERIFY2(box.endsWith(QStringLiteral("; and 7 more")), qPrintable(box));
        QCOMPARE(box.count(QStringLiteral(" — ")), QueueRunner::SummaryFailures);
        QCOMPARE(form.queue()->list().count(QueueItem::State::Failed), 12);

        // Convert with every row ended offers the failed ones again, and Yes runs them.
        recorder.shown.clear();
        form.cmdConvert_Click();
        QVERIFY(!recorder.shown.isEmpty());
        QCOMPARE(recorder.shown.first(), QStringLiteral("12 conversions failed. Convert them again?"));
        QTRY_VERIFY_WITH_TIMEOUT(!form.queue()->runner().running(), 30000);
        QCOMPARE(recorder.shown.size(), 2); // the question, then the same failures summed up
    }

    // A destination with a direction mark is refused, in the fields as in a recovered queue, and
    // the box spells the mark out; the unfinished files the recovery question names likewise.
    void directionMarkRefused()
    {
        const QChar rlo(0x202E);
        const QString source = m_folder.makeSource(QStringLiteral("d1.avi"), 1000);
        const QString destination = m_folder.file(QStringLiteral("clip") + rlo + QStringLiteral("4pm.exe"));
        {
            Recorder recorder;
            Form1 form;
            form.show();
            form.queue()->runner().setProgramFolder(m_folder.path());
            form.useSources({source});
            form.txtDest()->setText(destination);
            form.cmdConvert_Click();
            QTRY_VERIFY_WITH_TIMEOUT(!form.queue()->runner().running(), 30000);
            QCOMPARE(recorder.shown.size(), 1);
            QVERIFY2(recorder.shown.first().contains(QStringLiteral("clip<U+202E>4pm.exe")), qPrintable(recorder.shown.first()));
            QVERIFY(!recorder.shown.first().contains(rlo));
            QVERIFY(!QFileInfo::exists(destination));
        }
        QueueItem item;
        item.source = source;
        item.preset = QStringLiteral("MP3 Sound (MP3)");
        item.destination = m_folder.file(QStringLiteral("d1") + rlo + QStringLiteral("3pm.mp3"));
        QVERIFY(RecoveryFile().save({item}));
        Recorder recorder;
        Form1 form;
        form.show();
        QTRY_COMPARE(recorder.shown.size(), 1);
        QVERIFY2(recorder.shown.first().contains(QStringLiteral("direction mark (U+202E)")), qPrintable(recorder.shown.first()));
        QVERIFY(!recorder.shown.first().contains(rlo));
        QVERIFY(form.queue()->isEmpty());
    }

    // A folder dropped on the window: its media files join the queue after one question, their
    // tree mirrored under the chosen folder or each beside its source; what is not media, hidden
    // or outside the tree is left out.
    // With several files, Save as's Browse chooses the folder every waiting file is converted into.
    // With a queue the Browse dialogs open in its files' folder, with no "3 files: …" for a name.
    void dialogsOpenInTheQueuesFolder_data()
    {
        QTest::addColumn<bool>("saveAs");
        QTest::newRow("source") << false;
        QTest::newRow("save as") << true;
    }
    void dialogsOpenInTheQueuesFolder()
    {
        QFETCH(bool, saveAs);
        QVERIFY(QDir(m_folder.path()).mkpath(QStringLiteral("clips")));
        QList<FileDialogs::Request> asked;
        const FileDialogs::Handler previous = FileDialogs::install([&](const FileDialogs::Request &request) {
            asked << request;
            return QString();
        });
        Recorder recorder;
        Form1 form;
        form.show();
        form.useSources({m_folder.makeSource(QStringLiteral("clips/q1.avi"), 10), m_folder.makeSource(QStringLiteral("clips/q2.avi"), 10),
                         m_folder.makeSource(QStringLiteral("clips/q3.avi"), 10)});
        saveAs ? form.cmdDest_Click() : form.cmdSource_Click();
        FileDialogs::install(previous);
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked.first().initialDir, m_folder.file(QStringLiteral("clips")));
        QCOMPARE(asked.first().defaultName, QString());
        QVERIFY(recorder.shown.isEmpty());
        form.queue()->list().replaceAll({});
    }

    void saveAsChoosesFolder()
    {
        QTemporaryDir dir;
        const QString out = dir.filePath(QStringLiteral("out"));
        Recorder recorder;
        const FileDialogs::Handler previous = FileDialogs::install([&](const FileDialogs::Request &request) {
            return request.folder ? out : QString();
        });
        Form1 form;
        form.show();
        form.formatBox()->setCurrentText(QStringLiteral("MP3 Sound (MP3)"));
        form.useSources({dir.filePath(QStringLiteral("a.avi")), dir.filePath(QStringLiteral("b/a.mkv"))});
        form.cmdDest_Click();
        FileDialogs::install(previous);
        QStringList destinations;
        for (const QueueItem &item : form.queue()->list().items())
            destinations << QDir(dir.path()).relativeFilePath(item.destination);
        QCOMPARE(destinations, (QStringList{"out/a.mp3", "out/a (2).mp3"}));
        QVERIFY(recorder.shown.isEmpty());
        form.queue()->list().replaceAll({});
    }

    void folderDropped_data()
    {
        QTest::addColumn<bool>("mirrored");
        QTest::newRow("into a folder") << true;
        QTest::newRow("beside the sources") << false;
    }
    void folderDropped()
    {
        QFETCH(bool, mirrored);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("in/sub/deeper")));
        const QString in = dir.filePath(QStringLiteral("in"));
        const QString out = dir.filePath(QStringLiteral("out"));
        for (const char *name : {"in/a.avi", "in/sub/deeper/b.mkv", "in/.hidden.avi"})
            QCOMPARE(makeClip(dir.filePath(QLatin1String(name)), Clip{.seconds = 1, .size = QStringLiteral("64x48")}), QString());
        QFile notes(dir.filePath(QStringLiteral("in/sub/notes.txt")));
        QVERIFY(notes.open(QIODevice::WriteOnly) && notes.write("not a video\n") > 0);
        notes.close();
        QCOMPARE(makeClip(dir.filePath(QStringLiteral("outside.avi")), Clip{.seconds = 1, .size = QStringLiteral("64x48")}), QString());
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("outside.avi")), dir.filePath(QStringLiteral("in/link.avi"))));

        Recorder recorder;
        recorder.answerAlways(mirrored ? MessageBoxes::Yes : MessageBoxes::No);
        QStringList asked;
        const FileDialogs::Handler previous = FileDialogs::install([&](const FileDialogs::Request &request) {
            asked << request.title;
            return request.folder ? out : QString();
        });
        Form1 form;
        form.show();
        form.formatBox()->setCurrentText(QStringLiteral("MP3 Sound (MP3)"));
        form.useSources({in});
        QTRY_COMPARE_WITH_TIMEOUT(form.queue()->list().size(), 2, 20000);
        FileDialogs::install(previous);
        QCOMPARE(recorder.shown.size(), 1);
        QVERIFY2(recorder.shown.first().startsWith(QStringLiteral("Where should the converted files of in go?")),
                 qPrintable(recorder.shown.first()));
        QCOMPARE(asked.size(), mirrored ? 1 : 0);
        QStringList pairs;
        for (const QueueItem &item : form.queue()->list().items())
            pairs << QDir(dir.path()).relativeFilePath(item.source) + QStringLiteral(" → ") + QDir(dir.path()).relativeFilePath(item.destination);
        const QStringList expected = mirrored ? QStringList{"in/a.avi → out/a.mp3", "in/sub/deeper/b.mkv → out/sub/deeper/b.mp3"}
                                              : QStringList{"in/a.avi → in/a.mp3", "in/sub/deeper/b.mkv → in/sub/deeper/b.mp3"};
        QCOMPARE(pairs, expected);
        QCOMPARE(QFileInfo(dir.filePath(QStringLiteral("out/sub/deeper"))).isDir(), mirrored);
        QVERIFY(form.queuePanel()->isVisible());
        // Nothing is left for the next start to offer.
        form.queue()->list().replaceAll({});
    }

    // "Watch this folder": a file that settles below the watched folder joins the queue and is
    // converted into its place below the output folder; the panel stays open and says what it
    // watches; a second window watching the same folders does not take the file again.
    void watchedFolderFillsTheQueue()
    {
        QTemporaryDir dir;
        const QString in = dir.filePath(QStringLiteral("in"));
        const QString out = dir.filePath(QStringLiteral("out"));
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("in/sub")));
        QCOMPARE(makeClip(dir.filePath(QStringLiteral("clip.avi")), Clip{.seconds = 1, .size = QStringLiteral("64x48")}), QString());
        Recorder recorder;
        for (int start = 0; start < 2; ++start) {
            Form1 form;
            form.show();
            form.queue()->runner().setProgramFolder(m_folder.path());
            form.formatBox()->setCurrentText(QStringLiteral("MP3 Sound (MP3)"));
            auto *button = form.queuePanel()->findChild<QPushButton *>();
            QVERIFY(button);
            WatchControl *watch = form.watchControl();
            const QStringList folders{in, out};
            qsizetype asked = 0;
            const FileDialogs::Handler previous = FileDialogs::install([&](const FileDialogs::Request &request) {
                return request.folder ? folders.value(asked++) : QString();
            });
            watch->setSettleMs(200);
            QVERIFY(watch->start());
            FileDialogs::install(previous);
            QCOMPARE(asked, 2);
            QVERIFY(form.queuePanel()->isVisible());
            QList<QPushButton *> buttons = form.queuePanel()->findChildren<QPushButton *>();
            const auto named = [&](const QString &name) {
                return std::any_of(buttons.begin(), buttons.end(), [&](QPushButton *b) { return b->accessibleName() == name; });
            };
            QVERIFY(named(QStringLiteral("Stop watching ") + in));
            if (start == 0) {
                QVERIFY(QFile::copy(dir.filePath(QStringLiteral("clip.avi")), dir.filePath(QStringLiteral("in/sub/x.avi"))));
                QTRY_COMPARE_WITH_TIMEOUT(form.queue()->list().size(), 1, 20000);
                QCOMPARE(form.queue()->list().at(0).destination, dir.filePath(QStringLiteral("out/sub/x.mp3")));
                QTRY_COMPARE_WITH_TIMEOUT(form.queue()->list().at(0).state, QueueItem::State::Done, 30000);
                QTRY_VERIFY(!form.queue()->runner().running());
            } else {
                QTest::qWait(1500);
                QCOMPARE(form.queue()->list().size(), 0);
            }
            watch->stop();
            QVERIFY(named(QStringLiteral("Watch this folder")));
            form.queue()->list().replaceAll({});
        }
        QCOMPARE(recorder.shown, QStringList());
    }

    void damagedQueueReportedOnce()
    {
        QVERIFY(QDir().mkpath(QFileInfo(RecoveryFile().path()).absolutePath()));
        QFile file(RecoveryFile().path());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("{\"format\":\"vidomar-queue\",\"version\":1,\"items\":[{\"source\":\"/v/a.avi\",\"preset\":\"nothing we know\"");
        file.close();
        for (int start = 0; start < 2; ++start) {
            Recorder recorder;
            Form1 form;
            form.show();
            QTest::qWait(50);
            QCOMPARE(recorder.shown.size(), start == 0 ? 1 : 0);
            if (start == 0)
                QVERIFY(recorder.shown.first().startsWith(QStringLiteral("The saved queue could not be used: it is not valid JSON")));
        }
    }

    // A size typed in the preview's "Fit into" is what the files added aim at, and those that
    // wait follow the preset and the target chosen after; a preset that takes none drops it.
    void targetOfItems_data()
    {
        QTest::addColumn<QString>("preset");
        QTest::addColumn<QString>("fitInto");
        QTest::addColumn<QString>("thenPreset");
        QTest::addColumn<QString>("targets"); // of the two items, added then after the preset
        QTest::newRow("today's preset") << "MP4 H.264 720p" << "25 MB" << "WebM VP9 1080p"
                                        << "size:25000000 size:25000000|size:25000000 size:25000000";
        QTest::newRow("a classic preset takes none") << "iPOD Video (320x240) MPEG4" << "25 MB" << "MP4 H.264 720p"
                                                     << " |size:25000000 size:25000000";
        QTest::newRow("then a classic preset") << "MP4 H.264 720p" << "700MB" << "MPEG (Best Quality)"
                                               << "size:700000000 size:700000000| ";
    }
    void targetOfItems()
    {
        QFETCH(QString, preset);
        QFETCH(QString, fitInto);
        QFETCH(QString, thenPreset);
        QFETCH(QString, targets);
        Recorder recorder;
        Form1 form;
        form.show();
        const auto targetsNow = [&form] {
            QStringList texts;
            for (const QueueItem &item : form.queue()->list().items())
                texts << item.target.text();
            return texts.join(u' ');
        };
        form.cboFormat()->setCurrentIndex(form.cboFormat()->findText(preset));
        form.previewPanel()->targetChoice()->sizeField()->setText(fitInto);
        form.useSources({m_folder.makeSource(QStringLiteral("t1.avi"), 1000), m_folder.makeSource(QStringLiteral("t2.avi"), 1000)});
        const QString added = targetsNow();
        form.cboFormat()->setCurrentIndex(form.cboFormat()->findText(thenPreset));
        QCOMPARE(added + QLatin1Char('|') + targetsNow(), targets);
        // An emptied field: the files convert with the preset as it is.
        form.previewPanel()->targetChoice()->sizeField()->clear();
        QCOMPARE(targetsNow(), QStringLiteral(" "));
        form.queue()->list().replaceAll({});
    }

private:
    QTemporaryDir m_home;
    FakeProgramFolder m_folder;
};

QTEST_MAIN(TestWindowQueue)
#include "tst_windowqueue.moc"
