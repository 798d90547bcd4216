#include "BarFixture.h"
#include "ErrorCode.h"
#include "common/PropertyBag.h"
#include "controls/progressbar/paint/BlockImage.h"
#include "controls/progressbar/paint/ConstantBlend.h"
#include "controls/progressbar/paint/ProBarArithmetic.h"
#include "controls/progressbar/model/ProBarDescriptors.h"
#include "controls/progressbar/paint/ProBarLayers.h"
#include "controls/progressbar/paint/ProBarText.h"
#include "drawing/Color.h"
#include "drawing/Surface.h"

#include <QBuffer>
#include <QJsonObject>
#include <QtTest>

#include <functional>

Q_DECLARE_METATYPE(std::set<int>)

namespace {

// Table defaults, as a new instance has them (pictures empty, not Nothing).
ProBarProperties defaults()
{
    ProBarProperties p;
    for (const ProBarDescriptor &d : proBarDescriptors())
        proBarDescriptors().setFieldValue(p, d, d.type == PropertyType::Picture ? QVariant::fromValue(Picture::empty()) : d.defaultValue);
    return p;
}

QRect inkBox(const QImage &image, const std::function<bool(QRgb)> &ink)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (ink(image.pixel(x, y)))
                box |= QRect(x, y, 1, 1);
    return box;
}

bool isBlack(QRgb p) { return qRed(p) < 60 && qGreen(p) < 60 && qBlue(p) < 60; }

QImage solid(QSize size, QColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// A surface whose pixel (x, y) is pattern(x, y).
Surface patterned(int width, int height, const std::function<uint32_t(int, int)> &pattern)
{
    Surface surface(width, height);
    std::vector<uint32_t> bits(size_t(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            bits[size_t(y) * width + x] = pattern(x, y) & 0xFFFFFFu;
    surface.setDIBits(0, 0, width, height, bits);
    return surface;
}

} // namespace

Q_DECLARE_METATYPE(Surface::StretchMode)

class TestProBarPaint : public QObject {
    Q_OBJECT
private slots:
    void progressBlocks_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("flip");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<int>("blockSize");
        QTest::addColumn<int>("blockGap");
        QTest::addColumn<std::set<int>>("green");

        // Horizontal bars are sampled along row 10, vertical ones down column 10.
        QTest::newRow("defaults: 13 blocks from x 1") << 0 << false << QVariant(50) << 6 << 2 << runs(1, 97, 8, 6);
        // The first flipped block at x 199 lies under the border.
        QTest::newRow("flipped: from x 199 down to 103") << 0 << true << QVariant(50) << 6 << 2 << runs(103, 191, 8, 6);
        QTest::newRow("full") << 0 << false << QVariant(100) << 6 << 2 << runs(1, 193, 8, 6);
        QTest::newRow("beyond ProMax is clipped") << 0 << false << QVariant(1e12) << 6 << 2 << runs(1, 193, 8, 6);
        QTest::newRow("negative value: none") << 0 << false << QVariant(-5) << 6 << 2 << std::set<int>();
        QTest::newRow("stored text value") << 0 << false << QVariant(QStringLiteral("25")) << 6 << 2 << runs(1, 49, 8, 6);
        QTest::newRow("no step: none") << 0 << false << QVariant(50) << 0 << 0 << std::set<int>();
        // E = 100 itself still starts a block.
        QTest::newRow("size 10 gap 1") << 0 << false << QVariant(50) << 10 << 1 << runs(1, 100, 11, 10);
        // The first vertical block sits at y = H, entirely outside.
        QTest::newRow("vertical from the bottom") << 1 << false << QVariant(50) << 6 << 2 << runs(104, 192, 8, 6);
        // Row 0 is the border and row 2 its highlight line.
        std::set<int> fromTop = runs(0, 96, 8, 6);
        fromTop.erase(0);
        fromTop.erase(2);
        QTest::newRow("vertical flipped from the top") << 1 << true << QVariant(50) << 6 << 2 << fromTop;
    }
    void progressBlocks()
    {
        QFETCH(int, mode);
        QFETCH(bool, flip);
        QFETCH(QVariant, value);
        QFETCH(int, blockSize);
        QFETCH(int, blockGap);
        QFETCH(std::set<int>, green);

        BarFixture f(mode == 0 ? QSize(200, 20) : QSize(20, 200));
        TavloProBar &bar = *f.bar;
        bar.setShowValue(false);
        if (mode != 0)
            bar.setBarMode(mode);
        bar.resize(mode == 0 ? QSize(200, 20) : QSize(20, 200));
        bar.setBlockSize(blockSize);
        bar.setBlockGap(blockGap);
        bar.setBarFlip(flip);
        bar.setProValue(value);
        const QImage image = bar.image();
        QCOMPARE(mode == 0 ? columnsWhere(image, 10, isGreen) : rowsWhere(image, 10, isGreen), green);
        if (mode == 0 && !green.empty()) {
            // Each block is 14 rows high from y 3.
            const std::set<int> rows = rowsWhere(image, *green.begin() + 2, isGreen);
            QCOMPARE(rows, runs(3, 3, 1, 14));
        }
    }

    void proMaxZeroDrawsNothing()
    {
        BarFixture f;
        const QImage before = f.bar->image();
        f.bar->setProMax(0);
        f.bar->setCaption(QStringLiteral("not drawn"));
        f.bar->setProValue(100);
        QCOMPARE(f.bar->image(), before);
    }

    void blockImageSize_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("style");
        QTest::addColumn<QSize>("barSize");
        QTest::addColumn<QSize>("blockSize");
        QTest::newRow("linear horizontal") << 0 << 0 << QSize(200, 20) << QSize(6, 19);
        QTest::newRow("outlined horizontal busy") << 2 << 3 << QSize(200, 20) << QSize(6, 19);
        QTest::newRow("concentric horizontal") << 0 << 1 << QSize(200, 20) << QSize(6, 14);
        QTest::newRow("rounded outline horizontal") << 0 << 4 << QSize(200, 20) << QSize(6, 14);
        QTest::newRow("picture horizontal") << 0 << 5 << QSize(200, 20) << QSize(6, 19);
        QTest::newRow("linear vertical") << 1 << 0 << QSize(20, 200) << QSize(19, 6);
        QTest::newRow("concentric vertical busy") << 3 << 4 << QSize(20, 200) << QSize(14, 6);
        QTest::newRow("mode outside 0..3 sizes nothing") << 7 << 0 << QSize(200, 20) << QSize(3, 3);
        QTest::newRow("style outside 0..5 sizes nothing") << 0 << 9 << QSize(200, 20) << QSize(3, 3);
    }
    void blockImageSize()
    {
        QFETCH(int, mode);
        QFETCH(int, style);
        QFETCH(QSize, barSize);
        QFETCH(QSize, blockSize);
        ProBarProperties p = defaults();
        p.barMode = mode;
        p.blockStyle = style;
        p.blockPicture = Picture::fromImage(solid(QSize(4, 4), Qt::blue));
        Surface block(3, 3);
        BuildBlockImage(block, p, barSize.width(), barSize.height());
        QCOMPARE(QSize(block.width(), block.height()), blockSize);
    }

    void linearShading_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("expected");
        // Centre c = 20 / 21 * 10 = 9.52; q = |c - y| * 100 \ 20; channel = X - 25 + q.
        QTest::newRow("row 0: q 47") << 0 << Color::RGB(62, 232, 65);
        QTest::newRow("row 9: 47.6 rounds to 48, q 2") << 9 << Color::RGB(17, 187, 20);
        QTest::newRow("row 10: q 2") << 10 << Color::RGB(17, 187, 20);
        QTest::newRow("row 18: q 42") << 18 << Color::RGB(57, 227, 60);
    }
    void linearShading()
    {
        QFETCH(int, row);
        QFETCH(int, expected);
        Surface block;
        BuildBlockImage(block, defaults(), 200, 20);
        QCOMPARE(block.pixel(3, row), expected);
    }

    void shadeColour_data()
    {
        QTest::addColumn<int>("base");
        QTest::addColumn<double>("c");
        QTest::addColumn<double>("d");
        QTest::addColumn<int>("depth");
        QTest::addColumn<int>("feather");
        QTest::addColumn<int>("expected");
        QTest::newRow("centre: depth darker") << Color::RGB(100, 150, 200) << 5.0 << 5.0 << 30 << 100 << Color::RGB(70, 120, 170);
        QTest::newRow("clamped at 0") << Color::RGB(10, 20, 30) << 5.0 << 5.0 << 25 << 100 << Color::RGB(0, 0, 5);
        QTest::newRow("clamped at 255") << Color::RGB(250, 250, 250) << 0.0 << 20.0 << 0 << 300 << Color::RGB(255, 255, 255);
        // -2147483633 \ 256 truncates to -8388607, whose low byte is 1; likewise for blue.
        QTest::newRow("system colour taken apart untranslated")
            << int(0x8000000F) << 1.0 << 1.0 << 0 << 100 << Color::RGB(15, 1, 1);
    }
    void shadeColour()
    {
        QFETCH(int, base);
        QFETCH(double, c);
        QFETCH(double, d);
        QFETCH(int, depth);
        QFETCH(int, feather);
        QFETCH(int, expected);
        QCOMPARE(ProBarArithmetic::shadeColour(base, c, d, 20, depth, feather), expected);
    }

    void outlineStyle3EnclosesTheCopiedPart()
    {
        ProBarProperties p = defaults();
        p.blockStyle = 3;
        p.blockColor2 = Color::RGB(200, 0, 0);
        Surface block;
        BuildBlockImage(block, p, 200, 20);
        QCOMPARE(block.pixel(0, 6), p.blockColor2);
        QCOMPARE(block.pixel(5, 6), p.blockColor2);
        QCOMPARE(block.pixel(2, 12), p.blockColor2);
        QVERIFY(block.pixel(2, 13) != p.blockColor2);
    }

    void blockImageErrors_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("blockMid");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("code");
        QTest::newRow("linear, BlockMid -1") << 0 << -1 << 20 << 11;
        QTest::newRow("concentric, BlockMid -1") << 1 << -1 << 20 << 11;
        QTest::newRow("outlined, BlockMid -1") << 3 << -1 << 20 << 11;
        QTest::newRow("picture style has no centre") << 5 << -1 << 20 << 0;
        QTest::newRow("zero height: 0 / 0") << 0 << -1 << 0 << 6;
    }
    void blockImageErrors()
    {
        QFETCH(int, style);
        QFETCH(int, blockMid);
        QFETCH(int, height);
        QFETCH(int, code);
        ProBarProperties p = defaults();
        p.blockStyle = style;
        p.blockMid = blockMid;
        p.blockColor2 = Color::RGB(200, 0, 0);
        p.blockPicture = Picture::fromImage(solid(QSize(4, 4), Qt::blue));
        Surface block;
        QCOMPARE(errorCode([&] { BuildBlockImage(block, p, 200, height); }), code);
        // The outline is still drawn after the shading failed.
        if (style == 3)
            QCOMPARE(block.pixel(0, 6), p.blockColor2);
    }

    // Blocks up to 32767 pixels long are built; a longer one is refused at once, not built for
    // seconds over gigabytes, whatever the style.
    void longestBlock_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("mode");
        for (int style = 0; style <= 5; ++style) {
            QTest::addRow("style %d", style) << style << 0;
            QTest::addRow("style %d, vertical", style) << style << 1;
        }
    }
    void longestBlock()
    {
        QFETCH(int, style);
        QFETCH(int, mode);
        ProBarProperties p = defaults();
        p.blockStyle = style;
        p.barMode = mode;
        p.blockPicture = Picture::fromImage(solid(QSize(4, 4), Qt::blue));
        p.blockSize = 32767;
        Surface block;
        QCOMPARE(errorCode([&] { BuildBlockImage(block, p, 200, 20); }), 0);
        QCOMPARE(mode == 0 ? block.width() : block.height(), 32767);
        p.blockSize = 16711680;
        QCOMPARE(errorCode([&] { BuildBlockImage(block, p, 200, 20); }), int(RuntimeError::InvalidPropertyValue));
        QVERIFY(block.image().isNull() || block.image().size().isEmpty());
    }

    void busyPhase_data()
    {
        QTest::addColumn<int>("phase");
        QTest::addColumn<int>("speed");
        QTest::addColumn<int>("next");
        QTest::newRow("speed 25 steps 3") << 0 << 25 << 3;
        QTest::newRow("speed 25 to 99") << 96 << 25 << 99;
        QTest::newRow("speed 25 past 100 wraps") << 99 << 25 << 0;
        QTest::newRow("speed 0 steps 1") << 0 << 0 << 1;
        QTest::newRow("101 wraps") << 100 << 0 << 0;
        QTest::newRow("speed -15 stands still") << 5 << -15 << 5;
        QTest::newRow("speed 30 steps 3") << 0 << 30 << 3;
        QTest::newRow("speed 22 rounds 1.47 + 1") << 48 << 22 << 50;
    }
    void busyPhase()
    {
        QFETCH(int, phase);
        QFETCH(int, speed);
        QFETCH(int, next);
        QCOMPARE(int(ProBarArithmetic::nextBusyPhase(int16_t(phase), speed)), next);
    }

    void busyPhaseOverflow()
    {
        QCOMPARE(errorCode([] { ProBarArithmetic::nextBusyPhase(0, 1000000); }), int(RuntimeError::Overflow));
    }

    void busyInterval_data()
    {
        QTest::addColumn<int>("speed");
        QTest::addColumn<qint64>("interval");
        QTest::newRow("25") << 25 << qint64(100);
        QTest::newRow("125") << 125 << qint64(0);
        QTest::newRow("150") << 150 << qint64(25);
        QTest::newRow("lowest") << int(INT32_MIN) << qint64(2147483773LL);
    }
    void busyInterval()
    {
        QFETCH(int, speed);
        QFETCH(qint64, interval);
        QCOMPARE(ProBarArithmetic::busyInterval(speed), interval);
    }

    void comet_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("flip");
        QTest::addColumn<int>("ticks");
        QTest::addColumn<std::set<int>>("mustBeGreen");
        QTest::addColumn<std::set<int>>("mustNotBeGreen");
        // Phase 3: head at 200 * 3 / 50 = 12, the next block 8 behind it.
        QTest::newRow("horizontal out") << 2 << false << 1 << runs(4, 12, 8, 6) << std::set<int>{2, 3, 10, 11, 18, 30};
        // Phase 51: head at 200 * 49 / 50 = 196, the tail beyond the right edge.
        QTest::newRow("horizontal back") << 2 << false << 17 << runs(196, 196, 1, 3) << runs(150, 150, 1, 46);
        QTest::newRow("flip does not move the horizontal comet") << 2 << true << 1 << runs(4, 12, 8, 6) << std::set<int>{2, 3, 10, 11, 18};
        QTest::newRow("vertical down") << 3 << false << 1 << runs(4, 12, 8, 6) << std::set<int>{10, 11, 18, 30};
        // BarFlip: head at (50 - 3) * 200 / 50 = 188, tail ahead of it above.
        QTest::newRow("vertical flipped runs up") << 3 << true << 1 << runs(180, 188, 8, 6) << std::set<int>{186, 187, 194, 150};
    }
    void comet()
    {
        QFETCH(int, mode);
        QFETCH(bool, flip);
        QFETCH(int, ticks);
        QFETCH(std::set<int>, mustBeGreen);
        QFETCH(std::set<int>, mustNotBeGreen);
        const bool horizontal = mode == 2;
        BarFixture f(horizontal ? QSize(200, 20) : QSize(20, 200));
        TavloProBar &bar = *f.bar;
        bar.setBarMode(mode);
        bar.resize(horizontal ? QSize(200, 20) : QSize(20, 200));
        bar.setBarFlip(flip);
        for (int i = 0; i < ticks; ++i)
            bar.busyTick();
        const std::set<int> green = horizontal ? columnsWhere(bar.image(), 10, isGreen) : rowsWhere(bar.image(), 10, isGreen);
        for (const int at : mustBeGreen)
            QVERIFY2(green.count(at), qPrintable(QString::number(at)));
        for (const int at : mustNotBeGreen)
            QVERIFY2(!green.count(at), qPrintable(QString::number(at)));
    }

    // The bar's whole-surface blend gives exactly Surface::alphaBlend's pixels: every pair of
    // channel values at a few alphas.
    void blendWholeMatchesAlphaBlend_data()
    {
        QTest::addColumn<int>("alpha");
        for (const int alpha : {0, 1, 100, 127, 128, 200, 254, 255})
            QTest::newRow(qPrintable(QString::number(alpha))) << alpha;
    }
    void blendWholeMatchesAlphaBlend()
    {
        QFETCH(int, alpha);
        const Surface source = patterned(256, 256, [](int x, int y) { return uint32_t(x << 16 | y << 8 | (255 - x)); });
        const Surface destination = patterned(256, 256, [](int x, int y) { return uint32_t(y << 16 | x << 8 | ((x * 7) & 255)); });
        Surface expected = destination;
        expected.alphaBlend(0, 0, 256, 256, source, 0, 0, 256, 256, uint8_t(alpha));
        Surface actual = destination;
        blendWhole(actual, source.getDIBits(256, 256), 256, 256, uint8_t(alpha));
        QCOMPARE(actual.image(), expected.image());
    }

    // Stamped blocks are the pixels of stretching at each position, clipped edges included.
    void stretchRepeatedMatchesStretchBlt_data()
    {
        QTest::addColumn<Surface::StretchMode>("mode");
        QTest::addColumn<QSize>("from");
        QTest::addColumn<QSize>("to");
        QTest::newRow("halftone 6x13 to 6x14") << Surface::StretchMode::Halftone << QSize(6, 13) << QSize(6, 14);
        QTest::newRow("nearest 6x13 to 6x14") << Surface::StretchMode::ColorOnColor << QSize(6, 13) << QSize(6, 14);
        QTest::newRow("halftone across 13x6 to 14x6") << Surface::StretchMode::Halftone << QSize(13, 6) << QSize(14, 6);
        QTest::newRow("source beyond the block image") << Surface::StretchMode::Halftone << QSize(6, 25) << QSize(6, 26);
        QTest::newRow("mirrored") << Surface::StretchMode::Halftone << QSize(-6, 13) << QSize(-6, 14);
    }
    void stretchRepeatedMatchesStretchBlt()
    {
        QFETCH(Surface::StretchMode, mode);
        QFETCH(QSize, from);
        QFETCH(QSize, to);
        const Surface block = patterned(13, 19, [](int x, int y) { return uint32_t((x * 19) << 16 | (y * 13) << 8 | (x * y)); });
        Surface expected = patterned(40, 30, [](int x, int y) { return uint32_t(x * 5 + y * 0x010300); });
        expected.setStretchMode(mode);
        Surface actual = expected;
        const std::vector<QPoint> positions{{-3, 3}, {5, 3}, {36, 3}, {10, -5}, {12, 25}, {20, 10}};
        for (const QPoint &at : positions)
            expected.stretchBlt(at.x(), at.y(), to.width(), to.height(), block, 0, 0, from.width(), from.height());
        Surface stamp;
        ProBarLayers::stretchRepeated(actual, block, from.width(), from.height(), to.width(), to.height(), positions, stamp);
        QCOMPARE(actual.image(), expected.image());
    }

    void composeText_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("showValue");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("autoOrient");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("empty caption, 50") << QString() << true << 0 << true << QVariant(50) << QStringLiteral(" 50 %");
        QTest::newRow("caption and stored text 0") << QStringLiteral("Converting") << true << 0 << true
                                                   << QVariant(QStringLiteral("0")) << QStringLiteral("Converting 0 %");
        QTest::newRow("fraction") << QString() << true << 0 << true << QVariant(33.5) << QStringLiteral(" 33.5 %");
        // A fraction as its stored type writes it: a Single to 7 digits, a Double to 15, with the
        // exponent in capitals.
        QTest::newRow("Single 0.1") << QString() << true << 0 << true << QVariant(0.1f) << QStringLiteral(" 0.1 %");
        QTest::newRow("Single a third") << QString() << true << 0 << true << QVariant(1.0f / 3)
                                        << QStringLiteral(" 0.3333333 %");
        QTest::newRow("Double a third") << QString() << true << 0 << true << QVariant(1.0 / 3)
                                        << QStringLiteral(" 0.333333333333333 %");
        QTest::newRow("Single 1E+20") << QString() << true << 0 << true << QVariant(1e20f) << QStringLiteral(" 1E+20 %");
        QTest::newRow("Double 1E-05") << QString() << true << 0 << true << QVariant(1e-5) << QStringLiteral(" 1E-05 %");
        QTest::newRow("Long 123456789") << QString() << true << 0 << true << QVariant::fromValue<qint32>(123456789)
                                        << QStringLiteral(" 123456789 %");
        QTest::newRow("busy shows the caption only") << QStringLiteral("Busy") << true << 2 << true << QVariant(50) << QStringLiteral("Busy");
        QTest::newRow("other mode shows nothing") << QStringLiteral("X") << true << 5 << true << QVariant(50) << QString();
        QTest::newRow("no value: caption") << QStringLiteral("X") << false << 0 << true << QVariant(50) << QStringLiteral("X");
        QTest::newRow("vertical turned is reversed") << QString() << true << 1 << true << QVariant(50) << QStringLiteral("% 05 ");
        QTest::newRow("vertical busy turned") << QStringLiteral("Ab") << false << 3 << true << QVariant(50) << QStringLiteral("bA");
        QTest::newRow("vertical unturned") << QString() << true << 1 << false << QVariant(50) << QStringLiteral(" 50 %");
        QTest::newRow("horizontal ignores auto orient") << QStringLiteral("Ab") << false << 0 << true << QVariant(50) << QStringLiteral("Ab");
    }
    void composeText()
    {
        QFETCH(QString, caption);
        QFETCH(bool, showValue);
        QFETCH(int, mode);
        QFETCH(bool, autoOrient);
        QFETCH(QVariant, value);
        QFETCH(QString, text);
        ProBarProperties p = defaults();
        p.caption = caption;
        p.showValue = showValue;
        p.barMode = mode;
        p.captionAutoOrient = autoOrient;
        p.proValue = value;
        QCOMPARE(ProBarText::composeText(p), text);
    }

    void layoutFlags_data()
    {
        QTest::addColumn<int>("alignment");
        QTest::addColumn<int>("flags");
        QTest::newRow("0") << 0 << 0x10;
        QTest::newRow("1 like 0") << 1 << 0x10;
        QTest::newRow("2 centred") << 2 << 0x15;
        QTest::newRow("3 none") << 3 << 0;
        QTest::newRow("-1 none") << -1 << 0;
    }
    void layoutFlags()
    {
        QFETCH(int, alignment);
        QFETCH(int, flags);
        QCOMPARE(ProBarText::layoutFlags(alignment), flags);
    }

    void drawingFont_data()
    {
        QTest::addColumn<double>("points");
        QTest::addColumn<int>("pixels");
        QTest::newRow("9.75 pt: whole 9 pt, 12 px") << 9.75 << 12;
        QTest::newRow("8.25 pt: -10.67 rounded down, 11 px") << 8.25 << 11;
        QTest::newRow("10 pt: -13.33 rounded down, 14 px") << 10.0 << 14;
    }
    void drawingFont()
    {
        QFETCH(double, points);
        QFETCH(int, pixels);
        QFont font(QStringLiteral("Liberation Sans"));
        font.setPointSizeF(points);
        font.setBold(true);
        const QFont drawing = ProBarText::drawingFont(font, 96);
        QCOMPARE(drawing.pixelSize(), pixels);
        QCOMPARE(drawing.weight(), QFont::Bold);
    }

    void textOrientation_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("autoOrient");
        QTest::addColumn<bool>("upright");
        QTest::newRow("horizontal") << 0 << true << true;
        QTest::newRow("vertical turned") << 1 << true << false;
        QTest::newRow("vertical busy turned") << 3 << true << false;
        QTest::newRow("vertical without auto orient") << 1 << false << true;
    }
    void textOrientation()
    {
        QFETCH(int, mode);
        QFETCH(bool, autoOrient);
        QFETCH(bool, upright);
        const bool horizontal = mode == 0;
        BarFixture f(horizontal ? QSize(200, 60) : QSize(60, 200));
        TavloProBar &bar = *f.bar;
        bar.setProValue(0);
        bar.setShowValue(false);
        bar.setCaptionAutoOrient(autoOrient);
        bar.setBarMode(mode);
        bar.resize(horizontal ? QSize(200, 60) : QSize(60, 200));
        bar.setCaption(QStringLiteral("Wide text"));
        const QRect box = inkBox(bar.image(), isBlack);
        QVERIFY(!box.isEmpty());
        QCOMPARE(box.width() > box.height(), upright);
        // Centred both ways.
        const QPoint offCentre = box.center() - bar.rect().center();
        QVERIFY2(offCentre.manhattanLength() <= 6, qPrintable(QStringLiteral("%1, %2").arg(offCentre.x()).arg(offCentre.y())));
    }

    void alignmentOneIsZero()
    {
        BarFixture a;
        BarFixture b;
        a.bar->setCaption(QStringLiteral("Aligned text"));
        b.bar->setCaption(QStringLiteral("Aligned text"));
        a.bar->setCaptionAlignment(0);
        b.bar->setCaptionAlignment(1);
        QCOMPARE(a.bar->image(), b.bar->image());
        a.bar->setCaptionAlignment(2);
        QVERIFY(a.bar->image() != b.bar->image());
    }

    void shadowIsOffsetByOne()
    {
        BarFixture f(QSize(200, 40));
        TavloProBar &bar = *f.bar;
        bar.setProValue(0);
        bar.setCaptionColor(Color::RGB(0, 0, 255));
        bar.setCaptionShadowColor(Color::RGB(255, 0, 0));
        bar.setCaptionShadow(true);
        const QRect text = inkBox(bar.image(), [](QRgb p) { return qBlue(p) > 200 && qRed(p) < 60; });
        const QRect shadow = inkBox(bar.image(), [](QRgb p) { return qRed(p) > 200 && qBlue(p) < 60; });
        QVERIFY(!text.isEmpty());
        QCOMPARE(shadow.bottomRight(), text.bottomRight() + QPoint(1, 1));
    }

    // An empty picture paints picCover's background (the window colour); Nothing leaves
    // BackColor (the button face) showing.
    void emptyBackPictureShowsWindowColour()
    {
        const QRgb window = Color::toQRgb(OleColor(0x80000005));
        const QRgb face = Color::toQRgb(OleColor(0x8000000F));
        if (window == face)
            QSKIP("the palette's window and button colours are equal");
        BarFixture f;
        f.bar->setProValue(0);
        QCOMPARE(f.bar->image().pixel(150, 10), window);
        f.bar->ReadProperties(PropertyBag());
        f.bar->Refresh();
        QCOMPARE(f.bar->image().pixel(150, 10), face);
    }

    // A redraw whose cover step fails still completes: the image is the one without cover.
    void failedCoverLeavesTheRestDrawn()
    {
        BarFixture a;
        BarFixture b;
        for (TavloProBar *bar : {a.bar.get(), b.bar.get()}) {
            bar->setCaption(QStringLiteral("Text"));
            bar->setCoverPic(Picture::fromImage(solid(QSize(200, 20), Qt::red)));
        }
        b.bar->setCoverShow(true);
        QCOMPARE(errorCode([&] { b.bar->setCoverAlpha(256); }), int(RuntimeError::Overflow));
        QCOMPARE(b.bar->image(), a.bar->image());
        b.bar->setCoverAlpha(255);
        QCOMPARE(b.bar->image().pixel(150, 10), qRgb(255, 0, 0));
    }

    // The main window's stored values: black back, orange style-3 blocks 10 long with 1-pixel
    // gaps, a cover blended at 100, white bold text with a dark grey shadow.
    void windowStoredValues()
    {
        const auto picture = [](QColor colour) {
            QByteArray png;
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            solid(QSize(386, 32), colour).save(&buffer, "PNG");
            return QJsonObject{{"png", QString::fromLatin1(png.toBase64())}};
        };
        const QJsonObject stored{
            {"BackColor", 0}, {"ProValue", "0"}, {"BlockSize", 10}, {"BlockGap", 1}, {"BlockDepth", 55},
            {"BlockFeather", 300}, {"BlockColor1", 33023}, {"BlockStyle", 3}, {"BorderColor1", 0},
            {"BorderColor2", 16384}, {"BusySpeed", 30}, {"CoverPic", picture(QColor(30, 30, 30))},
            {"CoverAlpha", 100}, {"CoverShow", true}, {"BackPicture", picture(QColor(0, 40, 0))},
            {"CaptionColor", 16777215}, {"CaptionShadow", true}, {"CaptionShadowColor", 4210752}};

        BarFixture f(QSize(386, 32));
        TavloProBar &bar = *f.bar;
        bar.ReadProperties(PropertyBag(stored));
        QFont font(QStringLiteral("Arial"));
        font.setPointSizeF(9.75);
        font.setBold(true);
        bar.setFont(font);
        QVERIFY(columnsWhere(bar.image(), 16, isOrange).empty());
        const QRect text = inkBox(bar.image(), [](QRgb p) { return qRed(p) > 240 && qGreen(p) > 240 && qBlue(p) > 240; });
        QVERIFY(text.contains(193, 16));

        bar.setProValue(50);
        const QImage image = bar.image();
        // Blocks at x = 1, 12, 23, ...: outline columns at both ends, orange between.
        std::set<int> orange;
        for (int x = 0; x < 133; ++x)
            if (isOrange(image.pixel(x, 16)))
                orange.insert(x);
        QCOMPARE(orange, runs(2, 123, 11, 8));
        QVERIFY(isBlack(image.pixel(1, 16)));
        QVERIFY(isBlack(image.pixel(10, 16)));
        // Beyond E = 193 only the back and cover show.
        QVERIFY(columnsWhere(image, 8, isOrange).count(300) == 0);
        QVERIFY(!f.bar->mask().contains(QPoint(0, 0)));
        QVERIFY(f.bar->mask().contains(QPoint(193, 16)));
    }
};

#include "tst_probarpaint.moc"

int runProBarPaintTests(int argc, char **argv)
{
    TestProBarPaint test;
    return QTest::qExec(&test, argc, argv);
}
