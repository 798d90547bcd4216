#pragma once

#include <QObject>
#include <QString>
#include <QUrl>

class QNetworkAccessManager;

// The update window's browser: navigates to an address, follows redirects, and reports the
// address it finally arrived at. Nothing is reported when the host cannot be reached, when the
// last reply of the redirect chain is an error, when a reply body is larger than MaxBodyBytes, or
// when the whole navigation takes longer than its time limit.
class WebNavigator : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(WebNavigator)

public:
    explicit WebNavigator(QObject *parent = nullptr);

    // An address without a scheme gets http, as a browser's default.
    void Navigate(const QString &address);

    static constexpr int TimeoutMs = 30000;
    static constexpr qint64 MaxBodyBytes = 64 * 1024;

    // The limit for each later navigation, redirects and body included (tests shorten it).
    void setTimeLimit(int milliseconds) { m_timeLimitMs = milliseconds; }

signals:
    void NavigateComplete(const QUrl &URL);
    // A navigation ended without arriving anywhere (for tests and logs).
    void navigationFailed(const QString &reason);

private:
    QNetworkAccessManager *m_network = nullptr;
    int m_timeLimitMs = TimeoutMs;
};
