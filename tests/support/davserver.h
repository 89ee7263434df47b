#ifndef DAVSERVER_H
#define DAVSERVER_H

#include "support/testsite.h"

#include <QProcess>
#include <QTemporaryDir>

// A real nginx on 127.0.0.1 that stores HTTP PUT requests below /up/ (its WebDAV module)
// for the user "tester" with the password "s3cret", as a lab's server takes results.
class DavServer
{
public:
    ~DavServer() { stop(); }
    // Empty on success, else why the server cannot run here. Starts again on the same port
    // after stop().
    QString start();
    void stop();
    // Below `folder`: "up" stores; "moved" redirects to "up"; "noput" takes no PUT (405);
    // "broken" has a file for its root (500).
    QString url(const char *folder = "up") const
    {
        return QStringLiteral("http://127.0.0.1:%1/%2").arg(port).arg(QLatin1String(folder));
    }
    // Paused, it takes connections and answers nothing, until resumed.
    void pause(bool paused);
    // While set, every request is answered with 429, too many requests.
    void setFailing(bool failing);
    // The files stored, and one "<status> <method>" line per request answered so far.
    QStringList stored() const;
    QByteArray file(const QString &name) const;
    QStringList log() const;

private:
    QTemporaryDir dir{TestSite::serverFolder()};
    QProcess nginx;
    quint16 port = 0;
};

#endif // DAVSERVER_H
