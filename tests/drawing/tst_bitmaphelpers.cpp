#include "SurfaceTestUtil.h"
#include "drawing/BitmapHelpers.h"
#include "drawing/LineGS.h"
#include "drawing/Surface.h"

#include <QtTest>


using namespace SurfaceTestUtil;
using Color::RGB;

namespace {

constexpr OleColor Ink = 0x3264C8; // RGB(200, 100, 50)

// The rounded rectangle put together from its documented parts: the straight edges (ends
// given in the picture's coordinates) and the four corner arcs with their centres.
struct Arc {
    int cx, cy;
    float from, to;
};
Surface composed(int width, int height, bool fill, QRect fillRect, const QList<QRect> &edges, int rx, int ry,
                 const QList<Arc> &arcs)
{
    Surface s(width, height);
    if (fill) {
        s.setFillStyle(Surface::FillStyle::Solid);
        s.setFillColor(Ink);
        s.setForeColor(Ink);
        s.roundRect(fillRect.left(), fillRect.top(), fillRect.right(), fillRect.bottom(), 500, 500);
    }
    for (const QRect &e : edges) // left, top = first end; width, height = second end
        s.line(e.left(), e.top(), e.width(), e.height(), Ink);
    LineGS g;
    g.DIB(s, width + 10, height + 10);
    for (const Arc &a : arcs)
        g.ArcDIB(a.cx, a.cy, rx, ry, a.from, a.to, Ink, 0);
    g.Array2Pic();
    return s;
}

// Line pixels that the corner arcs blend over again lose a level or two to the arcs' divisor 256.
bool nearInk(OleColor c)
{
    return qAbs(Color::red(c) - Color::red(Ink)) <= 3 && qAbs(Color::green(c) - Color::green(Ink)) <= 3
           && qAbs(Color::blue(c) - Color::blue(Ink)) <= 3;
}

} // namespace

class TestBitmapHelpers : public QObject {
    Q_OBJECT
private slots:
    // 100 × 30 with corners 500: R = 99, B = 29, rx = 50 (49.5 to even), ry = 14 (14.5 to
    // even); top and bottom lines are the single pixels (50, 0) and (50, 29); the sides run
    // from row 14 towards row 16; arcs centred on (50, 14), (49, 14), (49, 15) and (50, 15).
    void pill_data()
    {
        QTest::addColumn<bool>("fill");
        QTest::newRow("filled") << true;
        QTest::newRow("outline") << false;
    }
    void pill()
    {
        QFETCH(bool, fill);
        Surface picture(100, 30);
        DrawSmoothRoundRect(picture, 0, 0, 100, 30, 500, 500, Ink, fill);
        const Surface expected = composed(100, 30, fill, QRect(QPoint(0, 0), QPoint(100, 30)),
                                          {QRect(50, 0, 50, 0), QRect(50, 29, 50, 29), QRect(0, 14, 0, 16),
                                           QRect(99, 14, 99, 16)},
                                          50, 14, {{50, 14, 180, 270}, {49, 14, 90, 180}, {49, 15, 0, 90}, {50, 15, 270, 360}});
        QCOMPARE(picture.image(), expected.image());

        for (const QPoint &p : points("50,0 50,29 0,14 0,15 99,14 99,15"))
            QVERIFY(nearInk(picture.pixel(p.x(), p.y())));
        if (fill) {
            for (int y = 5; y <= 24; ++y)
                for (int x = 25; x <= 74; ++x)
                    QCOMPARE(picture.pixel(x, y), Ink);
        } else {
            QCOMPARE(picture.pixel(50, 15), 0);
        }
        QCOMPARE(picture.pixel(0, 0), 0);
        QCOMPARE(picture.pixel(99, 29), 0);
    }

    // Bottom 40 on a picture 30 high: B = 29 and 40 > B + 2, so no bottom line and no lower
    // arcs; the sides are the lines (0, 14)-(0, 29) and (99, 14)-(99, 29), whose last point is
    // left out as of every one-pixel line.
    void bottomCutOff_data()
    {
        QTest::addColumn<bool>("fill");
        QTest::newRow("filled") << true;
        QTest::newRow("outline") << false;
    }
    void bottomCutOff()
    {
        QFETCH(bool, fill);
        Surface picture(100, 30);
        DrawSmoothRoundRect(picture, 0, 0, 100, 40, 500, 500, Ink, fill);
        const Surface expected = composed(100, 30, fill, QRect(QPoint(0, 0), QPoint(100, 40)),
                                          {QRect(50, 0, 50, 0), QRect(0, 14, 0, 29), QRect(99, 14, 99, 29)}, 50, 14,
                                          {{50, 14, 180, 270}, {49, 14, 90, 180}});
        QCOMPARE(picture.image(), expected.image());
        if (!fill) {
            for (int y = 17; y < 30; ++y)
                for (int x = 1; x < 99; ++x)
                    QCOMPARE(picture.pixel(x, y), 0);
            QCOMPARE(picture.pixel(0, 28), Ink);
            QCOMPARE(picture.pixel(99, 28), Ink);
            QCOMPARE(picture.pixel(0, 29), 0);
        } else {
            QCOMPARE(picture.pixel(50, 29), Ink);
        }
    }

    // Small corners keep their size; corner radii round half to even; the picture's drawing
    // state is as it was.
    void smallCornersAndStateRestored()
    {
        Surface picture(40, 20);
        picture.setFillStyle(Surface::FillStyle::Transparent);
        picture.setFillColor(RGB(1, 2, 3));
        picture.setForeColor(RGB(4, 5, 6));
        DrawSmoothRoundRect(picture, 2, 3, 30, 15, 9, 5, Ink, true);
        QCOMPARE(picture.fillStyle(), Surface::FillStyle::Transparent);
        QCOMPARE(picture.fillColor(), RGB(1, 2, 3));
        QCOMPARE(picture.foreColor(), RGB(4, 5, 6));
        // rx = 4 (4.5 to even), ry = 2 (2.5 to even): top line from x = 6 up to R − rx = 25.
        for (int x = 6; x <= 25; ++x)
            QVERIFY(nearInk(picture.pixel(x, 3)));
        QCOMPARE(picture.pixel(31, 8), 0); // right edge at R = 29
        QCOMPARE(picture.pixel(29, 8), Ink);
        QCOMPARE(picture.pixel(15, 16), 0); // bottom edge at B = 14
        QCOMPARE(picture.pixel(15, 14), Ink);
    }

    void brightenRect_data()
    {
        QTest::addColumn<int>("amount");
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("level");
        QTest::newRow("150 acts as 100") << 150 << 100 << 255;
        QTest::newRow("-250 acts as -100") << -250 << -100 << 0;
        QTest::newRow("50") << 50 << 50 << 178;
        QTest::newRow("-50") << -50 << -50 << 50;
        QTest::newRow("0") << 0 << 0 << 100;
    }
    void brightenRect()
    {
        QFETCH(int, amount);
        QFETCH(int, stored);
        QFETCH(int, level);
        const OleColor grey = RGB(100, 100, 100);
        Surface picture(10, 8, grey);
        BrightenRect(picture, amount, 2, 3, 4, 2);
        QCOMPARE(picture.brightnessAdjustment(), stored);
        QCOMPARE(picture.stretchMode(), Surface::StretchMode::Halftone);
        QSet<QPoint> changed;
        for (int y = 3; y < 5; ++y)
            for (int x = 2; x < 6; ++x) {
                QCOMPARE(picture.pixel(x, y), RGB(level, level, level));
                changed.insert(QPoint(x, y));
            }
        if (level != 100)
            QCOMPARE(pixelsNot(picture, grey), changed);
    }

    // Repeated brightening adds up: the overlap of two bands is brighter than either.
    void brightenRectAccumulates()
    {
        Surface picture(4, 4, RGB(100, 100, 100));
        BrightenRect(picture, 10, 0, 0, 4, 2);
        BrightenRect(picture, 10, 0, 0, 4, 1);
        QCOMPARE(picture.pixel(0, 0), RGB(130, 130, 130)); // 100 + 15.5 -> 116, 116 + 13.9 -> 130
        QCOMPARE(picture.pixel(0, 1), RGB(116, 116, 116));
        QCOMPARE(picture.pixel(0, 2), RGB(100, 100, 100));
    }
};

QTEST_MAIN(TestBitmapHelpers)
#include "tst_bitmaphelpers.moc"
