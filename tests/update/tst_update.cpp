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
#include <QtTest>

namespace {

// A small HTTP server on 127.0.0.1: the update path redirects to /answer/<ending>, which loads.
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

private:
    void answer(QTcpSocket *socket)
    {
        m_buffer[socket] += socket->readAll();
        if (!m_buffer[socket].contains("\r\n\r\n"))
            return;
        const QByteArray target = m_buffer[socket].split(' ').value(1);
        m_buffer.remove(socket);
        requests << QString::fromLatin1(target);
        QByteArray response;
        if (target.startsWith("/converters/updates/check.php"))
            response = "HTTP/1.1 302 Found\r\nLocation: /answer/" + m_ending.toLatin1() + "\r\nContent-Length: 0\r\n";
        else
            response = "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: 2\r\n";
        socket->write(response + "Connection: close\r\n\r\n" + (response.startsWith("HTTP/1.1 200") ? "ok" : ""));
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
        m_previous = MessageBoxes::install([this, answer](const QString &text, int style, const QString &title) {
            boxes << QStringLiteral("%1|%2|%3").arg(text).arg(style).arg(title);
            return answer;
        });
        for (const char *scheme : {"http", "https"})
            QDesktopServices::setUrlHandler(QLatin1String(scheme), this, "open");
    }
    ~Desk() override
    {
        MessageBoxes::install(m_previous);
        for (const char *scheme : {"http", "https"})
            QDesktopServices::unsetUrlHandler(QLatin1String(scheme));
    }
    QStringList boxes;
    QStringList opened;

public slots:
    void open(const QUrl &url) { opened << url.toString(); }

private:
    MessageBoxes::Handler m_previous;
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

    // A capital "Yes" and an unreachable host are no answers: nothing is shown.
    void noAnswer_data()
    {
        QTest::addColumn<bool>("reachable");
        QTest::newRow("ending Yes") << true;
        QTest::newRow("unreachable") << false;
    }
    void noAnswer()
    {
        QFETCH(bool, reachable);
        UpdateServer server(QStringLiteral("Yes"));
        QString host = server.host();
        if (!reachable) {
            QTcpServer closed;
            QVERIFY(closed.listen(QHostAddress::LocalHost));
            host = QStringLiteral("127.0.0.1:%1").arg(closed.serverPort());
        }
        qputenv("VIDOMAR_UPDATE_HOST", host.toLatin1());
        Desk desk(MessageBoxes::Yes);
        UpdateWindow *window = nullptr;
        QObject owner;
        runUpdateQuery(window, &owner);
        window->setReportUpToDate(true);
        QSignalSpy answered(window, &UpdateWindow::answered);
        QSignalSpy arrived(window->ZorvikServer(), &WebNavigator::NavigateComplete);
        QSignalSpy failed(window->ZorvikServer(), &WebNavigator::navigationFailed);
        QTRY_VERIFY_WITH_TIMEOUT(arrived.size() + failed.size() == 1, 10000);
        QCOMPARE(arrived.size(), reachable ? 1 : 0);
        if (reachable)
            QVERIFY(arrived.at(0).at(0).toUrl().toString().endsWith(QLatin1String("/answer/Yes")));
        QCOMPARE(answered.size(), 0);
        QVERIFY(desk.boxes.isEmpty());
        QVERIFY(desk.opened.isEmpty());
        QVERIFY(window->ReportUpToDate());
    }

private:
    QTemporaryDir m_settingsDir;
};

QTEST_MAIN(TestUpdate)
#include "tst_update.moc"
