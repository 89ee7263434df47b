#ifndef TESTHTTPSERVER_H
#define TESTHTTPSERVER_H

#include <QHash>
#include <QStringList>
#include <QTcpServer>

class QTcpSocket;

// A small HTTP/1.1 server on 127.0.0.1 for the tests: canned answers per path, any status,
// broken connections on request, and a record of the requests in order. Connections are
// kept alive, as a real server keeps them; as a proxy it takes the whole URL.
class TestHttpServer : public QObject
{
    Q_OBJECT
public:
    enum Behaviour {
        Normal,
        StopListening,      // stop accepting connections and close this one unanswered
        CloseBeforeHeaders, // close the connection without answering
        ShortBody,          // announce the whole length, send half, close
        ResetMidBody,       // send half of the body, then reset the connection
        Silent,             // read the request and never answer
        Gzipped,            // send the body as it is, labelled as gzip
        GzippedSecond,      // the same, labelled "identity, gzip"
        Endless,            // a chunked body that never ends
        Trickle,            // the body of its length one byte every 200 ms
    };
    struct Response
    {
        int status = 200;
        QByteArray body;
        Behaviour behaviour = Normal;
        QByteArray location; // sent as a Location header when not empty
        QByteArray reason = "Status";
    };

    TestHttpServer();
    bool listen() { return server.listen(QHostAddress::LocalHost, 0); }
    bool isListening() const { return server.isListening(); }
    quint16 port() const { return server.serverPort(); }
    QString baseUrl() const { return QStringLiteral("http://127.0.0.1:%1").arg(port()); }

    void setResponse(const QString &path, const Response &r) { responses.insert(path, r); }
    // The first answers to `path`, one per request, before the usual one.
    void setFirstResponses(const QString &path, const QList<Response> &first)
    {
        firstResponses.insert(path, first);
    }
    // Holds the first `count` requests whose path starts with `prefix` until all of them are
    // pending: only a client with that many requests under way gets answers.
    void holdFirst(int count, const QString &prefix);
    void setBody(const QString &path, const QByteArray &body, int status = 200);
    // The answer to every path without one of its own, instead of 404.
    void setFallback(const Response &r) { fallback = r; }
    // Serves the answer of `path` at `to` instead and redirects `path` there.
    void move(const QString &path, const QString &to);
    // Files below `root` answer paths that have no canned answer; the rest get 404.
    void serveDirectory(const QString &root) { rootDir = root; }
    void reset();

    QStringList requests; // request paths in the order they arrived
    int connections = 0;

private:
    void onReadyRead(QTcpSocket *socket);
    void answer(QTcpSocket *socket, const QString &path);

    QHash<QString, Response> responses;
    Response fallback{404, "not found", Normal, {}};
    QHash<QString, QList<Response>> firstResponses;
    int toHold = 0;
    QString heldPrefix;
    QList<QPair<QTcpSocket *, QString>> held;
    QString rootDir;
    QHash<QTcpSocket *, QByteArray> pending;
    // Last, so that it and its sockets go first and their signals find the rest alive.
    QTcpServer server;
};

#endif // TESTHTTPSERVER_H
