#include "SurfaceTestUtil.h"
#include "drawing/Surface.h"

#include <QGuiApplication>
#include <QPalette>
#include <QtTest>

#include <climits>

using namespace SurfaceTestUtil;
using Color::RGB;

class TestSurfaceCopies : public QObject {
    Q_OBJECT
private slots:
    void bitBltOverlappingSelf()
    {
        Surface s(10, 1);
        for (int x = 0; x < 10; ++x)
            s.setPixel(x, 0, RGB(x * 10, 0, 0));
        s.bitBlt(1, 0, 9, 1, s, 0, 0);
        for (int x = 1; x < 10; ++x)
            QCOMPARE(s.pixel(x, 0), RGB((x - 1) * 10, 0, 0));
        s.bitBlt(0, 0, 9, 1, s, 1, 0);
        for (int x = 0; x < 9; ++x)
            QCOMPARE(s.pixel(x, 0), RGB(x * 10, 0, 0));
        // Source pixels beyond the source leave the destination as it is.
        s.bitBlt(5, 0, 5, 1, s, 8, 0);
        QCOMPARE(s.pixel(5, 0), RGB(80, 0, 0));
        QCOMPARE(s.pixel(6, 0), RGB(80, 0, 0));
        QCOMPARE(s.pixel(7, 0), RGB(70, 0, 0));
    }

    void stretchNearest_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("expected");
        QTest::newRow("doubled") << 0 << 4 << "AABB";
        QTest::newRow("mirrored") << 3 << -4 << "BBAA";
        QTest::newRow("clipped left") << -2 << 4 << "BB..";
    }
    void stretchNearest()
    {
        QFETCH(int, x);
        QFETCH(int, width);
        QFETCH(QString, expected);
        const OleColor a = RGB(10, 0, 0), b = RGB(20, 0, 0);
        const Surface source = rowOf({a, b});
        Surface s(4, 1);
        s.setBrightnessAdjustment(60); // ignored outside HALFTONE
        s.stretchBlt(x, 0, width, 1, source, 0, 0, 2, 1);
        QString got;
        for (int i = 0; i < 4; ++i)
            got += s.pixel(i, 0) == a ? 'A' : s.pixel(i, 0) == b ? 'B' : '.';
        QCOMPARE(got, expected);
    }

    void halftoneAverages()
    {
        const Surface source = rowOf({RGB(0, 10, 1), RGB(255, 20, 2), RGB(10, 0, 3), RGB(20, 0, 3)});
        Surface s(2, 1);
        s.setStretchMode(Surface::StretchMode::Halftone);
        s.stretchBlt(0, 0, 2, 1, source, 0, 0, 4, 1);
        QCOMPARE(s.pixel(0, 0), RGB(128, 15, 2)); // 127.5 -> 128, 1.5 -> 2
        QCOMPARE(s.pixel(1, 0), RGB(15, 0, 3));
        Surface big(3, 3);
        big.setStretchMode(Surface::StretchMode::Halftone);
        big.stretchBlt(0, 0, 3, 3, source, 1, 0, 1, 1);
        QCOMPARE(pixelsOf(big, RGB(255, 20, 2)).size(), 9);
    }

    void halftoneBrightness_data()
    {
        QTest::addColumn<int>("brightness");
        QTest::addColumn<int>("in");
        QTest::addColumn<int>("out");
        QTest::newRow("0 keeps") << 0 << 77 << 77;
        QTest::newRow("+50: 100 + 77.5 -> 178") << 50 << 100 << 178;
        QTest::newRow("-50: 101 - 50.5 -> 51") << -50 << 101 << 51;
        QTest::newRow("+100 white") << 100 << 0 << 255;
        QTest::newRow("-100 black") << -100 << 200 << 0;
        QTest::newRow("+25 keeps white") << 25 << 255 << 255;
        QTest::newRow("clamped to 100") << 300 << 3 << 255;
    }
    void halftoneBrightness()
    {
        QFETCH(int, brightness);
        QFETCH(int, in);
        QFETCH(int, out);
        Surface s(3, 2, RGB(in, in, in));
        s.setStretchMode(Surface::StretchMode::Halftone);
        s.setBrightnessAdjustment(brightness);
        // Brightened in place: an image taken before keeps its pixels, and those outside stay.
        const QImage before = s.image();
        s.stretchBlt(0, 0, 2, 2, s, 0, 0, 2, 2);
        QCOMPARE(s.pixel(1, 1), RGB(out, out, out));
        QCOMPARE(s.pixel(2, 1), RGB(in, in, in));
        QCOMPARE(before.pixel(1, 1) & 0xFFFFFF, Color::toQRgb(RGB(in, in, in)) & 0xFFFFFF);
    }

    void alphaBlend_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("alpha");
        QTest::addColumn<int>("src");
        QTest::addColumn<int>("dst");
        QTest::addColumn<int>("expected");
        QTest::newRow("straight half") << 0 << 128 << 255 << 0 << 128;
        QTest::newRow("straight 0 keeps") << 0 << 0 << 255 << 7 << 7;
        QTest::newRow("straight 255 replaces") << 0 << 255 << 9 << 200 << 9;
        QTest::newRow("straight 125.1 -> 125") << 0 << 64 << 200 << 100 << 125;
        QTest::newRow("straight 60.2 -> 60") << 0 << 60 << 255 << 0 << 60;
        QTest::newRow("additive adds 100.4") << 1 << 128 << 200 << 100 << 200;
        QTest::newRow("additive clamps") << 1 << 255 << 255 << 200 << 255;
        QTest::newRow("additive 20") << 1 << 20 << 255 << 0 << 20;
        QTest::newRow("additive 0 keeps") << 1 << 0 << 255 << 50 << 50;
        QTest::newRow("unknown format draws nothing") << 2 << 255 << 255 << 50 << 50;
    }
    void alphaBlend()
    {
        QFETCH(int, format);
        QFETCH(int, alpha);
        QFETCH(int, src);
        QFETCH(int, dst);
        QFETCH(int, expected);
        const Surface source(1, 1, RGB(src, 0, src));
        Surface s(3, 2, RGB(dst, dst, 0));
        s.alphaBlend(0, 0, 3, 2, source, 0, 0, 1, 1, uint8_t(alpha), Surface::AlphaFormat(format));
        QCOMPARE(Color::red(s.pixel(2, 1)), expected);
    }

    void alphaBlendOntoItself()
    {
        const OleColor a = RGB(200, 0, 0), b = RGB(0, 200, 0), c = RGB(0, 0, 200), d = RGB(9, 9, 9);
        Surface s = rowOf({a, b, c, d});
        s.alphaBlend(1, 0, 3, 1, s, 0, 0, 3, 1, 255);
        QCOMPARE(s.pixel(1, 0), a);
        QCOMPARE(s.pixel(2, 0), b);
        QCOMPARE(s.pixel(3, 0), c);
        s.alphaBlend(0, 0, 4, 1, s, 0, 0, 4, 1, 255, Surface::AlphaFormat::Premultiplied);
        QCOMPARE(s.pixel(0, 0), RGB(255, 0, 0)); // doubled and clamped
        s.alphaBlend(0, 0, 0, 1, s, 0, 0, 4, 1, 255); // empty: nothing
        QCOMPARE(s.pixel(2, 0), RGB(0, 255, 0));
    }

    void transparentBlt_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("expected");
        const OleColor face = Color::fromQRgb(QGuiApplication::palette().color(QPalette::Button).rgb());
        QTest::newRow("first colour keyed") << RGB(1, 2, 3) << "ZXYF";
        QTest::newRow("second colour keyed") << RGB(4, 5, 6) << "KZYF";
        QTest::newRow("no pixel of the key") << RGB(0, 0, 1) << "KXYF";
        QTest::newRow("system colour key translated") << int(0x8000000F) << "KXYZ";
        QTest::newRow("rgb of the system colour") << face << "KXYZ";
    }
    void transparentBlt()
    {
        QFETCH(int, key);
        QFETCH(QString, expected);
        const OleColor k = RGB(1, 2, 3), x = RGB(4, 5, 6), y = RGB(7, 8, 9), z = RGB(99, 99, 99);
        const OleColor face = Color::fromQRgb(QGuiApplication::palette().color(QPalette::Button).rgb());
        const Surface source = rowOf({k, x, y, face});
        Surface s(8, 1, z);
        s.transparentBlt(0, 0, 8, 1, source, 0, 0, 4, 1, key); // stretched twice as wide
        QString got;
        for (int i = 0; i < 8; i += 2) {
            QCOMPARE(s.pixel(i + 1, 0), s.pixel(i, 0));
            const OleColor p = s.pixel(i, 0);
            got += p == k ? 'K' : p == x ? 'X' : p == y ? 'Y' : p == z ? 'Z' : p == face ? 'F' : '?';
        }
        QCOMPARE(got, expected);
    }

    void dibits()
    {
        Surface s(3, 2, RGB(1, 1, 1));
        s.setPixel(2, 1, RGB(0x11, 0x22, 0x33));
        const std::vector<uint32_t> bits = s.getDIBits(4, 3);
        QCOMPARE(bits.size(), size_t(12));
        QCOMPARE(bits[1 * 4 + 2], 0x00112233u); // 0x00RRGGBB, rows top-down
        QCOMPARE(bits[0], 0x00010101u);
        QCOMPARE(bits[3], 0u); // beyond the surface
        QCOMPARE(bits[2 * 4 + 0], 0u);
        QVERIFY(s.getDIBits(0, 5).empty());

        const std::vector<uint32_t> in = {0xAB445566u, 0x00000001u, 0x00FF0000u, 0x0000FF00u};
        s.setDIBits(-1, -1, 2, 2, in); // only the last pixel lands
        QCOMPARE(s.pixel(0, 0), RGB(0, 255, 0));
        QCOMPARE(s.pixel(1, 0), RGB(1, 1, 1));
        s.setDIBits(1, 0, 2, 2, in);
        QCOMPARE(s.pixel(1, 0), RGB(0x44, 0x55, 0x66)); // the fourth byte is not alpha
        QCOMPARE(s.getDIBits(3, 2)[1], 0x00445566u);
        QCOMPARE(s.pixel(2, 1), RGB(0, 255, 0));
        s.setDIBits(0, 0, 3, 3, in); // too few values: nothing
        QCOMPARE(s.pixel(0, 0), RGB(0, 255, 0));
    }

    void pictures()
    {
        QImage picture(2, 2, QImage::Format_RGB32);
        picture.fill(qRgb(255, 0, 0));
        Surface s(4, 3, RGB(0, 0, 255));
        s.setPixel(3, 2, White);
        s.setPicture(picture);
        QCOMPARE(s.pixel(1, 1), Red);
        QCOMPARE(s.pixel(2, 0), RGB(0, 0, 255)); // back colour around it
        QCOMPARE(s.pixel(3, 2), RGB(0, 0, 255));
        s.setPicture(QImage());
        QCOMPARE(pixelsNot(s, RGB(0, 0, 255)).size(), 0);

        QVERIFY(!s.paintPicture(QImage(), 0, 0, 4, 3));
        QVERIFY(s.paintPicture(picture, 1, 1, 3, 1));
        QCOMPARE(describe(pixelsOf(s, Red)), describe(points("1,1 2,1 3,1")));

        Surface own(3, 2, RGB(5, 6, 7));
        own.setPixel(2, 1, Red);
        own.setBackColor(White);
        own.setPicture(own.image()); // its own image comes back unchanged
        QCOMPARE(own.pixel(2, 1), Red);
        QCOMPARE(own.pixel(0, 0), RGB(5, 6, 7));

        QImage translucent(1, 1, QImage::Format_ARGB32);
        translucent.fill(qRgba(255, 255, 255, 128));
        Surface dark(2, 2);
        dark.paintPicture(translucent, 0, 0, 2, 2);
        QCOMPARE(dark.pixel(1, 1), RGB(128, 128, 128));
    }
};

QTEST_MAIN(TestSurfaceCopies)
#include "tst_surfacecopies.moc"
