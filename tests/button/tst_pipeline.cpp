#include "PaintTestSupport.h"
#include "controls/button/TavloClick.h"
#include "controls/button/paint/ButtonCaption.h"
#include "controls/button/paint/ButtonIcon.h"

#include <QFontMetrics>
#include <QtTest>

namespace {

// A button that shows each Redraw at once and runs no hover animation. It is shown, so that the
// size reaches its surfaces.
void still(TavloClick &button, QSize size)
{
    button.resize(size);
    button.show();
    button.setFade(false);
    button.setEnableEffects(false);
}

QImage solidIcon(QRgb colour)
{
    QImage icon(12, 12, QImage::Format_RGB32);
    icon.fill(colour);
    icon.setPixel(0, 0, qRgb(0, 0, 0)); // the key colour
    return icon;
}

int rounded(double v) { return int(std::nearbyint(v)); }

} // namespace

class TestPipeline : public QObject {
    Q_OBJECT

private slots:
    // The hover watch sees the pointer elsewhere, should an event loop run.
    void initTestCase()
    {
        TavloClick::setPointerQuery([] { return nullptr; });
    }

    void shapeMask_data()
    {
        QTest::addColumn<int>("shape");
        QTest::addColumn<QList<QPoint>>("transparent");
        QTest::addColumn<QList<QPoint>>("opaque");
        const QList<QPoint> corners{{0, 0}, {99, 0}, {0, 29}, {99, 29}};
        // Corner 500 x 500 exceeds the button both ways: fully rounded ends.
        QTest::newRow("2: pill") << 2 << corners << QList<QPoint>{{50, 15}, {50, 0}, {0, 15}, {99, 15}};
        // The lower corners lie below the button: only the top ones are rounded.
        QTest::newRow("3: top corners") << 3 << QList<QPoint>{{0, 0}, {99, 0}}
                                        << QList<QPoint>{{0, 29}, {99, 29}, {50, 15}};
        QTest::newRow("1: rounded") << 1 << corners << QList<QPoint>{{50, 15}, {50, 0}};
        QTest::newRow("0: square") << 0 << QList<QPoint>{} << (corners + QList<QPoint>{{50, 15}});
    }
    void shapeMask()
    {
        QFETCH(int, shape);
        QFETCH(QList<QPoint>, transparent);
        QFETCH(QList<QPoint>, opaque);
        TavloClick button;
        still(button, QSize(100, 30));
        button.setButtonShape(shape);
        const Surface &mask = button.canvas().picTemp;
        for (const QPoint &p : transparent) {
            QCOMPARE(mask.pixel(p.x(), p.y()), button.MaskColor());
            QVERIFY(!button.mask().contains(p));
        }
        for (const QPoint &p : opaque) {
            QVERIFY(mask.pixel(p.x(), p.y()) != button.MaskColor());
            QVERIFY(button.mask().isEmpty() || button.mask().contains(p));
        }
        QCOMPARE(button.mask().isEmpty(), shape == 0);
    }

    // Going back to a square shape takes the mask away again.
    void squareShapeClearsTheMask()
    {
        TavloClick button;
        still(button, QSize(100, 30));
        button.setButtonShape(2);
        QVERIFY(!button.mask().isEmpty());
        button.setButtonShape(0);
        QVERIFY(button.mask().isEmpty());
    }

    void fixedCaptionRectangle_data()
    {
        QTest::addColumn<int>("alignment");
        for (int alignment = 0; alignment <= 8; ++alignment)
            QTest::addRow("%d", alignment) << alignment;
    }
    void fixedCaptionRectangle()
    {
        QFETCH(int, alignment);
        TavloClick button;
        still(button, QSize(120, 40));
        button.setCaptionAutoAlign(false);
        button.setCaption(QStringLiteral("Go"));
        button.setCaptionAlignment(alignment);
        const int lh = QFontMetrics(button.Font()).size(0, QStringLiteral("Go")).height();
        const int tops[] = {rounded((40 - lh) / 2.0), 5, 40 - lh - 5};
        const int bottoms[] = {rounded((40 + lh) / 2.0), 5 + lh, 35};
        const ButtonRuntime::Rect r = button.runtime().CaptionRect;
        // Every field ends one pixel up and left of the shadow's rectangle.
        QCOMPARE(r.left, 4);
        QCOMPARE(r.right, 114);
        QCOMPARE(r.top, tops[alignment % 3] - 1);
        QCOMPARE(r.bottom, bottoms[alignment % 3] - 1);
        QCOMPARE(button.runtime().CaptionMargin, int16_t(5));
        // Repainting recomputes it; the shift does not accumulate.
        button.Redraw(0);
        QCOMPARE(button.runtime().CaptionRect.top, tops[alignment % 3] - 1);
    }

    // The automatic layout on 100 x 40 for a caption 150 wide and 13 high.
    void automaticCaptionLayout_data()
    {
        QTest::addColumn<bool>("iconShown");
        QTest::addColumn<int>("iconPos");
        QTest::addColumn<float>("motion");
        QTest::addColumn<QRect>("expected"); // left, top, right, bottom as x, y, width, height
        // 19W/20 = 95; two estimated lines (1 + 150 \ 95): top (40 - 26) \ 2.
        QTest::newRow("no icon") << false << 0 << 0.0f << QRect(2, 7, 97, 45);
        QTest::newRow("no icon, moved up") << false << 0 << -1.6f << QRect(2, 5, 97, 43);
        // Position 4: 150 \ 96 = 1 line and no extra one: (40 - 13) \ 2 = 13.
        QTest::newRow("centre icon") << true << 4 << 0.0f << QRect(2, 13, 97, 51);
        // Position 0: beside the box (x 5, width 30); (40 - 13) / 2 = 13.5 rounds to 14.
        QTest::newRow("left icon") << true << 0 << 0.0f << QRect(35, 14, 95, 38);
        QTest::newRow("right icon") << true << 2 << 0.0f << QRect(5, 14, 65, 38);
        QTest::newRow("top icon") << true << 1 << 0.0f << QRect(5, 30, 95, 38);
        QTest::newRow("bottom icon") << true << 3 << 0.0f << QRect(5, 2, 95, 10);
    }
    void automaticCaptionLayout()
    {
        QFETCH(bool, iconShown);
        QFETCH(int, iconPos);
        QFETCH(float, motion);
        QFETCH(QRect, expected);
        PaintTest::Parts parts(100, 40);
        parts.props.captionAutoAlign = true;
        parts.props.buttonIconShow = iconShown;
        parts.props.buttonIconPos = int16_t(iconPos);
        parts.run.MotionOffset = motion;
        parts.run.IconBox = {5, 2, 30, 28};
        const ButtonCaption::Layout layout = ButtonCaption::layoutCaption(parts.props, parts.run, 100, 40, 150, 13);
        QCOMPARE(layout.flags, int(ButtonCaption::Centre));
        QCOMPARE(layout.rect.left, expected.x());
        QCOMPARE(layout.rect.top, expected.y());
        QCOMPARE(layout.rect.right, expected.width());
        QCOMPARE(layout.rect.bottom, expected.height());
    }

    void captionFont_data()
    {
        QTest::addColumn<QFont>("font");
        QTest::addColumn<int>("pixels");
        QTest::addColumn<int>("weight");
        QFont regular(QStringLiteral("Liberation Sans"));
        regular.setPointSizeF(8.25);
        QFont bold(QStringLiteral("Liberation Sans"));
        bold.setPointSizeF(9.75);
        bold.setBold(true);
        QFont large(QStringLiteral("Liberation Serif"));
        large.setPointSizeF(12.9);
        large.setItalic(true);
        // The integer part of the size, in pixels at 96 dpi, truncated; weight 100 or 900.
        QTest::newRow("8.25") << regular << 10 << int(QFont::Thin);
        QTest::newRow("9.75 bold") << bold << 12 << int(QFont::Black);
        QTest::newRow("12.9 italic") << large << 16 << int(QFont::Thin);
    }
    void captionFont()
    {
        QFETCH(QFont, font);
        QFETCH(int, pixels);
        QFETCH(int, weight);
        const QFont drawing = ButtonCaption::captionFont(font, 96.0 / 72.0);
        QCOMPARE(drawing.pixelSize(), pixels);
        QCOMPARE(int(drawing.weight()), weight);
        QCOMPARE(drawing.italic(), font.italic());
        QCOMPARE(drawing.family(), font.family());
    }

    void iconBoxByPosition_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<QRectF>("box"); // at 100 %, on 120 x 40, for a square icon
        QTest::newRow("0 left") << 0 << QRectF(6, 2, 36, 36);
        QTest::newRow("1 top") << 1 << QRectF(6, 2, 108, 108);
        QTest::newRow("2 right") << 2 << QRectF(78, 2, 36, 36);
        QTest::newRow("3 bottom") << 3 << QRectF(6, -70, 108, 108);
        QTest::newRow("4 centre") << 4 << QRectF(6, 2, 108, 36);
    }
    // ButtonIconSize scales the box about its centre: 50 halves it.
    void iconBoxByPosition()
    {
        QFETCH(int, position);
        QFETCH(QRectF, box);
        ButtonProperties p;
        p.buttonIconPos = int16_t(position);
        p.buttonIconSize = 100;
        ButtonRuntime::Box full, half;
        QVERIFY(ButtonIcon::iconBox(p, 1.0, 120, 40, 0, full));
        QCOMPARE(QRectF(full.x, full.y, full.width, full.height), box);
        p.buttonIconSize = 50;
        QVERIFY(ButtonIcon::iconBox(p, 1.0, 120, 40, 0, half));
        QCOMPARE(half.width, full.width / 2);
        QCOMPARE(half.height, full.height / 2);
        QCOMPARE(half.x + half.width / 2, full.x + full.width / 2);
        QCOMPARE(double(half.y) + half.height / 2, double(full.y) + full.height / 2);
    }

    // Freeze keeps the face pictures and skips tint, arrow, texture, shadow and alpha, but the
    // icon, the caption and the mask are still drawn.
    void freezeSkipsTheEffects()
    {
        PaintTest::Backdrop container;
        TavloClick button(&container);
        container.show();
        still(button, QSize(120, 40));
        button.setButtonIcon(Picture::fromImage(solidIcon(qRgb(255, 0, 255))));
        button.setButtonIconShadow(false);
        button.setButtonIconPos(0);
        button.setButtonIconShow(true);
        button.setCaption(QStringLiteral("Frozen"));
        button.setButtonShape(2);
        button.setTintSaturation(-100);
        button.setTint(true);
        button.setArrowShow(true);
        QImage texture(8, 8, QImage::Format_RGB32);
        texture.fill(qRgb(10, 200, 30));
        button.setTextureImage(Picture::fromImage(texture));
        button.setTexture(true);
        button.setShadow(true);
        button.setAlphaValue(128);
        button.setAlpha(true);
        const QImage withEffects = button.canvas().pic.image();

        button.setFreeze(true);
        const QImage face = button.PicNormal().image();
        const Surface &pic = button.canvas().pic;
        QVERIFY(face != withEffects);
        const ButtonRuntime::Box box = button.runtime().IconBox;
        const QRect iconArea(int(box.x) - 1, int(box.y) - 1, int(box.width) + 3, int(box.height) + 3);
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 120; ++x)
                if (!iconArea.contains(x, y))
                    QVERIFY2(pic.pixel(x, y) == Color::fromQRgb(face.pixel(x, y)),
                             qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
        QCOMPARE(pic.pixel(int(box.x + box.width / 2), int(box.y + box.height / 2)), 0xFF00FF);
        // The caption lies on the control only.
        const ButtonRuntime::Rect r = button.runtime().CaptionRect;
        bool captionShown = false;
        for (int y = r.top; y < r.bottom && !captionShown; ++y)
            for (int x = r.left; x < r.right && !captionShown; ++x)
                captionShown = Color::fromQRgb(button.image().pixel(x, y)) != pic.pixel(x, y);
        QVERIFY(captionShown);
        QVERIFY(!button.mask().contains(QPoint(0, 0)));
        QVERIFY(button.mask().contains(QPoint(60, 20)));
    }

    // With Fade on, a first Redraw(1) starts the fade and shows nothing new; a second one stops
    // it and shows the Over face at once.
    void twoOverRedrawsWithFade()
    {
        TavloClick button;
        button.resize(81, 33);
        button.setEnableEffects(false);
        button.setFade(false);
        button.setButtonColorNormal1(0x0000AA);
        button.setButtonColorOver1(0x00AA00);
        button.Redraw(0);
        button.setFade(true); // repaints Normal, the state shown already: at once
        QVERIFY(!button.tmrFade().isActive());
        QCOMPARE(button.image().pixel(40, 30) & 0xFFFFFF, 0xAA0000u);
        button.Redraw(1);
        QVERIFY(button.tmrFade().isActive());
        QCOMPARE(button.image().pixel(40, 30) & 0xFFFFFF, 0xAA0000u);
        button.Redraw(1);
        QVERIFY(!button.tmrFade().isActive());
        QCOMPARE(button.image().pixel(40, 30) & 0xFFFFFF, 0x00AA00u);
    }

    // A fade starts from the face on show: the first hover of a new button does not fade in
    // from black.
    void fadeStartsFromTheFaceOnShow()
    {
        TavloClick button;
        button.setEnableEffects(false);
        button.setButtonColorNormal1(0x0000AA);
        button.setButtonColorOver1(0x00AA00);
        button.Redraw(0);
        button.Redraw(0); // Normal, at once
        QCOMPARE(button.canvas().pic2.pixel(40, 30), OleColor(0x0000AA));
        button.Redraw(1);
        QVERIFY(button.tmrFade().isActive());
        QCOMPARE(button.canvas().pic2.pixel(40, 30), OleColor(0x0000AA));
    }

    // A picture face moves its icon and caption with the state.
    void upMotionMovesTheCaption()
    {
        TavloClick button;
        still(button, QSize(100, 60));
        QImage face(100, 60, QImage::Format_RGB32);
        face.fill(qRgb(40, 40, 40));
        button.setPicNormal(Picture::fromImage(face));
        button.setPicOver(Picture::fromImage(face));
        button.setPicDown(Picture::fromImage(face));
        button.setCustomPic(true);
        button.setUpMotion(true);
        button.setCaptionAutoAlign(false);
        button.Redraw(0);
        const int top = button.runtime().CaptionRect.top;
        button.Redraw(1); // (W + H) / 100 = 1.6 up
        QCOMPARE(button.runtime().CaptionRect.top, top - 2);
        button.Redraw(2);
        QCOMPARE(button.runtime().CaptionRect.top, top + 2);
    }
};

QTEST_MAIN(TestPipeline)
#include "tst_pipeline.moc"
