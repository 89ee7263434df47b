#include "net/uploadrequest.h"

#include "core/retryrule.h"

#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QUrl>

QByteArray uploadRequest::authorization(const QString &user, const QString &password)
{
    if (user.isEmpty())
        return QByteArray();
    return "Basic " + (user + QLatin1Char(':') + password).toUtf8().toBase64();
}

QNetworkReply *uploadRequest::put(QNetworkAccessManager *manager, const QString &url,
                                  const QString &name, const QByteArray &authorization,
                                  const QByteArray &data, int timeout)
{
    QUrl target(url);
    target.setPath(target.path() + QLatin1Char('/') + name);
    QNetworkRequest request(target);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    request.setTransferTimeout(timeout);
    request.setHeader(QNetworkRequest::ContentTypeHeader,
                      name.endsWith(QLatin1String(".png"))   ? "image/png"
                      : name.endsWith(QLatin1String(".csv")) ? "text/csv; charset=utf-8"
                                                             : "text/plain; charset=utf-8");
    if (!authorization.isEmpty())
        request.setRawHeader("Authorization", authorization);
    return manager->put(request, data);
}

std::unique_ptr<QNetworkReply> uploadRequest::putAndWait(QNetworkAccessManager *manager,
                                                         const QString &url, const QString &name,
                                                         const QByteArray &authorization,
                                                         const QByteArray &data, int timeout)
{
    std::unique_ptr<QNetworkReply> reply(put(manager, url, name, authorization, data, timeout));
    QEventLoop loop;
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    return reply;
}

uploadRequest::Verdict uploadRequest::verdict(QNetworkReply *reply, QString *why, int timeout)
{
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status >= 200 && status < 300)
        return Confirmed;
    *why = status
               ? QStringLiteral("HTTP %1 %2")
                     .arg(status)
                     .arg(reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString())
           : reply->error() == QNetworkReply::OperationCanceledError
               ? QStringLiteral("no answer within %1 s").arg(timeout / 1000.0)
               : reply->errorString();
    // A wrong address, password or permission will not change by trying again.
    return retryRule::worthAnotherTry(reply) ? Retry : Refuse;
}

bool uploadRequest::unanswered(QNetworkReply *reply)
{
    return !reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid()
           && retryRule::worthAnotherTry(reply);
}

bool uploadRequest::readWhole(const QString &path, QByteArray *data, QString *why)
{
    QFile f(path);
    *data = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    if (f.isOpen() && f.error() == QFileDevice::NoError && data->size() == f.size())
        return true;
    *why = QStringLiteral("cannot read %1: %2").arg(path, f.errorString());
    return false;
}
