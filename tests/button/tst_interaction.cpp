// Mouse, keys and the access key on a shown button: the events raised, the face chosen, the
// split arrow, Shift-drag and the Ctrl+Alt quick save.

#include "InteractionTestSupport.h"

#include <QDir>
#include <QSignalSpy>
#include <QtTest>

using namespace InteractionTest;

class TestButtonInteraction : public QObject {
    Q_OBJECT
private slots:
    void pressAndRelease_data()
    {
        QTest::addColumn<Qt::MouseButton>("which");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<QStringList>("onPress");
        QTest::addColumn<int>("faceAfterPress");
        QTest::addColumn<QStringList>("onRelease");
        const Qt::KeyboardModifiers none;
        QTest::newRow("left") << Qt::LeftButton << none << QStringList{"MouseDown 1 0 10 12"} << 2
                              << QStringList{"MouseUp 1 0 10 12", "Click"};
        QTest::newRow("right: never the Down face") << Qt::RightButton << none
                                                    << QStringList{"MouseDown 2 0 10 12"} << 0
                                                    << QStringList{"MouseUp 2 0 10 12", "RightClick"};
        QTest::newRow("middle: no click") << Qt::MiddleButton << none << QStringList{"MouseDown 4 0 10 12"}
                                          << 0 << QStringList{"MouseUp 4 0 10 12"};
        QTest::newRow("left with Ctrl") << Qt::LeftButton << Qt::KeyboardModifiers(Qt::ControlModifier)
                                        << QStringList{"MouseDown 1 2 10 12"} << 2
                                        << QStringList{"MouseUp 1 2 10 12", "Click"};
        QTest::newRow("right with Shift and Alt")
            << Qt::RightButton << Qt::KeyboardModifiers(Qt::ShiftModifier | Qt::AltModifier)
            << QStringList{"MouseDown 2 5 10 12"} << 0 << QStringList{"MouseUp 2 5 10 12", "RightClick"};
    }
    void pressAndRelease()
    {
        QFETCH(Qt::MouseButton, which);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(QStringList, onPress);
        QFETCH(int, faceAfterPress);
        QFETCH(QStringList, onRelease);
        Host host;
        EventLog log(*host.button);
        QTest::mousePress(host.button, which, modifiers, QPoint(10, 12));
        QCOMPARE(log.take(), onPress);
        QCOMPARE(host.button->runtime().LastState, faceAfterPress);
        QTest::mouseRelease(host.button, which, modifiers, QPoint(10, 12));
        QCOMPARE(log.take(), onRelease);
        QCOMPARE(host.button->runtime().LastState, 1);
    }

    void releaseAwayFromTheButtonIsNoClick()
    {
        Host host;
        EventLog log(*host.button);
        QTest::mousePress(host.button, Qt::LeftButton, {}, QPoint(10, 12));
        QTest::mouseRelease(host.button, Qt::LeftButton, {}, QPoint(150, 12));
        QCOMPARE(log.take(), (QStringList{"MouseDown 1 0 10 12", "MouseUp 1 0 150 12"}));
    }

    // Pressed on the button, dragged off (the watch sees the pointer go) and released: Over only
    // where the release is over the button's shape.
    void releaseShowsOverOnlyOverTheButton_data()
    {
        QTest::addColumn<Qt::MouseButton>("which");
        QTest::addColumn<int>("shape");
        QTest::addColumn<QPointF>("release");
        QTest::addColumn<int>("face");
        QTest::newRow("over the button") << Qt::LeftButton << 0 << QPointF(10, 12) << 1;
        QTest::newRow("beside the button") << Qt::LeftButton << 0 << QPointF(150, 12) << 0;
        QTest::newRow("right button, beside") << Qt::RightButton << 0 << QPointF(-5, 12) << 0;
        QTest::newRow("a rounded corner cut off") << Qt::LeftButton << 2 << QPointF(1, 1) << 0;
        QTest::newRow("inside the rounded shape") << Qt::LeftButton << 2 << QPointF(40, 16) << 1;
    }
    void releaseShowsOverOnlyOverTheButton()
    {
        QFETCH(Qt::MouseButton, which);
        QFETCH(int, shape);
        QFETCH(QPointF, release);
        QFETCH(int, face);
        Host host;
        TavloClick &button = *host.button;
        button.setButtonShape(shape);
        host.send(QEvent::MouseButtonPress, QPointF(40, 16), which);
        if (face == 0) {
            host.pointer.setUnder(nullptr);
            QTest::mouseMove(&button, release.toPoint());
            QTRY_VERIFY(!button.OverTimer().isActive());
        }
        host.send(QEvent::MouseButtonRelease, release, which);
        QCOMPARE(button.runtime().LastState, face);
        QTest::qWait(20);
        QCOMPARE(button.runtime().LastState, face);
    }

    void splitArrow_data()
    {
        QTest::addColumn<bool>("arrowShow");
        QTest::addColumn<bool>("arrowSplit");
        QTest::addColumn<int>("arrowPosition");
        QTest::addColumn<float>("split");
        QTest::addColumn<QPointF>("offset"); // from the split line (x for 0 and 1, y for 2 and 3)
        QTest::addColumn<bool>("onArrow");
        // An 80 × 33 button with ArrowSize 5: the painter puts the split line at W - 20, 20,
        // H - 15 and 15 for the positions 0 to 3.
        QTest::newRow("right, X 60 on the line") << true << true << 0 << 60.0f << QPointF(0, 0) << false;
        QTest::newRow("right, X 60.5") << true << true << 0 << 60.0f << QPointF(0.5, 0) << true;
        QTest::newRow("right, before") << true << true << 0 << 60.0f << QPointF(-3, 0) << false;
        QTest::newRow("left, on the line") << true << true << 1 << 20.0f << QPointF(0, 0) << false;
        QTest::newRow("left, half a pixel before") << true << true << 1 << 20.0f << QPointF(-0.5, 0) << true;
        QTest::newRow("bottom, on the line") << true << true << 2 << 18.0f << QPointF(0, 0) << false;
        QTest::newRow("bottom, below") << true << true << 2 << 18.0f << QPointF(0, 0.5) << true;
        QTest::newRow("top, above") << true << true << 3 << 15.0f << QPointF(0, -0.5) << true;
        QTest::newRow("top, below") << true << true << 3 << 15.0f << QPointF(0, 2) << false;
        QTest::newRow("centre: no arrow part") << true << true << 4 << 0.0f << QPointF(5, 5) << false;
        QTest::newRow("not split") << true << false << 0 << 0.0f << QPointF(5, 0) << false;
        QTest::newRow("arrow hidden") << false << true << 0 << 0.0f << QPointF(5, 0) << false;
    }
    void splitArrow()
    {
        QFETCH(bool, arrowShow);
        QFETCH(bool, arrowSplit);
        QFETCH(int, arrowPosition);
        QFETCH(float, split);
        QFETCH(QPointF, offset);
        QFETCH(bool, onArrow);
        SoundRecorder sounds;
        Host host;
        TavloClick &button = *host.button;
        button.setArrowPosition(arrowPosition);
        button.setArrowSplit(arrowSplit);
        button.setArrowShow(arrowShow);
        button.setSound(true);
        button.setSoundClick(1);
        QCOMPARE(button.runtime().ArrowSplitPos, split);
        const bool vertical = arrowPosition >= 2 && arrowPosition <= 3;
        const QPointF at = vertical ? QPointF(10, split) + offset : QPointF(split, 12) + offset;
        EventLog log(button);
        // Only the press decides; the release is in the middle of the button.
        host.send(QEvent::MouseButtonPress, at, Qt::LeftButton);
        host.send(QEvent::MouseButtonRelease, QPointF(40, 16), Qt::LeftButton);
        const QString down = QStringLiteral("MouseDown 1 0 %1 %2").arg(at.x()).arg(at.y());
        const QString up = QStringLiteral("MouseUp 1 0 40 16");
        if (onArrow)
            QCOMPARE(log.take(), (QStringList{"ArrowMouseDown", up}));
        else
            QCOMPARE(log.take(), (QStringList{down, up, "Click"}));
        QCOMPARE(button.runtime().ArrowPressed, onArrow);
        // The click sound plays either way.
        QCOMPARE(sounds.take(), QStringList{sounds.file("Click")});
    }

    void arrowPressSilencesTheAccessKeyAndDoubleClickToo()
    {
        Host host;
        TavloClick &button = *host.button;
        button.setCaption(QStringLiteral("&Go"));
        button.setArrowShow(true);
        button.setDoubleClickEnable(true);
        activate(host);
        const QPointF arrow(button.runtime().ArrowSplitPos + 1, 12);
        EventLog log(button);
        host.send(QEvent::MouseButtonPress, arrow, Qt::LeftButton);
        host.send(QEvent::MouseButtonRelease, arrow, Qt::LeftButton);
        QTest::mouseDClick(&button, Qt::LeftButton, {}, arrow.toPoint());
        QTest::keyClick(&host.form, Qt::Key_G, Qt::AltModifier);
        QCOMPARE(log.take(), (QStringList{"ArrowMouseDown", QStringLiteral("MouseUp 1 0 %1 12").arg(arrow.x())}));
    }

    void accessKey()
    {
        Host host;
        TavloClick &button = *host.button;
        button.setCaption(QStringLiteral("&Go"));
        activate(host);
        EventLog log(button);
        QTest::keyClick(&host.form, Qt::Key_G, Qt::AltModifier);
        QCOMPARE(log.take(), QStringList{"Click"});
        QCOMPARE(button.runtime().LastState, 0); // an access key paints nothing

        // After a right press the access key is a right click, until the next left press.
        QTest::mouseClick(&button, Qt::RightButton);
        log.take();
        QTest::keyClick(&host.form, Qt::Key_G, Qt::AltModifier);
        QCOMPARE(log.take(), QStringList{"RightClick"});
        QTest::mouseClick(&button, Qt::LeftButton);
        log.take();
        QTest::keyClick(&host.form, Qt::Key_G, Qt::AltModifier);
        QCOMPARE(log.take(), QStringList{"Click"});

        // A new caption brings its own access key.
        button.setCaption(QStringLiteral("&Run"));
        QTest::qWait(20);
        QTest::keyClick(&host.form, Qt::Key_G, Qt::AltModifier);
        QCOMPARE(log.take(), QStringList{});
        QTest::keyClick(&host.form, Qt::Key_R, Qt::AltModifier);
        QCOMPARE(log.take(), QStringList{"Click"});
    }

    void doubleClick_data()
    {
        QTest::addColumn<Qt::MouseButton>("which");
        QTest::addColumn<bool>("doubleClickEnable");
        QTest::addColumn<QStringList>("clicks");
        QTest::newRow("left, as two clicks") << Qt::LeftButton << false << QStringList{"Click", "Click"};
        QTest::newRow("left, enabled") << Qt::LeftButton << true << QStringList{"Click", "DblClick"};
        QTest::newRow("right, as two clicks") << Qt::RightButton << false << QStringList{"RightClick", "RightClick"};
        QTest::newRow("right, enabled") << Qt::RightButton << true << QStringList{"RightClick", "RightDblClick"};
    }
    void doubleClick()
    {
        QFETCH(Qt::MouseButton, which);
        QFETCH(bool, doubleClickEnable);
        QFETCH(QStringList, clicks);
        SoundRecorder sounds;
        Host host;
        TavloClick &button = *host.button;
        button.setDoubleClickEnable(doubleClickEnable);
        button.setSound(true);
        button.setSoundClick(2);
        EventLog log(button);
        const int mask = which == Qt::LeftButton ? 1 : 2;
        // The platform's order: press, release, double click in place of the second press, release.
        QTest::mouseClick(&button, which, {}, QPoint(10, 12));
        QTest::mouseDClick(&button, which, {}, QPoint(10, 12));
        QCOMPARE(button.runtime().LastState, 2); // a double click paints Down, with either button
        QTest::mouseRelease(&button, which, {}, QPoint(10, 12));
        const QString down = QStringLiteral("MouseDown %1 0 10 12").arg(mask);
        const QString up = QStringLiteral("MouseUp %1 0 10 12").arg(mask);
        QCOMPARE(log.take(), (QStringList{down, up, clicks.at(0), clicks.at(1), up}));
        QCOMPARE(button.runtime().LastState, 1);
        QCOMPARE(sounds.take(), QStringList(2, sounds.file("Click")));
    }

    void ctrlAltRightPressSavesTheSettings_data()
    {
        QTest::addColumn<Qt::MouseButton>("which");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<int>("shift");
        QTest::addColumn<bool>("saved");
        QTest::newRow("right, Ctrl+Alt") << Qt::RightButton
                                         << Qt::KeyboardModifiers(Qt::ControlModifier | Qt::AltModifier) << 6 << true;
        QTest::newRow("right, Ctrl+Alt+Shift")
            << Qt::RightButton << Qt::KeyboardModifiers(Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier)
            << 7 << false;
        QTest::newRow("left, Ctrl+Alt") << Qt::LeftButton
                                        << Qt::KeyboardModifiers(Qt::ControlModifier | Qt::AltModifier) << 6 << false;
        QTest::newRow("right, Ctrl") << Qt::RightButton << Qt::KeyboardModifiers(Qt::ControlModifier) << 2 << false;
    }
    void ctrlAltRightPressSavesTheSettings()
    {
        QFETCH(Qt::MouseButton, which);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(int, shift);
        QFETCH(bool, saved);
        QTemporaryDir folder;
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(folder.path()));
        Host host;
        TavloClick &button = *host.button;
        button.setCaption(QStringLiteral("Go"));
        button.setBorderSize(7);
        EventLog log(button);
        QTest::mousePress(&button, which, modifiers, QPoint(10, 12));
        const QByteArray written = fileBytes(folder.filePath(QStringLiteral("cmdTest-Go.scs")));
        QDir::setCurrent(previous);
        QCOMPARE(log.take(), QStringList{QStringLiteral("MouseDown %1 %2 10 12").arg(which == Qt::LeftButton ? 1 : 2).arg(shift)});
        QCOMPARE(written, saved ? button.SaveButtonSettings(QString()).toUtf8() + "\r\n" : QByteArray());
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files).size(), saved ? 1 : 0);
    }

    void shiftDrag_data()
    {
        QTest::addColumn<bool>("userDrag");
        QTest::addColumn<Qt::MouseButton>("which");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<QPoint>("moved");
        const Qt::KeyboardModifiers shift(Qt::ShiftModifier);
        QTest::newRow("Shift") << true << Qt::LeftButton << shift << QPoint(20, 15);
        QTest::newRow("Shift, right button") << true << Qt::RightButton << shift << QPoint(20, 15);
        QTest::newRow("Shift+Ctrl") << true << Qt::LeftButton
                                    << Qt::KeyboardModifiers(Qt::ShiftModifier | Qt::ControlModifier) << QPoint();
        QTest::newRow("no Shift") << true << Qt::LeftButton << Qt::KeyboardModifiers() << QPoint();
        QTest::newRow("UserDrag off") << false << Qt::LeftButton << shift << QPoint();
    }
    void shiftDrag()
    {
        QFETCH(bool, userDrag);
        QFETCH(Qt::MouseButton, which);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(QPoint, moved);
        Host host;
        TavloClick &button = *host.button;
        button.setUserDrag(userDrag);
        const QPoint start = button.pos();
        QTest::mousePress(&button, which, modifiers, QPoint(10, 10));
        QCOMPARE(button.runtime().Dragging, !moved.isNull());
        QTest::mouseMove(&button, QPoint(30, 25));
        QCOMPARE(button.pos(), start + moved);
        // The pointer is on the press point again; a release ends the drag.
        QTest::mouseRelease(&button, which, modifiers, QPoint(10, 10));
        QVERIFY(!button.runtime().Dragging);
        QTest::mousePress(&button, which, {}, QPoint(10, 10));
        QTest::mouseMove(&button, QPoint(40, 40));
        QCOMPARE(button.pos(), start + moved);
        QTest::mouseRelease(&button, which, {}, QPoint(40, 40));
    }

    void keys_data()
    {
        QTest::addColumn<int>("key"); // a Qt key, or a Latin-1 character when below 256
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<int>("face"); // the state painted last
        const Qt::KeyboardModifiers none;
        QTest::newRow("a") << int('a') << none << QStringList{"KeyDown 65 0", "KeyPress 97", "KeyUp 65 0"} << 0;
        QTest::newRow("Shift+A: the Shift key is a key too")
            << int('A') << Qt::KeyboardModifiers(Qt::ShiftModifier)
            << QStringList{"KeyDown 16 1", "KeyDown 65 1", "KeyPress 65", "KeyUp 65 1", "KeyUp 16 0"} << 0;
        QTest::newRow("Ctrl+C") << int('c') << Qt::KeyboardModifiers(Qt::ControlModifier)
                                << QStringList{"KeyDown 17 2", "KeyDown 67 2", "KeyPress 99", "KeyUp 67 2", "KeyUp 17 0"} << 0;
        QTest::newRow("F5 has no character") << int(Qt::Key_F5) << none << QStringList{"KeyDown 116 0", "KeyUp 116 0"} << 0;
        // Space clicks on its release and leaves the face under the pointer (Over here).
        QTest::newRow("Space clicks") << int(Qt::Key_Space) << none
                                      << QStringList{"KeyDown 32 0", "KeyPress 32", "KeyUp 32 0", "Click"} << 1;
        QTest::newRow("Return clicks") << int(Qt::Key_Return) << none
                                       << QStringList{"KeyDown 13 0", "KeyPress 13", "Click", "KeyUp 13 0"} << 0;
        QTest::newRow("keypad Enter clicks") << int(Qt::Key_Enter) << Qt::KeyboardModifiers(Qt::KeypadModifier)
                                             << QStringList{"KeyDown 13 0", "KeyPress 13", "Click", "KeyUp 13 0"} << 0;
        QTest::newRow("Ctrl+Return is the window's") << int(Qt::Key_Return) << Qt::KeyboardModifiers(Qt::ControlModifier)
            << QStringList{"KeyDown 17 2", "KeyDown 13 2", "KeyPress 13", "KeyUp 13 2", "KeyUp 17 0"} << 0;
        QTest::newRow("Alt+Space is the window's") << int(Qt::Key_Space) << Qt::KeyboardModifiers(Qt::AltModifier)
            << QStringList{"KeyDown 18 4", "KeyDown 32 4", "KeyPress 32", "KeyUp 32 4", "KeyUp 18 0"} << 0;
    }
    void keys()
    {
        QFETCH(int, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(QStringList, events);
        QFETCH(int, face);
        Host host;
        host.button->setFocus();
        EventLog log(*host.button);
        if (key < 256)
            QTest::keyClick(host.button, char(key), modifiers);
        else
            QTest::keyClick(host.button, Qt::Key(key), modifiers);
        QCOMPARE(log.take(), events);
        QCOMPARE(host.button->runtime().LastState, face);
    }

    // Space shows the Down face while held; its auto-repeat clicks nothing more; the click plays
    // the access key's sound and no other; focus lost while it is held clicks nothing.
    void spaceHeld()
    {
        SoundRecorder sounds;
        Host host;
        TavloClick &button = *host.button;
        button.setSound(true);
        button.setSoundDown(1);
        button.setSoundUp(1);
        button.setSoundClick(2);
        button.setFocus();
        EventLog log(button);
        const auto send = [&](QEvent::Type type, bool repeat) {
            QKeyEvent event(type, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), repeat);
            QCoreApplication::sendEvent(&button, &event);
        };
        send(QEvent::KeyPress, false);
        QCOMPARE(button.runtime().LastState, 2);
        for (int i = 0; i < 3; ++i) {
            send(QEvent::KeyRelease, true);
            send(QEvent::KeyPress, true);
        }
        QCOMPARE(button.runtime().LastState, 2);
        send(QEvent::KeyRelease, false);
        QCOMPARE(log.take().filter(QStringLiteral("Click")), QStringList{"Click"});
        QCOMPARE(sounds.take(), QStringList{sounds.file("Click")});

        send(QEvent::KeyPress, false);
        QWidget other(&host.form);
        other.setFocusPolicy(Qt::StrongFocus);
        other.show();
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(&button, &out);
        QVERIFY(button.runtime().LastState != 2);
        send(QEvent::KeyRelease, false);
        QCOMPARE(log.take().filter(QStringLiteral("Click")), QStringList{});
        QCOMPARE(sounds.take(), QStringList{});
    }

    // The focus indicator: shown, and visible on screen, when the focus came by keyboard; its
    // pixels are the only difference the focus makes.
    void focusIndicator_data()
    {
        QTest::addColumn<Qt::FocusReason>("reason");
        QTest::addColumn<bool>("keyAfter"); // a key pressed after the focus came
        QTest::addColumn<bool>("showFocusRect");
        QTest::addColumn<bool>("pictureOnly");
        QTest::addColumn<bool>("shown");
        QTest::newRow("Tab") << Qt::TabFocusReason << false << true << false << true;
        QTest::newRow("Backtab") << Qt::BacktabFocusReason << false << true << false << true;
        QTest::newRow("access key") << Qt::ShortcutFocusReason << false << true << false << true;
        QTest::newRow("Tab, picture without caption") << Qt::TabFocusReason << false << true << true << true;
        QTest::newRow("mouse") << Qt::MouseFocusReason << false << true << false << false;
        QTest::newRow("mouse, then a key") << Qt::MouseFocusReason << true << true << false << true;
        QTest::newRow("Tab, ShowFocusRect off") << Qt::TabFocusReason << false << false << false << false;
    }
    void focusIndicator()
    {
        QFETCH(Qt::FocusReason, reason);
        QFETCH(bool, keyAfter);
        QFETCH(bool, showFocusRect);
        QFETCH(bool, pictureOnly);
        QFETCH(bool, shown);
        Host host;
        TavloClick &button = *host.button;
        button.setShowFocusRect(showFocusRect);
        if (pictureOnly) {
            QImage face(80, 33, QImage::Format_RGB32);
            face.fill(QColor(40, 90, 160));
            button.setCaption(QString());
            button.setPicNormal(Picture::fromImage(face));
            button.setCustomPic(true);
        }
        activate(host);
        // The window's activation gave the focus to its only control.
        button.clearFocus();
        const QImage unfocused = button.grab().toImage();
        button.setFocus(reason);
        if (keyAfter)
            QTest::keyClick(&button, Qt::Key_Shift);
        QVERIFY(button.hasFocus());
        QCOMPARE(button.focusIndicatorShown(), shown);
        QCOMPARE(button.grab().toImage() != unfocused, shown);
        button.clearFocus();
        QCOMPARE(button.grab().toImage(), unfocused);
    }

private:
    static void activate(Host &host)
    {
        host.form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&host.form));
        QTest::qWait(20); // the caption's paint registers its access key
    }
};

QTEST_MAIN(TestButtonInteraction)
#include "tst_interaction.moc"
