#ifndef TLSSERVER_H
#define TLSSERVER_H

#include <QProcess>
#include <QTemporaryDir>

#include "support/testsite.h"

// A real nginx on 127.0.0.1 that serves one test site over TLS, with certificates made by
// openssl at run time under an authority of its own. trustAuthority() adds that authority
// to this process's default SSL configuration, never to the machine's.
class TlsServer
{
public:
    enum Listener {
        Good,      // https, a certificate for 127.0.0.1 from the test authority
        UnknownCa, // https, a certificate from an authority nobody trusts
        WrongHost, // https, a certificate for another host name
        Expired,   // https, a certificate that expired yesterday
        ToHttp,    // https, every path redirected to the Plain listener
        ToHttps,   // http, every path redirected to the Good listener
        Plain,     // http, the site
    };

    ~TlsServer();
    // Empty on success, else why the server cannot run here.
    QString start(const TestSite &site);
    void trustAuthority() const;
    QString url(Listener listener) const;
    // One "connection path protocol" line per request served so far.
    QStringList accessLog() const;

private:
    bool openssl(const QStringList &args);

    QTemporaryDir dir{TestSite::serverFolder()};
    QProcess nginx;
    quint16 ports[Plain + 1] = {};
};

#endif // TLSSERVER_H
