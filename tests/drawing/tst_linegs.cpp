#include "SurfaceTestUtil.h"
#include "BoxRecorder.h"
#include "common/MessageBoxes.h"
#include "drawing/LineGS.h"
#include "drawing/Surface.h"

#include <QtTest>

#include <cmath>

using namespace SurfaceTestUtil;
using Color::RGB;

namespace {

// Which variant draws: straight onto the surface, or through a captured pixel array.
enum class Variant { GP, DIB };

void drawLine(Variant variant, Surface &s, int x1, int y1, int x2, int y2, OleColor colour)
{
    LineGS g;
    if (variant == Variant::GP) {
        g.LineGP(s, int16_t(x1), int16_t(y1), int16_t(x2), int16_t(y2), colour);
        return;
    }
    g.DIB(s, s.width() + 10, s.height() + 10);
    g.LineDIB(int16_t(x1), int16_t(y1), int16_t(x2), int16_t(y2), colour);
    g.Array2Pic();
}

void drawArc(Variant variant, Surface &s, int cx, int cy, int r, float from, float to)
{
    LineGS g;
    if (variant == Variant::GP) {
        g.ArcGP(s, cx, cy, r, r, from, to, White, 1);
        return;
    }
    g.DIB(s, s.width(), s.height());
    g.ArcDIB(cx, cy, r, r, from, to, White, 1);
    g.Array2Pic();
}

// Red blended with weight w over a white background: each channel (w·c + (255 − w)·255) \ 256.
OleColor redOverWhite(int w)
{
    if (w > 252)
        return Red;
    const int other = ((255 - w) * 255) / 256;
    return RGB((w * 255 + (255 - w) * 255) / 256, other, other);
}


} // namespace

Q_DECLARE_METATYPE(Variant)

class TestLineGS : public QObject {
    Q_OBJECT
private slots:
    void blendWeights_data()
    {
        QTest::addColumn<int>("weight");
        QTest::addColumn<int>("expected");
        QTest::newRow("127 over black") << 127 << RGB(126, 0, 0);
        QTest::newRow("253 is the colour") << 253 << RGB(255, 0, 0);
        QTest::newRow("252 still blends") << 252 << RGB(251, 0, 0);
        QTest::newRow("128") << 128 << RGB(127, 0, 0);
        QTest::newRow("0 keeps black") << 0 << 0;
    }
    void blendWeights()
    {
        QFETCH(int, weight);
        QFETCH(int, expected);
        Surface gp(1, 1), dib(1, 1);
        LineGS g;
        g.SetRGBComponents(Red);
        g.BlendPixelGP(gp, 0, 0, weight);
        g.DIB(dib, 1, 1);
        g.BlendPixelDIB(0, 0, weight);
        g.BlendPixelDIB(1, 0, 255); // outside the array: skipped
        g.BlendPixelDIB(0, -1, 255);
        g.Array2Pic();
        QCOMPARE(gp.pixel(0, 0), expected);
        QCOMPARE(dib.pixel(0, 0), expected);
    }

    void lines_data()
    {
        QTest::addColumn<Variant>("variant");
        QTest::addColumn<bool>("vertical");
        for (Variant v : {Variant::GP, Variant::DIB})
            for (bool vertical : {false, true})
                QTest::addRow("%s %s", v == Variant::GP ? "GP" : "DIB", vertical ? "vertical" : "horizontal")
                    << v << vertical;
    }
    // (10,10)-(20,10): core 10..20 full, the row above at 128 and below at 127 throughout (err
    // stays 5, G = 127), end caps of weight 0 at (9,9) and (21,11) and of 127 at (9,10) and (21,10).
    // The vertical line is the same with the axes exchanged.
    void lines()
    {
        QFETCH(Variant, variant);
        QFETCH(bool, vertical);
        Surface s(32, 32, White);
        const auto at = [vertical](int x, int y) { return vertical ? QPoint(y, x) : QPoint(x, y); };
        if (vertical)
            drawLine(variant, s, 10, 10, 10, 20, Red);
        else
            drawLine(variant, s, 10, 10, 20, 10, Red);
        QHash<QPoint, int> weights;
        for (int x = 10; x <= 20; ++x) {
            weights[at(x, 10)] = 255;
            weights[at(x, 9)] = 128;
            weights[at(x, 11)] = 127;
        }
        weights[at(9, 9)] = 0;
        weights[at(21, 11)] = 0;
        weights[at(9, 10)] = 127;
        weights[at(21, 10)] = 127;
        for (auto it = weights.cbegin(); it != weights.cend(); ++it)
            QCOMPARE(s.pixel(it.key().x(), it.key().y()), redOverWhite(it.value()));
        QCOMPARE(pixelsNot(s, White).size(), weights.size());
    }

    void diagonalIsMostlyVertical()
    {
        Surface s(16, 16);
        drawLine(Variant::DIB, s, 2, 2, 6, 6, Red);
        // Exact diagonal: E = 85, core on the diagonal, side pixels left and right of it.
        for (int i = 2; i <= 6; ++i)
            QCOMPARE(s.pixel(i, i), Red);
        QCOMPARE(s.pixel(1, 1), RGB(84, 0, 0)); // cap (X1 − sx, Y1 − sy) with 85
        QCOMPARE(s.pixel(2, 1), RGB(126, 0, 0)); // cap (X1, Y1 − sy) with 127
        QCOMPARE(s.pixel(7, 7), RGB(84, 0, 0));
    }

    void singlePointDrawsNothing()
    {
        for (Variant v : {Variant::GP, Variant::DIB}) {
            Surface s(4, 4, White);
            drawLine(v, s, 0, 0, 0, 0, Red);
            QCOMPARE(pixelsNot(s, White).size(), 0);
        }
    }

    void untranslatableColourIsBlack()
    {
        Surface s(8, 8, White);
        drawLine(Variant::GP, s, 1, 4, 6, 4, int(0x80000019));
        QCOMPARE(s.pixel(3, 4), 0);
        LineGS g;
        g.SetRGBComponents(int(0x8000000F));
        QVERIFY(g.drawingColor() >= 0); // a system colour becomes plain RGB
    }

    void arcStep_data()
    {
        QTest::addColumn<int>("rx");
        QTest::addColumn<int>("ry");
        QTest::addColumn<int>("thickness");
        QTest::addColumn<double>("step");
        QTest::newRow("thickness 1") << 10 << 4 << 1 << 0.05340707;
        QTest::newRow("other thickness doubles") << 4 << 10 << 0 << 0.10681413;
        QTest::newRow("thickness 2 also") << 10 << 10 << 2 << 0.10681413;
        QTest::newRow("zero radius") << 0 << 0 << 1 << 0.5340707;
        QTest::newRow("negative radius") << -4 << -8 << 1 << 0.5340707 / 4;
    }
    void arcStep()
    {
        QFETCH(int, rx);
        QFETCH(int, ry);
        QFETCH(int, thickness);
        QFETCH(double, step);
        QCOMPARE(LineGS::ArcStep(rx, ry, thickness), float(step));
    }

    // Which part of the circle each angle pair draws: the bounds of everything touched.
    void arcs_data()
    {
        QTest::addColumn<Variant>("variant");
        QTest::addColumn<float>("from");
        QTest::addColumn<float>("to");
        QTest::addColumn<QString>("part");
        QTest::newRow("GP 270 to 90: upper half") << Variant::GP << 270.f << 90.f << "upper";
        QTest::newRow("DIB 270 to 90: lower half") << Variant::DIB << 270.f << 90.f << "lower";
        QTest::newRow("DIB 180 to 270: upper left") << Variant::DIB << 180.f << 270.f << "upper left";
        QTest::newRow("DIB 90 to 180: upper right") << Variant::DIB << 90.f << 180.f << "upper right";
        QTest::newRow("DIB 0 to 90: lower right") << Variant::DIB << 0.f << 90.f << "lower right";
        QTest::newRow("GP 0 to 90: upper right") << Variant::GP << 0.f << 90.f << "upper right";
        QTest::newRow("GP 90 to 180: lower right") << Variant::GP << 90.f << 180.f << "lower right";
    }
    void arcs()
    {
        QFETCH(Variant, variant);
        QFETCH(float, from);
        QFETCH(float, to);
        QFETCH(QString, part);
        const int c = 20, r = 12;
        Surface s(41, 41);
        drawArc(variant, s, c, c, r, from, to);
        const QRect ink = inkBounds(s, 0);
        // Points are spread over the four pixels right of and below (x − ½, y − ½).
        const int lo = c - r - 1, hi = c + r;
        const QRect upper(QPoint(lo, lo), QPoint(hi, c));
        const QRect lower(QPoint(lo, c - 1), QPoint(hi, hi));
        QRect expected;
        if (part == "upper")
            expected = upper;
        else if (part == "lower")
            expected = lower;
        else if (part == "upper left")
            expected = QRect(QPoint(lo, lo), QPoint(c, c));
        else if (part == "upper right")
            expected = QRect(QPoint(c - 1, lo), QPoint(hi, c));
        else if (part == "lower right")
            expected = QRect(QPoint(c - 1, c - 1), QPoint(hi, hi));
        QVERIFY2(expected.contains(ink), qPrintable(QStringLiteral("%1,%2 %3x%4").arg(ink.x()).arg(ink.y()).arg(ink.width()).arg(ink.height())));
        // ... and reaches the ends of that part.
        QVERIFY(ink.width() >= expected.width() - 2);
        QVERIFY(ink.height() >= expected.height() - 2);
    }

    // Arcs are replayed from their first drawing: a repeat, on another colour and after other
    // arcs have pushed it out of the recent ones, gives the same pixels.
    void arcReplayMatches()
    {
        const auto draw = [](OleColor background) {
            Surface s(60, 40, background);
            LineGS g;
            g.DIB(s, 70, 50);
            g.ArcDIB(30, 20, 25, 15, 200, 20, Red, 0);
            g.Array2Pic();
            return s;
        };
        const Surface first = draw(RGB(10, 200, 30));
        QCOMPARE(draw(RGB(10, 200, 30)).image(), first.image());
        Surface other(60, 40);
        LineGS g;
        g.DIB(other, 60, 40);
        for (int i = 0; i < 40; ++i)
            g.ArcDIB(30, 20, 5 + i, 9, 0, 90, Red, 0);
        g.Array2Pic();
        QCOMPARE(draw(RGB(10, 200, 30)).image(), first.image());
        QVERIFY(draw(0).image() != first.image());
    }

    // Radius 0: the step is k (three angles up to 90 degrees), and every point lies within 0.001
    // of (X1 − ½, Y1 − ½): (X1 ± 0.001 − ½, Y1 ± 0.001 − ½) round to either side, so each splat
    // puts weight 254 on (X1, Y1) and weight 0 on pixels around it, which lose 1/256 per blend:
    // the four beside it are blended 6 times (255 -> 249), the four diagonal ones 3 times (252).
    void zeroRadiusCircle()
    {
        QCOMPARE(LineGS::ArcStep(0, 0, 1), 0.5340707f);
        Surface s(9, 9, White);
        LineGS g;
        g.DIB(s, 9, 9);
        g.CircleDIB(4, 4, 0, 0, Red, 1);
        g.Array2Pic();
        QCOMPARE(s.pixel(4, 4), Red);
        for (const QPoint &p : {QPoint(4, 3), QPoint(3, 4), QPoint(5, 4), QPoint(4, 5)})
            QCOMPARE(s.pixel(p.x(), p.y()), RGB(249, 249, 249));
        for (const QPoint &p : {QPoint(3, 3), QPoint(5, 3), QPoint(3, 5), QPoint(5, 5)})
            QCOMPARE(s.pixel(p.x(), p.y()), RGB(252, 252, 252));
        QCOMPARE(pixelsNot(s, White).size(), 9);
    }

    void circleIsSymmetric()
    {
        Surface gp(40, 40), dib(40, 40);
        LineGS g;
        g.CircleGP(gp, 20, 20, 10, 6, White, 1);
        g.DIB(dib, 40, 40);
        g.CircleDIB(20, 20, 10, 6, White, 1);
        g.Array2Pic();
        QCOMPARE(dib.image(), gp.image());
        const QRect ink = inkBounds(gp, 0);
        QVERIFY(QRect(QPoint(9, 13), QPoint(31, 27)).contains(ink));
        QVERIFY(Color::red(gp.pixel(30, 20)) >= 250); // right end, 10 from the centre
        QVERIFY(Color::red(gp.pixel(10, 20)) >= 250); // left end
    }

    void readyFlag()
    {
        BoxRecorder recorder;
        Surface s(10, 10);
        LineGS g;
        g.LineDIB(1, 1, 5, 5, Red);
        QCOMPARE(recorder.texts, QStringList{QStringLiteral("You must create a DIB array\r\nbefore calling LineDIB.")});
        QCOMPARE(recorder.titles, QStringList{MessageBoxes::applicationTitle()});

        QVERIFY(g.DIB(s, 10, 10));
        g.LineDIB(1, 1, 5, 5, Red);
        g.Array2Pic();
        QVERIFY(!g.isReady());
        QCOMPARE(recorder.texts.size(), 1);
        QCOMPARE(s.pixel(3, 3), Red);

        g.LineDIB(1, 8, 5, 8, Red); // cleared by Array2Pic
        g.CircleDIB(5, 5, 3, 3, Red, 1);
        g.ArcDIB(5, 5, 3, 3, 0, 90, Red, 1); // silent
        QCOMPARE(recorder.texts.size(), 3);
        QCOMPARE(recorder.texts[1], QStringLiteral("You must create a DIB array\r\nbefore calling LineDIB."));
        QCOMPARE(recorder.texts[2], QStringLiteral("You must create a DIB array\r\nbefore calling CircleDIB."));
        QCOMPARE(s.pixel(3, 8), 0);
        g.Array2Pic(); // without an array: nothing
        QVERIFY(!g.DIB(s, 0, 10));
    }

    // The array may be larger than the surface; drawing into the margin is harmless and the
    // write-back keeps to the surface.
    void arrayLargerThanSurface()
    {
        Surface s(10, 10);
        LineGS g;
        g.DIB(s, 20, 20);
        g.LineDIB(-5, 9, 30, 9, White);
        g.CircleDIB(9, 9, 6, 6, White, 0);
        g.ArcDIB(0, 0, 100000, 100000, 0, 360, White, 1);
        g.Array2Pic();
        QCOMPARE(s.pixel(5, 9), White);
        QCOMPARE(s.width(), 10);
    }

    // A radius so large that the angle counter cannot grow by the step ends the arc instead of
    // spinning forever.
    void hugeRadiusEnds()
    {
        Surface s(10, 10);
        LineGS g;
        g.DIB(s, 10, 10);
        g.ArcDIB(5, 5, 2000000000, 2000000000, 350, 360, White, 1);
        g.ArcGP(s, 5, 5, 2000000000, 2000000000, 350, 360, White, 1);
        g.Array2Pic();
        QCOMPARE(pixelsNot(s, 0).size(), 0);
    }
};

QTEST_MAIN(TestLineGS)
#include "tst_linegs.moc"
