#include "net/uploadrequest.h"

#include "core/printable.h"
#include "core/retryrule.h"

#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QTimer>
#include <QUrl>

namespace {
const char *const answerBytesProperty = "quelvanAnswerBytes";
const char *const deadlineProperty = "quelvanDeadline";

class systemProxies : public QNetworkProxyFactory
{
public:
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery &query) override
    {
        return systemProxyForQuery(query);
    }
};
} // namespace

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
    QNetworkReply *reply = manager->put(request, data);
    // Only the status line decides: the body is read and dropped up to a small cap.
    QObject::connect(reply, &QNetworkReply::readyRead, reply, [reply] {
        const qint64 read =
            reply->property(answerBytesProperty).toLongLong() + reply->readAll().size();
        reply->setProperty(answerBytesProperty, read);
        if (read > maxAnswerBytes)
            reply->abort();
    });
    // A store that sends a byte now and then never falls silent; the deadline ends it.
    QTimer::singleShot(2 * timeout, reply, [reply] {
        if (reply->isRunning()) {
            reply->setProperty(deadlineProperty, true);
            reply->abort();
        }
    });
    return reply;
}

void uploadRequest::useSystemProxy(QNetworkAccessManager *manager)
{
    manager->setProxyFactory(new systemProxies);
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
                     .arg(printable::escaped(
                         reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString()))
           : reply->property(deadlineProperty).toBool()
               ? QStringLiteral("no whole answer within %1 s").arg(2 * timeout / 1000.0)
           : reply->error() == QNetworkReply::OperationCanceledError
               ? QStringLiteral("no answer within %1 s").arg(timeout / 1000.0)
               : printable::escaped(reply->errorString());
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
