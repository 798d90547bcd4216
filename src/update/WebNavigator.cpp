#include "update/WebNavigator.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

WebNavigator::WebNavigator(QObject *parent)
    : QObject(parent), m_network(new QNetworkAccessManager(this))
{
}

void WebNavigator::Navigate(const QString &address)
{
    QNetworkRequest request(QUrl::fromUserInput(address));
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setTransferTimeout(TimeoutMs);
    QNetworkReply *reply = m_network->get(request);
    connect(reply, &QNetworkReply::finished, this, [this, reply] {
        reply->deleteLater();
        // A page that loaded, even an error page of the server, is an arrival; a host that
        // could not be reached is not.
        const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        if (reply->error() == QNetworkReply::NoError || status.isValid())
            emit NavigateComplete(reply->url());
        else
            emit navigationFailed(reply->errorString());
    });
}
