// What assistive technology reads of the two controls through Qt's accessibility interfaces.
// The announcements need a running accessibility bridge, so the display tests check them.

#include "controls/button/TavloClick.h"
#include "controls/progressbar/TavloProBar.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QSignalSpy>
#include <QtTest>


class TestAccessibility : public QObject {
    Q_OBJECT
private slots:
    // The button: a push button named by the window's accessible name, else by its caption,
    // pressed by its press action while enabled.
    void button_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("accessibleName");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("accelerator");
        QTest::addColumn<int>("clicksByPress");
        QTest::newRow("named by its caption") << "&Convert" << "" << true << "Convert" << "Alt+C" << 1;
        QTest::newRow("a literal ampersand") << "Save && close" << "" << true << "Save & close" << "" << 1;
        QTest::newRow("named by the window") << "" << "Browse for the source video" << true
                                             << "Browse for the source video" << "" << 1;
        QTest::newRow("disabled: no press") << "Stop" << "" << false << "Stop" << "" << 0;
    }
    void button()
    {
        QFETCH(QString, caption);
        QFETCH(QString, accessibleName);
        QFETCH(bool, enabled);
        QFETCH(QString, name);
        QFETCH(QString, accelerator);
        QFETCH(int, clicksByPress);
        QWidget form;
        auto *button = new TavloClick(&form);
        button->setCaption(caption);
        button->setAccessibleName(accessibleName);
        button->setEnabled(enabled);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        if (enabled) {
            form.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&form));
            button->setFocus(Qt::TabFocusReason);
        }

        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(button);
        QVERIFY(face);
        QCOMPARE(face->role(), QAccessible::Button);
        QCOMPARE(face->text(QAccessible::Name), name);
        QCOMPARE(face->text(QAccessible::Accelerator), accelerator);
        const QAccessible::State state = face->state();
        QCOMPARE(bool(state.disabled), !enabled);
        QVERIFY(state.focusable);
        QCOMPARE(bool(state.focused), enabled);

        QAccessibleActionInterface *actions = face->actionInterface();
        QVERIFY(actions);
        QCOMPARE(actions->actionNames().contains(QAccessibleActionInterface::pressAction()), enabled);
        QSignalSpy clicks(button, &TavloClick::Click);
        actions->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(clicks.count(), clicksByPress);
    }

    // The bar: a progress bar with its value, range and caption.
    void progressBar_data()
    {
        QTest::addColumn<QVariant>("proValue");
        QTest::addColumn<int>("proMax");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("valueText");
        QTest::addColumn<QString>("description");
        QTest::newRow("40 of 100") << QVariant(40) << 100 << "Converting... 40 %" << 40.0 << "40%" << "Converting... 40 %";
        QTest::newRow("numeric text, out of 250") << QVariant(QStringLiteral("125")) << 250 << "" << 125.0 << "50%" << "";
        QTest::newRow("finished") << QVariant(100) << 100 << "Conversion Finished ! 100 %" << 100.0 << "100%"
                                  << "Conversion Finished ! 100 %";
    }
    void progressBar()
    {
        QFETCH(QVariant, proValue);
        QFETCH(int, proMax);
        QFETCH(QString, caption);
        QFETCH(double, value);
        QFETCH(QString, valueText);
        QFETCH(QString, description);
        TavloProBar bar;
        bar.setObjectName(QStringLiteral("ProgressBar"));
        bar.setAccessibleName(QStringLiteral("Conversion progress"));
        bar.setProMax(proMax);
        bar.setProValue(proValue);
        bar.setCaption(caption);

        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(&bar);
        QVERIFY(face);
        QCOMPARE(face->role(), QAccessible::ProgressBar);
        QCOMPARE(face->text(QAccessible::Name), QStringLiteral("Conversion progress"));
        QCOMPARE(face->text(QAccessible::Description), description);
        QCOMPARE(face->text(QAccessible::Value), valueText);
        QAccessibleValueInterface *values = face->valueInterface();
        QVERIFY(values);
        QCOMPARE(values->currentValue().toDouble(), value);
        QCOMPARE(values->minimumValue().toDouble(), 0.0);
        QCOMPARE(values->maximumValue().toDouble(), double(proMax));
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
