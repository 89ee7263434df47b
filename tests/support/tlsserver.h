#ifndef TLSSERVER_H
#define TLSSERVER_H

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

struct TestSite;

// A real nginx on 127.0.0.1 that serves one test site over TLS, with certificates made by
// openssl at run time under an authority of its own. trustAuthority() adds that authority
// to this process's default SSL configuration, never to the machine's.
class TlsServer
{
public:
    enum Listener {
        Good,         // https, a certificate for 127.0.0.1 from the test authority
        UnknownCa,    // https, a certificate from an authority nobody trusts
        WrongHost,    // https, a certificate for another host name
        Expired,      // https, a certificate that expired yesterday
        ToHttps,      // http, every path redirected to the Good listener
        ToHttp,       // https, every path redirected to the Plain listener
        Plain,        // http, the site
        ListenerCount
    };

    TlsServer() = default;
    ~TlsServer();
    TlsServer(const TlsServer &) = delete;
    TlsServer &operator=(const TlsServer &) = delete;

    // Empty on success, else why the server cannot run here (missing programs, ...).
    QString start(const TestSite &site);
    void trustAuthority() const;
    QString url(Listener listener) const;
    // Requests the server has logged since the start: one "connection path" line each.
    QStringList accessLog() const;

private:
    bool openssl(const QStringList &args);
    bool makeCertificate(const QString &name, const QString &authority, const QString &subject,
                         const QString &days);

    QTemporaryDir dir;
    QProcess nginx;
    quint16 ports[ListenerCount] = {};
};

#endif // TLSSERVER_H
