#include "ErrorCode.h"
#include "common/Picture.h"
#include "common/PropertyBag.h"
#include "common/RuntimeError.h"

#include <QFont>
#include <QJsonArray>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(PropertyType)

namespace {

QImage sampleImage()
{
    QImage image(4, 3, QImage::Format_RGB32);
    image.fill(qRgb(10, 20, 30));
    image.setPixel(3, 2, qRgb(250, 128, 0));
    return image;
}

QFont font(const QString &family, double size, bool bold = false, bool italic = false,
           bool underline = false, bool strikeOut = false)
{
    QFont f(family);
    f.setPointSizeF(size);
    f.setBold(bold);
    f.setItalic(italic);
    f.setUnderline(underline);
    f.setStrikeOut(strikeOut);
    return f;
}

} // namespace

class TestPropertyBag : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data()
    {
        QTest::addColumn<PropertyType>("type");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QVariant>("defaultValue");
        QTest::addColumn<QJsonValue>("stored");

        QTest::newRow("Boolean") << PropertyType::Boolean << QVariant(false) << QVariant(true)
                                 << QJsonValue(false);
        QTest::newRow("Integer min") << PropertyType::Integer << QVariant::fromValue<qint16>(-32768)
                                     << QVariant::fromValue<qint16>(0) << QJsonValue(-32768);
        QTest::newRow("Long") << PropertyType::Long << QVariant::fromValue<qint32>(-2147483647 - 1)
                              << QVariant::fromValue<qint32>(6) << QJsonValue(-2147483648.0);
        QTest::newRow("Single fraction") << PropertyType::Single << QVariant(0.1f) << QVariant(150.0f)
                                         << QJsonValue(double(0.1f));
        QTest::newRow("Colour RGB") << PropertyType::Colour << QVariant::fromValue<qint32>(0x0080FF)
                                    << QVariant::fromValue<qint32>(0) << QJsonValue(33023);
        QTest::newRow("Colour system, stored unsigned")
            << PropertyType::Colour << QVariant::fromValue<qint32>(qint32(0x8000000F))
            << QVariant::fromValue<qint32>(0) << QJsonValue(2147483663.0);
        QTest::newRow("String") << PropertyType::String << QVariant(QStringLiteral("Ünïcode \"q\""))
                                << QVariant(QString()) << QJsonValue(QStringLiteral("Ünïcode \"q\""));
        QTest::newRow("Variant text") << PropertyType::Variant << QVariant(QStringLiteral("0"))
                                      << QVariant::fromValue<qint16>(50) << QJsonValue(QStringLiteral("0"));
        QTest::newRow("Variant text equal to the default number")
            << PropertyType::Variant << QVariant(QStringLiteral("50")) << QVariant::fromValue<qint16>(50)
            << QJsonValue(QStringLiteral("50"));
        QTest::newRow("Variant real") << PropertyType::Variant << QVariant(33.25)
                                      << QVariant::fromValue<qint16>(50) << QJsonValue(33.25);
    }
    void roundTrip()
    {
        QFETCH(PropertyType, type);
        QFETCH(QVariant, value);
        QFETCH(QVariant, defaultValue);
        QFETCH(QJsonValue, stored);

        PropertyBag bag;
        bag.write(QStringLiteral("Key"), type, value, defaultValue);
        QCOMPARE(bag.object().value(QStringLiteral("Key")), stored);

        const PropertyBag reloaded = PropertyBag::fromJson(bag.toJson());
        const QVariant back = reloaded.read(QStringLiteral("Key"), type, defaultValue);
        QVERIFY(PropertyBag::sameValue(type, back, value));
        QCOMPARE(back.metaType(), value.metaType());
    }

    void defaultIsOmitted_data()
    {
        QTest::addColumn<PropertyType>("type");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QVariant>("defaultValue");
        QTest::newRow("Boolean") << PropertyType::Boolean << QVariant(true) << QVariant(true);
        QTest::newRow("Long") << PropertyType::Long << QVariant::fromValue<qint32>(6)
                              << QVariant::fromValue<qint32>(6);
        QTest::newRow("Colour") << PropertyType::Colour << QVariant::fromValue<qint32>(qint32(0x8000000F))
                                << QVariant::fromValue<qint32>(qint32(0x8000000F));
        QTest::newRow("String") << PropertyType::String << QVariant(QStringLiteral("Tavlo Click"))
                                << QVariant(QStringLiteral("Tavlo Click"));
        QTest::newRow("Picture Nothing") << PropertyType::Picture << QVariant::fromValue(Picture())
                                         << QVariant::fromValue(Picture());
        QTest::newRow("Font same attributes")
            << PropertyType::Font << QVariant::fromValue(font(QStringLiteral("Arial"), 9.75, true))
            << QVariant::fromValue(font(QStringLiteral("Arial"), 9.75, true));
        QTest::newRow("Variant number of another width")
            << PropertyType::Variant << QVariant(50.0) << QVariant::fromValue<qint16>(50);
    }
    void defaultIsOmitted()
    {
        QFETCH(PropertyType, type);
        QFETCH(QVariant, value);
        QFETCH(QVariant, defaultValue);

        PropertyBag bag(QJsonObject{{QStringLiteral("Key"), QStringLiteral("an earlier value")}});
        bag.write(QStringLiteral("Key"), type, value, defaultValue);
        QVERIFY(!bag.contains(QStringLiteral("Key")));
        QVERIFY(PropertyBag::sameValue(type, bag.read(QStringLiteral("Key"), type, defaultValue), defaultValue));
    }

    void conversions_data()
    {
        QTest::addColumn<PropertyType>("type");
        QTest::addColumn<QJsonValue>("stored");
        QTest::addColumn<QVariant>("expected");
        QTest::newRow("Long from numeric text") << PropertyType::Long << QJsonValue(QStringLiteral(" 10 "))
                                                << QVariant::fromValue<qint32>(10);
        QTest::newRow("Long rounds half to even") << PropertyType::Long << QJsonValue(2.5)
                                                  << QVariant::fromValue<qint32>(2);
        QTest::newRow("Integer from True") << PropertyType::Integer << QJsonValue(true)
                                           << QVariant::fromValue<qint16>(-1);
        QTest::newRow("Boolean from -1") << PropertyType::Boolean << QJsonValue(-1) << QVariant(true);
        QTest::newRow("Boolean from text False") << PropertyType::Boolean << QJsonValue(QStringLiteral("false"))
                                                 << QVariant(false);
        QTest::newRow("Colour signed form") << PropertyType::Colour << QJsonValue(-2147483633.0)
                                            << QVariant::fromValue<qint32>(qint32(0x8000000F));
        QTest::newRow("String from number") << PropertyType::String << QJsonValue(12.5)
                                            << QVariant(QStringLiteral("12.5"));
        QTest::newRow("Variant integral number") << PropertyType::Variant << QJsonValue(100)
                                                 << QVariant(100);
    }
    void conversions()
    {
        QFETCH(PropertyType, type);
        QFETCH(QJsonValue, stored);
        QFETCH(QVariant, expected);
        const PropertyBag bag(QJsonObject{{QStringLiteral("Key"), stored}});
        const QVariant value = bag.read(QStringLiteral("Key"), type, QVariant());
        QCOMPARE(value, expected);
        QCOMPARE(value.metaType(), expected.metaType());
    }

    void failures_data()
    {
        QTest::addColumn<PropertyType>("type");
        QTest::addColumn<QJsonValue>("stored");
        QTest::addColumn<int>("code");
        QTest::newRow("Boolean from text") << PropertyType::Boolean << QJsonValue(QStringLiteral("yes please")) << 13;
        QTest::newRow("Long from object") << PropertyType::Long << QJsonValue(QJsonObject()) << 13;
        QTest::newRow("Colour from array") << PropertyType::Colour << QJsonValue(QJsonArray{1}) << 13;
        QTest::newRow("String from null") << PropertyType::String << QJsonValue(QJsonValue::Null) << 13;
        QTest::newRow("Picture from number") << PropertyType::Picture << QJsonValue(5) << 13;
        QTest::newRow("Picture of unknown form")
            << PropertyType::Picture << QJsonValue(QJsonObject{{QStringLiteral("gif"), 1}}) << 13;
        QTest::newRow("Font from text") << PropertyType::Font << QJsonValue(QStringLiteral("Arial")) << 13;
        QTest::newRow("Variant from object") << PropertyType::Variant << QJsonValue(QJsonObject()) << 13;
        QTest::newRow("Integer above range") << PropertyType::Integer << QJsonValue(32768) << 6;
        QTest::newRow("Long above range") << PropertyType::Long << QJsonValue(3e9) << 6;
        QTest::newRow("Colour above 32 bits") << PropertyType::Colour << QJsonValue(4294967296.0) << 6;
        QTest::newRow("Single above range") << PropertyType::Single << QJsonValue(1e39) << 6;
        QTest::newRow("Picture resource missing")
            << PropertyType::Picture
            << QJsonValue(QJsonObject{{QStringLiteral("resource"), QStringLiteral(":/no/such.png")}}) << 481;
        QTest::newRow("Picture png corrupt")
            << PropertyType::Picture << QJsonValue(QJsonObject{{QStringLiteral("png"), QStringLiteral("AAAA")}})
            << 481;
        QTest::newRow("Font size zero")
            << PropertyType::Font << QJsonValue(QJsonObject{{QStringLiteral("size"), 0}}) << 380;
    }
    void failures()
    {
        QFETCH(PropertyType, type);
        QFETCH(QJsonValue, stored);
        QFETCH(int, code);
        const PropertyBag bag(QJsonObject{{QStringLiteral("Key"), stored}});
        QCOMPARE(errorCode([&] { bag.read(QStringLiteral("Key"), type, QVariant::fromValue(QFont())); }), code);
    }

    void pictures()
    {
        const QVariant nothing = QVariant::fromValue(Picture());
        PropertyBag bag;

        // Embedded: the image survives pixel for pixel.
        bag.write(QStringLiteral("Embedded"), PropertyType::Picture,
                  QVariant::fromValue(Picture::fromImage(sampleImage())), nothing);
        const Picture embedded = PropertyBag::fromJson(bag.toJson())
                                     .read(QStringLiteral("Embedded"), PropertyType::Picture, nothing)
                                     .value<Picture>();
        QCOMPARE(embedded.image().convertToFormat(QImage::Format_RGB32), sampleImage());

        // By path: stored by reference, not embedded.
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("pic.png"));
        QVERIFY(sampleImage().save(path));
        const PropertyBag byPath(QJsonObject{
            {QStringLiteral("Pic"), QJsonObject{{QStringLiteral("resource"), path}}}});
        const Picture loaded = byPath.read(QStringLiteral("Pic"), PropertyType::Picture, nothing).value<Picture>();
        QCOMPARE(loaded.image().pixel(3, 2), qRgb(250, 128, 0));
        bag.write(QStringLiteral("Pic"), PropertyType::Picture, QVariant::fromValue(loaded), nothing);
        QCOMPARE(bag.object().value(QStringLiteral("Pic")).toObject(),
                 (QJsonObject{{QStringLiteral("resource"), path}}));

        // An empty picture is an object without image, distinct from Nothing.
        bag.write(QStringLiteral("Empty"), PropertyType::Picture, QVariant::fromValue(Picture::empty()), nothing);
        const Picture empty = bag.read(QStringLiteral("Empty"), PropertyType::Picture, nothing).value<Picture>();
        QVERIFY(!empty.isNothing());
        QVERIFY(!empty.hasImage());
        bag.write(QStringLiteral("Gone"), PropertyType::Picture, nothing, QVariant::fromValue(Picture::empty()));
        QCOMPARE(bag.object().value(QStringLiteral("Gone")), QJsonValue(QJsonValue::Null));
        QVERIFY(bag.read(QStringLiteral("Gone"), PropertyType::Picture, QVariant()).value<Picture>().isNothing());
    }

    void fonts()
    {
        const QFont ambient = font(QStringLiteral("DejaVu Sans"), 8.25);
        const QFont stored = font(QStringLiteral("Liberation Sans"), 9.75, true, true, true, true);
        PropertyBag bag;
        bag.write(QStringLiteral("Font"), PropertyType::Font, QVariant::fromValue(stored), QVariant::fromValue(ambient));
        const QFont back = PropertyBag::fromJson(bag.toJson())
                               .read(QStringLiteral("Font"), PropertyType::Font, QVariant::fromValue(ambient))
                               .value<QFont>();
        QVERIFY(PropertyBag::sameValue(PropertyType::Font, QVariant::fromValue(back), QVariant::fromValue(stored)));

        // Attributes a stored form leaves out come from the default font.
        const PropertyBag partial(QJsonObject{{QStringLiteral("Font"), QJsonObject{{QStringLiteral("bold"), true}}}});
        const QFont merged = partial.read(QStringLiteral("Font"), PropertyType::Font, QVariant::fromValue(ambient))
                                 .value<QFont>();
        QCOMPARE(merged.family(), ambient.family());
        QCOMPARE(merged.pointSizeF(), 8.25);
        QVERIFY(merged.bold());

        // A font given in pixels is stored in points (96 dpi).
        QFont pixels(QStringLiteral("DejaVu Sans"));
        pixels.setPixelSize(12);
        bag.write(QStringLiteral("Pixels"), PropertyType::Font, QVariant::fromValue(pixels), QVariant::fromValue(ambient));
        QCOMPARE(bag.object().value(QStringLiteral("Pixels")).toObject().value(QStringLiteral("size")).toDouble(), 9.0);
    }

    void malformedJson()
    {
        bool ok = true;
        const PropertyBag bag = PropertyBag::fromJson("{\"BlockSize\": ", &ok);
        QVERIFY(!ok);
        QVERIFY(bag.keys().isEmpty());
        PropertyBag::fromJson("[1, 2]", &ok);
        QVERIFY(!ok);
        PropertyBag::fromJson("{\"BlockSize\": 10}", &ok);
        QVERIFY(ok);
    }
};

QTEST_MAIN(TestPropertyBag)
#include "tst_propertybag.moc"
