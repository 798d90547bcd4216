#include "update/WebNavigator.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

#include <memory>

WebNavigator::WebNavigator(QObject *parent)
    : QObject(parent), m_network(new QNetworkAccessManager(this))
{
}

void WebNavigator::Navigate(const QString &address)
{
    QNetworkRequest request(QUrl::fromUserInput(address));
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setTransferTimeout(m_timeLimitMs);
    QNetworkReply *reply = m_network->get(request);
    // Why the navigation was given up, when it was.
    const auto givenUp = std::make_shared<QString>();

    // A server that sends slowly or without end must not hold the check or fill the memory.
    auto *clock = new QTimer(reply);
    clock->setSingleShot(true);
    connect(clock, &QTimer::timeout, reply, [reply, givenUp, limit = m_timeLimitMs] {
        *givenUp = QStringLiteral("no answer within %1 ms").arg(limit);
        reply->abort();
    });
    clock->start(m_timeLimitMs);
    connect(reply, &QNetworkReply::downloadProgress, reply, [reply, givenUp](qint64 received, qint64 total) {
        if ((received > MaxBodyBytes || total > MaxBodyBytes) && givenUp->isEmpty()) {
            *givenUp = QStringLiteral("the answer is larger than %1 bytes").arg(MaxBodyBytes);
            reply->abort();
        }
    });

    connect(reply, &QNetworkReply::finished, this, [this, reply, givenUp] {
        reply->deleteLater();
        const QString reason = givenUp->isEmpty() ? reply->errorString() : *givenUp;
        const bool arrived = givenUp->isEmpty() && reply->error() == QNetworkReply::NoError;
        // Only the last reply of the redirect chain counts: a redirect towards an address that
        // cannot be reached, or that answers with an error, arrives nowhere.
        if (arrived)
            emit NavigateComplete(reply->url());
        else
            emit navigationFailed(reason);
    });
}
