// The hover watch (entry, exit, the first tick, the resize suppression, the resting pace, the
// platform's pointer, the face it settles on) and the button's sounds.

#include "InteractionTestSupport.h"

#include <QSignalSpy>
#include <QtTest>

#include <algorithm>
#include <cmath>

using namespace InteractionTest;

namespace {

// A pointer move over the button, as the platform reports it.
void moveOver(TavloClick &button)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), button.mapToGlobal(QPointF(5, 5)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&button, &move);
}

enum class Change { Leave, Enter, Move, Hide };

enum class Sequence { MoveAndClickAtOnce, RightClickWhileOver };
enum class Icon { None, Keyed, Soft };

// A 16 × 16 icon: a keyed one on a magenta ground, or a soft-edged disc with its own alpha.
Picture iconPicture(Icon icon)
{
    if (icon == Icon::None)
        return Picture::empty();
    QImage image(16, 16, icon == Icon::Keyed ? QImage::Format_RGB32 : QImage::Format_ARGB32);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const double distance = std::hypot(x - 7.5, y - 7.5);
            if (icon == Icon::Keyed)
                image.setPixel(x, y, distance < 6 ? qRgb(20, 60, 200) : qRgb(255, 0, 255));
            else
                image.setPixel(x, y, qRgba(20, 60, 200, int(255 * std::clamp(7.5 - distance, 0.0, 1.0))));
        }
    }
    return Picture::fromImage(image);
}

// No fade runs and the watch rests: the face has settled.
bool settled(const TavloClick &button)
{
    return !button.tmrFade().isActive() && button.OverTimer().isActive() && button.OverTimer().interval() > 1;
}

// Something that may change what lies under a pointer that does not move.
void apply(Change change, TavloClick &button)
{
    switch (change) {
    case Change::Leave: {
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(&button, &leave);
        break;
    }
    case Change::Enter: {
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), button.mapToGlobal(QPointF(5, 5)));
        QCoreApplication::sendEvent(&button, &enter);
        break;
    }
    case Change::Move:
        button.move(button.pos() + QPoint(3, 0));
        break;
    case Change::Hide:
        button.hide();
        break;
    }
}

} // namespace

Q_DECLARE_METATYPE(Sequence)
Q_DECLARE_METATYPE(Icon)

class TestButtonHoverWatch : public QObject {
    Q_OBJECT
private slots:
    void entryAndExit()
    {
        SoundRecorder sounds;
        PointerStub pointer;
        TavloClick button;
        button.setSound(true);
        button.setSoundIn(4);
        button.setSoundOut(5);
        EventLog log(button);
        // The first tick finds the pointer elsewhere: one exit, and the watch stops.
        QTRY_VERIFY(!button.OverTimer().isActive());
        QCOMPARE(log.take(), QStringList{"MouseOut"});
        QCOMPARE(sounds.take(), QStringList{sounds.file("Out")});
        QCOMPARE(fileBytes(sounds.file("Out")), resourceBytes(105));

        pointer.setUnder(&button);
        moveOver(button);
        QVERIFY(button.OverTimer().isActive());
        QTRY_COMPARE(log.events(), QStringList{"MouseIn"});
        log.take();
        QCOMPARE(button.runtime().LastState, 1);
        QVERIFY(!button.runtime().MouseOutside);
        QCOMPARE(sounds.take(), QStringList{sounds.file("In")});
        QCOMPARE(fileBytes(sounds.file("In")), resourceBytes(104));
        // Resting on the button: the watch keeps running and reports nothing more.
        QTRY_VERIFY(button.OverTimer().interval() > 1);
        QVERIFY(button.OverTimer().isActive());
        moveOver(button);
        QCOMPARE(button.OverTimer().interval(), 1);
        QTest::qWait(30);
        QCOMPARE(log.take(), QStringList{});

        // The pointer goes without the platform telling the button: the resting watch sees it.
        QTRY_VERIFY(button.OverTimer().interval() > 1);
        pointer.setUnder(nullptr);
        QTRY_COMPARE(log.events(), QStringList{"MouseOut"});
        log.take();
        QVERIFY(!button.OverTimer().isActive());
        QCOMPARE(button.runtime().LastState, 0);
        QVERIFY(button.runtime().MouseOutside);
        QCOMPARE(sounds.take(), QStringList{sounds.file("Out")});
    }

    void leavingWakesARestingWatch_data()
    {
        QTest::addColumn<int>("change");
        QTest::newRow("leave") << int(Change::Leave);
        QTest::newRow("move") << int(Change::Move);
        QTest::newRow("hide") << int(Change::Hide);
    }
    void leavingWakesARestingWatch()
    {
        QFETCH(int, change);
        Host host;
        TavloClick &button = *host.button;
        QTRY_VERIFY(button.OverTimer().interval() > 1);
        QVERIFY(button.OverTimer().isActive());
        apply(Change(change), button);
        QVERIFY(button.OverTimer().isActive());
        QCOMPARE(button.OverTimer().interval(), 1);
    }

    void aStoppedWatchStaysStopped()
    {
        Host host;
        TavloClick &button = *host.button;
        QSignalSpy out(&button, &TavloClick::MouseOut);
        host.pointer.setUnder(nullptr);
        QTRY_VERIFY(!button.OverTimer().isActive());
        for (Change change : {Change::Leave, Change::Enter, Change::Move, Change::Hide})
            apply(change, button);
        QVERIFY(!button.OverTimer().isActive());
        QTest::qWait(20);
        QCOMPARE(out.count(), 1);
    }

    void aResizeSuppressesTheNextEntry()
    {
        Host host;
        PointerStub &pointer = host.pointer;
        TavloClick &button = *host.button;
        button.setButtonColorOver1(0x00FF00);
        button.setFade(false);
        EventLog log(button);
        pointer.setUnder(nullptr);
        QTRY_VERIFY(!button.OverTimer().isActive());
        QCOMPARE(log.take(), QStringList{"MouseOut"});
        button.resize(90, 40);
        QVERIFY(!button.runtime().MouseOutside);

        const QImage normal = button.image();
        pointer.setUnder(&button);
        moveOver(button);
        QTRY_VERIFY(button.OverTimer().interval() > 1); // a tick has seen the pointer and rests
        QCOMPARE(log.take(), QStringList{});
        QCOMPARE(button.runtime().LastState, 0);
        QCOMPARE(button.image(), normal);

        pointer.setUnder(nullptr);
        QTRY_COMPARE(log.events(), QStringList{"MouseOut"});
        log.take();
        pointer.setUnder(&button);
        moveOver(button);
        QTRY_COMPARE(log.events(), QStringList{"MouseIn"});
        log.take();
        QCOMPARE(button.runtime().LastState, 1);
    }

    // Whatever the pointer did on its way into Over, the face ends as a slow hover leaves it.
    void settlesAsAfterASlowHover_data()
    {
        QTest::addColumn<Sequence>("sequence");
        QTest::addColumn<bool>("fade");
        QTest::addColumn<int>("effect");
        QTest::addColumn<Icon>("icon");
        const auto atOnce = Sequence::MoveAndClickAtOnce;
        QTest::newRow("moved on and clicked at once") << atOnce << true << 5 << Icon::None;
        QTest::newRow("right click while Over") << Sequence::RightClickWhileOver << true << 5 << Icon::None;
        QTest::newRow("at once, without fade") << atOnce << false << 5 << Icon::None;
        QTest::newRow("at once, glowing icon") << atOnce << true << 0 << Icon::Keyed;
        QTest::newRow("at once, soft-edged icon") << atOnce << true << 3 << Icon::Soft;
    }
    void settlesAsAfterASlowHover()
    {
        QFETCH(Sequence, sequence);
        QFETCH(bool, fade);
        QFETCH(int, effect);
        QFETCH(Icon, icon);
        Host host;
        TavloClick &button = *host.button;
        button.setButtonTheme(4);
        button.setCaption(QStringLiteral("Convert"));
        button.setEffects(effect);
        button.setFade(fade);
        button.setButtonIcon(iconPicture(icon));
        button.setButtonIconShow(icon != Icon::None);
        host.pointer.setUnder(nullptr);
        QTRY_VERIFY(!button.OverTimer().isActive() && !button.tmrFade().isActive());
        const QImage normal = button.image();

        // The slow hover: the watch sees the pointer arrive and nothing else happens.
        host.pointer.setUnder(&button);
        moveOver(button);
        QTRY_VERIFY(settled(button));
        const QImage over = button.image();
        QVERIFY(over != normal);

        if (sequence == Sequence::MoveAndClickAtOnce) {
            host.pointer.setUnder(nullptr);
            QTRY_VERIFY(!button.OverTimer().isActive() && !button.tmrFade().isActive());
            QCOMPARE(button.image(), normal);
            // The pointer arrives and clicks before the watch looks.
            host.pointer.setUnder(&button);
            moveOver(button);
            host.send(QEvent::MouseButtonPress, QPointF(5, 5), Qt::LeftButton);
            host.send(QEvent::MouseButtonRelease, QPointF(5, 5), Qt::LeftButton);
        } else {
            host.send(QEvent::MouseButtonPress, QPointF(5, 5), Qt::RightButton);
            host.send(QEvent::MouseButtonRelease, QPointF(5, 5), Qt::RightButton);
        }
        QTRY_VERIFY(settled(button));
        QTest::qWait(20);
        QCOMPARE(button.runtime().LastState, 1);
        QCOMPARE(button.image(), over);
    }

    // The platform's answer: the widget at the cursor, so a widget lying over the button counts
    // as outside.
    void platformPointer()
    {
        TavloClick::setPointerQuery({});
        QWidget form;
        form.resize(240, 120);
        TavloClick button(&form);
        button.setGeometry(20, 20, 80, 33);
        QWidget cover(&form);
        cover.setGeometry(70, 20, 30, 33);
        cover.raise();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        EventLog log(button);
        QTest::mouseMove(&form, QPoint(200, 100));
        QTRY_VERIFY(!button.OverTimer().isActive());
        log.take();

        QTest::mouseMove(&button, QPoint(10, 10));
        QTRY_COMPARE(log.events(), QStringList{"MouseIn"});
        log.take();
        QTest::mouseMove(&button, QPoint(60, 10)); // on the cover
        QTRY_COMPARE(log.events(), QStringList{"MouseOut"});
        log.take();
        QTest::mouseMove(&button, QPoint(20, 12));
        QTRY_COMPARE(log.events(), QStringList{"MouseIn"});
        log.take();
        QTest::mouseMove(&form, QPoint(200, 100));
        QTRY_COMPARE(log.events(), QStringList{"MouseOut"});
        log.take();
    }

    void sounds_data()
    {
        QTest::addColumn<bool>("sound");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("custom1");
        QTest::addColumn<QString>("custom2");
        QTest::addColumn<QString>("played"); // "builtin" for the written-out file
        QTest::addColumn<int>("resource");
        QTest::newRow("0 is silence") << true << 0 << "a.wav" << "b.wav" << "" << 0;
        QTest::newRow("98 plays SoundCustom1") << true << 98 << "a.wav" << "b.wav" << "a.wav" << 0;
        QTest::newRow("99 plays SoundCustom2") << true << 99 << "a.wav" << "b.wav" << "b.wav" << 0;
        QTest::newRow("98 without a file is silence, and no error") << true << 98 << "" << "b.wav" << "" << 0;
        QTest::newRow("built-in 1") << true << 1 << "" << "" << "builtin" << 101;
        QTest::newRow("built-in 6") << true << 6 << "" << "" << "builtin" << 106;
        QTest::newRow("no such built-in sound") << true << 50 << "" << "" << "" << 0;
        QTest::newRow("identifier beyond 16 bits") << true << 32668 << "" << "" << "" << 0;
        QTest::newRow("far negative") << true << -40000 << "" << "" << "" << 0;
        QTest::newRow("Sound off") << false << 1 << "" << "" << "" << 0;
    }
    // Each event plays its own number under its own word.
    void sounds()
    {
        QFETCH(bool, sound);
        QFETCH(int, number);
        QFETCH(QString, custom1);
        QFETCH(QString, custom2);
        QFETCH(QString, played);
        QFETCH(int, resource);
        SoundRecorder sounds;
        Host host;
        TavloClick &button = *host.button;
        button.setSound(sound);
        button.setSoundCustom1(custom1);
        button.setSoundCustom2(custom2);
        button.setSoundDown(number);
        QTest::mousePress(&button, Qt::LeftButton);
        button.setSoundDown(0);
        button.setSoundUp(number);
        QTest::mouseRelease(&button, Qt::LeftButton);
        button.setSoundUp(0);
        button.setSoundClick(number);
        QTest::keyClick(&host.form, Qt::Key_Space); // no sound: the form, not the button, takes the key
        const QStringList words{"Down", "Up"};
        QStringList expected;
        for (const QString &word : words) {
            if (played == QLatin1String("builtin"))
                expected << sounds.file(word);
            else if (!played.isEmpty())
                expected << played;
        }
        QCOMPARE(sounds.take(), expected);
        for (const QString &word : words)
            QCOMPARE(fileBytes(sounds.file(word)), resource ? resourceBytes(resource) : QByteArray());
    }

    void builtInSoundsAreShortWaves()
    {
        for (int id = 101; id <= 106; ++id) {
            const QByteArray bytes = resourceBytes(id);
            QVERIFY2(bytes.startsWith("RIFF") && bytes.mid(8, 4) == "WAVE", qPrintable(QString::number(id)));
            QVERIFY(bytes.size() > 1000 && bytes.size() < 10000);
        }
        QVERIFY(resourceBytes(107).isEmpty());
    }
};

QTEST_MAIN(TestButtonHoverWatch)
#include "tst_hoverwatch.moc"
