#include "results/uploadprobe.h"

#include "core/printable.h"
#include "core/datatime.h"
#include "net/uploadrequest.h"

#include <QDateTime>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QRandomGenerator>
#include <QTextStream>

bool uploadProbe::run(const QString &url, const QString &user, const QString &password,
                      QTextStream &out)
{
    const QString name =
        QStringLiteral("quelvan_probe_%1.txt")
            .arg(QRandomGenerator::global()->generate64(), 16, 16, QLatin1Char('0'));
    const QByteArray body = "A probe file of quelvan --check-upload, "
                            + dataTime::iso(QDateTime::currentDateTime()).toUtf8()
                            + "; it may be deleted.\n";
    QNetworkAccessManager manager;
    uploadRequest::useSystemProxy(&manager);
    const std::unique_ptr<QNetworkReply> reply = uploadRequest::putAndWait(
        &manager, url, name, uploadRequest::authorization(user, password), body);
    QString why;
    const bool stored = uploadRequest::verdict(reply.get(), &why) == uploadRequest::Confirmed;
    if (stored)
        out << "quelvan: stored " << reply->url().toDisplayString() << '\n';
    else
        out << "quelvan: not stored at " << reply->url().toDisplayString() << ": " << why << "; "
            << cause(reply.get()) << '\n';
    return stored;
}

QString uploadProbe::cause(QNetworkReply *reply)
{
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    switch (status) {
    case 0: break;
    case 401:
        return QStringLiteral("the user name or password is wrong (upload-user, upload-password)");
    case 403:
    case 405:
        return QStringLiteral("the server does not take PUT at this address (WebDAV off there, "
                              "or a location without dav_methods PUT)");
    case 404:
    case 409:
        return QStringLiteral("the folder is missing on the server: make it, or let the server "
                              "make it (nginx: create_full_put_path on)");
    case 413: return QStringLiteral("the server takes no file this large (client_max_body_size)");
    default:
        if (status >= 300 && status < 400)
            return QStringLiteral("the address is redirected to %1: use that address")
                .arg(printable::escaped(QString::fromUtf8(reply->rawHeader("Location"))));
        if (status >= 500)
            return QStringLiteral("the server failed: its error log says why (often a folder "
                                  "it cannot write)");
        return QStringLiteral("the server refused the file");
    }
    switch (reply->error()) {
    case QNetworkReply::SslHandshakeFailedError:
        return QStringLiteral("the server's certificate is not trusted here (an unknown "
                              "authority, expired, or for another host name)");
    case QNetworkReply::OperationCanceledError:
        return QStringLiteral("the server took the connection but did not answer");
    case QNetworkReply::ProxyAuthenticationRequiredError:
    case QNetworkReply::ProxyConnectionRefusedError:
    case QNetworkReply::ProxyNotFoundError:
        return QStringLiteral("the system's proxy refused the connection");
    default:
        return QStringLiteral("no connection: is the address right, and is the server running "
                              "and reachable from here?");
    }
}
