#include "BoxRecorder.h"
#include "common/MessageBoxes.h"
#include "update/FirstRun.h"
#include "update/UpdateWindow.h"
#include "update/WebAddresses.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QNetworkProxy>
#include <QSettings>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

// A small HTTP server on 127.0.0.1: the update path redirects to /answer/<ending> (or to
// redirectTo), which loads with answerStatus and answerBody, or, with drip, sends its body one
// byte at a time without end.
class UpdateServer : public QObject {
public:
    explicit UpdateServer(const QString &ending) : m_ending(ending)
    {
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { answer(socket); });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
        m_server.listen(QHostAddress::LocalHost);
    }
    QString host() const { return QStringLiteral("127.0.0.1:%1").arg(m_server.serverPort()); }
    QStringList requests;
    QByteArray redirectTo;
    QByteArray answerStatus = "200 OK";
    QByteArray answerBody = "ok";
    bool drip = false;

private:
    void answer(QTcpSocket *socket)
    {
        m_buffer[socket] += socket->readAll();
        if (!m_buffer[socket].contains("\r\n\r\n"))
            return;
        const QByteArray target = m_buffer[socket].split(' ').value(1);
        m_buffer.remove(socket);
        requests << QString::fromLatin1(target);
        if (target.startsWith("/converters/updates/check.php")) {
            const QByteArray location = redirectTo.isEmpty() ? "/answer/" + m_ending.toLatin1() : redirectTo;
            socket->write("HTTP/1.1 302 Found\r\nLocation: " + location
                          + "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
            socket->disconnectFromHost();
            return;
        }
        if (drip) {
            socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: 1000\r\n\r\n");
            auto *timer = new QTimer(socket);
            connect(timer, &QTimer::timeout, socket, [socket] { socket->write("."); });
            timer->start(100);
            return;
        }
        socket->write("HTTP/1.1 " + answerStatus + "\r\nContent-Type: text/plain\r\nContent-Length: "
                      + QByteArray::number(answerBody.size()) + "\r\nConnection: close\r\n\r\n" + answerBody);
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
    QString m_ending;
    QHash<QTcpSocket *, QByteArray> m_buffer;
};

// Records message boxes and answers them; records the addresses handed to the desktop.
class Desk : public QObject {
    Q_OBJECT
public:
    explicit Desk(int answer = MessageBoxes::No)
    {
        m_recorder.answerAlways(answer);
        for (const char *scheme : {"http", "https"})
            QDesktopServices::setUrlHandler(QLatin1String(scheme), this, "open");
    }
    ~Desk() override
    {
        for (const char *scheme : {"http", "https"})
            QDesktopServices::unsetUrlHandler(QLatin1String(scheme));
    }

private:
    BoxRecorder m_recorder;

public:
    QStringList &boxes = m_recorder.boxes;
    QStringList opened;

public slots:
    void open(const QUrl &url) { opened << url.toString(); }
};

} // namespace

class TestUpdate : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(m_settingsDir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settingsDir.path());
        qputenv("VIDOMAR_PRODUCT_PAGE", "http://127.0.0.1:9/converters/vidomar.html");
        // Loopback only, whatever proxy the environment names.
        QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
    }

    void firstRun_data()
    {
        QTest::addColumn<QVariant>("stored"); // invalid: no entry
        QTest::addColumn<bool>("opens");
        QTest::newRow("no entry") << QVariant() << true;
        QTest::newRow("\"No\"") << QVariant(QStringLiteral("No")) << false;
        QTest::newRow("\"no\" is a first run again") << QVariant(QStringLiteral("no")) << true;
        QTest::newRow("empty") << QVariant(QString()) << true;
    }
    void firstRun()
    {
        QFETCH(QVariant, stored);
        QFETCH(bool, opens);
        {
            QSettings settings(QStringLiteral("Zorvik"), QStringLiteral("Zorvik"));
            settings.clear();
            if (stored.isValid())
                settings.setValue(QStringLiteral("First Run/Zorvik Vidomar"), stored);
        }
        Desk desk;
        showFirstRunPage();
        QCOMPARE(desk.opened, opens ? QStringList{WebAddresses::productPage()} : QStringList{});
        QSettings settings(QStringLiteral("Zorvik"), QStringLiteral("Zorvik"));
        QCOMPARE(settings.value(QStringLiteral("First Run/Zorvik Vidomar")).toString(), QStringLiteral("No"));
        // The next start does not open it again.
        showFirstRunPage();
        QCOMPARE(desk.opened.size(), opens ? 1 : 0);
    }

    void answers_data()
    {
        QTest::addColumn<QString>("ending");
        QTest::addColumn<int>("userAnswer");
        QTest::addColumn<bool>("reportUpToDate");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<bool>("pageOpened");
        const QString offer = QStringLiteral("A new Update is Available. Do you want to download it Now?|4|Update Available !");
        QTest::newRow("yes, download") << "yes" << int(MessageBoxes::Yes) << false << QStringList{offer} << true;
        QTest::newRow("yes, not now") << "yes" << int(MessageBoxes::No) << false << QStringList{offer} << false;
        QTest::newRow("no, quietly") << "no" << int(MessageBoxes::Ok) << false << QStringList{} << false;
        QTest::newRow("no, reported when asked")
            << "no" << int(MessageBoxes::Ok) << true
            << QStringList{"Your software is currently upto date. Please check again later.|0|You have the Latest Version !"}
            << false;
    }
    void answers()
    {
        QFETCH(QString, ending);
        QFETCH(int, userAnswer);
        QFETCH(bool, reportUpToDate);
        QFETCH(QStringList, boxes);
        QFETCH(bool, pageOpened);
        UpdateServer server(ending);
        qputenv("VIDOMAR_UPDATE_HOST", server.host().toLatin1());
        Desk desk(userAnswer);
        UpdateWindow *window = nullptr;
        QObject owner;
        runUpdateQuery(window, &owner);
        QVERIFY(window);
        window->setReportUpToDate(reportUpToDate);
        QSignalSpy answered(window, &UpdateWindow::answered);
        QVERIFY(answered.wait(10000));
        QCOMPARE(server.requests.value(0), QStringLiteral("/converters/updates/check.php?Ver=1.0&Product=Zorvik%20Vidomar"));
        QCOMPARE(desk.boxes, boxes);
        QCOMPARE(desk.opened, pageOpened ? QStringList{WebAddresses::productPage()} : QStringList{});
        QVERIFY(!window->ReportUpToDate());

        // The same window serves a second query.
        UpdateWindow *again = window;
        runUpdateQuery(window, &owner);
        QCOMPARE(window, again);
        QVERIFY(answered.wait(10000));
    }

    // A capital "Yes", an unreachable host, a redirect to an address that cannot be reached or
    // that answers with an error, a body over 64 KiB and a server that never finishes are no
    // answers: nothing is shown.
    void noAnswer_data()
    {
        QTest::addColumn<QString>("ending");
        QTest::addColumn<QString>("trouble");
        QTest::addColumn<bool>("arrives");
        QTest::newRow("ending Yes") << "Yes" << "" << true;
        QTest::newRow("unreachable") << "yes" << "unreachable host" << false;
        QTest::newRow("redirect to an unreachable https address") << "yes" << "unreachable redirect" << false;
        QTest::newRow("redirect to an error page") << "yes" << "404" << false;
        QTest::newRow("body over 64 KiB") << "yes" << "large body" << false;
        QTest::newRow("body without end") << "yes" << "drip" << false;
    }
    void noAnswer()
    {
        QFETCH(QString, ending);
        QFETCH(QString, trouble);
        QFETCH(bool, arrives);
        UpdateServer server(ending);
        QString host = server.host();
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const QString closedHost = QStringLiteral("127.0.0.1:%1").arg(closed.serverPort());
        closed.close();
        if (trouble == QLatin1String("unreachable host"))
            host = closedHost;
        else if (trouble == QLatin1String("unreachable redirect"))
            server.redirectTo = "https://" + closedHost.toLatin1() + "/answer/yes";
        else if (trouble == QLatin1String("404"))
            server.answerStatus = "404 Not Found";
        else if (trouble == QLatin1String("large body"))
            server.answerBody = QByteArray(WebNavigator::MaxBodyBytes + 1, 'x');
        server.drip = trouble == QLatin1String("drip");
        qputenv("VIDOMAR_UPDATE_HOST", host.toLatin1());
        Desk desk(MessageBoxes::Yes);
        QObject owner;
        auto *window = new UpdateWindow(&owner);
        window->ZorvikServer()->setTimeLimit(1500);
        window->setReportUpToDate(true);
        QSignalSpy answered(window, &UpdateWindow::answered);
        QSignalSpy arrived(window->ZorvikServer(), &WebNavigator::NavigateComplete);
        QSignalSpy failed(window->ZorvikServer(), &WebNavigator::navigationFailed);
        runUpdateQuery(window, &owner);
        QTRY_VERIFY_WITH_TIMEOUT(arrived.size() + failed.size() == 1, 10000);
        QCOMPARE(arrived.size(), arrives ? 1 : 0);
        if (arrives)
            QVERIFY(arrived.at(0).at(0).toUrl().toString().endsWith(QLatin1String("/answer/Yes")));
        QCOMPARE(answered.size(), 0);
        QVERIFY(desk.boxes.isEmpty());
        QVERIFY(desk.opened.isEmpty());
        QVERIFY(window->ReportUpToDate());
    }

    // The largest body that is still read: the answer counts.
    void bodyAtTheLimit()
    {
        UpdateServer server(QStringLiteral("yes"));
        server.answerBody = QByteArray(WebNavigator::MaxBodyBytes, 'x');
        qputenv("VIDOMAR_UPDATE_HOST", server.host().toLatin1());
        Desk desk(MessageBoxes::No);
        UpdateWindow *window = nullptr;
        QObject owner;
        runUpdateQuery(window, &owner);
        QSignalSpy answered(window, &UpdateWindow::answered);
        QVERIFY(answered.wait(10000));
        QCOMPARE(desk.boxes.size(), 1);
    }

private:
    QTemporaryDir m_settingsDir;
};

QTEST_MAIN(TestUpdate)
#include "tst_update.moc"
