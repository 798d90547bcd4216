// How the window is reached without a pointer and read by a screen reader.

#include "Desk.h"
#include "controls/button/TavloClick.h"
#include "mainwindow/Form1.h"
#include "mainwindow/WindowQueue.h"

#include <QAccessible>
#include <QAbstractItemView>
#include <QAccessibleTextInterface>
#include <QApplication>
#include <QComboBox>
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
        qputenv("XDG_STATE_HOME", m_settings.filePath(QStringLiteral("state")).toUtf8()); // the queue's file
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
    QTemporaryDir m_settings;
};

QTEST_MAIN(TestWindowAccess)
#include "tst_windowaccess.moc"
