#include "ButtonTestSupport.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace ButtonTest;

namespace {

const QString BuiltIn = ButtonLayouts::builtInTheme();

QString themeWith(int index, const QString &value) { return withField(BuiltIn, index, value); }

} // namespace

class TestButtonTheme : public QObject {
    Q_OBJECT
private slots:
    void builtInThemeRoundTrip()
    {
        QTemporaryDir dir;
        QDir::setCurrent(dir.path());
        TavloClick button;
        QSignalSpy changed(&button, &TavloClick::propertyChanged);
        button.setButtonTheme(4);
        QCOMPARE(button.SaveButtonTheme(QString()), BuiltIn);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList());
        QCOMPARE(button.ButtonTheme(), 4);
        QCOMPARE(button.ButtonColorNormal1(), 16384);
        QCOMPARE(button.ButtonColorOver2(), 14536131);
        QCOMPARE(button.ButtonStyleDown(), 11);
        QCOMPARE(button.BorderStyle(), 3);
        QCOMPARE(button.CaptionShadowColor(), 0x404040);
        QVERIFY(!button.RoundSizeAuto());
        QCOMPARE(button.lblCap().foreColor(), 0xFFFFFF);
        QCOMPARE(button.runtime().LastState, 0);
        QCOMPARE(changed.last().at(0).toString(), QStringLiteral("ButtonTheme"));
        QVERIFY(changed.contains(QVariantList{QStringLiteral("MaskColor")}));
    }

    // Only 4 is a theme; other numbers are kept and change nothing else, without error.
    void otherThemeNumbers_data()
    {
        QTest::addColumn<int>("number");
        QTest::newRow("0") << 0;
        QTest::newRow("3") << 3;
        QTest::newRow("5") << 5;
        QTest::newRow("-1") << -1;
    }
    void otherThemeNumbers()
    {
        QFETCH(int, number);
        TavloClick button;
        makeDistinct(button);
        const QString before = button.SaveButtonSettings(QString());
        QCOMPARE(errorCode([&] { button.setButtonTheme(number); }), 0);
        QCOMPARE(button.ButtonTheme(), number);
        QCOMPARE(button.SaveButtonSettings(QString()), withField(before, 31, QString::number(number)));
    }

    void fieldReads_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("text");
        QTest::addColumn<ButtonProperty>("id");
        QTest::addColumn<QVariant>("expected");
        QTest::newRow("Boolean -1") << 20 << "-1" << ButtonProperty::CustomPic << QVariant(true);
        QTest::newRow("Boolean 0") << 28 << "0" << ButtonProperty::Tint << QVariant(false);
        QTest::newRow("Boolean lower case") << 23 << "true" << ButtonProperty::RoundSizeAuto << QVariant(true);
        QTest::newRow("Long 12.5") << 4 << "12.5" << ButtonProperty::BorderStyle << QVariant::fromValue<qint32>(12);
        QTest::newRow("Long 13.5") << 4 << "13.5" << ButtonProperty::BorderStyle << QVariant::fromValue<qint32>(14);
        QTest::newRow("Single keeps 6.5") << 26 << "6.5" << ButtonProperty::ShadowSize << QVariant(6.5f);
        QTest::newRow("Single unclamped") << 3 << "0" << ButtonProperty::BorderSize << QVariant(0.0f);
        QTest::newRow("Integer unclamped") << 30 << "-250" << ButtonProperty::TintHue << QVariant::fromValue<qint16>(-250);
        QTest::newRow("colour untranslated") << 25 << "-2147483633" << ButtonProperty::ShadowColor
                                             << QVariant::fromValue<qint32>(qint32(0x8000000F));
        QTest::newRow("no number reads 0") << 14 << "wide" << ButtonProperty::ButtonColorSplitSize
                                           << QVariant::fromValue<qint32>(0);
        QTest::newRow("blanks ignored") << 5 << " 1 2 " << ButtonProperty::ButtonColorBlendSize
                                        << QVariant::fromValue<qint32>(12);
    }
    void fieldReads()
    {
        QFETCH(int, index);
        QFETCH(QString, text);
        QFETCH(ButtonProperty, id);
        QFETCH(QVariant, expected);
        TavloClick button;
        button.LoadButtonTheme(QString(), themeWith(index, text));
        QVERIFY(PropertyBag::sameValue(buttonDescriptors().find(id).type, button.propertyValue(id), expected));
    }

    void captionColourFieldAlsoSetsTheLabel()
    {
        TavloClick button;
        button.LoadButtonTheme(QString(), themeWith(18, "255"));
        QCOMPARE(button.CaptionColor(), 255);
        QCOMPARE(button.lblCap().foreColor(), 255);
        QCOMPARE(button.SaveButtonTheme(QString()).split("##").at(18), QStringLiteral("255"));
    }

    void missingFileChangesNothing()
    {
        QTemporaryDir dir;
        TavloClick button;
        makeDistinct(button);
        button.setFade(true);
        button.Redraw(1);
        const QString before = button.SaveButtonSettings(QString());
        QCOMPARE(errorCode([&] { button.LoadButtonTheme(dir.filePath("missing.theme"), QString()); }), 0);
        QCOMPARE(button.SaveButtonSettings(QString()), before);
        QCOMPARE(button.runtime().LastState, 0);
    }

    void twoFieldsWithoutFileFail()
    {
        TavloClick button;
        button.setBorderColor2(77);
        QCOMPARE(errorCode([&] { button.LoadButtonTheme(QString(), QStringLiteral("1##2")); }),
                 int(RuntimeError::SubscriptOutOfRange));
        QCOMPARE(button.ArrowColor(), 1);
        QCOMPARE(button.BorderColor1(), 2);
        QCOMPARE(button.BorderColor2(), 77);
    }

    void badBooleanWithoutFileFails()
    {
        TavloClick button;
        QCOMPARE(errorCode([&] { button.LoadButtonTheme(QString(), themeWith(20, "maybe")); }),
                 int(RuntimeError::TypeMismatch));
        QCOMPARE(button.ButtonStyleOver(), 11);     // field 17, before the bad one
        QCOMPARE(button.RoundSizeAuto(), true);     // field 23, after it: untouched
    }

    void fileRoundTripAndPrecedence()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("green.theme");
        TavloClick source;
        source.setButtonTheme(4);
        source.setShadowSize(2.25f);
        const QString theme = source.SaveButtonTheme(file);
        QCOMPARE(readFile(file), theme.toUtf8() + "\r\n");

        TavloClick target;
        target.LoadButtonTheme(file, QString());
        QCOMPARE(target.SaveButtonTheme(QString()), theme);

        // A theme string given with a readable file wins over the file.
        target.LoadButtonTheme(file, themeWith(0, "42"));
        QCOMPARE(target.ArrowColor(), 42);
    }

    void extraFieldsAreIgnored()
    {
        TavloClick button;
        QCOMPARE(errorCode([&] { button.LoadButtonTheme(QString(), BuiltIn + "##99##junk"); }), 0);
        QCOMPARE(button.SaveButtonTheme(QString()), BuiltIn);
    }

    void saveToAnUnwritablePathStillReturns()
    {
        QTemporaryDir dir;
        TavloClick button;
        QCOMPARE(button.SaveButtonTheme(dir.filePath("no/such/folder.theme")).split("##").size(), 32);
        QCOMPARE(button.SaveButtonTheme(dir.path()).split("##").size(), 32);
    }

    // Files of any content load without error; what is readable is applied, the rest skipped.
    void hostileFiles_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("arrowColor");
        QTest::addColumn<int>("buttonStyleNormal");
        QByteArray binary;
        for (int i = 0; i < 4096; ++i)
            binary.append(char((i * 37 + 11) % 256 == '#' ? 0 : (i * 37 + 11) % 256));
        QTest::newRow("empty file") << QByteArray() << 0xFFFFFF << 0;
        // Cut at its first CR; one field whose leading number is missing.
        QTest::newRow("binary") << binary << 0 << 0;
        QTest::newRow("1 MB line") << QByteArray(1024 * 1024, 'x') << 0 << 0;
        QTest::newRow("1 MB of separators") << QByteArray(1024 * 1024, '#') << 0 << 0;
        QTest::newRow("fewer fields") << QByteArray("5##6##7") << 5 << 0;
        QTest::newRow("garbage Booleans") << themeWith(20, "maybe").toUtf8() << 16777215 << 11;
        QTest::newRow("huge numbers skipped") << withField(themeWith(0, "1e300"), 16, "-99999999999").toUtf8()
                                              << 0xFFFFFF << 0;
        QTest::newRow("negative numbers kept") << withField(themeWith(0, "-1"), 16, "-5").toUtf8() << -1 << -5;
    }
    void hostileFiles()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, arrowColor);
        QFETCH(int, buttonStyleNormal);
        QTemporaryDir dir;
        const QString file = dir.filePath("hostile.theme");
        writeFile(file, content);
        TavloClick button;
        QCOMPARE(errorCode([&] { button.LoadButtonTheme(file, QString()); }), 0);
        QCOMPARE(button.ArrowColor(), arrowColor);
        QCOMPARE(button.ButtonStyleNormal(), buttonStyleNormal);
        QCOMPARE(button.runtime().LastState, 0);
        QVERIFY(!button.image().isNull());
    }
};

QTEST_MAIN(TestButtonTheme)
#include "tst_theme.moc"
