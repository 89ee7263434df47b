#include "support/testhttpserver.h"

#include <QFile>
#include <QHostAddress>
#include <QTcpSocket>
#include <QUrl>

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#endif

TestHttpServer::TestHttpServer(QObject *parent) : QObject(parent)
{
    connect(&server, &QTcpServer::newConnection, this, &TestHttpServer::onNewConnection);
}

bool TestHttpServer::listen()
{
    return server.listen(QHostAddress::LocalHost, 0);
}

QString TestHttpServer::baseUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(port());
}

void TestHttpServer::setResponse(const QString &path, const Response &response)
{
    responses.insert(path, response);
}

void TestHttpServer::setBody(const QString &path, const QByteArray &body, int status)
{
    Response r;
    r.status = status;
    r.body = body;
    responses.insert(path, r);
}

void TestHttpServer::setRedirect(const QString &path, const QByteArray &location, int status)
{
    Response r;
    r.status = status;
    r.location = location;
    r.body = "<html><body>Moved</body></html>";
    responses.insert(path, r);
}

void TestHttpServer::move(const QString &path, const QString &to)
{
    responses.insert(to, responses.value(path));
    setRedirect(path, to.toUtf8());
}

void TestHttpServer::serveDirectory(const QString &root)
{
    rootDir = root;
}

void TestHttpServer::clearResponses()
{
    responses.clear();
}

void TestHttpServer::onNewConnection()
{
    while (QTcpSocket *socket = server.nextPendingConnection()) {
        ++connections;
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            pending.remove(socket);
            socket->deleteLater();
        });
    }
}

void TestHttpServer::onReadyRead(QTcpSocket *socket)
{
    QByteArray &buffer = pending[socket];
    buffer += socket->readAll();
    int end;
    while ((end = buffer.indexOf("\r\n\r\n")) >= 0) {
        const QByteArray head = buffer.left(end);
        buffer.remove(0, end + 4);
        const QList<QByteArray> requestLine = head.left(head.indexOf("\r\n")).split(' ');
        if (requestLine.size() < 2)
            continue;
        // Through a proxy the request line carries the whole URL.
        const QUrl target(QString::fromLatin1(requestLine.at(1)));
        const QString path = target.isRelative() ? QUrl::fromPercentEncoding(requestLine.at(1))
                                                 : target.path(QUrl::FullyDecoded);
        requests.append(path);
        answer(socket, path);
        if (socket->state() != QAbstractSocket::ConnectedState)
            return;
    }
}

void TestHttpServer::answer(QTcpSocket *socket, const QString &path)
{
    Response r;
    if (responses.contains(path)) {
        r = responses.value(path);
    } else {
        QFile file(rootDir + path);
        if (!rootDir.isEmpty() && !path.contains(QLatin1String(".."))
            && file.open(QIODevice::ReadOnly)) {
            r.body = file.readAll();
        } else {
            r.status = 404;
            r.body = "not found";
        }
    }

    if (r.behaviour == CloseBeforeHeaders) {
        socket->disconnectFromHost();
        return;
    }
    if (r.behaviour == Silent)
        return;
    if (r.behaviour == StopListening) {
        server.close();
        socket->disconnectFromHost();
        return;
    }

    QByteArray head = "HTTP/1.1 " + QByteArray::number(r.status) + " Status\r\n";
    head += "Content-Type: application/octet-stream\r\n";
    head += "Content-Length: " + QByteArray::number(r.body.size()) + "\r\n";
    if (!r.location.isEmpty())
        head += "Location: " + r.location + "\r\n";
    head += "Connection: keep-alive\r\n\r\n";
    socket->write(head);

    switch (r.behaviour) {
    case Normal: socket->write(r.body); break;
    case ShortBody:
        socket->write(r.body.left(r.body.size() / 2));
        socket->disconnectFromHost();
        break;
    case ResetMidBody: {
        socket->write(r.body.left(r.body.size() / 2));
        socket->flush();
#ifdef Q_OS_UNIX
        // A zero linger time turns the close into a reset.
        const linger hard{1, 0};
        ::setsockopt(int(socket->socketDescriptor()), SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
#endif
        socket->abort();
        break;
    }
    case CloseBeforeHeaders:
    case StopListening:
    case Silent: break;
    }
}
