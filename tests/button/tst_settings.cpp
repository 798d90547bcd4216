#include "ButtonTestSupport.h"
#include "controls/button/HandCursor.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace ButtonTest;

namespace {

QImage solidImage(QRgb rgb)
{
    QImage image(6, 6, QImage::Format_RGB32);
    image.fill(rgb);
    return image;
}

} // namespace

class TestButtonSettings : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        TavloClick probe;
        // The settings string carries sizes in twips; the figures below assume 96 dpi.
        QCOMPARE(probe.twipsPerPixelX(), 15.0);
        QCOMPARE(probe.twipsPerPixelY(), 15.0);
    }

    void newControlString()
    {
        TavloClick button;
        const QStringList fields = settingsFields(button);
        QCOMPARE(fields.size(), 76);
        QCOMPARE(fields.at(0), QStringLiteral("False"));
        QCOMPARE(fields.at(1), QStringLiteral("150"));
        QCOMPARE(fields.at(2), QStringLiteral("16777215"));
        QCOMPARE(fields.at(32), QStringLiteral("Tavlo Click"));
        QCOMPARE(fields.at(43), QStringLiteral("75"));
        QCOMPARE(fields.at(44), QStringLiteral("False"));
        QCOMPARE(fields.at(45), QStringLiteral("495"));
        QCOMPARE(fields.at(46), QStringLiteral("0"));
        QCOMPARE(fields.at(71), QStringLiteral("1215"));
        QCOMPARE(fields.at(72), button.font().family());
        QCOMPARE(fields.at(74), QStringLiteral("False"));
    }

    void oneButtonIntoAnother()
    {
        TavloClick source;
        makeDistinct(source);
        const QString settings = source.SaveButtonSettings(QString());

        TavloClick target;
        const Picture icon = Picture::fromImage(solidImage(qRgb(1, 2, 3)));
        const Picture normal = Picture::fromImage(solidImage(qRgb(4, 5, 6)));
        target.setButtonIcon(icon);
        target.setPicNormal(normal);
        target.setEnabled(false);
        QFont underlined = target.Font();
        underlined.setUnderline(true);
        underlined.setStrikeOut(true);
        target.setFont(underlined);
        QSignalSpy changed(&target, &TavloClick::propertyChanged);

        target.LoadButtonSettings(QString(), settings);
        QCOMPARE(target.SaveButtonSettings(QString()), settings);
        QCOMPARE(target.size(), QSize(120, 40));
        QCOMPARE(target.canvas().pic.width(), 120);
        QCOMPARE(target.Caption(), QStringLiteral("Convert"));
        QCOMPARE(target.SoundCustom2(), QStringLiteral("/sounds/two.wav"));
        QCOMPARE(target.font().family(), QStringLiteral("Liberation Serif"));
        QCOMPARE(target.font().pointSizeF(), 13.5);
        QVERIFY(target.font().bold());
        QVERIFY(target.font().italic());
        QVERIFY(target.font().underline());
        QVERIFY(target.font().strikeOut());
        QVERIFY(target.ButtonIcon() == icon);
        QVERIFY(target.PicNormal() == normal);
        QVERIFY(!target.isEnabled());
        // Fields go straight into place: no clamp, no interval change, no lblCap caption.
        QCOMPARE(target.tmrFade().interval(), 1);
        QCOMPARE(target.lblCap().caption(), QStringLiteral("Tavlo Click"));
        QCOMPARE(target.lblCap().foreColor(), 0x00FF00);
        // Only MaskColor goes through its accessor.
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toString(), QStringLiteral("MaskColor"));
        QCOMPARE(target.runtime().LastState, 0);
    }

    // The font's size travels in points, also for a font given in pixels (at 96 dpi here).
    void fontSizeField_data()
    {
        QTest::addColumn<QFont>("font");
        QTest::addColumn<QString>("field");
        QFont points(QStringLiteral("Liberation Sans"));
        points.setPointSizeF(13.5);
        QFont pixels(QStringLiteral("Liberation Sans"));
        pixels.setPixelSize(16);
        QFont oddPixels = pixels;
        oddPixels.setPixelSize(15);
        QTest::newRow("13.5 points") << points << "13.5";
        QTest::newRow("16 pixels") << pixels << "12";
        QTest::newRow("15 pixels") << oddPixels << "11.25";
    }
    void fontSizeField()
    {
        QFETCH(QFont, font);
        QFETCH(QString, field);
        TavloClick source;
        source.setFont(font);
        const QString settings = source.SaveButtonSettings(QString());
        QCOMPARE(ButtonFieldText::split(settings).at(73), field);
        TavloClick target;
        target.LoadButtonSettings(QString(), settings);
        QCOMPARE(target.Font().pointSizeF(), field.toDouble());
    }

    void booleanFields_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("text");
        QTest::addColumn<ButtonProperty>("id");
        QTest::addColumn<bool>("expected");
        QTest::newRow("AutoSize -1") << 8 << "-1" << ButtonProperty::AutoSize << true;
        QTest::newRow("Fade 0") << 42 << "0" << ButtonProperty::Fade << false;
        QTest::newRow("Sound TRUE") << 54 << "TRUE" << ButtonProperty::Sound << true;
        // Freeze reads like every other Boolean.
        QTest::newRow("Freeze True") << 44 << "True" << ButtonProperty::Freeze << true;
        QTest::newRow("Freeze 1") << 44 << "1" << ButtonProperty::Freeze << true;
        QTest::newRow("Freeze False") << 44 << "False" << ButtonProperty::Freeze << false;
    }
    void booleanFields()
    {
        QFETCH(int, index);
        QFETCH(QString, text);
        QFETCH(ButtonProperty, id);
        QFETCH(bool, expected);
        TavloClick button;
        button.LoadButtonSettings(QString(), withField(button.SaveButtonSettings(QString()), index, text));
        QCOMPARE(button.propertyValue(id).toBool(), expected);
    }

    // A load that leaves Freeze on captures the frozen pictures from the look it loaded, also
    // when it fails after the Freeze field: Freeze and the frozen faces never disagree.
    void loadingFreezeCapturesTheLoadedLook_data()
    {
        QTest::addColumn<int>("badField"); // -1: none
        QTest::newRow("whole line") << -1;
        QTest::newRow("failing at Shadow") << 50;
        QTest::newRow("failing at the width") << 71;
    }
    void loadingFreezeCapturesTheLoadedLook()
    {
        QFETCH(int, badField);
        TavloClick source;
        source.setButtonColorNormal1(0x0000CC);
        source.setButtonColorOver1(0x00CC00);
        source.setFreeze(true);
        QVERIFY(source.CustomPic());
        QString settings = source.SaveButtonSettings(QString());
        QCOMPARE(settings.split("##").at(44), QStringLiteral("True"));
        if (badField >= 0)
            settings = withField(settings, badField, badField == 71 ? "-15" : "maybe");

        TavloClick target;
        target.setButtonColorNormal1(0x777777);
        target.setFreeze(true); // frozen with its old look
        QCOMPARE(errorCode([&] { target.LoadButtonSettings(QString(), settings); }) != 0, badField >= 0);
        QVERIFY(target.Freeze());
        QVERIFY(target.CustomPic());
        QCOMPARE(target.PicNormal().image().pixel(40, 30) & 0xFFFFFF, 0xCC0000u);
        QCOMPARE(target.PicOver().image().pixel(40, 30) & 0xFFFFFF, 0x00CC00u);
        if (badField < 0)
            QCOMPARE(target.canvas().pic.pixel(40, 30), OleColor(0x0000CC));
    }

    void seventyTwoFieldsLoadCompletely()
    {
        TavloClick source;
        makeDistinct(source);
        const QStringList fields = settingsFields(source).mid(0, 72);
        TavloClick target;
        QCOMPARE(errorCode([&] { target.LoadButtonSettings(QString(), fields.join("##")); }), 0);
        QCOMPARE(target.size(), QSize(120, 40));
        QCOMPARE(target.font().family(), TavloClick().font().family());
    }

    void fontErrorsAreAlwaysIgnored()
    {
        TavloClick button;
        QString line = button.SaveButtonSettings(QString());
        line = withField(withField(line, 73, "-3"), 74, "maybe");
        const QFont before = button.font();
        QCOMPARE(errorCode([&] { button.LoadButtonSettings(QString(), line); }), 0);
        QCOMPARE(button.font().pointSizeF(), before.pointSizeF());
        QCOMPARE(button.font().bold(), before.bold());
    }

    // A caption holding the separator shifts the later fields by one place.
    void captionWithSeparatorShifts()
    {
        TavloClick source;
        source.setCaption(QStringLiteral("A##B"));
        source.setCaptionAutoAlign(false);
        const QString settings = source.SaveButtonSettings(QString());
        QCOMPARE(settings.split("##").size(), 77);
        TavloClick target;
        QCOMPARE(errorCode([&] { target.LoadButtonSettings(QString(), settings); }), 0);
        QCOMPARE(target.Caption(), QStringLiteral("A"));
        QCOMPARE(target.CaptionAlignment(), 0);   // "B"
        QVERIFY(!target.CaptionAutoAlign());      // CaptionAlignment's "0"
        QVERIFY(target.CaptionShadow());          // CaptionColor's "16777215"
        QVERIFY(target.Freeze());                 // FadeDelay's "75"
        QCOMPARE(target.height(), 0);             // Freeze's "False"
    }

    void settingsActions()
    {
        QTemporaryDir dir;
        TavloClick button;
        makeDistinct(button);
        button.setSettingsFile(dir.filePath("look.scs"));
        QSignalSpy changed(&button, &TavloClick::propertyChanged);
        button.setSettings(1);
        QCOMPARE(button.Settings(), 0);
        QCOMPARE(changed.last().at(0).toString(), QStringLiteral("Settings"));
        const QString saved = button.SaveButtonSettings(QString());
        QCOMPARE(readFile(dir.filePath("look.scs")), saved.toUtf8() + "\r\n");

        button.setCaption(QStringLiteral("Changed"));
        button.setSettings(2);
        QCOMPARE(button.Caption(), QStringLiteral("Convert"));
        QCOMPARE(button.Settings(), 0);

        button.setSettingsFile(dir.filePath("look.theme"));
        button.setSettings(3);
        QCOMPARE(readFile(dir.filePath("look.theme")), button.SaveButtonTheme(QString()).toUtf8() + "\r\n");
        button.setButtonColorNormal1(1);
        button.setSettings(4);
        QCOMPARE(button.ButtonColorNormal1(), 0x555555);
    }

    void settingsResetRestoresDefaults_data()
    {
        QTest::addColumn<bool>("autoSizedFace");
        QTest::addColumn<bool>("shown");
        QTest::newRow("a distinct look") << false << false;
        QTest::newRow("AutoSize on a custom face") << true << false;
        QTest::newRow("AutoSize on a custom face, shown") << true << true;
    }
    void settingsResetRestoresDefaults()
    {
        QFETCH(bool, autoSizedFace);
        QFETCH(bool, shown);
        TavloClick fresh;
        TavloClick button;
        makeDistinct(button);
        button.setPicNormal(Picture::fromImage(solidImage(qRgb(4, 5, 6))));
        if (autoSizedFace) {
            button.setCustomPic(true);
            button.setAutoSize(true);
            QCOMPARE(button.size(), solidImage(0).size());
        }
        if (shown) {
            button.show();
            QVERIFY(QTest::qWaitForWindowExposed(&button));
        }
        button.setMouseIcon(Picture());
        button.setSettingsFile(QStringLiteral("other.scs"));
        button.setSettings(5);
        QCOMPARE(button.Settings(), 0);
        QCOMPARE(button.SaveButtonSettings(QString()), fresh.SaveButtonSettings(QString()));
        QCOMPARE(button.size(), QSize(81, 33));
        QVERIFY(!button.PicNormal().isNothing());
        QVERIFY(!button.PicNormal().hasImage());
        QVERIFY(button.MouseIcon() == HandCursor::picture());
        QCOMPARE(button.SettingsFile(), QStringLiteral("TavloClick.scs"));
        QCOMPARE(button.lblCap().caption(), QStringLiteral("Tavlo Click"));
    }

    void unknownSettingsActionOnlyReports()
    {
        TavloClick button;
        makeDistinct(button);
        const QString before = button.SaveButtonSettings(QString());
        QSignalSpy changed(&button, &TavloClick::propertyChanged);
        button.setSettings(7);
        QCOMPARE(button.Settings(), 0);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toString(), QStringLiteral("Settings"));
        QCOMPARE(button.SaveButtonSettings(QString()), before);
    }

    void loadActionWithoutFileFails()
    {
        TavloClick button;
        button.setSettingsFile(QString());
        QCOMPARE(errorCode([&] { button.setSettings(2); }), int(RuntimeError::SubscriptOutOfRange));
        QCOMPARE(button.Settings(), 0);
    }

    void quickSave()
    {
        QTemporaryDir dir;
        const QString previous = QDir::currentPath();
        QDir::setCurrent(dir.path());
        TavloClick button;
        button.setObjectName(QStringLiteral("btnOk"));
        button.setCaption(QStringLiteral("OK"));
        QCOMPARE(button.quickSaveFileName(), QStringLiteral("btnOk-OK.scs"));
        button.quickSaveSettings();
        QCOMPARE(readFile(dir.filePath("btnOk-OK.scs")), button.SaveButtonSettings(QString()).toUtf8() + "\r\n");

        QDir(dir.path()).mkdir(QStringLiteral("btnOk-a"));
        button.setCaption(QStringLiteral("a/b"));
        button.quickSaveSettings();
        QDir::setCurrent(previous);
        QVERIFY(!QFile::exists(dir.filePath("btnOk-a/b.scs")));
    }

    // A link planted under the quick save's name in a shared folder is not written through.
    void quickSaveRefusesALink()
    {
        QTemporaryDir dir;
        const QString victim = dir.filePath("victim");
        QFile file(victim);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("precious");
        file.close();
        QVERIFY(QFile::link(victim, dir.filePath("btnOk-OK.scs")));
        const QString previous = QDir::currentPath();
        QDir::setCurrent(dir.path());
        TavloClick button;
        button.setObjectName(QStringLiteral("btnOk"));
        button.setCaption(QStringLiteral("OK"));
        button.quickSaveSettings();
        QDir::setCurrent(previous);
        QCOMPARE(readFile(victim), QByteArray("precious"));
        QVERIFY(QFileInfo(dir.filePath("btnOk-OK.scs")).isSymLink());
    }

    // Hostile text without a file name: the load stops with the old platform's error after the
    // fields before the bad one.
    void hostileStrings_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("error");
        QTest::newRow("garbage Boolean") << 5 << "maybe" << int(RuntimeError::TypeMismatch);
        QTest::newRow("Long beyond range") << 12 << "99999999999" << int(RuntimeError::Overflow);
        QTest::newRow("Integer beyond range") << 23 << "40000" << int(RuntimeError::Overflow);
        QTest::newRow("Single beyond range") << 26 << "1e39" << int(RuntimeError::Overflow);
        QTest::newRow("negative height") << 45 << "-15" << int(RuntimeError::InvalidPropertyValue);
        QTest::newRow("huge width") << 71 << "1e9" << int(RuntimeError::InvalidPropertyValue);
    }
    void hostileStrings()
    {
        QFETCH(int, index);
        QFETCH(QString, text);
        QFETCH(int, error);
        TavloClick source;
        makeDistinct(source);
        TavloClick target;
        const QString line = withField(source.SaveButtonSettings(QString()), index, text);
        QCOMPARE(errorCode([&] { target.LoadButtonSettings(QString(), line); }), error);
        QVERIFY(target.Alpha());                          // field 0, before every bad field
        QCOMPARE(target.UserDrag(), index > 70);          // field 70
        QCOMPARE(target.size(), QSize(index > 71 ? 120 : 81, index > 45 ? 40 : 33));
    }

    void fewerFieldsWithoutFileFail()
    {
        TavloClick source;
        makeDistinct(source);
        TavloClick target;
        const QString line = settingsFields(source).mid(0, 10).join("##");
        QCOMPARE(errorCode([&] { target.LoadButtonSettings(QString(), line); }), int(RuntimeError::SubscriptOutOfRange));
        QCOMPARE(target.BorderColor1(), 0x010203); // field 9
        QCOMPARE(target.BorderColor2(), 0);        // field 10: missing
    }

    // Files of any content load without error and with a defined result.
    void hostileFiles_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("alpha");
        QTest::addColumn<int>("borderStyle");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("captionLength");
        TavloClick source;
        makeDistinct(source);
        const QString line = source.SaveButtonSettings(QString());
        QByteArray binary;
        for (int i = 0; i < 4096; ++i)
            binary.append(char(i % 251));
        QTest::newRow("empty file") << QByteArray() << false << 0 << QSize(81, 33) << 11;
        QTest::newRow("binary") << binary << false << 0 << QSize(81, 33) << 11;
        QTest::newRow("1 MB line") << QByteArray(1024 * 1024, 'x') << false << 0 << QSize(81, 33) << 11;
        QTest::newRow("1 MB caption") << withField(line, 32, QString(1024 * 1024, u'c')).toUtf8() << true << 2
                                      << QSize(120, 40) << 1024 * 1024;
        QTest::newRow("fewer fields") << settingsFields(source).mid(0, 13).join("##").toUtf8() << true << 2
                                      << QSize(81, 33) << 11;
        QTest::newRow("garbage Booleans") << withField(withField(line, 0, "maybe"), 74, "\x01").toUtf8() << false
                                          << 2 << QSize(120, 40) << 7;
        QTest::newRow("huge numbers") << withField(withField(withField(line, 12, "1e300"), 45, "9e9"), 73, "1e30").toUtf8()
                                      << true << 0 << QSize(120, 33) << 7;
        QTest::newRow("negative numbers") << withField(withField(line, 12, "-7"), 71, "-150").toUtf8() << true << -7
                                          << QSize(81, 40) << 7;
        QTest::newRow("zero size") << withField(withField(line, 45, "0"), 71, "0").toUtf8() << true << 2
                                   << QSize(0, 0) << 7;
    }
    void hostileFiles()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, alpha);
        QFETCH(int, borderStyle);
        QFETCH(QSize, size);
        QFETCH(int, captionLength);
        QTemporaryDir dir;
        const QString file = dir.filePath("hostile.scs");
        writeFile(file, content);
        TavloClick button;
        QCOMPARE(errorCode([&] { button.LoadButtonSettings(file, QString()); }), 0);
        QCOMPARE(button.Alpha(), alpha);
        QCOMPARE(button.BorderStyle(), borderStyle);
        QCOMPARE(button.size(), size);
        QCOMPARE(button.Caption().size(), qsizetype(captionLength));
        QCOMPARE(button.canvas().pic.width(), size.width());
        button.Refresh();
    }
};

QTEST_MAIN(TestButtonSettings)
#include "tst_settings.moc"
