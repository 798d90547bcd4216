#include "common/Rounding.h"

#include <QtTest>

class TestRounding : public QObject {
    Q_OBJECT
private slots:
    void halfEven_data()
    {
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("expected");
        QTest::newRow("2.5") << 2.5 << 2.0;
        QTest::newRow("3.5") << 3.5 << 4.0;
        QTest::newRow("-2.5") << -2.5 << -2.0;
        QTest::newRow("12.5") << 12.5 << 12.0;
        QTest::newRow("13.5") << 13.5 << 14.0;
        QTest::newRow("127.5") << 127.5 << 128.0;
        QTest::newRow("126.5") << 126.5 << 126.0;
        QTest::newRow("2.38") << 2.38 << 2.0;
        QTest::newRow("2.65") << 2.65 << 3.0;
    }
    void halfEven()
    {
        QFETCH(double, x);
        QFETCH(double, expected);
        QCOMPARE(Rounding::roundHalfEven(x), expected);
    }

    void integerDivision_data()
    {
        QTest::addColumn<double>("a");
        QTest::addColumn<double>("b");
        QTest::addColumn<qint64>("quotient");
        QTest::addColumn<qint64>("remainder");
        QTest::newRow("7 by 2") << 7.0 << 2.0 << qint64(3) << qint64(1);
        QTest::newRow("-7 by 2 truncates") << -7.0 << 2.0 << qint64(-3) << qint64(-1);
        QTest::newRow("operands rounded first") << 7.5 << 2.5 << qint64(4) << qint64(0);
        QTest::newRow("6.5 by 1.5") << 6.5 << 1.5 << qint64(3) << qint64(0);
    }
    void integerDivision()
    {
        QFETCH(double, a);
        QFETCH(double, b);
        QFETCH(qint64, quotient);
        QFETCH(qint64, remainder);
        QCOMPARE(Rounding::intDiv(a, b), quotient);
        QCOMPARE(Rounding::mod(a, b), remainder);
    }

    void failures()
    {
        QVERIFY_THROWS_EXCEPTION(RuntimeError, Rounding::intDiv(1, 0.4));
        try {
            Rounding::toInteger(32767.5);
            QFAIL("no overflow");
        } catch (const RuntimeError &e) {
            QCOMPARE(e.code(), int(RuntimeError::Overflow));
        }
        QCOMPARE(Rounding::toInteger(-32768.4), int16_t(-32768));
        QCOMPARE(Rounding::intFloor(-0.5), -1.0);
    }
};

QTEST_APPLESS_MAIN(TestRounding)
#include "tst_rounding.moc"
