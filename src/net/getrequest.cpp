#include "net/getrequest.h"

#include "core/logcategories.h"
#include "core/retryrule.h"

#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QUrl>

namespace {
// Set on an answer aborted at its cap: its error alone cannot tell it from a timeout.
const char *const overCapProperty = "quelvanOverCap";
} // namespace

QString getRequest::decodeText(QByteArray body)
{
    const int nul = body.indexOf('\0');
    if (nul >= 0)
        body.truncate(nul);
    return QString::fromUtf8(body);
}

QNetworkRequest getRequest::request(const QString &url, int timeout)
{
    QNetworkRequest request{QUrl(url)};
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(maxRedirects);
    request.setTransferTimeout(timeout);
    // Uncompressed: the toolkit would unpack a compressed answer before the cap could count
    // it, and a small answer can unpack to gigabytes.
    request.setRawHeader("Accept-Encoding", "identity");
    return request;
}

QNetworkReply *getRequest::get(QNetworkAccessManager *manager, const QString &url, int timeout,
                               qint64 limit, bool http2)
{
    QNetworkRequest asked = request(url, timeout);
    if (http2)
        asked.setAttribute(QNetworkRequest::Http2AllowedAttribute, true);
    QNetworkReply *reply = manager->get(asked);
    // readyRead, not downloadProgress: the latter is throttled and may first come when
    // the whole answer is already in memory.
    QObject::connect(reply, &QNetworkReply::readyRead, reply, [reply, limit] {
        if (reply->bytesAvailable() > limit && reply->isRunning()) {
            qCWarning(lcDownload) << "answer exceeds" << limit << "bytes, aborted";
            reply->setProperty(overCapProperty, true);
            reply->abort();
        }
    });
    return reply;
}

bool getRequest::isOverCap(const QNetworkReply *reply, qint64 limit)
{
    // An answer that ended past the cap before it could be aborted counts as aborted too.
    return reply->property(overCapProperty).toBool() || reply->bytesAvailable() > limit;
}

bool getRequest::isCompressed(const QNetworkReply *reply)
{
    static const QList<QByteArray> packed{"gzip", "x-gzip", "deflate", "br", "compress", "zstd"};
    const QList<QByteArray> codings = reply->rawHeader("Content-Encoding").toLower().split(',');
    for (const QByteArray &coding : codings) {
        if (packed.contains(coding.trimmed()))
            return true;
    }
    return false;
}

QNetworkReply::NetworkError getRequest::replyError(QNetworkReply *reply, qint64 limit)
{
    if (isOverCap(reply, limit))
        return QNetworkReply::OperationCanceledError;
    if (reply->error() != QNetworkReply::NoError)
        return reply->error();
    // Asked for identity, a server may compress all the same: such bytes are neither the
    // document nor the picture, and unpacking them is what the cap must prevent.
    if (isCompressed(reply))
        return QNetworkReply::ProtocolFailure;
    // A redirect that was not followed (no usable Location) has only the server's "moved"
    // page as its body, which must not become a picture or a document.
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status >= 300 && status < 400)
        return QNetworkReply::ProtocolFailure;
    return QNetworkReply::NoError;
}

bool getRequest::worthRetrying(const QNetworkReply *reply, QNetworkReply::NetworkError error)
{
    // The client's own refusals, which another try cannot mend: an answer over its cap, and
    // one it does not take (a refused picture, a compressed or unfollowed answer), which the
    // toolkit counts as no error at all.
    if (reply->property(overCapProperty).toBool() || error != reply->error())
        return false;
    return retryRule::worthAnotherTry(reply);
}
