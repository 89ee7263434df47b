#include "support/tlsserver.h"

#include "support/testsite.h"

#include <QSslCertificate>
#include <QSslConfiguration>
#include <QtTest>

TlsServer::~TlsServer()
{
    TestSite::stopServer(nginx, dir.path());
}

bool TlsServer::openssl(const QStringList &args)
{
    return TestSite::hostRun(TestSite::hostProgram("openssl"), args, dir.path()) == 0;
}

QString TlsServer::start(const TestSite &site)
{
    if (TestSite::hostProgram("openssl").isEmpty())
        return QStringLiteral("openssl is missing; tools/run-tests.sh installs it");
    if (!site.writeSite(dir.filePath(QStringLiteral("site"))))
        return QStringLiteral("cannot write the site");
    // name, signing authority (none: self-signed), subject address.
    const QStringList certificates{"ca",        "",      "",
                                   "other",     "",      "",
                                   "good",      "ca",    "IP:127.0.0.1",
                                   "unknown",   "other", "IP:127.0.0.1",
                                   "wronghost", "ca",    "DNS:tests.example.org",
                                   "expired",   "",      "IP:127.0.0.1"};
    for (int i = 0; i < certificates.size(); i += 3) {
        const QString name = certificates.at(i), ca = certificates.at(i + 1);
        QStringList args{
            "req",    "-x509",   "-newkey",     "ec",   "-pkeyopt",    "ec_paramgen_curve:P-256",
            "-nodes", "-keyout", name + ".key", "-out", name + ".pem", "-days",
            "2",      "-subj",   "/CN=" + name};
        if (!ca.isEmpty())
            args << "-CA" << ca + ".pem"
                 << "-CAkey" << ca + ".key";
        if (!certificates.at(i + 2).isEmpty())
            args << "-addext"
                 << "subjectAltName=" + certificates.at(i + 2);
        if (!openssl(args))
            return QStringLiteral("openssl could not make the certificate ") + name;
    }
    // Signed again by the authority, valid until yesterday.
    if (!openssl({"x509", "-in", "expired.pem", "-CA", "ca.pem", "-CAkey", "ca.key", "-days", "-1",
                  "-out", "expired.pem"}))
        return QStringLiteral("openssl could not make the expired certificate");

    for (quint16 &port : ports)
        port = TestSite::freePort();
    const QString d = TestSite::hostPath(dir.path()),
                  serve = QStringLiteral("root %1/site;").arg(d);
    const QString redirect = QStringLiteral("return 301 %1$request_uri;");
    // HTTP/2 is offered, as most servers do; the client takes it only when allowed.
    const QString tls =
        QStringLiteral("ssl http2; ssl_certificate %1/%2.pem; ssl_certificate_key %1/%2.key;");
    const QStringList listeners{tls.arg(d, "good") + serve,
                                tls.arg(d, "unknown") + serve,
                                tls.arg(d, "wronghost") + serve,
                                tls.arg(d, "expired") + serve,
                                tls.arg(d, "good") + redirect.arg(url(Plain)),
                                ";" + redirect.arg(url(Good)),
                                ";" + serve};
    QString conf = QStringLiteral("daemon off; master_process off; pid %1/nginx.pid; error_log "
                                  "%1/error.log; events {} http { log_format conn '$connection "
                                  "$request_uri $server_protocol'; access_log %1/access.log conn; "
                                  "client_body_temp_path %1; default_type text/plain;\n")
                       .arg(d);
    for (int l = 0; l <= Plain; ++l)
        conf += QStringLiteral("server { listen 127.0.0.1:%1 %2 }\n")
                    .arg(ports[l])
                    .arg(listeners.at(l));
    return TestSite::startNginx(nginx, dir.path(), conf + "}\n", ports[Plain]);
}

void TlsServer::trustAuthority() const
{
    QSslConfiguration conf = QSslConfiguration::defaultConfiguration();
    conf.addCaCertificates(QSslCertificate::fromPath(dir.filePath(QStringLiteral("ca.pem"))));
    QSslConfiguration::setDefaultConfiguration(conf);
}

QString TlsServer::url(Listener listener) const
{
    const bool plain = listener == ToHttps || listener == Plain;
    return QStringLiteral("http%1://127.0.0.1:%2").arg(plain ? "" : "s").arg(ports[listener]);
}

QStringList TlsServer::accessLog() const
{
    return QString::fromUtf8(TestSite::readFile(dir.filePath(QStringLiteral("access.log"))))
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}
