#include "ButtonTestSupport.h"
#include "controls/button/ButtonResources.h"
#include "common/PropertyBag.h"
#include "controls/button/HandCursor.h"

#include <QApplication>
#include <QDir>
#include <QPalette>
#include <QSignalSpy>
#include <QtTest>

#include <cmath>
#include <limits>

Q_DECLARE_METATYPE(ButtonProperty)

using namespace ButtonTest;

namespace {

OleColor buttonFaceRgb()
{
    return Color::fromQRgb(QApplication::palette().color(QPalette::Active, QPalette::Button).rgb());
}

constexpr OleColor ButtonFace = OleColor(0x8000000F);

// Two values of a property are the same: pictures by their images, the rest as QVariants.
bool sameValue(const ButtonDescriptor &descriptor, const QVariant &a, const QVariant &b)
{
    if (descriptor.type == PropertyType::Picture) {
        const Picture pa = a.value<Picture>();
        const Picture pb = b.value<Picture>();
        return pa.isNothing() == pb.isNothing() && pa.image() == pb.image();
    }
    return PropertyBag::sameValue(descriptor.type, a, b);
}

QImage solidImage(QRgb rgb)
{
    QImage image(5, 4, QImage::Format_RGB32);
    image.fill(rgb);
    return image;
}

} // namespace

class TestButtonProperties : public QObject {
    Q_OBJECT
private slots:
    void layoutsCoverEveryProperty()
    {
        QList<int> seen(ButtonPropertyCount, 0);
        for (const auto &step : ButtonLayouts::bagOrder()) {
            if (step.kind == ButtonLayouts::BagStep::Kind::Property)
                ++seen[int(step.id)];
        }
        for (int id = 0; id < ButtonPropertyCount; ++id)
            QVERIFY2(seen[id] == 1, buttonDescriptors()[id].name.data());
        for (int id = 0; id < ButtonPropertyCount; ++id)
            QCOMPARE(int(buttonDescriptors()[id].id), id);
    }

    void assignmentRules_data()
    {
        QTest::addColumn<ButtonProperty>("id");
        QTest::addColumn<QVariant>("assigned");
        QTest::addColumn<QVariant>("stored");
        QTest::newRow("AlphaValue 300") << ButtonProperty::AlphaValue << QVariant(300.0f) << QVariant(255.0f);
        QTest::newRow("AlphaValue -5") << ButtonProperty::AlphaValue << QVariant(-5.0f) << QVariant(0.0f);
        QTest::newRow("AlphaValue 127.5") << ButtonProperty::AlphaValue << QVariant(127.5f) << QVariant(128.0f);
        QTest::newRow("AlphaValue 126.5") << ButtonProperty::AlphaValue << QVariant(126.5f) << QVariant(126.0f);
        QTest::newRow("AlphaValue NaN") << ButtonProperty::AlphaValue << QVariant(std::nanf("")) << QVariant(0.0f);
        QTest::newRow("BorderSize 0") << ButtonProperty::BorderSize << QVariant(0.0f) << QVariant(1.0f);
        QTest::newRow("ArrowSize 0") << ButtonProperty::ArrowSize << QVariant(0.0f) << QVariant(1.0f);
        QTest::newRow("ButtonIconSize huge") << ButtonProperty::ButtonIconSize << QVariant(1e30f) << QVariant(1000.0f);
        QTest::newRow("RoundWidth 2.5") << ButtonProperty::RoundWidth << QVariant(2.5f) << QVariant(2.0f);
        QTest::newRow("RoundHeight -inf") << ButtonProperty::RoundHeight
                                          << QVariant(-std::numeric_limits<float>::infinity()) << QVariant(0.0f);
        QTest::newRow("TextureAlpha 255.5") << ButtonProperty::TextureAlpha << QVariant(255.5f) << QVariant(255.0f);
        QTest::newRow("FadeDelay 150") << ButtonProperty::FadeDelay << QVariant(150.0f) << QVariant(100.0f);
        QTest::newRow("ShadowSize keeps fraction") << ButtonProperty::ShadowSize << QVariant(6.7f) << QVariant(6.7f);
        QTest::newRow("ShadowSize unchecked") << ButtonProperty::ShadowSize << QVariant(-40.0f) << QVariant(-40.0f);
        QTest::newRow("TintHue -250") << ButtonProperty::TintHue << QVariant::fromValue<qint32>(-250)
                                      << QVariant::fromValue<qint16>(-100);
        QTest::newRow("TintBright 32767") << ButtonProperty::TintBright << QVariant::fromValue<qint32>(32767)
                                          << QVariant::fromValue<qint16>(100);
        QTest::newRow("TintBright 50.7 rounds") << ButtonProperty::TintBright << QVariant(50.7)
                                                << QVariant::fromValue<qint16>(51);
        QTest::newRow("TintHue -2.5 to even") << ButtonProperty::TintHue << QVariant(-2.5)
                                              << QVariant::fromValue<qint16>(-2);
        QTest::newRow("TintSaturation 99.5 to even") << ButtonProperty::TintSaturation << QVariant(99.5)
                                                     << QVariant::fromValue<qint16>(100);
        QTest::newRow("TintSaturation 55") << ButtonProperty::TintSaturation << QVariant::fromValue<qint32>(55)
                                           << QVariant::fromValue<qint16>(55);
        QTest::newRow("ButtonIconPos 32767") << ButtonProperty::ButtonIconPos << QVariant::fromValue<qint32>(32767)
                                             << QVariant::fromValue<qint16>(32767);
        QTest::newRow("SplitSize unchecked") << ButtonProperty::ButtonColorSplitSize << QVariant::fromValue<qint32>(-7)
                                             << QVariant::fromValue<qint32>(-7);
        QTest::newRow("ArrowColor translated") << ButtonProperty::ArrowColor << QVariant::fromValue<qint32>(ButtonFace)
                                               << QVariant::fromValue<qint32>(buttonFaceRgb());
        QTest::newRow("CaptionShadowColor translated") << ButtonProperty::CaptionShadowColor
                                                       << QVariant::fromValue<qint32>(ButtonFace)
                                                       << QVariant::fromValue<qint32>(buttonFaceRgb());
        QTest::newRow("ShadowColor translated") << ButtonProperty::ShadowColor << QVariant::fromValue<qint32>(ButtonFace)
                                                << QVariant::fromValue<qint32>(buttonFaceRgb());
        QTest::newRow("CaptionColor translated") << ButtonProperty::CaptionColor << QVariant::fromValue<qint32>(ButtonFace)
                                                 << QVariant::fromValue<qint32>(buttonFaceRgb());
        QTest::newRow("BorderColor1 kept") << ButtonProperty::BorderColor1 << QVariant::fromValue<qint32>(ButtonFace)
                                           << QVariant::fromValue<qint32>(ButtonFace);
        QTest::newRow("ButtonColorNormal1 kept") << ButtonProperty::ButtonColorNormal1
                                                 << QVariant::fromValue<qint32>(ButtonFace)
                                                 << QVariant::fromValue<qint32>(ButtonFace);
        QTest::newRow("MaskColor kept") << ButtonProperty::MaskColor << QVariant::fromValue<qint32>(ButtonFace)
                                        << QVariant::fromValue<qint32>(ButtonFace);
    }
    void assignmentRules()
    {
        QFETCH(ButtonProperty, id);
        QFETCH(QVariant, assigned);
        QFETCH(QVariant, stored);
        TavloClick button;
        QSignalSpy changed(&button, &TavloClick::propertyChanged);
        button.setPropertyValue(id, assigned);
        QVERIFY(PropertyBag::sameValue(buttonDescriptors().find(id).type, button.propertyValue(id), stored));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toString(), QString(buttonDescriptors().find(id).name));
    }

    void captionColourGoesToTheLabel()
    {
        TavloClick button;
        button.setCaptionColor(ButtonFace);
        QCOMPARE(button.lblCap().foreColor(), buttonFaceRgb());
        QCOMPARE(button.CaptionColor(), buttonFaceRgb());
    }

    void fadeDelaySetsTheTimer()
    {
        TavloClick button;
        QCOMPARE(button.tmrFade().interval(), 1);
        button.setFadeDelay(150);
        QCOMPARE(button.tmrFade().interval(), 100);
        button.setFadeDelay(12.5f);
        QCOMPARE(button.tmrFade().interval(), 12);
    }

    // The Integer properties take 16 bits: beyond them the overflow error, and nothing changes.
    void integerOverflowChangesNothing_data()
    {
        QTest::addColumn<ButtonProperty>("id");
        QTest::addColumn<QVariant>("assigned");
        QTest::newRow("ButtonIconPos 40000") << ButtonProperty::ButtonIconPos << QVariant::fromValue<qint32>(40000);
        QTest::newRow("ButtonIconPos -32769") << ButtonProperty::ButtonIconPos << QVariant::fromValue<qint32>(-32769);
        QTest::newRow("TintBright 70000") << ButtonProperty::TintBright << QVariant::fromValue<qint32>(70000);
        QTest::newRow("TintHue -32768.6") << ButtonProperty::TintHue << QVariant(-32768.6);
        QTest::newRow("TintSaturation 32767.5") << ButtonProperty::TintSaturation << QVariant(32767.5);
    }
    void integerOverflowChangesNothing()
    {
        QFETCH(ButtonProperty, id);
        QFETCH(QVariant, assigned);
        TavloClick button;
        button.setPropertyValue(id, QVariant::fromValue<qint32>(2));
        QSignalSpy changed(&button, &TavloClick::propertyChanged);
        QCOMPARE(errorCode([&] { button.setPropertyValue(id, assigned); }), int(RuntimeError::Overflow));
        QCOMPARE(button.propertyValue(id).toInt(), 2);
        QCOMPARE(changed.count(), 0);
    }

    // Every setter ends by reporting its own property.
    void everySetterReportsItsName()
    {
        TavloClick button;
        for (const ButtonDescriptor &descriptor : buttonDescriptors()) {
            if (descriptor.id == ButtonProperty::Font)
                continue;
            QSignalSpy changed(&button, &TavloClick::propertyChanged);
            button.setPropertyValue(descriptor.id, button.propertyValue(descriptor.id));
            QVERIFY2(!changed.isEmpty(), descriptor.name.data());
            QCOMPARE(changed.last().at(0).toString(), QString(descriptor.name));
        }
        QSignalSpy changed(&button, &TavloClick::propertyChanged);
        button.setFont(QFont(QStringLiteral("Liberation Sans"), 11));
        QCOMPARE(changed.last().at(0).toString(), QStringLiteral("Font"));
        QCOMPARE(button.lblCap().font().family(), QStringLiteral("Liberation Sans"));
        QCOMPARE(button.font().pointSize(), 11);
    }

    // Which state each assignment leaves on show: the last Redraw wins.
    void redrawOrder_data()
    {
        QTest::addColumn<ButtonProperty>("id");
        QTest::addColumn<int>("lastState");
        QTest::addColumn<bool>("fading");
        // Normal after Over fades back; a second Redraw of the same state shows it at once.
        QTest::newRow("ButtonColorNormal1") << ButtonProperty::ButtonColorNormal1 << 0 << true;
        QTest::newRow("ButtonColorOver1") << ButtonProperty::ButtonColorOver1 << 1 << true;
        QTest::newRow("ButtonColorOver2") << ButtonProperty::ButtonColorOver2 << 1 << true;
        QTest::newRow("ButtonColorDown1") << ButtonProperty::ButtonColorDown1 << 2 << true;
        QTest::newRow("ButtonColorDown2") << ButtonProperty::ButtonColorDown2 << 2 << true;
        QTest::newRow("ButtonStyleOver") << ButtonProperty::ButtonStyleOver << 1 << true;
        QTest::newRow("ButtonStyleDown") << ButtonProperty::ButtonStyleDown << 2 << true;
        QTest::newRow("ButtonColorExtra1") << ButtonProperty::ButtonColorExtra1 << 0 << false;
        QTest::newRow("ButtonColorExtra2") << ButtonProperty::ButtonColorExtra2 << 0 << false;
        QTest::newRow("BorderColor1") << ButtonProperty::BorderColor1 << 0 << true;
    }
    void redrawOrder()
    {
        QFETCH(ButtonProperty, id);
        QFETCH(int, lastState);
        QFETCH(bool, fading);
        TavloClick button;
        button.setButtonColorNormal1(0x0000AA);
        button.setButtonColorOver1(0x00AA00);
        button.setButtonColorDown1(0xAA0000);
        // Start from the Over face with a fade running, as the pointer would leave it.
        button.Redraw(1);
        QVERIFY(button.tmrFade().isActive());
        button.setPropertyValue(id, button.propertyValue(id));
        QCOMPARE(button.runtime().LastState, lastState);
        QCOMPARE(button.runtime().PreviousState, lastState);
        QCOMPARE(button.tmrFade().isActive(), fading);
        const OleColor faces[] = {0x0000AA, 0x00AA00, 0xAA0000};
        const Surface &pic = button.canvas().pic;
        QCOMPARE(pic.pixel(pic.width() / 2, pic.height() - 2), faces[lastState]);
    }

    void propertiesWithoutRedraw_data()
    {
        QTest::addColumn<ButtonProperty>("id");
        for (ButtonProperty id : {ButtonProperty::DoubleClickEnable, ButtonProperty::Enabled,
                                  ButtonProperty::MouseIcon, ButtonProperty::SettingsFile,
                                  ButtonProperty::Sound, ButtonProperty::SoundClick,
                                  ButtonProperty::SoundCustom1, ButtonProperty::UpMotion,
                                  ButtonProperty::UserDrag})
            QTest::newRow(buttonDescriptors().find(id).name.data()) << id;
    }
    void propertiesWithoutRedraw()
    {
        QFETCH(ButtonProperty, id);
        TavloClick button;
        button.setFade(false);
        button.Redraw(2);
        button.setPropertyValue(id, button.propertyValue(id));
        QCOMPARE(button.runtime().LastState, 2);
    }

    void fadeBookkeeping()
    {
        TavloClick button;
        QVERIFY(button.Fade());
        QVERIFY(!button.tmrFade().isActive()); // the first Normal face is shown at once
        button.Redraw(1);
        QVERIFY(button.tmrFade().isActive());
        QCOMPARE(button.runtime().FadeLevel, 0.0f);
        button.Redraw(1);
        QVERIFY(!button.tmrFade().isActive());
        QCOMPARE(button.runtime().PreviousState, 1);
    }

    void fadeTicks_data()
    {
        QTest::addColumn<QString>("fadeDelay");
        QTest::addColumn<int>("ticks");
        QTest::newRow("75") << "75" << 10;
        QTest::newRow("100") << "100" << 255;
        QTest::newRow("0") << "0" << 3;
        QTest::newRow("loaded 500 counts as 100") << "500" << 255;
        QTest::newRow("loaded -40 counts as 0") << "-40" << 3;
    }
    void fadeTicks()
    {
        QFETCH(QString, fadeDelay);
        QFETCH(int, ticks);
        TavloClick button;
        QTRY_VERIFY(!button.OverTimer().isActive()); // the hover watch's first tick has passed
        // A loaded FadeDelay leaves the fade clock at 1 ms.
        button.LoadButtonSettings(QString(), withField(button.SaveButtonSettings(QString()), 43, fadeDelay));
        button.setButtonColorOver1(0x00FF00);
        QVERIFY(button.tmrFade().isActive());
        QSignalSpy tick(&button.tmrFade(), SIGNAL(timeout()));
        QTRY_VERIFY_WITH_TIMEOUT(!button.tmrFade().isActive(), 20000);
        QCOMPARE(tick.count(), ticks);
        QCOMPARE(button.runtime().FadeLevel, 255.0f);
        QCOMPARE(button.canvas().pic2.pixel(3, 30), OleColor(0x00FF00)); // below the face's shine
    }

    void firstHoverTickIsOneMouseOut()
    {
        TavloClick button;
        button.setButtonColorNormal1(0x0000AA);
        QSignalSpy out(&button, &TavloClick::MouseOut);
        QSignalSpy in(&button, &TavloClick::MouseIn);
        QVERIFY(button.OverTimer().isActive());
        QTRY_VERIFY(!button.OverTimer().isActive());
        QCOMPARE(out.count(), 1);
        QCOMPARE(in.count(), 0);
        QVERIFY(button.runtime().MouseOutside);
        QCOMPARE(button.runtime().LastState, 0);
    }

    void newControl()
    {
        QWidget form;
        QFont formFont(QStringLiteral("Liberation Mono"), 14);
        form.setFont(formFont);
        TavloClick button(&form);
        QCOMPARE(button.size(), QSize(81, 33));
        QCOMPARE(button.canvas().pic.width(), 81);
        QCOMPARE(button.canvas().picTemp.height(), 33);
        QCOMPARE(button.Font().family(), QStringLiteral("Liberation Mono"));
        QCOMPARE(button.lblCap().caption(), QStringLiteral("Tavlo Click"));
        QVERIFY(button.MouseIcon() == HandCursor::picture());
        QVERIFY(button.MouseIcon().hasImage());
        QCOMPARE(button.MouseIcon().image().size(), QSize(32, 32));
        QCOMPARE(button.cursor().shape(), Qt::BitmapCursor);
        for (const Picture &picture : {button.ButtonIcon(), button.PicNormal(), button.PicOver(),
                                       button.PicDown(), button.TextureImage()}) {
            QVERIFY(!picture.isNothing());
            QVERIFY(!picture.hasImage());
        }
        QVERIFY(button.OverTimer().isActive());
        QVERIFY(!button.tmrFade().isActive());
        QCOMPARE(button.canvas().picShadow.pixel(0, 0), ButtonCanvas::ShadowBackColor);
    }

    void readingAnEmptyBagGivesTheDefaults()
    {
        QWidget form;
        form.setFont(QFont(QStringLiteral("Liberation Mono"), 14));
        TavloClick button(&form);
        makeDistinct(button);
        button.setPicNormal(Picture::fromImage(solidImage(qRgb(1, 2, 3))));
        button.ReadProperties(PropertyBag());
        for (const ButtonDescriptor &descriptor : buttonDescriptors()) {
            QVariant expected = descriptor.defaultValue;
            if (descriptor.id == ButtonProperty::Font)
                expected = QVariant::fromValue(form.font());
            QVERIFY2(sameValue(descriptor, button.propertyValue(descriptor.id), expected), descriptor.name.data());
        }
        QVERIFY(button.PicNormal().isNothing());
        QVERIFY(button.MouseIcon() == HandCursor::picture());
        QCOMPARE(button.Caption(), QStringLiteral("Tavlo Click"));
    }

    void writeThenReadRoundTrip()
    {
        TavloClick source;
        makeDistinct(source);
        source.setPicNormal(Picture::fromImage(solidImage(qRgb(1, 2, 3))));
        source.setButtonIcon(Picture::fromImage(solidImage(qRgb(9, 8, 7))));
        source.setMouseIcon(Picture::fromImage(solidImage(qRgb(200, 0, 0))));
        source.setEnabled(false);
        source.setSettingsFile(QStringLiteral("look.scs"));
        PropertyBag bag;
        source.WriteProperties(bag);
        bool parsed = false;
        const PropertyBag stored = PropertyBag::fromJson(bag.toJson(), &parsed);
        QVERIFY(parsed);

        TavloClick target;
        target.ReadProperties(stored);
        for (const ButtonDescriptor &descriptor : buttonDescriptors()) {
            QVERIFY2(sameValue(descriptor, target.propertyValue(descriptor.id), source.propertyValue(descriptor.id)),
                     descriptor.name.data());
        }
        QVERIFY(!target.isEnabled());
        QCOMPARE(target.font().family(), QStringLiteral("Liberation Serif"));
    }

    // A new control holds empty picture objects, which differ from the bag's Nothing.
    void aNewControlStoresItsPointerAndEmptyPictures()
    {
        TavloClick button;
        PropertyBag bag;
        button.WriteProperties(bag);
        const QStringList expected{"ButtonIcon", "MouseIcon", "PicDown", "PicNormal", "PicOver", "TextureImage"};
        QCOMPARE(bag.keys(), expected);
        QCOMPARE(bag.object().value("MouseIcon").toObject().value("resource").toString(),
                 QString::fromLatin1(ButtonResources::HandCursor));
        QCOMPARE(bag.object().value("PicNormal").toObject(), QJsonObject());
    }

    // Stored values come back as stored: no clamp, no translation, no theme, no capture.
    void readingStoresWithoutRules()
    {
        TavloClick button;
        button.setCaption(QStringLiteral("Before"));
        QSignalSpy changed(&button, &TavloClick::propertyChanged);
        PropertyBag bag;
        bag.write("AlphaValue", PropertyType::Single, 300.0f, 150.0f);
        bag.write("CaptionColor", PropertyType::Colour, QVariant::fromValue<qint32>(ButtonFace), 0);
        bag.write("TintHue", PropertyType::Integer, QVariant::fromValue<qint16>(-250), 0);
        bag.write("ButtonTheme", PropertyType::Long, 4, 0);
        bag.write("Freeze", PropertyType::Boolean, true, false);
        bag.write("Caption", PropertyType::String, QStringLiteral("After"), QString());
        bag.write("FadeDelay", PropertyType::Single, 30.0f, 75.0f);
        button.ReadProperties(bag);
        QCOMPARE(button.AlphaValue(), 300.0f);
        QCOMPARE(button.CaptionColor(), ButtonFace);
        QCOMPARE(button.lblCap().foreColor(), ButtonFace);
        QCOMPARE(button.TintHue(), int16_t(-250));
        QCOMPARE(button.ButtonTheme(), 4);
        QCOMPARE(button.ButtonStyleNormal(), 0); // theme 4 would give 11
        QVERIFY(button.Freeze());
        QVERIFY(!button.CustomPic());
        QVERIFY(!button.PicNormal().hasImage());
        QCOMPARE(button.Caption(), QStringLiteral("After"));
        QCOMPARE(button.lblCap().caption(), QStringLiteral("Before"));
        QCOMPARE(button.tmrFade().interval(), 1);
        // Only the pointer goes through its accessor.
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toString(), QStringLiteral("MouseIcon"));
    }

    void aBadBagValueStopsReading()
    {
        TavloClick button;
        PropertyBag bag(QJsonObject{{"TintBright", 5}, {"PicNormal", "not a picture"}, {"Fade", false}});
        QCOMPARE(errorCode([&] { button.ReadProperties(bag); }), int(RuntimeError::TypeMismatch));
        QCOMPARE(button.TintBright(), int16_t(5)); // read before the bad key
        QVERIFY(button.Fade());                    // after it: not read
    }

    void temporaryFolder_data()
    {
        QTest::addColumn<QByteArray>("tmp");
        QTest::addColumn<QByteArray>("temp");
        QTest::addColumn<QString>("expected");
        QTest::newRow("tmp") << QByteArray("/var/a") << QByteArray("/var/b") << "/var/a";
        QTest::newRow("temp") << QByteArray() << QByteArray("/var/b") << "/var/b";
        QTest::newRow("neither") << QByteArray() << QByteArray() << QDir::tempPath();
    }
    void temporaryFolder()
    {
        QFETCH(QByteArray, tmp);
        QFETCH(QByteArray, temp);
        QFETCH(QString, expected);
        const QByteArray oldTmp = qgetenv("tmp");
        const QByteArray oldTemp = qgetenv("temp");
        qputenv("tmp", tmp);
        qputenv("temp", temp);
        TavloClick button;
        button.ReadProperties(PropertyBag());
        const QString folder = button.runtime().TempFolder;
        qputenv("tmp", oldTmp);
        qputenv("temp", oldTemp);
        QCOMPARE(folder, expected);
    }

    void freezeCapturesAndReleases()
    {
        TavloClick button;
        button.setButtonColorNormal1(0x0000AA);
        button.setButtonColorOver1(0x00AA00);
        button.setButtonColorDown1(0xAA0000);
        QSignalSpy changed(&button, &TavloClick::propertyChanged);
        button.setFreeze(true);
        QVERIFY(button.CustomPic());
        const Picture faces[] = {button.PicNormal(), button.PicOver(), button.PicDown()};
        const QRgb colours[] = {qRgb(0xAA, 0, 0), qRgb(0, 0xAA, 0), qRgb(0, 0, 0xAA)};
        for (int state = 0; state < 3; ++state) {
            QVERIFY(faces[state].hasImage());
            QCOMPARE(faces[state].image().size(), QSize(81, 33));
            QCOMPARE(faces[state].image().pixel(40, 30) & 0xFFFFFF, colours[state] & 0xFFFFFF);
        }
        QCOMPARE(changed.last().at(0).toString(), QStringLiteral("Freeze"));
        QCOMPARE(button.runtime().LastState, 0);
        QCOMPARE(button.runtime().CurrentFacePicture, faces[0]);

        button.setFreeze(false);
        QVERIFY(button.PicNormal().isNothing());
        QVERIFY(button.PicOver().isNothing());
        QVERIFY(button.PicDown().isNothing());
        QVERIFY(!button.CustomPic());
        QVERIFY(!button.Freeze());
    }

    void customPictureMotion()
    {
        TavloClick button;
        button.setFade(false);
        button.setCustomPic(true);
        button.setUpMotion(true);
        button.Redraw(1);
        QCOMPARE(button.runtime().MotionOffset, -(81.0f + 33.0f) / 100.0f);
        button.Redraw(2);
        QCOMPARE(button.runtime().MotionOffset, (81.0f + 33.0f) / 100.0f);
        button.Redraw(0);
        QCOMPARE(button.runtime().MotionOffset, 0.0f);
    }

    void autoSizeTakesTheFacePicture()
    {
        TavloClick button;
        button.setFade(false);
        button.setPicNormal(Picture::fromImage(QImage(50, 20, QImage::Format_RGB32)));
        button.setCustomPic(true);
        button.setAutoSize(true);
        QCOMPARE(button.size(), QSize(50, 20));
        QCOMPARE(button.canvas().pic.width(), 50);
        QCOMPARE(button.canvas().pic2.height(), 20);
    }
};

QTEST_MAIN(TestButtonProperties)
#include "tst_properties.moc"
