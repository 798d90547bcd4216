// How the window is reached without a pointer and read by a screen reader: the form, the tabs of
// the panel area below it and the page shown there.

#include "Desk.h"
#include "controls/button/TavloClick.h"
#include "mainwindow/Form1.h"
#include "mainwindow/OptionsPanel.h"
#include "mainwindow/PanelArea.h"
#include "mainwindow/QueuePanel.h"
#include "mainwindow/WindowQueue.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleTextInterface>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListView>
#include <QShortcut>
#include <QSettings>
#include <QTabBar>
#include <QTemporaryDir>
#include <QtTest>

class TestWindowAccess : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(m_settings.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
        qputenv("VIDOMAR_UPDATE_HOST", "127.0.0.1:9");
        // The queue's recovery file, kept apart from the user's.
        qputenv("XDG_STATE_HOME", m_settings.filePath(QStringLiteral("state")).toUtf8());
    }

    // The keyboard: Tab runs top to bottom past the bar and the logo, the access keys reach the
    // fields and Convert, Return in Save as converts.
    void keyboard_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QKeyCombination>("keys");
        QTest::addColumn<QString>("focus"); // where the focus is after the keys
        QTest::addColumn<bool>("converts");
        const QStringList order{"txtSource", "cmdSource", "cboFormat", "txtDest", "cmdDest", "cmdConvert", "cmdMin",
                                "cmdClose", "txtSource"};
        for (qsizetype i = 0; i + 1 < order.size(); ++i)
            QTest::addRow("Tab from %s", qPrintable(order.at(i)))
                << order.at(i) << QKeyCombination(Qt::Key_Tab) << order.at(i + 1) << false;
        QTest::newRow("Shift+Tab from the source") << "txtSource" << (Qt::SHIFT | Qt::Key_Backtab) << "cmdClose" << false;
        QTest::newRow("Alt+S") << "cmdClose" << (Qt::ALT | Qt::Key_S) << "txtSource" << false;
        QTest::newRow("Alt+T") << "txtSource" << (Qt::ALT | Qt::Key_T) << "cboFormat" << false;
        QTest::newRow("Alt+A") << "txtSource" << (Qt::ALT | Qt::Key_A) << "txtDest" << false;
        QTest::newRow("Alt+C") << "txtSource" << (Qt::ALT | Qt::Key_C) << "txtSource" << true;
        QTest::newRow("Return in Save as") << "txtDest" << QKeyCombination(Qt::Key_Return) << "txtDest" << true;
        QTest::newRow("Space on Convert") << "cmdConvert" << QKeyCombination(Qt::Key_Space) << "cmdConvert" << true;
    }
    void keyboard()
    {
        QFETCH(QString, from);
        QFETCH(QKeyCombination, keys);
        QFETCH(QString, focus);
        QFETCH(bool, converts);
        Desk desk;
        Form1 form;
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QCOMPARE(QApplication::focusWidget(), form.txtSource());
        auto *start = form.findChild<QWidget *>(from);
        start->setFocus(Qt::TabFocusReason);
        QTest::keyClick(QApplication::focusWidget(), keys.key(), keys.keyboardModifiers());
        QVERIFY(QApplication::focusWidget());
        QCOMPARE(QApplication::focusWidget()->objectName(), focus);
        QCOMPARE(desk.boxes, converts ? QStringList{"Select a video file to convert|64|Select File"} : QStringList{});
    }

    // With a source in hand the panel area is below the form: Tab runs from the form to the tabs
    // and on into the page shown; the tabs' access keys choose a page whose tab is there; a page
    // not shown answers none of its access keys.
    void panelKeyboard_data()
    {
        QTest::addColumn<int>("files"); // one: the file in the fields; two: a queue
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QKeyCombination>("keys");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QString>("shown"); // the page shown after the keys
        const QKeyCombination tab(Qt::Key_Tab);
        QTest::newRow("Tab from Convert reaches the tabs") << 1 << "optionsPanel" << "cmdConvert" << tab << "qt_tabwidget_tabbar" << "optionsPanel";
        QTest::newRow("Tab from the tabs enters the page") << 1 << "optionsPanel" << "qt_tabwidget_tabbar" << tab << "sound" << "optionsPanel";
        QTest::newRow("Tab from the page's end goes back to the form") << 1 << "optionsPanel" << "keepDate" << tab << "cmdMin" << "optionsPanel";
        QTest::newRow("Tab from the tabs enters the queue") << 2 << "queuePanel" << "qt_tabwidget_tabbar" << tab << "" << "queuePanel";
        QTest::newRow("Alt+O shows the options") << 2 << "queuePanel" << "txtDest" << (Qt::ALT | Qt::Key_O) << "txtDest" << "optionsPanel";
        QTest::newRow("Alt+Q shows the queue") << 2 << "optionsPanel" << "txtDest" << (Qt::ALT | Qt::Key_Q) << "txtDest" << "queuePanel";
        QTest::newRow("Alt+Q without a queue") << 1 << "optionsPanel" << "txtDest" << (Qt::ALT | Qt::Key_Q) << "txtDest" << "optionsPanel";
        QTest::newRow("Alt+K reaches the sound tracks") << 2 << "optionsPanel" << "txtDest" << (Qt::ALT | Qt::Key_K) << "sound" << "optionsPanel";
        QTest::newRow("the hidden options' Alt+K") << 2 << "queuePanel" << "txtDest" << (Qt::ALT | Qt::Key_K) << "txtDest" << "queuePanel";
        QTest::newRow("the hidden queue's Alt+R (Remove)") << 2 << "optionsPanel" << "txtDest" << (Qt::ALT | Qt::Key_R) << "txtDest" << "optionsPanel";
        QTest::newRow("the hidden queue's Alt+N (at once)") << 2 << "optionsPanel" << "txtDest" << (Qt::ALT | Qt::Key_N) << "txtDest" << "optionsPanel";
        QTest::newRow("Alt+V shows the preview") << 1 << "optionsPanel" << "txtDest" << (Qt::ALT | Qt::Key_V) << "txtDest" << "previewPanel";
        // The files here are no videos: there is no time to choose in them.
        QTest::newRow("Tab from the tabs enters the preview") << 1 << "previewPanel" << "qt_tabwidget_tabbar" << tab << "sideBySide" << "previewPanel";
        QTest::newRow("Alt+D reaches Side by side") << 2 << "previewPanel" << "txtDest" << (Qt::ALT | Qt::Key_D) << "sideBySide" << "previewPanel";
        QTest::newRow("Alt+U: no Quality for a classic preset") << 1 << "previewPanel" << "txtDest" << (Qt::ALT | Qt::Key_U) << "txtDest" << "previewPanel";
        QTest::newRow("the hidden preview's Alt+W (Switch)") << 1 << "optionsPanel" << "txtDest" << (Qt::ALT | Qt::Key_W) << "txtDest" << "optionsPanel";
    }
    void panelKeyboard()
    {
        QFETCH(int, files);
        QFETCH(QString, page);
        QFETCH(QString, from);
        QFETCH(QKeyCombination, keys);
        QFETCH(QString, focus);
        QFETCH(QString, shown);
        Desk desk;
        Form1 form;
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QStringList sources;
        for (int i = 0; i < files; ++i)
            sources << makeFile(QStringLiteral("k%1.avi").arg(i));
        form.useSources(sources);
        QVERIFY(form.panelArea()->isVisible());
        form.panelArea()->showPage(form.findChild<QWidget *>(page));
        // A chosen row that the hidden Remove would take away.
        QListView *list = form.queuePanel()->itemList();
        list->setCurrentIndex(list->model()->index(0, 0));
        form.findChild<QWidget *>(from)->setFocus(Qt::TabFocusReason);
        QTest::keyClick(QApplication::focusWidget(), keys.key(), keys.keyboardModifiers());
        QVERIFY(QApplication::focusWidget());
        if (focus.isEmpty())
            QVERIFY(form.queuePanel()->isAncestorOf(QApplication::focusWidget()));
        else
            QCOMPARE(QApplication::focusWidget()->objectName(), focus);
        QCOMPARE(form.panelArea()->currentPage()->objectName(), shown);
        QCOMPARE(form.queue()->list().size(), files > 1 ? files : 0);
        QCOMPARE(desk.boxes, QStringList());
        form.queue()->list().replaceAll({});
    }

    // Every access key the window answers to at one time belongs to one control: the form's, the
    // tabs' and those of the page shown.
    void accessKeysOnce_data()
    {
        QTest::addColumn<int>("files");
        QTest::addColumn<QString>("page");
        QTest::newRow("a file and its options") << 1 << "optionsPanel";
        QTest::newRow("a queue") << 2 << "queuePanel";
        QTest::newRow("a queue's options") << 2 << "optionsPanel";
        QTest::newRow("a file's preview") << 1 << "previewPanel";
        QTest::newRow("a queue's preview") << 2 << "previewPanel";
    }
    void accessKeysOnce()
    {
        QFETCH(int, files);
        QFETCH(QString, page);
        Desk desk;
        Form1 form;
        form.show();
        QStringList sources;
        for (int i = 0; i < files; ++i)
            sources << makeFile(QStringLiteral("m%1.avi").arg(i));
        form.useSources(sources);
        form.panelArea()->showPage(form.findChild<QWidget *>(page));
        QMap<QString, QStringList> owners; // key, what answers to it
        const auto add = [&](const QKeySequence &key, const QString &owner) {
            if (!key.isEmpty())
                owners[key.toString()] << owner;
        };
        for (QWidget *widget : form.findChildren<QWidget *>()) {
            if (!widget->isVisibleTo(&form))
                continue;
            if (auto *button = qobject_cast<QAbstractButton *>(widget))
                add(QKeySequence::mnemonic(button->text()), button->text());
            if (auto *label = qobject_cast<QLabel *>(widget); label && label->buddy())
                add(QKeySequence::mnemonic(label->text()), label->text());
        }
        QTabBar *tabs = form.findChild<QTabBar *>();
        for (int i = 0; i < tabs->count(); ++i) {
            if (tabs->isTabVisible(i))
                add(QKeySequence::mnemonic(tabs->tabText(i)), tabs->tabText(i));
        }
        for (QShortcut *shortcut : form.findChildren<QShortcut *>()) {
            auto *parent = qobject_cast<QWidget *>(shortcut->parent());
            if (shortcut->isEnabled() && parent && (parent == &form || parent->isVisibleTo(&form)))
                for (const QKeySequence &key : shortcut->keys())
                    add(key, QStringLiteral("a shortcut"));
        }
        QCOMPARE(owners.value(QStringLiteral("Alt+O")), QStringList{"&Options"});
        for (auto it = owners.begin(); it != owners.end(); ++it)
            QVERIFY2(it.value().size() == 1, qPrintable(it.key() + QLatin1String(": ") + it.value().join(QLatin1String(", "))));
        form.queue()->list().replaceAll({});
    }

    // Tab follows the drawing: the title strip, the form's rows (Pause between the Browse
    // buttons), Convert, then the panel area's tab and page, and round again; Shift+Tab back.
    void tabFollowsTheDrawing_data()
    {
        QTest::addColumn<bool>("queue");
        QTest::addColumn<QStringList>("stops"); // from Minimise, round to it again
        const QStringList form{"cmdMin", "cmdClose", "txtSource", "cmdSource", "cboFormat", "cmdPause", "txtDest", "cmdDest",
                               "cmdConvert"};
        QTest::newRow("one file") << false << form;
        // The list chooses its first row as it takes the focus: Up and Clear finished have nothing to do.
        QTest::newRow("a queue") << true << form + QStringList{"Queue tabs", "Conversions in the queue", "Remove from the queue",
                                                               "Move down", "At once", "Watch this folder"};
    }
    void tabFollowsTheDrawing()
    {
        QFETCH(bool, queue);
        QFETCH(QStringList, stops);
        Desk desk;
        Form1 form;
        QTemporaryDir folder;
        if (queue) {
            QStringList sources;
            for (const char *name : {"a.avi", "b.avi"}) {
                QFile file(folder.filePath(QLatin1String(name)));
                QVERIFY(file.open(QIODevice::WriteOnly) && file.write("v") == 1);
                sources << file.fileName();
            }
            form.useSources(sources);
        }
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.cmdPause()->show(); // as while something converts
        const auto stop = [] {
            QWidget *focus = QApplication::focusWidget();
            if (!focus)
                return QString();
            if (qobject_cast<QTabBar *>(focus))
                return QStringLiteral("Queue tabs");
            return focus->objectName().isEmpty() ? focus->accessibleName() : focus->objectName();
        };
        form.cmdMin()->setFocus(Qt::TabFocusReason);
        QStringList heard{stop()};
        for (qsizetype i = 0; i < stops.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            heard << stop();
        }
        QCOMPARE(heard.join(u'|'), (stops + QStringList{stops.first()}).join(u'|'));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(stop(), stops.last());
        form.queue()->closeNormally(); // nothing offered to the next window
    }

    // A list box and a number box are read with their values, and a closed list leaves nothing
    // behind that a screen reader would read as shown.
    void valuesRead_data()
    {
        QTest::addColumn<QString>("control"); // a name or an accessible name
        QTest::addColumn<QString>("value");
        QTest::newRow("format box") << "cboFormat" << QString::fromLatin1(Form1::DefaultPreset);
        QTest::newRow("at once") << "At once" << "1";
        QTest::newRow("sound tracks") << "sound" << "The preset's choice";
        QTest::newRow("crop") << "crop" << "The preset's choice";
    }
    void valuesRead()
    {
        QFETCH(QString, control);
        QFETCH(QString, value);
        Desk desk;
        Form1 form;
        form.show();
        QWidget *widget = form.findChild<QWidget *>(control);
        for (QWidget *each : form.findChildren<QWidget *>())
            widget = widget ? widget : (each->accessibleName() == control ? each : nullptr);
        QVERIFY(widget);
        // The Options page shows with a file in hand.
        if (form.optionsPanel()->isAncestorOf(widget))
            form.useSource(makeFile(QStringLiteral("v.avi")));
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(widget);
        QVERIFY(accessible && accessible->textInterface());
        QCOMPARE(accessible->textInterface()->text(0, accessible->textInterface()->characterCount()), value);
        if (auto *box = qobject_cast<QComboBox *>(widget)) {
            box->showPopup();
            QTest::keyClick(box->view(), Qt::Key_Down);
            QTest::keyClick(box->view(), Qt::Key_Return);
            QVERIFY(!box->view()->isVisible());
            QCOMPARE(accessible->textInterface()->text(0, -1), box->currentText());
            QCOMPARE(accessible->childCount(), 0);
            QCOMPARE(box->view()->currentIndex(), QModelIndex());
        }
    }

    // What a screen reader reads: each control's role and name; the tooltips say the names too.
    void accessibleNames_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QAccessible::Role>("role");
        QTest::addColumn<QString>("name");
        QTest::newRow("txtSource") << "txtSource" << QAccessible::EditableText << "Source video";
        QTest::newRow("cmdSource") << "cmdSource" << QAccessible::Button << "Browse for the source video";
        QTest::newRow("cboFormat") << "cboFormat" << QAccessible::ComboBox << "Convert to";
        QTest::newRow("txtDest") << "txtDest" << QAccessible::EditableText << "Save as";
        QTest::newRow("cmdDest") << "cmdDest" << QAccessible::Button << "Choose where to save";
        QTest::newRow("cmdConvert") << "cmdConvert" << QAccessible::Button << "Convert";
        QTest::newRow("cmdMin") << "cmdMin" << QAccessible::Button << "Minimise";
        QTest::newRow("cmdClose") << "cmdClose" << QAccessible::Button << "Close";
        QTest::newRow("cmdLogo") << "cmdLogo" << QAccessible::Button << "Zorvik home page";
        QTest::newRow("ProBar") << "ProBar" << QAccessible::ProgressBar << "Conversion progress";
    }
    void accessibleNames()
    {
        QFETCH(QString, control);
        QFETCH(QAccessible::Role, role);
        QFETCH(QString, name);
        Desk desk;
        Form1 form;
        form.show();
        auto *widget = form.findChild<QWidget *>(control);
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(widget);
        QVERIFY(accessible);
        QCOMPARE(accessible->role(), role);
        // A field is read by its label, as screen readers on this platform take it.
        const auto labels = accessible->relations(QAccessible::Label);
        QCOMPARE(labels.isEmpty() ? accessible->text(QAccessible::Name) : labels.first().first->text(QAccessible::Name),
                 name);
        if (control != QLatin1String("ProBar"))
            QVERIFY2(widget->toolTip().startsWith(name), qPrintable(widget->toolTip()));
    }

private:
    QString makeFile(const QString &name)
    {
        QFile file(m_settings.filePath(name));
        if (file.open(QIODevice::WriteOnly))
            file.write(QByteArray(1000, 'v'));
        return file.fileName();
    }

    QTemporaryDir m_settings;
};

QTEST_MAIN(TestWindowAccess)
#include "tst_windowaccess.moc"
