#include "download/replytaker.h"

#include "core/logcategories.h"
#include "core/testidentity.h"
#include "net/getrequest.h"
#include "pictures/picturedecoder.h"

#include <QCoreApplication>
#include <QNetworkReply>
#include <QUrl>

QString replyTaker::errorText(int error, const QString &host)
{
    //: Download status when a request failed: %1 the error's number, %2 the address asked.
    //: Keep the line break.
    return QCoreApplication::translate("loading", "Ошибка сетевого соединения:%1  \n По запросу:%2")
        .arg(error)
        .arg(host);
}

replyTaker::Outcome replyTaker::take(QNetworkReply *reply, const QString &name, QString *text,
                                     QString *status, QByteArray *picture, QByteArray *digest)
{
    const bool isPicture = !name.isNull();
    QNetworkReply::NetworkError error = getRequest::replyError(
        reply, isPicture ? getRequest::maxReplyBytes : getRequest::maxDocumentBytes);
    const QByteArray body = error == QNetworkReply::NoError ? reply->readAll() : QByteArray();
    // A "picture" that is none, such as a web server's page for a missing file, would show
    // as an empty button and be scored as if nothing were wrong. What decides safety is
    // looked at here; the pixels are decoded once the next request has left.
    if (isPicture && error == QNetworkReply::NoError) {
        const pictureDecoder::Verdict verdict = pictureDecoder::inspect(body);
        if (verdict != pictureDecoder::Fine) {
            qCWarning(lcDownload) << reply->url().toDisplayString()
                                  << "refused:" << pictureDecoder::describe(verdict);
            error = QNetworkReply::ProtocolFailure;
        }
    }
    if (error != QNetworkReply::NoError) {
        *status = errorText(int(error), reply->url().host(QUrl::FullyDecoded));
        qCDebug(lcDownload) << "error" << error << reply->errorString();
        return getRequest::worthRetrying(reply, error) ? Transient : Failed;
    }
    *digest = testIdentity::digest(body);
    if (isPicture) {
        *picture = body;
    } else {
        *text = getRequest::decodeText(body);
        qCDebug(lcDownload) << *text;
    }
    //: Download status: a document or picture has arrived.
    *status = QCoreApplication::translate("loading", "Данные успешно получены");
    return Done;
}
