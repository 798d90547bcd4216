#include "PixelOps.h"
#include "Surface.h"
#include "SurfaceTestUtil.h"

#include <QBitmap>
#include <QGuiApplication>
#include <QPalette>
#include <QtTest>

#include <climits>

using namespace SurfaceTestUtil;
using Color::RGB;

namespace {

constexpr OleColor White = 0xFFFFFF;
constexpr OleColor Red = 0x0000FF;

// The bounding rectangle of the pixels that differ from the colour.
QRect inkBounds(const Surface &s, OleColor background)
{
    QRect bounds;
    for (const QPoint &p : pixelsNot(s, background))
        bounds |= QRect(p, QSize(1, 1));
    return bounds;
}

Surface rowOf(std::initializer_list<OleColor> colours)
{
    Surface s(int(colours.size()), 1);
    int x = 0;
    for (OleColor c : colours)
        s.setPixel(x++, 0, c);
    return s;
}

} // namespace

class TestSurface : public QObject {
    Q_OBJECT
private slots:
    // The 16-bit forms of the blends against their definitions, for every channel and alpha.
    void blendFormulasExhaustive()
    {
        for (int a = 0; a < 256; ++a)
            for (int src = 0; src < 256; ++src)
                for (int dst = 0; dst < 256; ++dst) {
                    const int straight = (src * a + dst * (255 - a) + 127) / 255;
                    const int additive = std::min(255, dst + (src * a + 127) / 255);
                    if (PixelOps::blendStraight(uint8_t(src), uint8_t(dst), uint16_t(a)) != straight
                        || PixelOps::blendAdditive(uint8_t(src), uint8_t(dst), uint16_t(a)) != additive)
                        QFAIL(qPrintable(QStringLiteral("s %1 d %2 a %3").arg(src).arg(dst).arg(a)));
                }
    }

    void divRoundHalfEven_data()
    {
        QTest::addColumn<qint64>("n");
        QTest::addColumn<qint64>("d");
        QTest::addColumn<qint64>("q");
        QTest::newRow("2.5") << qint64(5) << qint64(2) << qint64(2);
        QTest::newRow("3.5") << qint64(7) << qint64(2) << qint64(4);
        QTest::newRow("-0.5") << qint64(-50) << qint64(100) << qint64(0);
        QTest::newRow("-1.5") << qint64(-150) << qint64(100) << qint64(-2);
        QTest::newRow("-50.5") << qint64(-5050) << qint64(100) << qint64(-50);
        QTest::newRow("1.49") << qint64(149) << qint64(100) << qint64(1);
        QTest::newRow("-1.51") << qint64(-151) << qint64(100) << qint64(-2);
    }
    void divRoundHalfEven()
    {
        QFETCH(qint64, n);
        QFETCH(qint64, d);
        QTEST(qint64(PixelOps::divRoundHalfEven(n, d)), "q");
    }

    void pixels()
    {
        Surface s(4, 3, RGB(1, 2, 3));
        QCOMPARE(s.pixel(3, 2), RGB(1, 2, 3));
        s.setPixel(3, 2, Red);
        QCOMPARE(s.pixel(3, 2), Red);
        QCOMPARE(s.pixel(-1, 0), -1);
        QCOMPARE(s.pixel(4, 0), -1);
        QCOMPARE(s.pixel(0, 3), -1);
        s.setPixel(4, 0, Red); // clipped, no effect
        s.setPixel(INT_MIN, INT_MAX, Red);
        QCOMPARE(pixelsOf(s, Red).size(), 1);
        s.setPixel(0, 0, int(0x8000000F));
        QCOMPARE(s.pixel(0, 0), Color::fromQRgb(QGuiApplication::palette().color(QPalette::Button).rgb()));
        s.setPixel(1, 0, int(0x80000019)); // untranslatable draws black
        QCOMPARE(s.pixel(1, 0), 0);
    }

    void clearAndResize()
    {
        Surface s(3, 2, RGB(9, 9, 9));
        s.setPixel(2, 1, Red);
        s.setBackColor(RGB(0, 0, 50));
        QCOMPARE(s.pixel(0, 0), RGB(9, 9, 9)); // a new back colour does not clear
        s.resize(5, 3);
        QCOMPARE(s.width(), 5);
        QCOMPARE(s.height(), 3);
        QCOMPARE(s.pixel(2, 1), Red);
        QCOMPARE(s.pixel(4, 2), RGB(0, 0, 50));
        s.clear();
        QCOMPARE(pixelsNot(s, RGB(0, 0, 50)).size(), 0);
        s.resize(-4, 2);
        QCOMPARE(s.width(), 0);
    }

    void lines_data()
    {
        QTest::addColumn<QRect>("ends"); // x1, y1, x2, y2 stored as left, top, width, height
        QTest::addColumn<QString>("expected");
        QTest::newRow("last point left out") << QRect(2, 3, 6, 3) << "2,3 3,3 4,3 5,3";
        QTest::newRow("backwards") << QRect(6, 3, 2, 3) << "6,3 5,3 4,3 3,3";
        QTest::newRow("coinciding ends set one pixel") << QRect(4, 4, 4, 4) << "4,4";
        QTest::newRow("diagonal") << QRect(1, 1, 4, 4) << "1,1 2,2 3,3";
        QTest::newRow("shallow") << QRect(0, 0, 4, 2) << "0,0 1,1 2,1 3,2";
        QTest::newRow("vertical up") << QRect(3, 10, 3, 7) << "3,10 3,9 3,8";
        QTest::newRow("partly outside") << QRect(-2, 11, 2, 11) << "0,11 1,11";
        QTest::newRow("entirely outside") << QRect(-5, -1, 20, -1) << "";
    }
    void lines()
    {
        QFETCH(QRect, ends);
        QFETCH(QString, expected);
        Surface s(12, 12);
        s.line(ends.left(), ends.top(), ends.width(), ends.height(), White);
        QCOMPARE(describe(pixelsOf(s, White)), describe(points(expected)));
    }

    void extremeCoordinatesClip()
    {
        Surface s(12, 12);
        s.line(-1000000000, 5, 1000000000, 5, White);
        QCOMPARE(pixelsOf(s, White).size(), 12);
        s.clear();
        s.line(INT_MIN, INT_MIN, INT_MAX, INT_MAX, White);
        QVERIFY(pixelsOf(s, White).contains(QPoint(6, 6)));
        s.setPenWidth(3);
        s.line(INT_MIN, 5, INT_MAX, 5, Red);
        QCOMPARE(pixelsOf(s, Red).size(), 36);
        s.box(INT_MIN, INT_MIN, INT_MAX, INT_MAX, Red);
        s.circle(0, 0, INT_MAX, Red);
        s.roundRect(INT_MIN, INT_MIN, INT_MAX, INT_MAX, INT_MAX, INT_MAX);
        s.filledBox(INT_MIN, 0, INT_MAX, 0, Red);
        QCOMPARE(s.pixel(11, 0), Red);
    }

    void wideLines_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<QRect>("bounds");
        QTest::addColumn<int>("count");
        // Round caps reach half the width beyond each end; an even width lies between rows.
        QTest::newRow("2") << 2 << QRect(QPoint(1, 4), QPoint(8, 5)) << 16;
        QTest::newRow("3") << 3 << QRect(QPoint(1, 4), QPoint(9, 6)) << 27;
    }
    void wideLines()
    {
        QFETCH(int, width);
        Surface s(12, 12);
        s.setPenWidth(width);
        s.line(2, 5, 8, 5, White);
        QTEST(inkBounds(s, 0), "bounds");
        QTEST(int(pixelsOf(s, White).size()), "count");
    }

    void boxes()
    {
        Surface s(12, 12);
        s.box(5, 4, 2, 2, White); // reversed corners, both included
        QCOMPARE(describe(pixelsOf(s, White)), describe(points("2,2 3,2 4,2 5,2 2,3 5,3 2,4 3,4 4,4 5,4")));

        s.clear();
        s.setFillStyle(Surface::FillStyle::Solid);
        s.setFillColor(Red);
        s.box(2, 2, 5, 4, White);
        QCOMPARE(describe(pixelsOf(s, Red)), describe(points("3,3 4,3")));

        s.clear();
        s.setFillStyle(Surface::FillStyle::Transparent);
        s.setPenWidth(3); // one pixel outside the edge, one inside
        s.box(2, 2, 8, 8, White);
        QCOMPARE(inkBounds(s, 0), QRect(QPoint(1, 1), QPoint(9, 9)));
        QCOMPARE(pixelsOf(s, White).size(), 81 - 9);
        QCOMPARE(s.pixel(4, 4), 0);
        QCOMPARE(s.pixel(3, 3), White);

        s.clear();
        s.filledBox(5, 4, 2, 2, White);
        QCOMPARE(pixelsOf(s, White).size(), 12);
        QCOMPARE(inkBounds(s, 0), QRect(QPoint(2, 2), QPoint(5, 4)));
    }

    void circles_data()
    {
        QTest::addColumn<int>("radius");
        QTest::addColumn<int>("penWidth");
        QTest::addColumn<int>("count");
        QTest::newRow("radius 0") << 0 << 1 << 1;
        QTest::newRow("radius 3") << 3 << 1 << 16;
        QTest::newRow("radius 3 pen 2") << 3 << 2 << 36;
        QTest::newRow("negative radius") << -2 << 1 << 0;
    }
    void circles()
    {
        QFETCH(int, radius);
        QFETCH(int, penWidth);
        Surface s(11, 11);
        s.setPenWidth(penWidth);
        s.circle(5, 5, radius, White);
        const QSet<QPoint> ring = pixelsOf(s, White);
        QTEST(int(ring.size()), "count");
        for (const QPoint &p : ring) { // symmetric in all eight octants
            const int dx = p.x() - 5, dy = p.y() - 5;
            for (QPoint q : {QPoint(-dx, dy), QPoint(dx, -dy), QPoint(dy, dx), QPoint(-dy, -dx)})
                QVERIFY(ring.contains(q + QPoint(5, 5)));
        }
        if (radius > 0) {
            QVERIFY(ring.contains(QPoint(5 - radius, 5)));
            QVERIFY(ring.contains(QPoint(5, 5 + radius)));
            QVERIFY(!ring.contains(QPoint(5, 5)));
            s.setFillStyle(Surface::FillStyle::Solid);
            s.setFillColor(Red);
            s.circle(5, 5, radius, White);
            QCOMPARE(s.pixel(5, 5), Red);
            QCOMPARE(pixelsOf(s, White).size(), ring.size());
        }
    }

    void roundRectPill()
    {
        Surface s(110, 40);
        s.setForeColor(White);
        s.setFillStyle(Surface::FillStyle::Solid);
        s.setFillColor(Red);
        s.roundRect(0, 0, 100, 30, 500, 500);
        // Right and bottom edges excluded; corner sizes limited to the figure.
        QCOMPARE(inkBounds(s, 0), QRect(0, 0, 100, 30));
        // Top row: (ex/50)² + (14.5/15)² ≤ 1 holds from column 37 to 62.
        QCOMPARE(s.pixel(36, 0), 0);
        QCOMPARE(s.pixel(37, 0), White);
        QCOMPARE(s.pixel(62, 0), White);
        QCOMPARE(s.pixel(63, 0), 0);
        QCOMPARE(s.pixel(0, 15), White);
        QCOMPARE(s.pixel(99, 15), White);
        QCOMPARE(s.pixel(1, 15), Red);
        QCOMPARE(s.pixel(50, 15), Red);
        QCOMPARE(s.pixel(0, 0), 0);
        // Every row is one run, symmetric about the middle; the pen covers only the rim.
        for (int y = 0; y < 30; ++y) {
            int first = 0;
            while (s.pixel(first, y) == 0)
                ++first;
            QCOMPARE(s.pixel(first, y), White);
            QCOMPARE(s.pixel(99 - first, y), White);
            QCOMPARE(s.pixel(100 - first, y), 0);
            QCOMPARE(s.pixel(50, y), y == 0 || y == 29 ? White : Red);
        }
    }

    // The same call gives the same coverage wherever it lands.
    void roundRectTranslationInvariant()
    {
        Surface a(60, 40), b(60, 40);
        for (Surface *s : {&a, &b}) {
            s->setForeColor(White);
            s->setPenWidth(2);
        }
        a.roundRect(1, 2, 41, 25, 17, 9);
        b.roundRect(8, 13, 48, 36, 17, 9);
        QSet<QPoint> shifted;
        for (const QPoint &p : pixelsOf(a, White))
            shifted.insert(p + QPoint(7, 11));
        QCOMPARE(describe(pixelsOf(b, White)), describe(shifted));
        QCOMPARE(b.pixel(28, 24), 0); // the pen does not fill
    }

    void roundRectCorners_data()
    {
        QTest::addColumn<int>("corner");
        QTest::addColumn<QString>("outside");
        QTest::addColumn<QString>("inside");
        QTest::newRow("square") << 0 << "" << "0,0 9,0 0,9 9,9";
        QTest::newRow("4 cuts the corner pixels") << 4 << "0,0 9,0 0,9 9,9" << "1,0 0,1 8,9 9,8";
        QTest::newRow("reversed corner sizes act alike") << -4 << "0,0 9,9" << "1,0 0,1";
    }
    void roundRectCorners()
    {
        QFETCH(int, corner);
        QFETCH(QString, outside);
        QFETCH(QString, inside);
        Surface s(12, 12);
        s.setForeColor(White);
        s.roundRect(10, 10, 0, 0, corner, corner); // reversed rectangle
        for (const QPoint &p : points(outside))
            QCOMPARE(s.pixel(p.x(), p.y()), 0);
        for (const QPoint &p : points(inside))
            QCOMPARE(s.pixel(p.x(), p.y()), White);
        QCOMPARE(s.pixel(10, 5), 0);
    }

    // The documented coverage rule, pixel by pixel, against what roundRect paints: the brush
    // fills the inside, the pen the inside pixels that the figure inset by the pen width lacks.
    void roundRectFollowsCoverageRule_data()
    {
        QTest::addColumn<QRect>("figure"); // left, top, right, bottom as x, y, width, height
        QTest::addColumn<QSize>("corner");
        QTest::addColumn<int>("pen");
        QTest::newRow("pill") << QRect(0, 0, 100, 30) << QSize(500, 500) << 1;
        QTest::newRow("odd width") << QRect(3, 2, 30, 19) << QSize(9, 5) << 1;
        QTest::newRow("wide pen") << QRect(1, 1, 60, 40) << QSize(31, 17) << 3;
        QTest::newRow("thin") << QRect(5, 5, 45, 7) << QSize(12, 12) << 2;
        QTest::newRow("partly off the surface") << QRect(-20, -4, 50, 30) << QSize(40, 40) << 1;
        QTest::newRow("one column") << QRect(4, 4, 5, 20) << QSize(6, 6) << 1;
    }
    void roundRectFollowsCoverageRule()
    {
        QFETCH(QRect, figure);
        QFETCH(QSize, corner);
        QFETCH(int, pen);
        const int64_t l = figure.x(), t = figure.y(), r = figure.width(), b = figure.height();
        const auto inside = [](int64_t l, int64_t t, int64_t r, int64_t b, int64_t a, int64_t bb, int x, int y) {
            if (x < l || x >= r || y < t || y >= b)
                return false;
            const int64_t ex = std::max<int64_t>({0, 2 * l + a - (2 * x + 1), 2 * x + 1 - (2 * r - a)});
            const int64_t ey = std::max<int64_t>({0, 2 * t + bb - (2 * y + 1), 2 * y + 1 - (2 * b - bb)});
            return ex * ex * bb * bb + ey * ey * a * a <= a * a * bb * bb;
        };
        const int64_t a = std::min<int64_t>(corner.width(), r - l), bb = std::min<int64_t>(corner.height(), b - t);
        Surface s(110, 45);
        s.setForeColor(White);
        s.setFillStyle(Surface::FillStyle::Solid);
        s.setFillColor(Red);
        s.setPenWidth(pen);
        s.roundRect(int(l), int(t), int(r), int(b), corner.width(), corner.height());
        for (int y = 0; y < s.height(); ++y)
            for (int x = 0; x < s.width(); ++x) {
                const bool in = inside(l, t, r, b, a, bb, x, y);
                const bool core = inside(l + pen, t + pen, r - pen, b - pen, std::max<int64_t>(0, a - 2 * pen),
                                         std::max<int64_t>(0, bb - 2 * pen), x, y);
                const OleColor expected = !in ? 0 : (core ? Red : White);
                if (s.pixel(x, y) != expected)
                    QFAIL(qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
            }
    }

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
        Surface s(2, 2, RGB(in, in, in));
        s.setStretchMode(Surface::StretchMode::Halftone);
        s.setBrightnessAdjustment(brightness);
        s.stretchBlt(0, 0, 2, 2, s, 0, 0, 2, 2);
        QCOMPARE(s.pixel(1, 1), RGB(out, out, out));
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

    void mask()
    {
        const Surface s = rowOf({Red, White, Red, 0});
        const QImage image = s.toMask(Red).toImage();
        QCOMPARE(image.size(), QSize(4, 1));
        const QList<QRgb> expected = {qRgb(255, 255, 255), qRgb(0, 0, 0), qRgb(255, 255, 255), qRgb(0, 0, 0)};
        for (int x = 0; x < 4; ++x)
            QCOMPARE(image.pixel(x, 0) | 0xFF000000u, expected[x]); // white: transparent
    }

    void textAlignment_data()
    {
        QTest::addColumn<int>("flags");
        QTest::addColumn<QString>("check");
        QTest::newRow("left") << int(Surface::AlignLeft) << "left";
        QTest::newRow("right") << int(Surface::AlignRight) << "right";
        QTest::newRow("centre") << int(Surface::AlignCenter) << "centre";
        QTest::newRow("vcentre needs single line") << int(Surface::VCenter | Surface::WordBreak) << "top";
        QTest::newRow("single line vcentre") << int(Surface::VCenter | Surface::SingleLine) << "middle";
        QTest::newRow("single line bottom") << int(Surface::Bottom | Surface::SingleLine) << "bottom";
    }
    void textAlignment()
    {
        QFETCH(int, flags);
        QFETCH(QString, check);
        Surface s(200, 80);
        QFont font(QStringLiteral("Liberation Sans"));
        font.setPixelSize(16);
        s.setFont(font);
        s.setTextColor(White);
        s.drawText(QStringLiteral("Hello"), 10, 10, 190, 70, flags);
        const QRect ink = inkBounds(s, 0);
        QVERIFY(!ink.isEmpty());
        QVERIFY(QRect(QPoint(10, 10), QPoint(189, 69)).contains(ink));
        if (check == "left")
            QVERIFY2(ink.left() <= 13, qPrintable(QString::number(ink.left())));
        else if (check == "right")
            QVERIFY2(ink.right() >= 185, qPrintable(QString::number(ink.right())));
        else if (check == "centre")
            QVERIFY2(qAbs(ink.center().x() - 100) <= 3, qPrintable(QString::number(ink.center().x())));
        else if (check == "top")
            QVERIFY2(ink.top() <= 16, qPrintable(QString::number(ink.top())));
        else if (check == "middle")
            QVERIFY2(qAbs(ink.center().y() - 40) <= 4, qPrintable(QString::number(ink.center().y())));
        else if (check == "bottom")
            QVERIFY2(ink.bottom() >= 62, qPrintable(QString::number(ink.bottom())));
    }

    void textClipWrapAndTurn()
    {
        QFont font(QStringLiteral("Liberation Sans"));
        font.setPixelSize(14);
        Surface s(200, 120);
        s.setFont(font);
        s.setTextColor(White);
        const QString wide = QStringLiteral("WWWWWWWWWWWW");
        s.drawText(wide, 10, 10, 40, 30, Surface::AlignLeft);
        QVERIFY(QRect(QPoint(10, 10), QPoint(39, 29)).contains(inkBounds(s, 0)));
        s.clear();
        s.drawText(wide, 10, 10, 40, 30, Surface::AlignLeft | Surface::NoClip);
        QVERIFY(inkBounds(s, 0).right() > 60);

        s.clear();
        const QString words = QStringLiteral("aaa bbb ccc ddd");
        s.drawText(words, 0, 0, 30, 120, Surface::WordBreak); // one word a line
        const QRect wrapped = inkBounds(s, 0);
        QVERIFY2(wrapped.height() > 3 * s.textHeight(QStringLiteral("a")), qPrintable(QString::number(wrapped.height())));
        QVERIFY(wrapped.right() < 30);
        s.clear();
        s.drawText(words, 0, 0, 30, 120, Surface::AlignLeft);
        QVERIFY(inkBounds(s, 0).height() < s.textHeight(QStringLiteral("a")));

        s.clear();
        s.setFontEscapement(-900); // runs down the surface
        s.drawText(QStringLiteral("Hello"), 100, 5, 200, 120, Surface::AlignLeft);
        const QRect turned = inkBounds(s, 0);
        QVERIFY2(turned.height() > 2 * turned.width(), qPrintable(QStringLiteral("%1x%2").arg(turned.width()).arg(turned.height())));
        QVERIFY(turned.top() >= 5);

        QCOMPARE(s.textHeight(QStringLiteral("a\r\nb")), 2 * s.textHeight(QStringLiteral("a")));
        QCOMPARE(s.textHeight(QStringLiteral("a\rb\nc")), 3 * s.textHeight(QStringLiteral("a")));
        QCOMPARE(s.textWidth(QStringLiteral("ab\r\nabcd")), s.textWidth(QStringLiteral("abcd")));
    }

    void emptySurfaceIsHarmless()
    {
        Surface s;
        Surface other(3, 3, White);
        s.clear();
        s.line(0, 0, 5, 5, Red);
        s.box(0, 0, 5, 5, Red);
        s.filledBox(0, 0, 5, 5, Red);
        s.circle(1, 1, 3, Red);
        s.roundRect(0, 0, 5, 5, 2, 2);
        s.bitBlt(0, 0, 3, 3, other, 0, 0);
        s.stretchBlt(0, 0, 3, 3, other, 0, 0, 3, 3);
        s.alphaBlend(0, 0, 3, 3, other, 0, 0, 3, 3, 100);
        s.transparentBlt(0, 0, 3, 3, other, 0, 0, 3, 3, 0);
        s.drawText(QStringLiteral("x"), 0, 0, 5, 5, 0);
        other.stretchBlt(0, 0, 3, 3, s, 0, 0, 3, 3);
        QCOMPARE(s.pixel(0, 0), -1);
        QVERIFY(s.getDIBits(2, 2) == std::vector<uint32_t>(4, 0u));
        QCOMPARE(pixelsNot(other, White).size(), 0);
        other.stretchBlt(0, 0, 3, 3, other, INT_MIN, INT_MIN, INT_MAX, INT_MAX);
        other.setStretchMode(Surface::StretchMode::Halftone);
        other.stretchBlt(0, 0, 3, 3, other, -1000000000, 0, INT_MAX, 1);
        other.stretchBlt(INT_MIN, INT_MIN, INT_MAX, INT_MAX, other, 0, 0, 3, 3);
    }
};

QTEST_MAIN(TestSurface)
#include "tst_surface.moc"
