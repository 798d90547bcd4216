#include "PaintTestSupport.h"
#include "common/RuntimeError.h"
#include "controls/button/paint/FacePrimitives.h"
#include "controls/button/paint/FaceStyles.h"
#include "drawing/BitmapHelpers.h"

#include <QtTest>

using FaceStyles::FaceInputs;
using PaintTest::channelDistance;

namespace {

constexpr OleColor Mask = 0xFF00FF;

FaceInputs inputs(int32_t style, OleColor c1, OleColor c2)
{
    FaceInputs in;
    in.style = style;
    in.c1 = c1;
    in.c2 = c2;
    in.e1 = Color::RGB(250, 240, 200);
    in.e2 = Color::RGB(30, 40, 120);
    in.maskColor = Mask;
    return in;
}

OleColor mixChannels(OleColor a, OleColor b, double t)
{
    const auto c = [t](int x, int y) { return int(std::nearbyint(x + (y - x) * t)); };
    return Color::RGB(c(Color::red(a), Color::red(b)), c(Color::green(a), Color::green(b)),
                      c(Color::blue(a), Color::blue(b)));
}

// A failing style abandons the rest of the face with its error.
bool paintsWholeFace(Surface &pic, const FaceInputs &in)
{
    try {
        FaceStyles::PaintFace(pic, in);
        return true;
    } catch (const RuntimeError &) {
        return false;
    }
}

bool everyPixel(const Surface &s, OleColor colour)
{
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x)
            if (s.pixel(x, y) != colour)
                return false;
    return true;
}

} // namespace

class TestFaceStyles : public QObject {
    Q_OBJECT

private slots:
    void sameColoursGiveAFlatFace_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("colour");
        QTest::newRow("81 x 33 green") << QSize(81, 33) << Color::RGB(0, 160, 40);
        QTest::newRow("120 x 65 grey") << QSize(120, 65) << Color::RGB(128, 128, 128);
        QTest::newRow("7 x 200 white") << QSize(7, 200) << Color::RGB(255, 255, 255);
    }
    void sameColoursGiveAFlatFace()
    {
        QFETCH(QSize, size);
        QFETCH(int, colour);
        Surface pic(size.width(), size.height());
        QVERIFY(paintsWholeFace(pic, inputs(12, colour, colour)));
        QVERIFY(everyPixel(pic, colour));
    }

    // One pixel of every style in every state, worked out by hand from the styles' formulas, at a
    // spot the style itself paints. The face is 100 x 40 with S 50 (split = upper = 20), B 1 (3
    // for the patterned styles 21..24), BorderSize 1 and corners 5 x 5; colours (red, green, blue):
    //   Normal c1 40,80,120   c2 200,160,240    Over c1 120,40,200   c2 160,240,200
    //   Down   c1 20,100,60   c2 230,190,170    e1 250,230,210       e2 60,20,100
    // Channels round half to even; a gradient over n lines moves (to - from)/n per line; a ramp of
    // n + 1 entries divides by D = n + 1 + B/10, rounded.
    void pixelAnchors_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("state");
        QTest::addColumn<QPoint>("spot");
        QTest::addColumn<int>("colour");
        // 0: the shine c2 -> c1 over rows 1..24: row 12 is 11/23 of the way, c2 + 11(c1 - c2)/23.
        QTest::newRow("0 Normal") << 0 << 0 << QPoint(50, 12) << Color::RGB(123, 122, 183);
        QTest::newRow("0 Over") << 0 << 1 << QPoint(50, 12) << Color::RGB(141, 144, 200);
        QTest::newRow("0 Down") << 0 << 2 << QPoint(50, 12) << Color::RGB(130, 147, 117);
        // 1: ring 5 of 50 (column 5): c2 moved 5/50 towards c1, c2 + (c1 - c2)/10.
        QTest::newRow("1 Normal") << 1 << 0 << QPoint(5, 20) << Color::RGB(184, 152, 228);
        QTest::newRow("1 Over") << 1 << 1 << QPoint(5, 20) << Color::RGB(156, 220, 200);
        QTest::newRow("1 Down") << 1 << 2 << QPoint(5, 20) << Color::RGB(209, 181, 159);
        // 2: the outer frame (1, 2)-(99, 38): shift(mean(c1, e1), -16); N mean (145, 155, 165), O (185, 135,
        // 205), D (135, 165, 135).
        QTest::newRow("2 Normal") << 2 << 0 << QPoint(1, 20) << Color::RGB(129, 139, 149);
        QTest::newRow("2 Over") << 2 << 1 << QPoint(1, 20) << Color::RGB(169, 119, 189);
        QTest::newRow("2 Down") << 2 << 2 << QPoint(1, 20) << Color::RGB(119, 149, 119);
        // 3: the light top edge shift(c2, 100) is white in every state, and the random streaks add to white.
        QTest::newRow("3 Normal") << 3 << 0 << QPoint(50, 0) << Color::RGB(255, 255, 255);
        QTest::newRow("3 Over") << 3 << 1 << QPoint(50, 0) << Color::RGB(255, 255, 255);
        QTest::newRow("3 Down") << 3 << 2 << QPoint(50, 0) << Color::RGB(255, 255, 255);
        // 4: row 1 of mean(c1, e1) -> c1 over rows 0..20 (N 140,151,163; O 182,130,205; D 129,162,131), then
        // brightened by 12, 10, 10, 8, 8, 6, 6, 4, 4, 2, 2 (S/4 - i for i = 1..11, half to even), each c +
        // (255 - c)b/100.
        QTest::newRow("4 Normal") << 4 << 0 << QPoint(50, 1) << Color::RGB(200, 206, 211);
        QTest::newRow("4 Over") << 4 << 1 << QPoint(50, 1) << Color::RGB(221, 196, 231);
        QTest::newRow("4 Down") << 4 << 2 << QPoint(50, 1) << Color::RGB(196, 210, 196);
        // 5: row 3 of c1 -> c2, c1 + 3(c2 - c1)/40 (N 52,86,129; O 123,55,200; D 36,107,68), then the bands of
        // i = 4..11 (the first whose height reaches row 3) brighten by 8, 8, 6, 6, 4, 4, 2, 2.
        QTest::newRow("5 Normal") << 5 << 0 << QPoint(50, 3) << Color::RGB(121, 143, 172);
        QTest::newRow("5 Over") << 5 << 1 << QPoint(50, 3) << Color::RGB(169, 124, 220);
        QTest::newRow("5 Down") << 5 << 2 << QPoint(50, 3) << Color::RGB(110, 157, 132);
        // 6: rectangle i = 10 of 20: e1 moved halfway to mean(pixel (50, 33), e2); the pixel is c1 + 33(c2 -
        // c1)/40 (N 172,146,219; O 153,205,200; D 193,174,151), the mean N 116,83,160; O 106,112,150; D
        // 126,97,126.
        QTest::newRow("6 Normal") << 6 << 0 << QPoint(50, 10) << Color::RGB(183, 156, 185);
        QTest::newRow("6 Over") << 6 << 1 << QPoint(50, 10) << Color::RGB(178, 171, 180);
        QTest::newRow("6 Down") << 6 << 2 << QPoint(50, 10) << Color::RGB(188, 164, 168);
        // 7: row 8 of top -> c1 over rows 0..20, top + 8(c1 - top)/20, top e1 in Normal and mean(c1, e1) in
        // Over and Down.
        QTest::newRow("7 Normal") << 7 << 0 << QPoint(50, 8) << Color::RGB(166, 170, 174);
        QTest::newRow("7 Over") << 7 << 1 << QPoint(50, 8) << Color::RGB(159, 97, 203);
        QTest::newRow("7 Down") << 7 << 2 << QPoint(50, 8) << Color::RGB(89, 139, 105);
        // 8: gloss line i = 5 at row 10 (x from 8 to 91): shift(mean(c1, c2), H + split - 4i = 40); N mean
        // 120,120,180; O 140,140,200; D 125,145,115.
        QTest::newRow("8 Normal") << 8 << 0 << QPoint(50, 10) << Color::RGB(160, 160, 220);
        QTest::newRow("8 Over") << 8 << 1 << QPoint(50, 10) << Color::RGB(180, 180, 240);
        QTest::newRow("8 Down") << 8 << 2 << QPoint(50, 10) << Color::RGB(165, 185, 155);
        // 9: the bevel column x = 3: shift(c1, 65).
        QTest::newRow("9 Normal") << 9 << 0 << QPoint(3, 20) << Color::RGB(105, 145, 185);
        QTest::newRow("9 Over") << 9 << 1 << QPoint(3, 20) << Color::RGB(185, 105, 255);
        QTest::newRow("9 Down") << 9 << 2 << QPoint(3, 20) << Color::RGB(85, 165, 125);
        // 10: upper-left panel (0, 0, 50, 20), corners shift(c1, 60), e1, c1, c1: column ramps with D = 21
        // give row 10 N 71,111,151 .. 150,159,167; O 151,71,229 .. 188,140,205; D 51,131,91 .. 140,168,139;
        // then entry 25 of D = 51.
        QTest::newRow("10 Normal") << 10 << 0 << QPoint(25, 10) << Color::RGB(110, 135, 159);
        QTest::newRow("10 Over") << 10 << 1 << QPoint(25, 10) << Color::RGB(169, 105, 217);
        QTest::newRow("10 Down") << 10 << 2 << QPoint(25, 10) << Color::RGB(95, 149, 115);
        // 11: row 8 of shift(c2, 100) = white -> mean(c1, c2) over rows 0..20, 255 + 8(mean - 255)/20.
        QTest::newRow("11 Normal") << 11 << 0 << QPoint(50, 8) << Color::RGB(201, 201, 225);
        QTest::newRow("11 Over") << 11 << 1 << QPoint(50, 8) << Color::RGB(209, 209, 233);
        QTest::newRow("11 Down") << 11 << 2 << QPoint(50, 8) << Color::RGB(203, 211, 199);
        // 12: row 8 of c1 -> c2 over 40 rows, c1 + (c2 - c1)/5.
        QTest::newRow("12 Normal") << 12 << 0 << QPoint(50, 8) << Color::RGB(72, 96, 144);
        QTest::newRow("12 Over") << 12 << 1 << QPoint(50, 8) << Color::RGB(128, 80, 200);
        QTest::newRow("12 Down") << 12 << 2 << QPoint(50, 8) << Color::RGB(62, 118, 82);
        // 13: the left half ramps c1 -> c2 across 50 columns with D = 51: entry 17 is c1 + (c2 - c1)/3.
        QTest::newRow("13 Normal") << 13 << 0 << QPoint(17, 20) << Color::RGB(93, 107, 160);
        QTest::newRow("13 Over") << 13 << 1 << QPoint(17, 20) << Color::RGB(133, 107, 200);
        QTest::newRow("13 Down") << 13 << 2 << QPoint(17, 20) << Color::RGB(90, 130, 97);
        // 14: column 0 is c1; the strip rows 30 and 31 are brightened by the blends p = 9 (alpha 43), 10 (39)
        // and 11 (35) into N 53,107,160; O 160,53,255; D 27,134,80 for row 30, which p = 40 adds onto row 0
        // with alpha 78: c1 + s·78/255, capped at 255.
        QTest::newRow("14 Normal") << 14 << 0 << QPoint(0, 0) << Color::RGB(56, 113, 169);
        QTest::newRow("14 Over") << 14 << 1 << QPoint(0, 0) << Color::RGB(169, 56, 255);
        QTest::newRow("14 Down") << 14 << 2 << QPoint(0, 0) << Color::RGB(28, 141, 84);
        // 15: left half, corners c1, c1, c1, c2: the right column's row 30 is c1 + 30(c2 - c1)/41 (N
        // 157,139,208; O 149,186,200; D 174,166,140); entry 25 of 50 (D = 51) from c1 towards it.
        QTest::newRow("15 Normal") << 15 << 0 << QPoint(25, 30) << Color::RGB(97, 109, 163);
        QTest::newRow("15 Over") << 15 << 1 << QPoint(25, 30) << Color::RGB(134, 112, 200);
        QTest::newRow("15 Down") << 15 << 2 << QPoint(25, 30) << Color::RGB(95, 132, 99);
        // 16: circle 18 (pen 2) around (50, 2) is the last to cover (50, 20): shift(c1, 142) + 18(c1 -
        // shift(c1, 142))/40.
        QTest::newRow("16 Normal") << 16 << 0 << QPoint(50, 20) << Color::RGB(118, 158, 194);
        QTest::newRow("16 Over") << 16 << 1 << QPoint(50, 20) << Color::RGB(194, 118, 230);
        QTest::newRow("16 Down") << 16 << 2 << QPoint(50, 20) << Color::RGB(98, 178, 138);
        // 17: the top colour (e1 in Normal, mean(c1, e1) in Over and Down) darkened by the top bands i =
        // 1..10: 30, 25, 20, 16, 12, 9, 6, 4, 2, 1 ((12 - i)^2 / 4, half to even), each c - cb/100.
        QTest::newRow("17 Normal") << 17 << 0 << QPoint(50, 0) << Color::RGB(61, 57, 51);
        QTest::newRow("17 Over") << 17 << 1 << QPoint(50, 0) << Color::RGB(47, 34, 50);
        QTest::newRow("17 Down") << 17 << 2 << QPoint(50, 0) << Color::RGB(34, 40, 34);
        // 18: upper-left quadrant (0, 0, 50, 20), corners shift(c2, -50), shift(c1, -50), shift(c1, 50),
        // shift(c2, 50): row 10 of the columns (D = 21) N 121,120,180 .. 119,116,158; O 139,142,198 ..
        // 137,121,198; D 128,145,115 .. 121,140,110; entry 25 of D = 51.
        QTest::newRow("18 Normal") << 18 << 0 << QPoint(25, 10) << Color::RGB(120, 118, 169);
        QTest::newRow("18 Over") << 18 << 1 << QPoint(25, 10) << Color::RGB(138, 132, 198);
        QTest::newRow("18 Down") << 18 << 2 << QPoint(25, 10) << Color::RGB(125, 143, 113);
        // 19: the dividing line at row H·S/100 - 1 = 19: shift3(c1, -23, -17, -9).
        QTest::newRow("19 Normal") << 19 << 0 << QPoint(50, 19) << Color::RGB(17, 63, 111);
        QTest::newRow("19 Over") << 19 << 1 << QPoint(50, 19) << Color::RGB(97, 23, 191);
        QTest::newRow("19 Down") << 19 << 2 << QPoint(50, 19) << Color::RGB(0, 83, 51);
        // 20: the whole face, corners e1, c1, c2, e2: row 20 of the columns (D = 41) N 226,196,225 ..
        // 50,51,110; O 206,235,205 .. 91,30,151; D 240,210,190 .. 40,61,80; entry 50 of 100 (D = 101).
        QTest::newRow("20 Normal") << 20 << 0 << QPoint(50, 20) << Color::RGB(139, 124, 168);
        QTest::newRow("20 Over") << 20 << 1 << QPoint(50, 20) << Color::RGB(149, 134, 178);
        QTest::newRow("20 Down") << 20 << 2 << QPoint(50, 20) << Color::RGB(141, 136, 136);
        // 21: type 3, B = 3, row 5: index round(5·40/3) Mod 40 = 27, c1 + 27(c2 - c1)/41.
        QTest::newRow("21 Normal") << 21 << 0 << QPoint(50, 5) << Color::RGB(145, 133, 199);
        QTest::newRow("21 Over") << 21 << 1 << QPoint(50, 5) << Color::RGB(146, 172, 200);
        QTest::newRow("21 Down") << 21 << 2 << QPoint(50, 5) << Color::RGB(158, 159, 132);
        // 22: type 4, B = 3, column 5: index round(5·100/3) Mod 100 = 67, c1 + 67(c2 - c1)/101.
        QTest::newRow("22 Normal") << 22 << 0 << QPoint(5, 20) << Color::RGB(146, 133, 200);
        QTest::newRow("22 Over") << 22 << 1 << QPoint(5, 20) << Color::RGB(147, 173, 200);
        QTest::newRow("22 Down") << 22 << 2 << QPoint(5, 20) << Color::RGB(159, 160, 133);
        // 23: type 5, B = 3, row 37: index round(40 cos(3/3)) = 22, c1 + 22(c2 - c1)/41.
        QTest::newRow("23 Normal") << 23 << 0 << QPoint(50, 37) << Color::RGB(126, 123, 184);
        QTest::newRow("23 Over") << 23 << 1 << QPoint(50, 37) << Color::RGB(141, 147, 200);
        QTest::newRow("23 Down") << 23 << 2 << QPoint(50, 37) << Color::RGB(133, 148, 119);
        // 24: type 6, B = 3, column 97: index round(100 cos(3/3)) = 54, c1 + 54(c2 - c1)/101.
        QTest::newRow("24 Normal") << 24 << 0 << QPoint(97, 20) << Color::RGB(126, 123, 184);
        QTest::newRow("24 Over") << 24 << 1 << QPoint(97, 20) << Color::RGB(141, 147, 200);
        QTest::newRow("24 Down") << 24 << 2 << QPoint(97, 20) << Color::RGB(132, 148, 119);
    }
    void pixelAnchors()
    {
        QFETCH(int, style);
        QFETCH(int, state);
        QFETCH(QPoint, spot);
        QFETCH(int, colour);
        ButtonProperties p;
        p.buttonStyleNormal = p.buttonStyleOver = p.buttonStyleDown = style;
        p.buttonColorNormal1 = Color::RGB(40, 80, 120);
        p.buttonColorNormal2 = Color::RGB(200, 160, 240);
        p.buttonColorOver1 = Color::RGB(120, 40, 200);
        p.buttonColorOver2 = Color::RGB(160, 240, 200);
        p.buttonColorDown1 = Color::RGB(20, 100, 60);
        p.buttonColorDown2 = Color::RGB(230, 190, 170);
        p.buttonColorExtra1 = Color::RGB(250, 230, 210);
        p.buttonColorExtra2 = Color::RGB(60, 20, 100);
        p.buttonColorSplitSize = 50;
        p.buttonColorBlendSize = style >= 21 ? 3 : 1;
        p.borderSize = 1;
        p.roundWidth = 5;
        p.roundHeight = 5;
        p.maskColor = Mask;
        Surface pic(100, 40);
        QVERIFY(paintsWholeFace(pic, FaceStyles::faceInputs(p, state)));
        QCOMPARE(pic.pixel(spot.x(), spot.y()), colour);
    }

    // Style 0: the shine is the gradient c2 -> c1 over (b, b)-(W - b, 3H/5); lines leave out
    // their last pixel, so its columns are b .. W - b - 1 and its rows b .. 3H/5 - 1.
    void styleZeroShine_data()
    {
        QTest::addColumn<float>("border");
        QTest::newRow("BorderSize 1") << 1.0f;
        QTest::newRow("BorderSize 4") << 4.0f;
    }
    void styleZeroShine()
    {
        QFETCH(float, border);
        const int b = int(border);
        const OleColor c1 = Color::RGB(0, 100, 0), c2 = Color::RGB(200, 250, 200);
        Surface pic(100, 50);
        FaceInputs in = inputs(0, c1, c2);
        in.borderSize = border;
        QVERIFY(paintsWholeFace(pic, in));
        const int bottom = 30; // 3H/5
        for (int y = 0; y < 50; ++y) {
            for (int x = 0; x < 100; ++x) {
                const bool shine = x >= b && x < 100 - b && y >= b && y <= bottom;
                if (!shine)
                    QVERIFY2(pic.pixel(x, y) == c1, qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
            }
        }
        QCOMPARE(pic.pixel(50, b), c2);
        QCOMPARE(pic.pixel(50, bottom), c1);
        // Linear in between: row y is (y - b) / (bottom - b) of the way from c2 to c1.
        const int mid = (b + bottom) / 2;
        QCOMPARE(pic.pixel(b, mid), mixChannels(c2, c1, double(mid - b) / (bottom - b)));
    }

    // Style 13 at 50: the left half ramps c1 -> c2 across, the right half c2 -> c1, so the two
    // halves mirror each other's colours: left[j] + right[j] = c1 + c2 in every channel.
    void styleThirteenMirroredHalves()
    {
        const OleColor c1 = Color::RGB(20, 60, 200), c2 = Color::RGB(220, 160, 10);
        Surface pic(100, 20);
        QVERIFY(paintsWholeFace(pic, inputs(13, c1, c2)));
        QCOMPARE(pic.pixel(0, 10), c1);
        QCOMPARE(pic.pixel(50, 10), c2);
        for (int j = 0; j < 50; ++j) {
            const OleColor left = pic.pixel(j, 10), right = pic.pixel(50 + j, 10);
            QVERIFY(std::abs(Color::red(left) + Color::red(right) - Color::red(c1) - Color::red(c2)) <= 1);
            QVERIFY(std::abs(Color::blue(left) + Color::blue(right) - Color::blue(c1) - Color::blue(c2)) <= 1);
            QCOMPARE(pic.pixel(j, 0), left); // every row alike
        }
    }

    // Style 20 on a face 3 high with blend size 1: the ramp divisor is 4 (3 + 1 + 0.1 rounded),
    // so the left column never reaches the bottom-left colour.
    void fourColourRampOnThreeRows()
    {
        const OleColor tl = Color::RGB(0, 0, 0), bl = Color::RGB(200, 100, 40);
        FaceInputs in = inputs(20, Color::RGB(9, 9, 9), bl);
        in.e1 = tl;
        Surface pic(10, 3);
        QVERIFY(paintsWholeFace(pic, in));
        QCOMPARE(pic.pixel(0, 0), tl);
        QCOMPARE(pic.pixel(0, 1), Color::RGB(50, 25, 10));
        QCOMPARE(pic.pixel(0, 2), Color::RGB(100, 50, 20));
    }

    void colourRampEnds_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<int>("blend");
        QTest::addColumn<int>("last");
        QTest::addColumn<int>("error");
        // D = n + 1 + B / 10, rounded; entry n = 200·n / D.
        QTest::newRow("n 9, B 1: D 10") << 9 << 1 << 180 << 0;
        QTest::newRow("n 9, B 100: D 20") << 9 << 100 << 90 << 0;
        QTest::newRow("n 9, B -50: D 5 overshoots") << 9 << -50 << -1 << int(RuntimeError::Overflow);
        QTest::newRow("n 0, B -10: D 0") << 0 << -10 << -1 << int(RuntimeError::Overflow);
        QTest::newRow("n -1") << -1 << 1 << -1 << int(RuntimeError::SubscriptOutOfRange);
    }
    void colourRampEnds()
    {
        QFETCH(int, n);
        QFETCH(int, blend);
        QFETCH(int, last);
        QFETCH(int, error);
        try {
            const FacePrimitives::ColorRamp ramp(n, 0, Color::RGB(200, 0, 0), blend);
            QCOMPARE(error, 0);
            QCOMPARE(ramp.entry(0), 0);
            QCOMPARE(Color::red(ramp.entry(n)), last);
        } catch (const RuntimeError &e) {
            QCOMPARE(e.code(), error);
        }
    }

    // The row walk of the four-colour fill gives the ramp's own entries.
    void rampWalkMatchesEntries_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<int>("blend");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::newRow("rising, D 10") << 9 << 1 << Color::RGB(0, 10, 200) << Color::RGB(255, 11, 0);
        QTest::newRow("wide, D 101") << 100 << 3 << Color::RGB(7, 250, 128) << Color::RGB(250, 7, 129);
        QTest::newRow("halves, D 4") << 3 << 1 << Color::RGB(1, 3, 5) << Color::RGB(3, 9, 15);
        QTest::newRow("negative D") << 5 << -200 << Color::RGB(100, 200, 30) << Color::RGB(150, 160, 40);
        QTest::newRow("large B") << 60 << 5000 << Color::RGB(0, 255, 90) << Color::RGB(255, 0, 91);
    }
    void rampWalkMatchesEntries()
    {
        QFETCH(int, n);
        QFETCH(int, blend);
        QFETCH(int, from);
        QFETCH(int, to);
        const FacePrimitives::ColorRamp ramp(n, from, to, blend);
        for (int first = 0; first <= n; first += std::max(1, n / 4)) {
            std::vector<uint32_t> walked(size_t(n - first + 1));
            ramp.fill(first, walked.data(), int64_t(walked.size()));
            for (int i = first; i <= n; ++i)
                QCOMPARE(Color::fromQRgb(walked[size_t(i - first)]), ramp.entry(i));
        }
    }

    // Types 0 and 1 with B above 1 saturate before the far edge; falling channels stop at 0.
    void steepGradientClampsBothWays()
    {
        Surface pic(4, 10);
        FacePrimitives::GradientFill(pic, 0, 0, 4, 10, Color::RGB(250, 10, 0), Color::RGB(0, 200, 0), 1, 3);
        QCOMPARE(pic.pixel(0, 0), Color::RGB(250, 10, 0));
        QCOMPARE(pic.pixel(0, 1), Color::RGB(175, 67, 0));
        QCOMPARE(pic.pixel(2, 4), Color::RGB(0, 238, 0));
        for (int y = 5; y < 10; ++y)
            QCOMPARE(pic.pixel(2, y), Color::RGB(0, 255, 0));
    }

    void failingFacesStopEarly_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("blend");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("split");
        QTest::addColumn<bool>("onlyMask");
        for (int style = 21; style <= 24; ++style)
            QTest::addRow("style %d with blend size 0", style) << style << 0 << QSize(60, 20) << 50 << true;
        QTest::newRow("style 12 on a face 0 high") << 12 << 1 << QSize(60, 0) << 50 << true;
        // Style 15's first brightening has alpha split + 100, here 300: the two halves stay.
        QTest::newRow("style 15 with split 200") << 15 << 1 << QSize(60, 200) << 0 << false;
    }
    void failingFacesStopEarly()
    {
        QFETCH(int, style);
        QFETCH(int, blend);
        QFETCH(QSize, size);
        QFETCH(int, split);
        QFETCH(bool, onlyMask);
        Surface pic(size.width(), size.height());
        FaceInputs in = inputs(style, Color::RGB(0, 0, 200), Color::RGB(0, 200, 0));
        in.blendSize = blend;
        in.splitSize = split;
        QVERIFY(!paintsWholeFace(pic, in));
        QCOMPARE(everyPixel(pic, Mask), onlyMask);
        if (!onlyMask) // no row was brightened: the top-left corner keeps c1
            QCOMPARE(pic.pixel(0, 5), Color::RGB(0, 0, 200));
    }

    void unknownStylesLeaveTheMaskColour_data()
    {
        QTest::addColumn<int>("style");
        QTest::newRow("25") << 25;
        QTest::newRow("-1") << -1;
    }
    void unknownStylesLeaveTheMaskColour()
    {
        QFETCH(int, style);
        Surface pic(30, 10);
        QVERIFY(paintsWholeFace(pic, inputs(style, 0x123456, 0x654321)));
        QVERIFY(everyPixel(pic, Mask));
    }

    void glassStreaksAreRandom()
    {
        Surface first(120, 40), second(120, 40);
        const FaceInputs in = inputs(3, Color::RGB(0, 90, 0), Color::RGB(0, 200, 80));
        FaceStyles::PaintFace(first, in);
        bool differs = false;
        for (int attempt = 0; attempt < 3 && !differs; ++attempt) {
            FaceStyles::PaintFace(second, in);
            differs = first.image() != second.image();
        }
        QVERIFY(differs);
    }

    // Styles 4 and 5 skip the brightening steps that cannot change a pixel and paint the white
    // ones as the spans of their union; the face must be the same as with every step of
    // i = 1 .. S/4 run, for faces wide and tall, borders inside and outside, halves included.
    void brightBandsMatchEveryStep_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("split");
        QTest::addColumn<float>("border");
        QTest::addColumn<QSize>("size");
        for (int style : {4, 5})
            for (int split : {50, 600, 1500, 5000})
                for (float border : {1.0f, 3.0f})
                    for (QSize size : {QSize(90, 30), QSize(37, 121), QSize(301, 17)})
                        QTest::addRow("style %d S %d b %g %dx%d", style, split, double(border), size.width(),
                                      size.height())
                            << style << split << border << size;
        for (float border : {-4.0f, 2.5f, 60.0f})
            QTest::addRow("style 5 S 2000 b %g 64x48", double(border)) << 5 << 2000 << border << QSize(64, 48);
    }
    void brightBandsMatchEveryStep()
    {
        QFETCH(int, style);
        QFETCH(int, split);
        QFETCH(float, border);
        QFETCH(QSize, size);
        const double w = size.width(), h = size.height(), s = split, b = border;
        FaceInputs in = inputs(style, Color::RGB(0, 60, 120), Color::RGB(10, 30, 60));
        in.splitSize = split;
        in.borderSize = border;
        Surface painted{size.width(), size.height()};
        QVERIFY(paintsWholeFace(painted, in));

        // The reference: the same gradients, then every step.
        Surface reference{size.width(), size.height()};
        in.splitSize = 0; // no steps
        FaceStyles::PaintFace(reference, in);
        const auto r = [](double v) { return int(std::nearbyint(v)); };
        for (int i = 1; i <= r(s / 4); ++i) {
            const double inset = style == 5 ? i / 4.0 : 0, narrowing = style == 5 ? i / 2.0 : 0;
            const int amount = r(s / 4 - i), height = r(h * i / (s + 1));
            BrightenRect(reference, amount, r(b + inset), r(b), r(w - 2 * b - narrowing), height);
            BrightenRect(reference, amount, r(b + inset), r(h - b - i), r(w - 2 * b - narrowing), height);
        }
        QCOMPARE(painted.image(), reference.image());
        QCOMPARE(painted.brightnessAdjustment(), reference.brightnessAdjustment());
        QCOMPARE(painted.stretchMode(), reference.stretchMode());
    }
};

QTEST_MAIN(TestFaceStyles)
#include "tst_facestyles.moc"
