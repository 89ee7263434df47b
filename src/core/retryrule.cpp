#include "core/retryrule.h"

bool retryRule::worthAnotherTry(QNetworkReply::NetworkError error, int status)
{
    if (status >= 300)
        return status == 408 || status == 429 || status >= 500;
    switch (error) {
    case QNetworkReply::SslHandshakeFailedError:
    case QNetworkReply::TooManyRedirectsError:
    case QNetworkReply::InsecureRedirectError:
    case QNetworkReply::ProxyAuthenticationRequiredError: return false;
    default: return true; // a connection refused, closed, reset or silent, the proxy's too
    }
}

bool retryRule::worthAnotherTry(const QNetworkReply *reply)
{
    return worthAnotherTry(reply->error(),
                           reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt());
}
