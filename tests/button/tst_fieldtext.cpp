#include "ErrorCode.h"
#include "common/RuntimeError.h"
#include "controls/button/model/ButtonFieldText.h"

#include <QTemporaryDir>
#include <QtTest>

#include <functional>

namespace Text = ButtonFieldText;

class TestFieldText : public QObject {
    Q_OBJECT
private slots:
    void leadingNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        QTest::newRow("whole") << "16777215" << 16777215.0;
        QTest::newRow("negative") << "-2147483633" << -2147483633.0;
        QTest::newRow("fraction") << "6.5" << 6.5;
        QTest::newRow("leading point") << ".25" << 0.25;
        QTest::newRow("blanks anywhere") << " 1 2\t3 " << 123.0;
        QTest::newRow("sign then blank") << "- 5" << -5.0;
        QTest::newRow("plus") << "+7" << 7.0;
        QTest::newRow("stops at text") << "12abc" << 12.0;
        QTest::newRow("second point ends") << "1.2.3" << 1.2;
        QTest::newRow("exponent") << "1.5e3" << 1500.0;
        QTest::newRow("exponent d") << "2D2" << 200.0;
        QTest::newRow("exponent sign") << "25e-1" << 2.5;
        QTest::newRow("bare exponent") << "4e" << 4.0;
        QTest::newRow("bare exponent sign") << "4e+" << 4.0;
        QTest::newRow("no number") << "True" << 0.0;
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("sign only") << "-" << 0.0;
        QTest::newRow("point only") << "." << 0.0;
        QTest::newRow("double sign") << "--5" << 0.0;
        QTest::newRow("hex is not read") << "&H10" << 0.0;
    }
    void leadingNumber()
    {
        QFETCH(QString, text);
        QFETCH(double, expected);
        QCOMPARE(Text::leadingNumber(text), expected);
    }

    void wholeNumberReads_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("longValue");
        QTest::addColumn<int>("longError");
        QTest::addColumn<int>("integerError");
        QTest::newRow("12.5 to even") << "12.5" << 12 << 0 << 0;
        QTest::newRow("13.5 to even") << "13.5" << 14 << 0 << 0;
        QTest::newRow("-2.5 to even") << "-2.5" << -2 << 0 << 0;
        QTest::newRow("12.51 up") << "12.51" << 13 << 0 << 0;
        QTest::newRow("beyond Integer") << "40000" << 40000 << 0 << 6;
        QTest::newRow("beyond Long") << "99999999999" << 0 << 6 << 6;
        QTest::newRow("huge exponent") << "1e999" << 0 << 6 << 6;
        QTest::newRow("Long minimum") << "-2147483648" << int(INT32_MIN) << 0 << 6;
    }
    void wholeNumberReads()
    {
        QFETCH(QString, text);
        QFETCH(int, longValue);
        QFETCH(int, longError);
        QFETCH(int, integerError);
        int32_t value = 0;
        QCOMPARE(errorCode([&] { value = Text::readLong(text); }), longError);
        if (longError == 0)
            QCOMPARE(value, longValue);
        int16_t integer = 0;
        QCOMPARE(errorCode([&] { integer = Text::readInteger(text); }), integerError);
        if (integerError == 0)
            QCOMPARE(int(integer), longValue);
    }

    void singleRead()
    {
        QCOMPARE(Text::readSingle(QStringLiteral("6.5")), 6.5f);
        QCOMPARE(Text::readSingle(QStringLiteral("-0.1")), -0.1f);
        QCOMPARE(errorCode([] { Text::readSingle(QStringLiteral("1e39")); }), int(RuntimeError::Overflow));
        QCOMPARE(errorCode([] { Text::readSingle(QStringLiteral("-1e39")); }), int(RuntimeError::Overflow));
    }

    void booleanRead_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected"); // 1 True, 0 False, -1 type mismatch
        QTest::newRow("True") << "True" << 1;
        QTest::newRow("false lower") << "false" << 0;
        QTest::newRow("TRUE upper") << "TRUE" << 1;
        QTest::newRow("blanks around") << " True " << 1;
        QTest::newRow("-1") << "-1" << 1;
        QTest::newRow("0") << "0" << 0;
        QTest::newRow("0.0") << "0.0" << 0;
        QTest::newRow("any number") << "75" << 1;
        QTest::newRow("exponent") << "1e3" << 1;
        QTest::newRow("word") << "maybe" << -1;
        QTest::newRow("empty") << "" << -1;
        QTest::newRow("number then text") << "1x" << -1;
        QTest::newRow("inner blank") << "1 2" << -1;
        QTest::newRow("bare exponent") << "1e" << -1;
        QTest::newRow("sign only") << "-" << -1;
        QTest::newRow("Truee") << "Truee" << -1;
    }
    void booleanRead()
    {
        QFETCH(QString, text);
        QFETCH(int, expected);
        bool value = false;
        const int code = errorCode([&] { value = Text::readBoolean(text); });
        if (expected < 0) {
            QCOMPARE(code, int(RuntimeError::TypeMismatch));
        } else {
            QCOMPARE(code, 0);
            QCOMPARE(int(value), expected);
        }
    }

    void formats_data()
    {
        QTest::addColumn<float>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("whole") << 5.0f << "5";
        QTest::newRow("half") << 6.5f << "6.5";
        QTest::newRow("tenth") << 0.1f << "0.1";
        QTest::newRow("negative") << -12.25f << "-12.25";
        QTest::newRow("twips") << 1215.0f << "1215";
        QTest::newRow("large") << 1e20f << "1e+20";
    }
    void formats()
    {
        QFETCH(float, value);
        QFETCH(QString, expected);
        QCOMPARE(Text::formatSingle(value), expected);
        QCOMPARE(Text::readSingle(Text::formatSingle(value)), value);
    }

    void wholeAndBooleanFormats()
    {
        QCOMPARE(Text::formatWhole(-2147483633), QStringLiteral("-2147483633"));
        QCOMPARE(Text::formatWhole(16777215), QStringLiteral("16777215"));
        QCOMPARE(Text::formatBoolean(true), QStringLiteral("True"));
        QCOMPARE(Text::formatBoolean(false), QStringLiteral("False"));
    }

    void split_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("fields");
        QTest::newRow("empty line has no fields") << "" << QStringList();
        QTest::newRow("one") << "abc" << QStringList{"abc"};
        QTest::newRow("two") << "1##2" << QStringList{"1", "2"};
        QTest::newRow("empty fields") << "##" << QStringList{"", ""};
        QTest::newRow("three hashes") << "a###b" << QStringList{"a", "#b"};
        QTest::newRow("four hashes") << "a####b" << QStringList{"a", "", "b"};
    }
    void split()
    {
        QFETCH(QString, line);
        QFETCH(QStringList, fields);
        QCOMPARE(Text::split(line), fields);
    }

    void firstLine_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("expected");
        QTest::newRow("CR LF") << QByteArray("a##b\r\nsecond\r\n") << "a##b";
        QTest::newRow("CR only") << QByteArray("a##b\rsecond") << "a##b";
        QTest::newRow("no line end") << QByteArray("a##b") << "a##b";
        QTest::newRow("LF is not a line end") << QByteArray("a\nb\r\n") << "a\nb";
        QTest::newRow("empty file") << QByteArray() << "";
        QTest::newRow("empty first line") << QByteArray("\r\nnext") << "";
        QTest::newRow("UTF-8") << QByteArray("Gr\xc3\xbc\xc3\x9f\x65") << QString::fromUtf8("Grüße");
        QTest::newRow("NUL kept") << QByteArray("a\0b\r", 4) << QString::fromLatin1("a\0b", 3);
        QTest::newRow("bad UTF-8 replaced") << QByteArray("\xff\xfe\r") << QString(2, QChar::ReplacementCharacter);
    }
    void firstLine()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        QFile file(dir.filePath("line.scs"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        QString line = "stale";
        QVERIFY(Text::readFirstLine(file.fileName(), line));
        QCOMPARE(line, expected);
    }

    void firstLineOfUnreadableFiles()
    {
        QTemporaryDir dir;
        QString line = "stale";
        QVERIFY(!Text::readFirstLine(dir.filePath("missing.scs"), line));
        QVERIFY(line.isEmpty());
        line = "stale";
        QVERIFY(!Text::readFirstLine(dir.path(), line));
        QVERIFY(line.isEmpty());
    }

    void longLinesAreCut()
    {
        QTemporaryDir dir;
        QFile file(dir.filePath("long.scs"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        const QByteArray megabyte(1024 * 1024, 'x');
        file.write(megabyte);
        file.write("\r\n");
        file.close();
        QString line;
        QVERIFY(Text::readFirstLine(file.fileName(), line));
        QCOMPARE(line.size(), megabyte.size());

        QVERIFY(file.open(QIODevice::WriteOnly));
        for (int i = 0; i < 5; ++i)
            file.write(megabyte);
        file.close();
        QVERIFY(Text::readFirstLine(file.fileName(), line));
        QCOMPARE(line.size(), qsizetype(Text::MaxLineBytes));
    }

    void writeLineEndsWithCrLf()
    {
        QTemporaryDir dir;
        const QString name = dir.filePath("out.scs");
        QFile stale(name);
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.write(QByteArray(100, 'z'));
        stale.close();
        QVERIFY(Text::writeLine(name, QString::fromUtf8("1##Grüße")));
        QFile file(name);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("1##Gr\xc3\xbc\xc3\x9f\x65\r\n"));
        QVERIFY(!Text::writeLine(dir.filePath("no/such/folder.scs"), QStringLiteral("x")));
    }
};

QTEST_GUILESS_MAIN(TestFieldText)
#include "tst_fieldtext.moc"
