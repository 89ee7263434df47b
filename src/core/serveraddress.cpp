#include "core/serveraddress.h"

#include <QHostAddress>
#include <QUrl>

QString serverAddress::check(const QString &url, QString *normal)
{
    const QUrl u(url, QUrl::StrictMode);
    const QString badPort = QStringLiteral("\"%1\": the port must be 1 to 65535").arg(url);
    if (!u.isValid()) {
        return u.errorString().contains(QLatin1String("port"), Qt::CaseInsensitive)
                   ? badPort
                   : QStringLiteral("\"%1\" is not a valid address").arg(url);
    }
    if (u.scheme() != QLatin1String("http") && u.scheme() != QLatin1String("https"))
        return QStringLiteral("\"%1\" must start with http:// or https://").arg(url);
    if (u.host().isEmpty())
        return QStringLiteral("\"%1\" names no host").arg(url);
    if (u.port() == 0)
        return badPort;
    if (!u.userInfo().isEmpty())
        return QStringLiteral("\"%1\" must not hold a user name or password").arg(url);
    if (u.hasQuery() || u.hasFragment())
        return QStringLiteral("\"%1\" must not have a query or a fragment").arg(url);
    *normal = u.adjusted(QUrl::StripTrailingSlash).toString(QUrl::FullyEncoded);
    return QString();
}

QString serverAddress::testServer(const QString &url, QString *normal)
{
    QString site;
    const QString why = check(url, &site);
    if (!why.isEmpty())
        return why;
    if (site.endsWith(QLatin1Char('/')))
        site.chop(1); // the server's root: every request as without a path
    // The documents' own folder: every request would go one level too deep.
    const QString folder = QStringLiteral("/quelvan");
    if (site.endsWith(folder, Qt::CaseInsensitive))
        return QStringLiteral("\"%1\" names the test's own folder; name the one that holds it: %2")
            .arg(url, site.chopped(folder.size()));
    *normal = site;
    return QString();
}

bool serverAddress::takesCredentials(const QString &url, const bool insecureAllowed)
{
    const QUrl u(url);
    const QString host = u.host();
    return u.scheme() != QLatin1String("http") || insecureAllowed
           || host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0
           || QHostAddress(host).isLoopback();
}
