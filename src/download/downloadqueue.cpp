#include "download/downloadqueue.h"

#include "core/logcategories.h"
#include "core/serverlayout.h"
#include "download/picturestore.h"
#include "download/replytaker.h"
#include "net/getrequest.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>
#include <QUrl>

downloadQueue::downloadQueue(QNetworkAccessManager *manager, int connections, int retries,
                             QObject *parent)
    : QObject(parent),
      transferTimeout(getRequest::defaultTransferTimeout),
      manager(manager),
      timer(new QTimer(this)),
      connections(connections),
      retries(retries)
{
    timer->setInterval(100);
    connect(timer, &QTimer::timeout, this, &downloadQueue::poll);
}

void downloadQueue::fetchDocuments(const QString &serverUrl)
{
    server = serverUrl;
    for (int i = 0; i < serverLayout::documentCount; ++i) {
        job document;
        document.path = serverLayout::documentPath(i);
        document.index = i;
        waiting.append(document);
    }
    timer->start();
    poll();
}

void downloadQueue::fetchPictures(const QStringList &names, const QString &directory)
{
    pictureDir = directory;
    limit = connections;
    timer->start();
    for (int i = 0; i < names.size(); ++i) {
        job picture;
        picture.path = serverLayout::picturePath(names.at(i));
        picture.name = names.at(i);
        picture.index = i;
        waiting.append(picture);
    }
    poll();
}

void downloadQueue::poll()
{
    // In list order: a document, or a picture asked again, keeps its place.
    for (int i = 0; !stopped && i < waiting.size() && flying.size() < limit;) {
        if (!waiting.at(i).wait.due()) {
            if (limit == 1)
                return; // the documents stay in order
            ++i;
            continue;
        }
        const job next = waiting.takeAt(i);
        const bool picture = !next.name.isNull();
        // With several at once, a server that offers HTTP/2 over TLS may take them on one
        // connection.
        QNetworkReply *reply = getRequest::get(
            manager, server + next.path, transferTimeout,
            picture ? getRequest::maxReplyBytes : getRequest::maxDocumentBytes, connections > 1);
        flying.insert(reply, next);
        connect(reply, &QNetworkReply::finished, this, [this, reply] { answered(reply); });
        emit status(
            //: The same download status as in "loading", when several pictures are fetched at
            //: once; %1 counts the requests so far.
            QCoreApplication::translate("downloadQueue", "Выполняю запрос к серверу. Шаг %1")
                .arg(++stepCount));
    }
}

void downloadQueue::answered(QNetworkReply *reply)
{
    job done = flying.take(reply);
    reply->deleteLater();
    QString text, line;
    QByteArray picture, digest;
    const replyTaker::Outcome outcome =
        replyTaker::take(reply, done.name, &text, &line, &picture, &digest);
    if (outcome == replyTaker::Transient && done.tries < retries) {
        ++done.tries;
        done.wait.failed();
        qCWarning(lcDownload) << "asking again in" << done.wait.remainingMs()
                              << "ms:" << reply->url().toDisplayString();
        emit retrying(done.path, done.tries);
        // Back in its place: a document before those that follow it.
        waiting.insert(done.name.isNull() ? 0 : waiting.size(), done);
        return poll();
    }
    if (outcome != replyTaker::Done)
        return stop(line);
    emit status(line);
    emit taken(done.name.isNull() ? done.index : serverLayout::documentCount + done.index, digest);
    if (done.name.isNull()) {
        emit document(done.index, text);
    } else {
        pictureStore held;
        held.hold(done.name, picture, reply->url().host(QUrl::FullyDecoded));
        poll(); // the next pictures leave while this one is decoded and stored
        QImage decoded;
        if (held.storeHeld(pictureDir, &line, &decoded) != replyTaker::Done)
            return stop(line);
        emit pictureStored(done.name, decoded);
    }
    if (!stopped && waiting.isEmpty() && flying.isEmpty()) {
        timer->stop();
        if (!pictureDir.isNull())
            emit finished();
        return; // the documents are in: the pictures come once the lists are read
    }
    poll();
}

void downloadQueue::stop(const QString &text)
{
    stopped = true;
    timer->stop();
    waiting.clear();
    // What is under way is of no use now.
    const QList<QNetworkReply *> replies = flying.keys();
    flying.clear();
    for (QNetworkReply *reply : replies) {
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
    emit failed(text);
}
