#include "common/RuntimeError.h"
#include "drawing/Color.h"
#include "drawing/Surface.h"
#include "drawing/Tint.h"

#include <QGuiApplication>
#include <QPalette>
#include <QtTest>

#include <climits>

using namespace Color;

class TestColor : public QObject {
    Q_OBJECT
private slots:
    void translateColor_data()
    {
        QTest::addColumn<int>("colour");
        QTest::addColumn<int>("expected");
        const QPalette palette = QGuiApplication::palette();
        QTest::newRow("rgb unchanged") << RGB(0, 128, 255) << RGB(0, 128, 255);
        QTest::newRow("black") << 0 << 0;
        QTest::newRow("button face") << int(0x8000000F) << fromQRgb(palette.color(QPalette::Button).rgb());
        QTest::newRow("button text") << int(0x80000012) << fromQRgb(palette.color(QPalette::ButtonText).rgb());
        QTest::newRow("highlight") << int(0x8000000D) << fromQRgb(palette.color(QPalette::Highlight).rgb());
        QTest::newRow("unassigned index 25 unchanged") << int(0x80000019) << int(0x80000019);
        QTest::newRow("index beyond table unchanged") << int(0x800000FF) << int(0x800000FF);
        QTest::newRow("unknown kind unchanged") << int(0x45000010) << int(0x45000010);
        QTest::newRow("palette-relative rgb") << int(0x02102030) << 0x102030;
    }
    void translateColor()
    {
        QFETCH(int, colour);
        QFETCH(int, expected);
        QCOMPARE(TranslateColor(colour), expected);
    }

    void conversionToQRgb_data()
    {
        QTest::addColumn<int>("colour");
        QTest::addColumn<uint>("rgb");
        QTest::newRow("red") << RGB(255, 0, 0) << 0xFFFF0000u;
        QTest::newRow("bgr order") << 0x00332211 << 0xFF112233u;
        QTest::newRow("untranslatable is black") << int(0x80000019) << 0xFF000000u;
    }
    void conversionToQRgb()
    {
        QFETCH(int, colour);
        QFETCH(uint, rgb);
        QCOMPARE(toQRgb(colour), QRgb(rgb));
        if (colour >= 0)
            QCOMPARE(fromQRgb(rgb & 0x00FFFFFFu), colour); // the alpha byte is never read
    }

    void clampByte_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("expected");
        QTest::newRow("above") << 256 << 255;
        QTest::newRow("top") << 255 << 255;
        QTest::newRow("inside") << 7 << 7;
        QTest::newRow("bottom") << 0 << 0;
        QTest::newRow("below") << -1 << 0;
        QTest::newRow("far below") << INT_MIN << 0;
    }
    void clampByte()
    {
        QFETCH(int, value);
        QFETCH(int, expected);
        QCOMPARE(ClampByte(value), expected);
    }

    void clampValue_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("min");
        QTest::addColumn<int>("max");
        QTest::addColumn<int>("expected");
        QTest::newRow("above max") << 150 << -100 << 100 << 100;
        QTest::newRow("below min") << -101 << -100 << 100 << -100;
        QTest::newRow("inside") << 5 << -100 << 100 << 5;
        QTest::newRow("max tested first") << 7 << 10 << 5 << 10;
        QTest::newRow("above both of a reversed range") << 20 << 10 << 5 << 10;
        QTest::newRow("below both of a reversed range") << 2 << 10 << 5 << 10;
    }
    void clampValue()
    {
        QFETCH(int, value);
        QFETCH(int, min);
        QFETCH(int, max);
        QFETCH(int, expected);
        QCOMPARE(ClampValue(value, min, max), expected);
    }

    void shiftColor_data()
    {
        QTest::addColumn<int>("colour");
        QTest::addColumn<int>("red");
        QTest::addColumn<int>("green");
        QTest::addColumn<int>("blue");
        QTest::addColumn<int>("expected");
        QTest::newRow("lighten clamps red") << RGB(250, 10, 128) << 10 << 10 << 10 << RGB(255, 20, 138);
        QTest::newRow("-300 is black") << RGB(250, 10, 128) << -300 << -300 << -300 << 0;
        QTest::newRow("+300 is white") << RGB(3, 10, 128) << 300 << 300 << 300 << RGB(255, 255, 255);
        QTest::newRow("per channel") << 0 << 10 << -5 << 300 << RGB(10, 0, 255);
        QTest::newRow("huge amount does not wrap") << RGB(1, 2, 3) << INT_MAX << INT_MIN << 0 << RGB(255, 0, 3);
    }
    void shiftColor()
    {
        QFETCH(int, colour);
        QFETCH(int, red);
        QFETCH(int, green);
        QFETCH(int, blue);
        QFETCH(int, expected);
        QCOMPARE(ShiftColorRGB(colour, red, green, blue), expected);
        if (red == green && green == blue)
            QCOMPARE(ShiftColor(colour, red), expected);
    }

    void mixColors_data()
    {
        QTest::addColumn<int>("colour1");
        QTest::addColumn<int>("colour2");
        QTest::addColumn<int>("expected");
        QTest::newRow("black and white: 127.5 to 128") << 0 << RGB(255, 255, 255) << 0x808080;
        QTest::newRow("2.5 to 2") << RGB(2, 0, 0) << RGB(3, 0, 0) << RGB(2, 0, 0);
        QTest::newRow("3.5 to 4") << RGB(0, 3, 0) << RGB(0, 4, 0) << RGB(0, 4, 0);
        QTest::newRow("channels independent") << RGB(10, 20, 30) << RGB(30, 40, 51) << RGB(20, 30, 40);
    }
    void mixColors()
    {
        QFETCH(int, colour1);
        QFETCH(int, colour2);
        QFETCH(int, expected);
        QCOMPARE(MixColors(colour1, colour2), expected);
        QCOMPARE(MixColors(colour2, colour1), expected);
    }

    void scaleSpan_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("fromLow");
        QTest::addColumn<int>("fromHigh");
        QTest::addColumn<int>("toLow");
        QTest::addColumn<int>("toHigh");
        QTest::addColumn<int>("expected");
        QTest::newRow("empty source span") << 50 << 0 << 0 << 100 << 255 << 0;
        QTest::newRow("38.75 to 39") << 50 << 0 << 200 << 100 << 255 << 39;
        QTest::newRow("lows only through the widths") << 50 << 100 << 300 << 0 << 155 << 39;
        QTest::newRow("2.5 to 2") << 1 << 0 << 2 << 0 << 5 << 2;
        QTest::newRow("3.5 to 4") << 7 << 0 << 2 << 0 << 1 << 4;
        QTest::newRow("negative span") << 10 << 20 << 0 << 0 << 10 << -5;
    }
    void scaleSpan()
    {
        QFETCH(int, value);
        QFETCH(int, fromLow);
        QFETCH(int, fromHigh);
        QFETCH(int, toLow);
        QFETCH(int, toHigh);
        QFETCH(int, expected);
        QCOMPARE(ScaleSpan(value, fromLow, fromHigh, toLow, toHigh), expected);
    }

    void scaleSpanOverflow()
    {
        try {
            ScaleSpan(1, INT_MIN, INT_MAX, 0, 1);
            QFAIL("no overflow");
        } catch (const RuntimeError &e) {
            QCOMPARE(e.code(), int(RuntimeError::Overflow));
        }
        try {
            ScaleSpan(INT_MAX, 0, 1, 0, 4);
            QFAIL("no overflow");
        } catch (const RuntimeError &e) {
            QCOMPARE(e.code(), int(RuntimeError::Overflow));
        }
    }

    void toByte_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("expected"); // -1: overflow
        QTest::newRow("0.55*14^2 = 107.8") << 0.55 * 196 << 108;
        QTest::newRow("half to even 2.5") << 2.5 << 2;
        QTest::newRow("255") << 255.0 << 255;
        QTest::newRow("255.4 rounds into range") << 255.4 << 255;
        QTest::newRow("255.5 overflows") << 255.5 << -1;
        QTest::newRow("-0.5 rounds to 0") << -0.5 << 0;
        QTest::newRow("-1 overflows") << -1.0 << -1;
    }
    void toByte()
    {
        QFETCH(double, value);
        QFETCH(int, expected);
        if (expected < 0) {
            QVERIFY_THROWS_EXCEPTION(RuntimeError, Color::toByte(value));
            return;
        }
        QCOMPARE(int(Color::toByte(value)), expected);
    }

    void tintValues_data()
    {
        QTest::addColumn<int>("bright");
        QTest::addColumn<int>("hue");
        QTest::addColumn<int>("saturation");
        QTest::addColumn<int>("brightValue");
        QTest::addColumn<int>("hueValue");
        QTest::addColumn<int>("saturationValue");
        QTest::newRow("neutral") << 0 << 0 << 0 << 0 << 175 << 0;
        QTest::newRow("grey icon") << 0 << 0 << -100 << 0 << 175 << -255;
        QTest::newRow("-127.5 to -128") << 50 << 1 << -50 << 128 << 177 << -128;
        QTest::newRow("extremes") << -100 << -100 << 100 << -255 << 0 << 512;
        QTest::newRow("positive saturation by 512") << 1 << 100 << 33 << 3 << 350 << 169;
    }
    void tintValues()
    {
        QFETCH(int, bright);
        QFETCH(int, hue);
        QFETCH(int, saturation);
        const Tint::Values v = Tint::values(bright, hue, saturation);
        QTEST(v.brightness, "brightValue");
        QTEST(v.hue, "hueValue");
        QTEST(v.saturation, "saturationValue");
    }

    // What the tint does to a few colours: grey stays grey under hue and saturation; the
    // directions of each control.
    void tintEffects_data()
    {
        QTest::addColumn<int>("bright");
        QTest::addColumn<int>("hue");
        QTest::addColumn<int>("saturation");
        QTest::addColumn<int>("input");
        QTest::addColumn<QString>("check");
        QTest::newRow("all zero leaves red") << 0 << 0 << 0 << RGB(200, 30, 40) << "unchanged";
        QTest::newRow("full desaturation greys") << 0 << 0 << -100 << RGB(200, 30, 40) << "grey";
        QTest::newRow("grey survives hue") << 0 << 60 << 0 << RGB(90, 90, 90) << "unchanged";
        QTest::newRow("grey survives saturation") << 0 << 0 << 100 << RGB(90, 90, 90) << "unchanged";
        QTest::newRow("half desaturation narrows") << 0 << 0 << -50 << RGB(200, 30, 40) << "narrower";
        QTest::newRow("saturation widens") << 0 << 0 << 30 << RGB(150, 90, 100) << "wider";
        QTest::newRow("hue +100 turns red towards cyan") << 0 << 100 << 0 << RGB(200, 30, 30) << "cyanish";
        QTest::newRow("bright 100 is white") << 100 << 0 << 0 << RGB(10, 30, 40) << "white";
        QTest::newRow("bright -100 is black") << -100 << 0 << 0 << RGB(210, 230, 240) << "black";
        QTest::newRow("bright 20 adds 51") << 20 << 0 << 0 << RGB(10, 30, 40) << "plus51";
    }
    void tintEffects()
    {
        QFETCH(int, bright);
        QFETCH(int, hue);
        QFETCH(int, saturation);
        QFETCH(int, input);
        QFETCH(QString, check);
        Surface picture(3, 2, input);
        TintPicture(picture, bright, hue, saturation);
        const OleColor out = picture.pixel(2, 1);
        QCOMPARE(picture.pixel(0, 0), out); // every pixel alike
        const int r = red(out), g = green(out), b = blue(out);
        const auto spread = [](OleColor c) {
            return std::max({red(c), green(c), blue(c)}) - std::min({red(c), green(c), blue(c)});
        };
        if (check == "unchanged")
            QCOMPARE(out, input);
        else if (check == "grey")
            QVERIFY2(qAbs(r - g) <= 1 && qAbs(g - b) <= 1, qPrintable(QString::number(out, 16)));
        else if (check == "narrower")
            QVERIFY(spread(out) < spread(input) && spread(out) > 0);
        else if (check == "wider")
            QVERIFY(spread(out) > spread(input));
        else if (check == "cyanish")
            QVERIFY2(g > r && b > r, qPrintable(QString::number(out, 16)));
        else if (check == "white")
            QCOMPARE(out, RGB(255, 255, 255));
        else if (check == "black")
            QCOMPARE(out, 0);
        else if (check == "plus51")
            QCOMPARE(out, RGB(61, 81, 91));
    }

    // The tint re-applies the colour adjustment stored on the surface through its HALFTONE
    // redraw; without an adjustment and with all arguments 0 the image is untouched.
    void tintReappliesColourAdjustment()
    {
        Surface picture(4, 4, RGB(100, 0, 255));
        picture.setPixel(1, 1, RGB(7, 8, 9));
        const QImage before = picture.image().copy();
        TintPicture(picture, 0, 0, 0);
        QCOMPARE(picture.image(), before);
        QCOMPARE(picture.stretchMode(), Surface::StretchMode::Halftone);

        picture.setBrightnessAdjustment(50);
        TintPicture(picture, 0, 0, 0);
        QCOMPARE(picture.pixel(0, 0), RGB(178, 128, 255)); // 100 + 77.5 -> 178, 0 + 127.5 -> 128
        TintPicture(picture, 0, 0, 0);
        QCOMPARE(picture.pixel(0, 0), RGB(216, 192, 255)); // applied again: 178 + 38.5 -> 216
    }
};

QTEST_MAIN(TestColor)
#include "tst_color.moc"
