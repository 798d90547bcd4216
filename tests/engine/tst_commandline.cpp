#include "engine/CommandLine.h"

#include <QRandomGenerator>
#include <QtTest>

using namespace CommandLine;

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    void quoting_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("quoted");
        QTest::newRow("ordinary path") << "/home/ann/Videos/party.avi" << "\"/home/ann/Videos/party.avi\"";
        QTest::newRow("blanks") << "/tmp/my clip.avi" << "\"/tmp/my clip.avi\"";
        QTest::newRow("empty") << "" << "\"\"";
        QTest::newRow("inner quote") << "say \"hi\".avi" << "\"say \\\"hi\\\".avi\"";
        QTest::newRow("backslash before quote") << "a\\\"b" << "\"a\\\\\\\"b\"";
        QTest::newRow("trailing backslash") << "dir\\" << "\"dir\\\\\"";
        QTest::newRow("inner backslashes kept") << "C:\\a\\b" << "\"C:\\a\\b\"";
    }
    void quoting()
    {
        QFETCH(QString, argument);
        QFETCH(QString, quoted);
        QCOMPARE(quote(argument), quoted);
        QCOMPARE(splitCommandLine(quoted), QStringList{argument});
    }

    void splitting_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("job line") << "/opt/v/avformat.dll -i \"/a b.avi\" -y -b 512 \"/c d.mp4\""
                                  << QStringList{"/opt/v/avformat.dll", "-i", "/a b.avi", "-y", "-b", "512", "/c d.mp4"};
        QTest::newRow("unquoted value with blanks splits") << "enc -s 320 x 240 \"d\""
                                                           << QStringList{"enc", "-s", "320", "x", "240", "d"};
        QTest::newRow("no options") << "enc -i \"s\" \"d\"" << QStringList{"enc", "-i", "s", "d"};
        QTest::newRow("runs of blanks and tabs") << "  a \t  b  " << QStringList{"a", "b"};
        QTest::newRow("quotes inside a word") << "ab\"c d\"e" << QStringList{"abc de"};
        QTest::newRow("empty quoted") << "a \"\" b" << QStringList{"a", "", "b"};
        QTest::newRow("nothing") << "" << QStringList{};
    }
    void splitting()
    {
        QFETCH(QString, line);
        QFETCH(QStringList, arguments);
        QCOMPARE(splitCommandLine(line), arguments);
    }

    // Any argument list survives joining and splitting, whatever characters it holds.
    void roundTrip()
    {
        const QString alphabet = QStringLiteral("ab \t\"\\\n\r'x.é😀$;|&*");
        QRandomGenerator random(20261207);
        for (int round = 0; round < 3000; ++round) {
            QStringList arguments;
            const int count = random.bounded(1, 6);
            for (int i = 0; i < count; ++i) {
                QString argument;
                const int length = random.bounded(0, 12);
                for (int c = 0; c < length; ++c) {
                    const int at = random.bounded(alphabet.size());
                    if (alphabet.at(at).isSurrogate())
                        argument += QStringLiteral("😀");
                    else
                        argument += alphabet.at(at);
                }
                arguments << argument;
            }
            const QString line = joinCommandLine(arguments);
            if (splitCommandLine(line) != arguments)
                QFAIL(qPrintable(QStringLiteral("round trip lost %1 in line [%2]").arg(arguments.join(u'|'), line)));
        }
    }
};

QTEST_APPLESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
