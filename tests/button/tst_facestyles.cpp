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
        QVERIFY(FaceStyles::PaintFace(pic, inputs(12, colour, colour)));
        QVERIFY(everyPixel(pic, colour));
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
        QVERIFY(FaceStyles::PaintFace(pic, in));
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
        QVERIFY(FaceStyles::PaintFace(pic, inputs(13, c1, c2)));
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
        QVERIFY(FaceStyles::PaintFace(pic, in));
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
        QVERIFY(!FaceStyles::PaintFace(pic, in));
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
        QVERIFY(FaceStyles::PaintFace(pic, inputs(style, 0x123456, 0x654321)));
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
        QVERIFY(FaceStyles::PaintFace(painted, in));

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
