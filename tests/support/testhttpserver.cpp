#include "support/testhttpserver.h"

#include <QFile>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#endif

TestHttpServer::TestHttpServer()
{
    connect(&server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = server.nextPendingConnection()) {
            ++connections;
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
            connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
                pending.remove(socket);
                for (int i = held.size() - 1; i >= 0; --i) {
                    if (held.at(i).first == socket)
                        held.removeAt(i);
                }
                socket->deleteLater();
            });
        }
    });
}

void TestHttpServer::setBody(const QString &path, const QByteArray &body, int status)
{
    responses.insert(path, {status, body, Normal, {}});
}

void TestHttpServer::move(const QString &path, const QString &to)
{
    responses.insert(to, responses.value(path));
    responses.insert(path, {301, "<html><body>Moved</body></html>", Normal, to.toUtf8()});
}

void TestHttpServer::holdFirst(int count, const QString &prefix)
{
    toHold = count;
    heldPrefix = prefix;
}

void TestHttpServer::reset()
{
    responses.clear();
    firstResponses.clear();
    toHold = 0;
    held.clear();
    requests.clear();
    connections = 0;
}

void TestHttpServer::onReadyRead(QTcpSocket *socket)
{
    QByteArray &buffer = pending[socket];
    buffer += socket->readAll();
    int end;
    while ((end = buffer.indexOf("\r\n\r\n")) >= 0) {
        const QList<QByteArray> line = buffer.left(buffer.indexOf("\r\n")).split(' ');
        buffer.remove(0, end + 4);
        if (line.size() < 2)
            continue;
        const QUrl target(QString::fromLatin1(line.at(1)));
        requests.append(target.isRelative() ? QUrl::fromPercentEncoding(line.at(1))
                                            : target.path(QUrl::FullyDecoded));
        if (toHold > 0 && requests.last().startsWith(heldPrefix)) {
            held.append({socket, requests.last()});
            if (held.size() < toHold)
                continue;
            toHold = 0;
            for (const auto &request : qAsConst(held))
                answer(request.first, request.second);
            held.clear();
            continue;
        }
        answer(socket, requests.last());
        if (socket->state() != QAbstractSocket::ConnectedState)
            return;
    }
}

void TestHttpServer::answer(QTcpSocket *socket, const QString &path)
{
    Response r = responses.value(path, fallback);
    if (!firstResponses.value(path).isEmpty())
        r = firstResponses[path].takeFirst();
    QFile file(rootDir + path);
    if (!responses.contains(path) && !rootDir.isEmpty() && !path.contains(QLatin1String(".."))
        && file.open(QIODevice::ReadOnly))
        r = {200, file.readAll(), Normal, {}};
    if (r.behaviour == Silent)
        return;
    if (r.behaviour == StopListening)
        server.close();
    if (r.behaviour == StopListening || r.behaviour == CloseBeforeHeaders)
        return socket->disconnectFromHost();

    QByteArray head = "HTTP/1.1 " + QByteArray::number(r.status) + ' ' + r.reason + "\r\n";
    head += r.behaviour == Endless ? QByteArray("Transfer-Encoding: chunked\r\n")
            : r.behaviour == Trickle
                ? QByteArray("Content-Length: 100000\r\n")
                : "Content-Length: " + QByteArray::number(r.body.size()) + "\r\n";
    if (r.behaviour == Gzipped || r.behaviour == GzippedSecond)
        head += r.behaviour == Gzipped ? "Content-Encoding: gzip\r\n"
                                       : "Content-Encoding: identity, gzip\r\n";
    if (!r.location.isEmpty())
        head += "Location: " + r.location + "\r\n";
    socket->write(head + "Connection: keep-alive\r\n\r\n");
    if (r.behaviour == Endless || r.behaviour == Trickle) { // until the client gives up
        auto *pump = new QTimer(socket);
        const bool endless = r.behaviour == Endless;
        connect(pump, &QTimer::timeout, socket, [socket, endless] {
            socket->write(endless ? "10000\r\n" + QByteArray(0x10000, 'x') + "\r\n" : "x");
        });
        return pump->start(endless ? 1 : 200);
    }
    if (r.behaviour == Normal || r.behaviour >= Gzipped)
        return void(socket->write(r.body));
    socket->write(r.body.left(r.body.size() / 2));
    if (r.behaviour == ShortBody)
        return socket->disconnectFromHost();
    socket->flush();
#ifdef Q_OS_UNIX
    // A zero linger time turns the close into a reset.
    const linger hard{1, 0};
    ::setsockopt(int(socket->socketDescriptor()), SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
#endif
    socket->abort();
}
