#include "PaintTestSupport.h"
#include "controls/button/TavloClick.h"
#include "controls/button/paint/ButtonEffects.h"
#include "controls/button/paint/ButtonHoverEffect.h"
#include "controls/button/paint/ButtonIcon.h"
#include "controls/button/paint/ButtonShadow.h"

#include <QtTest>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

using PaintTest::channelDistance;
using PaintTest::Parts;

namespace {

constexpr OleColor ArrowColour = 0xFFFFFF;

void fill(Surface &surface, OleColor colour) { surface.filledBox(0, 0, surface.width(), surface.height(), colour); }

} // namespace

class TestEffects : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        TavloClick::setPointerQuery([] { return nullptr; });
    }

    void arrow_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("direction");
        QTest::addColumn<QPoint>("apex");
        QTest::addColumn<QPoint>("baseFirst"); // the widest line's ends; its last pixel is left out
        QTest::addColumn<QPoint>("baseLast");
        QTest::addColumn<int>("split");        // -1: no groove, ArrowSplitPos unchanged
        // ArrowSize 4 on 100 x 24.
        QTest::newRow("right, down") << 0 << 0 << QPoint(92, 16) << QPoint(88, 12) << QPoint(96, 12) << 84;
        QTest::newRow("left, up") << 1 << 1 << QPoint(8, 8) << QPoint(4, 12) << QPoint(12, 12) << 16;
        QTest::newRow("bottom, right") << 2 << 2 << QPoint(54, 15) << QPoint(50, 11) << QPoint(50, 19) << 10;
        QTest::newRow("top, left") << 3 << 3 << QPoint(46, 9) << QPoint(50, 5) << QPoint(50, 13) << 14;
        QTest::newRow("centre, down") << 4 << 0 << QPoint(50, 16) << QPoint(46, 12) << QPoint(54, 12) << -1;
    }
    void arrow()
    {
        QFETCH(int, position);
        QFETCH(int, direction);
        QFETCH(QPoint, apex);
        QFETCH(QPoint, baseFirst);
        QFETCH(QPoint, baseLast);
        QFETCH(int, split);
        Parts parts(100, 24);
        Surface &pic = parts.canvas.pic;
        PaintTest::fillPattern(pic);
        const Surface face = pic;
        parts.props.arrowSize = 4;
        parts.props.arrowPosition = position;
        parts.props.arrowDirection = direction;
        parts.run.ArrowSplitPos = -7;
        auto context = parts.context();
        ButtonEffects::DrawArrow(context);

        QCOMPARE(pic.pixel(apex.x(), apex.y()), ArrowColour);
        QCOMPARE(pic.pixel(baseFirst.x(), baseFirst.y()), ArrowColour);
        const QPoint step = (baseLast - baseFirst) / ((baseLast - baseFirst).manhattanLength());
        const QPoint beforeLast = baseLast - step;
        QCOMPARE(pic.pixel(beforeLast.x(), beforeLast.y()), ArrowColour);
        QCOMPARE(pic.pixel(baseLast.x(), baseLast.y()), face.pixel(baseLast.x(), baseLast.y()));
        if (split < 0) {
            QCOMPARE(parts.run.ArrowSplitPos, -7.0f);
            return;
        }
        QCOMPARE(parts.run.ArrowSplitPos, float(split));
        // The groove in the face's colours at (W/2, H/2) and (W/4, H/4), across the whole face.
        const OleColor first = face.pixel(50, 12), second = face.pixel(25, 6);
        const bool vertical = position <= 1;
        for (int along = 0; along < (vertical ? 24 : 100); ++along) {
            const int x1 = vertical ? split : along, y1 = vertical ? along : split;
            const int x2 = vertical ? split + 1 : along, y2 = vertical ? along : split + 1;
            if (QPoint(x1, y1) != apex && pic.pixel(x1, y1) != ArrowColour)
                QCOMPARE(pic.pixel(x1, y1), first);
            if (pic.pixel(x2, y2) != ArrowColour)
                QCOMPARE(pic.pixel(x2, y2), second);
        }
    }

    void arrowWithoutSplitKeepsTheSplitPosition()
    {
        Parts parts(100, 24);
        const Surface face = parts.canvas.pic;
        parts.props.arrowSplit = false;
        parts.run.ArrowSplitPos = 33;
        auto context = parts.context();
        ButtonEffects::DrawArrow(context);
        QCOMPARE(parts.run.ArrowSplitPos, 33.0f);
        QCOMPARE(parts.canvas.pic.pixel(80, 5), face.pixel(80, 5)); // where a groove would be
    }

    void texture_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<float>("alpha");
        QTest::addColumn<QString>("result");
        QTest::newRow("1 at 0") << 1 << 0.0f << "face";
        QTest::newRow("1 at 255") << 1 << 255.0f << "texture";
        QTest::newRow("0 at 0") << 0 << 0.0f << "face";
        QTest::newRow("0 at 255") << 0 << 255.0f << "texture";
        QTest::newRow("3 at 255") << 3 << 255.0f << "grey texture";
        QTest::newRow("unknown type 7") << 7 << 255.0f << "face";
    }
    void texture()
    {
        QFETCH(int, type);
        QFETCH(float, alpha);
        QFETCH(QString, result);
        Parts parts(40, 20);
        PaintTest::fillPattern(parts.canvas.pic);
        const Surface face = parts.canvas.pic;
        QImage image(4, 2, QImage::Format_RGB32);
        for (int x = 0; x < 4; ++x) {
            image.setPixel(x, 0, qRgb(200, 40 * x, 10));
            image.setPixel(x, 1, qRgb(10, 90, 60 * x));
        }
        parts.props.textureImage = Picture::fromImage(image);
        parts.props.textureType = type;
        parts.props.textureAlpha = alpha;
        auto context = parts.context();
        ButtonEffects::DrawTexture(context);
        Surface stretched(40, 20);
        stretched.paintPicture(image, 0, 0, 40, 20);
        const Surface &pic = parts.canvas.pic;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 40; ++x) {
                const OleColor c = pic.pixel(x, y);
                if (result == QLatin1String("face"))
                    QCOMPARE(c, face.pixel(x, y));
                else if (result == QLatin1String("texture"))
                    QCOMPARE(c, stretched.pixel(x, y));
                else
                    QVERIFY(Color::red(c) == Color::green(c) && Color::green(c) == Color::blue(c));
            }
    }

    void missingTextureChangesNothing()
    {
        Parts parts(40, 20);
        PaintTest::fillPattern(parts.canvas.pic);
        const QImage face = parts.canvas.pic.image(), behind = parts.canvas.pic2.image();
        parts.props.textureType = 1;
        parts.props.textureAlpha = 255;
        auto context = parts.context();
        ButtonEffects::DrawTexture(context);
        QCOMPARE(parts.canvas.pic.image(), face);
        QCOMPARE(parts.canvas.pic2.image(), behind);
    }

    void alphaMixesWithWhatLiesBehind_data()
    {
        QTest::addColumn<float>("alpha");
        QTest::addColumn<int>("expected");
        // Face (200, 100, 0) over a background of (0, 100, 200): AlphaValue is its weight.
        QTest::newRow("0: opaque face") << 0.0f << Color::RGB(200, 100, 0);
        QTest::newRow("128: half and half") << 128.0f << Color::RGB(100, 100, 100);
        QTest::newRow("255: only the background") << 255.0f << Color::RGB(0, 100, 200);
    }
    void alphaMixesWithWhatLiesBehind()
    {
        QFETCH(float, alpha);
        QFETCH(int, expected);
        Parts parts(30, 10);
        fill(parts.canvas.pic, Color::RGB(200, 100, 0));
        parts.behind = [](Surface &target) { fill(target, Color::RGB(0, 100, 200)); };
        parts.props.alphaValue = alpha;
        auto context = parts.context();
        ButtonEffects::DrawAlpha(context);
        QCOMPARE(parts.canvas.pic.pixel(15, 5), expected);
    }

    // The logo button of the main window: Alpha on with AlphaValue 255 shows exactly what its
    // container paints under it, in every state.
    void fullAlphaShowsTheContainer_data()
    {
        QTest::addColumn<int>("state");
        QTest::newRow("Normal") << 0;
        QTest::newRow("Over, after its hover effect and fade") << 1;
        QTest::newRow("Down") << 2;
    }
    void fullAlphaShowsTheContainer()
    {
        QFETCH(int, state);
        PaintTest::Backdrop container;
        TavloClick button(&container);
        button.setGeometry(30, 20, 60, 40);
        container.show();
        TavloClick::setPointerQuery([&button] { return &button; }); // the pointer rests on it
        button.setFade(state == 1);
        button.setButtonTheme(4);
        button.setBorderStyle(3);
        button.setEffects(5);
        button.setButtonIconPos(4);
        button.setCaption(QString());
        button.setAlphaValue(255);
        button.setAlpha(true);
        button.Redraw(state);
        QTRY_VERIFY(!button.tmrFade().isActive());
        TavloClick::setPointerQuery([] { return nullptr; });
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 60; ++x)
                QVERIFY2((button.image().pixel(x, y) & 0xFFFFFF) == (PaintTest::Backdrop::colourAt(x + 30, y + 20) & 0xFFFFFF),
                         qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
    }

    // Buttons placed while their container is hidden get their sizes when it is shown; each one
    // that captures the container then delivers the others' pending sizes first, and every
    // button still shows the container under it.
    void alphaButtonsPlacedBeforeShowing()
    {
        PaintTest::Backdrop container;
        std::vector<std::unique_ptr<TavloClick>> buttons;
        for (int i = 0; i < 3; ++i) {
            buttons.push_back(std::make_unique<TavloClick>(&container));
            TavloClick &button = *buttons.back();
            button.setFade(false);
            button.setCaption(QString());
            button.setAlphaValue(255);
            button.setAlpha(true);
            button.setGeometry(10 + 70 * i, 30, 60, 30);
        }
        container.show();
        for (int i = 0; i < 3; ++i)
            for (const QPoint p : {QPoint(0, 0), QPoint(59, 29), QPoint(30, 15)})
                QCOMPARE(buttons[size_t(i)]->image().pixel(p) & 0xFFFFFF,
                         PaintTest::Backdrop::colourAt(10 + 70 * i + p.x(), 30 + p.y()) & 0xFFFFFF);
    }

    // Style 0 past 15 rings: the ring alpha 255 - 16² leaves 0..255, which ends the rings; the
    // face is still laid on top, shrunk by ShadowSize.
    void shadowRingsEndButTheFaceStays()
    {
        Parts parts(80, 50);
        const OleColor face = Color::RGB(220, 30, 30), back = Color::RGB(20, 60, 200);
        fill(parts.canvas.pic, face);
        parts.behind = [&](Surface &target) { fill(target, back); };
        parts.props.shadowStyle = 0;
        parts.props.shadowSize = 17;
        auto context = parts.context();
        ButtonShadow::DrawShadow(context);
        const Surface &pic = parts.canvas.pic;
        QCOMPARE(pic.pixel(40, 25), face);
        QCOMPARE(pic.pixel(17, 17), face);
        QVERIFY(channelDistance(pic.pixel(0, 0), back) <= 5);
        QCOMPARE(parts.canvas.picTemp.pixel(0, 0), face); // the mask follows the composed face
        QCOMPARE(parts.canvas.pic2.image(), pic.image());
    }

    void dropShadows_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<QPoint>("shadow");
        QTest::newRow("2: square") << 2 << QPoint(79, 49);
        QTest::newRow("3: rounded") << 3 << QPoint(70, 45);
    }
    void dropShadows()
    {
        QFETCH(int, style);
        QFETCH(QPoint, shadow);
        Parts parts(80, 50);
        const OleColor face = Color::RGB(220, 30, 30), back = Color::RGB(20, 60, 200), dark = 0x202020;
        fill(parts.canvas.pic, face);
        parts.behind = [&](Surface &target) { fill(target, back); };
        parts.props.shadowStyle = style;
        parts.props.shadowSize = 5;
        parts.props.shadowColor = dark;
        parts.props.roundSizeAuto = true;
        auto context = parts.context();
        ButtonShadow::DrawShadow(context);
        const Surface &pic = parts.canvas.pic;
        QCOMPARE(pic.pixel(shadow.x(), shadow.y()), dark);
        QCOMPARE(pic.pixel(40, 25), face);
        // Beside the shadow lies the background, not the full-size face.
        QVERIFY(channelDistance(pic.pixel(79, 0), back) <= 5);
        QVERIFY(channelDistance(pic.pixel(0, 49), back) <= 5);
    }

    void hoverEffectFrames_data()
    {
        QTest::addColumn<int>("effect");
        QTest::addColumn<int>("frames");
        QTest::addColumn<bool>("restoresPic2");
        QTest::newRow("0 rim glow") << 0 << 21 << false;
        QTest::newRow("1 drifting glow") << 1 << 11 << false;
        QTest::newRow("2 flash") << 2 << 6 << true;
        QTest::newRow("3 fade-in") << 3 << 11 << false;
        QTest::newRow("4 shimmer") << 4 << 11 << true;
        QTest::newRow("5 slide") << 5 << 11 << false;
        QTest::newRow("6 none") << 6 << 0 << true;
    }
    void hoverEffectFrames()
    {
        QFETCH(int, effect);
        QFETCH(int, frames);
        QFETCH(bool, restoresPic2);
        Parts parts(60, 20);
        PaintTest::fillPattern(parts.canvas.pic);
        fill(parts.canvas.pic2, Color::RGB(10, 10, 10));
        const QImage before = parts.canvas.pic2.image();
        parts.props.effects = effect;
        int shown = 0;
        QList<QImage> seen;
        auto context = parts.context();
        ButtonHoverEffect::DrawEffect(context, [&] {
            ++shown;
            seen << parts.canvas.pic2.image();
        });
        QCOMPARE(shown, frames);
        QCOMPARE(parts.canvas.pic2.image() == before, restoresPic2);
        if (frames > 0)
            QVERIFY(seen.last() != before); // the frames show the blending
    }

    // A fade-in of the hover face: frame i blends pic onto pic2 with alpha 140, 150 ... 240.
    void fadeInFrames()
    {
        Parts parts(10, 4);
        fill(parts.canvas.pic, Color::RGB(255, 255, 255));
        fill(parts.canvas.pic2, Color::RGB(0, 0, 0));
        parts.props.effects = 3;
        QList<int> reds;
        auto context = parts.context();
        ButtonHoverEffect::DrawEffect(context, [&] { reds << Color::red(parts.canvas.pic2.pixel(5, 2)); });
        QCOMPARE(reds.size(), 11);
        QCOMPARE(reds.first(), 140);
        QVERIFY(reds.last() > 250);
    }

    void tint()
    {
        Parts parts(30, 10);
        PaintTest::fillPattern(parts.canvas.pic);
        const QImage face = parts.canvas.pic.image();
        auto context = parts.context();
        ButtonEffects::DrawTint(context); // all 0: unchanged
        QCOMPARE(parts.canvas.pic.image(), face);
        parts.props.tintSaturation = -100;
        ButtonEffects::DrawTint(context);
        for (int x = 0; x < 30; ++x) {
            const OleColor c = parts.canvas.pic.pixel(x, 5);
            QVERIFY(Color::red(c) == Color::green(c) && Color::green(c) == Color::blue(c));
        }
    }

    // The glow around the icon is left out while a fade runs.
    void iconGlowOnlyWithoutFade_data()
    {
        QTest::addColumn<bool>("fadeRunning");
        QTest::newRow("no fade: glow") << false;
        QTest::newRow("fade running: no glow") << true;
    }
    void iconGlowOnlyWithoutFade()
    {
        QFETCH(bool, fadeRunning);
        Parts parts(100, 40);
        PaintTest::fillPattern(parts.canvas.pic);
        const Surface face = parts.canvas.pic;
        QImage icon(10, 10, QImage::Format_RGB32);
        icon.fill(qRgb(255, 0, 0));
        icon.setPixel(0, 0, qRgb(0, 0, 0));
        parts.props.buttonIcon = Picture::fromImage(icon);
        parts.props.buttonIconShow = true;
        parts.props.buttonIconShadow = true;
        parts.props.buttonIconPos = 4;
        parts.props.buttonIconSize = 50;
        auto context = parts.context();
        ButtonIcon::DrawIcon(context, parts.canvas.pic, fadeRunning);
        // Box (5, 2, 90, 36) halved about its centre: (27.5, 11, 45, 18).
        QCOMPARE(parts.run.IconBox.x, 27.5);
        QCOMPARE(parts.canvas.pic.pixel(50, 20), Color::RGB(255, 0, 0));
        QCOMPARE(parts.canvas.pic.pixel(26, 20) != face.pixel(26, 20), !fadeRunning);
        QCOMPARE(parts.canvas.pic.pixel(23, 20), face.pixel(23, 20)); // beyond the 4 glow rings
    }

    // An orange disc on a white face. A picture with partly transparent pixels is laid by its
    // alpha: its rim runs from orange to white, never darker than either. Any other picture is
    // keyed by its top-left colour: each pixel is the face or the disc, nothing between.
    void iconEdges_data()
    {
        QTest::addColumn<QImage>("icon");
        QTest::addColumn<bool>("soft");
        const auto disc = [](QImage::Format format, bool softRim) {
            QImage image(16, 16, format);
            for (int y = 0; y < 16; ++y) {
                for (int x = 0; x < 16; ++x) {
                    const double inside = std::clamp(7.0 - std::hypot(x - 7.5, y - 7.5), 0.0, 1.0);
                    if (softRim)
                        image.setPixel(x, y, qRgba(255, 160, 0, int(255 * inside)));
                    else
                        image.setPixel(x, y, inside > 0.5 ? qRgb(255, 160, 0) : qRgb(255, 0, 255));
                }
            }
            return image;
        };
        QTest::newRow("soft rim by its alpha") << disc(QImage::Format_ARGB32, true) << true;
        QTest::newRow("no alpha channel: keyed") << disc(QImage::Format_RGB32, false) << false;
        QTest::newRow("opaque alpha channel: keyed") << disc(QImage::Format_ARGB32, false) << false;
    }
    void iconEdges()
    {
        QFETCH(QImage, icon);
        QFETCH(bool, soft);
        Parts parts(40, 40);
        fill(parts.canvas.pic, 0xFFFFFF);
        parts.props.buttonIcon = Picture::fromImage(icon);
        parts.props.buttonIconShow = true;
        parts.props.buttonIconShadow = false;
        parts.props.buttonIconPos = 4;
        parts.props.buttonIconSize = 100;
        auto context = parts.context();
        ButtonIcon::DrawIcon(context, parts.canvas.pic, false);
        const OleColor orange = Color::RGB(255, 160, 0);
        QCOMPARE(parts.canvas.pic.pixel(20, 20), orange);
        int between = 0;
        for (int y = 0; y < 40; ++y) {
            for (int x = 0; x < 40; ++x) {
                const OleColor c = parts.canvas.pic.pixel(x, y);
                const QString at = QStringLiteral("%1,%2: %3").arg(x).arg(y).arg(c, 6, 16, QLatin1Char('0'));
                QVERIFY2(Color::red(c) == 255 && Color::green(c) >= 160 && Color::blue(c) <= 255
                             && Color::blue(c) <= Color::green(c),
                         qPrintable(at));
                if (c != orange && c != 0xFFFFFF) {
                    QVERIFY2(soft, qPrintable(at));
                    ++between;
                }
            }
        }
        QCOMPARE(between > 0, soft);
    }
};

QTEST_MAIN(TestEffects)
#include "tst_effects.moc"
