#include "download/loading.h"

#include "core/logcategories.h"
#include "core/serverlayout.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QUrl>

loading::loading(QObject *parent)
    : QObject(parent),
      //: Download status before the first request.
      statusText(QCoreApplication::translate("loading", "Готов к соединению")),
      manager(new QNetworkAccessManager(this)),
      pictureDir(serverLayout::defaultPictureDirectory())
{}

bool loading::load(QString url)
{
    if (busy)
        return false;

    connect(manager, &QNetworkAccessManager::finished, this, &loading::replyFinished);
    current = getRequest::get(manager, url, transferTimeout,
                              fileMode ? getRequest::maxReplyBytes : getRequest::maxDocumentBytes);

    busy = true;
    replyText.clear();
    ++stepCount;
    statusText =
        //: Download status during each request; %1 counts the requests so far.
        QCoreApplication::translate("loading", "Выполняю запрос к серверу. Шаг %1").arg(stepCount);
    qCDebug(lcDownload) << "url=" << url;
    emit start();
    return true;
}

bool loading::storeHeld()
{
    const replyTaker::Outcome outcome = held.storeHeld(pictureDir, &statusText, &lastPicture);
    if (outcome == replyTaker::Done)
        return true;
    (outcome == replyTaker::Unstored ? fileError : netError) = true;
    // The request that left meanwhile is of no use now.
    disconnect(manager, &QNetworkAccessManager::finished, this, &loading::replyFinished);
    if (current) {
        current->abort();
        current->deleteLater();
    }
    busy = false;
    return false;
}

void loading::replyFinished(QNetworkReply *reply)
{
    QByteArray picture, digest;
    switch (replyTaker::take(reply, fileMode ? fileName : QString(), &replyText, &statusText,
                             &picture, &digest)) {
    case replyTaker::Transient:
    case replyTaker::Failed: netError = true; break;
    case replyTaker::Unstored: fileError = true; break;
    case replyTaker::Done:
        identity.addDigest(stepCount - 1, digest);
        if (fileMode)
            held.hold(fileName, picture, reply->url().host(QUrl::FullyDecoded));
        break;
    }
    disconnect(manager, &QNetworkAccessManager::finished, this, &loading::replyFinished);
    reply->abort();
    reply->deleteLater();
    busy = false;
    emit finish();
}
