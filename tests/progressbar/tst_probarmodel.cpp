#include "BarFixture.h"
#include "ErrorCode.h"
#include "common/PropertyBag.h"
#include "controls/progressbar/model/ProBarDescriptors.h"

#include <QJsonArray>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <map>

namespace {

QImage solid(QSize size, QColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

using Setter = std::function<void(TavloProBar &)>;

// One assignment per property, each to a value other than its default.
const std::map<QString, Setter> &setters()
{
    static const std::map<QString, Setter> table{
        {QStringLiteral("BackColor"), [](TavloProBar &b) { b.setBackColor(0x102030); }},
        {QStringLiteral("Enabled"), [](TavloProBar &b) { b.setEnabled(false); }},
        {QStringLiteral("Font"), [](TavloProBar &b) { b.setFont(QFont(QStringLiteral("Liberation Serif"), 14)); }},
        {QStringLiteral("ProValue"), [](TavloProBar &b) { b.setProValue(75); }},
        {QStringLiteral("BarMode"), [](TavloProBar &b) { b.setBarMode(2); }},
        {QStringLiteral("BlockSize"), [](TavloProBar &b) { b.setBlockSize(9); }},
        {QStringLiteral("BlockGap"), [](TavloProBar &b) { b.setBlockGap(3); }},
        {QStringLiteral("BlockMid"), [](TavloProBar &b) { b.setBlockMid(5); }},
        {QStringLiteral("BlockDepth"), [](TavloProBar &b) { b.setBlockDepth(60); }},
        {QStringLiteral("BlockFeather"), [](TavloProBar &b) { b.setBlockFeather(200); }},
        {QStringLiteral("ProMax"), [](TavloProBar &b) { b.setProMax(200); }},
        {QStringLiteral("BlockColor1"), [](TavloProBar &b) { b.setBlockColor1(0x0080FF); }},
        {QStringLiteral("BlockColor2"), [](TavloProBar &b) { b.setBlockColor2(0x0000FF); }},
        {QStringLiteral("BlockColor3"), [](TavloProBar &b) { b.setBlockColor3(0x00FF00); }},
        {QStringLiteral("BlockColor4"), [](TavloProBar &b) { b.setBlockColor4(0xFF0000); }},
        {QStringLiteral("BlockStyle"), [](TavloProBar &b) { b.setBlockStyle(2); }},
        {QStringLiteral("BarFlip"), [](TavloProBar &b) { b.setBarFlip(true); }},
        {QStringLiteral("BorderColor1"), [](TavloProBar &b) { b.setBorderColor1(0); }},
        {QStringLiteral("BorderColor2"), [](TavloProBar &b) { b.setBorderColor2(0x404040); }},
        {QStringLiteral("BorderShow"), [](TavloProBar &b) { b.setBorderShow(false); }},
        {QStringLiteral("BorderRound"), [](TavloProBar &b) { b.setBorderRound(9); }},
        {QStringLiteral("BlockRound"), [](TavloProBar &b) { b.setBlockRound(true); }},
        {QStringLiteral("BlockRoundW"), [](TavloProBar &b) { b.setBlockRoundW(4); }},
        {QStringLiteral("BlockRoundH"), [](TavloProBar &b) { b.setBlockRoundH(4); }},
        {QStringLiteral("BusySpeed"), [](TavloProBar &b) { b.setBusySpeed(60); }},
        {QStringLiteral("Busy"), [](TavloProBar &b) { b.setBusy(true); }},
        {QStringLiteral("CoverPic"), [](TavloProBar &b) { b.setCoverPic(Picture::fromImage(solid(QSize(9, 9), Qt::red))); }},
        {QStringLiteral("CoverAlpha"), [](TavloProBar &b) { b.setCoverAlpha(90); }},
        {QStringLiteral("CoverShow"), [](TavloProBar &b) { b.setCoverShow(true); }},
        {QStringLiteral("BackPicture"), [](TavloProBar &b) { b.setBackPicture(Picture::fromImage(solid(QSize(9, 9), Qt::red))); }},
        {QStringLiteral("Caption"), [](TavloProBar &b) { b.setCaption(QStringLiteral("Working")); }},
        {QStringLiteral("CaptionAlignment"), [](TavloProBar &b) { b.setCaptionAlignment(0); }},
        {QStringLiteral("CaptionColor"), [](TavloProBar &b) { b.setCaptionColor(0xFFFFFF); }},
        {QStringLiteral("CaptionShadow"), [](TavloProBar &b) { b.setCaptionShadow(true); }},
        {QStringLiteral("CaptionShadowColor"), [](TavloProBar &b) { b.setCaptionShadowColor(0x404040); }},
        {QStringLiteral("ShowValue"), [](TavloProBar &b) { b.setShowValue(false); }},
        {QStringLiteral("CaptionAutoOrient"), [](TavloProBar &b) { b.setCaptionAutoOrient(false); }},
        {QStringLiteral("BlockPicture"), [](TavloProBar &b) { b.setBlockPicture(Picture::fromImage(solid(QSize(9, 9), Qt::red))); }},
    };
    return table;
}

} // namespace

class TestProBarModel : public QObject {
    Q_OBJECT
private slots:
    void newInstance()
    {
        BarFixture f;
        const TavloProBar &bar = *f.bar;
        QCOMPARE(bar.ProValue(), QVariant::fromValue<qint16>(50));
        QCOMPARE(bar.ProMax(), 100);
        QCOMPARE(bar.BarMode(), 0);
        QCOMPARE(bar.BlockSize(), 6);
        QCOMPARE(bar.BlockGap(), 2);
        QCOMPARE(bar.BackColor(), OleColor(0x8000000F));
        QCOMPARE(bar.BlockColor1(), OleColor(0x2BD228));
        QVERIFY(bar.Font() == f.parent.font());
        for (const Picture &picture : {bar.CoverPic(), bar.BackPicture(), bar.BlockPicture()}) {
            QVERIFY(!picture.isNothing());
            QVERIFY(!picture.hasImage());
        }
        QCOMPARE(bar.tmrBusy().interval(), 50);
        QVERIFY(!bar.tmrBusy().isEnabled());
        QCOMPARE(int(bar.busyPhase()), 0);
        // Half a bar.
        QVERIFY(columnsWhere(bar.image(), 10, isGreen).count(50));
        QVERIFY(!columnsWhere(bar.image(), 10, isGreen).count(150));
    }

    void setterReportsAndRedraws_data()
    {
        QTest::addColumn<QString>("name");
        // What a default bar of 200 x 20 shows changes with these; the others are hidden by
        // the defaults (BackColor under the empty back picture, BlockColor2 without an outline
        // style, ...), are stored only, or are checked elsewhere.
        const QStringList visible{"Font", "ProValue", "BarMode", "BlockSize", "BlockGap", "BlockMid",
                                  "BlockDepth", "BlockFeather", "ProMax", "BlockColor1", "BlockStyle", "BarFlip",
                                  "BorderColor1", "BorderColor2", "BorderRound", "CoverShow", "BackPicture",
                                  "Caption", "CaptionAlignment", "CaptionColor", "CaptionShadow", "ShowValue"};
        QTest::addColumn<bool>("visible");
        for (const auto &[name, setter] : setters())
            QTest::newRow(qPrintable(name)) << name << visible.contains(name);
    }
    void setterReportsAndRedraws()
    {
        QFETCH(QString, name);
        QFETCH(bool, visible);
        BarFixture f;
        const QImage before = f.bar->image();
        QSignalSpy changed(f.bar.get(), &TavloProBar::propertyChanged);
        setters().at(name)(*f.bar);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toString(), name);
        if (visible)
            QVERIFY(f.bar->image() != before);
        if (name == "BorderShow" || name == "BlockRound" || name == "BlockColor3" || name == "BlockColor4")
            QCOMPARE(f.bar->image(), before);
        PropertyBag bag;
        f.bar->WriteProperties(bag);
        QVERIFY(bag.contains(name));
    }

    void busySpeedSetsTheTimer_data()
    {
        QTest::addColumn<int>("speed");
        QTest::addColumn<int>("interval");
        QTest::addColumn<bool>("ticking");
        QTest::newRow("25: 100 ms") << 25 << 100 << true;
        QTest::newRow("125: 0, no ticks") << 125 << 0 << false;
        QTest::newRow("150: 25 ms") << 150 << 25 << true;
    }
    void busySpeedSetsTheTimer()
    {
        QFETCH(int, speed);
        QFETCH(int, interval);
        QFETCH(bool, ticking);
        BarFixture f;
        f.bar->setBarMode(2);
        f.bar->setBusy(true);
        f.bar->setBusySpeed(speed);
        QCOMPARE(f.bar->tmrBusy().interval(), interval);
        QVERIFY(f.bar->tmrBusy().isEnabled());
        QCOMPARE(f.bar->tmrBusy().isTicking(), ticking);
    }

    void loadedBusySpeedKeepsTheInitialInterval()
    {
        BarFixture f;
        f.bar->ReadProperties(PropertyBag(QJsonObject{{QStringLiteral("BusySpeed"), 100}}));
        QCOMPARE(f.bar->BusySpeed(), 100);
        QCOMPARE(f.bar->tmrBusy().interval(), 50);
    }

    void busyTimerRuns()
    {
        BarFixture f;
        f.bar->setBarMode(2);
        f.bar->setBusy(true);
        QVERIFY(f.bar->tmrBusy().isTicking());
        QTRY_VERIFY(f.bar->busyPhase() >= 6);
        // Only a redraw in a busy mode switches it: in mode 0 it goes on.
        f.bar->setBarMode(0);
        QVERIFY(f.bar->tmrBusy().isEnabled());
        f.bar->setBarMode(2);
        f.bar->setBusy(false);
        QVERIFY(!f.bar->tmrBusy().isEnabled());
    }

    void tickNeverThrows()
    {
        BarFixture f;
        f.bar->setCoverPic(Picture::fromImage(solid(QSize(10, 10), Qt::red)));
        f.bar->setCoverShow(true);
        f.bar->setBarMode(2);
        QCOMPARE(errorCode([&] { f.bar->setCoverAlpha(300); }), int(RuntimeError::Overflow));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("busy tick: Overflow"));
        f.bar->busyTick();
        QCOMPARE(int(f.bar->busyPhase()), 3);
        QVERIFY(f.bar->tmrBusy().isEnabled());
    }

    void turn_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QSize>("before");
        QTest::addColumn<QSize>("after");
        QTest::newRow("0 to 1 turns") << 0 << 1 << QSize(200, 20) << QSize(20, 200);
        QTest::newRow("0 to 2 keeps") << 0 << 2 << QSize(200, 20) << QSize(200, 20);
        QTest::newRow("1 to 3 keeps") << 1 << 3 << QSize(20, 200) << QSize(20, 200);
        QTest::newRow("3 to 2 turns") << 3 << 2 << QSize(20, 200) << QSize(200, 20);
        QTest::newRow("0 to 7 keeps") << 0 << 7 << QSize(200, 20) << QSize(200, 20);
        QTest::newRow("7 to 1 keeps") << 7 << 1 << QSize(200, 20) << QSize(200, 20);
    }
    void turn()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QSize, before);
        QFETCH(QSize, after);
        BarFixture f;
        f.bar->ReadProperties(PropertyBag(QJsonObject{{QStringLiteral("BarMode"), from}}));
        f.bar->resize(before);
        QSignalSpy changed(f.bar.get(), &TavloProBar::propertyChanged);
        f.bar->setBarMode(to);
        QCOMPARE(f.bar->size(), after);
        QCOMPARE(f.bar->image().size(), after);
        QCOMPARE(f.bar->mask().boundingRect(), QRect(QPoint(0, 0), after));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toString(), QStringLiteral("BarMode"));
    }

    void mask_data()
    {
        QTest::addColumn<int>("borderRound");
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<bool>("inside");
        QTest::newRow("top left corner") << 5 << QPoint(0, 0) << false;
        QTest::newRow("top right corner") << 5 << QPoint(199, 0) << false;
        QTest::newRow("bottom left corner") << 5 << QPoint(0, 19) << false;
        QTest::newRow("bottom right corner") << 5 << QPoint(199, 19) << false;
        QTest::newRow("edge middle") << 5 << QPoint(100, 0) << true;
        QTest::newRow("centre") << 5 << QPoint(100, 10) << true;
        QTest::newRow("rounder corner cuts deeper") << 15 << QPoint(2, 1) << false;
        QTest::newRow("square corners") << 0 << QPoint(0, 0) << true;
    }
    void mask()
    {
        QFETCH(int, borderRound);
        QFETCH(QPoint, point);
        QFETCH(bool, inside);
        BarFixture f;
        f.bar->setBorderRound(borderRound);
        // The shape is rebuilt by the resize and show handling.
        f.bar->resize(201, 20);
        f.bar->resize(200, 20);
        QCOMPARE(f.bar->mask().contains(point), inside);
    }

    void defaultsAreOmitted()
    {
        BarFixture f;
        f.bar->ReadProperties(PropertyBag());
        PropertyBag empty;
        f.bar->WriteProperties(empty);
        QVERIFY2(empty.keys().isEmpty(), qPrintable(empty.keys().join(QLatin1Char(','))));

        // A new instance differs only in its empty pictures.
        BarFixture fresh;
        PropertyBag pictures;
        fresh.bar->WriteProperties(pictures);
        QCOMPARE(pictures.keys(), (QStringList{"BackPicture", "BlockPicture", "CoverPic"}));

        f.bar->setBlockSize(10);
        f.bar->setBlockSize(6);
        f.bar->setCaption(QStringLiteral("x"));
        PropertyBag bag;
        f.bar->WriteProperties(bag);
        QCOMPARE(bag.keys(), QStringList{"Caption"});
        BarFixture reloaded;
        reloaded.bar->ReadProperties(bag);
        QCOMPARE(reloaded.bar->BlockSize(), 6);
        QCOMPARE(reloaded.bar->Caption(), QStringLiteral("x"));
        QVERIFY(reloaded.bar->CoverPic().isNothing());
    }

    void everyPropertyRoundTrips()
    {
        QTemporaryDir dir;
        const QString picturePath = dir.filePath(QStringLiteral("p.png"));
        QVERIFY(solid(QSize(8, 8), Qt::blue).save(picturePath));
        const QJsonObject picture{{QStringLiteral("resource"), picturePath}};
        const QJsonObject stored{
            {"BackColor", 0}, {"Enabled", false},
            {"Font", QJsonObject{{"name", "Liberation Mono"}, {"size", 9.75}, {"bold", true}, {"italic", true},
                                 {"underline", true}, {"strikeout", true}}},
            {"ProValue", "0"}, {"BarMode", 1}, {"BlockSize", 10}, {"BlockGap", 1}, {"BlockMid", 3},
            {"BlockDepth", 55}, {"BlockFeather", 300}, {"ProMax", 50}, {"BlockColor1", 33023}, {"BlockColor2", 1},
            {"BlockColor3", 2}, {"BlockColor4", 3}, {"BlockStyle", 4}, {"BarFlip", true}, {"BorderColor1", 4},
            {"BorderColor2", 16384}, {"BorderShow", false}, {"BorderRound", 7}, {"BlockRound", true},
            {"BlockRoundW", 5}, {"BlockRoundH", 6}, {"BusySpeed", 30}, {"Busy", true}, {"CoverPic", picture},
            {"CoverAlpha", 100}, {"CoverShow", true}, {"BackPicture", picture}, {"Caption", "Converting"},
            {"CaptionAlignment", 0}, {"CaptionColor", 16777215}, {"CaptionShadow", true},
            {"CaptionShadowColor", 4210752}, {"ShowValue", false}, {"CaptionAutoOrient", false},
            {"BlockPicture", picture}};
        QCOMPARE(stored.size(), ProBarPropertyCount);
        for (size_t i = 0; i < proBarDescriptors().size(); ++i)
            QCOMPARE(int(proBarDescriptors()[i].id), int(i));

        BarFixture f;
        QSignalSpy changed(f.bar.get(), &TavloProBar::propertyChanged);
        const QImage before = f.bar->image();
        f.bar->ReadProperties(PropertyBag(stored));
        // Loading stores directly: no redraw, no report, no timer change.
        QCOMPARE(changed.count(), 0);
        QCOMPARE(f.bar->image(), before);
        QVERIFY(!f.bar->tmrBusy().isEnabled());
        QCOMPARE(f.bar->tmrBusy().interval(), 50);
        QVERIFY(!f.bar->isEnabled());
        QCOMPARE(f.bar->font().family(), QStringLiteral("Liberation Mono"));

        PropertyBag written;
        f.bar->WriteProperties(written);
        QCOMPARE(written.object(), stored);
    }

    void readingStopsAtAMismatch()
    {
        BarFixture f;
        f.bar->setCaption(QStringLiteral("before"));
        const PropertyBag bag(QJsonObject{
            {"BlockSize", 10}, {"BlockStyle", QJsonArray{}}, {"Caption", "after"}});
        QCOMPARE(errorCode([&] { f.bar->ReadProperties(bag); }), int(RuntimeError::TypeMismatch));
        QCOMPARE(f.bar->BlockSize(), 10);
        QCOMPARE(f.bar->Caption(), QStringLiteral("before"));
    }

    void setterErrors_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("code");
        QTest::newRow("BlockMid -1 divides by zero") << "BlockMid" << 11;
        QTest::newRow("CoverAlpha 256 overflows") << "CoverAlpha" << 6;
        QTest::newRow("BusySpeed 70000 is no interval") << "BusySpeed" << 380;
        QTest::newRow("style 5 without image") << "BlockStyle" << 481;
        QTest::newRow("ProValue not a number") << "ProValue" << 13;
        QTest::newRow("BlockSize past the longest block") << "BlockSize" << 380;
    }
    void setterErrors()
    {
        QFETCH(QString, name);
        QFETCH(int, code);
        BarFixture f;
        TavloProBar &bar = *f.bar;
        bar.setCoverPic(Picture::fromImage(solid(QSize(10, 10), Qt::red)));
        bar.setCoverShow(true);
        QSignalSpy changed(&bar, &TavloProBar::propertyChanged);
        const std::map<QString, std::pair<Setter, std::function<bool()>>> cases{
            {"BlockMid", {[](TavloProBar &b) { b.setBlockMid(-1); }, [&] { return bar.BlockMid() == -1; }}},
            {"CoverAlpha", {[](TavloProBar &b) { b.setCoverAlpha(256); }, [&] { return bar.CoverAlpha() == 256; }}},
            {"BusySpeed", {[](TavloProBar &b) { b.setBusySpeed(70000); }, [&] {
                 return bar.BusySpeed() == 70000 && bar.tmrBusy().interval() == 50;
             }}},
            {"BlockStyle", {[](TavloProBar &b) { b.setBlockStyle(5); }, [&] { return bar.BlockStyle() == 5; }}},
            {"ProValue", {[](TavloProBar &b) { b.setProValue(QStringLiteral("half")); },
                          [&] { return bar.ProValue() == QVariant(QStringLiteral("half")); }}},
            {"BlockSize", {[](TavloProBar &b) { b.setBlockSize(16711680); }, [&] { return bar.BlockSize() == 16711680; }}},
        };
        const auto &[assign, stored] = cases.at(name);
        QCOMPARE(errorCode([&] { assign(bar); }), code);
        QVERIFY(stored());
        QCOMPARE(changed.count(), 1);
        // The methods report the same error; Qt's events only log it.
        QCOMPARE(errorCode([&] { bar.DrawBar(); }), name == "BusySpeed" ? 0 : code);
        QCOMPARE(errorCode([&] { bar.Refresh(); }), name == "BusySpeed" ? 0 : code);
        if (name != "BusySpeed") {
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("TavloProBar resize"));
            bar.resize(180, 20);
        }
    }

    void coverWithoutPictureIsNoError()
    {
        BarFixture f;
        f.bar->setCoverPic(Picture());
        f.bar->setCoverShow(true);
        QCOMPARE(errorCode([&] { f.bar->setCoverAlpha(300); }), 0);
    }

    void mouseEvents()
    {
        BarFixture f;
        TavloProBar &bar = *f.bar;
        QSignalSpy down(&bar, &TavloProBar::MouseDown);
        QSignalSpy up(&bar, &TavloProBar::MouseUp);
        QSignalSpy click(&bar, &TavloProBar::Click);
        QSignalSpy doubleClick(&bar, &TavloProBar::DblClick);
        QTest::mouseClick(&bar, Qt::LeftButton, Qt::ShiftModifier | Qt::ControlModifier, QPoint(50, 10));
        QCOMPARE(down.count(), 1);
        QCOMPARE(down.at(0), (QVariantList{QVariant::fromValue<qint16>(1), QVariant::fromValue<qint16>(3),
                                           QVariant::fromValue(50.0f), QVariant::fromValue(10.0f)}));
        QCOMPARE(up.count(), 1);
        QCOMPARE(click.count(), 1);
        QTest::mouseDClick(&bar, Qt::LeftButton, Qt::NoModifier, QPoint(60, 5));
        QCOMPARE(doubleClick.count(), 1);
        QCOMPARE(click.count(), 1);
        QTest::mouseClick(&bar, Qt::RightButton, Qt::AltModifier, QPoint(5, 5));
        QCOMPARE(down.last().at(0).value<qint16>(), qint16(2));
        QCOMPARE(down.last().at(1).value<qint16>(), qint16(4));

        bar.setEnabled(false);
        QTest::mouseClick(&bar, Qt::LeftButton, Qt::NoModifier, QPoint(50, 10));
        QCOMPARE(click.count(), 2);
    }

    void keyEvents()
    {
        BarFixture f;
        TavloProBar &bar = *f.bar;
        QSignalSpy keyDown(&bar, &TavloProBar::KeyDown);
        QSignalSpy keyPress(&bar, &TavloProBar::KeyPress);
        QSignalSpy keyUp(&bar, &TavloProBar::KeyUp);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::ShiftModifier, QStringLiteral("A"));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::ShiftModifier, QStringLiteral("A"));
        QApplication::sendEvent(&bar, &press);
        QApplication::sendEvent(&bar, &release);
        QTest::keyClick(&bar, Qt::Key_Left);
        const QList<QVariantList> downs(keyDown.begin(), keyDown.end());
        QVERIFY(downs.contains(QVariantList{QVariant::fromValue<qint16>(65), QVariant::fromValue<qint16>(1)}));
        QCOMPARE(downs.last().at(0).value<qint16>(), qint16(0x25));
        QCOMPARE(keyPress.count(), 1);
        QCOMPARE(keyPress.at(0).at(0).value<qint16>(), qint16('A'));
        QCOMPARE(keyUp.count(), keyDown.count());
    }
};

#include "tst_probarmodel.moc"

int runProBarModelTests(int argc, char **argv)
{
    TestProBarModel test;
    return QTest::qExec(&test, argc, argv);
}
