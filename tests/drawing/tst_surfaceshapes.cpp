#include "SurfaceTestUtil.h"
#include "drawing/PixelOps.h"
#include "drawing/Surface.h"

#include <QGuiApplication>
#include <QPalette>
#include <QtTest>

#include <climits>

using namespace SurfaceTestUtil;
using Color::RGB;

class TestSurfaceShapes : public QObject {
    Q_OBJECT
private slots:
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
        QTest::newRow("pill, corners limited to the figure") << QRect(0, 0, 100, 30) << QSize(500, 500) << 1;
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

QTEST_MAIN(TestSurfaceShapes)
#include "tst_surfaceshapes.moc"
