#include "support/tlsserver.h"

#include "support/testsite.h"

#include <QFile>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

namespace {
quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return probe.serverPort();
}
} // namespace

TlsServer::~TlsServer()
{
    if (nginx.state() != QProcess::NotRunning) {
        nginx.terminate();
        if (!nginx.waitForFinished(5000))
            nginx.kill();
    }
}

bool TlsServer::openssl(const QStringList &args)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.setWorkingDirectory(dir.path());
    p.start(QStringLiteral("openssl"), args);
    if (p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0)
        return true;
    qWarning() << "openssl" << args << p.readAll();
    return false;
}

// name.key and name.pem, signed by authority (its .key and .pem) for the subject's address.
bool TlsServer::makeCertificate(const QString &name, const QString &authority,
                                const QString &subject, const QString &days)
{
    QFile ext(dir.filePath(name + QStringLiteral(".ext")));
    if (!ext.open(QIODevice::WriteOnly))
        return false;
    ext.write("subjectAltName=" + subject.toUtf8() + "\n");
    ext.close();
    return openssl({"req", "-newkey", "rsa:2048", "-nodes", "-keyout", name + ".key", "-out",
                    name + ".csr", "-subj", "/CN=" + name})
           && openssl({"x509", "-req", "-in", name + ".csr", "-CA", authority + ".pem", "-CAkey",
                       authority + ".key", "-CAcreateserial", "-days", days, "-extfile",
                       name + ".ext", "-out", name + ".pem"});
}

QString TlsServer::start(const TestSite &site)
{
    const QString program =
        QStandardPaths::findExecutable(QStringLiteral("nginx"), {"/usr/sbin", "/usr/local/sbin"});
    if (program.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("openssl")).isEmpty())
        return QStringLiteral("nginx or openssl is missing; tools/run-tests.sh installs both");
    if (!dir.isValid() || !site.writeSite(dir.filePath(QStringLiteral("site"))))
        return QStringLiteral("cannot write the site");

    const QStringList authority{"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2"};
    if (!openssl(authority + QStringList{"-keyout", "ca.key", "-out", "ca.pem", "-subj", "/CN=quelvan test CA"})
        || !openssl(authority + QStringList{"-keyout", "other.key", "-out", "other.pem", "-subj", "/CN=untrusted CA"})
        || !makeCertificate("good", "ca", "IP:127.0.0.1", "2")
        || !makeCertificate("unknown", "other", "IP:127.0.0.1", "2")
        || !makeCertificate("wronghost", "ca", "DNS:tests.example.org", "2")
        || !makeCertificate("expired", "ca", "IP:127.0.0.1", "-1"))
        return QStringLiteral("openssl could not make the certificates");

    for (quint16 &port : ports)
        port = freePort();
    const QString d = dir.path();
    QString servers;
    auto tls = [&](Listener l, const char *cert, const QString &body) {
        servers += QStringLiteral("server { listen 127.0.0.1:%1 ssl; ssl_certificate %2/%3.pem; "
                                  "ssl_certificate_key %2/%3.key; %4 }\n")
                       .arg(ports[l])
                       .arg(d, QLatin1String(cert), body);
    };
    const QString serveSite = QStringLiteral("root %1/site;").arg(d);
    tls(Good, "good", serveSite);
    tls(UnknownCa, "unknown", serveSite);
    tls(WrongHost, "wronghost", serveSite);
    tls(Expired, "expired", serveSite);
    tls(ToHttp, "good", QStringLiteral("return 301 http://127.0.0.1:%1$request_uri;").arg(ports[Plain]));
    servers += QStringLiteral("server { listen 127.0.0.1:%1; return 301 https://127.0.0.1:%2$request_uri; }\n"
                              "server { listen 127.0.0.1:%3; %4 }\n")
                   .arg(ports[ToHttps])
                   .arg(ports[Good])
                   .arg(ports[Plain])
                   .arg(serveSite);

    QFile conf(dir.filePath(QStringLiteral("nginx.conf")));
    if (!conf.open(QIODevice::WriteOnly))
        return QStringLiteral("cannot write nginx.conf");
    conf.write(QStringLiteral("daemon off;\nmaster_process off;\nworker_processes 1;\n"
                              "pid %1/nginx.pid;\nerror_log %1/error.log;\n"
                              "events { worker_connections 64; }\n"
                              "http {\n  log_format conn '$connection $request_uri';\n"
                              "  access_log %1/access.log conn;\n"
                              "  client_body_temp_path %1;\n  keepalive_requests 100000;\n"
                              "  default_type application/octet-stream;\n%2}\n")
                   .arg(d, servers)
                   .toUtf8());
    conf.close();

    nginx.setProcessChannelMode(QProcess::MergedChannels);
    nginx.start(program, {"-c", conf.fileName(), "-p", d});
    const bool up = nginx.waitForStarted() && QTest::qWaitFor([this] {
        QTcpSocket s;
        s.connectToHost(QHostAddress::LocalHost, ports[Plain]);
        return s.waitForConnected(200) || nginx.state() == QProcess::NotRunning;
    }, 20000);
    if (!up || nginx.state() == QProcess::NotRunning) {
        QFile log(dir.filePath(QStringLiteral("error.log")));
        log.open(QIODevice::ReadOnly);
        return QStringLiteral("nginx did not start: ") + QString::fromUtf8(nginx.readAll() + log.readAll());
    }
    return QString();
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
    return QStringLiteral("%1://127.0.0.1:%2")
        .arg(plain ? QStringLiteral("http") : QStringLiteral("https"))
        .arg(ports[listener]);
}

QStringList TlsServer::accessLog() const
{
    QFile log(dir.filePath(QStringLiteral("access.log")));
    if (!log.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}
