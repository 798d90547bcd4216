#include "SurfaceTestUtil.h"
#include "drawing/Surface.h"

#include <QBitmap>
#include <QtTest>

using namespace SurfaceTestUtil;
using Color::RGB;

class TestSurfaceText : public QObject {
    Q_OBJECT
private slots:
    void mask()
    {
        const Surface s = rowOf({Red, White, Red, 0});
        const QImage image = s.toMask(Red).toImage();
        QCOMPARE(image.size(), QSize(4, 1));
        const QList<QRgb> expected = {qRgb(255, 255, 255), qRgb(0, 0, 0), qRgb(255, 255, 255), qRgb(0, 0, 0)};
        for (int x = 0; x < 4; ++x)
            QCOMPARE(image.pixel(x, 0) | 0xFF000000u, expected[x]); // white: transparent
    }

    void textAlignment_data()
    {
        QTest::addColumn<int>("flags");
        QTest::addColumn<QString>("check");
        QTest::newRow("left") << int(Surface::AlignLeft) << "left";
        QTest::newRow("right") << int(Surface::AlignRight) << "right";
        QTest::newRow("centre") << int(Surface::AlignCenter) << "centre";
        QTest::newRow("vcentre needs single line") << int(Surface::VCenter | Surface::WordBreak) << "top";
        QTest::newRow("single line vcentre") << int(Surface::VCenter | Surface::SingleLine) << "middle";
        QTest::newRow("single line bottom") << int(Surface::Bottom | Surface::SingleLine) << "bottom";
    }
    void textAlignment()
    {
        QFETCH(int, flags);
        QFETCH(QString, check);
        Surface s(200, 80);
        QFont font(QStringLiteral("Liberation Sans"));
        font.setPixelSize(16);
        s.setFont(font);
        s.setTextColor(White);
        s.drawText(QStringLiteral("Hello"), 10, 10, 190, 70, flags);
        const QRect ink = inkBounds(s, 0);
        QVERIFY(!ink.isEmpty());
        QVERIFY(QRect(QPoint(10, 10), QPoint(189, 69)).contains(ink));
        if (check == "left")
            QVERIFY2(ink.left() <= 13, qPrintable(QString::number(ink.left())));
        else if (check == "right")
            QVERIFY2(ink.right() >= 185, qPrintable(QString::number(ink.right())));
        else if (check == "centre")
            QVERIFY2(qAbs(ink.center().x() - 100) <= 3, qPrintable(QString::number(ink.center().x())));
        else if (check == "top")
            QVERIFY2(ink.top() <= 16, qPrintable(QString::number(ink.top())));
        else if (check == "middle")
            QVERIFY2(qAbs(ink.center().y() - 40) <= 4, qPrintable(QString::number(ink.center().y())));
        else if (check == "bottom")
            QVERIFY2(ink.bottom() >= 62, qPrintable(QString::number(ink.bottom())));
    }

    void textClipWrapAndTurn()
    {
        QFont font(QStringLiteral("Liberation Sans"));
        font.setPixelSize(14);
        Surface s(200, 120);
        s.setFont(font);
        s.setTextColor(White);
        const QString wide = QStringLiteral("WWWWWWWWWWWW");
        s.drawText(wide, 10, 10, 40, 30, Surface::AlignLeft);
        QVERIFY(QRect(QPoint(10, 10), QPoint(39, 29)).contains(inkBounds(s, 0)));
        s.clear();
        s.drawText(wide, 10, 10, 40, 30, Surface::AlignLeft | Surface::NoClip);
        QVERIFY(inkBounds(s, 0).right() > 60);

        s.clear();
        const QString words = QStringLiteral("aaa bbb ccc ddd");
        s.drawText(words, 0, 0, 30, 120, Surface::WordBreak); // one word a line
        const QRect wrapped = inkBounds(s, 0);
        QVERIFY2(wrapped.height() > 3 * s.textHeight(QStringLiteral("a")), qPrintable(QString::number(wrapped.height())));
        QVERIFY(wrapped.right() < 30);
        s.clear();
        s.drawText(words, 0, 0, 30, 120, Surface::AlignLeft);
        QVERIFY(inkBounds(s, 0).height() < s.textHeight(QStringLiteral("a")));

        s.clear();
        s.setFontEscapement(-900); // runs down the surface
        s.drawText(QStringLiteral("Hello"), 100, 5, 200, 120, Surface::AlignLeft);
        const QRect turned = inkBounds(s, 0);
        QVERIFY2(turned.height() > 2 * turned.width(), qPrintable(QStringLiteral("%1x%2").arg(turned.width()).arg(turned.height())));
        QVERIFY(turned.top() >= 5);

        QCOMPARE(s.textHeight(QStringLiteral("a\r\nb")), 2 * s.textHeight(QStringLiteral("a")));
        QCOMPARE(s.textHeight(QStringLiteral("a\rb\nc")), 3 * s.textHeight(QStringLiteral("a")));
        QCOMPARE(s.textWidth(QStringLiteral("ab\r\nabcd")), s.textWidth(QStringLiteral("abcd")));
    }
};

QTEST_MAIN(TestSurfaceText)
#include "tst_surfacetext.moc"
