#include "PaintTestSupport.h"
#include "common/PropertyBag.h"
#include "controls/button/TavloClick.h"

#include <QJsonObject>
#include <QtTest>

#include <limits>

// Painting must survive every style, state and size with every layer on, and values stored
// unchecked from a bag (huge, negative, zero) must neither crash nor hang the repaint. These
// suites are meant for the sanitizer build.
class TestPaintRobustness : public QObject {
    Q_OBJECT

private:
    static QImage icon()
    {
        QImage image(16, 16, QImage::Format_ARGB32);
        image.fill(qRgba(250, 120, 20, 255));
        image.setPixel(0, 0, qRgba(0, 0, 0, 0));
        return image;
    }

    // Every layer on; the numbered choices follow the style so that all of them come round.
    static void everyLayer(TavloClick &button, int style)
    {
        button.setButtonStyleNormal(style);
        button.setButtonStyleOver(style);
        button.setButtonStyleDown(style);
        button.setButtonShape(style % 6);
        button.setBorderStyle(style % 6);
        button.setShadowStyle(style % 4);
        button.setTextureType(style % 4);
        button.setArrowPosition(style % 5);
        button.setArrowDirection(style % 4);
        button.setEffects(style % 6);
        button.setButtonIconPos(style % 5);
        button.setCaptionAlignment(style % 9);
        button.setCaptionAutoAlign(style % 2 == 0);
    }

private slots:
    void initTestCase()
    {
        TavloClick::setPointerQuery([] { return nullptr; });
    }

    void everyStyleStateAndSize_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("0 x 0") << QSize(0, 0);
        QTest::newRow("1 x 1") << QSize(1, 1);
        QTest::newRow("3 x 3") << QSize(3, 3);
        QTest::newRow("1000 x 40") << QSize(1000, 40);
    }
    void everyStyleStateAndSize()
    {
        QFETCH(QSize, size);
        PaintTest::Backdrop container;
        container.resize(1100, 100);
        TavloClick button(&container);
        button.setGeometry(QRect(QPoint(5, 5), size));
        container.show();
        button.setFade(false);
        button.setButtonTheme(4);
        button.setCaption(QStringLiteral("Every layer"));
        button.setCaptionShadow(true);
        button.setButtonIcon(Picture::fromImage(icon()));
        button.setButtonIconShow(true);
        QImage texture(7, 5, QImage::Format_RGB32);
        texture.fill(qRgb(90, 60, 30));
        button.setTextureImage(Picture::fromImage(texture));
        button.setTexture(true);
        button.setTint(true);
        button.setTintHue(40);
        button.setArrowShow(true);
        button.setShadow(true);
        button.setAlphaValue(90);
        button.setAlpha(true);
        QCOMPARE(button.size(), size);
        for (int style = 0; style < 25; ++style) {
            everyLayer(button, style);
            for (int state = 0; state < 3; ++state) {
                button.Redraw(state);
                QCOMPARE(button.runtime().LastState, state);
                QCOMPARE(button.image().size(), size.isEmpty() ? QSize(0, 0) : size);
            }
        }
    }

    void loadedExtremes_data()
    {
        QTest::addColumn<double>("size");   // BorderSize, ArrowSize, ShadowSize, corners, icon size
        QTest::addColumn<qint64>("number"); // split and blend sizes
        QTest::newRow("1e9, largest Long") << 1e9 << qint64(std::numeric_limits<int32_t>::max());
        QTest::newRow("-1e9, smallest Long") << -1e9 << qint64(std::numeric_limits<int32_t>::min());
        QTest::newRow("1e30, -1") << 1e30 << qint64(-1);
        QTest::newRow("0, 0") << 0.0 << qint64(0);
        QTest::newRow("40000, 100000") << 40000.0 << qint64(100000);
        QTest::newRow("-3, -400") << -3.0 << qint64(-400);
    }
    void loadedExtremes()
    {
        QFETCH(double, size);
        QFETCH(qint64, number);
        QJsonObject stored;
        for (const char *key : {"BorderSize", "ArrowSize", "ShadowSize", "RoundWidth", "RoundHeight",
                                "ButtonIconSize", "AlphaValue", "TextureAlpha", "FadeDelay"})
            stored.insert(QLatin1String(key), size);
        for (const char *key : {"ButtonColorSplitSize", "ButtonColorBlendSize"})
            stored.insert(QLatin1String(key), number);
        for (const char *key : {"TintBright", "TintHue", "TintSaturation"})
            stored.insert(QLatin1String(key), 32767);
        for (const char *key : {"Tint", "ArrowShow", "Texture", "Shadow", "Alpha", "ButtonIconShow", "CaptionShadow"})
            stored.insert(QLatin1String(key), true);
        stored.insert(QStringLiteral("Fade"), false);
        // A system colour that does not exist: the mask's opaque colour is out of a Long's range.
        stored.insert(QStringLiteral("MaskColor"), qint64(std::numeric_limits<int32_t>::min() + 0x262F9E));

        PaintTest::Backdrop container;
        TavloClick button(&container);
        button.setGeometry(10, 10, 120, 40);
        container.show();
        for (int style = 0; style < 25; ++style) {
            // Stored as they come, as a load does.
            QJsonObject values = stored;
            const std::pair<const char *, int> choices[] = {
                {"ButtonStyleNormal", style}, {"ButtonStyleOver", style}, {"ButtonStyleDown", style},
                {"ButtonShape", style % 6},   {"BorderStyle", style % 6}, {"ShadowStyle", style % 4},
                {"TextureType", style % 4},   {"ArrowPosition", style % 5}, {"ArrowDirection", style % 4},
                {"Effects", style % 6},       {"ButtonIconPos", style % 5}};
            for (const auto &[key, value] : choices)
                values.insert(QLatin1String(key), value);
            PropertyBag bag(values);
            const QVariant none = QVariant::fromValue(Picture());
            bag.write(QStringLiteral("ButtonIcon"), PropertyType::Picture,
                      QVariant::fromValue(Picture::fromImage(icon())), none);
            bag.write(QStringLiteral("TextureImage"), PropertyType::Picture,
                      QVariant::fromValue(Picture::fromImage(icon())), none);
            button.ReadProperties(bag);
            QCOMPARE(double(button.BorderSize()), double(float(size)));
            QCOMPARE(qint64(button.ButtonColorSplitSize()), number);
            for (int state = 0; state < 3; ++state) {
                button.Redraw(state);
                QCOMPARE(button.runtime().LastState, state);
            }
        }
    }
};

QTEST_MAIN(TestPaintRobustness)
#include "tst_paintrobustness.moc"
